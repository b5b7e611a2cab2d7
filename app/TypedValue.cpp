#include "app/TypedValue.h"

#include <cmath>
#include <limits>

#include "app/Messages.h"

namespace {

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
    default:
      break;
  }
  return v;
}
