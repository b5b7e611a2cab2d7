// Files on a POSIX system: paths go to the kernel as UTF-8.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>

#include "platform/Platform.h"

namespace platform {
namespace {

std::string SystemPath(const std::u16string& path) { return TextToUtf8(path); }

bool WriteAll(int fd, std::string_view bytes) {
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  return true;
}

// Opens a new file with a name no one else holds, beside target, with the
// rights a newly created file gets (0666 less the umask, which is why this is
// not mkstemp and its fixed 0600).
int CreateTemporary(const std::string& target, std::string& name) {
  const size_t slash = target.rfind('/');
  const std::string dir = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  // A short name of its own, so that a target name near the length limit
  // still leaves room for it.
  static const char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  unsigned long long seed =
      static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
      (static_cast<unsigned long long>(getpid()) << 32) ^ reinterpret_cast<uintptr_t>(&name);
  for (int attempt = 0; attempt < 100; ++attempt) {
    seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
    std::string suffix;
    for (unsigned long long v = seed >> 16; suffix.size() < 8; v /= 36) suffix += kDigits[v % 36];
    name = dir + ".tmp" + suffix;
    const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

bool ReadWholeFile(const std::u16string& path, std::string& bytes) {
  bytes.clear();
  const int fd = open(SystemPath(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = true;
  try {
    struct stat st;
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
      ok = false;
    } else {
      // The size is only a hint: files under /proc report 0 and still hold text.
      size_t cap = st.st_size > 0 ? static_cast<size_t>(st.st_size) + 1 : 4096;
      size_t len = 0;
      for (;;) {
        if (len == cap) cap *= 2;
        bytes.resize(cap);
        const ssize_t n = read(fd, bytes.data() + len, cap - len);
        if (n < 0) {
          if (errno == EINTR) continue;
          ok = false;
          break;
        }
        if (n == 0) break;
        len += static_cast<size_t>(n);
      }
      bytes.resize(len);
    }
  } catch (const std::bad_alloc&) {
    ok = false;
  }
  close(fd);
  if (!ok) bytes.clear();
  return ok;
}

bool WriteWholeFile(const std::u16string& path, std::string_view bytes) {
  std::string target = SystemPath(path);
  struct stat st;
  const bool exists = lstat(target.c_str(), &st) == 0;
  // Write through a link to the file it names, so that the link stays.
  if (exists && S_ISLNK(st.st_mode)) {
    if (char* real = realpath(target.c_str(), nullptr)) {
      target = real;
      free(real);
    }
  }
  const bool keepMode = stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode);

  std::string temp;
  const int fd = CreateTemporary(target, temp);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, bytes);
  // The replaced file keeps its rights.
  if (ok && keepMode) ok = fchmod(fd, st.st_mode & 07777) == 0;
  // No fsync of the file nor of its folder (see the promise in Platform.h):
  // it cost about 1 ms a save on a quiet disk and tens of ms under load, most
  // of a run's time.
  if (close(fd) != 0) ok = false;
  if (ok) ok = rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) {
    unlink(temp.c_str());
    return false;
  }
  return true;
}

bool IsFile(const std::u16string& path) {
  struct stat st;
  return stat(SystemPath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool RemoveFile(const std::u16string& path) { return unlink(SystemPath(path).c_str()) == 0; }

}  // namespace platform
