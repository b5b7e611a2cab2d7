// docs/format.md held to the library. Every fenced block of the document is an
// exchange file: it is read through the reader and must land where the
// document says. Every row of a "call | writes" table is a call: made right
// after S_Init on a fresh object, or on one that has read the row's "on a
// store read from" lines, it must write exactly the lines of the row, which
// are then read back like a block. The expectations are keyed by the example
// text, so an example without one, or one left without its example, fails.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "platform/Platform.h"
#include "tests/TestUtil.h"

using A = TJGdataAccess;
using std::tuple;

namespace {

// ---------------------------------------------------------------------------
// The document's examples.

struct Example {
  std::string text;  // its lines joined by '\n'
  int line;          // where it stands in the document, for the messages
};

struct CallRow {
  std::string call;   // the code spans of the first cell, joined by a space
  std::string lines;  // the code spans of the second cell, joined by '\n'
  std::string input;  // those of an "on a store read from" cell, joined by '\n'
  int line;
};

std::vector<std::string> DocLines() {
  const std::string doc =
      kxtest::ReadBytes(std::filesystem::path(KX29_TEST_DATA) / ".." / "docs" / "format.md");
  std::vector<std::string> lines;
  std::istringstream in(doc);
  for (std::string l; std::getline(in, l);) {
    if (l.ends_with('\r')) l.pop_back();
    lines.push_back(l);
  }
  return lines;
}

std::string Join(const std::vector<std::string>& parts, std::string_view sep) {
  std::string s;
  for (const std::string& p : parts) {
    if (&p != &parts.front()) s += sep;
    s += p;
  }
  return s;
}

std::vector<Example> Blocks(const std::vector<std::string>& doc) {
  std::vector<Example> blocks;
  bool inside = false;
  std::vector<std::string> body;
  for (size_t i = 0; i < doc.size(); ++i) {
    if (!doc[i].starts_with("```")) {
      if (inside) body.push_back(doc[i]);
      continue;
    }
    if (inside) blocks.push_back({Join(body, "\n"), static_cast<int>(i + 1 - body.size())});
    inside = !inside;
    body.clear();
  }
  EXPECT_FALSE(inside) << "a fenced block is not closed";
  return blocks;
}

std::vector<std::string> CodeSpans(std::string_view cell) {
  std::vector<std::string> spans;
  for (size_t open = cell.find('`'); open != std::string_view::npos;) {
    const size_t close = cell.find('`', open + 1);
    if (close == std::string_view::npos) break;
    spans.emplace_back(cell.substr(open + 1, close - open - 1));
    open = cell.find('`', close + 1);
  }
  return spans;
}

std::vector<CallRow> CallRows(const std::vector<std::string>& doc) {
  std::vector<CallRow> rows;
  for (size_t i = 0; i < doc.size(); ++i) {
    if (!doc[i].starts_with("| call | writes |")) continue;
    const bool withInput = doc[i].starts_with("| call | writes | on a store read from |");
    for (i += 2; i < doc.size() && doc[i].starts_with("|"); ++i) {
      std::vector<std::string_view> cells;
      std::string_view rest(doc[i]);
      for (size_t bar = rest.find('|'); bar != std::string_view::npos; bar = rest.find('|')) {
        rest.remove_prefix(bar + 1);
        cells.push_back(rest.substr(0, rest.find('|')));
      }
      EXPECT_GE(cells.size(), 3u) << "line " << i + 1;
      if (cells.size() < 3) continue;
      rows.push_back({Join(CodeSpans(cells[0]), " "), Join(CodeSpans(cells[1]), "\n"),
                      withInput ? Join(CodeSpans(cells[2]), "\n") : std::string(),
                      static_cast<int>(i + 1)});
    }
  }
  return rows;
}

// ---------------------------------------------------------------------------
// Reading and writing through files, as a tool does.

std::string U8(std::u16string_view s) { return platform::TextToUtf8(s); }

// Reads text as an exchange file: UTF-8 with its mark, lines ended by CR LF.
void ReadExchange(TJGdata& g, const std::string& text) {
  std::string bytes = "\xEF\xBB\xBF";
  for (char c : text) bytes += c == '\n' ? std::string("\r\n") : std::string(1, c);
  bytes += "\r\n";
  kxtest::TempDir dir;
  kxtest::WriteBytes(dir / "JWC_TEMP.TXT", bytes);
  ASSERT_TRUE(g.OpenTempFile(kxtest::U16(dir / "JWC_TEMP.TXT")));
}

// The lines SaveTempFile writes, joined by '\n'.
std::string Saved(TJGdata& g) {
  g.MojiCode = true;  // keeps every character of the examples
  kxtest::TempDir dir;
  g.SaveTempFile(kxtest::U16(dir / "JWC_TEMP.TXT"));
  const std::string bytes = kxtest::ReadBytes(dir / "JWC_TEMP.TXT");
  if (!bytes.starts_with("\xEF\xBB\xBF") || !bytes.ends_with("\r\n")) {
    ADD_FAILURE() << "not a UTF-8 file of CR LF lines: " << bytes;
    return {};
  }
  return Join(kxtest::CrLfLines(bytes.substr(3)), "\n");
}

// ---------------------------------------------------------------------------
// What the examples must give.

std::vector<int32_t> Kinds(const TJGdata& g) {
  std::vector<int32_t> k;
  for (int32_t i = 0; i < g.EntN; ++i) k.push_back(g.EntNo[static_cast<size_t>(i)].yn);
  return k;
}

auto Att(const TJwwEntAttr& a) {
  return tuple(a.IPNo, a.LGrp, a.Lay, a.Col, a.Ltp, a.Wid, a.Attr);
}
// The attributes of an entity read with nothing before it.
const auto kPlainAtt = tuple(0, 0, 0, 1, 1, 0, 0);

auto Ends(const TJwwEntLine& l) { return tuple(l.x1, l.y1, l.x2, l.y2); }

// The line was read and dropped: nothing stored, no header value, nothing
// left in force for the next record, every current value still to come.
void NothingTaken(TJGdata& g) {
  EXPECT_EQ(g.EntN, 0);
  EXPECT_EQ(g.IPointN, 0);
  EXPECT_FALSE(g.Zusun);
  EXPECT_FALSE(g.WidF);
  EXPECT_EQ(g.ZumenFile, u"");
  EXPECT_EQ(g.Jikukaku, 0);
  EXPECT_EQ(tuple(A::w_Attr(g), A::w_IPNo(g), A::w_CrvFl(g), A::w_DimFl(g), A::w_CrvNo(g)),
            tuple(0, 0, false, false, 0));
  EXPECT_TRUE(A::w_FlgLGrp(g) && A::w_FlgLay(g) && A::w_FlgCol(g) && A::w_FlgLtp(g) &&
              A::w_FlgWid(g) && A::w_FlgMjs(g));
  EXPECT_EQ(g.CurFont, u"");
}

void OneLine(TJGdata& g, tuple<double, double, double, double> ends) {
  ASSERT_EQ(Kinds(g), std::vector<int32_t>{1});
  EXPECT_EQ(Ends(g.EntLine[0]), ends);
  EXPECT_EQ(g.EntLine[0].CrvNo, 0);
}

void Dimension(TJGdata& g) {
  ASSERT_EQ(Kinds(g), std::vector<int32_t>{7});
  EXPECT_EQ(g.EntLineN, 0);
  const TJwwEntDim& d = g.EntDim[0];
  EXPECT_EQ(Ends(d.lin), tuple(0.0, 0.0, 3.0, 4.0));
  EXPECT_EQ(tuple(d.txt.no, d.txt.x1, d.txt.y1, d.txt.x2, d.txt.y2, U8(d.txt.st)),
            tuple(2, 1.0, 1.0, 1.0, 0.0, std::string("5")));
}

template <class T>
auto Round(const T& s) {
  return tuple(s.cx, s.cy, s.cr, s.he, s.ka, s.sa, s.da);
}

using Check = void (*)(TJGdata&);

// Keyed by the example's text, its lines joined by '\n'.
const std::map<std::string, Check> kLands = {
    // Header records.
    {"file=C:\\jww\\plan 1.jww\nhk 30\nhs 100 100 50 1 1 1 1 1 1 1 1 1 1 1 1 1\nhzs 420 297\n"
     "hcw 2 2.5 3 3.5 4 5 6 7 8 10\nhch 2 2.5 3 3.5 4 5 6 7 8 10\n"
     "hcd 0 0 0 0 0 0.5 0.5 0.5 1 1\nhcc 1 1 2 2 3 3 4 5 6 9\nbz\nhn 0 0 420 297\n"
     "hrgb 255 65280 16711680 0 0 0 0 0",
     [](TJGdata& g) {
       EXPECT_EQ(U8(g.ZumenFile), R"(C:\jww\plan 1.jww)");
       EXPECT_EQ(g.Jikukaku, 30);
       EXPECT_EQ(tuple(g.LGrpScale[0], g.LGrpScale[1], g.LGrpScale[2], g.LGrpScale[15]),
                 tuple(100.0, 100.0, 50.0, 1.0));
       EXPECT_EQ(tuple(g.ZumenXsize, g.ZumenYsize), tuple(420.0, 297.0));
       const TJwwTextKind& k2 = g.Mojisyu[2];
       const TJwwTextKind& k10 = g.Mojisyu[10];
       EXPECT_EQ(tuple(k2.W, k2.H, k2.D, k2.C), tuple(2.5, 2.5, 0.0, 1));
       EXPECT_EQ(tuple(k10.W, k10.H, k10.D, k10.C), tuple(10.0, 10.0, 1.0, 9));
       EXPECT_TRUE(g.Zusun);
       EXPECT_EQ(tuple(g.AreaX1, g.AreaY1, g.AreaX2, g.AreaY2), tuple(0.0, 0.0, 420.0, 297.0));
       EXPECT_EQ(tuple(g.RGB[1], g.RGB[2], g.RGB[3], g.RGB[8]), tuple(255, 65280, 16711680, 0));
       EXPECT_EQ(g.EntN, 0);
     }},
    {"bz", [](TJGdata& g) { EXPECT_TRUE(g.Zusun); }},
    {"hn 0 0 420 297",
     [](TJGdata& g) {
       EXPECT_EQ(tuple(g.AreaX1, g.AreaY1, g.AreaX2, g.AreaY2), tuple(0.0, 0.0, 420.0, 297.0));
       EXPECT_EQ(g.EntN, 0);
     }},

    // Layer names, layer groups and layers.
    {"lg2\nlgn平面図\nly5\nlynWall east",
     [](TJGdata& g) {
       EXPECT_EQ(U8(g.LGrpName[2]), "平面図");
       EXPECT_EQ(U8(g.LayName[2 * 16 + 5]), "Wall east");
       EXPECT_EQ(tuple(g.CurLGrp, g.CurLay), tuple(2, 5));
     }},
    {"lgA 2\nly3 1",
     [](TJGdata& g) {
       EXPECT_EQ(tuple(g.CurLGrp, A::w_LGrp(g), g.LGrpStat[10]), tuple(10, 10, 2));
       EXPECT_EQ(tuple(g.CurLay, A::w_Lay(g), g.LayStat[10 * 16 + 3]), tuple(3, 3, 1));
     }},
    {"lgA", [](TJGdata& g) { EXPECT_EQ(tuple(g.CurLGrp, A::w_LGrp(g)), tuple(10, 10)); }},
    {"lyF", [](TJGdata& g) { EXPECT_EQ(tuple(g.CurLay, A::w_Lay(g)), tuple(15, 15)); }},
    {"lg12", [](TJGdata& g) { EXPECT_EQ(tuple(g.CurLGrp, A::w_LGrp(g)), tuple(1, 1)); }},

    // Pens.
    {"lc5", [](TJGdata& g) { EXPECT_EQ(tuple(g.CurCol, A::w_Col(g)), tuple(5, 5)); }},
    {"lc103", [](TJGdata& g) { EXPECT_EQ(tuple(g.CurCol, A::w_Col(g)), tuple(103, 103)); }},
    {"lt2", [](TJGdata& g) { EXPECT_EQ(tuple(g.CurLtp, A::w_Ltp(g)), tuple(2, 2)); }},
    {"lw3",
     [](TJGdata& g) { EXPECT_EQ(tuple(g.CurWid, A::w_Wid(g), g.WidF), tuple(3, 3, true)); }},
    {"pn4",
     [](TJGdata& g) {
       EXPECT_EQ(A::w_PtCol(g), 4);
       EXPECT_TRUE(A::w_FlgCol(g));  // not a line colour
     }},
    {"lc10 255",
     [](TJGdata& g) { EXPECT_EQ(tuple(A::w_Col(g), A::w_SlCol(g)), tuple(10, 255)); }},
    {"lc5\nlt2\nlw3\npn4\n0 0 100 0\npt 100 50",
     [](TJGdata& g) {
       ASSERT_EQ(Kinds(g), (std::vector<int32_t>{1, 5}));
       EXPECT_EQ(Att(g.EntLine[0].att), tuple(0, 0, 0, 5, 2, 3, 0));
       EXPECT_EQ(Att(g.EntPnt[0].att), tuple(0, 0, 0, 4, 2, 3, 0));  // the point colour
     }},

    // Font, text kind, text base code.
    {R"(cn"$<ＭＳ 明朝>)",
     [](TJGdata& g) {
       EXPECT_EQ(U8(g.CurFont), "<ＭＳ 明朝>");
       EXPECT_EQ(U8(A::w_Font(g)), "<ＭＳ 明朝>");
     }},
    {"cn$<ＭＳ 明朝>", [](TJGdata& g) { EXPECT_EQ(U8(A::w_Font(g)), "<ＭＳ"); }},
    {"cn3", [](TJGdata& g) { EXPECT_EQ(tuple(g.CurMjs, A::w_Mjs(g)), tuple(3, 3)); }},
    {"cn0 2.5 2.5 0.5 3",
     [](TJGdata& g) {
       EXPECT_EQ(tuple(g.CurMjs, g.CurMjsW, g.CurMjsH, g.CurMjsD, g.CurMjsC),
                 tuple(0, 2.5, 2.5, 0.5, 3));
       EXPECT_EQ(tuple(A::w_Mjs(g), A::w_MjsW(g), A::w_MjsH(g), A::w_MjsD(g), A::w_MjsC(g)),
                 tuple(0, 2.5, 2.5, 0.5, 3));
     }},
    {"cc5", [](TJGdata& g) { EXPECT_EQ(A::w_Mbs(g), 5); }},
    {"cn\"$<ＭＳ 明朝>\ncn3\ncc5\nch 0 0 1 0 \"A",
     [](TJGdata& g) {
       ASSERT_EQ(Kinds(g), std::vector<int32_t>{4});
       const TJwwEntText& t = g.EntText[0];
       EXPECT_EQ(U8(t.fo), "<ＭＳ 明朝>");
       // Text kind 3 of the defaults, in its colour.
       EXPECT_EQ(tuple(t.cn, t.mw, t.mh, t.md, t.att.Col, t.cc), tuple(3, 3.0, 3.0, 0.0, 2, 5));
       EXPECT_EQ(tuple(U8(g.CurFont), g.CurMjs), tuple(std::string("<ＭＳ 明朝>"), 3));
     }},

    // Attribute bits.
    {"z1\nz3", [](TJGdata& g) { EXPECT_EQ(A::w_Attr(g), 5); }},
    {"z1\nz3\nci 0 0 5\nci 0 0 6",
     [](TJGdata& g) {
       ASSERT_EQ(Kinds(g), (std::vector<int32_t>{2, 2}));
       EXPECT_EQ(tuple(g.EntCirc[0].att.Attr, g.EntCirc[1].att.Attr), tuple(5, 0));
     }},

    // Curves.
    {"pl\n0 0 100 0\n100 0 100 50\n#",
     [](TJGdata& g) {
       ASSERT_EQ(Kinds(g), (std::vector<int32_t>{1, 1}));
       EXPECT_EQ(tuple(g.EntLine[0].CrvNo, g.EntLine[1].CrvNo), tuple(1, 1));
       EXPECT_EQ(Ends(g.EntLine[1]), tuple(100.0, 0.0, 100.0, 50.0));
       EXPECT_FALSE(A::w_CrvFl(g));
     }},
    {"pl\n0 0 100 0\nlc3\n100 0 100 50",
     [](TJGdata& g) {
       ASSERT_EQ(Kinds(g), (std::vector<int32_t>{1, 1}));
       EXPECT_EQ(tuple(g.EntLine[0].CrvNo, g.EntLine[1].CrvNo), tuple(1, 0));
       EXPECT_EQ(g.EntLine[1].att.Col, 3);
     }},
    {"pl", [](TJGdata& g) { EXPECT_EQ(tuple(A::w_CrvFl(g), A::w_CrvNo(g)), tuple(true, 1)); }},
    {"#", NothingTaken},

    // Dimensions.
    {"msg\n0 0 3 4\ncs 1 1 1 0 \"5", Dimension},
    {"z1\nmsg\n0 0 3 4\ncs 1 1 1 0 \"5",
     [](TJGdata& g) {
       Dimension(g);
       EXPECT_EQ(tuple(g.EntDim[0].att.Attr, g.EntDim[0].lin.att.Attr), tuple(0, 1));
     }},

    // Indicated points.
    {"hp1 1000 500\nhp3ln 4000 500",
     [](TJGdata& g) {
       const auto& p = g.IPoints;
       EXPECT_EQ(tuple(p[1].flg, p[1].x, p[1].y, p[1].sta), tuple(true, 1000.0, 500.0, 0));
       EXPECT_EQ(tuple(p[3].flg, p[3].x, p[3].y, p[3].sta), tuple(true, 4000.0, 500.0, 2));
       EXPECT_FALSE(p[2].flg);
       EXPECT_EQ(g.IPointN, 2);
       EXPECT_EQ(g.EntN, 0);
     }},
    {"hhp2ln\nci 0 0 5\nci 0 0 6",
     [](TJGdata& g) {
       ASSERT_EQ(Kinds(g), (std::vector<int32_t>{2, 2}));
       EXPECT_EQ(tuple(g.EntCirc[0].att.IPNo, g.EntCirc[1].att.IPNo), tuple(2, 0));
       EXPECT_EQ(g.IPointN, 0);
     }},

    // Circles, arcs, ellipses.
    {"ci 2000 1500 500",
     [](TJGdata& g) {
       ASSERT_EQ(Kinds(g), std::vector<int32_t>{2});
       const TJwwEntCircle& c = g.EntCirc[0];
       EXPECT_EQ(tuple(c.cx, c.cy, c.cr), tuple(2000.0, 1500.0, 500.0));
       EXPECT_EQ(Att(c.att), kPlainAtt);
     }},
    {"ci 2000 1500 800 0 90 1 0",
     [](TJGdata& g) {
       ASSERT_EQ(Kinds(g), std::vector<int32_t>{3});
       const TJwwEntArc& a = g.EntArc[0];
       EXPECT_EQ(tuple(a.cx, a.cy, a.cr, a.sa, a.ea, a.he, a.ka),
                 tuple(2000.0, 1500.0, 800.0, 0.0, 90.0, 1.0, 0.0));
     }},
    {"ci 0 0 100 0 0 0.5 30",
     [](TJGdata& g) {
       ASSERT_EQ(Kinds(g), std::vector<int32_t>{3});
       const TJwwEntArc& a = g.EntArc[0];
       EXPECT_EQ(tuple(a.cr, a.sa, a.ea, a.he, a.ka), tuple(100.0, 0.0, 0.0, 0.5, 30.0));
     }},
    {"lg2\nly5\nlc3\nlt2\nci 2000 1500 500",
     [](TJGdata& g) {
       ASSERT_EQ(Kinds(g), std::vector<int32_t>{2});
       EXPECT_EQ(Att(g.EntCirc[0].att), tuple(0, 2, 5, 3, 2, 0, 0));
     }},

    // Texts.
    {"ch 100 200 1 0 \"Room 1 北",
     [](TJGdata& g) {
       ASSERT_EQ(Kinds(g), std::vector<int32_t>{4});
       const TJwwEntText& t = g.EntText[0];
       EXPECT_EQ(tuple(t.no, t.x1, t.y1, t.x2, t.y2, U8(t.st)),
                 tuple(0, 100.0, 200.0, 1.0, 0.0, std::string("Room 1 北")));
       // Text kind 1 of the defaults, in its colour; the default font.
       EXPECT_EQ(tuple(t.cn, t.mw, t.mh, t.md, t.att.Col, t.cc), tuple(1, 3.0, 3.0, 0.0, 2, 0));
       EXPECT_EQ(U8(t.fo), "<ＭＳ ゴシック>");
     }},
    {"cn0 2.5 2.5 0.5 3\ncc1\ncv 100 200 0 1 \"A",
     [](TJGdata& g) {
       ASSERT_EQ(Kinds(g), std::vector<int32_t>{4});
       const TJwwEntText& t = g.EntText[0];
       EXPECT_EQ(tuple(t.no, t.cn, t.mw, t.mh, t.md, t.att.Col, t.cc),
                 tuple(1, 0, 2.5, 2.5, 0.5, 3, 1));
       EXPECT_EQ(tuple(t.x2, t.y2, U8(t.st)), tuple(0.0, 1.0, std::string("A")));
     }},
    {"ch 0 0 1 0 Room 1",
     [](TJGdata& g) {
       ASSERT_EQ(Kinds(g), std::vector<int32_t>{4});
       EXPECT_EQ(U8(g.EntText[0].st), "Room");
     }},

    // Points, markers, block inserts.
    {"pt 100 50",
     [](TJGdata& g) {
       ASSERT_EQ(Kinds(g), std::vector<int32_t>{5});
       const TJwwEntPnt& p = g.EntPnt[0];
       EXPECT_EQ(tuple(p.px, p.py, p.att.Col), tuple(100.0, 50.0, 1));
     }},
    {"pt 100 50 1.5 0 -4",
     [](TJGdata& g) {
       ASSERT_EQ(Kinds(g), std::vector<int32_t>{6});
       const TJwwEntMark& m = g.EntMark[0];
       EXPECT_EQ(tuple(m.px, m.py, m.bai, m.ang, m.cod), tuple(100.0, 50.0, 1.5, 0.0, -4));
     }},
    {"BL 100 50 door",
     [](TJGdata& g) {
       ASSERT_EQ(Kinds(g), std::vector<int32_t>{8});
       const TJwwEntBlk& b = g.EntBlk[0];
       EXPECT_EQ(tuple(b.px, b.py, U8(b.nam)), tuple(100.0, 50.0, std::string("door")));
     }},

    // Solids of corners.
    {"sl 0 0 100 0",
     [](TJGdata& g) {
       ASSERT_EQ(Kinds(g), std::vector<int32_t>{9});
       const TJwwEntSld2& s = g.EntSld2[0];
       EXPECT_EQ(tuple(s.x1, s.y1, s.x2, s.y2), tuple(0.0, 0.0, 100.0, 0.0));
     }},
    {"sl 0 0 100 0 50 80",
     [](TJGdata& g) {
       ASSERT_EQ(Kinds(g), std::vector<int32_t>{10});
       const TJwwEntSld3& s = g.EntSld3[0];
       EXPECT_EQ(tuple(s.x2, s.y2, s.x3, s.y3), tuple(100.0, 0.0, 50.0, 80.0));
     }},
    {"sl 0 0 100 0 100 50 0 50",
     [](TJGdata& g) {
       ASSERT_EQ(Kinds(g), std::vector<int32_t>{11});
       const TJwwEntSld4& s = g.EntSld4[0];
       EXPECT_EQ(tuple(s.x3, s.y3, s.x4, s.y4), tuple(100.0, 50.0, 0.0, 50.0));
       EXPECT_EQ(tuple(s.att.Col, s.Color), tuple(1, 0));
     }},
    {"sl 0 0 0 0 100 0 100 50",
     [](TJGdata& g) {
       ASSERT_EQ(Kinds(g), std::vector<int32_t>{10});
       const TJwwEntSld3& s = g.EntSld3[0];
       EXPECT_EQ(tuple(s.x1, s.y1, s.x2, s.y2, s.x3, s.y3),
                 tuple(0.0, 0.0, 100.0, 0.0, 100.0, 50.0));
     }},
    {"lc10 255\nsl 0 0 100 0 100 50 0 50",
     [](TJGdata& g) {
       ASSERT_EQ(Kinds(g), std::vector<int32_t>{11});
       EXPECT_EQ(tuple(g.EntSld4[0].att.Col, g.EntSld4[0].Color), tuple(10, 255));
     }},

    // Circular solids.
    {"sc 0 0 50 1 0 0 90 100",
     [](TJGdata& g) {
       ASSERT_EQ(Kinds(g), std::vector<int32_t>{12});
       EXPECT_EQ(Round(g.EntSldC[0]), tuple(0.0, 0.0, 50.0, 1.0, 0.0, 0.0, 90.0));
       EXPECT_EQ(g.EntSldC[0].fl, 100);
     }},
    {"se 0 0 50 1 0 0 90 0",
     [](TJGdata& g) {
       ASSERT_EQ(Kinds(g), std::vector<int32_t>{13});
       EXPECT_EQ(Round(g.EntSldE[0]), tuple(0.0, 0.0, 50.0, 1.0, 0.0, 0.0, 90.0));
       EXPECT_EQ(g.EntSldE[0].fl, 0);
     }},
    {"so 0 0 50 1 0 0 360 20",
     [](TJGdata& g) {
       ASSERT_EQ(Kinds(g), std::vector<int32_t>{14});
       EXPECT_EQ(Round(g.EntSldO[0]), tuple(0.0, 0.0, 50.0, 1.0, 0.0, 0.0, 360.0));
       EXPECT_EQ(g.EntSldO[0].ri, 20);
     }},
    {"sg 0 0 50 0.5 30 0 360 20",
     [](TJGdata& g) {
       ASSERT_EQ(Kinds(g), std::vector<int32_t>{15});
       EXPECT_EQ(Round(g.EntSldG[0]), tuple(0.0, 0.0, 50.0, 0.5, 30.0, 0.0, 360.0));
       EXPECT_EQ(g.EntSldG[0].ri, 20);
     }},

    // Line segments, and lines that read as something else.
    {"0 0 4000 0",
     [](TJGdata& g) {
       OneLine(g, tuple(0.0, 0.0, 4000.0, 0.0));
       EXPECT_EQ(Att(g.EntLine[0].att), kPlainAtt);
     }},
    {"cir 1 2 3", [](TJGdata& g) { OneLine(g, tuple(0.0, 1.0, 2.0, 3.0)); }},
    {"ci 0 0 5 0", NothingTaken},
    {"hq", NothingTaken},
    {"h#note", NothingTaken},

    // What the store is written back as.
    {"lg2\nly5\nlc3\nlt1\nci 0 0 5\nlg1\nly0",
     [](TJGdata& g) {
       ASSERT_EQ(Kinds(g), std::vector<int32_t>{2});
       EXPECT_EQ(Att(g.EntCirc[0].att), tuple(0, 2, 5, 3, 1, 0, 0));
       // Layer group 1, layer 0 stay in force: the drawing's current ones.
       EXPECT_EQ(tuple(A::w_LGrp(g), A::w_Lay(g)), tuple(1, 0));
     }},
    {"lg0\nly0\nlc1\nlt1\nci 0 0 5\npl\n0 0 100 0\n100 0 100 50\n#",
     [](TJGdata& g) {
       ASSERT_EQ(Kinds(g), (std::vector<int32_t>{2, 1, 1}));
       EXPECT_EQ(tuple(g.EntLine[0].CrvNo, g.EntLine[1].CrvNo), tuple(1, 1));
     }},
};

// Keyed by the call as the document writes it.
const std::map<std::string, Check> kCalls = {
    {"SendMem(u\"bz\")", [](TJGdata& g) { g.SendMem(u"bz"); }},
    {"S_LGrp(10)", [](TJGdata& g) { g.S_LGrp(10); }},
    {"S_Lay(15)", [](TJGdata& g) { g.S_Lay(15); }},
    {"S_Col(5, 0)", [](TJGdata& g) { g.S_Col(5, 0); }},
    {"S_Col(12, 1)", [](TJGdata& g) { g.S_Col(12, 1); }},
    {"S_Ltp(2, 0)", [](TJGdata& g) { g.S_Ltp(2, 0); }},
    {"S_Wid(3)", [](TJGdata& g) { g.S_Wid(3); }},
    {"S_PCol(4, 0)", [](TJGdata& g) { g.S_PCol(4, 0); }},
    {"S_Mjs(3, 0, 0, 0, 0, 0)", [](TJGdata& g) { g.S_Mjs(3, 0, 0, 0, 0, 0); }},
    {"S_Mjs(0, 2.5, 2.5, 0.5, 3, 0)", [](TJGdata& g) { g.S_Mjs(0, 2.5, 2.5, 0.5, 3, 0); }},
    {"S_Mbs(5)", [](TJGdata& g) { g.S_Mbs(5); }},
    {"S_Font(u\"<ＭＳ 明朝>\")", [](TJGdata& g) { g.S_Font(u"<ＭＳ 明朝>"); }},
    {"S_SCol(255)", [](TJGdata& g) { g.S_SCol(255); }},
    {"S_SColRGB(255, 0, 0)", [](TJGdata& g) { g.S_SColRGB(255, 0, 0); }},
    {"S_Attr(5)", [](TJGdata& g) { g.S_Attr(5); }},
    {"S_Comment(u\"note\")", [](TJGdata& g) { g.S_Comment(u"note"); }},
    {"S_Area()", [](TJGdata& g) { g.S_Area(); }},
    {"S_Ten(100, 50)", [](TJGdata& g) { g.S_Ten(100, 50); }},
    {"S_Mark(100, 50, 1.5, 0, -4)", [](TJGdata& g) { g.S_Mark(100, 50, 1.5, 0, -4); }},
    {"S_Line(0, 0, 4000, 0)", [](TJGdata& g) { g.S_Line(0, 0, 4000, 0); }},
    {"S_PLineStart()", [](TJGdata& g) { g.S_PLineStart(); }},
    {"S_PLineEnd()", [](TJGdata& g) { g.S_PLineEnd(); }},
    {"S_PLineReset() S_PLineSet(0, 0, 100, 0) S_PLineSet(100, 0, 100, 50) S_PLine()",
     [](TJGdata& g) {
       g.S_PLineReset();
       g.S_PLineSet(0, 0, 100, 0);
       g.S_PLineSet(100, 0, 100, 50);
       g.S_PLine();
     }},
    {"S_Circle(2000, 1500, 500)", [](TJGdata& g) { g.S_Circle(2000, 1500, 500); }},
    {"S_Arc(2000, 1500, 800, 0, 90, 1, 0)",
     [](TJGdata& g) { g.S_Arc(2000, 1500, 800, 0, 90, 1, 0); }},
    {"S_Text(0, 100, 200, 1, 0, u\"Room 1 北\")",
     [](TJGdata& g) { g.S_Text(0, 100, 200, 1, 0, u"Room 1 北"); }},
    {"S_Dim(0, 0, 3, 4, 1, 1, 1, 0, u\"\")",
     [](TJGdata& g) { g.S_Dim(0, 0, 3, 4, 1, 1, 1, 0, u""); }},
    {"S_Solid2(0, 0, 100, 0)", [](TJGdata& g) { g.S_Solid2(0, 0, 100, 0); }},
    {"S_Solid3(0, 0, 100, 0, 50, 80)", [](TJGdata& g) { g.S_Solid3(0, 0, 100, 0, 50, 80); }},
    {"S_Solid4(0, 0, 100, 0, 100, 50, 0, 50)",
     [](TJGdata& g) { g.S_Solid4(0, 0, 100, 0, 100, 50, 0, 50); }},
    {"S_SolidC(0, 0, 50, 1, 0, 0, 90, 100)",
     [](TJGdata& g) { g.S_SolidC(0, 0, 50, 1, 0, 0, 90, 100); }},
    {"S_SolidD(0, 0, 50, 1, 0, 0, 90, 0)",
     [](TJGdata& g) { g.S_SolidD(0, 0, 50, 1, 0, 0, 90, 0); }},
    {"S_SolidO(0, 0, 50, 1, 0, 0, 360, 20)",
     [](TJGdata& g) { g.S_SolidO(0, 0, 50, 1, 0, 0, 360, 20); }},
    {"S_SolidG(0, 0, 50, 0.5, 30, 0, 360, 20)",
     [](TJGdata& g) { g.S_SolidG(0, 0, 50, 0.5, 30, 0, 360, 20); }},
    {"S_EntAll(-1, -1, -1, -1, -1, -1, -1, 0)",
     [](TJGdata& g) { g.S_EntAll(-1, -1, -1, -1, -1, -1, -1, 0); }},
    {"S_EntAllp(-1, -1, -1, -1, -1, -1, -1, 0)",
     [](TJGdata& g) { g.S_EntAllp(-1, -1, -1, -1, -1, -1, -1, 0); }},
    {"SaveTempFile(path)", [](TJGdata&) {}},
};

// ---------------------------------------------------------------------------

class FormatDoc : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    const std::vector<std::string> doc = DocLines();
    blocks_ = Blocks(doc);
    rows_ = CallRows(doc);
  }
  static std::vector<Example> blocks_;
  static std::vector<CallRow> rows_;
};
std::vector<Example> FormatDoc::blocks_;
std::vector<CallRow> FormatDoc::rows_;

TEST_F(FormatDoc, EveryExampleBlockLandsWhereTheDocumentSays) {
  ASSERT_FALSE(blocks_.empty());
  for (const Example& b : blocks_) {
    SCOPED_TRACE("docs/format.md line " + std::to_string(b.line) + ":\n" + b.text);
    const auto it = kLands.find(b.text);
    if (it == kLands.end()) {
      ADD_FAILURE() << "no expectation for this example";
      continue;
    }
    TJGdata g;
    ReadExchange(g, b.text);
    it->second(g);
  }
}

TEST_F(FormatDoc, EveryCallWritesItsLinesWhichReadBackWhereTheDocumentSays) {
  ASSERT_FALSE(rows_.empty());
  for (const CallRow& r : rows_) {
    SCOPED_TRACE("docs/format.md line " + std::to_string(r.line) + ": " + r.call);
    const auto call = kCalls.find(r.call);
    if (call == kCalls.end()) {
      ADD_FAILURE() << "no such call in the test";
      continue;
    }
    TJGdata g;
    if (!r.input.empty()) ReadExchange(g, r.input);
    g.S_Init();
    call->second(g);
    EXPECT_EQ(Saved(g), r.lines);
    const auto lands = kLands.find(r.lines);
    if (lands == kLands.end()) {
      ADD_FAILURE() << "no expectation for the lines " << r.lines;
      continue;
    }
    TJGdata back;
    ReadExchange(back, r.lines);
    lands->second(back);
  }
}

// An expectation whose example left the document would pass unseen.
TEST_F(FormatDoc, EveryExpectationHasItsExample) {
  std::set<std::string> texts, calls;
  for (const Example& b : blocks_) texts.insert(b.text);
  for (const CallRow& r : rows_) {
    texts.insert(r.lines);
    calls.insert(r.call);
  }
  for (const auto& [text, check] : kLands) EXPECT_TRUE(texts.contains(text)) << text;
  for (const auto& [call, emit] : kCalls) EXPECT_TRUE(calls.contains(call)) << call;
}

}  // namespace
