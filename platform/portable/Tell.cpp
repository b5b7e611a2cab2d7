// Without a window system of its own the tool tells on standard error, where
// a shell, a test or the browser page's console picks it up.
#include <cstdio>
#include <string>

#include "platform/Platform.h"

namespace platform {

void Tell(std::u16string_view, std::u16string_view text) {
  const std::string line = TextToUtf8(text) + '\n';
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

}  // namespace platform
