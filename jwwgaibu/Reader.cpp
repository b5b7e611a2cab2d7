// Reading the exchange file: loading and decoding, the tokenizer, and the
// record table that turns each line into header values, layer tables,
// attribute state, indicated points and stored entities.
//
// Files hold millions of lines, so the bytes are read once and cut into lines
// where they lie; each line is decoded into one reused buffer and split into
// tokens that are views into a second reused buffer.
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

#include "jwwgaibu/JwwGaibu.h"
#include "jwwgaibu/Kinds.h"
#include "jwwgaibu/Records.h"
#include "myfunc/MyFunc.h"
#include "platform/Platform.h"

namespace {

constexpr double kPow10[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                             1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// A real token, read as StrToFloatZ reads it. Nearly every number in the file
// is plain decimal with at most 15 digits: the digits then form an integer
// below 2^53 and the divisor a power of ten below 2^53, both exact doubles, so
// the one correctly rounded division gives the double nearest to the decimal,
// the same double StrToFloatZ gives. Every other shape goes to StrToFloatZ.
double ReadReal(std::u16string_view s) {
  const char16_t* p = s.data();
  const char16_t* const end = p + s.size();
  const bool negative = p != end && *p == u'-';
  if (negative) ++p;
  const char16_t* const first = p;
  const char16_t* dot = nullptr;
  uint64_t m = 0;  // wraps harmlessly past 19 digits: those go to StrToFloatZ
  for (; p != end; ++p) {
    const unsigned d = static_cast<unsigned>(*p) - u'0';
    if (d > 9) {
      if (*p != u'.' || dot) break;
      dot = p;
      continue;
    }
    m = m * 10 + d;
  }
  const ptrdiff_t digits = (p - first) - (dot ? 1 : 0);
  if (p != end || digits == 0 || digits > 15) return StrToFloatZ(s);
  const double v = static_cast<double>(m) / kPow10[dot ? end - dot - 1 : 0];
  return negative ? -v : v;
}

}  // namespace

// The tokens of one line. t[0] is the keyword; n counts the tokens, an empty
// last one after trailing separators included. The views point into buf.
struct TJGdata::ReadTokens {
  // Tokens past this many are dropped with the rest of the line.
  static constexpr int32_t kMax = 400;

  int32_t n = 0;
  std::array<std::u16string_view, kMax> t{};
  std::u16string buf;

  std::u16string_view operator[](int32_t k) const {
    return k < n ? t[static_cast<size_t>(k)] : std::u16string_view();
  }
  double Real(int32_t k) const { return ReadReal((*this)[k]); }
  int32_t Int(int32_t k) const { return StrToIntZ((*this)[k]); }

  template <class Ch>
  bool Split(const Ch* p, const Ch* end);
};

// Spaces and tabs separate tokens, and a run of them counts once. A quote (not
// kept) or the first "=" (kept) ends the splitting: the rest of the line joins
// the current token, spaces and quotes included, which is how a text record
// carries its text and the file record a path with spaces. Control characters
// are dropped wherever they stand.
//
// Ch is char16_t for decoded text, or char for the bytes of a line in an
// encoding that keeps ASCII as it is (code page 932, UTF-8): a line of ASCII
// alone is then split without being decoded first. With char the split gives
// up, returning false, at the first byte beyond ASCII.
template <class Ch>
bool TJGdata::ReadTokens::Split(const Ch* p, const Ch* const end) {
  constexpr bool kBytes = sizeof(Ch) == 1;
  auto unit = [](Ch c) -> char16_t {
    if constexpr (kBytes) {
      return static_cast<unsigned char>(c);
    } else {
      return c;
    }
  };
  // Tokens never hold more characters than the line.
  const size_t len = static_cast<size_t>(end - p);
  if (buf.size() < len) buf.resize(len);
  char16_t* const base = buf.data();
  char16_t* start = base;  // the current token runs from start to o
  char16_t* o = base;
  int32_t cur = 0;
  bool splitting = true;
  while (p < end) {
    if constexpr (kBytes && std::endian::native == std::endian::little) {
      // Eight plain bytes at a time: ASCII from "#" on, "=" excepted. The
      // lowest flagged byte of m is the first one that is not plain.
      constexpr uint64_t kOnes = 0x0101010101010101ULL, kHighs = 0x8080808080808080ULL;
      while (end - p >= 8) {
        uint64_t w;
        std::memcpy(&w, p, 8);
        const uint64_t eq = w ^ (u'=' * kOnes);
        const uint64_t m = (((w - u'#' * kOnes) & ~w) | ((eq - kOnes) & ~eq) | w) & kHighs;
        const size_t plain = m == 0 ? 8 : static_cast<size_t>(std::countr_zero(m)) / 8;
        for (size_t k = 0; k < 8; ++k) o[k] = static_cast<unsigned char>(p[k]);
        o += plain;
        p += plain;
        if (plain < 8) break;
      }
      if (p == end) break;
    }
    const char16_t c = unit(*p++);
    // Digits, letters and most signs: nothing to decide.
    if (c > u'"' && c != u'=') {
      if (kBytes && c >= 0x80) return false;
      *o++ = c;
      continue;
    }
    if (c == u'"') {
      splitting = false;
      break;
    }
    if (c == u'=') {
      *o++ = c;
      splitting = false;
      break;
    }
    if (c == u' ' || c == u'\t') {
      if (o != start) {
        if (cur == kMax - 1) break;
        t[static_cast<size_t>(cur++)] = std::u16string_view(start, static_cast<size_t>(o - start));
        start = o;
      }
      continue;
    }
    if (c >= 0x20) *o++ = c;
  }
  if (!splitting) {
    for (; p < end; ++p) {
      const char16_t c = unit(*p);
      if (kBytes && c >= 0x80) return false;
      if (c >= 0x20) *o++ = c;
    }
  }
  t[static_cast<size_t>(cur)] = std::u16string_view(start, static_cast<size_t>(o - start));
  n = cur + 1;
  return true;
}

namespace {

enum class Match : uint8_t { Equal, StartsWith, Contains, OneOf, Anything };
enum class Count : uint8_t { Any, Exactly, AtLeast };

struct CountRule {
  Count how;
  int32_t k;
  bool Holds(int32_t n) const {
    return how == Count::Any || (how == Count::Exactly ? n == k : n >= k);
  }
};

constexpr CountRule kAnyN{Count::Any, 0};
constexpr CountRule Exactly(int32_t k) { return {Count::Exactly, k}; }
constexpr CountRule AtLeast(int32_t k) { return {Count::AtLeast, k}; }

constexpr Match kEqual = Match::Equal;
constexpr Match kStartsWith = Match::StartsWith;
constexpr Match kContains = Match::Contains;
constexpr Match kOneOf = Match::OneOf;  // equal to one of the space-separated keywords
constexpr Match kAnything = Match::Anything;

bool KeyMatches(Match how, std::u16string_view key, std::u16string_view t0) {
  switch (how) {
    case Match::Equal:
      return t0 == key;
    case Match::StartsWith:
      return t0.starts_with(key);
    case Match::Contains:
      return t0.find(key) != std::u16string_view::npos;
    case Match::OneOf:
      while (!key.empty()) {
        const size_t sp = key.find(u' ');
        if (t0 == key.substr(0, sp)) return true;
        if (sp == std::u16string_view::npos) break;
        key.remove_prefix(sp + 1);
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

}  // namespace

struct TJGdata::ReadRule {
  std::u16string_view key;
  Match match;
  CountRule count;
  void (TJGdata::*handler)(const ReadTokens&);
};

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

namespace {

// One code unit of the text at byte offset i: a byte in code page 932 and
// UTF-8, where the bytes of CR, LF and NUL never occur inside a multibyte
// character, and two bytes in UTF-16.
template <size_t Width, bool BigEndian>
unsigned UnitAt(const unsigned char* b, size_t i) {
  if constexpr (Width == 1) {
    return b[i];
  } else if constexpr (BigEndian) {
    return static_cast<unsigned>(b[i]) << 8 | b[i + 1];
  } else {
    return static_cast<unsigned>(b[i + 1]) << 8 | b[i];
  }
}

// The text up to its first NUL.
template <size_t Width, bool BigEndian>
std::string_view UpToNul(std::string_view text) {
  const auto* b = reinterpret_cast<const unsigned char*>(text.data());
  if constexpr (Width == 1) {
    if (const void* nul = std::memchr(b, 0, text.size())) {
      return text.substr(0, static_cast<size_t>(static_cast<const unsigned char*>(nul) - b));
    }
  } else {
    for (size_t i = 0; i + Width <= text.size(); i += Width) {
      if (UnitAt<Width, BigEndian>(b, i) == 0) return text.substr(0, i);
    }
  }
  return text;
}

// Cuts the text into lines at CR LF, a lone LF or a lone CR and hands each
// line's bytes to f; a break at the very end makes no empty line after it. A
// final odd byte of UTF-16 stays with the last line, for the decoder to replace.
template <size_t Width, bool BigEndian, class F>
void ForEachLine(std::string_view text, F&& f) {
  const auto* b = reinterpret_cast<const unsigned char*>(text.data());
  const size_t len = text.size();
  size_t i = 0;
  while (i < len) {
    size_t j = i;
    if constexpr (Width == 1 && std::endian::native == std::endian::little) {
      // Eight bytes at a time: the lowest flagged byte of m is the first one
      // below 0x0E, which CR and LF are (tabs and a few other controls too).
      constexpr uint64_t kOnes = 0x0101010101010101ULL, kHighs = 0x8080808080808080ULL;
      while (len - j >= 8) {
        uint64_t w;
        std::memcpy(&w, b + j, 8);
        const uint64_t m = (w - 0x0E * kOnes) & ~w & kHighs;
        if (m == 0) {
          j += 8;
          continue;
        }
        j += static_cast<size_t>(std::countr_zero(m)) / 8;
        if (b[j] == 0x0A || b[j] == 0x0D) break;
        ++j;
      }
    }
    while (j + Width <= len) {
      const unsigned u = UnitAt<Width, BigEndian>(b, j);
      if (u == 0x0A || u == 0x0D) break;
      j += Width;
    }
    if (j + Width > len) {  // no break before the end
      f(text.substr(i));
      return;
    }
    f(text.substr(i, j - i));
    if (UnitAt<Width, BigEndian>(b, j) == 0x0D && j + 2 * Width <= len &&
        UnitAt<Width, BigEndian>(b, j + Width) == 0x0A) {
      j += Width;  // CR LF is one break
    }
    i = j + Width;
  }
}

// Upper bounds of the entities a file holds, from the first characters and
// the length of each line. Reserving them before reading spares the big arrays
// the copies of growing and the heap the holes those copies leave; memory not
// yet written to costs no physical pages. Only a hint: an entity beyond its
// bound is appended all the same. A line is counted only when it is as long as
// the shortest record of its kind, and a dimension needs both a "msg" and a
// "cs" line, so no file can make the reservation more than a small multiple of
// what records of its size would really store.
struct EntityBounds {
  size_t line = 0, circ = 0, text = 0, msg = 0, cs = 0, pnt = 0, blk = 0, sl = 0;
  size_t sc = 0, se = 0, so = 0, sg = 0;
  size_t Dim() const { return std::min(msg, cs); }
  size_t All() const { return line + circ + text + Dim() + pnt + blk + sl + sc + se + so + sg; }
};

template <size_t Width, bool BigEndian>
void CountLine(std::string_view s, EntityBounds& eb) {
  const auto* b = reinterpret_cast<const unsigned char*>(s.data());
  const size_t n = s.size() / Width;
  size_t i = 0;
  auto at = [&](size_t k) -> unsigned { return k < n ? UnitAt<Width, BigEndian>(b, k * Width) : 0u; };
  while (i < n && (at(i) == ' ' || at(i) == '\t')) ++i;
  const size_t len = n - i;  // from the keyword on
  const unsigned c0 = at(i), c1 = at(i + 1), c2 = at(i + 2);
  if ((c0 >= '0' && c0 <= '9') || c0 == '-' || c0 == '+' || c0 == '.') {
    if (len >= 7) ++eb.line;  // 0 0 0 0
  } else if (c0 == 'c') {
    const char16_t key[2] = {static_cast<char16_t>(c0), static_cast<char16_t>(c1)};
    if (c1 == 'i') {
      if (len >= 8) ++eb.circ;  // ci 0 0 0
    } else if (TextRecordNo({key, 2}) >= 0 && len >= 11) {
      ++eb.text;  // ch 0 0 0 0 and a separator
      if (c1 == 's') ++eb.cs;
    }
  } else if (c0 == 'm' && c1 == 's' && c2 == 'g') {
    ++eb.msg;
  } else if (c0 == 'p' && c1 == 't') {
    if (len >= 6) ++eb.pnt;  // pt 0 0
  } else if (c0 == 'B' && c1 == 'L') {
    if (len >= 7) ++eb.blk;  // BL 0 0 and a separator
  } else if (c0 == 's' && c1 == 'l') {
    if (len >= 10) ++eb.sl;  // sl 0 0 0 0
  } else if (c0 == 's' && len >= 18) {  // sc and eight numbers
    if (c1 == 'c') ++eb.sc;
    if (c1 == 'e') ++eb.se;
    if (c1 == 'o') ++eb.so;
    if (c1 == 'g') ++eb.sg;
  }
}

template <class T>
void Reserve(std::vector<T>& a, int32_t n, size_t more) {
  if (more == 0) return;
  const size_t want = (static_cast<size_t>(n) + more + 999) / 1000 * 1000;
  if (a.capacity() < want) a.reserve(want);
}

}  // namespace

template <size_t Width, bool BigEndian, class Decode>
void TJGdata::ReadLines(std::string_view text, Decode decode) {
  text = UpToNul<Width, BigEndian>(text);
  EntityBounds eb;
  ForEachLine<Width, BigEndian>(text, [&eb](std::string_view s) { CountLine<Width, BigEndian>(s, eb); });
  Reserve(EntNo, EntN, eb.All());
  Reserve(EntLine, EntLineN, eb.line);
  Reserve(EntCirc, EntCircN, eb.circ);
  Reserve(EntArc, EntArcN, eb.circ);
  Reserve(EntText, EntTextN, eb.text);
  Reserve(EntDim, EntDimN, eb.Dim());
  Reserve(EntPnt, EntPntN, eb.pnt);
  Reserve(EntMark, EntMarkN, eb.pnt);
  Reserve(EntBlk, EntBlkN, eb.blk);
  Reserve(EntSld2, EntSld2N, eb.sl);
  Reserve(EntSld3, EntSld3N, eb.sl);
  Reserve(EntSld4, EntSld4N, eb.sl);
  Reserve(EntSldC, EntSldCN, eb.sc);
  Reserve(EntSldE, EntSldEN, eb.se);
  Reserve(EntSldO, EntSldON, eb.so);
  Reserve(EntSldG, EntSldGN, eb.sg);

  ReadTokens tk;
  std::u16string line;
  ForEachLine<Width, BigEndian>(text, [&](std::string_view s) {
    if (s.empty()) return;
    // Code page 932 and UTF-8 keep ASCII as it is, and most lines are ASCII.
    if (Width == 1 && tk.Split(s.data(), s.data() + s.size())) {
      ReadTokensOfLine(tk);
      return;
    }
    decode(s, line);
    ParseLine(line, tk);
  });
  if (ReadNotes != nullptr) NoteLines<Width, BigEndian>(text, decode);
}

// Reader diagnostics: a second look at the lines, taken only on request. It
// changes nothing, so reading is the same with it or without it, and it is
// kept out of line so that reading compiles as it would without it.
template <size_t Width, bool BigEndian, class Decode>
[[gnu::cold, gnu::noinline]] void TJGdata::NoteLines(std::string_view text, Decode decode) const {
  ReadTokens tk;
  std::u16string line;
  int32_t no = 0;
  ForEachLine<Width, BigEndian>(text, [&](std::string_view s) {
    ++no;
    if (s.empty()) return;
    // As in reading: a line of ASCII is split without being decoded.
    if (Width != 1 || !tk.Split(s.data(), s.data() + s.size())) {
      decode(s, line);
      tk.Split(line.data(), line.data() + line.size());
    }
    if (const int32_t what = NoteOfLine(tk)) {
      decode(s, line);
      ReadNotes->push_back({static_cast<TJwwNote>(what), no, line});
    }
  });
}

bool TJGdata::OpenTempFile(const std::u16string& fn) {
  MojiCode = false;
  if (fn.empty() || !FileThere(fn)) return false;
  std::string bytes;
  if (!platform::ReadWholeFile(fn, bytes)) return false;

  std::string_view text(bytes);
  switch (platform::TakeByteOrderMark(text)) {
    case platform::TextEncoding::Utf8:
      MojiCode = true;
      ReadLines<1, false>(text, platform::Utf8ToText);
      break;
    case platform::TextEncoding::Utf16Le:
      ReadLines<2, false>(text, platform::Utf16LeToText);
      break;
    case platform::TextEncoding::Utf16Be:
      ReadLines<2, true>(text, platform::Utf16BeToText);
      break;
    case platform::TextEncoding::Ansi:
      ReadLines<1, false>(text, platform::AnsiToText);
      break;
  }
  return true;
}

void TJGdata::ParseLine(std::u16string_view line) {
  ReadTokens tk;
  ParseLine(line, tk);
}

namespace {

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

void TJGdata::ParseLine(std::u16string_view line, ReadTokens& tk) {
  if (line.empty()) return;
  tk.Split(line.data(), line.data() + line.size());
  ReadTokensOfLine(tk);
}

// The rule that takes the line; nullptr when none does or the line is blank.
const TJGdata::ReadRule* TJGdata::MatchRule(const ReadTokens& tk) {
  static_assert(std::size(kReadRules) <= 64, "one bit per rule");
  static const std::array<uint64_t, 129> kCandidates = CandidatesByFirstChar(kReadRules);
  const std::u16string_view t0 = tk.t[0];
  if (tk.n == 1 && t0.empty()) return nullptr;
  const char16_t first = t0.empty() ? u'\0' : t0[0];
  // The rules are tried in table order; the first character only skips those
  // whose keyword cannot match.
  for (uint64_t m = kCandidates[first < 128 ? first : 128]; m != 0; m &= m - 1) {
    const ReadRule& r = kReadRules[std::countr_zero(m)];
    if (KeyMatches(r.match, r.key, t0) && r.count.Holds(tk.n)) return &r;
  }
  return nullptr;
}

void TJGdata::ReadTokensOfLine(const ReadTokens& tk) {
  if (const ReadRule* r = MatchRule(tk)) (this->*r->handler)(tk);
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
std::u16string JoinName(std::u16string_view first, int32_t n,
                        const std::array<std::u16string_view, 400>& t) {
  std::u16string name(first);
  for (size_t k = 1; k < static_cast<size_t>(n); ++k) {
    name += u' ';
    name += t[k];
  }
  return name;
}
}  // namespace

void TJGdata::R_LGrpName(const ReadTokens& tk) {
  if (w_LGrp < 0 || w_LGrp > 15) return;
  LGrpName[static_cast<size_t>(w_LGrp)] = JoinName(From(tk[0], 3), tk.n, tk.t);
}

void TJGdata::R_LayName(const ReadTokens& tk) {
  if (w_LGrp < 0 || w_LGrp > 15 || w_Lay < 0 || w_Lay > 15) return;
  LayName[static_cast<size_t>(w_LGrp * 16 + w_Lay)] = JoinName(From(tk[0], 3), tk.n, tk.t);
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
  w_CrvFl = false;
}

void TJGdata::R_Attr(const ReadTokens& tk) { w_Attr |= 1 << (tk[0][1] - u'1'); }

void TJGdata::R_PCol(const ReadTokens& tk) {
  w_PtCol = StrToIntZ(From(tk[0], 2));
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
  const std::u16string_view t0 = tk.t[0];
  if (tk.n == 1 && t0.empty()) return 0;
  const ReadRule* r = MatchRule(tk);
  if (r == nullptr) {
    // The first line the CAD program writes, and comments, carry nothing to read.
    return t0 == u"hq" || t0.starts_with(u"h#") ? 0 : jnNoRecord;
  }
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
  return ok ? 0 : jnBadNumber;
}
