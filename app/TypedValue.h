// Values the draughtsperson types for a run mode or into the dialog. With a
// Japanese input method on, digits, signs, the decimal point and blanks come
// as their full-width forms ("２０００　１０００"), and the comma key gives "、"
// or "，"; they mean the same as the ASCII ones here, and only here: the
// exchange and settings files keep their own strict number rules.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The text with full-width digits, "＋", "－" (and the minus sign "−"), "．"
// (and "。", which the input method types for "." in kana mode), "Ｅ"/"ｅ"
// and the ideographic space in their ASCII forms, tabs as spaces, and the
// blanks at both ends dropped.
std::u16string NarrowTyped(std::u16string_view s);

// One typed number: as StrToFloatZ reads it once narrowed; 0 when unreadable.
double TypedNumber(std::u16string_view s);

// The typed values of a run, from the arguments after the run mode, split at
// any blank and at "、", "，" and ",". The command processor splits only at
// ASCII blanks and commas, so "2000　1000" and "2000、1000" arrive as one
// argument and must give two values here. An argument that holds nothing but
// blanks and commas stays one empty value, so later values keep their place.
std::vector<std::u16string> TypedWords(const std::vector<std::u16string>& args);

// One typed value as people type it: a number, perhaps with a word written
// straight after it ("５等分", "910両", "300mm"), or a word alone ("両").
struct TTyped {
  std::u16string text;  // the value, narrowed; empty when nothing was typed
  bool number = false;  // it begins with a number within the range of a double
  double value = 0;     // that number
  std::u16string word;  // what follows the number; the whole text without one
  // Typed, yet no number: a word alone, or a number run on into signs or more
  // digits ("1.2.3", "5%", "0x10"), where a word would hide a typing mistake.
  bool Unreadable() const { return !text.empty() && !number; }
};
TTyped ReadTyped(std::u16string_view value);

// What a run mode takes from its typed values, and what it tells about them.
struct TRunValues {
  // The values as RunMode takes them. For modes 7 to 10, p is NaN when a value
  // could not be read: the run then draws nothing rather than guess.
  double p = 0, q = 0;
  std::vector<std::u16string> notices;  // one line each, for the draughtsperson
  // Mode 12: the distances in the order typed, and "両": each both ways.
  std::vector<double> distances;
  bool both = false;
  // Mode 13: p counts equal parts ("等分") rather than giving a pitch; "連":
  // along the run of connected figures.
  bool parts = false, run = false;
};
TRunValues RunValues(int32_t mode, const std::vector<std::u16string>& words);
