#include "app/TypedValue.h"

#include <cmath>
#include <limits>

#include "app/Messages.h"

namespace {

// "mm" after a number, as typed with the input method on or off.
bool Millimetres(const std::u16string& w) { return w == u"mm" || w == u"ｍｍ"; }

double NaN() { return std::numeric_limits<double>::quiet_NaN(); }

}  // namespace

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
