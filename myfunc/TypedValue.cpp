#include "myfunc/TypedValue.h"

#include <algorithm>

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
