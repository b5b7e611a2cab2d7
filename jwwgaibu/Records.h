// Internal to the library: what reading and writing share about the records
// of the exchange file beyond their kinds: the keywords of the text records
// and the fields of a circular solid.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// The font of the pen state's reset, which is also the drawing's default.
inline constexpr std::u16string_view kDefaultFont = u"<ＭＳ ゴシック>";

// The ten text record keywords, two letters each, in the order of the
// record number a text keeps (its `no`): "ch" 0, "cv" 1, ... "c2" 9.
inline constexpr std::u16string_view kTextKeywords = u"ch cv cs cr co cp ct ck cz c2";

// The keyword of text record number no; numbers outside 0-9 write "ch".
constexpr std::u16string_view TextKeyword(int32_t no) {
  return kTextKeywords.substr(no >= 0 && no <= 9 ? static_cast<size_t>(no) * 3 : 0, 2);
}

// The record number of a text keyword; -1 for any other text.
constexpr int32_t TextRecordNo(std::u16string_view key) {
  for (int32_t no = 0; no <= 9; ++no) {
    if (TextKeyword(no) == key) return no;
  }
  return -1;
}

// Centre, radius, flatness, tilt and the two angles of a circular solid, with
// its fill colour; the last number of its record differs by kind.
template <class T>
void FillRound(T& e, int32_t color, double cx, double cy, double cr, double he, double ka,
               double sa, double da) {
  e.Color = color;
  e.cx = cx;
  e.cy = cy;
  e.cr = cr;
  e.he = he;
  e.ka = ka;
  e.sa = sa;
  e.da = da;
}
