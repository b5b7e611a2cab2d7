// What a run mode says when it draws nothing, or fewer points than asked: on
// Windows in a message box once the exchange file is written, elsewhere on
// standard error. Every text is here, and the guide lists each of them; "{}"
// stands for the value as it was typed.
#pragma once

#include <string>
#include <string_view>

namespace msg {

// Typed values.
inline constexpr char16_t kXUnread[] = u"X「{}」を数として読めないので、0 として点を作図しました。";
inline constexpr char16_t kYUnread[] = u"Y「{}」を数として読めないので、0 として点を作図しました。";
inline constexpr char16_t kCountUnreadTwo[] = u"分割数「{}」を数として読めないので、2 等分しました。";
inline constexpr char16_t kCountUnread[] = u"分割数「{}」を数として読めないので、何も作図しませんでした。";
inline constexpr char16_t kCountOver[] = u"分割数は 1000 までなので、1000 等分しました。";
inline constexpr char16_t kPitchUnread[] = u"ピッチ「{}」を数として読めないので、何も作図しませんでした。";
inline constexpr char16_t kPitchMissing[] = u"ピッチが入力されていないので、何も作図しませんでした。";
inline constexpr char16_t kPitchNotPositive[] = u"ピッチ「{}」が 0 以下なので、何も作図しませんでした。";
inline constexpr char16_t kRestUnread[] =
    u"「{}」は余りの分け方として読めないので、何も作図しませんでした（両端に分けるときは 両）。";
inline constexpr char16_t kCrossingUnread[] =
    u"「{}」は交点の指定として読めないので、何も作図しませんでした（重なった線の端にも作図するときは 端）。";
inline constexpr char16_t kWhatUnread[] =
    u"「{}」は作図するものの指定として読めないので、何も作図しませんでした（端点だけは 1、中心だけは 2）。";
inline constexpr char16_t kDistanceUnread[] =
    u"距離「{}」を数として読めないので、何も作図しませんでした（指示点から両側に作図するときは 両）。";
inline constexpr char16_t kDistanceMissing[] = u"距離が入力されていないので、何も作図しませんでした。";
inline constexpr char16_t kLayoutUnread[] =
    u"「{}」は割付の指定として読めないので、何も作図しませんでした（ピッチは 910、等分は 5等分、連続線に続けるときは 連）。";
inline constexpr char16_t kLayoutMissing[] =
    u"割付のピッチか等分数が入力されていないので、何も作図しませんでした。";
inline constexpr char16_t kPartsNotPositive[] = u"等分数「{}」が 1 より小さいので、何も作図しませんでした。";

// The selection.
inline constexpr char16_t kNoIndicatedPoint[] = u"指示点がないので、何も作図しませんでした。";
inline constexpr char16_t kNoLine[] = u"線が選択されていないので、何も作図しませんでした。";
inline constexpr char16_t kNoCircleOrArc[] = u"円・円弧が選択されていないので、何も作図しませんでした。";
inline constexpr char16_t kNoFigure[] = u"線・円・円弧が選択されていないので、何も作図しませんでした。";
inline constexpr char16_t kNoCrossing[] = u"選択した線・円・円弧に交点がないので、何も作図しませんでした。";
inline constexpr char16_t kNoTwoLines[] = u"線が 2 本以上選択されていないので、何も作図しませんでした。";
inline constexpr char16_t kAllParallel[] =
    u"選択した線はどれも平行で、延長しても交わらないので、何も作図しませんでした。";
inline constexpr char16_t kNotOnFigure[] =
    u"指示点 1 が図形の上にないので、距離は図形の近い端から両側に測りました。";
inline constexpr char16_t kNoSecondPoint[] = u"指示点 2 がないので、何も作図しませんでした。";
inline constexpr char16_t kNoPoint[] = u"選択した図形に作図する点がないので、何も作図しませんでした。";

// The cap on the points of one run (kMaxPoints).
inline constexpr char16_t kCapped[] =
    u"作図する点が 100,000 個を超えるので、はじめの 100,000 個だけを作図しました。";

// The exchange file could not be replaced (a folder or a locked file in its
// place): the CAD program then finds no points to add.
inline constexpr char16_t kNotSaved[] = u"JWC_TEMP.TXT に書き込めなかったので、点を作図できませんでした。";

// Every text above, for the tests that hold them against the guide.
inline constexpr const char16_t* kAll[] = {
    kXUnread,   kYUnread,      kCountUnreadTwo,   kCountUnread,      kCountOver,
    kPitchUnread, kPitchMissing, kPitchNotPositive, kRestUnread,     kCrossingUnread,
    kWhatUnread, kNoIndicatedPoint, kNoLine,       kNoCircleOrArc,    kNoFigure,
    kNoCrossing, kNoPoint,     kCapped,           kDistanceUnread,   kDistanceMissing,
    kLayoutUnread, kLayoutMissing, kPartsNotPositive, kNoTwoLines,   kAllParallel,
    kNotOnFigure, kNoSecondPoint, kNotSaved};

// The text with the value typed in place of "{}".
inline std::u16string With(std::u16string_view text, std::u16string_view typed) {
  std::u16string s(text);
  const size_t at = s.find(u"{}");
  if (at != std::u16string::npos) s.replace(at, 2, typed);
  return s;
}

}  // namespace msg
