// The records of the exchange file: the table that says which record takes a
// line, and what each record does to the drawing (header values, layer
// tables, attribute state, indicated points, stored entities). The file
// pipeline (Reader.cpp) hands over each line split into tokens.
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>

#include "jwwgaibu/Grow.h"
#include "jwwgaibu/JwwGaibu.h"
#include "jwwgaibu/Kinds.h"
#include "jwwgaibu/ReadRecords.h"
#include "jwwgaibu/Records.h"
#include "myfunc/MyFunc.h"

using namespace jwwread;

namespace {

// Keywords are a few characters long: compared in place, character by character.
bool SameChars(const char16_t* a, const char16_t* b, size_t n) {
  for (size_t k = 0; k < n; ++k) {
    if (a[k] != b[k]) return false;
  }
  return true;
}

bool KeyMatches(Match how, std::u16string_view key, std::u16string_view t0) {
  const size_t n = key.size();
  switch (how) {
    case Match::Equal:
      return t0.size() == n && SameChars(t0.data(), key.data(), n);
    case Match::StartsWith:
      return t0.size() >= n && SameChars(t0.data(), key.data(), n);
    case Match::Contains:
      // By its last character, which is rare in a first token ("=").
      for (size_t i = n; i <= t0.size(); ++i) {
        if (t0[i - 1] == key[n - 1] && SameChars(t0.data() + i - n, key.data(), n - 1)) return true;
      }
      return false;
    case Match::OneOf:
      while (!key.empty()) {
        const size_t len = std::min(key.find(u' '), key.size());
        if (t0.size() == len && SameChars(t0.data(), key.data(), len)) return true;
        key.remove_prefix(std::min(len + 1, key.size()));
      }
      return false;
    case Match::Anything:
      return true;
  }
  return false;
}

// The one character at i read as a hexadecimal digit; 0 when missing or not one.
int32_t HexDigitAt(std::u16string_view s, size_t i) {
  if (i >= s.size()) return 0;
  const char16_t c = s[i];
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return 0;
}

std::u16string_view From(std::u16string_view s, size_t i) {
  return i < s.size() ? s.substr(i) : std::u16string_view();
}

// The first record of a kind also gives the drawing's current value.
void FirstValue(bool& first, int32_t& cur, int32_t v) {
  if (first) {
    cur = v;
    first = false;
  }
}

// Counters that hostile input could drive past the int32 range wrap around.
void Bump(int32_t& v) { v = static_cast<int32_t>(static_cast<uint32_t>(v) + 1u); }

// Two corners of a solid are one when they differ by at most this much in
// both x and y.
bool SameCorner(double ax, double ay, double bx, double by) {
  return std::fabs(ax - bx) <= 1e-12 && std::fabs(ay - by) <= 1e-12;
}

struct Corner {
  double x, y;
};

// For each first character of a keyword, the rules that may take it: bit k
// stands for rule k. The rules without a keyword test (contains, anything)
// are in every set. Entry 128 serves every character beyond ASCII.
template <class Rules>
std::array<uint64_t, 129> CandidatesByFirstChar(const Rules& rules) {
  std::array<uint64_t, 129> m{};
  size_t k = 0;
  for (const auto& r : rules) {
    const bool keyed = r.match == kEqual || r.match == kStartsWith || r.match == kOneOf;
    for (size_t c = 0; c < m.size(); ++c) {
      if (!keyed || (c < 128 && r.key[0] == c)) m[c] |= uint64_t{1} << k;
    }
    ++k;
  }
  return m;
}

}  // namespace

// The record kinds in the order they are tried; the first whose keyword test
// and token count both hold takes the line. Order matters where tests overlap:
// "lgn" before "lg", "cn$" before "cn", and four tokens that nothing else
// claims are a line segment, whatever the first one says.
const TJGdata::ReadRule TJGdata::kReadRules[] = {
    // keyword                           test         tokens       handler
    {u"file=",                           kContains,   kAnyN,       &TJGdata::R_File},
    {u"hk",                              kEqual,      AtLeast(2),  &TJGdata::R_Jikukaku},
    {u"hs",                              kEqual,      AtLeast(17), &TJGdata::R_LGrpScale},
    {u"hzs",                             kEqual,      AtLeast(3),  &TJGdata::R_ZumenSize},
    {u"hcw",                             kEqual,      AtLeast(11), &TJGdata::R_MojiW},
    {u"hch",                             kEqual,      AtLeast(11), &TJGdata::R_MojiH},
    {u"hcd",                             kEqual,      AtLeast(11), &TJGdata::R_MojiD},
    {u"hcc",                             kEqual,      AtLeast(11), &TJGdata::R_MojiC},
    {u"bz",                              kEqual,      kAnyN,       &TJGdata::R_Zusun},
    {u"hn",                              kEqual,      AtLeast(5),  &TJGdata::R_Area},
    {u"hrgb",                            kEqual,      AtLeast(9),  &TJGdata::R_RGB},
    {u"lgn",                             kStartsWith, kAnyN,       &TJGdata::R_LGrpName},
    {u"lyn",                             kStartsWith, kAnyN,       &TJGdata::R_LayName},
    {u"lg",                              kStartsWith, kAnyN,       &TJGdata::R_LGrp},
    {u"ly",                              kStartsWith, kAnyN,       &TJGdata::R_Lay},
    {u"lc",                              kStartsWith, kAnyN,       &TJGdata::R_Col},
    {u"lt",                              kStartsWith, kAnyN,       &TJGdata::R_Ltp},
    {u"lw",                              kStartsWith, kAnyN,       &TJGdata::R_Wid},
    {u"cn$",                             kStartsWith, kAnyN,       &TJGdata::R_Font},
    {u"cn",                              kStartsWith, kAnyN,       &TJGdata::R_Mjs},
    {u"cc",                              kStartsWith, kAnyN,       &TJGdata::R_Mbs},
    {u"z1 z2 z3 z4 z5",                  kOneOf,      kAnyN,       &TJGdata::R_Attr},
    {u"pn",                              kStartsWith, kAnyN,       &TJGdata::R_PCol},
    {u"pl",                              kEqual,      kAnyN,       &TJGdata::R_CrvStart},
    {u"msg",                             kEqual,      kAnyN,       &TJGdata::R_DimStart},
    {u"#",                               kEqual,      kAnyN,       &TJGdata::R_GroupEnd},
    {u"hp",                              kStartsWith, AtLeast(3),  &TJGdata::R_IPoint},
    {u"hhp",                             kStartsWith, kAnyN,       &TJGdata::R_NextIPoint},
    {u"ci",                              kEqual,      Exactly(4),  &TJGdata::R_Circle},
    {u"ci",                              kEqual,      AtLeast(8),  &TJGdata::R_Arc},
    {kTextKeywords,                      kOneOf,      AtLeast(6),  &TJGdata::R_Text},
    {u"pt",                              kEqual,      Exactly(3),  &TJGdata::R_Ten},
    {u"pt",                              kEqual,      AtLeast(6),  &TJGdata::R_Mark},
    {u"BL",                              kEqual,      AtLeast(4),  &TJGdata::R_Blk},
    {u"sl",                              kEqual,      Exactly(5),  &TJGdata::R_Solid2},
    {u"sl",                              kEqual,      Exactly(7),  &TJGdata::R_Solid3},
    {u"sl",                              kEqual,      AtLeast(9),  &TJGdata::R_Solid4},
    {u"sc",                              kEqual,      AtLeast(9),  &TJGdata::R_SolidC},
    {u"se",                              kEqual,      AtLeast(9),  &TJGdata::R_SolidE},
    {u"so",                              kEqual,      AtLeast(9),  &TJGdata::R_SolidO},
    {u"sg",                              kEqual,      AtLeast(9),  &TJGdata::R_SolidG},
    {u"",                                kAnything,   Exactly(4),  &TJGdata::R_Line},
};

// The rules are tried in table order; the first character only skips those
// whose keyword cannot match.
int32_t TJGdata::RuleFor(std::u16string_view t0, int32_t n) {
  static_assert(std::size(kReadRules) <= 64, "one bit per rule");
  static const std::array<uint64_t, 129> kCandidates = CandidatesByFirstChar(kReadRules);
  if (n == 1 && t0.empty()) return -1;
  const char16_t first = t0.empty() ? u'\0' : t0[0];
  for (uint64_t m = kCandidates[first < 128 ? first : 128]; m != 0; m &= m - 1) {
    const int k = std::countr_zero(m);
    const ReadRule& r = kReadRules[k];
    if (KeyMatches(r.match, r.key, t0) && r.count.Holds(n)) return k;
  }
  return -1;
}

// ---------------------------------------------------------------------------
// The drawing file name and the indicated points.

void TJGdata::R_File(const ReadTokens& tk) { ZumenFile = From(tk[0], 5); }

namespace {
// The markers after the number of "hp" and of "hhp"; the place in the list,
// counted from 1, is the marker's sta.
constexpr std::u16string_view kPointMarks[] = {u"-", u"ln", u"ci", u"ch"};
constexpr std::span<const std::u16string_view> kNextPointMarks(kPointMarks + 1, 3);

// The number text of an indicated-point record whose keyword is `from` long:
// up to the first occurrence of the last marker found, in the list's order.
// *mark is that marker's place in the list, -1 for none.
std::u16string_view PointNumber(std::u16string_view t0, size_t from,
                                std::span<const std::u16string_view> marks, int* mark) {
  std::u16string_view num = From(t0, from);
  *mark = -1;
  for (size_t m = 0; m < marks.size(); ++m) {
    const size_t at = t0.find(marks[m]);
    if (at != std::u16string_view::npos && at >= from) {
      num = t0.substr(from, at - from);
      *mark = static_cast<int>(m);
    }
  }
  return num;
}
}  // namespace

// hp<number>[marker] x y, the marker one of "-", "ln", "ci", "ch".
void TJGdata::R_IPoint(const ReadTokens& tk) {
  int mark;
  const int32_t no = StrToIntZ(PointNumber(tk[0], 2, kPointMarks, &mark));
  const int32_t sta = mark + 1;
  if (no < 1 || no > 99) return;
  TJwwIndPoint& p = IPoints[static_cast<size_t>(no)];
  p.flg = true;
  p.x = tk.Real(1);
  p.y = tk.Real(2);
  p.sta = sta;
  Bump(IPointN);
}

// hhp<number>[marker]: the next stored entity refers to that indicated point.
void TJGdata::R_NextIPoint(const ReadTokens& tk) {
  int mark;
  w_IPNo = StrToIntZ(PointNumber(tk[0], 3, kNextPointMarks, &mark));
}

// ---------------------------------------------------------------------------
// Header records.

void TJGdata::R_Jikukaku(const ReadTokens& tk) { Jikukaku = tk.Real(1); }

void TJGdata::R_LGrpScale(const ReadTokens& tk) {
  for (int32_t k = 0; k < 16; ++k) LGrpScale[static_cast<size_t>(k)] = tk.Real(k + 1);
}

void TJGdata::R_ZumenSize(const ReadTokens& tk) {
  ZumenXsize = tk.Real(1);
  ZumenYsize = tk.Real(2);
}

void TJGdata::R_MojiW(const ReadTokens& tk) {
  for (int32_t k = 1; k <= 10; ++k) Mojisyu[static_cast<size_t>(k)].W = tk.Real(k);
}

void TJGdata::R_MojiH(const ReadTokens& tk) {
  for (int32_t k = 1; k <= 10; ++k) Mojisyu[static_cast<size_t>(k)].H = tk.Real(k);
}

void TJGdata::R_MojiD(const ReadTokens& tk) {
  for (int32_t k = 1; k <= 10; ++k) Mojisyu[static_cast<size_t>(k)].D = tk.Real(k);
}

void TJGdata::R_MojiC(const ReadTokens& tk) {
  for (int32_t k = 1; k <= 10; ++k) Mojisyu[static_cast<size_t>(k)].C = tk.Int(k);
}

void TJGdata::R_Zusun(const ReadTokens&) { Zusun = true; }

void TJGdata::R_Area(const ReadTokens& tk) {
  AreaX1 = tk.Real(1);
  AreaY1 = tk.Real(2);
  AreaX2 = tk.Real(3);
  AreaY2 = tk.Real(4);
}

// The k-th value goes to entry k; values beyond the table's 356 are dropped.
void TJGdata::R_RGB(const ReadTokens& tk) {
  const int32_t last = std::min<int32_t>(tk.n - 1, static_cast<int32_t>(RGB.size()) - 1);
  for (int32_t k = 1; k <= last; ++k) RGB[static_cast<size_t>(k)] = tk.Int(k);
}

// ---------------------------------------------------------------------------
// Layer names and layers. A name belongs to the layer group (and layer) chosen
// by the records before it; the rest of the line joins it, one space a gap.

namespace {
template <class Tokens>
std::u16string JoinName(const Tokens& tk) {
  std::u16string name(From(tk[0], 3));
  for (int32_t k = 1; k < tk.n; ++k) {
    name += u' ';
    name += tk[k];
  }
  return name;
}
}  // namespace

void TJGdata::R_LGrpName(const ReadTokens& tk) {
  if (w_LGrp < 0 || w_LGrp > 15) return;
  LGrpName[static_cast<size_t>(w_LGrp)] = JoinName(tk);
}

void TJGdata::R_LayName(const ReadTokens& tk) {
  if (w_LGrp < 0 || w_LGrp > 15 || w_Lay < 0 || w_Lay > 15) return;
  LayName[static_cast<size_t>(w_LGrp * 16 + w_Lay)] = JoinName(tk);
}

// Only the one character after "lg" counts: lg12 is group 1.
void TJGdata::R_LGrp(const ReadTokens& tk) {
  const int32_t v = HexDigitAt(tk[0], 2);
  FirstValue(w_FlgLGrp, CurLGrp, v);
  w_LGrp = v;
  if (tk.n >= 2) LGrpStat[static_cast<size_t>(w_LGrp)] = tk.Int(1);
  w_CrvFl = false;
}

void TJGdata::R_Lay(const ReadTokens& tk) {
  const int32_t v = HexDigitAt(tk[0], 2);
  FirstValue(w_FlgLay, CurLay, v);
  w_Lay = v;
  if (tk.n >= 2 && w_LGrp >= 0 && w_LGrp <= 15) {
    LayStat[static_cast<size_t>(w_LGrp * 16 + w_Lay)] = tk.Int(1);
  }
  w_CrvFl = false;
}

// ---------------------------------------------------------------------------
// Pen and text attributes. Each of them also ends an open curve: a curve is
// one run of lines drawn with one pen.

void TJGdata::R_Col(const ReadTokens& tk) {
  const int32_t v = StrToIntZ(From(tk[0], 2));
  FirstValue(w_FlgCol, CurCol, v);
  w_Col = v;
  // Colour 10 is the fill colour of solids, given as an RGB value after it.
  if (w_Col == 10 && tk.n >= 2) w_SlCol = tk.Int(1);
  w_CrvFl = false;
}

void TJGdata::R_Ltp(const ReadTokens& tk) {
  const int32_t v = StrToIntZ(From(tk[0], 2));
  FirstValue(w_FlgLtp, CurLtp, v);
  w_Ltp = v;
  w_CrvFl = false;
}

void TJGdata::R_Wid(const ReadTokens& tk) {
  const int32_t v = StrToIntZ(From(tk[0], 2));
  FirstValue(w_FlgWid, CurWid, v);
  w_Wid = v;
  WidF = true;
  w_CrvFl = false;
}

// The first font with a name is the drawing's current one.
void TJGdata::R_Font(const ReadTokens& tk) {
  const std::u16string_view name = From(tk[0], 3);
  if (CurFont.empty()) CurFont = name;
  w_Font = name;
  w_CrvFl = false;
}

// Kind 0 is a free size whose width, height, spacing and colour follow; with
// fewer values the free size in force stays.
void TJGdata::R_Mjs(const ReadTokens& tk) {
  const int32_t kind = StrToIntZ(From(tk[0], 2));
  if (w_FlgMjs) {
    CurMjs = kind;
    if (CurMjs == 0 && tk.n >= 5) {
      CurMjsW = tk.Real(1);
      CurMjsH = tk.Real(2);
      CurMjsD = tk.Real(3);
      CurMjsC = tk.Int(4);
    }
    w_FlgMjs = false;
  }
  w_Mjs = kind;
  if (w_Mjs == 0 && tk.n >= 5) {
    w_MjsW = tk.Real(1);
    w_MjsH = tk.Real(2);
    w_MjsD = tk.Real(3);
    w_MjsC = tk.Int(4);
  }
  w_CrvFl = false;
}

void TJGdata::R_Mbs(const ReadTokens& tk) {
  const std::u16string_view t0 = tk[0];
  const char16_t c = t0.size() > 2 ? t0[2] : u'\0';
  w_Mbs = (c >= u'0' && c <= u'8') ? c - u'0' : 0;
  FirstValue(r_MbsFirst, CurMbs, w_Mbs);
  w_CrvFl = false;
}

void TJGdata::R_Attr(const ReadTokens& tk) { w_Attr |= 1 << (tk[0][1] - u'1'); }

void TJGdata::R_PCol(const ReadTokens& tk) {
  w_PtCol = StrToIntZ(From(tk[0], 2));
  FirstValue(r_PColFirst, CurPCol, w_PtCol);
  w_CrvFl = false;
}

// ---------------------------------------------------------------------------
// Record groups: a curve is "pl", its lines, "#"; a dimension is "msg", its
// line, its "cs" text.

void TJGdata::R_CrvStart(const ReadTokens&) {
  Bump(w_CrvNo);
  w_CrvFl = true;
  w_DimFl = false;
}

void TJGdata::R_DimStart(const ReadTokens&) {
  w_DimFl = true;
  w_CrvFl = false;
}

void TJGdata::R_GroupEnd(const ReadTokens&) { w_CrvFl = w_DimFl = false; }

// ---------------------------------------------------------------------------
// Entities. The attribute bits and the indicated point belong to the one
// entity stored next; any entity but a bare line also ends an open curve or
// dimension.

void TJGdata::R_EntityDone() {
  w_Attr = 0;
  w_IPNo = 0;
  w_CrvFl = false;
  w_DimFl = false;
}

// Four bare numbers: a segment of the open curve, the line of the open
// dimension, or a line of its own.
void TJGdata::R_Line(const ReadTokens& tk) {
  TJwwEntLine* l;
  if (w_DimFl) {
    l = &EntSunLine;
    SetEntAttr(l->att);
    l->CrvNo = 0;
  } else {
    l = &Kinds::Append<jkLine>(*this);
    l->CrvNo = w_CrvFl ? w_CrvNo : 0;
  }
  l->x1 = tk.Real(0);
  l->y1 = tk.Real(1);
  l->x2 = tk.Real(2);
  l->y2 = tk.Real(3);
  w_Attr = 0;
  w_IPNo = 0;
}

void TJGdata::R_Circle(const ReadTokens& tk) {
  TJwwEntCircle& c = Kinds::Append<jkCirc>(*this);
  c.cx = tk.Real(1);
  c.cy = tk.Real(2);
  c.cr = tk.Real(3);
  R_EntityDone();
}

void TJGdata::R_Arc(const ReadTokens& tk) {
  TJwwEntArc& a = Kinds::Append<jkArc>(*this);
  a.cx = tk.Real(1);
  a.cy = tk.Real(2);
  a.cr = tk.Real(3);
  a.sa = tk.Real(4);
  a.ea = tk.Real(5);
  a.he = tk.Real(6);
  a.ka = tk.Real(7);
  R_EntityDone();
}

// A "cs" text while a dimension is open is that dimension's text: the
// dimension is stored with the line read since "msg".
void TJGdata::R_Text(const ReadTokens& tk) {
  const std::u16string_view t0 = tk[0];
  if (w_DimFl && t0 == u"cs") {
    TJwwEntDim& d = Kinds::Append<jkDim>(*this);
    d.lin = EntSunLine;
    d.lin.CrvNo = 0;
    FillText(d.txt, 2, tk.Real(1), tk.Real(2), tk.Real(3), tk.Real(4), tk[5]);
  } else {
    FillText(Kinds::Append<jkText>(*this), TextRecordNo(t0), tk.Real(1), tk.Real(2), tk.Real(3),
             tk.Real(4), tk[5]);
  }
  R_EntityDone();
}

void TJGdata::R_Ten(const ReadTokens& tk) {
  TJwwEntPnt& p = Kinds::Append<jkPnt>(*this);
  p.px = tk.Real(1);
  p.py = tk.Real(2);
  p.att.Col = w_PtCol;
  R_EntityDone();
}

void TJGdata::R_Mark(const ReadTokens& tk) {
  TJwwEntMark& m = Kinds::Append<jkMark>(*this);
  m.px = tk.Real(1);
  m.py = tk.Real(2);
  m.att.Col = w_PtCol;
  m.bai = tk.Real(3);
  m.ang = tk.Real(4);
  m.cod = tk.Int(5);
  R_EntityDone();
}

void TJGdata::R_Blk(const ReadTokens& tk) {
  TJwwEntBlk& b = Kinds::Append<jkBlk>(*this);
  b.px = tk.Real(1);
  b.py = tk.Real(2);
  b.nam = tk[3];
  R_EntityDone();
}

// ---------------------------------------------------------------------------
// Solids of corner points. Corners that coincide are dropped, so a record of
// four corners may store a solid of two or three.

namespace {

void Corners(TJwwEntSld2& s, int32_t color, Corner a, Corner b) {
  s.Color = color;
  s.x1 = a.x;
  s.y1 = a.y;
  s.x2 = b.x;
  s.y2 = b.y;
}

void Corners(TJwwEntSld3& s, int32_t color, Corner a, Corner b, Corner c) {
  s.Color = color;
  s.x1 = a.x;
  s.y1 = a.y;
  s.x2 = b.x;
  s.y2 = b.y;
  s.x3 = c.x;
  s.y3 = c.y;
}

void Corners(TJwwEntSld4& s, int32_t color, Corner a, Corner b, Corner c, Corner d) {
  s.Color = color;
  s.x1 = a.x;
  s.y1 = a.y;
  s.x2 = b.x;
  s.y2 = b.y;
  s.x3 = c.x;
  s.y3 = c.y;
  s.x4 = d.x;
  s.y4 = d.y;
}

bool Same(Corner a, Corner b) { return SameCorner(a.x, a.y, b.x, b.y); }

}  // namespace

void TJGdata::R_Solid2(const ReadTokens& tk) {
  const Corner p1{tk.Real(1), tk.Real(2)}, p2{tk.Real(3), tk.Real(4)};
  Corners(Kinds::Append<jkSld2>(*this), w_SlCol, p1, p2);
  R_EntityDone();
}

// Three corners: the first and third are not compared.
void TJGdata::R_Solid3(const ReadTokens& tk) {
  const Corner p1{tk.Real(1), tk.Real(2)}, p2{tk.Real(3), tk.Real(4)}, p3{tk.Real(5), tk.Real(6)};
  if (Same(p1, p2)) {
    Corners(Kinds::Append<jkSld2>(*this), w_SlCol, p1, p3);
  } else if (Same(p2, p3)) {
    Corners(Kinds::Append<jkSld2>(*this), w_SlCol, p1, p2);
  } else {
    Corners(Kinds::Append<jkSld3>(*this), w_SlCol, p1, p2, p3);
  }
  R_EntityDone();
}

void TJGdata::R_Solid4(const ReadTokens& tk) {
  const Corner p1{tk.Real(1), tk.Real(2)}, p2{tk.Real(3), tk.Real(4)},
      p3{tk.Real(5), tk.Real(6)}, p4{tk.Real(7), tk.Real(8)};
  const int32_t c = w_SlCol;
  if (Same(p1, p2) && Same(p1, p3)) {
    Corners(Kinds::Append<jkSld2>(*this), c, p1, p4);
  } else if (Same(p2, p3) && Same(p2, p4)) {
    Corners(Kinds::Append<jkSld2>(*this), c, p1, p2);
  } else if (Same(p1, p2) && Same(p3, p4)) {
    Corners(Kinds::Append<jkSld2>(*this), c, p1, p3);
  } else if (Same(p4, p1) || Same(p4, p2) || Same(p4, p3)) {
    Corners(Kinds::Append<jkSld3>(*this), c, p1, p2, p3);
  } else if (Same(p3, p1) || Same(p3, p2)) {
    Corners(Kinds::Append<jkSld3>(*this), c, p1, p2, p4);
  } else if (Same(p2, p1)) {
    Corners(Kinds::Append<jkSld3>(*this), c, p1, p3, p4);
  } else {
    Corners(Kinds::Append<jkSld4>(*this), c, p1, p2, p3, p4);
  }
  R_EntityDone();
}

// ---------------------------------------------------------------------------
// Circular solids: centre, radius, flatness, tilt, two angles, then a flag
// ("sc", "se") or a second radius ("so", "sg").

namespace {
// The first seven numbers of a circular solid; the eighth differs by kind.
template <class T>
void FillRoundFrom(T& s, int32_t color, const auto& tk) {
  FillRound(s, color, tk.Real(1), tk.Real(2), tk.Real(3), tk.Real(4), tk.Real(5), tk.Real(6),
            tk.Real(7));
}
}  // namespace

void TJGdata::R_SolidC(const ReadTokens& tk) {
  TJwwEntSldC& s = Kinds::Append<jkSldC>(*this);
  FillRoundFrom(s, w_SlCol, tk);
  s.fl = tk.Int(8);
  R_EntityDone();
}

void TJGdata::R_SolidE(const ReadTokens& tk) {
  TJwwEntSldC& s = Kinds::Append<jkSldE>(*this);
  FillRoundFrom(s, w_SlCol, tk);
  s.fl = tk.Int(8);
  R_EntityDone();
}

void TJGdata::R_SolidO(const ReadTokens& tk) {
  TJwwEntSldD& s = Kinds::Append<jkSldO>(*this);
  FillRoundFrom(s, w_SlCol, tk);
  s.ri = tk.Real(8);
  R_EntityDone();
}

void TJGdata::R_SolidG(const ReadTokens& tk) {
  TJwwEntSldD& s = Kinds::Append<jkSldG>(*this);
  FillRoundFrom(s, w_SlCol, tk);
  s.ri = tk.Real(8);
  R_EntityDone();
}

// ---------------------------------------------------------------------------
// What the diagnostics note about a line.

namespace {

// A number written as zero: the only texts StrToFloatZ reads as 0 that are
// numbers (any other 0 is a text that is none, or one out of range).
bool IsZeroText(std::u16string_view s) {
  size_t i = 0;
  while (i < s.size() && s[i] == u' ') ++i;
  if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) ++i;
  size_t zeros = 0;
  bool point = false;
  for (; i < s.size(); ++i) {
    if (s[i] == u'0') {
      ++zeros;
    } else if (s[i] == u'.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (zeros == 0) return false;
  if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
    ++i;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) ++i;
    const size_t digits = i;
    while (i < s.size() && s[i] >= u'0' && s[i] <= u'9') ++i;
    if (i == digits) return false;
  }
  return i == s.size();
}

// Nearly every number of a file is a plain decimal, which reads as it stands
// while its digits cannot leave the range of a double.
bool IsPlainDecimal(std::u16string_view s) {
  size_t digits = 0;
  bool point = false;
  for (size_t i = s.starts_with(u'-') ? 1 : 0; i < s.size(); ++i) {
    if (s[i] >= u'0' && s[i] <= u'9') {
      ++digits;
    } else if (s[i] == u'.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  return digits > 0 && digits <= 300;
}

bool IsRealText(std::u16string_view s) {
  return IsPlainDecimal(s) || StrToFloatZ(s) != 0 || IsZeroText(s);
}

// An integer read as 0 is a written zero when its last character is a 0 and
// the same text ending in 1 reads as 1 or -1: same digits, same form.
bool IsIntText(std::u16string_view s) {
  if (StrToIntZ(s) != 0) return true;
  if (s.empty() || s.back() != u'0') return false;
  std::u16string one(s);
  one.back() = u'1';
  const int32_t v = StrToIntZ(one);
  return v == 1 || v == -1;
}

// What a record reads as a number after its keyword, in the first field.
enum class Head : uint8_t { None, Int, HexDigit, BaseDigit, Point, NextPoint };
// When the record reads its further fields.
enum class When : uint8_t { Always, HeadIs10, HeadIs0AndFiveFields };

}  // namespace

int32_t TJGdata::NoteOfLine(const ReadTokens& tk) {
  const std::u16string_view t0 = tk[0];
  if (tk.n == 1 && t0.empty()) return 0;
  const int32_t rule = RuleFor(t0, tk.n);
  if (rule < 0) {
    // The first line the CAD program writes, and comments, carry nothing to read.
    return t0 == u"hq" || t0.starts_with(u"h#") ? 0 : jnNoRecord;
  }
  const ReadRule* r = &kReadRules[rule];
  if (r->handler == &TJGdata::R_Line && !IsRealText(t0)) return jnWordAsLine;

  // The numbers each record reads, as its handler reads them: the head, then
  // fields `first` to `last` as far as the line has them, integers from
  // `ints` on. Records not listed read no number.
  struct Use {
    void (TJGdata::*handler)(const ReadTokens&);
    Head head;
    int32_t first, last, ints;
    When when = When::Always;
  };
  constexpr int32_t kNone = 0, kReals = 999;
  static constexpr Use kUses[] = {
      {&TJGdata::R_Jikukaku, Head::None, 1, 1, kReals},
      {&TJGdata::R_LGrpScale, Head::None, 1, 16, kReals},
      {&TJGdata::R_ZumenSize, Head::None, 1, 2, kReals},
      {&TJGdata::R_MojiW, Head::None, 1, 10, kReals},
      {&TJGdata::R_MojiH, Head::None, 1, 10, kReals},
      {&TJGdata::R_MojiD, Head::None, 1, 10, kReals},
      {&TJGdata::R_MojiC, Head::None, 1, 10, 1},
      {&TJGdata::R_Area, Head::None, 1, 4, kReals},
      {&TJGdata::R_RGB, Head::None, 1, 356, 1},
      {&TJGdata::R_LGrp, Head::HexDigit, 1, 1, 1},
      {&TJGdata::R_Lay, Head::HexDigit, 1, 1, 1},
      {&TJGdata::R_Col, Head::Int, 1, 1, 1, When::HeadIs10},
      {&TJGdata::R_Ltp, Head::Int, kNone, kNone, kReals},
      {&TJGdata::R_Wid, Head::Int, kNone, kNone, kReals},
      {&TJGdata::R_Mjs, Head::Int, 1, 4, 4, When::HeadIs0AndFiveFields},
      {&TJGdata::R_Mbs, Head::BaseDigit, kNone, kNone, kReals},
      {&TJGdata::R_PCol, Head::Int, kNone, kNone, kReals},
      {&TJGdata::R_IPoint, Head::Point, 1, 2, kReals},
      {&TJGdata::R_NextIPoint, Head::NextPoint, kNone, kNone, kReals},
      {&TJGdata::R_Circle, Head::None, 1, 3, kReals},
      {&TJGdata::R_Arc, Head::None, 1, 7, kReals},
      {&TJGdata::R_Text, Head::None, 1, 4, kReals},
      {&TJGdata::R_Ten, Head::None, 1, 2, kReals},
      {&TJGdata::R_Mark, Head::None, 1, 5, 5},
      {&TJGdata::R_Blk, Head::None, 1, 2, kReals},
      {&TJGdata::R_Solid2, Head::None, 1, 4, kReals},
      {&TJGdata::R_Solid3, Head::None, 1, 6, kReals},
      {&TJGdata::R_Solid4, Head::None, 1, 8, kReals},
      {&TJGdata::R_SolidC, Head::None, 1, 8, 8},
      {&TJGdata::R_SolidE, Head::None, 1, 8, 8},
      {&TJGdata::R_SolidO, Head::None, 1, 8, kReals},
      {&TJGdata::R_SolidG, Head::None, 1, 8, kReals},
      {&TJGdata::R_Line, Head::None, 0, 3, kReals},
  };
  const Use* use = nullptr;
  for (const Use& u : kUses) {
    if (u.handler == r->handler) use = &u;
  }
  if (use == nullptr) return 0;

  int mark;
  bool ok = true;
  switch (use->head) {
    case Head::None:
      break;
    case Head::Int:
      ok = IsIntText(From(t0, 2));
      break;
    case Head::HexDigit: {
      const char16_t c = t0.size() > 2 ? t0[2] : u'\0';
      ok = (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
      break;
    }
    case Head::BaseDigit:
      ok = t0.size() > 2 && t0[2] >= u'0' && t0[2] <= u'8';
      break;
    case Head::Point:
      ok = IsIntText(PointNumber(t0, 2, kPointMarks, &mark));
      break;
    case Head::NextPoint:
      ok = IsIntText(PointNumber(t0, 3, kNextPointMarks, &mark));
      break;
  }
  const int32_t head = StrToIntZ(From(t0, 2));
  const bool fields = use->when == When::Always ||
                      (use->when == When::HeadIs10 && head == 10) ||
                      (use->when == When::HeadIs0AndFiveFields && head == 0 && tk.n >= 5);
  if (use->last > 0 && fields) {
    for (int32_t k = use->first; k <= use->last && k < tk.n; ++k) {
      ok = ok && (k >= use->ints ? IsIntText(tk[k]) : IsRealText(tk[k]));
    }
  }
  if (!ok) return jnBadNumber;
  // Read, but not as the line says.
  if (r->handler == &TJGdata::R_IPoint) {
    const int32_t no = StrToIntZ(PointNumber(t0, 2, kPointMarks, &mark));
    if (no < 1 || no > 99) return jnPointRange;
  }
  if (r->handler == &TJGdata::R_Text && (tk.n > 7 || (tk.n == 7 && !tk[6].empty()))) {
    return jnTextWords;
  }
  if ((r->handler == &TJGdata::R_LGrp || r->handler == &TJGdata::R_Lay) && t0.size() > 3) {
    return jnLayerDigits;
  }
  return 0;
}

