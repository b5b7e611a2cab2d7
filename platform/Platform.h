// What the operating system gives the tool: files, the process, text
// conversion and the keyboard. One declaration for both sides; the portable
// side (portable/) and the Win32 side (win32/) each define all of it but
// UTF-8 and UTF-16, which both take from common/.
// Names avoid those that <windows.h> turns into macros (DeleteFile, ReplaceFile).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Files. Paths are UTF-16 and converted to the system's form inside.
bool ReadWholeFile(const std::u16string& path, std::string& bytes);
// Writes bytes to a temporary file beside path and renames it over path, so a
// half-written file never stands under that name. False on any failure, with
// the temporary file removed and whatever stood at path left as it was.
bool WriteWholeFile(const std::u16string& path, std::string_view bytes);
bool IsFile(const std::u16string& path);  // a file, not a folder; links followed
bool RemoveFile(const std::u16string& path);

// Process.
std::u16string ProgramPath();                   // full path of the running program
std::vector<std::u16string> CommandLineArgs();  // without the program itself

// Text conversion. Each decoder replaces the content of out; undecodable input
// becomes U+FFFD; nothing throws. The out form lets a caller reuse one buffer.
void Utf8ToText(std::string_view bytes, std::u16string& out);
void Utf16LeToText(std::string_view bytes, std::u16string& out);
void Utf16BeToText(std::string_view bytes, std::u16string& out);
// The system's ANSI code page: 932 (Shift-JIS) on a Japanese system, and
// always 932 on the portable side.
void AnsiToText(std::string_view bytes, std::u16string& out);
std::string TextToUtf8(std::u16string_view text);
// Characters the code page cannot hold become its default character "?".
std::string TextToAnsi(std::u16string_view text);

// Keyboard: the Escape key is down at this moment. Always false where there is
// no keyboard to ask.
bool EscapeKeyDown();

}  // namespace platform
