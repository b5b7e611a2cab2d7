// The routines of the tool's shared unit that ask the system, on top of the
// platform layer of either side.
#include <string>

#include "platform/Platform.h"

bool FileThere(const std::u16string& name) {
  if (name.empty()) return false;
  return platform::IsFile(name);
}

bool FileRemove(const std::u16string& name) {
  if (name.empty()) return false;
  try {
    return platform::RemoveFile(name);
  } catch (...) {
    return false;
  }
}

bool EscPressed() { return platform::EscapeKeyDown(); }
