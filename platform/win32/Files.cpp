// Files through the wide-character API, so that folder names in any script
// work whatever the system's code page is.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <new>
#include <string>

#include "platform/Platform.h"

namespace platform {
namespace {

// The path in the form the wide-character API takes. A long one is made
// absolute and given the \\?\ prefix, which lifts the limit of 260
// characters (the prefix also turns off the API's own clean-up of the path,
// which GetFullPathNameW has then done).
std::wstring SystemPath(const std::u16string& path) {
  std::wstring p(path.begin(), path.end());
  if (p.size() < MAX_PATH - 12 || p.starts_with(L"\\\\?\\")) return p;
  const DWORD need = GetFullPathNameW(p.c_str(), 0, nullptr, nullptr);
  if (need == 0) return p;
  std::wstring full(need, L'\0');
  const DWORD got = GetFullPathNameW(p.c_str(), need, full.data(), nullptr);
  if (got == 0 || got >= need) return p;
  full.resize(got);
  if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

bool WriteAll(HANDLE h, std::string_view bytes) {
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    const DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
    DWORD done = 0;
    if (!WriteFile(h, p, chunk, &done, nullptr) || done == 0) return false;
    p += done;
    left -= done;
  }
  return true;
}

// Creates a new file with a name no one else holds in the folder of target.
HANDLE CreateTemporary(const std::wstring& target, std::wstring& name) {
  const size_t sep = target.find_last_of(L"\\/");
  const std::wstring dir = sep == std::wstring::npos ? std::wstring() : target.substr(0, sep + 1);
  static const wchar_t kDigits[] = L"0123456789abcdefghijklmnopqrstuvwxyz";
  // Objects on several threads may save at once: each takes its own count,
  // and the thread's number keeps their names apart as well.
  static std::atomic<unsigned long long> counter{0};
  unsigned long long seed = GetTickCount64() ^ (static_cast<unsigned long long>(GetCurrentProcessId()) << 32) ^
                            (static_cast<unsigned long long>(GetCurrentThreadId()) << 16) ^
                            (counter.fetch_add(1, std::memory_order_relaxed) + 1) * 0x9E3779B97F4A7C15ULL;
  for (int attempt = 0; attempt < 100; ++attempt) {
    seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
    std::wstring suffix;
    for (unsigned long long v = seed >> 16; suffix.size() < 8; v /= 36) suffix += kDigits[v % 36];
    name = dir + L".tmp" + suffix;
    const HANDLE h = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) return h;
    const DWORD err = GetLastError();
    if (err != ERROR_FILE_EXISTS && err != ERROR_ALREADY_EXISTS) break;
  }
  return INVALID_HANDLE_VALUE;
}

}  // namespace

bool ReadWholeFile(const std::u16string& path, std::string& bytes) {
  bytes.clear();
  const HANDLE h = CreateFileW(SystemPath(path).c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  try {
    // The size is only a hint: the file may grow or shrink while it is read.
    LARGE_INTEGER size{};
    size_t cap = 4096;
    if (GetFileSizeEx(h, &size) && size.QuadPart > 0 &&
        static_cast<unsigned long long>(size.QuadPart) < SIZE_MAX / 2) {
      cap = static_cast<size_t>(size.QuadPart) + 1;
    }
    size_t len = 0;
    for (;;) {
      if (len == cap) cap *= 2;
      bytes.resize(cap);
      const size_t want = cap - len;
      const DWORD chunk = want > (1u << 30) ? (1u << 30) : static_cast<DWORD>(want);
      DWORD got = 0;
      if (!ReadFile(h, bytes.data() + len, chunk, &got, nullptr)) {
        ok = false;
        break;
      }
      if (got == 0) break;
      len += got;
    }
    bytes.resize(len);
  } catch (const std::bad_alloc&) {
    ok = false;
  }
  CloseHandle(h);
  if (!ok) bytes.clear();
  return ok;
}

struct FileReplacement::State {
  std::wstring target;
  std::wstring temp;
  HANDLE file = INVALID_HANDLE_VALUE;
  bool ok = false;
};

FileReplacement::FileReplacement(const std::u16string& path) : state_(new State) {
  state_->target = SystemPath(path);
  state_->file = CreateTemporary(state_->target, state_->temp);
  state_->ok = state_->file != INVALID_HANDLE_VALUE;
}

FileReplacement::~FileReplacement() {
  if (state_->file != INVALID_HANDLE_VALUE) {
    CloseHandle(state_->file);
    DeleteFileW(state_->temp.c_str());
  }
  delete state_;
}

bool FileReplacement::Write(std::string_view bytes) {
  if (state_->ok) state_->ok = WriteAll(state_->file, bytes);
  return state_->ok;
}

bool FileReplacement::Commit() {
  State& st = *state_;
  if (st.file == INVALID_HANDLE_VALUE) return false;
  bool ok = st.ok;
  if (!CloseHandle(st.file)) ok = false;
  st.file = INVALID_HANDLE_VALUE;
  if (ok) ok = MoveFileExW(st.temp.c_str(), st.target.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
  if (!ok) DeleteFileW(st.temp.c_str());
  st.ok = false;
  return ok;
}

bool WriteWholeFile(const std::u16string& path, std::string_view bytes) {
  FileReplacement file(path);
  return file.Write(bytes) && file.Commit();
}

// Large pages need a privilege that programs do not normally hold.
void PreferLargePages(const void*, size_t) {}

FileBuffer::~FileBuffer() { Free(); }

void FileBuffer::Free() {
  if (block_ != nullptr) VirtualFree(block_, 0, MEM_RELEASE);
  block_ = nullptr;
  data_ = nullptr;
  blockSize_ = size_ = capacity_ = released_ = 0;
}

bool FileBuffer::Read(const std::u16string& path) {
  Free();
  const HANDLE h = CreateFileW(SystemPath(path).c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  // The size is only a hint: the file may grow or shrink while it is read.
  LARGE_INTEGER size{};
  size_t want = 4096;
  if (GetFileSizeEx(h, &size) && size.QuadPart > 0 &&
      static_cast<unsigned long long>(size.QuadPart) < SIZE_MAX / 2) {
    want = static_cast<size_t>(size.QuadPart) + 1;
  }
  for (;;) {
    if (size_ == capacity_) {
      const size_t cap = size_ == 0 ? want : 2 * capacity_;
      void* block = VirtualAlloc(nullptr, cap, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
      if (block == nullptr) {
        ok = false;
        break;
      }
      if (size_ > 0) CopyMemory(block, data_, size_);
      if (block_ != nullptr) VirtualFree(block_, 0, MEM_RELEASE);
      block_ = block;
      blockSize_ = cap;
      data_ = static_cast<char*>(block);
      capacity_ = cap;
    }
    const size_t room = capacity_ - size_;
    const DWORD chunk = room > (1u << 30) ? (1u << 30) : static_cast<DWORD>(room);
    DWORD got = 0;
    if (!ReadFile(h, data_ + size_, chunk, &got, nullptr)) {
      ok = false;
      break;
    }
    if (got == 0) break;
    size_ += got;
  }
  CloseHandle(h);
  if (!ok) Free();
  return ok;
}

void FileBuffer::Release(size_t offset) {
  // Whole units of the system's allocation granularity, 64 KB.
  constexpr uintptr_t kUnit = 64 * 1024;
  const uintptr_t base = reinterpret_cast<uintptr_t>(data_);
  const uintptr_t from = (base + released_ + kUnit - 1) / kUnit * kUnit;
  const uintptr_t to = (base + (offset < size_ ? offset : size_)) / kUnit * kUnit;
  if (data_ == nullptr || to <= from) return;
  VirtualFree(reinterpret_cast<void*>(from), to - from, MEM_DECOMMIT);
  released_ = to - base;
}

bool IsFile(const std::u16string& path) {
  if (path.empty()) return false;
  const std::wstring p = SystemPath(path);
  const DWORD attr = GetFileAttributesW(p.c_str());
  if (attr == INVALID_FILE_ATTRIBUTES) return false;
  if (!(attr & FILE_ATTRIBUTE_REPARSE_POINT)) return !(attr & FILE_ATTRIBUTE_DIRECTORY);
  // A link: what counts is what it leads to, and that it leads anywhere.
  const HANDLE h = CreateFileW(p.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool ok = GetFileInformationByHandle(h, &info) != 0;
  CloseHandle(h);
  return ok && !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool RemoveFile(const std::u16string& path) {
  return !path.empty() && DeleteFileW(SystemPath(path).c_str()) != 0;
}

}  // namespace platform
