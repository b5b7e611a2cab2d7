// Reading the exchange file: loading and decoding, the tokenizer, and the
// record table that turns each line into header values, layer tables,
// attribute state, indicated points and stored entities.
//
// Files hold millions of lines, so the bytes are read once and cut into
// pieces of whole lines where they lie. A piece is prepared apart from the
// drawing: its lines are split into tokens, each line's record kind is
// found and its numbers are read, all of which depends on the line alone.
// The records are then taken into the drawing piece after piece, in file
// order, since the attribute state, the curves and the dimensions carry from
// one line to the next. A big file's pieces are prepared on two threads.
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <span>

#include "jwwgaibu/Grow.h"
#include "jwwgaibu/InOrder.h"
#include "jwwgaibu/JwwGaibu.h"
#include "jwwgaibu/Kinds.h"
#include "jwwgaibu/Pieces.h"
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
  // m wraps harmlessly past 19 digits: those go to StrToFloatZ.
  uint64_t m = 0;
  unsigned d;
  const char16_t* const whole = p;
  while (p != end && (d = static_cast<unsigned>(*p) - u'0') <= 9) {
    m = m * 10 + d;
    ++p;
  }
  ptrdiff_t digits = p - whole, fraction = 0;
  if (p != end && *p == u'.') {
    const char16_t* const first = ++p;
    while (p != end && (d = static_cast<unsigned>(*p) - u'0') <= 9) {
      m = m * 10 + d;
      ++p;
    }
    fraction = p - first;
    digits += fraction;
  }
  if (p != end || digits == 0 || digits > 15) return StrToFloatZ(s);
  const double v = static_cast<double>(m) / kPow10[fraction];
  return negative ? -v : v;
}

// Whether a token may be a number: it begins like one. Only these are read
// ahead; any other token is read when a record asks for it, which gives the
// same value.
bool LooksLikeNumber(std::u16string_view s) {
  if (s.empty()) return false;
  const char16_t c = s[0];
  return (c >= u'0' && c <= u'9') || c == u'-' || c == u'+' || c == u'.';
}

// Marks a number not read ahead; no token reads as NaN.
constexpr double kNotRead = std::numeric_limits<double>::quiet_NaN();

}  // namespace

// The lines of a piece of the file, split and classified: each line's tokens,
// its record rule and the numbers among its tokens. Its buffers serve piece
// after piece and are written front to back without being cleared first.
struct TJGdata::ReadBatch {
  struct Token {
    uint32_t at, len;  // in chars
  };
  struct Line {
    int32_t rule;    // index in kReadRules; -1 for a line no rule takes
    int32_t n;       // token count
    uint32_t first;  // index of its first token
  };
  template <class T>
  struct Array {
    std::unique_ptr<T[]> data;
    size_t cap = 0, size = 0;
    void Clear(size_t room) {
      if (cap < room) {
        data.reset(new T[room]);
        cap = room;
      }
      size = 0;
    }
    T& operator[](size_t k) { return data[k]; }
    const T& operator[](size_t k) const { return data[k]; }
  };
  std::u16string chars;  // the tokens' characters, line after line
  size_t used = 0;
  Array<Token> tokens;
  Array<double> reals;  // per token: its number, or kNotRead
  Array<Line> lines;
  std::u16string decoded;  // a line beyond ASCII, decoded

  // Empty, with room for `lines` lines of `units` code units in all. A line
  // takes at least one code unit and holds at most as many tokens as code
  // units (every token but the last takes a character and a separator, and
  // an empty last one follows a separator), and never more than
  // ReadTokens::kMax. Decoding never makes more code units of a line than it
  // has bytes.
  void Clear(size_t units, size_t lineCount);
  void Clear(size_t units) { Clear(units, units); }

  template <class Ch>
  bool Split(const Ch* p, const Ch* end);

  ReadTokens TokensOf(const Line& l) const;
};

// The tokens of one line as a record sees them. t(0) is the keyword; n counts
// the tokens, an empty last one after trailing separators included.
struct TJGdata::ReadTokens {
  // Tokens past this many are dropped with the rest of the line.
  static constexpr int32_t kMax = 400;

  int32_t n = 0;
  const char16_t* chars = nullptr;
  const ReadBatch::Token* t = nullptr;
  const double* reals = nullptr;

  std::u16string_view operator[](int32_t k) const {
    return k < n ? std::u16string_view(chars + t[k].at, t[k].len) : std::u16string_view();
  }
  double Real(int32_t k) const {
    if (k < n && !std::isnan(reals[k])) return reals[k];
    return ReadReal((*this)[k]);
  }
  int32_t Int(int32_t k) const { return StrToIntZ((*this)[k]); }
};

TJGdata::ReadTokens TJGdata::ReadBatch::TokensOf(const Line& l) const {
  return {l.n, chars.data(), &tokens[l.first], &reals[l.first]};
}

// Splits one line into tokens and appends it as a line of the batch (its rule
// still to be found). Spaces and tabs separate tokens, and a run of them
// counts once. A quote (not kept) or the first "=" (kept) ends the splitting:
// the rest of the line joins the current token, spaces and quotes included,
// which is how a text record carries its text and the file record a path
// with spaces. Control characters are dropped wherever they stand.
//
// Ch is char16_t for decoded text, or char for the bytes of a line in an
// encoding that keeps ASCII as it is (code page 932, UTF-8): a line of ASCII
// alone is then split without being decoded first. With char the split gives
// up at the first byte beyond ASCII, returning false and keeping nothing.
void TJGdata::ReadBatch::Clear(size_t units, size_t lineCount) {
  lineCount = std::min(units, lineCount);
  const size_t tokenRoom = std::min(units, lineCount * static_cast<size_t>(ReadTokens::kMax)) + 1;
  if (chars.size() < units) chars.resize(units);
  used = 0;
  tokens.Clear(tokenRoom);
  reals.Clear(tokenRoom);
  lines.Clear(lineCount);
}

template <class Ch>
bool TJGdata::ReadBatch::Split(const Ch* p, const Ch* const end) {
  constexpr bool kBytes = sizeof(Ch) == 1;
  constexpr int32_t kMax = ReadTokens::kMax;
  auto unit = [](Ch c) -> char16_t {
    if constexpr (kBytes) {
      return static_cast<unsigned char>(c);
    } else {
      return c;
    }
  };
  // Tokens never hold more characters than the line, and Clear made room
  // for all lines of the piece.
  char16_t* const base = chars.data();
  char16_t* start = base + used;  // the current token runs from start to o
  char16_t* o = start;
  const size_t firstToken = tokens.size;
  Token* tk = &tokens[firstToken];
  auto endToken = [&] {
    *tk++ = {static_cast<uint32_t>(start - base), static_cast<uint32_t>(o - start)};
    start = o;
  };
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
        if (tk - &tokens[firstToken] == kMax - 1) break;
        endToken();
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
  endToken();
  used = static_cast<size_t>(o - base);
  const size_t n = static_cast<size_t>(tk - &tokens[firstToken]);
  tokens.size += n;
  lines[lines.size++] = {-1, static_cast<int32_t>(n), static_cast<uint32_t>(firstToken)};
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
  EntityBounds& operator+=(const EntityBounds& o) {
    line += o.line, circ += o.circ, text += o.text, msg += o.msg, cs += o.cs, pnt += o.pnt;
    blk += o.blk, sl += o.sl, sc += o.sc, se += o.se, so += o.so, sg += o.sg;
    return *this;
  }
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

// The record rule of the batch's last line, and the numbers among its tokens.
void TJGdata::Classify(ReadBatch& b) {
  ReadBatch::Line& l = b.lines[b.lines.size - 1];
  const ReadTokens tk{l.n, b.chars.data(), &b.tokens[l.first], nullptr};
  l.rule = RuleFor(tk[0], l.n);
  if (l.rule < 0) return;
  double* reals = &b.reals[l.first];
  for (int32_t k = 0; k < l.n; ++k) {
    const std::u16string_view s = tk[k];
    reals[k] = LooksLikeNumber(s) ? ReadReal(s) : kNotRead;
  }
}

// Every line of the batch, in order, by its rule.
void TJGdata::TakeBatch(const ReadBatch& b) {
  for (size_t k = 0; k < b.lines.size; ++k) {
    const ReadBatch::Line& l = b.lines[k];
    if (l.rule >= 0) (this->*kReadRules[l.rule].handler)(b.TokensOf(l));
  }
}

namespace {

// Where the pieces of about `target` bytes end: each right after a line
// break (CR LF kept together), the last at the end of the text.
template <size_t Width, bool BigEndian>
std::vector<size_t> PieceEnds(std::string_view text, size_t target) {
  const auto* b = reinterpret_cast<const unsigned char*>(text.data());
  const size_t len = text.size();
  target = std::max<size_t>(target / Width * Width, Width);
  std::vector<size_t> ends;
  for (size_t at = 0; len - at > target;) {
    size_t j = at + target;
    while (j + Width <= len && UnitAt<Width, BigEndian>(b, j) != 0x0A &&
           UnitAt<Width, BigEndian>(b, j) != 0x0D) {
      j += Width;
    }
    if (j + Width > len) break;
    if (UnitAt<Width, BigEndian>(b, j) == 0x0D && j + 2 * Width <= len &&
        UnitAt<Width, BigEndian>(b, j + Width) == 0x0A) {
      j += Width;
    }
    at = j + Width;
    ends.push_back(at);
  }
  ends.push_back(len);
  return ends;
}

}  // namespace


namespace {
// At least as many as the lines of a piece: every line but the last ends at
// a CR or an LF (a byte of either value inside a two-byte unit only adds).
size_t LinesAtMost(std::string_view piece) {
  size_t n = 1;
  for (char c : piece) n += static_cast<size_t>((c == '\n') | (c == '\r'));
  return n;
}
}  // namespace

template <size_t Width, bool BigEndian, class Decode>
void TJGdata::PrepareBatch(ReadBatch& b, std::string_view piece, Decode decode) {
  // A piece of a few lines that are very long (a garbled file) would ask for
  // room for a token per byte; its lines are counted to bound that. Pieces of
  // ordinary files are small, and room for them is cheap.
  constexpr size_t kCountLinesFrom = size_t{1} << 20;
  b.Clear(piece.size(), piece.size() >= kCountLinesFrom ? LinesAtMost(piece) : piece.size());
  ForEachLine<Width, BigEndian>(piece, [&](std::string_view s) {
    if (s.empty()) return;
    // Code page 932 and UTF-8 keep ASCII as it is, and most lines are ASCII.
    if (Width == 1 && b.Split(s.data(), s.data() + s.size())) {
      Classify(b);
      return;
    }
    decode(s, b.decoded);
    if (b.decoded.empty()) return;
    b.Split(b.decoded.data(), b.decoded.data() + b.decoded.size());
    Classify(b);
  });
}

template <size_t Width, bool BigEndian, class Decode>
void TJGdata::ReadLines(platform::FileBuffer& file, std::string_view text, Decode decode) {
  text = UpToNul<Width, BigEndian>(text);
  // Before the reading, which hands the file's memory back behind it.
  if (ReadNotes != nullptr) NoteLines<Width, BigEndian>(text, decode);
  const jwwgaibu::ReadSplit split = jwwgaibu::CurrentReadSplit();
  const bool helper = text.size() >= split.helperFrom;
  const std::vector<size_t> ends =
      PieceEnds<Width, BigEndian>(text, helper ? split.helperPieceBytes : split.pieceBytes);

  // The bounds, the two halves of the pieces counted at once when a second
  // thread helps.
  const size_t cut = ends[(ends.size() - 1) / 2];
  std::array<EntityBounds, 2> half{};
  PrepareAheadInOrder(
      2, 2, helper,
      [&](size_t, size_t i) {
        ForEachLine<Width, BigEndian>(i == 0 ? text.substr(0, cut) : text.substr(cut),
                                      [&](std::string_view s) { CountLine<Width, BigEndian>(s, half[i]); });
      },
      [](size_t, size_t) { return true; });
  EntityBounds eb = half[0];
  eb += half[1];
  ReserveAhead(EntNo, EntN, eb.All());
  ReserveAhead(EntLine, EntLineN, eb.line);
  ReserveAhead(EntCirc, EntCircN, eb.circ);
  ReserveAhead(EntArc, EntArcN, eb.circ);
  ReserveAhead(EntText, EntTextN, eb.text);
  ReserveAhead(EntDim, EntDimN, eb.Dim());
  ReserveAhead(EntPnt, EntPntN, eb.pnt);
  ReserveAhead(EntMark, EntMarkN, eb.pnt);
  ReserveAhead(EntBlk, EntBlkN, eb.blk);
  ReserveAhead(EntSld2, EntSld2N, eb.sl);
  ReserveAhead(EntSld3, EntSld3N, eb.sl);
  ReserveAhead(EntSld4, EntSld4N, eb.sl);
  ReserveAhead(EntSldC, EntSldCN, eb.sc);
  ReserveAhead(EntSldE, EntSldEN, eb.se);
  ReserveAhead(EntSldO, EntSldON, eb.so);
  ReserveAhead(EntSldG, EntSldGN, eb.sg);

  // A few pieces under way at once: enough for both threads to keep busy.
  constexpr size_t kSlots = 4;
  std::array<ReadBatch, kSlots> batches;
  const size_t offset = static_cast<size_t>(text.data() - file.Bytes().data());
  PrepareAheadInOrder(
      ends.size(), kSlots, helper,
      [&](size_t slot, size_t i) {
        const size_t from = i == 0 ? 0 : ends[i - 1];
        PrepareBatch<Width, BigEndian>(batches[slot], text.substr(from, ends[i] - from), decode);
      },
      [&](size_t slot, size_t i) {
        TakeBatch(batches[slot]);
        // Nothing before the next piece is looked at again.
        file.Release(offset + ends[i]);
        return true;
      });
}

// Reader diagnostics: a second look at the lines, taken only on request. It
// changes nothing, so reading is the same with it or without it, and it is
// kept out of line so that reading compiles as it would without it.
template <size_t Width, bool BigEndian, class Decode>
[[gnu::cold, gnu::noinline]] void TJGdata::NoteLines(std::string_view text, Decode decode) const {
  ReadBatch b;
  std::u16string line;
  int32_t no = 0;
  ForEachLine<Width, BigEndian>(text, [&](std::string_view s) {
    ++no;
    if (s.empty()) return;
    // As in reading: a line of ASCII is split without being decoded.
    b.Clear(s.size() + 1);
    if (Width != 1 || !b.Split(s.data(), s.data() + s.size())) {
      decode(s, b.decoded);
      b.Split(b.decoded.data(), b.decoded.data() + b.decoded.size());
    }
    Classify(b);
    if (const int32_t what = NoteOfLine(b.TokensOf(b.lines[0]))) {
      decode(s, line);
      ReadNotes->push_back({static_cast<TJwwNote>(what), no, line});
    }
  });
}

namespace {

// Every byte sequence is code page 932: single bytes, or a lead byte
// (81-9F, E0-FC) with a trail byte (40-7E, 80-FC); 80, A0 and FD-FF stand
// for nothing.
bool IsCp932(std::string_view s) {
  for (size_t k = 0; k < s.size(); ++k) {
    const auto b = static_cast<unsigned char>(s[k]);
    if (b == 0x80 || b == 0xA0 || b >= 0xFD) return false;
    if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) {
      if (++k >= s.size()) return false;
      const auto t = static_cast<unsigned char>(s[k]);
      if (t < 0x40 || t == 0x7F || t > 0xFC) return false;
    }
  }
  return true;
}

// Well-formed UTF-8 with at least one character beyond ASCII.
bool IsUtf8BeyondAscii(std::string_view s) {
  bool beyond = false;
  for (size_t k = 0; k < s.size();) {
    const auto b = static_cast<unsigned char>(s[k]);
    if (b < 0x80) {
      ++k;
      continue;
    }
    const size_t n = b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xF0 && b <= 0xF4 ? 4 : 0;
    if (n == 0 || k + n > s.size()) return false;
    for (size_t i = 1; i < n; ++i) {
      if ((static_cast<unsigned char>(s[k + i]) & 0xC0) != 0x80) return false;
    }
    const auto b1 = static_cast<unsigned char>(s[k + 1]);
    if ((b == 0xE0 && b1 < 0xA0) || (b == 0xED && b1 > 0x9F) || (b == 0xF0 && b1 < 0x90) ||
        (b == 0xF4 && b1 > 0x8F)) {
      return false;  // overlong, a surrogate, or beyond U+10FFFF
    }
    beyond = true;
    k += n;
  }
  return beyond;
}

}  // namespace

bool TJGdata::OpenTempFile(const std::u16string& fn) {
  MojiCode = false;
  const bool again = w_HasRead;
  try {
    if (!ReadTempFile(fn)) return false;
    // A second file adds to the store of the first and leaves its current
    // values: a tool that means to start afresh reads with a new object.
    if (again && ReadNotes != nullptr) ReadNotes->push_back({jnReadTwice, 0, fn});
    w_HasRead = w_ReadNoInit = true;
    w_EntAllLines = 0;
    return true;
  } catch (...) {
    // Memory ran out part way: no half-read drawing is left behind.
    try {
      DataInit();
    } catch (...) {
    }
    return false;
  }
}

bool TJGdata::ReadTempFile(const std::u16string& fn) {
  if (fn.empty() || !FileThere(fn)) return false;
  platform::FileBuffer file;
  if (!file.Read(fn)) return false;

  std::string_view text = file.Bytes();
  switch (platform::TakeByteOrderMark(text)) {
    case platform::TextEncoding::Utf8:
      MojiCode = true;
      ReadLines<1, false>(file, text, platform::Utf8ToText);
      break;
    case platform::TextEncoding::Utf16Le:
      ReadLines<2, false>(file, text, platform::Utf16LeToText);
      break;
    case platform::TextEncoding::Utf16Be:
      ReadLines<2, true>(file, text, platform::Utf16BeToText);
      break;
    case platform::TextEncoding::Ansi:
      if (ReadNotes != nullptr && !IsCp932(text) && IsUtf8BeyondAscii(text)) {
        ReadNotes->push_back({jnUtf8NoMark, 0, fn});
      }
      ReadLines<1, false>(file, text, platform::AnsiToText);
      break;
  }
  return true;
}

void TJGdata::ParseLine(std::u16string_view line) {
  if (line.empty()) return;
  ReadBatch b;
  b.Clear(line.size());
  b.Split(line.data(), line.data() + line.size());
  Classify(b);
  TakeBatch(b);
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
  return ok ? 0 : jnBadNumber;
}
