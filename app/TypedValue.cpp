#include "app/TypedValue.h"

#include <algorithm>

#include "myfunc/MyFunc.h"

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
    if (n.empty()) words.emplace_back();  // an empty argument keeps its place
    size_t k = 0;
    while (k < n.size()) {
      const size_t end = std::min(n.find(u' ', k), n.size());
      words.push_back(n.substr(k, end - k));
      k = n.find_first_not_of(u' ', end);
      if (k == std::u16string::npos) break;
    }
  }
  return words;
}
