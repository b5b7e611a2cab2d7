// Geometry of the stored entities: every kind under a move, a quarter turn, a
// scale and a mirror, checked against the record written back; mirrors and
// turns undone; unequal scales; the extent of each kind and of the store.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "myfunc/MyFunc.h"
#include "platform/Platform.h"
#include "tests/TestUtil.h"

using T = TJwwTransform;

namespace {

std::string U8(std::u16string_view s) { return platform::TextToUtf8(s); }

bool IsPen(std::string_view l) {
  for (std::string_view k : {"lg", "ly", "lc", "lt", "lw", "pn", "cn", "cc"}) {
    if (l.starts_with(k)) return true;
  }
  return false;
}

// The lines the whole store is written back as, without the pen commands.
std::string Entities(TJGdata& g) {
  g.StopJwwGaibu();
  g.S_Init();
  g.S_EntAll({});
  std::string out;
  for (int32_t i = 0; i < g.t_MemN; ++i) {
    const std::string l = U8(g.t_Mem[static_cast<size_t>(i)]);
    if (IsPen(l)) continue;
    if (!out.empty()) out += '\n';
    out += l;
  }
  return out;
}

// One record of every kind that is written back; a block insert has its own test.
const char* const kKinds[] = {
    "0 0 10 5",                     // line
    "ci 10 0 5",                    // circle
    "ci 10 0 5 0 90 1 0",           // circle arc
    "ci 10 0 5 30 120 0.5 20",      // ellipse arc
    "ch 10 0 1 0 \"A",              // text
    "pt 10 5",                      // point
    "pt 10 5 2 30 -4",              // marker
    "msg\n0 0 10 0\ncs 5 1 1 0 \"10",  // dimension
    "sl 0 0 10 5",                  // solids of corners
    "sl 0 0 10 0 10 5",
    "sl 0 0 10 0 10 5 0 5",
    "sc 10 0 5 1 0 0 90 100",       // circular solids: cx cy cr he ka sa da, code or ri
    "se 10 0 5 0.5 20 30 120 0",
    "so 10 0 5 1 0 0 360 2",
    "sg 10 0 5 0.5 20 30 120 2",
};

struct MapCase {
  const char* name;
  T map;
  const char* want[std::size(kKinds)];
};

// What the file says after each map, kind by kind, in the order of kKinds.
const MapCase kMaps[] = {
    {"move by (100, -50)",
     T::Move(100, -50),
     {"100 -50 110 -45", "ci 110 -50 5", "ci 110 -50 5 0 90 1 0", "ci 110 -50 5 30 120 0.5 20",
      "ch 110 -50 1 0 \"A", "pt 110 -45", "pt 110 -45 2 30 -4",
      "msg\n100 -50 110 -50\ncs 105 -49 1 0 \"10", "sl 100 -50 110 -45",
      "sl 100 -50 110 -50 110 -45", "sl 100 -50 110 -50 110 -45 100 -45",
      "sc 110 -50 5 1 0 0 90 100", "se 110 -50 5 0.5 20 30 120 0", "so 110 -50 5 1 0 0 360 2",
      "sg 110 -50 5 0.5 20 30 120 2"}},
    // A plain arc turns its ends and keeps tilt 0; an ellipse turns its tilt;
    // a whole ring keeps its angles.
    {"quarter turn about the origin",
     T::Rotate(0, 0, 90),
     {"0 0 -5 10", "ci 0 10 5", "ci 0 10 5 90 180 1 0", "ci 0 10 5 30 120 0.5 110",
      "ch 0 10 0 1 \"A", "pt -5 10", "pt -5 10 2 120 -4", "msg\n0 0 0 10\ncs -1 5 0 1 \"10",
      "sl 0 0 -5 10", "sl 0 0 0 10 -5 10", "sl 0 0 0 10 -5 10 -5 0",
      "sc 0 10 5 1 0 90 180 100", "se 0 10 5 0.5 110 30 120 0", "so 0 10 5 1 0 0 360 2",
      "sg 0 10 5 0.5 110 30 120 2"}},
    // Radii scale; text sizes, a text's direction, a marker's scale and a
    // dimension's text stay.
    {"scale by 2 about the origin",
     T::Scale(0, 0, 2),
     {"0 0 20 10", "ci 20 0 10", "ci 20 0 10 0 90 1 0", "ci 20 0 10 30 120 0.5 20",
      "ch 20 0 1 0 \"A", "pt 20 10", "pt 20 10 2 30 -4", "msg\n0 0 20 0\ncs 10 2 1 0 \"10",
      "sl 0 0 20 10", "sl 0 0 20 0 20 10", "sl 0 0 20 0 20 10 0 10",
      "sc 20 0 10 1 0 0 90 100", "se 20 0 10 0.5 20 30 120 0", "so 20 0 10 1 0 0 360 4",
      "sg 20 0 10 0.5 20 30 120 4"}},
    // Left and right swap. Arcs keep running counter-clockwise: 0-90 about
    // (10, 0) becomes 90-180 about (-10, 0); the ellipse's ends swap and turn
    // (-120, -30) and its tilt mirrors (180 - 20). The text turns round.
    {"mirror about the upright through the origin",
     T::Mirror(0, 0, 90),
     {"0 0 -10 5", "ci -10 0 5", "ci -10 0 5 90 180 1 0", "ci -10 0 5 240 330 0.5 160",
      "ch -10 0 -1 0 \"A", "pt -10 5", "pt -10 5 2 150 -4", "msg\n0 0 -10 0\ncs -5 1 -1 0 \"10",
      "sl 0 0 -10 5", "sl 0 0 -10 0 -10 5", "sl 0 0 -10 0 -10 5 0 5",
      "sc -10 0 5 1 0 90 180 100", "se -10 0 5 0.5 160 240 330 0", "so -10 0 5 1 0 0 360 2",
      "sg -10 0 5 0.5 160 240 330 2"}},
};

TEST(Geometry, EveryKindUnderEveryMap) {
  for (const MapCase& m : kMaps) {
    for (size_t k = 0; k < std::size(kKinds); ++k) {
      TJGdata g;
      kxtest::ReadLines(g, kKinds[k]);
      ASSERT_EQ(g.EntN, 1) << kKinds[k];
      EXPECT_TRUE(g.Transform(m.map)) << m.name << ": " << kKinds[k];
      EXPECT_EQ(Entities(g), m.want[k]) << m.name << ": " << kKinds[k];
    }
  }
}

// A block insert is never written back; its insertion point follows.
TEST(Geometry, BlockInsertPoint) {
  for (const MapCase& m : kMaps) {
    TJGdata g;
    kxtest::ReadLines(g, "BL 10 5 door");
    ASSERT_TRUE(g.Transform(m.map));
    double x = 10, y = 5;
    m.map.Map(x, y);
    EXPECT_EQ(std::tuple(g.EntBlk[0].px, g.EntBlk[0].py), std::tuple(x, y)) << m.name;
  }
}

// Numbers of two writings agree within a rounding, angles within a whole turn.
void ExpectNear(const std::string& got, const std::string& want, const char* what) {
  std::vector<std::u16string> a, b;
  auto split = [](const std::string& s, std::vector<std::u16string>& out) {
    std::u16string t;
    platform::Utf8ToText(s, t);
    size_t at = 0;
    while (at < t.size()) {
      const size_t end = std::min(t.find_first_of(u" \n", at), t.size());
      out.push_back(t.substr(at, end - at));
      at = end + 1;
    }
  };
  split(got, a);
  split(want, b);
  ASSERT_EQ(a.size(), b.size()) << what << "\n" << got << "\nwant\n" << want;
  for (size_t i = 0; i < a.size(); ++i) {
    const double x = StrToFloatZ(a[i]), y = StrToFloatZ(b[i]);
    if (x == 0 && y == 0) {
      EXPECT_EQ(U8(a[i]), U8(b[i])) << what;
      continue;
    }
    const double d = std::fabs(x - y), turns = std::fabs(d - 360 * std::round(d / 360));
    EXPECT_TRUE(d <= 1e-9 * std::max(1.0, std::fabs(y)) || turns <= 1e-9)
        << what << ": " << U8(a[i]) << " against " << U8(b[i]);
  }
}

std::string AllKinds() {
  std::string s;
  for (const char* k : kKinds) s += std::string(k) + "\n";
  return s + "BL 10 5 door";
}

// Undoing a map gives the store back: a mirror twice about any line, a turn
// and its opposite, a scale and its inverse; four quarter turns exactly.
TEST(Geometry, MapsUndone) {
  struct Case {
    const char* name;
    T map;
    int times;
    bool exact;
  };
  const Case cases[] = {
      {"mirror about a slanted line, twice", T::Mirror(3, -7, 37), 2, false},
      {"mirror left-right, twice", T::Mirror(5, 0, 90), 2, true},
      {"quarter turn, four times", T::Rotate(3, 4, 90), 4, true},
      {"turn by 30 about a point, twelve times", T::Rotate(1, 2, 30), 12, false},
      {"turn by 37, then by -37", T::Rotate(1, 2, 37).Then(T::Rotate(1, 2, -37)), 1, false},
      {"scale by 3, then by a third", T::Scale(4, 4, 3).Then(T::Scale(4, 4, 1.0 / 3)), 1, false},
      {"mirror and turn, undone",
       T::Mirror(0, 0, 20).Then(T::Rotate(0, 0, 50)).Then(T::Rotate(0, 0, -50)).Then(
           T::Mirror(0, 0, 20)),
       1, false},
  };
  for (const Case& c : cases) {
    TJGdata g;
    kxtest::ReadLines(g, AllKinds());
    const std::string before = Entities(g);
    for (int i = 0; i < c.times; ++i) ASSERT_TRUE(g.Transform(c.map)) << c.name;
    if (c.exact) {
      EXPECT_EQ(Entities(g), before) << c.name;
    } else {
      ExpectNear(Entities(g), before, c.name);
    }
  }
}

// A chain of maps does what its steps do one after the other.
TEST(Geometry, ChainedMapsAreTheirSteps) {
  const T steps[] = {T::Mirror(2, 3, 15), T::Scale(-1, 1, 2.5), T::Rotate(4, -2, 70),
                     T::Move(10, 20), T::Scale(0, 0, -1)};
  TJGdata one, each;
  kxtest::ReadLines(one, AllKinds());
  kxtest::ReadLines(each, AllKinds());
  T chain;
  for (const T& s : steps) {
    chain = chain.Then(s);
    ASSERT_TRUE(each.Transform(s));
  }
  ASSERT_TRUE(one.Transform(chain));
  ExpectNear(Entities(one), Entities(each), "chain against steps");
}

// An unequal scale maps what is made of points alone, exactly; a store that
// holds anything else is refused whole. A map that is not sound is refused.
TEST(Geometry, RefusedMaps) {
  const T stretch = T::Scale(0, 0, 2, 1);
  {
    TJGdata g;
    kxtest::ReadLines(g, "0 0 10 5\npt 10 5\nsl 0 0 10 0 10 5 0 5\nBL 10 5 door");
    ASSERT_TRUE(g.Transform(stretch));
    EXPECT_EQ(Entities(g), "0 0 20 5\npt 20 5\nsl 0 0 20 0 20 5 0 5");
    EXPECT_EQ(g.EntBlk[0].px, 20);
  }
  for (const char* other : {"ci 10 0 5", "ci 10 0 5 0 90 1 0", "ch 10 0 1 0 \"A", "pt 1 2 1 0 -4",
                            "msg\n0 0 10 0\ncs 5 1 1 0 \"10", "sc 10 0 5 1 0 0 90 100",
                            "so 10 0 5 1 0 0 360 2"}) {
    TJGdata g;
    kxtest::ReadLines(g, std::string("0 0 10 5\n") + other);
    const std::string before = Entities(g);
    EXPECT_FALSE(g.Transform(stretch)) << other;
    EXPECT_EQ(Entities(g), before) << other;
  }
  const double inf = std::numeric_limits<double>::infinity();
  const T unsound[] = {T::Scale(1, 1, 0), T::Move(std::nan(""), 0), T::Rotate(0, 0, inf),
                       T::Scale(0, 0, 2, 0)};
  for (const T& t : unsound) {
    TJGdata g;
    kxtest::ReadLines(g, "0 0 10 5");
    EXPECT_FALSE(g.Transform(t));
    EXPECT_EQ(Entities(g), "0 0 10 5");
  }
  // Scaling by -1 along one axis alone is a mirror, which every kind follows.
  TJGdata g;
  kxtest::ReadLines(g, AllKinds());
  EXPECT_TRUE(g.Transform(T::Scale(0, 0, -1, 1)));
  TJGdata m;
  kxtest::ReadLines(m, AllKinds());
  ASSERT_TRUE(m.Transform(T::Mirror(0, 0, 90)));
  EXPECT_EQ(Entities(g), Entities(m));
}

// The extent of each kind; arcs by the points where they turn back.
TEST(Geometry, BoxOfEachKind) {
  struct Case {
    const char* record;
    double x1, y1, x2, y2;
  };
  const Case cases[] = {
      {"0 0 10 -5", 0, -5, 10, 0},
      {"ci 10 0 5", 5, -5, 15, 5},
      {"ci 10 0 5 0 90 1 0", 10, 0, 15, 5},
      {"ci 10 0 5 270 90 1 0", 10, -5, 15, 5},     // across angle 0
      {"ci 10 0 5 90 270 1 0", 5, -5, 10, 5},      // across 180
      {"ci 0 0 4 0 0 0.5 90", -2, -4, 2, 4},       // whole ellipse stood upright
      {"ci 0 0 4 0 180 0.5 90", -2, -4, 0, 4},     // its half on the left
      {"ch 3 4 1 0 \"long text", 3, 4, 3, 4},      // a text by its start
      {"pt 3 4 5 0 -4", 3, 4, 3, 4},
      {"msg\n0 0 10 0\ncs 5 -2 1 0 \"10", 0, -2, 10, 0},
      {"BL 3 4 door", 3, 4, 3, 4},
      {"sl 0 0 10 0 5 8", 0, 0, 10, 8},
      {"sc 10 0 5 1 0 0 90 100", 10, 0, 15, 5},    // a sector reaches its centre
      {"sc 10 0 5 1 0 45 135 100", 10 - 5 * std::sqrt(0.5), 0, 10 + 5 * std::sqrt(0.5), 5},
      {"so 10 0 5 1 0 0 360 2", 5, -5, 15, 5},
  };
  for (const Case& c : cases) {
    TJGdata g;
    kxtest::ReadLines(g, c.record);
    const TJwwBox b = g.Box();
    EXPECT_FALSE(b.Empty()) << c.record;
    const double tol = 1e-12;
    EXPECT_NEAR(b.x1, c.x1, tol) << c.record;
    EXPECT_NEAR(b.y1, c.y1, tol) << c.record;
    EXPECT_NEAR(b.x2, c.x2, tol) << c.record;
    EXPECT_NEAR(b.y2, c.y2, tol) << c.record;
  }
}

TEST(Geometry, BoxOfTheStore) {
  TJGdata g;
  EXPECT_TRUE(g.Box().Empty());
  kxtest::ReadLines(g, "0 0 10 5\nci -20 0 5\npt 3 40");
  const TJwwBox b = g.Box();
  EXPECT_EQ(std::tuple(b.x1, b.y1, b.x2, b.y2), std::tuple(-25.0, -5.0, 10.0, 40.0));
  // Records beyond a count are not in the store.
  g.EntCircN = 0;
  EXPECT_EQ(g.Box().x1, 0);
}

}  // namespace

// A quarter turn rounds each coordinate once: what it writes is the exact
// turn of the coordinates given, rounded (worked out here in 113-bit
// arithmetic), and the centre stays where it is.
TEST(Geometry, QuarterTurnsRoundOnce) {
  uint64_t state = 29;
  auto next = [&] {  // three decimals within +-200 m
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    const int64_t thousandths = static_cast<int64_t>((state >> 33) % 400000001) - 200000000;
    return StrToFloatZ(IntStr(static_cast<int32_t>(thousandths)) + u"e-3");
  };
  using Q = __float128;
  int wrong = 0;
  for (int k = 0; k < 200000; ++k) {
    const double cx = next(), cy = next(), x = next(), y = next();
    double px = x, py = y;
    T::Rotate(cx, cy, 90).Map(px, py);
    // (x, y) about (cx, cy) by 90 degrees: (cx - (y - cy), cy + (x - cx)).
    const double ex = static_cast<double>(Q(cx) - (Q(y) - Q(cy)));
    const double ey = static_cast<double>(Q(cy) + (Q(x) - Q(cx)));
    if (FloatStr(px) != FloatStr(ex) || FloatStr(py) != FloatStr(ey)) ++wrong;
  }
  EXPECT_EQ(wrong, 0);
  double x = 162068.297, y = -5.5;
  T::Rotate(x, y, 90).Map(x, y);
  EXPECT_EQ(FloatStr(x), u"162068.297");
  EXPECT_EQ(y, -5.5);
}

// A turn by a huge angle turns as its remainder after whole turns does.
TEST(Geometry, HugeTurnsAreTheirRemainder) {
  TJwwEntMark m;
  m.ang = 10.3;
  ASSERT_TRUE(T::Rotate(0, 0, 36000090).Apply(m));
  EXPECT_EQ(FloatStr(m.ang), u"100.3");
  TJwwEntArc a;
  a.cr = 5, a.sa = 10, a.ea = 20, a.he = 1;
  ASSERT_TRUE(T::Rotate(0, 0, 1e17).Apply(a));
  const double turn = std::fmod(1e17, 360.0);
  EXPECT_NEAR(std::fmod(a.ea - a.sa + 360, 360), 10, 1e-9);
  EXPECT_NEAR(std::fmod(a.sa - 10 - turn + 720, 360), 0, 1e-9);
  m.ang = 10.3;
  ASSERT_TRUE(T::Rotate(0, 0, 36000000).Then(T::Rotate(0, 0, 90)).Apply(m));
  EXPECT_EQ(FloatStr(m.ang), u"100.3");
}
