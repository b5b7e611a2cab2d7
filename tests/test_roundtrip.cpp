// Reading an exchange file and writing every stored entity back, then reading
// that again.
//
// The drawings come from the project's generator (bench/gen_drawing.py), which
// writes them from the record formats alone and reports what a reader must
// find in them. Three properties, none of which restates the writer:
// - the reader finds what the generator reports, kind by kind;
// - writing back settles at once: the second and third writings (each a
//   read, a write-back of every entity with every attribute kept, and a
//   save) are the same bytes;
// - a drawing of drawable geometry only, far from every tolerance, reads
//   back as the same drawing, as far as the exchange file carries it.
// And the library built never to start a thread writes what the usual one
// writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>

#include "jwwgaibu/EscHook.h"
#include "jwwgaibu/Pieces.h"
#include "platform/Platform.h"
#include "tests/TestUtil.h"

namespace fs = std::filesystem;
using kxtest::ReadBytes;
using kxtest::TempDir;
using kxtest::U16;

namespace {

// --- the generator ----------------------------------------------------------

struct Generated {
  fs::path file;
  std::map<std::string, int64_t> counts;  // per kind, and "entities"
  std::vector<std::string> firstLine;     // four tokens as written
  std::map<int, std::pair<std::string, std::string>> points;
};

// The generator's report as a list of tokens: strings (kept with their opening
// quote to tell them from the rest), numbers and punctuation. Its strings hold
// no quote or escape.
std::vector<std::string> JsonTokens(const std::string& s) {
  std::vector<std::string> t;
  for (size_t i = 0; i < s.size();) {
    if (s[i] == '"') {
      const size_t end = std::min(s.find('"', i + 1), s.size());
      t.push_back(s.substr(i, end - i));
      i = end + 1;
    } else if (std::isdigit(static_cast<unsigned char>(s[i]))) {
      const size_t end = s.find_first_not_of("0123456789", i);
      t.push_back(s.substr(i, end - i));
      i = end;
    } else if (std::isspace(static_cast<unsigned char>(s[i]))) {
      ++i;
    } else {
      t.push_back(s.substr(i++, 1));
    }
  }
  return t;
}

Generated Generate(const TempDir& dir, int64_t n, const std::string& mix,
                   const std::string& encoding, int seed) {
  Generated g;
  const std::string name = mix + "_" + encoding + "_" + std::to_string(seed);
  g.file = dir / (name + ".txt");
  const fs::path stats = dir / (name + ".json");
  const std::string cmd = std::string("\"") + KX29_PYTHON + "\" \"" + KX29_GENERATOR + "\" \"" +
                          g.file.string() + "\" -n " + std::to_string(n) + " --mix " + mix +
                          " --encoding " + encoding + " --seed " + std::to_string(seed) +
                          " --stats \"" + stats.string() + "\"";
  EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;

  // Every whole number of the report is a count under its name.
  const std::string json = ReadBytes(stats);
  const std::vector<std::string> t = JsonTokens(json);
  auto isString = [](const std::string& s) { return s[0] == '"'; };
  auto isNumber = [](const std::string& s) {
    return std::isdigit(static_cast<unsigned char>(s[0])) != 0;
  };
  for (size_t i = 0; i + 2 < t.size(); ++i) {
    if (isString(t[i]) && t[i + 1] == ":" && isNumber(t[i + 2])) {
      g.counts[t[i].substr(1)] = std::stoll(t[i + 2]);
    }
  }
  // From "first_line" on, the strings are that key and its four tokens, then
  // "indicated_points" and each point's number, x and y.
  std::vector<std::string> s;
  for (auto it = std::find(t.begin(), t.end(), "\"first_line"); it != t.end(); ++it) {
    if (isString(*it)) s.push_back(it->substr(1));
  }
  if (s.size() >= 6 && s[5] == "indicated_points") {
    g.firstLine.assign(s.begin() + 1, s.begin() + 5);
    for (size_t k = 6; k + 2 < s.size(); k += 3) g.points[std::stoi(s[k])] = {s[k + 1], s[k + 2]};
  }
  EXPECT_EQ(g.counts["entities"], n) << json;
  return g;
}

double Real(const std::string& s) {
  double v = 0;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  EXPECT_TRUE(r.ec == std::errc() && r.ptr == s.data() + s.size()) << s;
  return v;
}

// The reader stores what the generator wrote.
void ExpectAsReported(const TJGdata& g, const Generated& gen, const std::string& what) {
  const std::pair<const char*, int32_t> kinds[] = {
      {"line", g.EntLineN},   {"circle", g.EntCircN}, {"arc", g.EntArcN},
      {"text", g.EntTextN},   {"point", g.EntPntN},   {"marker", g.EntMarkN},
      {"dim", g.EntDimN},     {"block", g.EntBlkN},   {"solid2", g.EntSld2N},
      {"solid3", g.EntSld3N}, {"solid4", g.EntSld4N}, {"sc", g.EntSldCN},
      {"se", g.EntSldEN},     {"so", g.EntSldON},     {"sg", g.EntSldGN},
      {"entities", g.EntN}};
  for (const auto& [name, n] : kinds) {
    const auto it = gen.counts.find(name);
    EXPECT_EQ(n, it == gen.counts.end() ? -1 : it->second) << what << ": " << name;
  }
  std::set<int32_t> curves;
  int64_t curveLines = 0;
  for (int32_t k = 0; k < g.EntLineN; ++k) {
    if (g.EntLine[k].CrvNo > 0) {
      curves.insert(g.EntLine[k].CrvNo);
      ++curveLines;
    }
  }
  EXPECT_EQ(static_cast<int64_t>(curves.size()), gen.counts.at("curve")) << what;
  EXPECT_EQ(curveLines, gen.counts.at("curve_line")) << what;

  ASSERT_EQ(gen.firstLine.size(), 4u) << what;
  ASSERT_GT(g.EntLineN, 0) << what;
  const TJwwEntLine& l = g.EntLine[0];
  EXPECT_EQ((std::vector<double>{l.x1, l.y1, l.x2, l.y2}),
            (std::vector<double>{Real(gen.firstLine[0]), Real(gen.firstLine[1]),
                                 Real(gen.firstLine[2]), Real(gen.firstLine[3])}))
      << what;
  ASSERT_FALSE(gen.points.empty()) << what;
  for (const auto& [k, xy] : gen.points) {
    EXPECT_TRUE(g.IPoints[k].flg) << what << ": point " << k;
    EXPECT_EQ(g.IPoints[k].x, Real(xy.first)) << what << ": point " << k;
    EXPECT_EQ(g.IPoints[k].y, Real(xy.second)) << what << ": point " << k;
  }
}

// --- what the exchange file carries, one text per entity -------------------

std::string N(double v) {  // the exact double: the round trip must not move it
  char buf[32];
  return std::string(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}
std::string I(int32_t v) { return std::to_string(v); }
std::string T(const std::u16string& s) { return '"' + platform::TextToUtf8(s) + '"'; }

template <class... Parts>
std::string Join(const Parts&... parts) {
  std::string s;
  ((s += parts, s += ' '), ...);
  return s;
}

// Layer group, layer and attribute bits go with every entity; the pen (line
// colour, type, width) only with what is drawn in a line.
std::string Tag(const char* tag, int32_t v) { return std::string(tag).append(I(v)); }
std::string Place(const TJwwEntAttr& a) { return Join(I(a.LGrp), I(a.Lay), Tag("z", a.Attr)); }
std::string Pen(const TJwwEntAttr& a) { return Join(I(a.Col), I(a.Ltp), I(a.Wid)); }

// Texts of kinds 1 to 10 take size and colour from the drawing's text-kind
// table, which belongs to the header: only the kind number travels with them.
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

std::string Segment(const TJwwEntLine& e) {
  return Join(Place(e.att), Pen(e.att), N(e.x1), N(e.y1), N(e.x2), N(e.y2));
}

// A drawing as its entities, kind by kind, each kind in store order. Curves
// are listed whole, in the order of their numbers: a curve keeps its segments
// together and in order, whatever number a reading gives it.
using Drawing = std::map<std::string, std::vector<std::string>>;

Drawing Describe(const TJGdata& g) {
  Drawing d;
  std::map<int32_t, std::string> curves;
  for (int32_t k = 0; k < g.EntLineN; ++k) {
    const auto& e = g.EntLine[k];
    if (e.CrvNo > 0) {
      curves[e.CrvNo] += Segment(e) + "| ";
    } else {
      d["line"].push_back(Segment(e));
    }
  }
  for (const auto& [no, c] : curves) d["curve"].push_back(c);
  for (int32_t k = 0; k < g.EntCircN; ++k) {
    const auto& e = g.EntCirc[k];
    d["circle"].push_back(Join(Place(e.att), Pen(e.att), N(e.cx), N(e.cy), N(e.cr)));
  }
  for (int32_t k = 0; k < g.EntArcN; ++k) {
    const auto& e = g.EntArc[k];
    d["arc"].push_back(Join(Place(e.att), Pen(e.att), N(e.cx), N(e.cy), N(e.cr), N(e.sa),
                            N(e.ea), N(e.he), N(e.ka)));
  }
  for (int32_t k = 0; k < g.EntTextN; ++k) d["text"].push_back(TextOf(g.EntText[k]));
  for (int32_t k = 0; k < g.EntPntN; ++k) {
    const auto& e = g.EntPnt[k];
    d["point"].push_back(Join(Place(e.att), I(e.att.Col), I(e.att.Wid), N(e.px), N(e.py)));
  }
  for (int32_t k = 0; k < g.EntMarkN; ++k) {
    const auto& e = g.EntMark[k];
    d["marker"].push_back(Join(Place(e.att), I(e.att.Col), I(e.att.Wid), N(e.px), N(e.py),
                               N(e.bai), N(e.ang), I(e.cod)));
  }
  for (int32_t k = 0; k < g.EntDimN; ++k) {
    const auto& e = g.EntDim[k];
    d["dim"].push_back(Join(Place(e.att), Pen(e.att), "|", Segment(e.lin), "|", TextOf(e.txt)));
  }
  for (int32_t k = 0; k < g.EntBlkN; ++k) {
    const auto& e = g.EntBlk[k];
    d["block"].push_back(Join(Place(e.att), N(e.px), N(e.py), T(e.nam)));
  }
  for (int32_t k = 0; k < g.EntSld2N; ++k) {
    const auto& e = g.EntSld2[k];
    d["solid2"].push_back(Join(Place(e.att), Fill(e.att, e.Color), I(e.att.Wid), N(e.x1),
                               N(e.y1), N(e.x2), N(e.y2)));
  }
  for (int32_t k = 0; k < g.EntSld3N; ++k) {
    const auto& e = g.EntSld3[k];
    d["solid3"].push_back(Join(Place(e.att), Fill(e.att, e.Color), N(e.x1), N(e.y1), N(e.x2),
                               N(e.y2), N(e.x3), N(e.y3)));
  }
  for (int32_t k = 0; k < g.EntSld4N; ++k) {
    const auto& e = g.EntSld4[k];
    d["solid4"].push_back(Join(Place(e.att), Fill(e.att, e.Color), N(e.x1), N(e.y1), N(e.x2),
                               N(e.y2), N(e.x3), N(e.y3), N(e.x4), N(e.y4)));
  }
  // Of the circular solids only the "se" kind carries a line width.
  auto round = [&](const char* kind, const TJwwEntSldC& e, bool wid) {
    d[kind].push_back(Join(Place(e.att), Fill(e.att, e.Color), wid ? I(e.att.Wid) : "",
                           N(e.cx), N(e.cy), N(e.cr), N(e.he), N(e.ka), N(e.sa), N(e.da),
                           I(e.fl)));
  };
  for (int32_t k = 0; k < g.EntSldCN; ++k) round("sc", g.EntSldC[k], false);
  for (int32_t k = 0; k < g.EntSldEN; ++k) round("se", g.EntSldE[k], true);
  auto ring = [&](const char* kind, const TJwwEntSldD& e) {
    d[kind].push_back(Join(Place(e.att), Fill(e.att, e.Color), N(e.cx), N(e.cy), N(e.cr),
                           N(e.he), N(e.ka), N(e.sa), N(e.da), N(e.ri)));
  };
  for (int32_t k = 0; k < g.EntSldON; ++k) ring("so", g.EntSldO[k]);
  for (int32_t k = 0; k < g.EntSldGN; ++k) ring("sg", g.EntSldG[k]);
  return d;
}

void ExpectSameDrawing(const Drawing& want, const Drawing& got, const std::string& what) {
  std::set<std::string> kinds;
  for (const auto& [k, v] : want) kinds.insert(k);
  for (const auto& [k, v] : got) kinds.insert(k);
  const std::vector<std::string> none;
  for (const auto& kind : kinds) {
    const auto wi = want.find(kind), gi = got.find(kind);
    const auto& w = wi == want.end() ? none : wi->second;
    const auto& g = gi == got.end() ? none : gi->second;
    EXPECT_EQ(w.size(), g.size()) << what << ": number of " << kind;
    for (size_t k = 0; k < std::min(w.size(), g.size()); ++k) {
      if (w[k] != g[k]) {
        ADD_FAILURE() << what << ": " << kind << " " << k << "\n  want " << w[k] << "\n  got  "
                      << g[k];
        break;  // one example per kind is enough to see the fault
      }
    }
  }
}

// --- running it -------------------------------------------------------------

// Reads in, writes every entity back (curves as polylines, every attribute
// kept), saves out.
void Pass(const fs::path& in, const fs::path& out) {
  TJGdata g;
  g.OpenTempFile(U16(in));
  g.S_Init();
  g.S_EntAllp(-1, -1, -1, -1, -1, -1, -1, 0);
  ASSERT_TRUE(g.SaveTempFile(U16(out)));
}

// Writes the input back three times over; the second and third writings must
// be the same bytes. Gives the first writing.
fs::path ExpectSettles(const TempDir& dir, const fs::path& input, const std::string& what) {
  const fs::path out1 = dir / "out1.txt", out2 = dir / "out2.txt", out3 = dir / "out3.txt";
  Pass(input, out1);
  Pass(out1, out2);
  Pass(out2, out3);
  EXPECT_TRUE(ReadBytes(out2) == ReadBytes(out3))
      << what << ": the second and third writings differ";
  return out1;
}

// A generated drawing, read as it was written and read again after the first
// writing; the reading and the writings checked on the way.
struct Trip {
  TempDir dir;
  std::string what;
  Generated gen;
  TJGdata in, back;
  Trip(int64_t n, const std::string& mix, const std::string& encoding, int seed)
      : what(mix + " " + encoding + " seed " + std::to_string(seed)),
        gen(Generate(dir, n, mix, encoding, seed)) {
    in.OpenTempFile(U16(gen.file));
    ExpectAsReported(in, gen, what);
    back.OpenTempFile(U16(ExpectSettles(dir, gen.file, what)));
  }
};

const char* const kEncodings[] = {"cp932", "utf8-bom", "utf16le-bom"};

TEST(RoundTrip, RealisticDrawingsInEveryEncoding) {
  for (const char* enc : kEncodings) {
    for (int seed : {1, 2}) {
      const Trip t(3000, "realistic", enc, seed);
      EXPECT_EQ(t.back.MojiCode, t.in.MojiCode) << t.what;
      EXPECT_EQ(t.back.Zusun, t.in.Zusun) << t.what;
    }
  }
}

TEST(RoundTrip, RealisticDrawingOfAHundredThousandEntities) {
  const Trip t(100000, "realistic", "utf8-bom", 5);
}

// Every drawable entity comes back with everything the file carries for it.
TEST(RoundTrip, DrawableGeometryReadsBackWhole) {
  for (const char* enc : kEncodings) {
    for (int seed : {3, 4}) {
      const Trip t(3000, "drawable", enc, seed);
      EXPECT_EQ(t.back.EntN, t.gen.counts.at("entities")) << t.what;
      ExpectSameDrawing(Describe(t.in), Describe(t.back), t.what);
    }
  }
}

// A tool that empties the store and adds its own entities, as the library
// guide shows it: what it adds carries the drawing's current attributes, not
// those of the last record read (its line type, width and "z" bits).
TEST(RoundTrip, AddedEntitiesCarryTheCurrentAttributes) {
  TempDir dir;
  for (int seed : {1, 2, 3, 4, 5}) {
    const Generated gen = Generate(dir, 2000, "realistic", "cp932", seed);
    TJGdata g;
    ASSERT_TRUE(g.OpenTempFile(U16(gen.file)));
    g.ClearStore();
    g.A_Current();
    g.A_Ten(1, 2);
    g.A_Line(0, 0, 10, 0);
    g.S_Init();
    g.S_EntAll();
    std::string text;
    for (int32_t k = 0; k < g.t_MemN; ++k) {
      text += platform::TextToUtf8(g.t_Mem[static_cast<size_t>(k)]) + "\n";
    }
    TJGdata back;
    kxtest::ReadLines(back, text);
    ASSERT_EQ(back.EntPntN, 1) << text;
    ASSERT_EQ(back.EntLineN, 1) << text;
    TJwwEntAttr want{0, g.CurLGrp, g.CurLay, g.CurCol, g.CurLtp, g.WidF ? g.CurWid : 0, 0};
    for (const bool point : {true, false}) {
      const TJwwEntAttr& at = point ? back.EntPnt[0].att : back.EntLine[0].att;
      // A point takes the point colour in force, the line colour when there is none.
      want.Col = point && g.CurPCol != 0 ? g.CurPCol : g.CurCol;
      EXPECT_EQ(std::tie(at.IPNo, at.LGrp, at.Lay, at.Col, at.Ltp, at.Wid, at.Attr),
                std::tie(want.IPNo, want.LGrp, want.Lay, want.Col, want.Ltp, want.Wid, want.Attr))
          << "seed " << seed << "\n" << text;
    }
  }
}

TEST(RoundTrip, GoldenFixturesSettle) {
  int n = 0;
  for (const auto& e : fs::directory_iterator(fs::path(KX29_TEST_DATA) / "golden")) {
    const fs::path f = e.path() / "JWC_TEMP.TXT";
    if (!fs::exists(f)) continue;
    TempDir dir;
    ExpectSettles(dir, f, e.path().filename().string());
    ++n;
  }
  EXPECT_GT(n, 0);
}

// --- reading in pieces, on one thread or two ------------------------------

// Everything a reading leaves in the object: the entities as Describe gives
// them, in index order as the writing back gives them, and the header, layer
// and indicated-point values.
std::string Everything(TJGdata& g) {
  std::string s;
  for (const auto& [kind, list] : Describe(g)) {
    for (const auto& e : list) s += kind + ' ' + e + '\n';
  }
  g.S_Init();
  g.S_EntAll(-1, -1, -1, -1, -1, -1, -1, 0);
  for (int32_t k = 0; k < g.t_MemN; ++k) s += platform::TextToUtf8(g.t_Mem[k]) + '\n';
  s += Join(I(g.MojiCode), N(g.Jikukaku), T(g.ZumenFile), N(g.ZumenXsize), N(g.ZumenYsize),
            I(g.Zusun), N(g.AreaX1), N(g.AreaY1), N(g.AreaX2), N(g.AreaY2), I(g.CurLGrp),
            I(g.CurLay), I(g.CurCol), I(g.CurLtp), I(g.CurWid), I(g.CurMjs), N(g.CurMjsW),
            N(g.CurMjsH), N(g.CurMjsD), I(g.CurMjsC), T(g.CurFont), I(g.IPointN), I(g.WidF));
  for (double v : g.LGrpScale) s += N(v) + ' ';
  for (const auto& m : g.Mojisyu) s += Join(N(m.W), N(m.H), N(m.D), I(m.C));
  for (int32_t v : g.RGB) s += I(v) + ' ';
  for (const auto& p : g.IPoints) s += Join(I(p.flg), N(p.x), N(p.y), I(p.sta));
  for (int32_t v : g.LGrpStat) s += I(v) + ' ';
  for (int32_t v : g.LayStat) s += I(v) + ' ';
  for (const auto& n : g.LGrpName) s += T(n);
  for (const auto& n : g.LayName) s += T(n);
  return s;
}

std::string ReadWith(const fs::path& file, const jwwgaibu::ReadSplit& split) {
  jwwgaibu::SetReadSplit(split);
  TJGdata g;
  g.OpenTempFile(U16(file));
  jwwgaibu::SetReadSplit(jwwgaibu::kDefaultReadSplit);
  return Everything(g);
}

// A file is cut into pieces after line breaks, and a big one's pieces are
// prepared on a second thread; neither may change what is read. Small pieces
// put the cuts everywhere in small drawings: after every line, inside runs of
// CR LF, before and after lines beyond ASCII, in every encoding and with
// lone CR and LF as line breaks too.
TEST(ReadingInPieces, GivesWhatOnePieceOnOneThreadGives) {
  TempDir dir;
  std::vector<std::pair<std::string, fs::path>> files;
  for (const char* enc : kEncodings) {
    files.emplace_back(enc, Generate(dir, 777, "realistic", enc, 6).file);
  }
  // The same drawing in UTF-16 big-endian, and in code page 932 with a lone CR
  // for every third break and a lone LF for every fifth.
  std::string le = ReadBytes(files[2].second), be = le;
  for (size_t k = 0; k + 1 < be.size(); k += 2) std::swap(be[k], be[k + 1]);
  kxtest::WriteBytes(dir / "be.txt", be);
  files.emplace_back("utf16be", dir / "be.txt");
  std::string cp = ReadBytes(files[0].second), mixed;
  int breaks = 0;
  for (size_t k = 0; k < cp.size(); ++k) {
    if (cp.compare(k, 2, "\r\n") == 0) {
      ++breaks;
      mixed += breaks % 3 == 0 ? "\r" : breaks % 5 == 0 ? "\n" : "\r\n";
      ++k;
    } else {
      mixed += cp[k];
    }
  }
  kxtest::WriteBytes(dir / "mixed.txt", mixed);
  files.emplace_back("cp932, mixed breaks", dir / "mixed.txt");

  constexpr size_t kWhole = size_t{1} << 30, kNever = ~size_t{0};
  const std::string plain = ReadWith(files[0].second, {kWhole, kWhole, kNever});
  for (const auto& [what, file] : files) {
    const std::string want = ReadWith(file, {kWhole, kWhole, kNever});
    if (what != "utf8-bom") {  // the one that is saved back as UTF-8
      EXPECT_EQ(want, plain) << what << ": not the same drawing";
    }
    for (const size_t piece : {1, 2, 3, 61, 4096}) {
      for (const bool helper : {false, true}) {
        EXPECT_EQ(ReadWith(file, {piece, piece, helper ? 0 : kNever}), want)
            << what << ", pieces of " << piece << " bytes, " << (helper ? "two threads" : "one");
      }
    }
  }
}

// --- writing back with the entity commands run ahead ------------------------

int g_escAfter = -1;  // Escape is down from this question on; -1: never
int g_escAsked = 0;
bool EscAfter() { return g_escAsked++ >= g_escAfter && g_escAfter >= 0; }

// The output buffer after S_EntAll (or S_EntAllp) of the drawing in file,
// and the file it saves, with the writing back and the save cut into pieces
// of `piece` index entries and lines, on one thread or two, and Escape
// pressed at its k-th question (-1: never).
std::pair<std::vector<std::u16string>, std::string> WriteBack(const fs::path& file, bool curves,
                                                              int32_t piece, bool helper, int esc,
                                                              int32_t col) {
  TJGdata g;
  g.OpenTempFile(U16(file));
  jwwgaibu::SetWriteSplit({piece, piece, helper ? 0 : INT32_MAX});
  g_escAfter = esc;
  g_escAsked = 0;
  jwwgaibu::SetEscTest(EscAfter);
  g.S_Init();
  if (curves) {
    g.S_EntAllp(-1, -1, col, -1, -1, -1, -1, 0);
  } else {
    g.S_EntAll(-1, -1, col, -1, -1, -1, -1, 0);
  }
  jwwgaibu::SetEscTest(nullptr);
  const fs::path saved = file.parent_path() / "saved.txt";
  EXPECT_TRUE(g.SaveTempFile(U16(saved)));
  jwwgaibu::SetWriteSplit(jwwgaibu::kDefaultWriteSplit);
  return {{g.t_Mem.begin(), g.t_Mem.begin() + g.t_MemN}, ReadBytes(saved)};
}

// The entity commands of a big store run ahead on a second thread, in pieces
// of index entries, while the pen commands run in order, and a big save is
// encoded in pieces on two threads; the buffer and the file must be what one
// thread writes, line for line, with curves written at the end, with an
// override, and when Escape breaks the writing off anywhere.
TEST(WritingBackAhead, GivesWhatOneThreadWrites) {
  TempDir dir;
  const fs::path file = Generate(dir, 777, "realistic", "cp932", 8).file;
  for (const bool curves : {false, true}) {
    for (const int esc : {-1, 0, 3, 7}) {
      for (const int32_t col : {-1, 5}) {
        const auto want = WriteBack(file, curves, 1 << 30, false, esc, col);
        ASSERT_GT(want.first.size(), esc < 0 ? 900u : 0u);
        for (const int32_t piece : {1, 2, 3, 61, 100000}) {
          EXPECT_TRUE(WriteBack(file, curves, piece, true, esc, col) == want)
              << (curves ? "S_EntAllp" : "S_EntAll") << ", Escape at question " << esc
              << ", colour " << col << ", pieces of " << piece;
        }
      }
    }
  }
}

// --- the library built never to start a thread -----------------------------

// What a command prints on its standard output.
std::string Printed(const std::string& cmd) {
  std::string out;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[4096];
    for (size_t k; (k = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, k);
    pclose(p);
  }
  return out;
}

// Built with KX29_ONE_THREAD, the library reads and writes back a drawing big
// enough for a second thread as the usual build does, byte for byte, also
// where every size asks for one; and nothing in it calls for a thread.
TEST(OneThreadBuild, WritesABigDrawingBackAsTheUsualBuildDoes) {
  TempDir dir;
  const fs::path file = Generate(dir, 100000, "realistic", "cp932", 9).file;
  Pass(file, dir / "want.txt");
  const std::string want = ReadBytes(dir / "want.txt");
  for (const char* how : {"", " --helper"}) {
    const std::string cmd = std::string("\"") + KX29_WRITE_BACK_ONE_THREAD + "\" \"" +
                            file.string() + "\" \"" + (dir / "got.txt").string() + "\"" + how;
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    EXPECT_TRUE(ReadBytes(dir / "got.txt") == want) << cmd;
  }
  auto callsForThreads = [](const char* library) {
    const std::string symbols = Printed(std::string("\"") + KX29_NM + "\" -C -u \"" + library + "\"");
    return symbols.find("std::thread") != std::string::npos ||
           symbols.find("pthread_") != std::string::npos;
  };
  EXPECT_EQ(callsForThreads(KX29_LIBRARY), KX29_LIBRARY_THREADS);  // the look finds them where they are
  EXPECT_FALSE(callsForThreads(KX29_LIBRARY_ONE_THREAD));
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
