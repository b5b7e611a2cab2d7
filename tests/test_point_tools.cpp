// The geometry of the point tools of modes 7 to 13 on the drawings where a
// draughtsperson sees what is right: intersections on ellipses, joints, the
// cap, points at a pitch on absurd figures, and right angles exactly.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "jwwgaibu/PointGeometry.h"
#include "jwwgaibu/PointTools.h"
#include "tests/TestUtil.h"

namespace {

struct Want {
  double x, y;
};

// The points match the wanted ones in order, each within 1e-9 of its size.
void ExpectPoints(const TPoints& got, const std::vector<Want>& want, const std::string& what) {
  ASSERT_EQ(got.size(), want.size()) << what;
  for (size_t k = 0; k < want.size(); ++k) {
    const double tx = 1e-9 * std::max(1.0, std::fabs(want[k].x));
    const double ty = 1e-9 * std::max(1.0, std::fabs(want[k].y));
    EXPECT_NEAR(got[k].x, want[k].x, tx) << what << ", point " << k;
    EXPECT_NEAR(got[k].y, want[k].y, ty) << what << ", point " << k;
  }
}

TPoints Intersections(const char* drawing, bool overlapEnds = false, bool* over = nullptr) {
  TJGdata g;
  kxtest::ReadLines(g, drawing);
  TPoints out;
  const bool o = IntersectionPoints(g, overlapEnds, out);
  if (over) *over = o;
  return out;
}

struct Case {
  const char* name;
  const char* drawing;
  bool overlapEnds;
  std::vector<Want> want;  // sorted by x, then y
};

// Worked out by hand or in 50 digits (the crossings of the small ellipse on
// the big circle and of the thin ellipse on the circle).
const Case kIntersections[] = {
    {"two identical ellipses: one curve, no points", "ci 0 0 1000 0 0 0.5 30\nci 0 0 1000 0 0 0.5 30",
     false, {}},
    {"overlapping elliptic arcs on one ellipse: a joint",
     "ci 0 0 1000 0 90 0.5 30\nci 0 0 1000 45 135 0.5 30", false, {}},
    {"two identical circles", "ci 0 0 500\nci 0 0 500", false, {}},
    {"arcs on one circle that overlap", "ci 0 0 1000 0 90 1 0\nci 0 0 1000 45 135 1 0", false, {}},
    {"arcs on one circle, their overlap's ends on request",
     "ci 0 0 1000 0 90 1 0\nci 0 0 1000 45 135 1 0", true,
     {{0, 1000}, {707.106781186548, 707.106781186548}}},
    {"elliptic arcs on one ellipse, their overlap's ends on request",
     "ci 0 0 1000 0 90 0.5 0\nci 0 0 1000 45 135 0.5 0", true,
     {{0, 500}, {707.106781186548, 353.553390593274}}},
    {"two crossings of a small ellipse on a big circle, within one step of a scan",
     "ci 0 0 100000\nci 306.795676297 99999.529381 20 0 0 0.5 0", false,
     {{286.796028641405, 99999.5887393441}, {326.795274867023, 99999.466022816}}},
    {"a thin ellipse across a circle", "ci 0 0 1000\nci 3 1000 500 0 0 0.002 90", false,
     {{2.000000000008, 999.997999998}, {3.999999999872, 999.991999968}}},
    {"a circle touching an ellipse: one point", "ci 0 0 1000 0 0 0.5 0\nci 0 800 300", false,
     {{0, 500}}},
    {"two ellipses touching end to end of their axes", "ci 0 0 1000 0 0 0.5 0\nci 2000 0 1000 0 0 0.3 0",
     false, {{1000, 0}}},
    {"a line just beyond a flat arc's end: none", "ci 0 0 1000 0 90 0.001 0\n-0.0009 -5 -0.0009 5",
     false, {}},
    {"a line through a flat arc's end", "ci 0 0 1000 0 90 0.001 0\n0 -5 0 5", false, {{0, 1}}},
    {"a line in two pieces, crossed: the crossing alone",
     "0 500 600 500\n600 500 1000 500\n300 0 300 1000", false, {{300, 500}}},
    {"the same with the joint on request", "0 500 600 500\n600 500 1000 500\n300 0 300 1000", true,
     {{300, 500}, {600, 500}}},
    {"a cross whose bar is drawn twice", "-500 0 500 0\n-500 0 500 0\n0 -500 0 500", false, {{0, 0}}},
    {"the same with the overlap's ends on request", "-500 0 500 0\n-500 0 500 0\n0 -500 0 500", true,
     {{-500, 0}, {0, 0}, {500, 0}}},
    {"a T-junction and a corner stay", "0 0 1000 0\n500 0 500 800\n1000 0 1000 700", false,
     {{500, 0}, {1000, 0}}},
    {"an ellipse crossing another four times",
     "ci 0 0 1000 0 0 0.5 0\nci 0 0 1000 0 0 0.5 90", false,
     {{-447.213595499958, -447.213595499958}, {-447.213595499958, 447.213595499958},
      {447.213595499958, -447.213595499958}, {447.213595499958, 447.213595499958}}},
    {"an elliptic arc ending on a circle: its end", "ci 0 0 1000 0 90 0.5 0\nci 1200 0 200", false,
     {{1000, 0}}},
    {"a line across the circle of a short arc: the crossing on the arc alone",
     "ci 0 0 1000 10 30 1 0\n-2000 342.020143325669 2000 342.020143325669", false,
     {{939.692620785908, 342.020143325669}}},
    {"a line across the ellipse of a short elliptic arc: the crossing on the arc alone",
     "ci 0 0 1000 10 30 0.5 0\n-2000 171.010071662834 2000 171.010071662834", false,
     {{939.692620785908, 171.010071662834}}},
    {"ellipses whose boxes do not meet", "ci 0 0 100 0 0 0.5 0\nci 500 0 100 0 0 0.5 10", false, {}},
};

TEST(Intersections, DrawingsAsADraughtspersonSeesThem) {
  for (const Case& c : kIntersections) ExpectPoints(Intersections(c.drawing, c.overlapEnds), c.want, c.name);
}

// More crossings than the cap: the first kMaxPoints in x order, and the cap
// reported; exactly as many: not reported.
// Where the curves meet at a quarter turn of the ellipse, the point is the
// quarter turn itself, to the last bit.
TEST(Intersections, TouchingAtTheTopOfAnEllipseIsExact) {
  const TPoints p = Intersections("ci 0 0 1000 0 0 0.5 0\nci 0 800 300");
  ASSERT_EQ(p.size(), 1u);
  EXPECT_EQ(p[0].x, 0);
  EXPECT_EQ(p[0].y, 500);
}

TEST(Intersections, TheCapIsReported) {
  auto grid = [](int across, int down) {
    std::string s;
    for (int k = 0; k < across; ++k) s += std::to_string(k) + " -1 " + std::to_string(k) + " 1000\n";
    for (int k = 0; k < down; ++k) s += "-1 " + std::to_string(k) + " 1000 " + std::to_string(k) + "\n";
    return s;
  };
  bool over = false;
  TPoints p = Intersections(grid(400, 251).c_str(), false, &over);
  EXPECT_TRUE(over);
  ASSERT_EQ(p.size(), kMaxPoints);
  EXPECT_EQ(p.front().x, 0);
  EXPECT_EQ(p.back().x, 398);  // 400 columns of 251: the cap falls in column 398
  EXPECT_EQ(p.back().y, 99999 - 398 * 251);
  p = Intersections(grid(400, 250).c_str(), false, &over);
  EXPECT_FALSE(over);
  EXPECT_EQ(p.size(), kMaxPoints);
}

TPoints Pitch(const char* drawing, double pitch, bool split, bool* over = nullptr) {
  TJGdata g;
  kxtest::ReadLines(g, drawing);
  TPoints out;
  const bool o = PitchPoints(g, pitch, split, g.IPoints[1], out);
  if (over) *over = o;
  return out;
}

TEST(PitchPoints, Cases) {
  const struct {
    const char* name;
    const char* drawing;
    double pitch;
    bool split;
    std::vector<Want> want;
  } cases[] = {
      {"a corner two lines share: once", "0 0 1000 0\n1000 0 1000 1000", 300, false,
       {{0, 0}, {300, 0}, {600, 0}, {900, 0}, {1000, 0}, {1000, 300}, {1000, 600}, {1000, 900},
        {1000, 1000}}},
      {"both ends with a pitch longer than the line: the ends alone", "0 0 1000 0", 5000, true,
       {{0, 0}, {1000, 0}}},
      {"a pitch a hair short of the line: its end, not beside it", "1000 0 0 0", 999.9999999, false,
       {{1000, 0}, {0, 0}}},
      {"a quarter circle by quarters of it: exact right angles", "ci 0 0 1000 0 90 1 0",
       1000 * 3.14159265358979323846 / 4, false,
       {{1000, 0}, {707.106781186548, 707.106781186548}, {0, 1000}}},
      {"an ellipse too large to measure: nothing, at once", "ci 0 0 100 0 90 1e200 0", 10, false, {}},
  };
  for (const auto& c : cases) ExpectPoints(Pitch(c.drawing, c.pitch, c.split), c.want, c.name);
  // The arc's end at 90 degrees is 0 exactly, not 6.1e-14.
  const TPoints p = Pitch("ci 0 0 1000 0 90 1 0", 1000 * 3.14159265358979323846 / 4, false);
  ASSERT_EQ(p.size(), 3u);
  EXPECT_EQ(p[2].x, 0);
}

// A tilt of 1e308 degrees is its remainder after whole turns: the circle is
// walked at the pitch, quickly.
TEST(PitchPoints, AHugeTiltIsItsRemainder) {
  const TPoints p = Pitch("ci 0 0 100 0 360 1 1e308", 10, false);
  EXPECT_EQ(p.size(), 63u);  // 2 pi 100 / 10, the last within a pitch of the first
  for (const TPointXY& q : p) EXPECT_NEAR(std::hypot(q.x, q.y), 100, 1e-9);
}

TEST(PitchPoints, TheCapIsReported) {
  bool over = false;
  TPoints p = Pitch("0 0 1000000 0", 0.001, false, &over);
  EXPECT_TRUE(over);
  EXPECT_EQ(p.size(), kMaxPoints);
  p = Pitch("0 0 99999 0", 1, false, &over);  // 100,000 points exactly
  EXPECT_FALSE(over);
  EXPECT_EQ(p.size(), kMaxPoints);
}

TPoints Divided(const char* drawing, int32_t n) {
  TJGdata g;
  kxtest::ReadLines(g, drawing);
  TPoints out;
  DivideAll(g, n, out);
  return out;
}

// Mode 10 divides an ellipse into parts of equal length along it, worked out
// in 50 digits; the ends of its axes lie exactly where symmetry puts them.
TEST(DivideAll, EllipsesByEqualLength) {
  const struct {
    const char* name;
    const char* drawing;
    int32_t n;
    std::vector<Want> want;
  } cases[] = {
      {"an ellipse in eight", "ci 0 0 1000 0 360 0.5 0", 8,
       {{1000, 0}, {594.4718914840599, 402.0581954877192}, {0, 500},
        {-594.4718914840599, 402.0581954877192}, {-1000, 0},
        {-594.4718914840599, -402.0581954877192}, {0, -500},
        {594.4718914840599, -402.0581954877192}}},
      {"a flat ellipse (flatness 0.01) in three", "ci 0 0 1000 0 360 0.01 0", 3,
       {{1000, 0}, {-333.4241982305118, 9.4277691106345}, {-333.4241982305118, -9.4277691106345}}},
      {"a tall ellipse (flatness 100) in six", "ci 0 0 10 0 360 100 0", 6,
       {{10, 0}, {7.451984058235938, 666.842812031422}, {-7.451984058235938, 666.842812031422},
        {-10, 0}, {-7.451984058235938, -666.842812031422}, {7.451984058235938, -666.842812031422}}},
      {"a quarter of an ellipse in three", "ci 0 0 1000 0 90 0.5 0", 3,
       {{776.3001850853679, 315.1817026083619}, {400.7321088507233, 458.0976361366789}}},
      {"a tilted elliptic arc in four: its middle on the short axis", "ci 100 200 1000 10 170 0.4 30", 4,
       {{393.9600832632881, 760.0541541907902}, {-100, 546.4101615137755},
        {-532.0011666558754, 225.4501772907988}}},
      // Both sides of the turn at 360 degrees, not the turn itself.
      {"a flat ellipse's arc round its turn in seven", "ci 0 0 1000 200 100 1e-9 0", 7,
       {{-494.92964957836, -8.689330480354869e-7}, {-50.1666783708116, -9.987408594731866e-7},
        {394.5962928367368, -9.188545944160612e-7}, {839.3592640442852, -5.43577065247455e-7},
        {715.8777647481664, 6.982256268135458e-7}, {271.114793540618, 9.625470215648834e-7}}},
      {"an ellipse flattened to a segment, the same", "ci 0 0 1000 200 100 0 0", 7,
       {{-494.92964957836, 0}, {-50.1666783708116, 0}, {394.5962928367368, 0},
        {839.3592640442852, 0}, {715.8777647481664, 0}, {271.114793540618, 0}}},
      {"an ellipse too large to measure: nothing; the line after it divided",
       "ci 0 0 1e300 0 90 0.5 0\n0 0 3 0", 3, {{1, 0}, {2, 0}}},
  };
  for (const auto& c : cases) ExpectPoints(Divided(c.drawing, c.n), c.want, c.name);
  const TPoints eight = Divided("ci 0 0 1000 0 360 0.5 0", 8);
  ASSERT_EQ(eight.size(), 8u);
  for (int k = 0; k < 8; k += 2) EXPECT_TRUE(eight[k].x == 0 || eight[k].y == 0) << "point " << k;
  // Mode 6 keeps dividing by equal angles: 30 and 60 degrees.
  TJGdata g;
  kxtest::ReadLines(g, "ci 0 0 1000 0 90 0.5 0");
  TPoints six;
  DivideArc(g.EntArc[0], 3, six);
  ExpectPoints(six, {{866.0254037844386, 250}, {500, 433.0127018922193}}, "mode 6's arc in three");
}

// The length of an ellipse between two parameters, in closed form, against
// the integral of its speed in 40 digits (split at the ends of the axes):
// flat, tall, mirrored, flat beyond telling from a segment, and across
// several half turns.
TEST(EllipseLength, AgainstFortyDigits) {
  const double turn = 6.283185307179586, half = 3.141592653589793, quarter = 1.5707963267948966;
  const struct {
    const char* name;
    double cr, he, t0, t1, want;
  } cases[] = {
      {"a whole ellipse", 1000, 0.5, 0, turn, 4844.2241102738378608},
      {"a quarter of a flat one (0.01)", 1000, 0.01, 0, quarter, 1000.274582430662946},
      {"a whole very flat one (1e-6)", 1000, 1e-6, 0, turn, 4000.0000000294036098},
      {"a tall one (100), its long axis at a quarter turn", 10, 100, 0.3, 2.9, 1465.7789383793051102},
      {"a segment there and back (0)", 1000, 0, 0, half, 2000},
      {"a mirrored one across several half turns", 500, -0.3, -5, 7, 4145.9142793973394096},
      {"all but a circle", 1000, 0.999999, 1, 2, 999.99991652501574965},
  };
  for (const auto& c : cases) {
    TJwwEntArc a;
    a.cr = c.cr, a.he = c.he;
    const pointgeo::EllipseLength len(a);
    const double got = len.Measure(c.t1).length - len.Measure(c.t0).length;
    EXPECT_NEAR(got, c.want, 1e-14 * c.want) << c.name;
  }
}

// Points at whole quarter turns on circles and arcs are exact in modes 9 and 10.
TEST(RightAngles, EndsCentresAndDivisionsAreExact) {
  TJGdata g;
  kxtest::ReadLines(g, "ci 0 0 1000 0 90 1 0\nci 0 0 1000 90 180 0.5 90");
  TPoints ends;
  EndAndCentrePoints(g, 1, ends);
  ASSERT_EQ(ends.size(), 4u);
  EXPECT_EQ(ends[0].x, 1000);
  EXPECT_EQ(ends[0].y, 0);
  EXPECT_EQ(ends[1].x, 0);
  EXPECT_EQ(ends[1].y, 1000);
  // The tilted ellipse's ends: at 90 degrees, (0, 500) turned by 90; at 180, (-1000, 0) turned.
  EXPECT_EQ(ends[2].x, -500);
  EXPECT_EQ(ends[2].y, 0);
  EXPECT_EQ(ends[3].x, 0);
  EXPECT_EQ(ends[3].y, -1000);
  TJGdata c;
  kxtest::ReadLines(c, "ci 0 0 1000");
  TPoints four;
  DivideAll(c, 4, four);
  ExpectPoints(four, {{1000, 0}, {0, 1000}, {-1000, 0}, {0, -1000}}, "a circle in four");
  for (const TPointXY& p : four) EXPECT_TRUE(p.x == 0 || p.y == 0);
}

// A tilted elliptic arc is one curve for every tool: distance 0 from either
// end (mode 12) is that end as mode 9 places it, to the bit.
TEST(DistancePoints, EndsOfATiltedEllipseAreModeNinesEnds) {
  for (const char* arc : {"ci 100 200 1000 10 250 0.4 30", "ci -5 7 333 200 80 2.5 123.4"}) {
    TJGdata g;
    kxtest::ReadLines(g, arc);
    TPoints ends;
    EndAndCentrePoints(g, 1, ends);
    ASSERT_EQ(ends.size(), 2u);
    for (const TPointXY& end : ends) {
      TJwwIndPoint from;
      from.flg = 1, from.x = end.x, from.y = end.y;
      TPoints at;
      DistancePoints(g, {0}, false, from, at);
      ASSERT_EQ(at.size(), 1u);
      EXPECT_EQ(at[0].x, end.x) << arc;
      EXPECT_EQ(at[0].y, end.y) << arc;
    }
  }
}

// Far out, where x less kSamePoint rounds back to x, two crossings on one x
// within kSamePoint of each other are still one point.
TEST(ExtendedIntersections, CrossingsFarOutWithinTheSamePointAreOne) {
  TJGdata g;
  kxtest::ReadLines(g, "19999999000 0 20000001000 0\n20000000000 -1000 20000000000 1000\n"
                       "19999999000 0.0000001 20000001000 0.0000001");
  TPoints out;
  EXPECT_FALSE(ExtendedIntersections(g, out));
  ExpectPoints(out, {{2e10, 0}}, "a vertical across two horizontals 1e-7 apart at x = 2e10");
}

// The pairs of a few lines are all tried, and the crossings many pairs share
// are gathered as they come; what is kept is what keeping every crossing
// would keep, also where a gathered crossing lies just within kSamePoint of
// one kept before it while the others gathered with it do not.
TEST(ExtendedIntersections, CrossingsSharedByManyPairs) {
  std::string star;
  for (int k = 0; k < 60; ++k) {
    const double a = (k + 0.5) * 3.0;  // degrees
    star += std::to_string(3 + 1000 * std::cos(a / 180 * 3.141592653589793)) + " " +
            std::to_string(4 + 1000 * std::sin(a / 180 * 3.141592653589793)) + " 3 4\n";
  }
  const struct {
    const char* name;
    std::string drawing;
    std::vector<Want> want;
  } cases[] = {
      {"60 lines through one point", star, {{3, 4}}},
      {"a crossing 9e-7 left of two gathered 2e-7 apart",
       "-1000 0 1000 0\n0 -1000 0 1000\n0.0000002 -1000 0.0000002 1000\n"
       "-0.0000009 -1000 -0.0000009 1000",
       {{-9e-7, 0}, {2e-7, 0}}},
  };
  for (const auto& c : cases) {
    TJGdata g;
    kxtest::ReadLines(g, c.drawing);
    TPoints out;
    EXPECT_FALSE(ExtendedIntersections(g, out)) << c.name;
    ExpectPoints(out, c.want, c.name);
  }
}

// What a tool may pass and get as the header promises: counts and pitches
// that give nothing place nothing, a count of 1 one point on each closed
// figure, and every routine appends to what out holds, without taking those
// points for its own.
TEST(PointTools, WhatTheHeaderPromisesACaller) {
  TJGdata g;
  kxtest::ReadLines(g, "0 0 100 0\nci 0 0 10\nci 0 0 10 0 90 1 0\nci 0 0 10 0 360 0.5 0");
  enum Figure { kLine, kCircle, kArc, kClosedEllipse, kAll };
  const auto place = [&](Figure f, int32_t n, TPoints& out) {
    switch (f) {
      case kLine: return DivideLine(g.EntLine[0], n, out);
      case kCircle: return DivideCircle(g.EntCirc[0], n, out);
      case kArc: return DivideArc(g.EntArc[0], n, out);
      case kClosedEllipse: return DivideArc(g.EntArc[1], n, out);
      case kAll: break;
    }
    return DivideAll(g, n, out);
  };
  const struct {
    const char* name;
    Figure figure;
    int32_t n;
    size_t want;
  } cases[] = {
      {"a line in 4", kLine, 4, 3},
      {"a line in 1", kLine, 1, 0},
      {"a line in 0", kLine, 0, 0},
      {"a line in -3", kLine, -3, 0},
      {"a circle in 1", kCircle, 1, 1},
      {"a circle in 0", kCircle, 0, 0},
      {"an arc in 1", kArc, 1, 0},
      {"an arc in -1", kArc, -1, 0},
      {"a closed ellipse in 1", kClosedEllipse, 1, 1},
      {"a closed ellipse in 0", kClosedEllipse, 0, 0},
      {"all in 1: one on each closed figure", kAll, 1, 2},
      {"all in 0", kAll, 0, 0},
      {"all in -5", kAll, -5, 0},
  };
  for (const auto& c : cases) {
    TPoints out = {{7, 7}};  // appended to, never cleared
    EXPECT_FALSE(place(c.figure, c.n, out)) << c.name;
    ASSERT_EQ(out.size(), c.want + 1) << c.name;
    EXPECT_EQ(out[0].x, 7) << c.name;
  }
  // A point the caller holds already does not stand for one placed now.
  TJGdata cross;
  kxtest::ReadLines(cross, "0 0 100 0\n0 0 0 100");
  TPoints out = {{0, 0}};
  EXPECT_FALSE(IntersectionPoints(cross, false, out));
  ExpectPoints(out, {{0, 0}, {0, 0}}, "a crossing where out holds a point");
  out = {{0, 0}};
  EXPECT_FALSE(EndAndCentrePoints(cross, 1, out));
  ExpectPoints(out, {{0, 0}, {0, 0}, {100, 0}, {0, 100}}, "ends where out holds a point");
  out = {{0, 0}};
  EXPECT_FALSE(ExtendedIntersections(cross, out));
  ExpectPoints(out, {{0, 0}, {0, 0}}, "an extended intersection where out holds a point");
  TJwwIndPoint none, p1, p2;
  p1.flg = p2.flg = 1, p2.x = 100;
  out = {{0, 0}};
  EXPECT_TRUE(DistancePoints(cross, {0, 50}, false, none, out));
  ExpectPoints(out, {{0, 0}, {0, 0}, {50, 0}}, "distances where out holds a point");
  out = {{0, 0}};
  TLayout halves;
  halves.parts = 2;
  EXPECT_FALSE(LayoutPoints(cross, halves, p1, p2, out));
  ExpectPoints(out, {{0, 0}, {0, 0}, {50, 0}, {100, 0}}, "a layout where out holds a point");
  for (const double pitch : {0.0, -10.0, std::nan(""), std::numeric_limits<double>::infinity()}) {
    TPoints out = {{7, 7}};
    EXPECT_FALSE(PitchPoints(g, pitch, false, g.IPoints[1], out)) << pitch;
    EXPECT_EQ(out.size(), 1u) << pitch;
  }
}

}  // namespace
