// The running program and its arguments, as Windows reports them, and the folder
// part of a path.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "platform/Platform.h"

namespace platform {

std::u16string ProgramPath() {
  // A path may be far longer than 260 characters; a result that fills the
  // buffer may have been cut short, so the buffer grows until it does not.
  std::wstring buf(MAX_PATH, L'\0');
  for (;;) {
    SetLastError(ERROR_SUCCESS);
    const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return {};
    if (n < buf.size() && GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
      buf.resize(n);
      break;
    }
    if (buf.size() >= 1u << 16) return {};  // beyond any path Windows allows
    buf.resize(buf.size() * 2);
  }
  return std::u16string(buf.begin(), buf.end());
}

std::vector<std::u16string> CommandLineArgs() {
  // Split as every Windows program's start-up code splits it: blanks between
  // arguments, double quotes around blanks, backslashes before quotes.
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv == nullptr) return {};
  std::vector<std::u16string> args;
  for (int i = 1; i < argc; ++i) {
    const std::wstring_view a(argv[i]);
    args.emplace_back(a.begin(), a.end());
  }
  LocalFree(argv);
  return args;
}

// Windows takes "\" and "/" alike between folders.
std::u16string_view FolderOf(std::u16string_view path) {
  return path.substr(0, path.find_last_of(u"\\/") + 1);  // npos + 1 is 0: no folder
}

}  // namespace platform
