// Reading an exchange file and writing every stored entity back, then reading
// that again: the entities survive, and the second writing is already stable.
//
// For each input: read, write all entities back (curves as polylines, no
// overrides), save; the same on that output, and once more. The second and
// third outputs must be equal byte for byte. The first output, read back, must
// hold the entities of the input, field by field as far as the exchange file
// carries them, numbers to the 15 digits they are written with, in the order
// they were written: curves behind everything else, block inserts gone, and
// geometry dropped that draws nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>

#include "myfunc/MyFunc.h"
#include "platform/Platform.h"
#include "tests/TestUtil.h"

namespace fs = std::filesystem;
using kxtest::ReadBytes;
using kxtest::TempDir;
using kxtest::U16;

namespace {

// --- what the exchange file carries, one text per entity -------------------

std::string N(double v) { return platform::TextToUtf8(FloatStr(v)); }
std::string I(int32_t v) { return std::to_string(v); }
std::string T(const std::u16string& s) {
  std::string q(1, '"');
  return q.append(platform::TextToUtf8(s)).append(1, '"');
}

template <class... Parts>
std::string Join(const Parts&... parts) {
  std::string s;
  ((s += parts, s += ' '), ...);
  return s;
}

// Layer group, layer and flags go with every entity.
std::string Tag(const char* tag, int32_t v) { return std::string(tag).append(I(v)); }
std::string Place(const TJwwEntAttr& a) { return Join(I(a.LGrp), I(a.Lay), Tag("z", a.Attr)); }
std::string Pen(const TJwwEntAttr& a) { return Join(I(a.Col), I(a.Ltp), I(a.Wid)); }

// Texts of kinds 1 to 10 take size and colour from the drawing's text-kind
// table. The written file has no header, so the reading side takes them from
// its own table: only the kind number travels.
std::string TextOf(const TJwwEntText& t) {
  std::string s = Join(Place(t.att), I(t.no), I(t.cc), Tag("cn", t.cn));
  if (t.cn < 1 || t.cn > 10) s += Join(N(t.mw), N(t.mh), N(t.md), Tag("col", t.att.Col));
  return s + Join(N(t.x1), N(t.y1), N(t.x2), N(t.y2), T(t.fo), T(t.st));
}

// A solid's fill value means something only with colour 10; otherwise the
// solid is drawn in a line colour, and the fill value it was read with is
// whatever the last fill-colour record left, which is not part of the solid.
std::string Fill(const TJwwEntAttr& a, int32_t color) {
  return a.Col == 10 ? Tag("fill", color) : Tag("col", a.Col);
}

// The entities of a drawing, kind by kind, in store order.
struct Drawing {
  std::map<int, std::vector<std::string>> kinds;
  void Add(int kind, std::string s) { kinds[kind].push_back(std::move(s)); }
};

const long double kTol = 1e-10L;
bool Near(double xa, double ya, double xb, double yb) {
  return std::fabs(static_cast<long double>(xb) - xa) < kTol &&
         std::fabs(static_cast<long double>(yb) - ya) < kTol;
}
bool Tiny(double v) { return std::fabs(static_cast<long double>(v)) <= kTol; }
bool Blank(const std::u16string& s) { return StripSpaces(s).empty(); }

std::string Line(const TJwwEntLine& e, int rank) {
  return Join(Place(e.att), Pen(e.att), N(e.x1), N(e.y1), N(e.x2), N(e.y2), Tag("curve", rank));
}

// Curves are renumbered on the way: compare them by their rank among the
// curves that are there.
template <class Lines>
std::map<int32_t, int> CurveRanks(const Lines& crvNos) {
  std::set<int32_t> seen(crvNos.begin(), crvNos.end());
  seen.erase(0);
  std::map<int32_t, int> rank;
  for (int32_t c : seen) rank.emplace(c, static_cast<int>(rank.size()) + 1);
  rank[0] = 0;
  return rank;
}

// The drawing as stored after reading it back.
Drawing AsRead(const TJGdata& g) {
  Drawing d;
  std::vector<int32_t> crv;
  for (int32_t k = 0; k < g.EntLineN; ++k) crv.push_back(std::max(g.EntLine[k].CrvNo, 0));
  const auto rank = CurveRanks(crv);
  for (int32_t k = 0; k < g.EntLineN; ++k) d.Add(1, Line(g.EntLine[k], rank.at(crv[k])));
  for (int32_t k = 0; k < g.EntCircN; ++k) {
    const auto& e = g.EntCirc[k];
    d.Add(2, Join(Place(e.att), Pen(e.att), N(e.cx), N(e.cy), N(e.cr)));
  }
  for (int32_t k = 0; k < g.EntArcN; ++k) {
    const auto& e = g.EntArc[k];
    d.Add(3, Join(Place(e.att), Pen(e.att), N(e.cx), N(e.cy), N(e.cr), N(e.sa), N(e.ea),
                  N(e.he), N(e.ka)));
  }
  for (int32_t k = 0; k < g.EntTextN; ++k) d.Add(4, TextOf(g.EntText[k]));
  for (int32_t k = 0; k < g.EntPntN; ++k) {
    const auto& e = g.EntPnt[k];
    d.Add(5, Join(Place(e.att), I(e.att.Col), I(e.att.Wid), N(e.px), N(e.py)));
  }
  for (int32_t k = 0; k < g.EntMarkN; ++k) {
    const auto& e = g.EntMark[k];
    d.Add(6, Join(Place(e.att), I(e.att.Col), I(e.att.Wid), N(e.px), N(e.py), N(e.bai),
                  N(e.ang), I(e.cod)));
  }
  for (int32_t k = 0; k < g.EntDimN; ++k) {
    const auto& e = g.EntDim[k];
    d.Add(7, Join(Place(e.att), Pen(e.att), "|", Line(e.lin, 0), "|", TextOf(e.txt)));
  }
  for (int32_t k = 0; k < g.EntBlkN; ++k) d.Add(8, "block");
  for (int32_t k = 0; k < g.EntSld2N; ++k) {
    const auto& e = g.EntSld2[k];
    d.Add(9, Join(Place(e.att), Fill(e.att, e.Color), I(e.att.Wid), N(e.x1), N(e.y1), N(e.x2),
                  N(e.y2)));
  }
  for (int32_t k = 0; k < g.EntSld3N; ++k) {
    const auto& e = g.EntSld3[k];
    d.Add(10, Join(Place(e.att), Fill(e.att, e.Color), N(e.x1), N(e.y1), N(e.x2), N(e.y2),
                   N(e.x3), N(e.y3)));
  }
  for (int32_t k = 0; k < g.EntSld4N; ++k) {
    const auto& e = g.EntSld4[k];
    d.Add(11, Join(Place(e.att), Fill(e.att, e.Color), N(e.x1), N(e.y1), N(e.x2), N(e.y2),
                   N(e.x3), N(e.y3), N(e.x4), N(e.y4)));
  }
  auto round = [&](int kind, const TJwwEntSldC& e, bool wid) {
    d.Add(kind, Join(Place(e.att), Fill(e.att, e.Color), wid ? I(e.att.Wid) : "", N(e.cx),
                     N(e.cy), N(e.cr), N(e.he), N(e.ka), N(e.sa), N(e.da), I(e.fl)));
  };
  for (int32_t k = 0; k < g.EntSldCN; ++k) round(12, g.EntSldC[k], false);
  for (int32_t k = 0; k < g.EntSldEN; ++k) round(13, g.EntSldE[k], true);
  auto ring = [&](int kind, const TJwwEntSldD& e) {
    d.Add(kind, Join(Place(e.att), Fill(e.att, e.Color), N(e.cx), N(e.cy), N(e.cr), N(e.he),
                     N(e.ka), N(e.sa), N(e.da), N(e.ri)));
  };
  for (int32_t k = 0; k < g.EntSldON; ++k) ring(14, g.EntSldO[k]);
  for (int32_t k = 0; k < g.EntSldGN; ++k) ring(15, g.EntSldG[k]);
  return d;
}

// What reading the written file back must give: the input's entities in the
// order they are written, without what is not written.
Drawing Expected(const TJGdata& g) {
  // A store with just the surviving entities, in written order, so that the
  // same description as above applies.
  TJGdata w;
  w.Mojisyu = g.Mojisyu;
  auto put = [&w](auto& arr, int32_t& n, int32_t yn, const auto& rec) {
    w.SetEntNo(yn, n);
    if (n % 1000 == 0) arr.resize(static_cast<size_t>(n) + 1000);
    arr[static_cast<size_t>(n++)] = rec;
  };
  auto sld3 = [&](const TJwwEntAttr& att, int32_t color, double x1, double y1, double x2,
                  double y2, double x3, double y3) {
    if (Near(x1, y1, x2, y2) || Near(x2, y2, x3, y3) || Near(x3, y3, x1, y1)) return;
    put(w.EntSld3, w.EntSld3N, 10, TJwwEntSld3{att, color, x1, y1, x2, y2, x3, y3});
  };
  auto line = [&](const TJwwEntLine& e) {
    if (!Near(e.x1, e.y1, e.x2, e.y2)) put(w.EntLine, w.EntLineN, 1, e);
  };
  for (int32_t i = 0; i < g.EntN; ++i) {
    const int32_t no = g.EntNo[i].no;
    switch (g.EntNo[i].yn) {
      case 1: {
        TJwwEntLine e = g.EntLine[no];
        if (e.CrvNo > 0) break;  // comes with its curve, at the end
        e.CrvNo = 0;
        line(e);
        break;
      }
      case 2:
        if (static_cast<long double>(g.EntCirc[no].cr) > kTol) {
          put(w.EntCirc, w.EntCircN, 2, g.EntCirc[no]);
        }
        break;
      case 3: {
        const auto& e = g.EntArc[no];
        if (static_cast<long double>(e.cr) > kTol && !Tiny(e.he)) put(w.EntArc, w.EntArcN, 3, e);
        break;
      }
      case 4: {
        const auto& e = g.EntText[no];
        if (!(Tiny(e.x2) && Tiny(e.y2)) && !Blank(e.st)) put(w.EntText, w.EntTextN, 4, e);
        break;
      }
      case 5: put(w.EntPnt, w.EntPntN, 5, g.EntPnt[no]); break;
      case 6: put(w.EntMark, w.EntMarkN, 6, g.EntMark[no]); break;
      case 7: {
        const auto& e = g.EntDim[no];
        if (!Near(e.lin.x1, e.lin.y1, e.lin.x2, e.lin.y2) && !(Tiny(e.txt.x2) && Tiny(e.txt.y2))) {
          put(w.EntDim, w.EntDimN, 7, e);
        }
        break;
      }
      case 9: {
        const auto& e = g.EntSld2[no];
        if (!Near(e.x1, e.y1, e.x2, e.y2)) put(w.EntSld2, w.EntSld2N, 9, e);
        break;
      }
      case 10: {
        const auto& e = g.EntSld3[no];
        sld3(e.att, e.Color, e.x1, e.y1, e.x2, e.y2, e.x3, e.y3);
        break;
      }
      case 11: {
        // Corners that coincide within the writer's tolerance (but not within
        // the reader's finer one) make a triangle or nothing.
        const auto& e = g.EntSld4[no];
        if (Near(e.x1, e.y1, e.x2, e.y2)) {
          sld3(e.att, e.Color, e.x1, e.y1, e.x3, e.y3, e.x4, e.y4);
        } else if (Near(e.x1, e.y1, e.x3, e.y3)) {
        } else if (Near(e.x1, e.y1, e.x4, e.y4)) {
          sld3(e.att, e.Color, e.x1, e.y1, e.x2, e.y2, e.x3, e.y3);
        } else if (Near(e.x2, e.y2, e.x3, e.y3)) {
          sld3(e.att, e.Color, e.x1, e.y1, e.x2, e.y2, e.x4, e.y4);
        } else if (Near(e.x2, e.y2, e.x4, e.y4)) {
        } else if (Near(e.x3, e.y3, e.x4, e.y4)) {
          sld3(e.att, e.Color, e.x1, e.y1, e.x2, e.y2, e.x3, e.y3);
        } else {
          put(w.EntSld4, w.EntSld4N, 11, e);
        }
        break;
      }
      case 12: {
        const auto& e = g.EntSldC[no];
        const bool cod = e.fl == 100 || e.fl == 5 || e.fl == 0 || e.fl == -1;
        if (static_cast<long double>(e.cr) > kTol && !Tiny(e.he) && cod) {
          put(w.EntSldC, w.EntSldCN, 12, e);
        }
        break;
      }
      case 13: {
        const auto& e = g.EntSldE[no];
        const bool cod = e.fl == 100 || e.fl == 0;
        if (static_cast<long double>(e.cr) > kTol && !Tiny(e.he) && cod) {
          put(w.EntSldE, w.EntSldEN, 13, e);
        }
        break;
      }
      case 14:
      case 15: {
        const auto& e = g.EntNo[i].yn == 14 ? g.EntSldO[no] : g.EntSldG[no];
        const long double r = e.cr, ri = e.ri;
        if (r > kTol && ri > kTol && ri < r - kTol && !Tiny(e.he)) {
          if (g.EntNo[i].yn == 14) {
            put(w.EntSldO, w.EntSldON, 14, e);
          } else {
            put(w.EntSldG, w.EntSldGN, 15, e);
          }
        }
        break;
      }
      default: break;  // block inserts are not written
    }
  }
  // The curves, ascending, each with its segments in store order. A curve
  // whose segments all draw nothing leaves an empty block, which holds no line.
  std::map<int32_t, std::vector<TJwwEntLine>> curves;
  for (int32_t i = 0; i < g.EntN; ++i) {
    if (g.EntNo[i].yn != 1) continue;
    const TJwwEntLine& e = g.EntLine[g.EntNo[i].no];
    if (e.CrvNo > 0) curves[e.CrvNo].push_back(e);
  }
  for (const auto& [c, segs] : curves) {
    for (const auto& e : segs) line(e);
  }
  return AsRead(w);
}

// --- running it -------------------------------------------------------------

// Reads in, writes every entity back, saves out.
void Pass(const fs::path& in, const fs::path& out) {
  TJGdata g;
  g.OpenTempFile(U16(in));
  g.S_Init();
  g.S_EntAllp(-1, -1, -1, -1, -1, -1, -1, 0);
  ASSERT_TRUE(g.SaveTempFile(U16(out)));
}

const char* const kKindNames[] = {"",      "line",   "circle", "arc",    "text",   "point",
                                  "marker", "dimension", "block", "solid2", "solid3", "solid4",
                                  "sc",    "se",     "so",     "sg"};

void ExpectSameDrawing(const Drawing& want, const Drawing& got, const std::string& what) {
  for (int kind = 1; kind <= 15; ++kind) {
    const auto wi = want.kinds.find(kind);
    const auto gi = got.kinds.find(kind);
    const std::vector<std::string> none;
    const auto& w = wi == want.kinds.end() ? none : wi->second;
    const auto& g = gi == got.kinds.end() ? none : gi->second;
    EXPECT_EQ(w.size(), g.size()) << what << ": number of " << kKindNames[kind];
    const size_t n = std::min(w.size(), g.size());
    for (size_t k = 0; k < n; ++k) {
      if (w[k] != g[k]) {
        ADD_FAILURE() << what << ": " << kKindNames[kind] << " " << k << "\n  want " << w[k]
                      << "\n  got  " << g[k];
        break;  // one example per kind is enough to see the fault
      }
    }
  }
}

void RoundTrip(const fs::path& input, const std::string& what) {
  TempDir dir;
  const fs::path out1 = dir / "out1.txt", out2 = dir / "out2.txt", out3 = dir / "out3.txt";
  Pass(input, out1);
  Pass(out1, out2);
  Pass(out2, out3);
  const std::string b2 = ReadBytes(out2), b3 = ReadBytes(out3);
  EXPECT_TRUE(b2 == b3) << what << ": the second and third writings differ";

  TJGdata in;
  in.OpenTempFile(U16(input));
  TJGdata back;
  back.OpenTempFile(U16(out1));
  EXPECT_EQ(back.Zusun, in.Zusun) << what;
  EXPECT_EQ(back.MojiCode, in.MojiCode) << what;
  EXPECT_GE(back.EntN, in.EntN * 9 / 10) << what;  // most of it is there
  ExpectSameDrawing(Expected(in), AsRead(back), what);
}

fs::path Generator() {
  // The generator lives in the shared folder beside the repository.
  const fs::path candidates[] = {
      fs::path(KX29_TEST_DATA) / ".." / ".." / "shared" / "bench" / "gen_exchange.py",
      fs::path(KX29_TEST_DATA) / ".." / "bench" / "gen_exchange.py"};
  for (const auto& p : candidates) {
    if (fs::exists(p)) return p;
  }
  return {};
}

fs::path Generate(const TempDir& dir, int64_t n, const std::string& encoding, int seed) {
  const fs::path gen = Generator();
  EXPECT_FALSE(gen.empty()) << "gen_exchange.py not found";
  const fs::path out = dir / ("gen_" + encoding + "_" + std::to_string(seed) + ".txt");
  const std::string cmd = "python3 \"" + gen.string() + "\" \"" + out.string() + "\" -n " +
                          std::to_string(n) + " --encoding " + encoding + " --seed " +
                          std::to_string(seed);
  EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
  return out;
}

TEST(RoundTrip, GeneratedDrawingsInEveryEncoding) {
  TempDir dir;
  for (const char* enc : {"cp932", "utf8-bom", "utf16le-bom"}) {
    for (int seed : {1, 2, 3}) {
      const fs::path f = Generate(dir, 3000, enc, seed);
      RoundTrip(f, std::string(enc) + " seed " + std::to_string(seed));
    }
  }
}

TEST(RoundTrip, GeneratedDrawingOfAHundredThousandEntities) {
  TempDir dir;
  const fs::path f = Generate(dir, 100000, "utf8-bom", 5);
  RoundTrip(f, "100,000 entities");
}

TEST(RoundTrip, GoldenFixtures) {
  int n = 0;
  for (const auto& e : fs::directory_iterator(fs::path(KX29_TEST_DATA) / "golden")) {
    const fs::path f = e.path() / "JWC_TEMP.TXT";
    if (!fs::exists(f)) continue;
    RoundTrip(f, e.path().filename().string());
    ++n;
  }
  EXPECT_GT(n, 0);
}

// What the exchange file cannot carry, shown on a small drawing: the
// indicated point of an entity, block inserts, the sizes of text kinds 1-10
// (they come from the header, which is not written), the line type of points
// and texts, and the fill value of a solid drawn in a line colour.
TEST(RoundTrip, WhatTheFileDoesNotCarry) {
  TempDir dir;
  kxtest::WriteBytes(dir / "in.txt",
                     "hcw 5 5 5 5 5 5 5 5 5 5\r\nlc10 255\r\nlt3\r\nhhp1\r\n0 0 1 1\r\n"
                     "BL 1 1 blk\r\nlc2\r\nsl 0 0 1 0 0 1\r\ncn3\r\nch 0 0 1 0 \"a\r\n");
  Pass(dir / "in.txt", dir / "out.txt");
  TJGdata g;
  g.OpenTempFile(U16(dir / "out.txt"));
  ASSERT_EQ(g.EntLineN, 1);
  EXPECT_EQ(g.EntLine[0].att.IPNo, 0);
  EXPECT_EQ(g.EntLine[0].att.Col, 10);
  EXPECT_EQ(g.EntBlkN, 0);
  ASSERT_EQ(g.EntTextN, 1);
  EXPECT_EQ(g.EntText[0].cn, 3);
  EXPECT_EQ(g.EntText[0].mw, 3.0);  // the reading side's own table
  ASSERT_EQ(g.EntSld3N, 1);
  EXPECT_EQ(g.EntSld3[0].att.Col, 2);
  EXPECT_EQ(kxtest::CrLfLines(ReadBytes(dir / "out.txt")),
            (std::vector<std::string>{"lg0", "ly0", "lc10", "lt3", "0 0 1 1", "lc2",
                                      "sl 0 0 1 0 0 1", "cn3", "cc0",
                                      "cn\"$<\x82l\x82r \x83S\x83V\x83" "b\x83N>",
                                      "ch 0 0 1 0 \"a"}));
}

}  // namespace
