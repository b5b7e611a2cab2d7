// The running program and its arguments, as the kernel reports them, and the folder
// part of a path.
#include <unistd.h>

#include <string>

#include "platform/Platform.h"

namespace platform {

std::u16string ProgramPath() {
  std::string buf(256, '\0');
  for (;;) {
    const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
    if (n < 0) return {};
    // A result that fills the buffer may have been cut short.
    if (static_cast<size_t>(n) < buf.size()) {
      buf.resize(static_cast<size_t>(n));
      break;
    }
    buf.resize(buf.size() * 2);
  }
  std::u16string path;
  Utf8ToText(buf, path);
  return path;
}

std::vector<std::u16string> CommandLineArgs() {
  std::string raw;
  if (!ReadWholeFile(u"/proc/self/cmdline", raw)) return {};
  // Every argument, the program first, ends with a NUL; an empty argument is
  // a NUL alone and stays an argument.
  std::vector<std::u16string> args;
  size_t start = 0;
  bool program = true;
  while (start < raw.size()) {
    size_t end = raw.find('\0', start);
    if (end == std::string::npos) end = raw.size();
    if (!program) {
      args.emplace_back();
      Utf8ToText(std::string_view(raw).substr(start, end - start), args.back());
    }
    program = false;
    start = end + 1;
  }
  return args;
}

// Paths separate folders with "/" alone.
std::u16string_view FolderOf(std::u16string_view path) {
  return path.substr(0, path.find_last_of(u"/") + 1);  // npos + 1 is 0: no folder
}

}  // namespace platform
