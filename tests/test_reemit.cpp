// Writing the stored entities back: pen commands before each entity, the
// attribute overrides, curves kept together as polyline blocks, and breaking
// off with the Escape key.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "jwwgaibu/EscHook.h"
#include "jwwgaibu/Grow.h"
#include "tests/TestUtil.h"

using Lines = std::vector<std::u16string>;

namespace {

Lines Written(const TJGdata& g) { return Lines(g.t_Mem.begin(), g.t_Mem.begin() + g.t_MemN); }

// Stores a record the way the reader does: index entry first, then the record.
template <class T>
void Put(TJGdata& g, std::vector<T>& a, int32_t& n, int32_t yn, const T& rec) {
  g.SetEntNo(yn, n);
  AppendGrow(a, n) = rec;
}

TJwwEntAttr Att(int32_t lgrp, int32_t lay, int32_t col, int32_t ltp = 1, int32_t wid = 0,
                int32_t attr = 0) {
  return TJwwEntAttr{0, lgrp, lay, col, ltp, wid, attr};
}

TJwwEntLine Line(TJwwEntAttr at, int32_t crv, double x1, double y1, double x2, double y2) {
  return TJwwEntLine{at, crv, x1, y1, x2, y2};
}

// Stands in for the Escape key: held down from the given call on (1-based),
// counting every call.
int g_escCalls = 0;
int g_escFrom = 0;
bool FakeEsc() { return ++g_escCalls >= g_escFrom; }

struct EscFake {
  explicit EscFake(int from) {
    g_escCalls = 0;
    g_escFrom = from;
    jwwgaibu::SetEscTest(FakeEsc);
  }
  ~EscFake() { jwwgaibu::SetEscTest(nullptr); }
};

constexpr int32_t kKeep[8] = {-1, -1, -1, -1, -1, -1, -1, 0};

void All(TJGdata& g, const int32_t (&a)[8]) {
  g.S_EntAll(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
}
void AllP(TJGdata& g, const int32_t (&a)[8]) {
  g.S_EntAllp(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
}

TEST(Reemit, EveryKindWithItsOwnAttributes) {
  TJGdata g;
  g.Zusun = true;
  g.WidF = true;
  const TJwwEntAttr at = Att(1, 2, 3, 4, 5);
  Put(g, g.EntLine, g.EntLineN, 1, Line(at, 0, 0, 0, 10, 0));
  Put(g, g.EntCirc, g.EntCircN, 2, TJwwEntCircle{at, 5, 5, 2});
  Put(g, g.EntArc, g.EntArcN, 3, TJwwEntArc{Att(1, 2, 4, 4, 5), 0, 0, 3, 0, 90, 0.5, 30});
  Put(g, g.EntText, g.EntTextN, 4,
      TJwwEntText{Att(1, 2, 7, 4, 5, 1), 3, 2, 3, 3, 3, 0, 1, 2, 1, 0, u"<Arial>", u"abc"});
  Put(g, g.EntPnt, g.EntPntN, 5, TJwwEntPnt{Att(1, 2, 6, 4, 5), 1, 1});
  Put(g, g.EntMark, g.EntMarkN, 6, TJwwEntMark{Att(1, 2, 6, 4, 5), 2, 2, 1.5, 45, 3});
  Put(g, g.EntBlk, g.EntBlkN, 8, TJwwEntBlk{at, 7, 7, u"blk"});
  TJwwEntDim dim;
  dim.att = Att(1, 3, 9, 9, 9);
  // Flags read before "msg" sit on the dimension line; they go back there.
  dim.lin = Line(Att(1, 3, 2, 1, 5, 4), 0, 0, 0, 100, 0);
  dim.txt = TJwwEntText{Att(1, 3, 5), 2, 0, 0, 2.5, 2.5, 0.5, 50, 1, 1, 0, u"<Arial>", u"100"};
  Put(g, g.EntDim, g.EntDimN, 7, dim);
  const TJwwEntAttr fill = Att(1, 3, 10, 1, 7);
  Put(g, g.EntSld2, g.EntSld2N, 9, TJwwEntSld2{fill, 255, 0, 0, 1, 1});
  Put(g, g.EntSld3, g.EntSld3N, 10, TJwwEntSld3{Att(1, 3, 3, 1, 7), 99, 0, 0, 1, 0, 0, 1});
  Put(g, g.EntSld4, g.EntSld4N, 11, TJwwEntSld4{fill, 65280, 0, 0, 1, 0, 1, 1, 0, 1});
  Put(g, g.EntSldC, g.EntSldCN, 12, TJwwEntSldC{fill, 65280, 0, 0, 5, 1, 0, 0, 360, 5});
  Put(g, g.EntSldE, g.EntSldEN, 13, TJwwEntSldC{fill, 65280, 0, 0, 5, 1, 0, 0, 360, 0});
  Put(g, g.EntSldO, g.EntSldON, 14, TJwwEntSldD{Att(1, 3, 2), 0, 0, 0, 5, 1, 0, 0, 360, 2});
  Put(g, g.EntSldG, g.EntSldGN, 15, TJwwEntSldD{Att(1, 3, 2), 0, 0, 0, 5, 1, 0, 0, 360, 2});
  g.SetEntNo(0, 0);  // entries of no known kind are passed over
  g.SetEntNo(16, 0);
  g.S_Init();
  All(g, kKeep);
  EXPECT_EQ(Written(g), (Lines{
                            u"bz",
                            u"lg1", u"ly2", u"lc3", u"lt4", u"lw5", u"0 0 10 0",
                            u"ci 5 5 2",
                            u"lc4", u"ci 0 0 3 0 90 0.5 30",
                            u"cn3", u"cc2", u"cn\"$<Arial>", u"z1", u"cr 1 2 1 0 \"abc",
                            u"pn6", u"pt 1 1",
                            u"pt 2 2 1.5 45 3",
                            u"ly3", u"lc2", u"lt1", u"cn0 2.5 2.5 0.5 5", u"cc0", u"z3",
                            u"msg", u"0 0 100 0", u"cs 50 1 1 0 \"100",
                            u"lc10 255", u"lw7", u"sl 0 0 1 1",
                            u"lc3", u"sl 0 0 1 0 0 1",
                            u"lc10 65280", u"sl 0 0 1 0 1 1 0 1",
                            u"sc 0 0 5 1 0 0 360 5",
                            u"se 0 0 5 1 0 0 360 0",
                            u"lc2", u"so 0 0 5 1 0 0 360 2",
                            u"sg 0 0 5 1 0 0 360 2",
                            u"lg0", u"ly0",
                        }));
}

// One drawing, every override in turn: the lines that change are the ones the
// override applies to.
TEST(Reemit, Overrides) {
  struct Case {
    const char* name;
    int32_t a[8];
    Lines want;
  };
  const Case cases[] = {
      {"keep", {-1, -1, -1, -1, -1, -1, -1, 0},
       {u"lg1", u"ly2", u"lc3", u"lt4", u"lw5", u"0 0 1 0", u"pn6", u"pt 1 1", u"cn3", u"cc2",
        u"cn\"$<F>", u"ch 0 0 1 0 \"a", u"lc10 255", u"sl 0 0 2 2", u"lc3",
        u"sl 0 0 1 0 0 1"}},
      {"group 16 keeps", {16, 99, -1, -1, -1, -1, -1, 0},
       {u"lg1", u"ly2", u"lc3", u"lt4", u"lw5", u"0 0 1 0", u"pn6", u"pt 1 1", u"cn3", u"cc2",
        u"cn\"$<F>", u"ch 0 0 1 0 \"a", u"lc10 255", u"sl 0 0 2 2", u"lc3",
        u"sl 0 0 1 0 0 1"}},
      {"group and layer", {5, 15, -1, -1, -1, -1, -1, 0},
       {u"lg5", u"lyF", u"lc3", u"lt4", u"lw5", u"0 0 1 0", u"pn6", u"pt 1 1", u"cn3", u"cc2",
        u"cn\"$<F>", u"ch 0 0 1 0 \"a", u"lc10 255", u"sl 0 0 2 2", u"lc3", u"sl 0 0 1 0 0 1",
        u"lg1", u"ly2"}},
      {"colour -2 is a colour", {-1, -1, -2, -1, -1, -1, -1, 0},
       {u"lg1", u"ly2", u"lc-2", u"lt4", u"lw5", u"0 0 1 0", u"pn-2", u"pt 1 1", u"cn3",
        u"cc2", u"cn\"$<F>", u"ch 0 0 1 0 \"a", u"sl 0 0 2 2", u"sl 0 0 1 0 0 1"}},
      {"colour 10 fills with a8", {-1, -1, 10, -1, -1, -1, -1, 77},
       {u"lg1", u"ly2", u"lc10", u"lt4", u"lw5", u"0 0 1 0", u"pn10", u"pt 1 1", u"cn3",
        u"cc2", u"cn\"$<F>", u"ch 0 0 1 0 \"a", u"lc10 77", u"sl 0 0 2 2", u"sl 0 0 1 0 0 1"}},
      {"line type", {-1, -1, -1, 9, -1, -1, -1, 0},
       {u"lg1", u"ly2", u"lc3", u"lt9", u"lw5", u"0 0 1 0", u"pn6", u"pt 1 1", u"cn3", u"cc2",
        u"cn\"$<F>", u"ch 0 0 1 0 \"a", u"lc10 255", u"sl 0 0 2 2", u"lc3",
        u"sl 0 0 1 0 0 1"}},
      {"width", {-1, -1, -1, -1, 0, -1, -1, 0},
       {u"lg1", u"ly2", u"lc3", u"lt4", u"lw0", u"0 0 1 0", u"pn6", u"pt 1 1", u"cn3", u"cc2",
        u"cn\"$<F>", u"ch 0 0 1 0 \"a", u"lc10 255", u"sl 0 0 2 2", u"lc3",
        u"sl 0 0 1 0 0 1"}},
      {"text colour makes a free size", {-1, -1, -1, -1, -1, 5, -1, 0},
       {u"lg1", u"ly2", u"lc3", u"lt4", u"lw5", u"0 0 1 0", u"pn6", u"pt 1 1",
        u"cn0 3 3 0 5", u"cc2", u"cn\"$<F>", u"ch 0 0 1 0 \"a", u"lc10 255", u"sl 0 0 2 2",
        u"lc3", u"sl 0 0 1 0 0 1"}},
      {"text base code", {-1, -1, -1, -1, -1, -1, 8, 0},
       {u"lg1", u"ly2", u"lc3", u"lt4", u"lw5", u"0 0 1 0", u"pn6", u"pt 1 1", u"cn3", u"cc8",
        u"cn\"$<F>", u"ch 0 0 1 0 \"a", u"lc10 255", u"sl 0 0 2 2", u"lc3",
        u"sl 0 0 1 0 0 1"}},
  };
  for (const Case& c : cases) {
    for (bool polylines : {false, true}) {
      TJGdata g;
      g.WidF = true;
      g.CurLGrp = 1;
      g.CurLay = 2;
      Put(g, g.EntLine, g.EntLineN, 1, Line(Att(1, 2, 3, 4, 5), 0, 0, 0, 1, 0));
      Put(g, g.EntPnt, g.EntPntN, 5, TJwwEntPnt{Att(1, 2, 6, 1, 5), 1, 1});
      Put(g, g.EntText, g.EntTextN, 4,
          TJwwEntText{Att(1, 2, 7), 0, 2, 3, 3, 3, 0, 0, 0, 1, 0, u"<F>", u"a"});
      Put(g, g.EntSld2, g.EntSld2N, 9, TJwwEntSld2{Att(1, 2, 10, 1, 5), 255, 0, 0, 2, 2});
      Put(g, g.EntSld3, g.EntSld3N, 10, TJwwEntSld3{Att(1, 2, 3), 0, 0, 0, 1, 0, 0, 1});
      g.S_Init();
      if (polylines) {
        AllP(g, c.a);
      } else {
        All(g, c.a);
      }
      EXPECT_EQ(Written(g), c.want) << c.name << (polylines ? " (polylines)" : "");
    }
  }
}

// Lines of curves 1 and 3 around a circle and a plain line; curve 3 has its
// own colour and an attribute flag.
void CurveDrawing(TJGdata& g) {
  const TJwwEntAttr at = Att(0, 0, 1);
  Put(g, g.EntLine, g.EntLineN, 1, Line(at, 1, 0, 0, 1, 0));
  Put(g, g.EntCirc, g.EntCircN, 2, TJwwEntCircle{at, 0, 0, 1});
  Put(g, g.EntLine, g.EntLineN, 1, Line(Att(0, 0, 5, 1, 0, 2), 3, 5, 5, 6, 6));
  Put(g, g.EntLine, g.EntLineN, 1, Line(at, 1, 1, 0, 2, 0));
  Put(g, g.EntLine, g.EntLineN, 1, Line(at, 0, 9, 9, 8, 8));
  Put(g, g.EntLine, g.EntLineN, 1, Line(at, 1, 2, 0, 2, 0));  // drops, the block stays
}

TEST(Reemit, CurvesComeLastAsOneBlockEach) {
  TJGdata g;
  CurveDrawing(g);
  g.S_Init();
  AllP(g, kKeep);
  // The colour change of curve 3 comes before its block, its flag inside.
  EXPECT_EQ(Written(g), (Lines{u"lg0", u"ly0", u"lc1", u"lt1", u"ci 0 0 1", u"9 9 8 8",
                               u"pl", u"0 0 1 0", u"1 0 2 0", u"#",
                               u"lc5", u"pl", u"z2", u"5 5 6 6", u"#"}));
}

TEST(Reemit, WithoutPolylinesCurveSegmentsArePlainLinesInStoreOrder) {
  TJGdata g;
  CurveDrawing(g);
  g.S_Init();
  All(g, kKeep);
  EXPECT_EQ(Written(g), (Lines{u"lg0", u"ly0", u"lc1", u"lt1", u"0 0 1 0", u"ci 0 0 1",
                               u"lc5", u"z2", u"5 5 6 6", u"lc1", u"1 0 2 0", u"9 9 8 8"}));
}

TEST(Reemit, OneSegmentCurveIsStillABlock) {
  TJGdata g;
  Put(g, g.EntLine, g.EntLineN, 1, Line(Att(0, 0, 1), 4, 0, 0, 1, 1));
  g.S_Init();
  AllP(g, kKeep);
  EXPECT_EQ(Written(g), (Lines{u"lg0", u"ly0", u"lc1", u"lt1", u"pl", u"0 0 1 1", u"#"}));
}

// A store edited by hand: curve numbers at the ends of the range, index
// entries that point past their arrays. Written without a search through two
// billion curve numbers and without reading outside an array.
TEST(Reemit, OddStoreIsWrittenSafely) {
  TJGdata g;
  Put(g, g.EntLine, g.EntLineN, 1, Line(Att(0, 0, 1), INT32_MAX, 0, 0, 1, 0));
  Put(g, g.EntLine, g.EntLineN, 1, Line(Att(0, 0, 1), INT32_MIN, 0, 0, 2, 0));
  Put(g, g.EntLine, g.EntLineN, 1, Line(Att(0, 0, 1), INT32_MAX, 1, 0, 1, 1));
  g.SetEntNo(jkLine, 7);
  g.SetEntNo(jkCirc, -1);
  g.SetEntNo(jkText, 0);
  g.S_Init();
  AllP(g, kKeep);
  EXPECT_EQ(Written(g), (Lines{u"lg0", u"ly0", u"lc1", u"lt1", u"0 0 2 0", u"pl", u"0 0 1 0",
                               u"1 0 1 1", u"#"}));
}

// An index entry that names no stored record of its kind (below 0, at the
// count, at the array's length, far past it) is passed over by both writers,
// for every kind: the drawing is written as if the entry were not there.
TEST(Reemit, IndexEntryNamingNoRecordIsPassedOver) {
  // One record of every kind, the line a curve of one segment.
  constexpr std::u16string_view kDrawing =
      u"pl\n0 0 1 1\n#\nci 0 0 5\nci 0 0 5 10 80 0.5 30\nch 0 0 1 0 \"t\npt 1 1\n"
      u"pt 1 1 2 0 -3\nmsg\n0 0 10 0\ncs 0 1 1 0 \"10\nBL 0 0 blk\nsl 0 0 1 1\n"
      u"sl 0 0 1 0 1 1\nsl 0 0 1 0 1 1 0 1\nsc 0 0 5 1 0 0 360 0\nse 0 0 5 1 0 0 360 0\n"
      u"so 0 0 5 1 0 0 360 2\nsg 0 0 5 1 0 0 360 2";
  auto read = [&](TJGdata& g) {
    for (size_t i = 0; i < kDrawing.size();) {
      const size_t e = std::min(kDrawing.find(u'\n', i), kDrawing.size());
      TJGdataAccess::ParseLine(g, kDrawing.substr(i, e - i));
      i = e + 1;
    }
  };
  auto written = [&](bool polylines, int32_t yn, int32_t no) {
    TJGdata g;
    read(g);
    if (yn != 0) g.SetEntNo(yn, no);
    g.S_Init();
    polylines ? AllP(g, kKeep) : All(g, kKeep);
    return Written(g);
  };
  {
    TJGdata g;
    read(g);
    ASSERT_EQ(g.EntN, 15);
    for (int32_t k = 0; k < 15; ++k) ASSERT_EQ(g.EntNo[k].no, 0);
  }
  const struct {
    const char* name;
    int32_t no;
  } bad[] = {{"lowest", INT32_MIN}, {"below 0", -1}, {"at the count", 1},
             {"at the length", 1000}, {"far past", 5000000}, {"highest", INT32_MAX}};
  for (bool polylines : {false, true}) {
    const Lines want = written(polylines, 0, 0);
    for (int32_t yn = 1; yn <= 15; ++yn) {
      for (const auto& b : bad) {
        EXPECT_EQ(written(polylines, yn, b.no), want)
            << "kind " << yn << ", " << b.name << (polylines ? ", polylines" : "");
      }
    }
  }
}

TEST(Reemit, EmptyStoreWritesTheMarkerAndTheClosingLayer) {
  kxtest::TempDir d;
  kxtest::WriteBytes(d / "JWC_TEMP.TXT", "hq\r\nbz\r\nlg2\r\nlyB\r\n");
  TJGdata g;
  ASSERT_TRUE(g.OpenTempFile(kxtest::U16(d / "JWC_TEMP.TXT")));
  g.S_Init();
  AllP(g, kKeep);
  EXPECT_EQ(Written(g), (Lines{u"bz", u"lg2", u"lyB"}));
}

// With no file read there is no layer to go back to: the user's would move to
// 0-0. Nothing is written, so the save leaves "hq".
TEST(Reemit, EmptyStoreWithNothingReadWritesNothing) {
  for (bool polylines : {false, true}) {
    TJGdata g;
    g.Zusun = true;
    g.S_Init();
    polylines ? g.S_EntAllp() : g.S_EntAll();
    EXPECT_EQ(g.t_MemN, 0);
  }
}

// Escape is asked before the entities at positions 0, 100, 200, ... and, with
// polylines, before each curve; when it is down everything written so far goes,
// and only the closing layer group and layer remain.
TEST(Reemit, EscapeBreaksOff) {
  auto drawing = [](TJGdata& g) {
    for (int i = 0; i < 250; ++i) {
      Put(g, g.EntLine, g.EntLineN, 1, Line(Att(2, 3, 1), 0, 0, 0, 1, i + 1));
    }
    Put(g, g.EntLine, g.EntLineN, 1, Line(Att(2, 3, 1), 1, 0, 0, 5, 5));
    Put(g, g.EntLine, g.EntLineN, 1, Line(Att(2, 3, 1), 2, 0, 0, 6, 6));
    g.S_Init();
    g.SendMem(u"h#before");
  };
  struct Case {
    const char* name;
    bool polylines;
    int escFrom;  // the call that finds the key down; 0 = at once
    int calls;    // calls made in all
    Lines want;
  };
  const Case cases[] = {
      {"at once", false, 1, 1, {u"lg0", u"ly0"}},
      {"at once, polylines", true, 1, 1, {u"lg0", u"ly0"}},
      {"at entity 100", false, 2, 2, {u"lg0", u"ly0"}},
      {"at entity 200, polylines", true, 3, 3, {u"lg0", u"ly0"}},
      {"before the second curve", true, 5, 5, {u"lg0", u"ly0"}},
  };
  for (const Case& c : cases) {
    TJGdata g;
    drawing(g);
    EscFake esc(c.escFrom);
    if (c.polylines) {
      AllP(g, kKeep);
    } else {
      All(g, kKeep);
    }
    EXPECT_EQ(Written(g), c.want) << c.name;
    EXPECT_EQ(g_escCalls, c.calls) << c.name;
  }
  // Never held: three tests in the first pass, one per curve in the second.
  TJGdata g;
  drawing(g);
  EscFake never(1000);
  AllP(g, kKeep);
  EXPECT_EQ(g_escCalls, 5);
  ASSERT_GE(g.t_MemN, 3);
  EXPECT_EQ(g.t_Mem[0], u"h#before");
  EXPECT_EQ(Written(g).back(), u"ly0");
}

}  // namespace
