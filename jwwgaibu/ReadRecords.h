// Internal to the library: what the file pipeline (Reader.cpp) and the
// record rules (ReadRules.cpp) share: the lines of a piece split into tokens,
// a line's tokens as a record sees them, and the form of a record rule.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "jwwgaibu/JwwGaibu.h"
#include "myfunc/MyFunc.h"

namespace jwwread {

// A real token, read as StrToFloatZ reads it (fast for plain decimals).
double ReadReal(std::u16string_view s);

// How a record rule tests a line: its first token against the keyword, and
// its token count.
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

}  // namespace jwwread

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
    return jwwread::ReadReal((*this)[k]);
  }
  int32_t Int(int32_t k) const { return StrToIntZ((*this)[k]); }
};

inline TJGdata::ReadTokens TJGdata::ReadBatch::TokensOf(const Line& l) const {
  return {l.n, chars.data(), &tokens[l.first], &reals[l.first]};
}

// A dimension followed line by line, in reading and in the save's notes: its
// measured line is lost when anything but its "cs" ends it, and a "cs" with
// no line before it takes a line that is not the dimension's.
struct TJGdata::DimWatch {
  int32_t at = 0;     // the line of the open "msg"; 0 for none
  bool line = false;  // its measured line came
  // The line of the "msg" whose dimension line `no` breaks, or 0.
  int32_t Take(int32_t rule, std::u16string_view keyword, int32_t no);
  // The "msg" whose dimension the end of the file breaks, or 0.
  int32_t AtEnd() const { return at > 0 && line ? at : 0; }
};

struct TJGdata::ReadRule {
  std::u16string_view key;
  jwwread::Match match;
  jwwread::CountRule count;
  void (TJGdata::*handler)(const ReadTokens&);
};
