#include "app/TypedValue.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/Messages.h"
#include "myfunc/MyFunc.h"

namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Where values part: blanks, and the commas of both widths with the
// ideographic one ("､" is its half-width form).
bool IsSeparator(char16_t c) {
  return c == u' ' || c == u',' || c == u'、' || c == u'，' || c == u'､';
}

// The end of the number at the start of s, in StrToFloatZ's grammar: a sign,
// digits with a decimal point, and an exponent only where digits follow its
// "E" ("5e" is 5 and the word "e"). 0 when s does not begin with a number.
size_t NumberEnd(std::u16string_view s) {
  size_t i = 0;
  if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) ++i;
  size_t digits = 0;
  for (; i < s.size() && IsDigit(s[i]); ++i) ++digits;
  if (i < s.size() && s[i] == u'.') {
    for (++i; i < s.size() && IsDigit(s[i]); ++i) ++digits;
  }
  if (digits == 0) return 0;
  if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
    size_t k = i + 1;
    if (k < s.size() && (s[k] == u'+' || s[k] == u'-')) ++k;
    if (k < s.size() && IsDigit(s[k])) {
      while (k < s.size() && IsDigit(s[k])) ++k;
      i = k;
    }
  }
  return i;
}

// A word may follow a number when it begins with a letter or any character
// beyond ASCII ("mm", "等分", "両") and holds no digit: digits or signs there
// mean a mistake ("1.2.3", "5%", "0x10").
bool IsWord(std::u16string_view w) {
  const char16_t c = w.front();
  const bool letter = c >= 0x80 || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
  return letter && std::none_of(w.begin(), w.end(), IsDigit);
}

// "mm" after a number, as typed with the input method on or off.
bool Millimetres(const std::u16string& w) { return w == u"mm" || w == u"ｍｍ"; }

double NaN() { return std::numeric_limits<double>::quiet_NaN(); }

}  // namespace

std::u16string NarrowTyped(std::u16string_view s) {
  std::u16string out;
  out.reserve(s.size());
  for (char16_t c : s) {
    if (c >= u'０' && c <= u'９') {
      c = static_cast<char16_t>(u'0' + (c - u'０'));
    } else {
      switch (c) {
        case u'＋': c = u'+'; break;
        case u'－': case u'−': c = u'-'; break;
        case u'．': case u'。': c = u'.'; break;
        case u'Ｅ': c = u'E'; break;
        case u'ｅ': c = u'e'; break;
        case u'　': case u'\t': c = u' '; break;
        default: break;
      }
    }
    out += c;
  }
  const size_t first = out.find_first_not_of(u' ');
  if (first == std::u16string::npos) return {};
  return out.substr(first, out.find_last_not_of(u' ') - first + 1);
}

double TypedNumber(std::u16string_view s) { return StrToFloatZ(NarrowTyped(s)); }

std::vector<std::u16string> TypedWords(const std::vector<std::u16string>& args) {
  std::vector<std::u16string> words;
  for (const std::u16string& a : args) {
    const std::u16string n = NarrowTyped(a);
    const size_t before = words.size();
    for (size_t k = 0; k < n.size();) {
      if (IsSeparator(n[k])) {
        ++k;
        continue;
      }
      size_t end = k;
      while (end < n.size() && !IsSeparator(n[end])) ++end;
      words.push_back(n.substr(k, end - k));
      k = end;
    }
    if (words.size() == before) words.emplace_back();  // an empty argument keeps its place
  }
  return words;
}

TTyped ReadTyped(std::u16string_view value) {
  TTyped t;
  t.text = NarrowTyped(value);
  const size_t end = NumberEnd(t.text);
  if (end == 0) {
    t.word = t.text;
    return t;
  }
  const std::u16string_view rest = std::u16string_view(t.text).substr(end);
  if (!rest.empty() && !IsWord(rest)) return t;
  if (!TryStrToFloat(std::u16string_view(t.text).substr(0, end), t.value)) return t;
  t.number = true;
  t.word = NarrowTyped(rest);
  return t;
}

TRunValues RunValues(int32_t mode, const std::vector<std::u16string>& words) {
  TRunValues v;
  const auto typed = [&](size_t k) { return ReadTyped(k < words.size() ? words[k] : u""); };
  const auto say = [&](const char16_t* text, const std::u16string& value) {
    v.notices.push_back(msg::With(text, value));
  };
  const TTyped first = typed(0);
  switch (mode) {
    case 3: {  // a missing coordinate is 0; an unreadable one too, but said
      const TTyped y = typed(1);
      if (first.Unreadable()) say(msg::kXUnread, first.text);
      if (y.Unreadable()) say(msg::kYUnread, y.text);
      v.p = first.value;
      v.q = y.value;
      break;
    }
    case 5:
    case 6:
    case 10:
      // A missing count divides in two; an unreadable one too in the modes
      // of one figure (what they always did), while mode 10, which may cover
      // the whole drawing, draws nothing.
      if (first.Unreadable()) {
        say(mode == 10 ? msg::kCountUnread : msg::kCountUnreadTwo, first.text);
        v.p = mode == 10 ? NaN() : 0;
      } else {
        v.p = first.value;
        if (std::nearbyint(v.p) > 1000) say(msg::kCountOver, u"");
      }
      break;
    case 7: {
      // The pitch, then where the remainder goes: "両" (both ends), written
      // after the pitch or as a value of its own, or 2, splits it.
      const TTyped rest = typed(1);
      const auto both = [](const std::u16string& w) { return w == u"両" || w == u"両端"; };
      v.p = NaN();
      if (first.Unreadable()) {
        say(msg::kPitchUnread, first.text);
      } else if (first.text.empty()) {
        say(msg::kPitchMissing, u"");
      } else if (!(first.value > 0)) {
        say(msg::kPitchNotPositive, first.text);
      } else if (!rest.number && !rest.text.empty() && !both(rest.word)) {
        say(msg::kRestUnread, rest.text);
      } else {
        v.p = first.value;
        v.q = both(first.word) || both(rest.word) || (rest.number && rest.value == 2);
      }
      break;
    }
    case 8:
      // No value: the crossings; "端" brings back the ends of overlapping lines.
      if (first.text == u"端" || first.text == u"両端") {
        v.q = 1;
      } else if (!first.text.empty()) {
        say(msg::kCrossingUnread, first.text);
        v.p = NaN();
      }
      break;
    case 9:
      // 1 the end points, 2 the centres, anything else both.
      if (first.Unreadable()) {
        say(msg::kWhatUnread, first.text);
        v.p = NaN();
      } else {
        v.p = first.value;
      }
      break;
    case 12: {
      // Distances, each a number ("300", "-300", "300mm"); "両" alone or
      // after a number lays each both ways. One that cannot be read draws
      // nothing rather than leave a gap in the row.
      const auto both = [](const std::u16string& w) { return w == u"両" || w == u"両側"; };
      for (const std::u16string& w : words) {
        const TTyped t = ReadTyped(w);
        if (t.text.empty()) continue;
        if (t.number && (t.word.empty() || Millimetres(t.word) || both(t.word))) {
          v.distances.push_back(t.value);
          v.both = v.both || both(t.word);
        } else if (!t.number && both(t.word)) {
          v.both = true;
        } else {
          say(msg::kDistanceUnread, t.text);
          v.p = NaN();
          return v;
        }
      }
      if (v.distances.empty()) {
        say(msg::kDistanceMissing, u"");
        v.p = NaN();
      }
      break;
    }
    case 13: {
      // A pitch ("910"), or a count of equal parts ("5等分", "5 等分"), and
      // "連" (連続線) alone or after it.
      const auto run = [](const std::u16string& w) { return w == u"連" || w == u"連続"; };
      const auto parts = [](const std::u16string& w) { return w == u"等分"; };
      bool have = false;
      std::u16string typed;
      v.p = NaN();
      for (const std::u16string& w : words) {
        const TTyped t = ReadTyped(w);
        if (t.text.empty()) continue;
        // "5等分連": both words after one number.
        const bool partsRun = t.word == u"等分連" || t.word == u"等分連続";
        const bool word = run(t.word) || parts(t.word) || partsRun;
        if (!(t.number ? !have && (t.word.empty() || Millimetres(t.word) || word) : word)) {
          say(msg::kLayoutUnread, t.text);
          v.p = NaN();
          return v;
        }
        if (t.number) have = true, v.p = t.value, typed = t.text;
        v.run = v.run || run(t.word) || partsRun;
        v.parts = v.parts || parts(t.word) || partsRun;
      }
      if (!have) {
        say(msg::kLayoutMissing, u"");
      } else if (v.parts) {
        const double n = std::nearbyint(v.p);
        if (!(n >= 1)) {
          say(msg::kPartsNotPositive, typed);
          v.p = NaN();
        } else if (n > 1000) {
          say(msg::kCountOver, u"");
          v.p = 1000;
        } else {
          v.p = n;
        }
      } else if (!(v.p > 0) || !std::isfinite(v.p)) {
        say(msg::kPitchNotPositive, typed);
        v.p = NaN();
      }
      break;
    }
    default:
      break;
  }
  return v;
}
