// Reading the exchange file: the tokenizer, which record takes a line, every
// record kind, the curve and dimension groups, and files in each encoding.
#include <gtest/gtest.h>

#include <bit>
#include <random>

#include "myfunc/MyFunc.h"
#include "platform/Platform.h"
#include "tests/TestUtil.h"

using A = TJGdataAccess;

// Entity records compared whole in the checks below.
bool operator==(const TJwwEntNo& a, const TJwwEntNo& b) { return a.yn == b.yn && a.no == b.no; }
bool operator==(const TJwwEntAttr& a, const TJwwEntAttr& b) {
  return a.IPNo == b.IPNo && a.LGrp == b.LGrp && a.Lay == b.Lay && a.Col == b.Col &&
         a.Ltp == b.Ltp && a.Wid == b.Wid && a.Attr == b.Attr;
}
std::ostream& operator<<(std::ostream& os, const TJwwEntNo& e) {
  return os << "{" << e.yn << "," << e.no << "}";
}
std::ostream& operator<<(std::ostream& os, const TJwwEntAttr& a) {
  return os << "{IPNo " << a.IPNo << " LGrp " << a.LGrp << " Lay " << a.Lay << " Col " << a.Col
            << " Ltp " << a.Ltp << " Wid " << a.Wid << " Attr " << a.Attr << "}";
}

namespace {

// Hands each line of text (split at '\n') to the line reader.
void Feed(TJGdata& g, std::u16string_view text) {
  size_t i = 0;
  for (;;) {
    const size_t e = text.find(u'\n', i);
    A::ParseLine(g, text.substr(i, e == std::u16string_view::npos ? e : e - i));
    if (e == std::u16string_view::npos) break;
    i = e + 1;
  }
}

std::vector<TJwwEntNo> Index(const TJGdata& g) {
  return std::vector<TJwwEntNo>(g.EntNo.begin(), g.EntNo.begin() + g.EntN);
}

std::string Utf8(std::u16string_view s) { return platform::TextToUtf8(s); }

// ---------------------------------------------------------------------------
// Tokenizer, seen through the layer group name record, whose name is the rest
// of the keyword followed by every further token, each after one space.

TEST(Tokenizer, SplitsAtSpacesAndTabsUntilAQuoteOrTheFirstEquals) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"lgnA B", u"A B"},
      {u"lgnA   \t B", u"A B"},                 // a run of separators counts once
      {u"  \tlgnA", u"A"},                      // leading separators are skipped
      {u"lgnA B ", u"A B "},                    // an empty last token is counted
      {u"lgnA B \t  ", u"A B "},
      {u"lgnA \"B  C \"D", u"A B  C \"D"},      // the quote goes, the rest is one token
      {u"lgn\"A  B", u"A  B"},                  // a quote inside the keyword
      {u"lgnA=B  C", u"A=B  C"},                // "=" is kept and ends the splitting
      {u"lgnA B=C  D=E", u"A B=C  D=E"},
      {u"lgnA \"B=C  D", u"A B=C  D"},
      {u"lgnA\x01" u"B \x02" u"C", u"AB C"},    // control characters are dropped
      {u"lgnA \x01 B", u"A B"},                 // and separate nothing
      {u"lgnA \"B\tC\x1F", u"A BC"},            // a tab after the quote is dropped too
      {u"lgn壁　A ｶﾍﾞ", u"壁　A ｶﾍﾞ"},          // only the half-width space separates
      {u"lgn\U0002000B \xD800", u"\U0002000B \xD800"},
      {u"lgn\x7F", u"\x7F"},
  };
  for (const auto& [line, name] : cases) {
    TJGdata g;
    A::ParseLine(g, line);
    EXPECT_EQ(Utf8(g.LGrpName[0]), Utf8(name)) << Utf8(line);
    // Read from a file, a line of ASCII is split without being decoded first.
    if (line.find(u'\xD800') != std::u16string::npos) continue;
    for (const std::string& bytes : {platform::TextToAnsi(line), "\xEF\xBB\xBF" + Utf8(line)}) {
      kxtest::TempDir dir;
      kxtest::WriteBytes(dir / "JWC_TEMP.TXT", bytes + "\r\n");
      TJGdata f;
      f.OpenTempFile(kxtest::U16(dir / "JWC_TEMP.TXT"));
      EXPECT_EQ(Utf8(f.LGrpName[0]), Utf8(name)) << Utf8(line) << " from a file";
    }
  }
}

TEST(Tokenizer, TokenCountDecidesTheRecord) {
  // A separator after the last number adds an empty token: five, not four.
  TJGdata g;
  Feed(g, u"ci 1 2 3\nci 4 5 6 \nci\t7\t8\t9");
  ASSERT_EQ(g.EntCircN, 2);
  EXPECT_EQ(g.EntCirc[0].cx, 1);
  EXPECT_EQ(g.EntCirc[1].cx, 7);
  EXPECT_EQ(g.EntN, 2);
}

TEST(Tokenizer, LinesWithoutTokensAreIgnored) {
  TJGdata g;
  Feed(g, u"\n   \n\t\n\"\n\x01\x02\n1 2 3 4");
  EXPECT_EQ(g.EntN, 1);
}

// Appends a space and the number.
void AddNumber(std::u16string& s, int32_t v) {
  s += u' ';
  s += IntStr(v);
}

TEST(Tokenizer, KeepsTheFirstFourHundredTokens) {
  std::u16string line = u"lgnN", expected = u"N";
  for (int k = 1; k <= 450; ++k) {
    AddNumber(line, k);
    if (k <= 399) AddNumber(expected, k);
  }
  TJGdata g;
  A::ParseLine(g, line);
  EXPECT_EQ(Utf8(g.LGrpName[0]), Utf8(expected));

  // Of a colour table that long, the first 356 values fill the table.
  std::u16string rgb = u"hrgb";
  for (int k = 1; k <= 1000; ++k) AddNumber(rgb, k * 3);
  A::ParseLine(g, rgb);
  for (int k = 1; k <= 356; ++k) ASSERT_EQ(g.RGB[static_cast<size_t>(k)], k * 3) << k;
  EXPECT_EQ(g.RGB[0], 0);
}

TEST(Numbers, EveryRealIsTheDoubleTheSharedNumberReaderGives) {
  std::vector<std::u16string> texts = {
      u"0", u"-0", u"-0.000", u"0.1", u"-0.1", u"1.", u".5", u"-.5", u"123456789012345",
      u"1234567890123456", u"9007199254740993", u"0.000000000000001", u"0.0000000000000001",
      u"4523.17263541296", u"0.30000000000000004", u"999999999999999", u"-999999999999999.",
      u"00000000000000000001", u"5e3", u"1E-5", u"-5.6843418860808E-14", u"+5", u"0x10",
      u"$10", u"1,5", u"-", u".", u"-.", u"1.2.3", u"12a", u"１２", u"1234:678", u"12/45678",
      u"123\u30314", u"123\u80314.5", u"12.34\u0039\u1234", u"0.0000000000000000001234"};
  std::mt19937 rng(7);
  for (int k = 0; k < 20000; ++k) {
    std::u16string t = rng() % 3 == 0 ? u"-" : u"";
    const int digits = 1 + static_cast<int>(rng() % 17);
    const int point = static_cast<int>(rng() % (digits + 2)) - 1;  // -1: none
    for (int d = 0; d < digits; ++d) {
      if (d == point) t += u'.';
      t += static_cast<char16_t>(u'0' + rng() % 10);
    }
    texts.push_back(t);
  }
  for (const auto& t : texts) {
    TJGdata g;
    A::ParseLine(g, u"ci " + t + u" 0 1");
    ASSERT_EQ(g.EntCircN, 1) << Utf8(t);
    const double want = StrToFloatZ(t);
    EXPECT_EQ(std::bit_cast<uint64_t>(g.EntCirc[0].cx), std::bit_cast<uint64_t>(want))
        << Utf8(t) << " read as " << g.EntCirc[0].cx << ", not " << want;
  }
}

// ---------------------------------------------------------------------------
// Which record takes a line.

TEST(Dispatch, AFailedCountLetsLaterRecordsTryAndFourTokensAreALine) {
  struct Case {
    std::u16string line;
    bool isLine;
    double x1, y1, x2, y2;
  };
  const Case cases[] = {
      {u"1 2 3 4", true, 1, 2, 3, 4},
      {u"hn 1 2 3", true, 0, 1, 2, 3},    // area needs four values
      {u"pt 1 2 3", true, 0, 1, 2, 3},    // neither point nor marker
      {u"hs 1 2 3", true, 0, 1, 2, 3},
      {u"hrgb 1 2 3", true, 0, 1, 2, 3},
      {u"sl 1 2 3", true, 0, 1, 2, 3},
      {u"ch 1 2 3", true, 0, 1, 2, 3},
      {u"Hk 1 2 3", true, 0, 1, 2, 3},    // keywords are case-sensitive
      {u"a b c d", true, 0, 0, 0, 0},
      {u"hzs 1 2 3", false, 0, 0, 0, 0},  // sheet size takes three or more
      {u"ci 1 2 3", false, 0, 0, 0, 0},
      {u"lgx 1 2 3", false, 0, 0, 0, 0},  // "starts with" claims any count
      {u"hp1 2 3 4", false, 0, 0, 0, 0},
      {u"hhp1 2 3 4", false, 0, 0, 0, 0},
      {u"z1 1 2 3", false, 0, 0, 0, 0},
      {u"# 1 2 3", false, 0, 0, 0, 0},
      {u"bz 1 2 3", false, 0, 0, 0, 0},
      {u"xfile=1 2 3", false, 0, 0, 0, 0},
      {u"1 2 3 4 5", false, 0, 0, 0, 0},
      {u"1 2 3", false, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    TJGdata g;
    A::ParseLine(g, c.line);
    ASSERT_EQ(g.EntLineN, c.isLine ? 1 : 0) << Utf8(c.line);
    if (!c.isLine) continue;
    const TJwwEntLine& l = g.EntLine[0];
    EXPECT_EQ(l.x1, c.x1) << Utf8(c.line);
    EXPECT_EQ(l.y1, c.y1) << Utf8(c.line);
    EXPECT_EQ(l.x2, c.x2) << Utf8(c.line);
    EXPECT_EQ(l.y2, c.y2) << Utf8(c.line);
  }
}

TEST(Dispatch, NarrowerKeywordsComeFirst) {
  TJGdata g;
  Feed(g, u"lg2\nlgnG\nlynL\ncn$F\ncn4\nhhp3\nhp3 1 2");
  EXPECT_EQ(g.CurLGrp, 2);
  EXPECT_EQ(Utf8(g.LGrpName[2]), "G");
  EXPECT_EQ(Utf8(g.LayName[32]), "L");
  EXPECT_EQ(g.CurLay, 0);
  EXPECT_TRUE(A::w_FlgLay(g));  // "lyn" is not a layer record
  EXPECT_EQ(Utf8(A::w_Font(g)), "F");
  EXPECT_EQ(g.CurMjs, 4);
  EXPECT_EQ(A::w_IPNo(g), 3);
  EXPECT_EQ(g.IPointN, 1);
}

// ---------------------------------------------------------------------------
// Header records.

TEST(Header, EveryRecordFillsItsValues) {
  TJGdata g;
  Feed(g,
       u"file=C:\\JWW\\髙橋邸 新築工事\\1F 平面図.jww\n"
       u"hk 12.5\n"
       u"hs 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17\n"
       u"hzs 420 297\n"
       u"hcw 1 2 3 4 5 6 7 8 9 10\n"
       u"hch 11 12 13 14 15 16 17 18 19 20\n"
       u"hcd 0.5 0 0 0 0 0 0 0 0 1.5\n"
       u"hcc 1 2 3 4 5 6 7 8 9 $10\n"
       u"hn -1 -2 3 4\n"
       u"hrgb 1 2 3 4 5 6 7 8\n"
       u"bz");
  EXPECT_EQ(Utf8(g.ZumenFile), "C:\\JWW\\髙橋邸 新築工事\\1F 平面図.jww");
  EXPECT_EQ(g.Jikukaku, 12.5);
  for (size_t k = 0; k < 16; ++k) EXPECT_EQ(g.LGrpScale[k], static_cast<double>(k) + 1);
  EXPECT_EQ(g.ZumenXsize, 420);
  EXPECT_EQ(g.ZumenYsize, 297);
  for (size_t k = 1; k <= 10; ++k) {
    EXPECT_EQ(g.Mojisyu[k].W, static_cast<double>(k));
    EXPECT_EQ(g.Mojisyu[k].H, static_cast<double>(k) + 10);
    EXPECT_EQ(g.Mojisyu[k].C, static_cast<int32_t>(k == 10 ? 16 : k));
  }
  EXPECT_EQ(g.Mojisyu[1].D, 0.5);
  EXPECT_EQ(g.Mojisyu[10].D, 1.5);
  EXPECT_EQ(g.AreaX1, -1);
  EXPECT_EQ(g.AreaY1, -2);
  EXPECT_EQ(g.AreaX2, 3);
  EXPECT_EQ(g.AreaY2, 4);
  for (size_t k = 1; k <= 8; ++k) EXPECT_EQ(g.RGB[k], static_cast<int32_t>(k));
  EXPECT_EQ(g.RGB[9], 0);
  EXPECT_TRUE(g.Zusun);
  EXPECT_EQ(g.EntN, 0);
}

TEST(Header, RecordsWithTooFewValuesChangeNothing) {
  TJGdata g;
  Feed(g,
       u"hk\nhs 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15\nhzs 5\n"
       u"hcw 1 2 3 4 5 6 7 8 9\nhrgb 1 2 3 4 5 6 7\nhn 1 2\nxbz");
  EXPECT_EQ(g.Jikukaku, 0);
  EXPECT_EQ(g.LGrpScale[0], 1);
  EXPECT_EQ(g.ZumenXsize, 1189);
  EXPECT_EQ(g.Mojisyu[1].W, 3);
  EXPECT_EQ(g.RGB[1], 0);
  EXPECT_FALSE(g.Zusun);
  EXPECT_EQ(g.EntN, 0);
}

TEST(Header, FileNameKeepsEverythingAfterTheKeyword) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"file=", u""},
      {u"file=a \"b\" = c\t", u"a \"b\" = c"},
      {u"  file=x", u"x"},
      {u"xfile=y", u"=y"},  // "contains": the first five characters go
  };
  for (const auto& [line, name] : cases) {
    TJGdata g;
    A::ParseLine(g, line);
    EXPECT_EQ(Utf8(g.ZumenFile), Utf8(name)) << Utf8(line);
  }
}

// ---------------------------------------------------------------------------
// Layers and names.

TEST(Layers, FirstRecordsSetTheCurrentValuesAndNamesFollowTheSelection) {
  TJGdata g;
  Feed(g,
       u"lg3 2\n"
       u"ly4 1\n"
       u"lgnGroup   Three\n"
       u"lynWall\tInner \n"
       u"lg5\n"
       u"lyA 7\n"
       u"lyn 壁\n");
  EXPECT_EQ(g.CurLGrp, 3);
  EXPECT_EQ(g.CurLay, 4);
  EXPECT_EQ(A::w_LGrp(g), 5);
  EXPECT_EQ(A::w_Lay(g), 10);
  EXPECT_EQ(g.LGrpStat[3], 2);
  EXPECT_EQ(g.LGrpStat[5], 0);
  EXPECT_EQ(g.LayStat[3 * 16 + 4], 1);
  EXPECT_EQ(g.LayStat[5 * 16 + 10], 7);
  EXPECT_EQ(Utf8(g.LGrpName[3]), "Group Three");
  EXPECT_EQ(Utf8(g.LayName[3 * 16 + 4]), "Wall Inner ");
  EXPECT_EQ(Utf8(g.LayName[5 * 16 + 10]), " 壁");
}

TEST(Layers, OnlyTheOneCharacterAfterTheKeywordCounts) {
  const std::pair<std::u16string, int32_t> cases[] = {
      {u"0", 0}, {u"9", 9}, {u"A", 10}, {u"a", 10}, {u"F", 15}, {u"f", 15},
      {u"g", 0}, {u"z", 0}, {u"", 0},  {u"12", 1}, {u"-1", 0}, {u"Ｆ", 0}};
  for (const auto& [digit, v] : cases) {
    TJGdata g;
    Feed(g, u"lg" + digit + u" 4\nly" + digit + u" 6");
    EXPECT_EQ(A::w_LGrp(g), v) << Utf8(digit);
    EXPECT_EQ(A::w_Lay(g), v) << Utf8(digit);
    EXPECT_EQ(g.CurLGrp, v) << Utf8(digit);
    EXPECT_EQ(g.LGrpStat[static_cast<size_t>(v)], 4) << Utf8(digit);
    EXPECT_EQ(g.LayStat[static_cast<size_t>(v * 17)], 6) << Utf8(digit);
  }
}

// ---------------------------------------------------------------------------
// Pen and text attributes.

TEST(Attributes, FirstOfEachKindIsTheCurrentValueLaterOnesOnlyTheState) {
  TJGdata g;
  Feed(g,
       u"lc5\nlc7\nlt2\nlt3\nlw4\nlw0\n"
       u"cn$\ncn$Arial\ncn$Century\n"
       u"cn0 2.5 2.6 0.5 3\ncn7\ncc5\npn6\npn-2");
  EXPECT_EQ(g.CurCol, 5);
  EXPECT_EQ(A::w_Col(g), 7);
  EXPECT_EQ(g.CurLtp, 2);
  EXPECT_EQ(A::w_Ltp(g), 3);
  EXPECT_EQ(g.CurWid, 4);
  EXPECT_EQ(A::w_Wid(g), 0);
  EXPECT_TRUE(g.WidF);
  EXPECT_EQ(Utf8(g.CurFont), "Arial");  // the first font with a name
  EXPECT_EQ(Utf8(A::w_Font(g)), "Century");
  EXPECT_EQ(g.CurMjs, 0);
  EXPECT_EQ(g.CurMjsW, 2.5);
  EXPECT_EQ(g.CurMjsH, 2.6);
  EXPECT_EQ(g.CurMjsD, 0.5);
  EXPECT_EQ(g.CurMjsC, 3);
  EXPECT_EQ(A::w_Mjs(g), 7);
  EXPECT_EQ(A::w_MjsW(g), 2.5);
  EXPECT_EQ(A::w_MjsC(g), 3);
  EXPECT_EQ(A::w_Mbs(g), 5);
  EXPECT_EQ(A::w_PtCol(g), -2);
  EXPECT_FALSE(A::w_FlgCol(g) || A::w_FlgLtp(g) || A::w_FlgWid(g) || A::w_FlgMjs(g));
}

TEST(Attributes, WithoutALineWidthRecordWidthsAreNotWritten) {
  TJGdata g;
  Feed(g, u"lc1\nlt1\nxlw1");
  EXPECT_FALSE(g.WidF);
  EXPECT_TRUE(A::w_FlgWid(g));
}

TEST(Attributes, FreeTextSizeNeedsAllFourValues) {
  TJGdata g;
  Feed(g, u"cn0 1 2 3 4\ncn0\ncn0 9 9 9");
  EXPECT_EQ(A::w_MjsW(g), 1);
  EXPECT_EQ(A::w_MjsH(g), 2);
  EXPECT_EQ(A::w_MjsD(g), 3);
  EXPECT_EQ(A::w_MjsC(g), 4);
  TJGdata h;
  Feed(h, u"cn12 5 5 5 5\ncn0\ncnx");
  EXPECT_EQ(h.CurMjs, 12);
  EXPECT_EQ(A::w_Mjs(h), 0);
  EXPECT_EQ(A::w_MjsW(h), 2);  // still the default free size
}

TEST(Attributes, FillColourAndFontWithSpaces) {
  TJGdata g;
  Feed(g, u"lc10 255\nlc10\nlc101 7");
  EXPECT_EQ(A::w_Col(g), 101);
  EXPECT_EQ(A::w_SlCol(g), 255);
  Feed(g, u"cn\"$ＭＳ ゴシック");
  EXPECT_EQ(Utf8(A::w_Font(g)), "ＭＳ ゴシック");
  EXPECT_EQ(Utf8(g.CurFont), "ＭＳ ゴシック");
}

TEST(Attributes, TextBaseCodeIsOneDigitUpToEight) {
  const std::pair<std::u16string, int32_t> cases[] = {
      {u"cc5", 5}, {u"cc0", 0}, {u"cc8", 8}, {u"cc9", 0}, {u"ccx", 0}, {u"cc", 0}, {u"cc37", 3}};
  for (const auto& [line, v] : cases) {
    TJGdata g;
    A::ParseLine(g, u"cc4");
    A::ParseLine(g, line);
    EXPECT_EQ(A::w_Mbs(g), v) << Utf8(line);
  }
}

TEST(Attributes, AttributeBitsAreSetNotAdded) {
  TJGdata g;
  Feed(g, u"z1\nz1\nz3\nz5\nz6\nz0\nZ2");
  EXPECT_EQ(A::w_Attr(g), 1 | 4 | 16);
}

// ---------------------------------------------------------------------------
// Indicated points.

TEST(IndicatedPoints, NumberAndMarker) {
  struct Case {
    std::u16string line;
    int32_t no;  // 0: ignored
    int32_t sta;
  };
  const Case cases[] = {
      {u"hp1 10 20", 1, 0},   {u"hp2- 10 20", 2, 1},  {u"hp3ln 10 20", 3, 2},
      {u"hp4ci 10 20", 4, 3}, {u"hp5ch 10 20", 5, 4}, {u"hp99 10 20", 99, 0},
      {u"hp7ln- 10 20", 7, 2},  // "ln" is looked for after "-" and cuts shorter
      {u"hp5-ci 10 20", 0, 0},  // the number text becomes "5-"
      {u"hp100 10 20", 0, 0}, {u"hp0 10 20", 0, 0},   {u"hp-1 10 20", 0, 0},
      {u"hp 10 20", 0, 0},    {u"hpx 10 20", 0, 0},   {u"hp1 5", 0, 0},
      {u"hp1.0 10 20", 0, 0}, {u"hp$A 10 20", 10, 0},
  };
  for (const Case& c : cases) {
    TJGdata g;
    A::ParseLine(g, c.line);
    int32_t found = 0;
    for (int32_t k = 0; k < 100; ++k) {
      if (g.IPoints[static_cast<size_t>(k)].flg) found = k;
    }
    EXPECT_EQ(found, c.no) << Utf8(c.line);
    EXPECT_EQ(g.IPointN, c.no ? 1 : 0) << Utf8(c.line);
    if (!c.no) continue;
    const TJwwIndPoint& p = g.IPoints[static_cast<size_t>(c.no)];
    EXPECT_EQ(p.x, 10) << Utf8(c.line);
    EXPECT_EQ(p.y, 20) << Utf8(c.line);
    EXPECT_EQ(p.sta, c.sta) << Utf8(c.line);
  }
}

TEST(IndicatedPoints, ARepeatedNumberOverwritesAndCountsAgain) {
  TJGdata g;
  Feed(g, u"hp1 10 20\nhp1ln 30 40");
  EXPECT_EQ(g.IPointN, 2);
  EXPECT_EQ(g.IPoints[1].x, 30);
  EXPECT_EQ(g.IPoints[1].y, 40);
  EXPECT_EQ(g.IPoints[1].sta, 2);
  EXPECT_FALSE(g.IPoints[0].flg);
}

TEST(IndicatedPoints, NextEntityPointNumber) {
  const std::pair<std::u16string, int32_t> cases[] = {
      {u"hhp7ln", 7}, {u"hhp2", 2},     {u"hhp2ci", 2},   {u"hhp2ch 9 9", 2},
      {u"hhp", 0},    {u"hhp500", 500}, {u"hhp-3", -3},   {u"hhp4-", 0}};
  for (const auto& [line, v] : cases) {
    TJGdata g;
    A::ParseLine(g, line);
    EXPECT_EQ(A::w_IPNo(g), v) << Utf8(line);
  }
}

// ---------------------------------------------------------------------------
// Entities.

TEST(Entities, EveryKindWithItsFieldsAndItsPlaceInTheIndex) {
  TJGdata g;
  Feed(g,
       u"hcw 1 2 3 4 5 6 7 8 9 10\n"
       u"hcc 11 12 13 14 15 16 17 18 19 20\n"
       u"lg1\nly2\nlc10 4660\nlc3\nlt4\nlw5\npn6\n"
       u"1 2 3 4\n"
       u"ci 5 6 7\n"
       u"ci 1 2 3 10 20 0.5 30\n"
       u"cn3\ncc4\ncn$Century\n"
       u"ch 1 2 3 4 \"text  one \"quoted\"\n"
       u"cn0 2 2.5 0.5 9\n"
       u"c2 5 6 7 8 two words\n"
       u"pt 9 10\n"
       u"pt 1 2 1.5 45 3\n"
       u"pt 1 2 3 4 5 6\n"
       u"BL 7 8 ドア_W800 x\n"
       u"sl 0 0 5 5\n"
       u"sl 0 0 5 0 5 5\n"
       u"sl 0 0 5 0 5 5 0 5\n"
       u"sc 1 2 3 0.5 10 20 90 100\n"
       u"se 1 2 3 0.5 10 20 90 -1\n"
       u"so 1 2 3 0.5 10 20 90 1.5\n"
       u"sg 1 2 3 0.5 10 20 90 2.5\n"
       u"ci 0 0 1\n");
  const std::vector<TJwwEntNo> index = {
      {1, 0},  {2, 0},  {3, 0},  {4, 0},  {4, 1},  {5, 0},  {6, 0},  {6, 1}, {8, 0},
      {9, 0},  {10, 0}, {11, 0}, {12, 0}, {13, 0}, {14, 0}, {15, 0}, {2, 1}};
  EXPECT_EQ(Index(g), index);
  EXPECT_EQ(g.EntNo.size(), 1000u);
  EXPECT_EQ(g.EntCirc.size(), 1000u);

  const TJwwEntAttr pen{0, 1, 2, 3, 4, 5, 0};
  ASSERT_EQ(g.EntLineN, 1);
  const TJwwEntLine& l = g.EntLine[0];
  EXPECT_EQ(l.att, pen);
  EXPECT_EQ(l.CrvNo, 0);
  EXPECT_EQ(std::vector<double>({l.x1, l.y1, l.x2, l.y2}), std::vector<double>({1, 2, 3, 4}));

  ASSERT_EQ(g.EntCircN, 2);
  EXPECT_EQ(g.EntCirc[0].att, pen);
  EXPECT_EQ(std::vector<double>({g.EntCirc[0].cx, g.EntCirc[0].cy, g.EntCirc[0].cr}),
            std::vector<double>({5, 6, 7}));

  ASSERT_EQ(g.EntArcN, 1);
  const TJwwEntArc& a = g.EntArc[0];
  EXPECT_EQ(a.att, pen);
  EXPECT_EQ(std::vector<double>({a.cx, a.cy, a.cr, a.sa, a.ea, a.he, a.ka}),
            std::vector<double>({1, 2, 3, 10, 20, 0.5, 30}));

  // A text's colour and size come from its text kind.
  ASSERT_EQ(g.EntTextN, 2);
  const TJwwEntText& t = g.EntText[0];
  EXPECT_EQ(t.att, (TJwwEntAttr{0, 1, 2, 13, 4, 5, 0}));
  EXPECT_EQ(t.no, 0);
  EXPECT_EQ(t.cc, 4);
  EXPECT_EQ(t.cn, 3);
  EXPECT_EQ(std::vector<double>({t.mw, t.mh, t.md}), std::vector<double>({3, 3, 0}));
  EXPECT_EQ(std::vector<double>({t.x1, t.y1, t.x2, t.y2}), std::vector<double>({1, 2, 3, 4}));
  EXPECT_EQ(Utf8(t.fo), "Century");
  EXPECT_EQ(Utf8(t.st), "text  one \"quoted\"");
  const TJwwEntText& t2 = g.EntText[1];
  EXPECT_EQ(t2.no, 9);
  EXPECT_EQ(t2.cn, 0);
  EXPECT_EQ(t2.att.Col, 9);
  EXPECT_EQ(std::vector<double>({t2.mw, t2.mh, t2.md}), std::vector<double>({2, 2.5, 0.5}));
  EXPECT_EQ(Utf8(t2.st), "two");  // without a quote only the first word

  ASSERT_EQ(g.EntPntN, 1);
  EXPECT_EQ(g.EntPnt[0].att, (TJwwEntAttr{0, 1, 2, 6, 4, 5, 0}));
  EXPECT_EQ(g.EntPnt[0].px, 9);
  EXPECT_EQ(g.EntPnt[0].py, 10);

  ASSERT_EQ(g.EntMarkN, 2);
  const TJwwEntMark& m = g.EntMark[0];
  EXPECT_EQ(m.att.Col, 6);
  EXPECT_EQ(std::vector<double>({m.px, m.py, m.bai, m.ang}), std::vector<double>({1, 2, 1.5, 45}));
  EXPECT_EQ(m.cod, 3);
  EXPECT_EQ(g.EntMark[1].cod, 5);  // the seventh token is ignored

  ASSERT_EQ(g.EntBlkN, 1);
  EXPECT_EQ(g.EntBlk[0].att, pen);
  EXPECT_EQ(g.EntBlk[0].px, 7);
  EXPECT_EQ(Utf8(g.EntBlk[0].nam), "ドア_W800");

  // Solids keep the line colour in att and carry the fill colour apart.
  ASSERT_EQ(g.EntSld2N, 1);
  EXPECT_EQ(g.EntSld2[0].att, pen);
  EXPECT_EQ(g.EntSld2[0].Color, 4660);
  ASSERT_EQ(g.EntSld3N, 1);
  EXPECT_EQ(g.EntSld3[0].Color, 4660);
  ASSERT_EQ(g.EntSld4N, 1);
  EXPECT_EQ(g.EntSld4[0].Color, 4660);
  EXPECT_EQ(g.EntSld4[0].y4, 5);

  ASSERT_EQ(g.EntSldCN, 1);
  const TJwwEntSldC& sc = g.EntSldC[0];
  EXPECT_EQ(sc.att, pen);
  EXPECT_EQ(sc.Color, 4660);
  EXPECT_EQ(std::vector<double>({sc.cx, sc.cy, sc.cr, sc.he, sc.ka, sc.sa, sc.da}),
            std::vector<double>({1, 2, 3, 0.5, 10, 20, 90}));
  EXPECT_EQ(sc.fl, 100);
  ASSERT_EQ(g.EntSldEN, 1);
  EXPECT_EQ(g.EntSldE[0].fl, -1);
  ASSERT_EQ(g.EntSldON, 1);
  EXPECT_EQ(g.EntSldO[0].ri, 1.5);
  EXPECT_EQ(g.EntSldO[0].da, 90);
  ASSERT_EQ(g.EntSldGN, 1);
  EXPECT_EQ(g.EntSldG[0].ri, 2.5);
  EXPECT_EQ(g.EntSldG[0].Color, 4660);
}

TEST(Entities, WrongTokenCountsStoreNothing) {
  TJGdata g;
  Feed(g,
       u"ci 0 0 5 0\nci 1 2 3 4 5\nci 1 2 3 4 5 6\nci 1 2\nch 1 2 3 4\npt 1\npt 1 2 3 4\n"
       u"BL 1 2\nsl 1 2 3 4 5\nsl 1 2 3 4 5 6 7\nsc 1 2 3 4 5 6 7\nso 1 2 3 4 5 6 7");
  EXPECT_EQ(g.EntN, 0);
}

TEST(Entities, ManyEntitiesGrowTheArraysInThousands) {
  TJGdata g;
  for (int k = 0; k < 2500; ++k) A::ParseLine(g, u"ci " + IntStr(k) + u" 0 1");
  ASSERT_EQ(g.EntCircN, 2500);
  EXPECT_EQ(g.EntCirc.size(), 3000u);
  EXPECT_EQ(g.EntNo.size(), 3000u);
  EXPECT_EQ(g.EntCirc[999].cx, 999);
  EXPECT_EQ(g.EntCirc[2499].cx, 2499);
  EXPECT_EQ(g.EntNo[2499].no, 2499);
}

TEST(Solids, CoincidentCornersMakeSmallerSolids) {
  struct Case {
    std::u16string line;
    int corners;  // 0: nothing stored
    std::vector<double> xy;
  };
  const Case cases[] = {
      {u"sl 0 0 5 5", 2, {0, 0, 5, 5}},
      {u"sl 0 0 0 0 5 5", 2, {0, 0, 5, 5}},
      {u"sl 0 0 5 5 5 5", 2, {0, 0, 5, 5}},
      {u"sl 0 0 5 0 0 0", 3, {0, 0, 5, 0, 0, 0}},  // first and third are not compared
      {u"sl 0 0 5 0 5 5", 3, {0, 0, 5, 0, 5, 5}},
      {u"sl 1 1 1 1 1 1 5 5", 2, {1, 1, 5, 5}},
      {u"sl 0 0 5 5 5 5 5 5", 2, {0, 0, 5, 5}},
      {u"sl 0 0 0 0 5 5 5 5", 2, {0, 0, 5, 5}},
      {u"sl 0 0 5 0 5 5 0 0", 3, {0, 0, 5, 0, 5, 5}},
      {u"sl 0 0 5 0 5 5 5 0", 3, {0, 0, 5, 0, 5, 5}},
      {u"sl 0 0 5 0 5 5 5 5", 3, {0, 0, 5, 0, 5, 5}},
      {u"sl 0 0 5 0 0 0 5 5", 3, {0, 0, 5, 0, 5, 5}},
      {u"sl 0 0 5 0 5 0 5 5", 3, {0, 0, 5, 0, 5, 5}},
      {u"sl 0 0 0 0 5 0 5 5", 3, {0, 0, 5, 0, 5, 5}},
      {u"sl 0 0 1E-13 0 5 0 5 5", 3, {0, 0, 5, 0, 5, 5}},
      {u"sl 0 0 0 1e-12 5 0 5 5", 3, {0, 0, 5, 0, 5, 5}},
      {u"sl 0 0 1e-11 0 5 0 5 5", 4, {0, 0, 1e-11, 0, 5, 0, 5, 5}},
      {u"sl 0 0 5 0 5 5 0 5 9 9", 4, {0, 0, 5, 0, 5, 5, 0, 5}},
      {u"sl 0 0 5 5 6", 0, {}},
      {u"sl 0 0 5 5 6 6 7", 0, {}},
  };
  for (const Case& c : cases) {
    TJGdata g;
    A::ParseLine(g, c.line);
    std::vector<double> xy;
    int corners = 0;
    if (g.EntSld2N == 1) {
      const auto& s = g.EntSld2[0];
      xy = {s.x1, s.y1, s.x2, s.y2};
      corners = 2;
    } else if (g.EntSld3N == 1) {
      const auto& s = g.EntSld3[0];
      xy = {s.x1, s.y1, s.x2, s.y2, s.x3, s.y3};
      corners = 3;
    } else if (g.EntSld4N == 1) {
      const auto& s = g.EntSld4[0];
      xy = {s.x1, s.y1, s.x2, s.y2, s.x3, s.y3, s.x4, s.y4};
      corners = 4;
    }
    EXPECT_EQ(g.EntN, corners ? 1 : 0) << Utf8(c.line);
    EXPECT_EQ(corners, c.corners) << Utf8(c.line);
    EXPECT_EQ(xy, c.xy) << Utf8(c.line);
  }
}

// ---------------------------------------------------------------------------
// Curves, dimensions and what belongs to the next entity only.

std::vector<int32_t> CurveNumbers(const TJGdata& g) {
  std::vector<int32_t> v;
  for (int32_t k = 0; k < g.EntLineN; ++k) v.push_back(g.EntLine[static_cast<size_t>(k)].CrvNo);
  return v;
}

TEST(Curves, LinesBetweenPlAndHashBelongToTheCurve) {
  TJGdata g;
  Feed(g, u"pl\n1 1 2 2\n2 2 3 3\n3 3 4 4\n#\n4 4 5 5\npl\n5 5 6 6\npl\n6 6 7 7\n7 7 8 8");
  EXPECT_EQ(CurveNumbers(g), (std::vector<int32_t>{1, 1, 1, 0, 2, 3, 3}));
  EXPECT_EQ(g.EntN, 7);
}

TEST(Curves, AttributeRecordsAndOtherEntitiesEndTheCurve) {
  const std::u16string closers[] = {u"lg1",     u"ly1",         u"lc3",      u"lt2",
                                    u"lw1",     u"cn$Arial",    u"cn2",      u"cc1",
                                    u"pn2",     u"#",           u"ci 0 0 1", u"pt 1 1",
                                    u"ch 0 0 1 0 \"a",          u"sl 0 0 1 1"};
  for (const auto& rec : closers) {
    TJGdata g;
    Feed(g, u"pl\n0 0 1 1\n" + rec + u"\n1 1 2 2");
    EXPECT_EQ(CurveNumbers(g), (std::vector<int32_t>{1, 0})) << Utf8(rec);
  }
  const std::u16string keepers[] = {u"z1",     u"hk 5",       u"lgnX",  u"lynX",
                                    u"hp1 1 2", u"hhp1",      u"bz",    u"file=x",
                                    u"hs 1",   u"junk words", u"hzs 1 2"};
  for (const auto& rec : keepers) {
    TJGdata g;
    Feed(g, u"pl\n0 0 1 1\n" + rec + u"\n1 1 2 2");
    EXPECT_EQ(CurveNumbers(g), (std::vector<int32_t>{1, 1})) << Utf8(rec);
  }
}

TEST(Curves, AttributeBitAndPointBelongToTheNextLineOnly) {
  TJGdata g;
  Feed(g, u"pl\n0 0 1 1\nz1\nhhp3\n1 1 2 2\n2 2 3 3");
  EXPECT_EQ(CurveNumbers(g), (std::vector<int32_t>{1, 1, 1}));
  EXPECT_EQ(g.EntLine[0].att.Attr, 0);
  EXPECT_EQ(g.EntLine[1].att.Attr, 1);
  EXPECT_EQ(g.EntLine[1].att.IPNo, 3);
  EXPECT_EQ(g.EntLine[2].att.Attr, 0);
  EXPECT_EQ(g.EntLine[2].att.IPNo, 0);
}

TEST(Dimensions, MsgALineAndACsTextMakeOneDimension) {
  TJGdata g;
  Feed(g, u"lc2\nmsg\nz2\n0 0 1820 0\nlc4\ncn5\ncs 910 150 1250 0 \"1,820");
  ASSERT_EQ(g.EntDimN, 1);
  EXPECT_EQ(g.EntLineN, 0);
  EXPECT_EQ(g.EntTextN, 0);
  EXPECT_EQ(Index(g), (std::vector<TJwwEntNo>{{7, 0}}));
  const TJwwEntDim& d = g.EntDim[0];
  EXPECT_EQ(d.att, (TJwwEntAttr{0, 0, 0, 4, 1, 0, 0}));
  // The line keeps the attributes it was read with, the bit among them.
  EXPECT_EQ(d.lin.att, (TJwwEntAttr{0, 0, 0, 2, 1, 0, 2}));
  EXPECT_EQ(d.lin.x2, 1820);
  EXPECT_EQ(d.lin.CrvNo, 0);
  EXPECT_EQ(d.txt.no, 2);
  EXPECT_EQ(d.txt.cn, 5);
  EXPECT_EQ(d.txt.att.Col, 2);
  EXPECT_EQ(d.txt.x1, 910);
  EXPECT_EQ(Utf8(d.txt.st), "1,820");
  EXPECT_FALSE(A::w_DimFl(g));
  // The dimension is closed: the next "cs" is a text, the next line a line.
  Feed(g, u"cs 1 2 3 4 \"x\n5 6 7 8");
  EXPECT_EQ(g.EntTextN, 1);
  EXPECT_EQ(g.EntText[0].no, 2);
  EXPECT_EQ(g.EntLineN, 1);
}

TEST(Dimensions, TheLastLineCountsAndAnyOtherEntityDropsIt) {
  TJGdata g;
  Feed(g, u"msg\n1 1 2 2\n3 3 4 4\ncs 0 0 1 0 \"a");
  ASSERT_EQ(g.EntDimN, 1);
  EXPECT_EQ(g.EntDim[0].lin.x1, 3);

  TJGdata h;
  Feed(h, u"msg\n1 1 2 2\nch 0 0 1 0 \"a\ncs 0 0 1 0 \"b");
  EXPECT_EQ(h.EntDimN, 0);
  EXPECT_EQ(h.EntLineN, 0);
  EXPECT_EQ(h.EntTextN, 2);

  TJGdata k;
  Feed(k, u"msg\n1 1 2 2\nci 0 0 1\ncs 0 0 1 0 \"b");
  EXPECT_EQ(k.EntDimN, 0);
  EXPECT_EQ(k.EntCircN, 1);
  EXPECT_EQ(k.EntTextN, 1);
}

TEST(Dimensions, WithoutALineTheWaitingLineIsUsed) {
  TJGdata g;
  Feed(g, u"lc5\nmsg\ncs 0 0 1 0 \"a\nmsg\n7 7 8 8\n#\nmsg\ncs 0 0 1 0 \"b");
  ASSERT_EQ(g.EntDimN, 2);
  const TJwwEntLine& first = g.EntDim[0].lin;
  EXPECT_EQ(first.att, (TJwwEntAttr{0, 0, 0, 1, 1, 0, 0}));
  EXPECT_EQ(std::vector<double>({first.x1, first.y1, first.x2, first.y2}),
            std::vector<double>({0, 0, 1, 0}));
  EXPECT_EQ(g.EntDim[1].lin.x1, 7);  // "#" closed the second one; its line waited
  EXPECT_EQ(g.EntDimN + g.EntLineN + g.EntTextN, g.EntN);
}

TEST(Dimensions, AttributeRecordsKeepItOpenACurveClosesIt) {
  TJGdata g;
  Feed(g, u"msg\n0 0 5 0\nlc3\nlg2\ncn1\ncs 0 0 1 0 \"5");
  EXPECT_EQ(g.EntDimN, 1);
  TJGdata h;
  Feed(h, u"msg\npl\n0 0 5 0\ncs 0 0 1 0 \"5");
  EXPECT_EQ(h.EntDimN, 0);
  EXPECT_EQ(CurveNumbers(h), (std::vector<int32_t>{1}));
  EXPECT_EQ(h.EntTextN, 1);
}

TEST(NextEntity, PointNumberAndBitsBelongToExactlyOneEntity) {
  TJGdata g;
  Feed(g, u"hhp4\nz2\nci 0 0 1\nci 0 0 2\nhhp5ch\nz4\nz5\nlc3\npt 1 1\nBL 0 0 b");
  ASSERT_EQ(g.EntCircN, 2);
  EXPECT_EQ(g.EntCirc[0].att.IPNo, 4);
  EXPECT_EQ(g.EntCirc[0].att.Attr, 2);
  EXPECT_EQ(g.EntCirc[1].att.IPNo, 0);
  EXPECT_EQ(g.EntCirc[1].att.Attr, 0);
  EXPECT_EQ(g.EntPnt[0].att.IPNo, 5);
  EXPECT_EQ(g.EntPnt[0].att.Attr, 24);
  EXPECT_EQ(g.EntBlk[0].att.IPNo, 0);
  EXPECT_EQ(g.EntBlk[0].att.Attr, 0);
}

// ---------------------------------------------------------------------------
// Files: marks, encodings, line breaks, and bytes that decode to nothing good.

struct Loaded {
  kxtest::TempDir dir;
  TJGdata g;
  bool ok = false;
  explicit Loaded(const std::string& bytes) {
    kxtest::WriteBytes(dir / "JWC_TEMP.TXT", bytes);
    ok = g.OpenTempFile(kxtest::U16(dir / "JWC_TEMP.TXT"));
  }
};

std::string Utf16(std::u16string_view s, bool bigEndian) {
  std::string out;
  for (char16_t c : s) {
    const char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
    out += bigEndian ? hi : lo;
    out += bigEndian ? lo : hi;
  }
  return out;
}

enum class Enc { Ansi, Utf8, Utf16Le, Utf16Be };
const Enc kEncodings[] = {Enc::Ansi, Enc::Utf8, Enc::Utf16Le, Enc::Utf16Be};
const char* Name(Enc e) {
  return e == Enc::Ansi ? "CP932" : e == Enc::Utf8 ? "UTF-8" : e == Enc::Utf16Le ? "UTF-16LE" : "UTF-16BE";
}

std::string Encode(std::u16string_view text, Enc e) {
  switch (e) {
    case Enc::Ansi:
      return platform::TextToAnsi(text);
    case Enc::Utf8:
      return "\xEF\xBB\xBF" + platform::TextToUtf8(text);
    case Enc::Utf16Le:
      return "\xFF\xFE" + Utf16(text, false);
    case Enc::Utf16Be:
      return "\xFE\xFF" + Utf16(text, true);
  }
  return {};
}

// What a reader makes of a drawing, in one text.
std::string Summary(const TJGdata& g) {
  std::vector<std::u16string> parts = {g.ZumenFile, g.LGrpName[1], g.LayName[16 + 2],
                                       g.CurFont, IntStr(g.EntN), IntStr(g.IPointN)};
  for (int32_t k = 0; k < g.EntTextN; ++k) parts.push_back(g.EntText[static_cast<size_t>(k)].st);
  for (int32_t k = 0; k < g.EntBlkN; ++k) parts.push_back(g.EntBlk[static_cast<size_t>(k)].nam);
  for (int32_t k = 0; k < g.EntLineN; ++k) parts.push_back(FloatStr(g.EntLine[static_cast<size_t>(k)].y2));
  std::string s = platform::TextToUtf8(parts[0]);
  for (size_t k = 1; k < parts.size(); ++k) {
    s += '|';
    s += platform::TextToUtf8(parts[k]);
  }
  return s;
}

const char16_t kDrawing[] =
    u"file=C:\\JWW\\髙橋邸 新築工事\\1F 平面図 仕上表.jww\r\n"
    u"lg1\r\nlgn1F 平面図\r\nly2\r\nlyn建具 表\r\n"
    u"cn\"$ＭＳ 明朝\r\n"
    u"hp1ln 100 200\r\nhp2 -5.5 1E-5\r\n"
    u"0 0 1820 910.5\r\n"
    u"ch 0 0 250 0 \"ソファ　３人掛 ①㎡Ⅲ№～－ ﾊﾞﾙｺﾆｰ \"引用\"\r\n"
    u"BL 7 8 柱_□400\r\n";

TEST(Files, EveryEncodingReadsTheSameDrawing) {
  const std::string expected =
      "C:\\JWW\\髙橋邸 新築工事\\1F 平面図 仕上表.jww|1F 平面図|建具 表|ＭＳ 明朝|3|2"
      "|ソファ　３人掛 ①㎡Ⅲ№～－ ﾊﾞﾙｺﾆｰ \"引用\"|柱_□400|910.5";
  for (Enc e : kEncodings) {
    Loaded f(Encode(kDrawing, e));
    EXPECT_TRUE(f.ok) << Name(e);
    EXPECT_EQ(Summary(f.g), expected) << Name(e);
    EXPECT_EQ(f.g.MojiCode, e == Enc::Utf8) << Name(e);
  }
}

TEST(Files, MarksAreTestedInTheirOrder) {
  // FF FE FF FE is a mark followed by a text starting with U+FEFF, not two marks.
  Loaded le("\xFF\xFE" + Utf16(u"\xFEFFhk 1", false));
  EXPECT_EQ(le.g.Jikukaku, 0);
  // Only the whole three-byte mark makes UTF-8.
  Loaded partial("\xEF\xBBhk 3\r\nhk 4");
  EXPECT_FALSE(partial.g.MojiCode);
  EXPECT_EQ(partial.g.Jikukaku, 4);
  Loaded utf8("\xEF\xBB\xBFhk 5");
  EXPECT_TRUE(utf8.g.MojiCode);
  EXPECT_EQ(utf8.g.Jikukaku, 5);
}

TEST(Files, LinesEndAtCrLfLfOrCrAndTheTextEndsAtNul) {
  struct Case {
    std::string text;
    std::vector<int32_t> points;
  };
  const Case cases[] = {
      {std::string("hp1 1 1\r\nhp2 2 2\r\n"), {1, 2}},
      {std::string("hp1 1 1\nhp2 2 2"), {1, 2}},
      {std::string("hp1 1 1\rhp2 2 2\r"), {1, 2}},
      {std::string("hp1 1 1\r\r\nhp2 2 2\n\rhp3 3 3\n\n"), {1, 2, 3}},
      {std::string("\r\n\r\nhp3 3 3"), {3}},
      {std::string("hp1 1 1\r\nhp2 2 2\0\r\nhp3 3 3", 26), {1, 2}},
      {std::string("hp1 1 1\0hp2 2 2", 15), {1}},
      {std::string("\0hp1 1 1", 8), {}},
  };
  for (Enc e : kEncodings) {
    for (const Case& c : cases) {
      std::u16string wide(c.text.begin(), c.text.end());
      Loaded f(Encode(wide, e));
      std::vector<int32_t> found;
      for (int32_t k = 1; k <= 3; ++k) {
        if (f.g.IPoints[static_cast<size_t>(k)].flg) {
          found.push_back(k);
          EXPECT_EQ(f.g.IPoints[static_cast<size_t>(k)].y, k) << Name(e);
        }
      }
      EXPECT_EQ(found, c.points) << Name(e) << " case " << &c - cases;
      EXPECT_EQ(f.g.IPointN, static_cast<int32_t>(c.points.size())) << Name(e);
    }
  }
}

TEST(Files, UndecodableBytesBecomeReplacementCharactersWithinTheirLine) {
  // A lead byte at a line's end stays in its line; 0x5C after a lead is the
  // second byte of a character, not a backslash.
  Loaded ansi("lgn\x82\r\nlyn\x95\x5C\x83\x5C\xA0\xFD\r\nhk 7");
  EXPECT_EQ(Utf8(ansi.g.LGrpName[0]), "\uFFFD");
  EXPECT_EQ(Utf8(ansi.g.LayName[0]), "表ソ\uFFFD\uFFFD");
  EXPECT_EQ(ansi.g.Jikukaku, 7);

  Loaded utf8("\xEF\xBB\xBFlgn\xE3\x81\nlyn\xC0\xAF!\nhk 7");
  EXPECT_EQ(Utf8(utf8.g.LGrpName[0]), "\uFFFD");
  EXPECT_EQ(utf8.g.LayName[0].substr(utf8.g.LayName[0].size() - 1), u"!");
  EXPECT_EQ(utf8.g.Jikukaku, 7);

  // A lone surrogate is kept as it is; an odd last byte is replaced.
  Loaded utf16("\xFF\xFE" + Utf16(u"lgn\xD800\r\nlyn\xDC00x\r\nhk 7", false) + "\x41");
  EXPECT_EQ(utf16.g.LGrpName[0], u"\xD800");
  EXPECT_EQ(utf16.g.LayName[0], u"\xDC00x");
  EXPECT_EQ(utf16.g.Jikukaku, 0);  // "7" followed by U+FFFD is no number
}

TEST(Files, MissingOrUnreadableFileLeavesTheDefaults) {
  TJGdata g;
  g.MojiCode = true;
  EXPECT_FALSE(g.OpenTempFile(u""));
  EXPECT_FALSE(g.MojiCode);
  kxtest::TempDir dir;
  EXPECT_FALSE(g.OpenTempFile(kxtest::U16(dir / "JWC_TEMP.TXT")));
  EXPECT_FALSE(g.OpenTempFile(kxtest::U16(dir.path())));  // a folder
  EXPECT_EQ(g.EntN, 0);
  EXPECT_EQ(g.ZumenXsize, 1189);

  Loaded empty("");
  EXPECT_TRUE(empty.ok);
  EXPECT_EQ(empty.g.EntN, 0);
}

TEST(Files, AnyBytesAreReadWithoutHarm) {
  std::mt19937 rng(29);
  const std::string prefixes[] = {"", "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"};
  // Bytes biased towards what the reader looks at.
  const char alphabet[] = "hpl0123456789 .-\t\"=\r\n\x82\x95\x5C\xE3\xD8\xDC\xFF\xFE\x01sgcinmz#$";
  for (const std::string& prefix : prefixes) {
    for (int round = 0; round < 30; ++round) {
      std::string bytes = prefix;
      const size_t n = rng() % 4000;
      for (size_t k = 0; k < n; ++k) {
        bytes += (rng() % 4 == 0) ? static_cast<char>(rng() % 256)
                                  : alphabet[rng() % (sizeof(alphabet) - 1)];
      }
      Loaded f(bytes);
      EXPECT_TRUE(f.ok);
      EXPECT_LE(f.g.EntN, static_cast<int32_t>(n));
    }
  }
}

TEST(Files, LongLinesAndManyTokens) {
  std::string line = "lgn";
  for (int k = 0; k < 200000; ++k) line += "ab ";
  std::string bytes = line + "\r\n" + std::string(1 << 20, 'x') + "\r\n1 2 3 4\r\n";
  Loaded f(bytes);
  EXPECT_EQ(f.g.LGrpName[0].size(), 2u + 3u * 399);  // "ab", then 399 more after a space each
  EXPECT_EQ(f.g.EntLineN, 1);
}

}  // namespace
