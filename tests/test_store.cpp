// Adding entities and attributes to the store without an exchange file:
// refusals at the 1e-10 limit, repairs, the attributes taken, the given
// attributes of the second form, block growth, and writing the result back.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "tests/TestUtil.h"

using A = TJGdataAccess;
using Lines = std::vector<std::u16string>;

namespace {

Lines Written(const TJGdata& g) { return Lines(g.t_Mem.begin(), g.t_Mem.begin() + g.t_MemN); }

const double kTenth = 1e-10;  // the double nearest 1e-10 lies just above the limit

// Each adder, at and beyond its limits: how many records of which kind it stores.
TEST(Store, RefusesDegenerateGeometry) {
  struct Case {
    const char* name;
    std::function<void(TJGdata&)> add;
    int32_t TJGdata::*count;
    int32_t stored;
  };
  using G = TJGdata;
  const Case cases[] = {
      {"line 5e-11", [](G& g) { g.A_Line(0, 0, 0, 5e-11); }, &G::EntLineN, 0},
      {"line 1e-10", [](G& g) { g.A_Line(0, 0, 0, kTenth); }, &G::EntLineN, 1},
      {"line 2e-10", [](G& g) { g.A_Line(3, 3, 3, 3 + 2e-10); }, &G::EntLineN, 1},
      {"line x only", [](G& g) { g.A_Line(0, 0, 1, 0); }, &G::EntLineN, 1},
      {"point", [](G& g) { g.A_Ten(0, 0); }, &G::EntPntN, 1},
      {"marker", [](G& g) { g.A_Mark(0, 0, 0, 0, 99); }, &G::EntMarkN, 1},
      {"circle -5", [](G& g) { g.A_Circle(0, 0, -5); }, &G::EntCircN, 0},
      {"circle 5e-11", [](G& g) { g.A_Circle(0, 0, 5e-11); }, &G::EntCircN, 0},
      {"circle 1e-10", [](G& g) { g.A_Circle(0, 0, kTenth); }, &G::EntCircN, 1},
      {"arc r 0", [](G& g) { g.A_Arc(0, 0, 0, 0, 90, 1, 0); }, &G::EntArcN, 0},
      {"arc h 0", [](G& g) { g.A_Arc(0, 0, 1, 0, 90, 0, 0); }, &G::EntArcN, 1},
      {"text blank", [](G& g) { g.A_Text(0, 0, 0, 1, 0, u"\u3000 \u3000\t"); }, &G::EntTextN,
       0},
      {"text empty", [](G& g) { g.A_Text(0, 0, 0, 1, 0, u""); }, &G::EntTextN, 0},
      {"text dir 1e-11", [](G& g) { g.A_Text(0, 0, 0, 0, 1e-11, u"a"); }, &G::EntTextN, 0},
      {"text dir -2e-10", [](G& g) { g.A_Text(0, 0, 0, 0, -2e-10, u"a"); }, &G::EntTextN, 1},
      {"dim zero line", [](G& g) { g.A_Dim(1, 1, 1, 1, 0, 0, 1, 0, u"5"); }, &G::EntDimN, 0},
      {"dim no direction", [](G& g) { g.A_Dim(0, 0, 3, 4, 0, 0, 0, 0, u"5"); }, &G::EntDimN,
       0},
      {"dim", [](G& g) { g.A_Dim(0, 0, 3, 4, 0, 0, 0, kTenth, u"5"); }, &G::EntDimN, 1},
      {"solid2 same", [](G& g) { g.A_Solid2(1, 1, 1, 1 + 5e-11); }, &G::EntSld2N, 0},
      {"solid2", [](G& g) { g.A_Solid2(1, 1, 2, 2); }, &G::EntSld2N, 1},
      {"solid3 P3 = P1", [](G& g) { g.A_Solid3(0, 0, 1, 0, 0, 0); }, &G::EntSld3N, 0},
      {"solid3 P2 = P3", [](G& g) { g.A_Solid3(0, 0, 1, 0, 1, 0); }, &G::EntSld3N, 0},
      {"solid3", [](G& g) { g.A_Solid3(0, 0, 1, 0, 0, 1); }, &G::EntSld3N, 1},
      {"solid4 P1 = P3", [](G& g) { g.A_Solid4(0, 0, 1, 0, 0, 0, 0, 1); }, &G::EntSld3N, 0},
      {"solid4 P2 = P4", [](G& g) { g.A_Solid4(0, 0, 1, 0, 1, 1, 1, 0); }, &G::EntSld3N, 0},
      {"solid4 two pairs", [](G& g) { g.A_Solid4(0, 0, 0, 0, 1, 1, 1, 1); }, &G::EntSld3N,
       0},
      {"solid4", [](G& g) { g.A_Solid4(0, 0, 1, 0, 1, 1, 0, 1); }, &G::EntSld4N, 1},
      {"sc cod 1", [](G& g) { g.A_SolidC(0, 0, 5, 1, 0, 0, 360, 1); }, &G::EntSldCN, 0},
      {"sc h 0", [](G& g) { g.A_SolidC(0, 0, 5, 0, 0, 0, 360, 5); }, &G::EntSldCN, 0},
      {"sc cod -1", [](G& g) { g.A_SolidC(0, 0, 5, -1, 0, 0, 360, -1); }, &G::EntSldCN, 1},
      {"se cod 5", [](G& g) { g.A_SolidD(0, 0, 5, 1, 0, 0, 360, 5); }, &G::EntSldEN, 0},
      {"se cod 100", [](G& g) { g.A_SolidD(0, 0, 5, 1, 0, 0, 360, 100); }, &G::EntSldEN, 1},
      {"so ri = r", [](G& g) { g.A_SolidO(0, 0, 5, 1, 0, 0, 360, 5); }, &G::EntSldON, 0},
      {"so ri 0", [](G& g) { g.A_SolidO(0, 0, 5, 1, 0, 0, 360, 0); }, &G::EntSldON, 0},
      {"so ri r - 2e-10", [](G& g) { g.A_SolidO(0, 0, 5, 1, 0, 0, 360, 5 - 2e-10); },
       &G::EntSldON, 1},
      {"sg r 0", [](G& g) { g.A_SolidG(0, 0, 0, 1, 0, 0, 360, -1); }, &G::EntSldGN, 0},
      {"sg", [](G& g) { g.A_SolidG(0, 0, 5, 1, 0, 0, 360, 2); }, &G::EntSldGN, 1},
  };
  for (const Case& c : cases) {
    TJGdata g;
    c.add(g);
    EXPECT_EQ(g.*c.count, c.stored) << c.name;
    EXPECT_EQ(g.EntN, c.stored) << c.name;
    if (c.stored == 1) {
      EXPECT_EQ(g.EntNo[0].no, 0) << c.name;
    }
  }
}

// Two coinciding corners give the triangle of the other three, in order.
TEST(Store, FourCornersFallBackToThree) {
  struct Case {
    double p[8];
    double want[6];
  };
  const Case cases[] = {
      {{0, 0, 0, 0, 5, 0, 5, 5}, {0, 0, 5, 0, 5, 5}},  // P1 = P2
      {{0, 0, 5, 0, 5, 5, 0, 0}, {0, 0, 5, 0, 5, 5}},  // P1 = P4
      {{0, 0, 5, 0, 5, 0, 5, 5}, {0, 0, 5, 0, 5, 5}},  // P2 = P3
      {{0, 0, 5, 0, 5, 5, 5, 5}, {0, 0, 5, 0, 5, 5}},  // P3 = P4
      {{0, 0, 5, 0, 5, 5, 5 + 5e-11, 5}, {0, 0, 5, 0, 5, 5}},
  };
  for (const Case& c : cases) {
    TJGdata g;
    g.A_Solid4(c.p[0], c.p[1], c.p[2], c.p[3], c.p[4], c.p[5], c.p[6], c.p[7]);
    ASSERT_EQ(g.EntSld3N, 1);
    EXPECT_EQ(g.EntSld4N, 0);
    ASSERT_EQ(g.EntN, 1);
    EXPECT_EQ(g.EntNo[0].yn, jkSld3);
    const TJwwEntSld3& s = g.EntSld3[0];
    const double got[6] = {s.x1, s.y1, s.x2, s.y2, s.x3, s.y3};
    for (int k = 0; k < 6; ++k) EXPECT_EQ(got[k], c.want[k]) << k;
  }
}

TEST(Store, RepairsOutOfRangeValues) {
  TJGdata g;
  g.A_Mark(1, 2, 0, 30, 12);
  g.A_Mark(1, 2, 1e-11, 0, -8);
  g.A_Mark(1, 2, kTenth, 0, -7);
  g.A_Mark(1, 2, -2, 0, 11);
  ASSERT_EQ(g.EntMarkN, 4);
  EXPECT_EQ(g.EntMark[0].bai, 1.0);
  EXPECT_EQ(g.EntMark[0].cod, -3);
  EXPECT_EQ(g.EntMark[1].bai, 1.0);
  EXPECT_EQ(g.EntMark[1].cod, -3);
  EXPECT_EQ(g.EntMark[2].bai, kTenth);
  EXPECT_EQ(g.EntMark[2].cod, -7);
  EXPECT_EQ(g.EntMark[3].bai, -2);
  EXPECT_EQ(g.EntMark[3].cod, 11);

  g.A_Arc(0, 0, 1, 0, 90, -5e-11, 0);
  g.A_Arc(0, 0, 1, 0, 90, -0.5, 0);
  ASSERT_EQ(g.EntArcN, 2);
  EXPECT_EQ(g.EntArc[0].he, 1.0);
  EXPECT_EQ(g.EntArc[1].he, -0.5);

  g.A_Text(10, 0, 0, 1, 0, u" a ");
  g.A_Text(-1, 0, 0, 1, 0, u"b");
  g.A_Text(9, 0, 0, 1, 0, u"c");
  ASSERT_EQ(g.EntTextN, 3);
  EXPECT_EQ(g.EntText[0].no, 0);
  EXPECT_EQ(g.EntText[0].st, u" a ");  // kept as given, blanks and all
  EXPECT_EQ(g.EntText[1].no, 0);
  EXPECT_EQ(g.EntText[2].no, 9);

  g.A_Dim(0, 0, 3, 4, 1, 1, 1, 0, u" \u3000");
  g.A_Dim(0, 0, 0.1, 0.2, 1, 1, 1, 0, u"");
  g.A_Dim(0, 0, 1, 0, 1, 1, 1, 0, u" 12 ");
  g.A_Dim(-1e300, 0, 1e300, 1e300, 1, 1, 1, 0, u"");
  ASSERT_EQ(g.EntDimN, 4);
  EXPECT_EQ(g.EntDim[0].txt.st, u"5");
  EXPECT_EQ(g.EntDim[1].txt.st, u"0.2236067977");
  EXPECT_EQ(g.EntDim[2].txt.st, u" 12 ");
  EXPECT_EQ(g.EntDim[3].txt.st, u"2.23606797749979E300");
  EXPECT_EQ(g.EntDim[0].txt.no, 2);
}

TEST(Store, AttributeSetters) {
  TJGdata g;
  g.CurWid = 40000;
  g.CurCol = 4;
  g.CurLtp = 6;
  g.CurFont = u"<Cur>";
  g.A_LGrp(-3);
  g.A_Lay(99);
  EXPECT_EQ(A::w_LGrp(g), -3);  // stored unchecked
  EXPECT_EQ(A::w_Lay(g), 99);
  g.A_Wid(-1);
  EXPECT_EQ(A::w_Wid(g), 0);
  g.A_Wid(30000);
  EXPECT_EQ(A::w_Wid(g), 30000);
  g.A_Wid(-2);
  EXPECT_EQ(A::w_Wid(g), 0);
  g.A_Col(12, 1);
  EXPECT_EQ(A::w_Col(g), 103);
  EXPECT_EQ(g.aCol, 255 * 256);
  g.A_Col(0, 1);
  EXPECT_EQ(A::w_Col(g), 4);
  g.A_Col(5, 0);
  EXPECT_EQ(g.aCol, 192 + 192 * 65536);
  g.A_Ltp(19, 1);
  EXPECT_EQ(A::w_Ltp(g), 31);
  g.A_Ltp(0, 1);
  EXPECT_EQ(A::w_Ltp(g), 6);
  g.A_PCol(3, 1);
  EXPECT_EQ(A::w_PtCol(g), 3);
  EXPECT_EQ(g.aCol, 192 * 256);
  g.A_Mbs(9);
  EXPECT_EQ(A::w_Mbs(g), 0);
  g.A_Mbs(8);
  EXPECT_EQ(A::w_Mbs(g), 8);
  g.A_Font(u"<>");
  EXPECT_EQ(A::w_Font(g), u"<Cur>");
  g.A_Font(u"<F G>");
  EXPECT_EQ(A::w_Font(g), u"<F G>");
  g.A_Font(u"");
  EXPECT_EQ(A::w_Font(g), u"<Cur>");
  g.A_SColRGB(300, 0, 255);
  EXPECT_EQ(A::w_SlCol(g), 16711680);
  EXPECT_EQ(g.aSCol, 16711680);
  g.A_SCol(0xFFFFFF);
  EXPECT_EQ(A::w_SlCol(g), 0xFFFFFF);
  EXPECT_EQ(g.aSCol, 0xFFFFFF);
  g.A_SCol(0x1000000);
  EXPECT_EQ(A::w_SlCol(g), 0);
  g.A_SCol(-1);
  EXPECT_EQ(A::w_SlCol(g), 0);
  EXPECT_EQ(g.aSCol, 0);
  const std::pair<int32_t, int32_t> attrs[] = {{24, 16}, {9, 9}, {31, 23}, {32, 0}, {-1, 23}};
  for (const auto& [in, want] : attrs) {
    g.A_Attr(in);
    EXPECT_EQ(A::w_Attr(g), want) << in;
  }
  // The setters leave the must-write flags alone.
  EXPECT_TRUE(A::w_FlgCol(g));
  EXPECT_TRUE(A::w_FlgSCol(g));
}

TEST(Store, TextKindsAndTheirSizes) {
  TJGdata g;
  g.Mojisyu[3] = TJwwTextKind{4.5, 5.5, 0.25, 6};
  g.CurMjs = 0;
  g.CurMjsW = 7;
  g.CurMjsH = 8;
  g.CurMjsD = 9;
  g.CurMjsC = 12;  // taken as it stands, not mapped

  g.A_Mjs(3, 1, 1, 1, 1, 0);
  g.A_Mbs(4);
  g.A_Font(u"<F>");
  g.A_Text(1, 1, 2, 3, 4, u"k3");
  g.A_Mjs(0, 2.5, 2.5, 0.5, 12, 1);
  EXPECT_EQ(g.aCol, 255 * 256);
  g.A_Text(1, 1, 2, 3, 4, u"k0");
  g.A_Mjs(11, 1, 1, 1, 1, 0);
  EXPECT_EQ(A::w_Mjs(g), 0);
  g.A_Text(1, 1, 2, 3, 4, u"cur");
  g.CurMjs = 5;
  g.A_Mjs(-1, 1.5, 1.5, 0, 2, 0);
  EXPECT_EQ(A::w_Mjs(g), 5);
  EXPECT_EQ(A::w_MjsW(g), 1.5);  // the free size is kept whatever the kind

  ASSERT_EQ(g.EntTextN, 3);
  struct Want {
    int32_t cn;
    double mw, mh, md;
    int32_t col;
  };
  const Want want[] = {{3, 4.5, 5.5, 0.25, 6}, {0, 2.5, 2.5, 0.5, 103}, {0, 7, 8, 9, 12}};
  for (int k = 0; k < 3; ++k) {
    const TJwwEntText& t = g.EntText[k];
    EXPECT_EQ(t.cn, want[k].cn) << k;
    EXPECT_EQ(t.mw, want[k].mw) << k;
    EXPECT_EQ(t.mh, want[k].mh) << k;
    EXPECT_EQ(t.md, want[k].md) << k;
    EXPECT_EQ(t.att.Col, want[k].col) << k;
    EXPECT_EQ(t.cc, 4) << k;
    EXPECT_EQ(t.fo, u"<F>") << k;
    EXPECT_EQ(t.x2, 3) << k;
  }
}

// The attributes in force go into every new record; the flags stay set for
// every following entity.
TEST(Store, CurrentAttributesGoIntoEveryRecord) {
  TJGdata g;
  A::w_IPNo(g) = 7;  // no setter writes it; the adders take it as it is
  g.A_LGrp(2);
  g.A_Lay(3);
  g.A_Col(5, 0);
  g.A_Ltp(2, 0);
  g.A_Wid(40);
  g.A_Attr(6);
  g.A_PCol(8, 0);
  g.A_SCol(1234);
  g.A_Line(0, 0, 1, 1);
  g.A_Ten(1, 1);
  g.A_Solid2(0, 0, 1, 1);
  const TJwwEntAttr want{7, 2, 3, 5, 2, 40, 6};
  auto same = [](const TJwwEntAttr& a, const TJwwEntAttr& b) {
    return a.IPNo == b.IPNo && a.LGrp == b.LGrp && a.Lay == b.Lay && a.Col == b.Col &&
           a.Ltp == b.Ltp && a.Wid == b.Wid && a.Attr == b.Attr;
  };
  EXPECT_TRUE(same(g.EntLine[0].att, want));
  EXPECT_EQ(g.EntLine[0].CrvNo, 0);
  TJwwEntAttr pt = want;
  pt.Col = 8;
  EXPECT_TRUE(same(g.EntPnt[0].att, pt));
  EXPECT_TRUE(same(g.EntSld2[0].att, want));
  EXPECT_EQ(g.EntSld2[0].Color, 1234);
  const TJwwEntNo order[] = {{1, 0}, {5, 0}, {9, 0}};
  ASSERT_EQ(g.EntN, 3);
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(g.EntNo[k].yn, order[k].yn);
    EXPECT_EQ(g.EntNo[k].no, order[k].no);
  }
}

TEST(Store, GivenAttributesReplaceTheCurrentOnes) {
  TJGdata g;
  g.Mojisyu[3].C = 6;
  g.A_Mjs(3, 0, 0, 0, 0, 0);
  g.A_PCol(8, 0);
  g.A_SCol(99);
  g.A_Col(5, 0);
  const TJwwEntAttr at{1, 4, 5, 11, 3, 7, 16};
  g.A_Ten(at, 1, 1);
  g.A_Mark(at, 1, 1, 1, 0, 0);
  g.A_Text(at, 0, 0, 0, 1, 0, u"t");
  g.A_Dim(at, 0, 0, 3, 4, 0, 0, 1, 0, u"");
  g.A_Solid3(at, 0, 0, 1, 0, 0, 1);
  g.A_Solid4(at, 0, 0, 0, 0, 1, 0, 0, 1);  // falls back to a triangle, which carries at
  g.A_Line(at, 0, 0, 0, 0);                 // refused: nothing changes
  g.A_Line(g.EntPnt[0].att, 0, 0, 1, 0);    // at may live in the store itself
  EXPECT_EQ(g.EntPnt[0].att.Col, 11);
  EXPECT_EQ(g.EntMark[0].att.Col, 11);
  EXPECT_EQ(g.EntText[0].att.Col, 11);        // as given, not the kind's colour
  EXPECT_EQ(g.EntDim[0].txt.att.Col, 6);      // a dimension text keeps its kind's colour
  EXPECT_EQ(g.EntDim[0].att.LGrp, 4);
  EXPECT_EQ(g.EntDim[0].lin.att.Col, 11);
  EXPECT_EQ(g.EntDim[0].txt.att.Attr, 16);
  EXPECT_EQ(g.EntDim[0].txt.st, u"5");
  ASSERT_EQ(g.EntSld3N, 2);
  EXPECT_EQ(g.EntSld3[0].Color, 99);  // the fill colour stays the current one
  EXPECT_EQ(g.EntSld3[1].att.Col, 11);
  EXPECT_EQ(g.EntSld3[1].att.Attr, 16);
  EXPECT_EQ(g.EntSld4N, 0);
  ASSERT_EQ(g.EntLineN, 1);
  EXPECT_EQ(g.EntLine[0].att.Col, 11);
  EXPECT_EQ(g.EntLine[0].att.IPNo, 1);
  EXPECT_EQ(g.EntN, 7);
  EXPECT_EQ(A::w_Col(g), 5);  // the current attributes stay
}

TEST(Store, ArraysGrowInBlocksOfAThousand) {
  TJGdata g;
  for (int i = 0; i < 1000; ++i) g.A_Line(0, 0, 1, i);
  EXPECT_EQ(g.EntLine.size(), 1000u);
  EXPECT_EQ(g.EntNo.size(), 1000u);
  g.A_Line(0, 0, 2, 2);
  EXPECT_EQ(g.EntLineN, 1001);
  EXPECT_EQ(g.EntLine.size(), 2000u);
  EXPECT_EQ(g.EntNo.size(), 2000u);
  EXPECT_EQ(g.EntLine[999].y2, 999);
  EXPECT_EQ(g.EntLine[1000].x2, 2);
  EXPECT_EQ(g.EntNo[1000].no, 1000);
  EXPECT_EQ(g.EntLine[1001].x2, 0);  // spare records stay empty
}

// A count set outside its array (below 0, beyond the records there are) is
// brought back before an entity is added, so that the new index entry names
// the record added, the given attributes go to that record, and it is
// written back.
TEST(Store, AddingAfterACountSetOutsideItsArray) {
  const TJwwEntAttr at{0, 1, 2, 7, 1, 0, 0};
  for (const int32_t n : {-5, 1, 5000}) {
    for (const bool given : {false, true}) {
      TJGdata g;
      g.EntLineN = n;
      g.EntDimN = n;
      if (given) {
        g.A_Line(at, 0, 0, 3, 4);
        g.A_Dim(at, 0, 0, 1, 0, 0, 1, 1, 0, u"d");
      } else {
        g.A_Line(0, 0, 3, 4);
        g.A_Dim(0, 0, 1, 0, 0, 1, 1, 0, u"d");
      }
      const std::string name = std::to_string(n) + (given ? ", attributes given" : "");
      ASSERT_EQ(g.EntLineN, 1) << name;
      ASSERT_EQ(g.EntDimN, 1) << name;
      EXPECT_EQ(g.EntNo[0].no, 0) << name;
      EXPECT_EQ(g.EntNo[1].no, 0) << name;
      EXPECT_EQ(g.EntLine[0].att.Col, given ? 7 : 1) << name;
      EXPECT_EQ(g.EntDim[0].lin.att.Col, given ? 7 : 1) << name;
      g.S_Init();
      g.S_EntAll(-1, -1, -1, -1, -1, -1, -1, 0);
      const Lines w = Written(g);
      EXPECT_NE(std::find(w.begin(), w.end(), u"0 0 3 4"), w.end()) << name;
      EXPECT_NE(std::find(w.begin(), w.end(), u"cs 0 1 1 0 \"d"), w.end()) << name;
    }
  }
}

// A drawing built in memory is written back like a read one.
TEST(Store, BuiltDrawingIsWrittenBack) {
  TJGdata g;
  g.A_LGrp(2);
  g.A_Lay(3);
  g.A_Col(5, 0);
  g.A_Ltp(2, 0);
  g.A_Line(0, 0, 3, 4);
  g.A_Attr(1);
  g.A_Circle(1, 1, 2);
  g.A_Attr(0);
  g.A_PCol(7, 0);
  g.A_Ten(1, 2);
  g.A_Mark(1, 2, 0, 45, 3);
  g.A_Mjs(0, 2.5, 2.5, 0, 4, 0);
  g.A_Font(u"<F>");
  g.A_Text(5, 0, 0, 1, 0, u"x y");
  g.A_SCol(255);
  g.A_Col(10, 0);
  g.A_Solid3(0, 0, 1, 0, 0, 1);
  g.A_Dim(0, 0, 3, 4, 1, 1, 1, 0, u"");
  g.A_Col(3, 0);
  g.A_Arc(0, 0, 2, 0, 90, 0, 0);
  g.A_SolidC(0, 0, 5, 1, 0, 0, 360, 5);
  g.S_Init();
  g.S_EntAll(-1, -1, -1, -1, -1, -1, -1, 0);
  EXPECT_EQ(Written(g),
            (Lines{u"lg2", u"ly3", u"lc5", u"lt2", u"0 0 3 4",
                   u"z1", u"ci 1 1 2",
                   u"pn7", u"pt 1 2",
                   u"pt 1 2 1 45 3",
                   u"cn0 2.5 2.5 0 4", u"cc0", u"cn\"$<F>", u"cp 0 0 1 0 \"x y",
                   u"lc10 255", u"sl 0 0 1 0 0 1",
                   u"msg", u"0 0 3 4", u"cs 1 1 1 0 \"5",
                   u"lc3", u"ci 0 0 2 0 90 1 0",
                   u"sc 0 0 5 1 0 0 360 5",
                   u"lg0", u"ly0"}));
}

}  // namespace

// A_Current gives added entities the drawing's current style whole: layer,
// pens, the point colour of its first "pn", and the text kind, free size and
// colour, base code and font in force; not those of the last record read.
TEST(Store, CurrentStyleFromTheFile) {
  kxtest::TempDir d;
  kxtest::WriteBytes(d / "JWC_TEMP.TXT",
                     "hq\r\nlg1\r\nly2\r\nlc3\r\nlt2\r\npn4\r\ncn0 2.5 3.5 0.5 5\r\ncc2\r\n"
                     "cn$<mincho>\r\nch 0 0 1 0 \"old\r\nlg5\r\nly6\r\nlc6\r\ncn3\r\ncc0\r\n"
                     "cn$<other>\r\npn7\r\npt 9 9\r\nch 0 0 1 0 \"last\r\n");
  TJGdata g;
  ASSERT_TRUE(g.OpenTempFile(kxtest::U16(d / "JWC_TEMP.TXT")));
  EXPECT_EQ(g.CurMbs, 2);
  EXPECT_EQ(g.CurPCol, 4);
  g.ClearStore();
  g.A_Current();
  g.A_Text(0, 10, 20, 1, 0, u"new");
  g.A_Ten(5, 5);
  g.S_Init();
  g.S_EntAll();
  std::vector<std::u16string> lines(g.t_Mem.begin(), g.t_Mem.begin() + g.t_MemN);
  EXPECT_EQ(lines, (std::vector<std::u16string>{u"lg1", u"ly2", u"cn0 2.5 3.5 0.5 5", u"cc2",
                                                u"cn\"$<mincho>", u"ch 10 20 1 0 \"new", u"pn4",
                                                u"pt 5 5"}));
}

// With no "pn", "cc" or font in the file: the line colour, base code 0 and
// the default font.
TEST(Store, CurrentStyleDefaults) {
  kxtest::TempDir d;
  kxtest::WriteBytes(d / "JWC_TEMP.TXT", "hq\r\nlc6\r\ncn2\r\n0 0 1 1\r\n");
  TJGdata g;
  ASSERT_TRUE(g.OpenTempFile(kxtest::U16(d / "JWC_TEMP.TXT")));
  EXPECT_EQ(g.CurPCol, 0);
  g.ClearStore();
  g.A_Current();
  g.A_Text(0, 0, 0, 1, 0, u"A");
  g.A_Ten(1, 1);
  ASSERT_EQ(g.EntTextN, 1);
  EXPECT_EQ(g.EntText[0].cn, 2);
  EXPECT_EQ(g.EntText[0].cc, 0);
  EXPECT_EQ(g.EntText[0].fo, u"<ＭＳ ゴシック>");
  EXPECT_EQ(g.EntText[0].att.Col, g.Mojisyu[2].C);
  EXPECT_EQ(g.EntPnt[0].att.Col, 6);
}
