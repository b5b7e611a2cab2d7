// The floor of reading an exchange file on Windows: the file read whole and
// decoded from the system's ANSI code page (932 on a Japanese system) with
// MultiByteToWideChar, the UTF-16 written to standard output: what iconv
// does on Linux, and the least any reader of the file has to do.
//
//   decode_floor FILE
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  const HANDLE in = CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
  LARGE_INTEGER size{};
  if (in == INVALID_HANDLE_VALUE || !GetFileSizeEx(in, &size) || size.QuadPart >= (1LL << 30)) return 1;
  const DWORD len = static_cast<DWORD>(size.QuadPart);
  char* bytes = static_cast<char*>(VirtualAlloc(nullptr, len + 1, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  DWORD got = 0;
  if (bytes == nullptr || !ReadFile(in, bytes, len, &got, nullptr) || got != len) return 1;
  CloseHandle(in);
  const int n = MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(len), nullptr, 0);
  wchar_t* text = static_cast<wchar_t*>(
      VirtualAlloc(nullptr, static_cast<SIZE_T>(n) * 2 + 2, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  if (text == nullptr) return 1;
  MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(len), text, n);
  DWORD put = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, static_cast<DWORD>(n) * 2, &put, nullptr);
  return 0;
}
