// Reading the exchange file: loading and decoding, cutting it into pieces,
// the tokenizer, and taking the pieces' records in file order. What each
// record does is in ReadRules.cpp.
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
#include "jwwgaibu/ReadRecords.h"
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
}  // namespace

double jwwread::ReadReal(std::u16string_view s) {
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

namespace {

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


}  // namespace

// The record rule of the batch's last line, and the numbers among its tokens.
void TJGdata::Classify(ReadBatch& b) {
  ReadBatch::Line& l = b.lines[b.lines.size - 1];
  const ReadTokens tk{l.n, b.chars.data(), &b.tokens[l.first], nullptr};
  l.rule = RuleFor(tk[0], l.n);
  if (l.rule < 0) return;
  double* reals = &b.reals[l.first];
  for (int32_t k = 0; k < l.n; ++k) {
    const std::u16string_view s = tk[k];
    reals[k] = LooksLikeNumber(s) ? jwwread::ReadReal(s) : kNotRead;
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
  const size_t start = ReadNotes->size();
  auto note = [&](int32_t what, int32_t at, std::string_view s) {
    decode(s, line);
    ReadNotes->push_back({static_cast<TJwwNote>(what), at, line});
  };
  // The dimension open, and its "msg" for a note at the end of the file.
  DimWatch dim;
  std::string_view dimMsg;
  ForEachLine<Width, BigEndian>(text, [&](std::string_view s) {
    ++no;
    if (s.empty()) return;
    // As in reading: a line of ASCII is split without being decoded.
    b.Clear(s.size() + 1);
    bool decoded = false;
    if (Width != 1 || !b.Split(s.data(), s.data() + s.size())) {
      decode(s, b.decoded);
      b.Split(b.decoded.data(), b.decoded.data() + b.decoded.size());
      decoded = true;
    }
    Classify(b);
    const ReadTokens tk = b.TokensOf(b.lines[0]);
    if (const int32_t what = NoteOfLine(tk)) note(what, no, s);
    if (decoded) {
      // U+FFFD the bytes do not spell out themselves: bytes not decoded.
      const auto made = std::count(b.decoded.begin(), b.decoded.end(), u'\uFFFD');
      ptrdiff_t given = 0;
      for (size_t k = 0; k + (Width == 1 ? 3 : 2) <= s.size(); k += Width) {
        given += Width == 1 ? s.substr(k, 3) == "\xEF\xBF\xBD"
                            : UnitAt<Width, BigEndian>(reinterpret_cast<const unsigned char*>(s.data()), k) == 0xFFFD;
      }
      if (made > given) note(jnUndecodable, no, s);
    }
    if (tk.n == ReadTokens::kMax) {
      decode(s, line);
      if (ReadFields(line) > ReadTokens::kMax) note(jnFieldsPast, no, s);
    }
    if (dim.Take(b.lines[0].rule, tk[0], no)) note(jnDimBroken, no, s);
    if (dim.at == no) dimMsg = s;
  });
  // The file ended on an open dimension: noted at its "msg", among the notes
  // in line order.
  if (const int32_t msg = dim.AtEnd()) {
    decode(dimMsg, line);
    const auto at = std::upper_bound(
        ReadNotes->begin() + static_cast<ptrdiff_t>(start), ReadNotes->end(), msg,
        [](int32_t l, const TJwwReadNote& n) { return l < n.line; });
    ReadNotes->insert(at, {jnDimBroken, msg, line});
  }
}

int32_t TJGdata::DimWatch::Take(int32_t rule, std::u16string_view keyword, int32_t no) {
  const auto h = rule >= 0 ? kReadRules[rule].handler : nullptr;
  const bool cs = h == &TJGdata::R_Text && keyword == u"cs";
  int32_t broken = 0;
  if (at > 0) {
    const bool ends = h == &TJGdata::R_DimStart || h == &TJGdata::R_CrvStart ||
                      h == &TJGdata::R_GroupEnd || h == &TJGdata::R_Text ||
                      h == &TJGdata::R_Circle || h == &TJGdata::R_Arc || h == &TJGdata::R_Ten ||
                      h == &TJGdata::R_Mark || h == &TJGdata::R_Blk ||
                      h == &TJGdata::R_Solid2 || h == &TJGdata::R_Solid3 ||
                      h == &TJGdata::R_Solid4 || h == &TJGdata::R_SolidC ||
                      h == &TJGdata::R_SolidE || h == &TJGdata::R_SolidO ||
                      h == &TJGdata::R_SolidG;
    // A second line, or an end other than "cs", drops the line read; a
    // "cs" with no line takes a line that is not the dimension's.
    if ((h == &TJGdata::R_Line && line) || (ends && !cs && line) || (cs && !line)) broken = at;
    if (h == &TJGdata::R_Line) line = true;
    if (ends) at = 0;
  }
  if (h == &TJGdata::R_DimStart) {
    at = no;
    line = false;
  }
  return broken;
}

// A dimension the lines cut apart (t_MemN set back into one, or a line sent
// or changed by hand) loses its line when read back: noted at the line where
// reading will note it, with the line of its "msg".
void TJGdata::NoteDims(int32_t n) {
  DimWatch dim;
  ReadBatch b;
  for (int32_t i = 0; i < n; ++i) {
    const std::u16string& s = t_Mem[static_cast<size_t>(i)];
    if (s.empty()) continue;
    b.Clear(s.size() + 1);
    b.Split(s.data(), s.data() + s.size());
    Classify(b);
    const int32_t msg = dim.Take(b.lines[0].rule, b.TokensOf(b.lines[0])[0], i + 1);
    if (msg) WriteNote(jnDimBroken, u"SaveTempFile", msg, i + 1);
  }
  if (const int32_t msg = dim.AtEnd()) WriteNote(jnDimBroken, u"SaveTempFile", msg, msg);
}

// Fields as the tokenizer splits a line (TJGdata::ReadBatch::Split), with no
// limit: each run of characters that a blank ends, and the last one, empty
// after a trailing blank; a quote or "=" makes the rest of the line the last.
int32_t TJGdata::ReadFields(std::u16string_view line) {
  int32_t n = 0;
  bool in = false;
  for (char16_t c : line) {
    if (c == u'"' || c == u'=') break;
    if (c == u' ' || c == u'\t') {
      n += in;
      in = false;
    } else if (c >= 0x20) {
      in = true;
    }
  }
  return n + 1;
}

namespace {

// Every byte sequence is code page 932: single bytes, or a lead byte
// (81-9F, E0-FC) with a trail byte (40-7E, 80-FC); 80, A0 and FD-FF stand
// for nothing.
bool IsCp932(std::string_view s) {
  for (size_t k = 0; k < s.size(); ++k) {
    // Eight bytes of ASCII at a time: most of a file.
    while (s.size() - k >= 8) {
      uint64_t w;
      std::memcpy(&w, s.data() + k, 8);
      if ((w & 0x8080808080808080ULL) != 0) break;
      k += 8;
    }
    if (k >= s.size()) break;
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

// Code page 932 that decodes: byte for byte (most bytes of UTF-8 are that
// too), and without a character the code page leaves unassigned.
bool Cp932Text(std::string_view s) {
  if (!IsCp932(s)) return false;
  std::u16string text;
  platform::AnsiToText(s, text);
  return text.find(u'\uFFFD') == std::u16string::npos;
}

// Well-formed UTF-8 with at least one character beyond ASCII.
bool IsUtf8BeyondAscii(std::string_view s) {
  bool beyond = false;
  for (size_t k = 0; k < s.size();) {
    if (s.size() - k >= 8) {  // eight bytes of ASCII at a time: most of a file
      uint64_t w;
      std::memcpy(&w, s.data() + k, 8);
      if ((w & 0x8080808080808080ULL) == 0) {
        k += 8;
        continue;
      }
    }
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
  w_AttrRead = false;
  try {
    if (!ReadTempFile(fn)) return false;
    w_AttrRead = true;
    // A second file adds to the store of the first and leaves its current
    // values: a tool that means to start afresh reads with a new object.
    if (again && ReadNotes != nullptr) ReadNotes->push_back({jnReadTwice, 0, fn});
    w_HasRead = w_ReadNoInit = true;
    w_EntAllLines = 0;
    w_ReadEnts = static_cast<int32_t>(InArray(EntNo, EntN));
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
      // Without a mark: UTF-16 shows a NUL in every other byte from the
      // first line on, where code page 932 would end the file; UTF-8 that is
      // no code page 932 is taken for what it is, and written back with its
      // mark.
      if (text.size() >= 4 && text[0] != 0 && text[1] == 0 && text[2] != 0 && text[3] == 0) {
        if (ReadNotes != nullptr) ReadNotes->push_back({jnUtf16NoMark, 0, fn});
        ReadLines<2, false>(file, text, platform::Utf16LeToText);
      } else if (text.size() >= 4 && text[0] == 0 && text[1] != 0 && text[2] == 0 && text[3] != 0) {
        if (ReadNotes != nullptr) ReadNotes->push_back({jnUtf16NoMark, 0, fn});
        ReadLines<2, true>(file, text, platform::Utf16BeToText);
      } else if (IsUtf8BeyondAscii(text) && !Cp932Text(text)) {
        if (ReadNotes != nullptr) ReadNotes->push_back({jnUtf8NoMark, 0, fn});
        MojiCode = true;
        ReadLines<1, false>(file, text, platform::Utf8ToText);
      } else {
        ReadLines<1, false>(file, text, platform::AnsiToText);
      }
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
