// What a tool uses beyond the commands: named overrides, views of the store
// by kind, the visitor over the index, writing one stored entity, emptying
// the store while keeping the file's state, the highest indicated point.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <vector>

#include "platform/Platform.h"
#include "tests/TestUtil.h"

using A = TJGdataAccess;
using Lines = std::vector<std::string>;

namespace {

Lines Written(const TJGdata& g) {
  Lines out;
  for (int32_t i = 0; i < g.t_MemN; ++i) {
    out.push_back(platform::TextToUtf8(g.t_Mem[static_cast<size_t>(i)]));
  }
  return out;
}

// Every kind, on layers, pens and text settings of their own, a curve among
// them, with widths and "bz".
const char* const kStore =
    "bz\nlg1\nly2\nlc3\nlt2\nlw4\n0 0 10 0\nci 0 0 5\nci 0 0 5 0 90 0.5 30\n"
    "lg2\nly3\ncn0 2.5 2.5 0.5 6\ncc4\ncn\"$<Arial>\nz1\nch 0 0 1 0 \"text\npn5\npt 1 2\n"
    "pt 1 2 1.5 0 -4\nmsg\n0 0 3 4\ncs 1 1 1 0 \"5\nBL 0 0 door\nlc7\nsl 0 0 1 1\n"
    "lc10 255\nsl 0 0 1 0 1 1\nsl 0 0 1 0 1 1 0 1\nsc 0 0 5 1 0 0 90 100\n"
    "se 0 0 5 1 0 0 90 0\nlc6\nso 0 0 5 1 0 0 360 2\nsg 0 0 5 1 0 0 360 2\n"
    "pl\n0 0 1 1\n1 1 2 0\n#\nlg0\nly0";

// Each override by name writes what its argument in place does, through
// both writers; the keep values leave every entity its own.
TEST(ToolApi, NamedOverridesAreTheArguments) {
  struct Case {
    const char* name;
    TJwwOverrides named;
    int32_t a[8];
  };
  const Case cases[] = {
      {"keep all", {}, {-1, -1, -1, -1, -1, -1, -1, 0}},
      {"layer group", {.LGrp = 5}, {5, -1, -1, -1, -1, -1, -1, 0}},
      {"layer group 16 keeps", {.LGrp = 16}, {16, -1, -1, -1, -1, -1, -1, 0}},
      {"layer", {.Lay = 9}, {-1, 9, -1, -1, -1, -1, -1, 0}},
      {"colour", {.Col = 8}, {-1, -1, 8, -1, -1, -1, -1, 0}},
      {"colour -2 is written", {.Col = -2}, {-1, -1, -2, -1, -1, -1, -1, 0}},
      {"line type", {.Ltp = 3}, {-1, -1, -1, 3, -1, -1, -1, 0}},
      {"width", {.Wid = 7}, {-1, -1, -1, -1, 7, -1, -1, 0}},
      {"text colour", {.TCol = 2}, {-1, -1, -1, -1, -1, 2, -1, 0}},
      {"base code", {.Mbs = 8}, {-1, -1, -1, -1, -1, -1, 8, 0}},
      {"fill", {.Col = 10, .SCol = 65280}, {-1, -1, 10, -1, -1, -1, -1, 65280}},
      {"fill RGB without colour 10", {.SCol = 65280}, {-1, -1, -1, -1, -1, -1, -1, 65280}},
  };
  TJGdata g;
  kxtest::ReadLines(g, kStore);
  g.S_Init();
  g.S_EntAll(-1, -1, -1, -1, -1, -1, -1, 0);
  const Lines own = Written(g);
  for (const Case& c : cases) {
    for (bool curves : {false, true}) {
      const auto& a = c.a;
      g.StopJwwGaibu();
      g.S_Init();
      curves ? g.S_EntAllp(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7])
             : g.S_EntAll(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
      const Lines positional = Written(g);
      g.StopJwwGaibu();
      g.S_Init();
      curves ? g.S_EntAllp(c.named) : g.S_EntAll(c.named);
      EXPECT_EQ(Written(g), positional) << c.name << (curves ? " (curves)" : "");
    }
  }
  g.StopJwwGaibu();
  g.S_Init();
  g.S_EntAll();
  EXPECT_EQ(Written(g), own);
}

// The views are the records in use, whatever the counts say.
TEST(ToolApi, ViewsSizedByTheCounts) {
  TJGdata g;
  kxtest::ReadLines(g, "0 0 1 1\n0 0 2 2\nci 0 0 5");
  ASSERT_EQ(g.EntLine.size(), 1000u);
  EXPECT_EQ(g.Ents<jkLine>().size(), 2u);
  EXPECT_EQ(g.Ents<jkCirc>().size(), 1u);
  EXPECT_TRUE(g.Ents<jkSldG>().empty());
  for (TJwwEntLine& l : g.Ents<jkLine>()) l.x2 += 100;  // the view is the store
  EXPECT_EQ(std::tuple(g.EntLine[0].x2, g.EntLine[1].x2), std::tuple(101.0, 102.0));
  const TJGdata& c = g;
  static_assert(std::is_same_v<decltype(c.Ents<jkArc>()), std::span<const TJwwEntArc>>);
  static_assert(std::is_same_v<decltype(g.Ents<jkSldE>()), std::span<TJwwEntSldC>>);
  EXPECT_EQ(c.Ents<jkLine>().data(), g.EntLine.data());
  g.EntLineN = -3;
  EXPECT_TRUE(g.Ents<jkLine>().empty());
  g.EntLineN = 5000;
  EXPECT_EQ(g.Ents<jkLine>().size(), g.EntLine.size());
}

// The visitor goes through the index in order, each record as its kind's
// type, and passes over entries that name no record.
TEST(ToolApi, VisitorFollowsTheIndex) {
  TJGdata g;
  kxtest::ReadLines(g, "ci 0 0 5\n0 0 1 1\npt 1 2\nse 0 0 5 1 0 0 90 0\nci 0 0 6");
  g.SetEntNo(jkCirc, 7);  // no such circle
  g.SetEntNo(0, 0);
  g.SetEntNo(16, 0);
  std::vector<std::tuple<int32_t, double>> seen;
  g.ForEachEnt([&](TJwwKind k, auto& e) {
    using R = std::remove_cvref_t<decltype(e)>;
    if constexpr (std::is_same_v<R, TJwwEntCircle>) {
      seen.emplace_back(k, e.cr);
    } else if constexpr (std::is_same_v<R, TJwwEntSldC>) {
      seen.emplace_back(k, e.cr);
      e.cr = 50;  // the record itself
    } else {
      seen.emplace_back(k, 0);
    }
  });
  const std::vector<std::tuple<int32_t, double>> want = {
      {jkCirc, 5}, {jkLine, 0}, {jkPnt, 0}, {jkSldE, 5}, {jkCirc, 6}};
  EXPECT_EQ(seen, want);
  EXPECT_EQ(g.EntSldE[0].cr, 50);
  int count = 0;
  std::as_const(g).ForEachEnt([&](TJwwKind, const auto& e) {
    static_assert(std::is_const_v<std::remove_reference_t<decltype(e)>>);
    ++count;
  });
  EXPECT_EQ(count, 5);
}

// Writing each stored entity in turn writes what writing them all does,
// without the leading "bz" and the closing layer commands.
TEST(ToolApi, OneEntityAtATime) {
  for (const TJwwOverrides& o : {TJwwOverrides{}, TJwwOverrides{.LGrp = 4, .Col = 10, .SCol = 9}}) {
    TJGdata g;
    kxtest::ReadLines(g, kStore);
    g.S_Init();
    g.S_EntAll(o);
    Lines all = Written(g);
    ASSERT_EQ(all.front(), "bz");
    all.erase(all.begin());
    g.StopJwwGaibu();
    g.S_Init();
    for (int32_t i = 0; i < g.EntN; ++i) {
      EXPECT_EQ(g.S_Ent(i, o), g.EntNo[static_cast<size_t>(i)].yn != jkBlk) << i;
    }
    g.S_LGrp(g.CurLGrp);
    g.S_Lay(g.CurLay);
    EXPECT_EQ(Written(g), all);
  }
  TJGdata g;
  kxtest::ReadLines(g, "ci 0 0 5");
  g.SetEntNo(jkCirc, 3);
  g.S_Init();
  for (int32_t i : {-1, 1, 2}) EXPECT_FALSE(g.S_Ent(i)) << i;
  g.EntN = 99;  // beyond the index
  EXPECT_FALSE(g.S_Ent(50));
  EXPECT_EQ(g.t_MemN, 0);
}

// Emptied store, kept state: a tool writes exactly what it adds, in the
// file's encoding, with its widths, back on the drawing's layer.
TEST(ToolApi, ClearStoreKeepsTheFilesState) {
  kxtest::TempDir dir;
  const auto file = dir / "JWC_TEMP.TXT";
  kxtest::WriteBytes(file,
                     "\xEF\xBB\xBFhq\r\nhcw 4 4 4 4 4 4 4 4 4 4\r\nhp1 100 200\r\nlgn平面\r\n"
                     "lg3\r\nly1\r\nlc2\r\nlt1\r\nlw5\r\ncn2\r\nci 0 0 5\r\npl\r\n0 0 1 1\r\n");
  TJGdata g;
  ASSERT_TRUE(g.OpenTempFile(kxtest::U16(file)));
  g.SendMem(u"h#kept");
  g.ClearStore();
  EXPECT_EQ(g.EntN, 0);
  EXPECT_TRUE(g.EntNo.empty() && g.EntLine.empty() && g.EntCirc.empty());
  EXPECT_EQ(std::tuple(g.EntLineN, g.EntCircN), std::tuple(0, 0));
  EXPECT_EQ(std::tuple(g.MojiCode, g.WidF, g.CurLGrp, g.CurLay, g.CurWid, g.CurMjs),
            std::tuple(true, true, 3, 1, 5, 2));
  EXPECT_EQ(std::tuple(g.Mojisyu[7].W, g.IPoints[1].flg, g.IPoints[1].y, g.t_MemN),
            std::tuple(4.0, true, 200.0, 1));
  EXPECT_EQ(platform::TextToUtf8(g.LGrpName[0]), "平面");
  // The curve open at the end of the file went with its lines.
  A::ParseLine(g, u"0 0 2 2");
  EXPECT_EQ(g.EntLine[0].CrvNo, 0);

  g.ClearStore();
  g.StopJwwGaibu();
  g.A_LGrp(2);
  g.A_Lay(4);
  g.A_Wid(7);
  g.A_Line(0, 0, 10, 0);
  g.S_Init();
  g.S_EntAll();
  ASSERT_TRUE(g.SaveTempFile(kxtest::U16(file)));
  EXPECT_EQ(kxtest::ReadBytes(file),
            "\xEF\xBB\xBFlg2\r\nly4\r\nlc2\r\nlt1\r\nlw7\r\n0 0 10 0\r\nlg3\r\nly1\r\n");
}

// Curves are numbered afresh after the store was emptied.
TEST(ToolApi, ClearStoreRestartsCurves) {
  TJGdata g;
  kxtest::ReadLines(g, "pl\n0 0 1 1\n#\npl\n0 0 1 1\n#");
  ASSERT_EQ(g.EntLine[1].CrvNo, 2);
  g.ClearStore();
  kxtest::ReadLines(g, "pl\n0 0 1 1\n#");
  EXPECT_EQ(g.EntLine[0].CrvNo, 1);
}

TEST(ToolApi, HighestIndicatedPoint) {
  struct Case {
    const char* records;
    int32_t max, count;
  };
  const Case cases[] = {
      {"", 0, 0},
      {"hp1 0 0\nhp3 0 0", 3, 2},  // a loop up to the count would miss point 3
      {"hp2 0 0\nhp2 1 1", 2, 2},
      {"hp99 0 0\nhp100 0 0\nhp0 0 0", 99, 1},
      {"hp7ln 0 0", 7, 1},
  };
  for (const Case& c : cases) {
    TJGdata g;
    kxtest::ReadLines(g, c.records);
    EXPECT_EQ(std::tuple(g.IPointMax(), g.IPointN), std::tuple(c.max, c.count)) << c.records;
  }
}

}  // namespace
