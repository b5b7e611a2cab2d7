/// @file
/// Values as a draughtsperson types them for a tool: on its command line or
/// into a box of its dialog. With a Japanese input method on, digits, signs,
/// the decimal point and blanks come as their full-width forms
/// ("２０００　１０００"), and the comma key gives "、" or "，"; they mean
/// the same as the ASCII ones here, and only here: the exchange file keeps its
/// own strict number rules (StrToFloatZ, TryStrToFloat in MyFunc.h).
#pragma once

#include <string>
#include <string_view>
#include <vector>

/// The text with full-width digits, "＋", "－" (and the minus sign "−"),
/// "．" (and "。", which the input method types for "." in kana mode),
/// "Ｅ"/"ｅ" and the ideographic space in their ASCII forms, tabs as spaces,
/// and the blanks at both ends dropped. Everything else is kept as it is.
/// @param s the typed text
/// @return the narrowed text
std::u16string NarrowTyped(std::u16string_view s);

/// One typed number, as StrToFloatZ reads it once narrowed.
/// @param s the typed text
/// @return the number; 0 when s is not one whole number
double TypedNumber(std::u16string_view s);

/// The typed values of a command line, split at any blank and at "、", "，",
/// "､" and ",". The command processor splits only at ASCII blanks and commas,
/// so "2000　1000" and "2000、1000" arrive as one argument and give two values
/// here.
/// @param args the arguments as the program got them (those before the
///        values, such as a run mode, left out)
/// @return the values, narrowed, in order; an argument that holds nothing but
///         blanks and commas stays one empty value, so later values keep
///         their place
std::vector<std::u16string> TypedWords(const std::vector<std::u16string>& args);

/// One typed value as people type it: a number, perhaps with a word written
/// straight after it ("５等分", "910両", "300mm"), or a word alone ("両").
struct TTyped {
  std::u16string text;  ///< the value, narrowed; empty when nothing was typed
  bool number = false;  ///< it begins with a number within the range of a double
  double value = 0;     ///< that number; 0 without one
  std::u16string word;  ///< what follows the number; the whole text without one
  /// Whether the value is typed, yet no number.
  /// @return true for a word alone, or a number run on into signs or more
  ///         digits ("1.2.3", "5%", "0x10"), where a word would hide a typing
  ///         mistake
  bool Unreadable() const { return !text.empty() && !number; }
};
/// Reads one typed value: a number in StrToFloatZ's grammar (an exponent only
/// where digits follow its "E": "5e" is 5 and the word "e"), then a word that
/// begins with a letter or a character beyond ASCII and holds no digit.
/// @param value one value, as TypedWords gives them, or the text of a box
/// @return the value read: number set when it begins with a number in range
///         followed by such a word or by nothing; Unreadable() for a word
///         alone and for a number run on into anything else
TTyped ReadTyped(std::u16string_view value);
