// Files on a POSIX system: paths go to the kernel as UTF-8.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
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

namespace {
// Pages of this size back a large buffer where the kernel gives them.
constexpr size_t kLargePage = size_t{2} << 20;

uintptr_t RoundUp(uintptr_t v, size_t unit) { return (v + unit - 1) / unit * unit; }
}  // namespace

void PreferLargePages(const void* p, size_t bytes) {
#ifdef MADV_HUGEPAGE
  const uintptr_t first = RoundUp(reinterpret_cast<uintptr_t>(p), kLargePage);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(p) + bytes) / kLargePage * kLargePage;
  if (end > first) madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
#else
  (void)p;
  (void)bytes;
#endif
}

FileBuffer::~FileBuffer() { Free(); }

namespace {
// A big buffer is a mapping of its own, starting on a large page so that all
// of it can have them, and handing pages back as it goes; a small one comes
// from the heap, which a short run has ready.
void* NewBlock(size_t len, bool big) {
  if (!big) return ::operator new(len, std::nothrow);
  void* block = mmap(nullptr, len, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  return block == MAP_FAILED ? nullptr : block;
}

void FreeBlock(void* block, size_t len, bool big) {
  if (block == nullptr) return;
  if (big) {
    munmap(block, len);
  } else {
    ::operator delete(block);
  }
}
}  // namespace

void FileBuffer::Free() {
  FreeBlock(block_, blockSize_, capacity_ >= kLargePage);
  block_ = nullptr;
  data_ = nullptr;
  blockSize_ = size_ = capacity_ = released_ = 0;
}

bool FileBuffer::Read(const std::u16string& path) {
  Free();
  const int fd = open(SystemPath(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = false;
  struct stat st;
  if (fstat(fd, &st) == 0 && !S_ISDIR(st.st_mode)) {
    ok = true;
    // The size is only a hint: files under /proc report 0 and still hold text.
    size_t want = st.st_size > 0 ? static_cast<size_t>(st.st_size) + 1 : 4096;
    for (;;) {
      if (size_ == capacity_) {
        const size_t cap = size_ == 0 ? want : 2 * capacity_;
        const bool big = cap >= kLargePage;
        const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
        const size_t len = big ? RoundUp(cap, page) + kLargePage : cap;
        void* block = NewBlock(len, big);
        if (block == nullptr) {
          ok = false;
          break;
        }
        char* data = reinterpret_cast<char*>(big ? RoundUp(reinterpret_cast<uintptr_t>(block), kLargePage)
                                                 : reinterpret_cast<uintptr_t>(block));
        if (big) PreferLargePages(data, cap);
        if (size_ > 0) std::memcpy(data, data_, size_);
        FreeBlock(block_, blockSize_, capacity_ >= kLargePage);
        block_ = block;
        blockSize_ = len;
        data_ = data;
        capacity_ = cap;
      }
      const ssize_t n = read(fd, data_ + size_, capacity_ - size_);
      if (n < 0) {
        if (errno == EINTR) continue;
        ok = false;
        break;
      }
      if (n == 0) break;
      size_ += static_cast<size_t>(n);
    }
  }
  close(fd);
  if (!ok) Free();
  return ok;
}

void FileBuffer::Release(size_t offset) {
  // In whole large pages: giving back part of one would split it.
  const uintptr_t base = reinterpret_cast<uintptr_t>(data_);
  const uintptr_t from = RoundUp(base + released_, kLargePage);
  const uintptr_t to = (base + std::min(offset, size_)) / kLargePage * kLargePage;
  if (data_ == nullptr || to <= from) return;
  madvise(reinterpret_cast<void*>(from), to - from, MADV_DONTNEED);
  released_ = to - base;
}

struct FileReplacement::State {
  std::string target;
  std::string temp;
  int fd = -1;
  bool ok = false;
  bool keepMode = false;
  mode_t mode = 0;
};

FileReplacement::FileReplacement(const std::u16string& path) : state_(new State) {
  State& st = *state_;
  st.target = SystemPath(path);
  struct stat info;
  // Write through a link to the file it names, so that the link stays.
  if (lstat(st.target.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
    if (char* real = realpath(st.target.c_str(), nullptr)) {
      st.target = real;
      free(real);
    }
  }
  // The replaced file keeps its rights.
  st.keepMode = stat(st.target.c_str(), &info) == 0 && S_ISREG(info.st_mode);
  st.mode = info.st_mode & 07777;
  st.fd = CreateTemporary(st.target, st.temp);
  st.ok = st.fd >= 0;
}

FileReplacement::~FileReplacement() {
  if (state_->fd >= 0) {
    close(state_->fd);
    unlink(state_->temp.c_str());
  }
  delete state_;
}

bool FileReplacement::Write(std::string_view bytes) {
  if (state_->ok) state_->ok = WriteAll(state_->fd, bytes);
  return state_->ok;
}

bool FileReplacement::Commit() {
  State& st = *state_;
  if (st.fd < 0) return false;
  bool ok = st.ok;
  if (ok && st.keepMode) ok = fchmod(st.fd, st.mode) == 0;
  // No fsync of the file nor of its folder (see the promise in Platform.h):
  // it cost about 1 ms a save on a quiet disk and tens of ms under load, most
  // of a run's time.
  if (close(st.fd) != 0) ok = false;
  st.fd = -1;
  if (ok) ok = rename(st.temp.c_str(), st.target.c_str()) == 0;
  if (!ok) unlink(st.temp.c_str());
  st.ok = false;
  return ok;
}

bool WriteWholeFile(const std::u16string& path, std::string_view bytes) {
  FileReplacement file(path);
  return file.Write(bytes) && file.Commit();
}

bool IsFile(const std::u16string& path) {
  struct stat st;
  return stat(SystemPath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool RemoveFile(const std::u16string& path) { return unlink(SystemPath(path).c_str()) == 0; }

}  // namespace platform
