// A message box of the system's own. The tool has no window of its own in a
// run mode, so the box has no owner; it stays on top so that the CAD program,
// which waits for the tool, does not hide it.
#include <windows.h>

#include <string>

#include "platform/Platform.h"

namespace platform {

void Tell(std::u16string_view title, std::u16string_view text) {
  const std::wstring t(title.begin(), title.end()), s(text.begin(), text.end());
  MessageBoxW(nullptr, s.c_str(), t.c_str(), MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND | MB_TOPMOST);
}

}  // namespace platform
