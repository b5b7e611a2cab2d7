// Values the draughtsperson types for a run mode or into the dialog. With a
// Japanese input method on, digits, signs, the decimal point and blanks come
// as their full-width forms ("２０００　１０００"); they mean the same as the
// ASCII ones here, and only here: the exchange and settings files keep their
// own strict number rules.
#pragma once

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

// The typed numbers of a run, from the arguments after the run mode, split at
// any blank. The command processor splits only at ASCII blanks, so "2000　1000"
// arrives as one argument and must give two numbers here. An argument that
// is empty or all blanks stays one empty word, so later values keep their place.
std::vector<std::u16string> TypedWords(const std::vector<std::u16string>& args);
