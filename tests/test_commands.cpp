// The text, fill-colour and attribute commands, and the entity commands:
// lines, polylines, circles, arcs, texts, dimensions and solids.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "myfunc/MyFunc.h"
#include "tests/TestUtil.h"

using A = TJGdataAccess;
using Lines = std::vector<std::u16string>;

namespace {

Lines Written(const TJGdata& g) { return Lines(g.t_Mem.begin(), g.t_Mem.begin() + g.t_MemN); }

// The double nearest 1e-10 lies above the extended-precision limit, so it counts
// as a real size; the next double below it lies within the limit.
const double kD = 1e-10;
const double kBelowD = std::nextafter(1e-10, 0.0);
const double kAboveD = std::nextafter(1e-10, 1.0);

struct Case {
  const char* name;
  std::function<void(TJGdata&)> run;
  Lines want;
};

// Each case on a fresh object whose pen state has just been reset.
void RunCases(const std::vector<Case>& cases, const std::function<void(TJGdata&)>& setup = {}) {
  for (const auto& c : cases) {
    TJGdata g;
    if (setup) setup(g);
    g.S_Init();
    c.run(g);
    EXPECT_EQ(Written(g), c.want) << c.name;
  }
}

TEST(TextKind, ForcedOnceThenWrittenOnChangeOfKindSizeOrColour) {
  RunCases({
      {"kind 1 is forced once after the reset",
       [](TJGdata& g) {
         g.S_Mjs(1, 0, 0, 0, 0, 0);
         g.S_Mjs(1, 5, 5, 5, 5, 0);  // sizes of a numbered kind come from the table
       },
       {u"cn1"}},
      {"free size: any change of a size or the colour writes again",
       [](TJGdata& g) {
         g.S_Mjs(0, 2.5, 2.5, 0, 2, 0);
         g.S_Mjs(0, 2.5, 2.5, 0, 2, 0);
         g.S_Mjs(0, 2.5, 2.5, 0, 3, 0);
         g.S_Mjs(0, 2.5, 2.5, 0.5, 3, 0);
         g.S_Mjs(0, 2.5, 3, 0.5, 3, 0);
         g.S_Mjs(0, 4, 3, 0.5, 3, 0);
       },
       {u"cn0 2.5 2.5 0 2", u"cn0 2.5 2.5 0 3", u"cn0 2.5 2.5 0.5 3", u"cn0 2.5 3 0.5 3",
        u"cn0 4 3 0.5 3"}},
      {"colour through the dialog code map",
       [](TJGdata& g) { g.S_Mjs(0, 1, 1, 0, 12, 1); },
       {u"cn0 1 1 0 103"}},
      {"a numbered kind leaves the remembered free size alone",
       [](TJGdata& g) {
         g.S_Mjs(0, 2, 2, 0, 1, 0);
         g.S_Mjs(3, 9, 9, 9, 9, 0);
         g.S_Mjs(3, 1, 1, 1, 1, 0);
         g.S_Mjs(0, 2, 2, 0, 1, 0);
       },
       {u"cn0 2 2 0 1", u"cn3", u"cn0 2 2 0 1"}},
  });
}

TEST(TextKind, OutOfRangeKindTakesTheDrawingsCurrentOne) {
  const auto withCur = [](int32_t cur) {
    return [cur](TJGdata& g) {
      g.CurMjs = cur;
      g.CurMjsW = 3.5;
      g.CurMjsH = 4;
      g.CurMjsD = 0.25;
      g.CurMjsC = 12;  // taken as it is, not through the code map
      g.CurCol = 7;
    };
  };
  const std::pair<int32_t, Lines> cases[] = {
      {4, {u"cn4"}}, {0, {u"cn0 3.5 4 0.25 12"}}, {12, {u"cn12"}}};
  for (const auto& [cur, want] : cases) {
    for (int32_t mjs : {11, -1}) {
      RunCases({{"", [mjs](TJGdata& g) { g.S_Mjs(mjs, 1, 1, 1, 5, 1); }, want}}, withCur(cur));
    }
  }
}

TEST(TextBaseCodeAndFont, RangeFallbacksAndWriteIfChanged) {
  RunCases({
      {"base code outside 0-8 is 0",
       [](TJGdata& g) {
         g.S_Mbs(9);
         g.S_Mbs(0);
         g.S_Mbs(-1);
         g.S_Mbs(8);
         g.S_Mbs(8);
       },
       {u"cc0", u"cc8"}},
      {"default font forced once, then only changes",
       [](TJGdata& g) {
         g.S_Font(u"<ＭＳ ゴシック>");
         g.S_Font(u"<ＭＳ ゴシック>");
         g.S_Font(u"<Arial>");
         g.S_Font(u"<arial>");
       },
       {u"cn\"$<ＭＳ ゴシック>", u"cn\"$<Arial>", u"cn\"$<arial>"}},
      {"empty and <> stand for the current font, which may be empty",
       [](TJGdata& g) {
         g.S_Font(u"");
         g.S_Font(u"<>");
       },
       {u"cn\"$"}},
  });
  RunCases({{"current font",
             [](TJGdata& g) {
               g.S_Font(u"<>");
               g.S_Font(u"");
               g.S_Font(u"<A B>");
             },
             {u"cn\"$<A B>"}}},
           [](TJGdata& g) { g.CurFont = u"<A B>"; });
}

TEST(FillColour, WrittenAsLineColourTenAndAgainAfterAnyOtherLineColour) {
  RunCases({
      {"line colour in between forces the fill colour",
       [](TJGdata& g) {
         A::w_SlCol(g) = 255;
         g.S_Col(5, 0);
         g.S_SCol(255);
         g.S_SCol(255);
         g.S_Col(5, 0);
         g.S_SColRGB(255, 0, 0);
         g.S_SColRGB(255, 0, 0);
         g.S_Col(5, 0);
       },
       {u"lc5", u"lc10 255", u"lc5", u"lc10 255", u"lc5"}},
      {"RGB value out of range is 0",
       [](TJGdata& g) {
         g.S_SCol(-1);
         g.S_SCol(16777216);
         g.S_SCol(16777215);
         g.S_SCol(INT32_MIN);
       },
       {u"lc10 0", u"lc10 16777215", u"lc10 0"}},
      {"components out of range are 0 each",
       [](TJGdata& g) {
         g.S_SColRGB(0, 0, 300);
         g.S_SColRGB(1, 2, 3);
         g.S_SColRGB(-1, 256, 255);
         g.S_SColRGB(INT32_MAX, INT32_MIN, 128);
       },
       {u"lc10 0", u"lc10 197121", u"lc10 16711680", u"lc10 8388608"}},
      // A plain "lc10" line is the fill colour already in force.
      {"line colour 10 lifts the fill colour's force",
       [](TJGdata& g) {
         g.S_Col(10, 0);
         g.S_SCol(0);
         g.S_SCol(1);
       },
       {u"lc10", u"lc10 1"}},
  });

  TJGdata g;
  g.S_Init();
  g.S_SCol(0x123456);
  EXPECT_EQ(A::w_Col(g), 10);
  EXPECT_FALSE(A::w_FlgCol(g));
  EXPECT_FALSE(A::w_FlgSCol(g));
  EXPECT_EQ(A::w_SlCol(g), 0x123456);
  g.S_Col(10, 0);  // the line colour is already 10
  EXPECT_EQ(Written(g), (Lines{u"lc10 1193046"}));
}

TEST(AttributeLines, EveryCallInBitOrderWithZ5WinningOverZ4) {
  const std::pair<int32_t, Lines> bits[] = {
      {24, {u"z5"}},     {9, {u"z1", u"z4"}}, {31, {u"z1", u"z2", u"z3", u"z5"}},
      {0, {}},           {32, {}},            {-1, {u"z1", u"z2", u"z3", u"z5"}},
      {8 | 64, {u"z4"}}, {6, {u"z2", u"z3"}}};
  for (const auto& [att, want] : bits) {
    TJGdata g;
    g.S_Init();
    g.S_Attr(att);
    EXPECT_EQ(Written(g), want) << att;
  }
  RunCases({
      {"Booleans, written on every call",
       [](TJGdata& g) {
         g.S_Attr(true, false, false, true, true);
         g.S_Attr(true, false, false, true, false);
       },
       {u"z1", u"z5", u"z1", u"z4"}},
      {"integers, any non-zero is true",
       [](TJGdata& g) { g.S_Attr(int32_t{2}, 0, -1, 5, 0); },
       {u"z1", u"z3", u"z4"}},
  });
}

TEST(HeaderLines, CommentAreaAndDisplayColours) {
  RunCases({
      {"comment and area",
       [](TJGdata& g) {
         g.S_Comment(u"abc");
         g.S_Comment(u"");
         g.S_Area();
         g.AreaX1 = -1.5;
         g.AreaX2 = 420;
         g.AreaY2 = 297;
         g.S_Area();
       },
       {u"h#abc", u"h#", u"hn 0 0 0 0", u"hn -1.5 0 420 297"}},
  });

  const auto rgb = [](int32_t r, int32_t gr, int32_t b) { return r + gr * 256 + b * 65536; };
  const std::pair<int32_t, int32_t> table[] = {
      {1, rgb(0, 192, 192)},     {2, 0},                    {3, rgb(0, 192, 0)},
      {4, rgb(192, 192, 0)},     {5, rgb(192, 0, 192)},     {6, rgb(0, 0, 255)},
      {7, rgb(0, 128, 128)},     {8, rgb(255, 0, 128)},     {9, rgb(255, 128, 255)},
      {101, 0},                  {102, rgb(255, 0, 0)},     {103, rgb(0, 255, 0)},
      {104, rgb(0, 0, 255)},     {105, rgb(255, 255, 0)},   {106, rgb(255, 0, 255)},
      {107, rgb(0, 255, 255)},   {108, 0},                  {109, rgb(192, 0, 128)},
      {110, rgb(192, 128, 64)},  {111, rgb(255, 128, 0)},   {112, rgb(128, 192, 128)},
      {113, rgb(0, 128, 255)},   {114, rgb(128, 64, 255)},  {115, rgb(192, 192, 192)},
      {116, rgb(128, 128, 128)}, {0, 0},                    {10, 0},
      {100, 0},                  {117, 0},                  {-1, 0},
      {INT32_MIN, 0},            {INT32_MAX, 0}};
  TJGdata g;
  for (const auto& [code, want] : table) EXPECT_EQ(g.GetColorDisp(code), want) << code;
}

TEST(Shapes, DegenerateLinesCirclesAndArcsAreDropped) {
  RunCases({
      {"line: a difference of exactly the nearest double to 1e-10 is not near",
       [](TJGdata& g) {
         g.S_Line(0, 0, 5e-11, 0);
         g.S_Line(0, 0, kBelowD, -kBelowD);
         g.S_Line(1, 1, 1, 1);
         g.S_Line(0, 0, kD, 0);
         g.S_Line(0, 0, 0, -kD);
         g.S_Line(0, 0, 5e-11, 1);
         g.S_Line(0, 0, 3, 4);
       },
       {u"0 0 1E-10 0", u"0 0 0 -1E-10", u"0 0 5E-11 1", u"0 0 3 4"}},
      {"circle: the radius must exceed the limit",
       [](TJGdata& g) {
         g.S_Circle(0, 0, 1e-11);
         g.S_Circle(0, 0, -5);
         g.S_Circle(0, 0, kBelowD);
         g.S_Circle(0, 0, 5);
         g.S_Circle(1.5, -2, kD);
       },
       {u"ci 0 0 5", u"ci 1.5 -2 1E-10"}},
      {"arc: radius and flatness, angles before flatness and tilt",
       [](TJGdata& g) {
         g.S_Arc(0, 0, 5, 10, 20, 0, 30);
         g.S_Arc(0, 0, 5, 10, 20, -kBelowD, 30);
         g.S_Arc(0, 0, kBelowD, 10, 20, 1, 30);
         g.S_Arc(0, 0, -5, 10, 20, 1, 30);
         g.S_Arc(0, 0, 5, 10, 20, -1, 30);
         g.S_Arc(0, 0, kD, 10, 20, -kD, 30);
       },
       {u"ci 0 0 5 10 20 -1 30", u"ci 0 0 1E-10 10 20 -1E-10 30"}},
  });
}

TEST(Polyline, CollectedSegmentsAreWrittenAsOneCurve) {
  using Seg = TJwwPLine;
  const struct {
    const char* name;
    std::vector<Seg> segs;
    Lines want;
  } cases[] = {
      {"none", {}, {}},
      {"one segment is a plain line", {{0, 0, 1, 2}}, {u"0 0 1 2"}},
      {"a lone zero segment writes nothing", {{1, 1, 1, 1}}, {}},
      {"zero segment inside is dropped",
       {{0, 0, 1, 0}, {1, 0, 1, 0}, {1, 0, 1, 1}},
       {u"pl", u"0 0 1 0", u"1 0 1 1", u"#"}},
      {"block lines even when every segment drops", {{0, 0, 0, 0}, {2, 2, 2, 2}}, {u"pl", u"#"}},
  };
  for (const auto& c : cases) {
    TJGdata g;
    g.S_Init();
    g.S_PLineReset();
    for (const Seg& s : c.segs) g.S_PLineSet(s.x1, s.y1, s.x2, s.y2);
    EXPECT_EQ(g.t_PLineN, static_cast<int32_t>(c.segs.size())) << c.name;
    EXPECT_EQ(g.t_PLine.size(), c.segs.size()) << c.name;  // no block growth here
    g.S_PLine();
    EXPECT_EQ(Written(g), c.want) << c.name;
  }

  TJGdata g;
  g.S_Init();
  g.S_PLineSet(0, 0, 1, 0);
  g.S_PLineSet(1, 0, 2, 0);
  g.S_PLine();
  g.S_PLine();  // the segments stay until reset
  g.S_PLineReset();
  EXPECT_EQ(g.t_PLineN, 0);
  EXPECT_TRUE(g.t_PLine.empty());
  g.S_PLine();
  g.S_PLineSet(5, 5, 6, 6);
  g.S_PLine();
  g.S_PLineStart();
  g.S_PLineEnd();
  EXPECT_EQ(Written(g), (Lines{u"pl", u"0 0 1 0", u"1 0 2 0", u"#", u"pl", u"0 0 1 0",
                               u"1 0 2 0", u"#", u"5 5 6 6", u"pl", u"#"}));

  // The count is public; a stray value must not size or overrun the array.
  TJGdata h;
  h.t_PLineN = 5;
  h.S_PLine();
  h.t_PLineN = -3;
  h.S_PLineSet(0, 0, 1, 1);
  EXPECT_EQ(h.t_PLineN, 1);
  h.t_PLineN = INT32_MAX;  // beyond the one segment there is
  h.S_PLineSet(1, 1, 2, 2);
  EXPECT_EQ(h.t_PLineN, 2);
  EXPECT_EQ(h.t_PLine.size(), 2u);
  EXPECT_EQ(Written(h), Lines{});
}

TEST(Texts, KeywordDirectionAndBlankText) {
  const char16_t* const keywords[] = {u"ch", u"cv", u"cs", u"cr", u"co", u"cp",
                                      u"ct", u"ck", u"cz", u"c2"};
  for (int32_t no = -2; no <= 11; ++no) {
    TJGdata g;
    g.S_Init();
    g.S_Text(no, 10, 20, 5, 0, u"abc");
    const std::u16string kw = (no >= 1 && no <= 9) ? keywords[no] : u"ch";
    EXPECT_EQ(Written(g), (Lines{kw + u" 10 20 5 0 \"abc"})) << no;
  }
  RunCases({
      {"blank texts and vanishing directions write nothing",
       [](TJGdata& g) {
         g.S_Text(0, 0, 0, 1, 0, u"");
         g.S_Text(0, 0, 0, 1, 0, u"  ");
         g.S_Text(0, 0, 0, 1, 0, u"\u3000\t ");
         g.S_Text(0, 0, 0, 0, 1e-11, u"x");
         g.S_Text(0, 0, 0, kBelowD, -kBelowD, u"x");
       },
       {}},
      {"text unchanged after the quote, spaces and quotes included",
       [](TJGdata& g) {
         g.S_Text(0, 0, 0, 0, 2e-10, u" abc");
         g.S_Text(4, 1, 2, kD, 0, u"a \"b\" ");
       },
       {u"ch 0 0 0 2E-10 \" abc", u"co 1 2 1E-10 0 \"a \"b\" "}},
  });
}

TEST(Dimensions, ThreeLinesWithTheLengthAsDefaultText) {
  RunCases({
      {"empty text gives the length",
       [](TJGdata& g) { g.S_Dim(0, 0, 3, 4, 1, 1, 1, 0, u""); },
       {u"msg", u"0 0 3 4", u"cs 1 1 1 0 \"5"}},
      {"blank text gives the length rounded to ten decimals",
       [](TJGdata& g) {
         g.S_Dim(0, 0, 1, 1, 0, 0, 0, 1, u" \u3000");
         g.S_Dim(0, 0, 0.1, 0.2, 0, 0, 1, 1, u"");
         g.S_Dim(0, 0, 1e300, 0, 0, 0, 1, 0, u"");
         g.S_Dim(0, 0, 3e300, 4e300, 0, 0, 1, 0, u"");
         g.S_Dim(-1e200, -1e200, 1e200, 1e200, 0, 0, 1, 0, u"");
       },
       {u"msg", u"0 0 1 1", u"cs 0 0 0 1 \"1.4142135624", u"msg", u"0 0 0.1 0.2",
        u"cs 0 0 1 1 \"0.2236067977", u"msg", u"0 0 1E300 0", u"cs 0 0 1 0 \"1E300", u"msg",
        u"0 0 3E300 4E300", u"cs 0 0 1 0 \"5E300", u"msg", u"-1E200 -1E200 1E200 1E200",
        u"cs 0 0 1 0 \"2.82842712474619E200"}},
      {"given text",
       [](TJGdata& g) { g.S_Dim(-1, 0, 1, 0, 0, 2, 1, 0, u" 2,000 "); },
       {u"msg", u"-1 0 1 0", u"cs 0 2 1 0 \" 2,000 "}},
      {"zero-length line or vanishing text direction writes nothing, not even msg",
       [](TJGdata& g) {
         g.S_Dim(2, 2, 2, 2, 0, 0, 1, 0, u"x");
         g.S_Dim(0, 0, kBelowD, 0, 0, 0, 1, 0, u"x");
         g.S_Dim(0, 0, 3, 4, 0, 0, kBelowD, -kBelowD, u"x");
       },
       {}},
      {"the nearest double to 1e-10 is a real size",
       [](TJGdata& g) { g.S_Dim(0, 0, 0, kD, 0, 0, 0, kD, u""); },
       {u"msg", u"0 0 0 1E-10", u"cs 0 0 0 1E-10 \"1E-10"}},
  });
}

// A text never spans lines: a line break would start a new command in the
// exchange file, and a NUL would end the file for the host.
TEST(TextsInCommands, LineBreaksAndNulAreDropped) {
  RunCases({
      {"each free text",
       [](TJGdata& g) {
         g.S_Comment(u"a\r\nlc5");
         g.S_Font(std::u16string(u"<x\ny\0>", 6));
         g.S_Text(0, 0, 0, 1, 0, u"one\rtwo\n");
         g.S_Dim(0, 0, 1, 0, 0, 0, 1, 0, u"\r\n");
         g.S_Dim(0, 0, 1, 0, 0, 0, 1, 0, u"7\n");
         g.S_Text(0, 0, 0, 1, 0, u"\r\n");
       },
       {u"h#alc5", u"cn\"$<xy>", u"ch 0 0 1 0 \"onetwo", u"msg", u"0 0 1 0", u"cs 0 0 1 0 \"1",
        u"msg", u"0 0 1 0", u"cs 0 0 1 0 \"7"}},
  });
}

TEST(Solids, CornerSolidsDropCollapsedCorners) {
  RunCases({
      {"two and three corners",
       [](TJGdata& g) {
         g.S_Solid2(1, 1, 1 + 5e-11, 1);
         g.S_Solid2(0, 0, kD, 0);
         g.S_Solid3(0, 0, 1, 0, 0, 0);
         g.S_Solid3(0, 0, 1, 0, 1, kBelowD);
         g.S_Solid3(0, 0, 0, 0, 1, 1);
         g.S_Solid3(0, 0, 1, 0, 1, kD);
       },
       {u"sl 0 0 1E-10 0", u"sl 0 0 1 0 1 1E-10"}},
  });

  // P1 (0,0), P2 (10,0), P3 (10,10), P4 (0,10), with corners moved onto others.
  const struct {
    const char* name;
    double c[8];
    Lines want;
  } quads[] = {
      {"distinct", {0, 0, 10, 0, 10, 10, 0, 10}, {u"sl 0 0 10 0 10 10 0 10"}},
      {"P2 on P1", {0, 0, 0, 0, 10, 10, 0, 10}, {u"sl 0 0 10 10 0 10"}},
      {"P2 near P1", {0, 0, 5e-11, 0, 10, 10, 0, 10}, {u"sl 0 0 10 10 0 10"}},
      {"P2 just not near P1", {0, 0, kD, 0, 10, 10, 0, 10}, {u"sl 0 0 1E-10 0 10 10 0 10"}},
      {"P3 on P1", {0, 0, 10, 0, 0, 0, 0, 10}, {}},
      {"P4 on P1", {0, 0, 10, 0, 10, 10, 0, 0}, {u"sl 0 0 10 0 10 10"}},
      {"P3 on P2", {0, 0, 10, 0, 10, 0, 0, 10}, {u"sl 0 0 10 0 0 10"}},
      {"P4 on P2", {0, 0, 10, 0, 10, 10, 10, 0}, {}},
      {"P4 on P3", {0, 0, 10, 0, 10, 10, 10, 10}, {u"sl 0 0 10 0 10 10"}},
      {"two pairs", {0, 0, 0, 0, 10, 10, 10, 10}, {}},
      // P3 is near both P2 and P4 while P4 is not near P2: the earlier test
      // (P3 near P2) decides and keeps P4.
      {"first test decides",
       {0, 0, 10, 0, 10 + 6e-11, 0, 10 + 1.2e-10, 0},
       {u"sl 0 0 10 0 10.00000000012 0"}},
  };
  for (const auto& q : quads) {
    TJGdata g;
    g.S_Init();
    g.S_Solid4(q.c[0], q.c[1], q.c[2], q.c[3], q.c[4], q.c[5], q.c[6], q.c[7]);
    EXPECT_EQ(Written(g), q.want) << q.name;
  }
}

TEST(Solids, CircularSolidsFilterCodesAndDegenerateShapes) {
  const std::pair<int32_t, bool> scCodes[] = {{100, true}, {5, true}, {0, true},   {-1, true},
                                              {1, false},  {2, false}, {101, false}, {-2, false}};
  for (const auto& [cod, kept] : scCodes) {
    TJGdata g;
    g.S_Init();
    g.S_SolidC(1, 2, 3, 4, 5, 6, 7, cod);
    EXPECT_EQ(Written(g), kept ? Lines{u"sc 1 2 3 4 5 6 7 " + IntStr(cod)} : Lines{}) << cod;
  }
  const std::pair<int32_t, bool> seCodes[] = {{100, true}, {0, true}, {5, false}, {-1, false}};
  for (const auto& [cod, kept] : seCodes) {
    TJGdata g;
    g.S_Init();
    g.S_SolidD(1, 2, 3, 4, 5, 6, 7, cod);
    EXPECT_EQ(Written(g), kept ? Lines{u"se 1 2 3 4 5 6 7 " + IntStr(cod)} : Lines{}) << cod;
  }
  RunCases({
      {"radius and flatness",
       [](TJGdata& g) {
         g.S_SolidC(0, 0, kBelowD, 1, 0, 0, 0, 0);
         g.S_SolidC(0, 0, -1, 1, 0, 0, 0, 0);
         g.S_SolidC(0, 0, 1, -kBelowD, 0, 0, 0, 0);
         g.S_SolidD(0, 0, kBelowD, 1, 0, 0, 0, 0);
         g.S_SolidD(0, 0, 1, 0, 0, 0, 0, 0);
         g.S_SolidC(0, 0, kD, -kD, 0, 0, 0, -1);
         g.S_SolidD(0, 0, kD, kD, 0, 0, 0, 100);
       },
       {u"sc 0 0 1E-10 -1E-10 0 0 0 -1", u"se 0 0 1E-10 1E-10 0 0 0 100"}},
  });

  // Rings: the inner radius must be above the limit and the width r - ri too.
  const struct {
    const char* name;
    double r, h, ri;
    bool kept;
  } rings[] = {
      {"inner equals outer", 5, 1, 5, false},
      {"inner above outer", 5, 1, 6, false},
      {"width 2e-10", 5, 1, 5 - 2e-10, true},
      {"width exactly the nearest double to 1e-10", 2 * kD, 1, kD, true},
      {"width one double below it", 2 * kD, 1, kAboveD, false},
      {"inner zero", 5, 1, 0, false},
      {"inner within the limit", 5, 1, kBelowD, false},
      {"outer negative", -1, 1, -2, false},
      {"flat", 5, kBelowD, 1, false},
      {"flatness negative", 5, -0.5, 1, true},
  };
  for (const auto& c : rings) {
    TJGdata g;
    g.S_Init();
    g.S_SolidO(1, 2, c.r, c.h, 3, 4, 5, c.ri);
    g.S_SolidG(1, 2, c.r, c.h, 3, 4, 5, c.ri);
    const std::u16string tail = u"1 2 " + FloatStr(c.r) + u" " + FloatStr(c.h) + u" 3 4 5 " +
                                FloatStr(c.ri);
    const Lines want = c.kept ? Lines{u"so " + tail, u"sg " + tail} : Lines{};
    EXPECT_EQ(Written(g), want) << c.name;
  }
}

TEST(EntityCommands, LeaveThePenStateAlone) {
  TJGdata g;
  g.S_Init();
  g.S_Col(5, 0);
  g.S_Line(0, 0, 1, 1);
  g.S_Text(0, 0, 0, 1, 0, u"a");
  g.S_Solid2(0, 0, 1, 1);
  g.S_SolidC(0, 0, 1, 1, 0, 0, 0, 0);
  g.S_Col(5, 0);
  g.S_SCol(0);
  EXPECT_EQ(Written(g), (Lines{u"lc5", u"0 0 1 1", u"ch 0 0 1 0 \"a", u"sl 0 0 1 1",
                               u"sc 0 0 1 1 0 0 0 0", u"lc10 0"}));
}

}  // namespace
