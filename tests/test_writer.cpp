// The output buffer, its save into the exchange file, the pen state and the
// point commands.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <cmath>
#include <filesystem>

#include "jwwgaibu/Pieces.h"
#include "tests/TestUtil.h"

using A = TJGdataAccess;
using Lines = std::vector<std::u16string>;

namespace {

Lines Written(const TJGdata& g) { return Lines(g.t_Mem.begin(), g.t_Mem.begin() + g.t_MemN); }

struct Fresh {
  TJGdata g;
  Fresh() { g.S_Init(); }
};

TEST(PenState, FirstCommandOfEachKindIsForcedThenOnlyChangesAreWritten) {
  Fresh f;
  f.g.S_LGrp(0);
  f.g.S_LGrp(0);
  f.g.S_Lay(0);
  f.g.S_Col(1, 0);
  f.g.S_Col(1, 0);
  f.g.S_Ltp(1, 0);
  f.g.S_PCol(1, 0);
  f.g.S_PCol(1, 0);
  EXPECT_EQ(Written(f.g), (Lines{u"lg0", u"ly0", u"lc1", u"lt1", u"pn1"}));
}

TEST(PenState, LayerGroupForcesTheNextLayer) {
  Fresh a;
  for (int32_t g : {2, 2}) {
    a.g.S_LGrp(g);
    a.g.S_Lay(5);
  }
  EXPECT_EQ(Written(a.g), (Lines{u"lg2", u"ly5"}));
  Fresh b;
  for (int32_t g : {2, 3}) {
    b.g.S_LGrp(g);
    b.g.S_Lay(5);
  }
  EXPECT_EQ(Written(b.g), (Lines{u"lg2", u"ly5", u"lg3", u"ly5"}));
}

TEST(PenState, LayerNumbersAreUnsignedHexadecimal) {
  const std::pair<int32_t, std::u16string> cases[] = {
      {0, u"0"}, {10, u"A"}, {15, u"F"}, {16, u"10"}, {-1, u"FFFFFFFF"},
      {INT32_MIN, u"80000000"}};
  for (const auto& [v, hex] : cases) {
    Fresh f;
    f.g.S_LGrp(v);
    f.g.S_Lay(v);
    EXPECT_EQ(Written(f.g), (Lines{u"lg" + hex, u"ly" + hex})) << v;
  }
}

TEST(PenState, ColourAndLineTypeCodes) {
  struct Case {
    int32_t value, mode;
    std::u16string col, ltp;
  };
  // The current colour and line type stand for dialog number 0.
  const Case cases[] = {
      {12, 1, u"lc103", u"lt13"}, {12, 0, u"lc12", u"lt12"}, {0, 1, u"lc7", u"lt4"},
      {-5, 1, u"lc7", u"lt4"},    {9, 1, u"lc9", u"lt9"},     {10, 1, u"lc101", u"lt11"},
      {18, 1, u"lc109", u"lt19"}, {19, 1, u"lc110", u"lt31"}, {265, 1, u"lc356", u"lt277"},
      {INT32_MAX, 1, u"lc-2147483558", u"lt-2147483637"}};
  for (const auto& c : cases) {
    Fresh f;
    f.g.CurCol = 7;
    f.g.CurLtp = 4;
    f.g.S_Col(c.value, c.mode);
    f.g.S_Ltp(c.value, c.mode);
    EXPECT_EQ(Written(f.g), (Lines{c.col, c.ltp})) << c.value << " mode " << c.mode;
  }
}

TEST(PenState, SameColourByAnotherRouteWritesNothing) {
  Fresh f;
  f.g.S_Col(3, 0);
  f.g.S_Col(3, 1);
  EXPECT_EQ(Written(f.g), (Lines{u"lc3"}));
  EXPECT_FALSE(A::w_FlgSCol(f.g));  // a colour line lifts the force from the fill colour
}

TEST(PenState, LineWidthOnlyWhenTheHostGaveOne) {
  Fresh off;
  off.g.S_Wid(5);
  EXPECT_EQ(off.g.t_MemN, 0);
  EXPECT_TRUE(A::w_FlgWid(off.g));

  const std::pair<int32_t, std::u16string> cases[] = {
      {-1, u"lw25"}, {30000, u"lw30000"}, {30001, u"lw0"}, {-2, u"lw0"}, {0, u"lw0"}};
  for (const auto& [wid, line] : cases) {
    Fresh f;
    f.g.WidF = true;
    f.g.CurWid = 25;
    f.g.S_Wid(wid);
    EXPECT_EQ(Written(f.g), (Lines{line})) << wid;
  }
  Fresh bad;
  bad.g.WidF = true;
  bad.g.CurWid = 40000;
  bad.g.S_Wid(-1);
  EXPECT_EQ(Written(bad.g), (Lines{u"lw0"}));
}

TEST(PointCommands, PointsAndMarkers) {
  Fresh f;
  const double nearest1e10 = 1e-10;  // lies just above the limit, so it is kept
  f.g.S_Ten(100, 50);
  f.g.S_Ten(-0.5, 1e20);
  f.g.S_Mark(100, 50, 0, 0, 20);
  f.g.S_Mark(1, 2, 1e-11, 45, -8);
  f.g.S_Mark(1, 2, -1e-10, 0, 12);
  f.g.S_Mark(1, 2, nearest1e10, 0, -7);
  f.g.S_Mark(1, 2, std::nextafter(1e-10, 0.0), 0, 11);
  f.g.S_Mark(1, 2, 2.5, -30, 0);
  EXPECT_EQ(Written(f.g), (Lines{u"pt 100 50", u"pt -0.5 1E20", u"pt 100 50 1 0 -3",
                                 u"pt 1 2 1 45 -3", u"pt 1 2 -1E-10 0 -3", u"pt 1 2 1E-10 0 -7",
                                 u"pt 1 2 1 0 11", u"pt 1 2 2.5 -30 0"}));
}

TEST(OutputBuffer, GrowsInBlocksOfAThousandLines) {
  TJGdata g;
  EXPECT_EQ(g.t_Mem.size(), 0u);
  for (int i = 0; i < 1000; ++i) g.SendMem(u"x");
  EXPECT_EQ(g.t_Mem.size(), 1000u);
  g.SendMem(u"last");
  EXPECT_EQ(g.t_Mem.size(), 2000u);
  EXPECT_EQ(g.t_MemN, 1001);
  EXPECT_EQ(g.t_Mem[1000], u"last");
  g.StopJwwGaibu();
  EXPECT_EQ(g.t_MemN, 0);
  EXPECT_EQ(g.t_Mem.size(), 0u);
}

TEST(SaveTempFile, NothingSentGivesTheSingleLineHq) {
  kxtest::TempDir dir;
  TJGdata g;
  EXPECT_TRUE(g.SaveTempFile(kxtest::U16(dir / "JWC_TEMP.TXT")));
  EXPECT_EQ(kxtest::ReadBytes(dir / "JWC_TEMP.TXT"), "hq\r\n");
}

TEST(SaveTempFile, AnsiCodePageOrUtf8WithMark) {
  kxtest::TempDir dir;
  const auto fn = dir / "JWC_TEMP.TXT";
  TJGdata g;
  g.SendMem(u"lg0");
  g.SendMem(u"ch 0 0 1 0 \"表示 ～ 髙\"");
  g.SendMem(u"cn$Ω");
  EXPECT_TRUE(g.SaveTempFile(kxtest::U16(fn)));
  EXPECT_EQ(kxtest::ReadBytes(fn),
            "lg0\r\nch 0 0 1 0 \"\x95\x5C\x8E\xA6 \x81\x60 \xFB\xFC\"\r\ncn$\x83\xB6\r\n");

  g.MojiCode = true;
  EXPECT_TRUE(g.SaveTempFile(kxtest::U16(fn)));
  EXPECT_EQ(kxtest::ReadBytes(fn),
            "\xEF\xBB\xBFlg0\r\nch 0 0 1 0 \"表示 ～ 髙\"\r\ncn$Ω\r\n");
  EXPECT_EQ(g.t_MemN, 3);  // saving keeps the lines
}

TEST(SaveTempFile, CharacterOutsideTheCodePageBecomesQuestionMark) {
  kxtest::TempDir dir;
  TJGdata g;
  g.SendMem(u"ch 0 0 1 0 \"a😀b€");
  g.SaveTempFile(kxtest::U16(dir / "out.txt"));
  const std::string bytes = kxtest::ReadBytes(dir / "out.txt");
  EXPECT_TRUE(bytes.starts_with("ch 0 0 1 0 \"a?")) << bytes;
  EXPECT_TRUE(bytes.ends_with("b?\r\n")) << bytes;
}

TEST(SaveTempFile, FailureLeavesNoFileBehind) {
  kxtest::TempDir dir;
  TJGdata g;
  g.SendMem(u"pt 1 2");
  // A folder in the way cannot be replaced by a file.
  std::filesystem::create_directory(dir / "JWC_TEMP.TXT");
  EXPECT_FALSE(g.SaveTempFile(kxtest::U16(dir / "JWC_TEMP.TXT")));
  EXPECT_TRUE(std::filesystem::is_directory(dir / "JWC_TEMP.TXT"));
  // A folder that does not exist: nothing is created anywhere.
  EXPECT_FALSE(g.SaveTempFile(kxtest::U16(dir / "missing" / "JWC_TEMP.TXT")));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            1);
}

// The disk filling up halfway through a save, on one thread or two: the save
// fails and leaves neither the old file, which would be read as the tool's
// result, nor a part of the new one.
TEST(SaveTempFile, AWriteFailingHalfwayLeavesNoFileBehind) {
  TJGdata g;
  for (int i = 0; i < 200000; ++i) g.SendMem(u"pt 12345.678 98765.4321");  // 5 MB
  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  for (const bool helper : {false, true}) {
    kxtest::TempDir dir;
    const auto file = dir / "JWC_TEMP.TXT";
    kxtest::WriteBytes(file, "hq\r\n");
    jwwgaibu::SetWriteSplit({2048, 1000, helper ? 0 : INT32_MAX});
    rlimit small = old;
    small.rlim_cur = 1 << 20;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = g.SaveTempFile(kxtest::U16(file));
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(saved) << helper;
    EXPECT_TRUE(std::filesystem::is_empty(dir.path())) << helper;
  }
  jwwgaibu::SetWriteSplit(jwwgaibu::kDefaultWriteSplit);
  std::signal(SIGXFSZ, oldHandler);
}

}  // namespace

namespace {

// The counts are public fields; a caller that sets one wrongly must not make
// the object write or read outside its arrays.
TEST(OutputBuffer, CountsSetOutsideTheArrayAreBroughtBack) {
  kxtest::TempDir dir;
  TJGdata g;
  g.t_MemN = 5000;  // no line exists
  EXPECT_TRUE(g.SaveTempFile(kxtest::U16(dir / "a.txt")));
  EXPECT_EQ(kxtest::ReadBytes(dir / "a.txt"), "hq\r\n");
  g.SendMem(u"pt 1 2");
  EXPECT_EQ(g.t_MemN, 1);
  g.t_MemN = -7;
  g.SendMem(u"pt 3 4");
  EXPECT_EQ(g.t_MemN, 1);
  EXPECT_EQ(g.t_Mem[0], u"pt 3 4");
  g.EntN = 2000000000;
  g.SetEntNo(jkLine, 0);
  EXPECT_EQ(g.EntN, 1);
  EXPECT_EQ(g.EntNo.size(), 1000u);
  // Writing back makes room for the lines to come after those in use: a
  // count far beyond the buffer must not size it (it asked for 64 GB).
  g.t_MemN = INT32_MAX;
  g.S_EntAll();
  g.t_MemN = INT32_MAX;
  g.S_EntAllp();
  EXPECT_LT(g.t_Mem.capacity(), 10000u);
  // The same for the store when a file is read into it.
  kxtest::WriteBytes(dir / "JWC_TEMP.TXT", "0 0 10 10\r\nci 0 0 5\r\n");
  g.EntN = INT32_MAX;
  g.EntLineN = INT32_MAX;
  g.EntCircN = -5;
  ASSERT_TRUE(g.OpenTempFile(kxtest::U16(dir / "JWC_TEMP.TXT")));
  EXPECT_LT(g.EntNo.capacity(), 10000u);
  EXPECT_LT(g.EntLine.capacity(), 10000u);
  EXPECT_LT(g.EntCirc.capacity(), 10000u);
}

}  // namespace
