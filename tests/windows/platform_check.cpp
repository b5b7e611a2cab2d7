// Checks of the Windows platform side, run under Wine by tests/windows/run.sh
// on a Japanese system (code page 932). No test framework: each check prints
// one line, and the exit code is the number of failures.
//
//   platform_check <empty folder>   text conversion, folders of paths, and files in that folder
//   platform_check --path           prints the program's full path (UTF-8)
//   platform_check --args ...       prints each argument on a line (UTF-8)
//   platform_check --trig <folder>  ExactSin, ExactCos and ExactAtan2 against the
//                                   reference values in folder (tests/trig)
#include <windows.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "platform/Platform.h"
#include "tests/trig/Check.h"

namespace {

int failures = 0;

void Check(bool ok, const std::string& what) {
  std::printf("  %s %s\n", ok ? "ok  " : "FAIL", what.c_str());
  if (!ok) ++failures;
}

std::string Hex(std::string_view bytes) {
  std::string s;
  char buf[4];
  for (unsigned char b : bytes) {
    std::snprintf(buf, sizeof buf, "%02X ", b);
    s += buf;
  }
  return s;
}

std::string Hex(std::u16string_view text) {
  std::string s;
  char buf[8];
  for (char16_t c : text) {
    std::snprintf(buf, sizeof buf, "%04X ", static_cast<unsigned>(c));
    s += buf;
  }
  return s;
}

std::wstring W(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }

std::vector<std::u16string> Names(const std::u16string& dir) {
  std::vector<std::u16string> names;
  WIN32_FIND_DATAW fd;
  const std::wstring pattern = L"\\\\?\\" + W(dir) + L"\\*";
  HANDLE h = FindFirstFileW(pattern.c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring n = fd.cFileName;
    if (n != L"." && n != L"..") names.emplace_back(n.begin(), n.end());
  } while (FindNextFileW(h, &fd));
  FindClose(h);
  return names;
}

struct Row {
  std::string bytes;
  std::u16string text;
};

void Ansi() {
  std::printf("ANSI code page %u\n", GetACP());
  Check(GetACP() == 932, "the system's ANSI code page is 932");
  // Both ways. The second byte 0x5C of 表, ソ and 能 is no backslash; ～, －,
  // ∥ and ￢ are the Windows choices.
  const Row both[] = {
      {"abc\\~", u"abc\\~"},
      {"\x95\x5C\x83\x5C\x94\x5C", u"表ソ能"},
      {"C:\\\x95\x5C\\a.txt", u"C:\\表\\a.txt"},
      {"\x87\x40\x87\x75\x87\x56\x87\x82", u"①㎡Ⅲ№"},
      {"\x81\x60\x81\x7C\x81\x61\x81\xCA", u"\uFF5E\uFF0D\u2225\uFFE2"},
      {"\xFB\xFC", u"髙"},
      {"\xB1\xDF", u"\uFF71\uFF9F"},
      {"\x81\x40", u"\u3000"},
      {"ch 10 20 1 0 \"\x95\x5C\x8E\xA6" "abcdefghij\x83\x5C", u"ch 10 20 1 0 \"表示abcdefghijソ"},
  };
  const Row decodeOnly[] = {
      {"\xEE\xE0", u"髙"},
      {"\xFA\x55", u"\uFFE4"},
      // Bytes that start no character, one replacement each; the byte after
      // a lead that finds no partner starts afresh.
      {"\x82", u"\uFFFD"},
      {"a\x95", u"a\uFFFD"},
      {"\x82\x41" "b", u"\uFFFDAb"},
      {"\x87\xE0\x40", u"\uFFFD\u6F3E"},
      {"\x95\x5C\x82", u"表\uFFFD"},
      {"abcdefghijk\x82\x20\x95\x5Clmn", u"abcdefghijk\uFFFD 表lmn"},
  };
  const Row encodeOnly[] = {
      {"?", u"\u00E9"},  // no look-alike "e"
      {"a?b", u"a\u20ACb"},
      {"??", u"\U0001F600"},
      {"?", u"\xD800"},
      {"\x95\x5C?\x95\x5C", u"表\xD800表"},
  };
  std::u16string out = u"a text left in the buffer";
  for (const auto& r : both) {
    platform::AnsiToText(r.bytes, out);
    Check(out == r.text, "decode " + Hex(r.bytes) + "-> " + Hex(out));
    const std::string back = platform::TextToAnsi(r.text);
    Check(back == r.bytes, "encode " + Hex(r.text) + "-> " + Hex(back));
  }
  for (const auto& r : decodeOnly) {
    platform::AnsiToText(r.bytes, out);
    Check(out == r.text, "decode " + Hex(r.bytes) + "-> " + Hex(out));
  }
  for (const auto& r : encodeOnly) {
    const std::string b = platform::TextToAnsi(r.text);
    Check(b == r.bytes, "encode " + Hex(r.text) + "-> " + Hex(b));
  }
  // Bytes that Shift-JIS leaves free; the system's table decides.
  for (const char* b : {"\x80", "\xA0", "\xFD", "\xFE", "\xFF"}) {
    platform::AnsiToText(b, out);
    std::printf("  note single byte %s-> %s\n", Hex(std::string_view(b)).c_str(), Hex(out).c_str());
  }
  // A whole exchange file's worth: mostly ASCII with Japanese spread in it.
  std::u16string text;
  std::string bytes;
  for (int i = 0; i < 20000; ++i) {
    text += u"1820.5 -0.001 3640 12345.6789\r\n";
    bytes += "1820.5 -0.001 3640 12345.6789\r\n";
    if (i % 7 == 0) {
      text += u"ch 0 0 1 0 \"表～";
      bytes += "ch 0 0 1 0 \"\x95\x5C\x81\x60";
    }
  }
  Check(platform::TextToAnsi(text) == bytes, "a long text encodes byte for byte");
  platform::AnsiToText(bytes, out);
  Check(out == text, "a long text decodes back");
}

void Files(const std::u16string& dir) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const std::u16string name = dir + u"\\表 ソ.txt";
  Check(platform::WriteWholeFile(name, all), "write a file with a Japanese name");
  std::string read;
  Check(platform::ReadWholeFile(name, read) && read == all, "read every byte back");
  Check(platform::WriteWholeFile(name, "hq\r\n"), "replace it");
  Check(platform::ReadWholeFile(name, read) && read == "hq\r\n", "the new content replaced the old");
  Check(Names(dir) == std::vector<std::u16string>{u"表 ソ.txt"}, "no temporary file is left");
  std::string big((size_t{3} << 20) + 5, '\0');
  for (size_t k = 0; k < big.size(); ++k) big[k] = static_cast<char>(k * 7 + k / 4093);
  Check(platform::WriteWholeFile(name, big), "write a file of 3 MB");
  {
    platform::FileBuffer file;
    Check(file.Read(name) && file.Bytes() == big, "read it into a buffer of its own");
    file.Release(big.size() / 2);
    Check(file.Bytes().substr(big.size() / 2) == std::string_view(big).substr(big.size() / 2),
          "the bytes ahead of a release stay");
  }
  Check(platform::WriteWholeFile(name, "hq\r\n"), "replace it again");
  Check(platform::IsFile(name), "a file is a file");

  const std::u16string sub = dir + u"\\フォルダ";
  CreateDirectoryW(W(sub).c_str(), nullptr);
  Check(!platform::IsFile(sub), "a folder is no file");
  Check(!platform::IsFile(dir + u"\\none"), "a missing name is no file");
  Check(!platform::IsFile(u""), "an empty name is no file");
  Check(!platform::ReadWholeFile(sub, read) && read.empty(), "a folder cannot be read as a file");
  Check(!platform::WriteWholeFile(sub, "x"), "a folder cannot be replaced by a file");
  Check(!platform::WriteWholeFile(dir + u"\\missing\\a.txt", "x"), "no file in a missing folder");
  Check(!platform::RemoveFile(sub), "a folder is not removed");
  Check(!platform::RemoveFile(dir + u"\\none"), "a missing file is not removed");

  const std::u16string locked = dir + u"\\読み取り専用.txt";
  platform::WriteWholeFile(locked, "old");
  SetFileAttributesW(W(locked).c_str(), FILE_ATTRIBUTE_READONLY);
  const bool replaced = platform::WriteWholeFile(locked, "new");
  Check(platform::ReadWholeFile(locked, read) && read == (replaced ? "new" : "old"),
        std::string("a read-only file ") + (replaced ? "was replaced whole" : "is left as it was"));
  SetFileAttributesW(W(locked).c_str(), FILE_ATTRIBUTE_NORMAL);
  Check(platform::RemoveFile(locked), "remove a file");
  Check(Names(dir).size() == 2, "only the file and the folder are left");

  // Two threads saving at once in one folder, as two objects may: every save
  // succeeds and each file holds what its own thread wrote.
  {
    bool ok[2] = {true, true};
    std::thread t[2];
    for (int k = 0; k < 2; ++k) {
      t[k] = std::thread([&, k] {
        const std::u16string own = dir + u"\\並行" + std::u16string(1, static_cast<char16_t>(u'0' + k));
        for (int i = 0; i < 200; ++i) {
          const std::string bytes(100 + i, static_cast<char>('a' + k));
          std::string back;
          ok[k] = ok[k] && platform::WriteWholeFile(own, bytes) &&
                  platform::ReadWholeFile(own, back) && back == bytes;
        }
      });
    }
    for (auto& th : t) th.join();
    Check(ok[0] && ok[1], "two threads save at once, 200 times each");
    for (int k = 0; k < 2; ++k) {
      platform::RemoveFile(dir + u"\\並行" + std::u16string(1, static_cast<char16_t>(u'0' + k)));
    }
    Check(Names(dir).size() == 2, "and leave no temporary file");
  }

  // A path far beyond 260 characters, given plainly, as the tool builds it.
  std::u16string deep = dir;
  for (int i = 0; i < 8; ++i) {
    deep += u"\\長いフォルダの名前 long folder name " + std::u16string(1, static_cast<char16_t>(u'0' + i));
    CreateDirectoryW((L"\\\\?\\" + W(deep)).c_str(), nullptr);
  }
  const std::u16string longName = deep + u"\\JWC_TEMP.TXT";
  std::printf("  (a path of %zu characters)\n", longName.size());
  Check(platform::WriteWholeFile(longName, all), "write under a long path");
  Check(platform::IsFile(longName), "a file under a long path is a file");
  Check(platform::ReadWholeFile(longName, read) && read == all, "read under a long path");
  Check(platform::RemoveFile(longName), "remove under a long path");
  Check(!platform::IsFile(longName), "removed");
}

// Both "\" and "/" separate folders on Windows.
void Folders() {
  const std::pair<std::u16string_view, std::u16string_view> rows[] = {
      {u"C:\\Jw_cad\\kx29.exe", u"C:\\Jw_cad\\"},
      {u"C:/a b/表/kx29.exe", u"C:/a b/表/"},
      {u"C:\\a/b\\kx29.exe", u"C:\\a/b\\"},
      {u"\\\\server\\share\\kx29.exe", u"\\\\server\\share\\"},
      {u"kx29.exe", u""},
  };
  for (const auto& [path, folder] : rows) {
    Check(platform::FolderOf(path) == folder, "folder of " + platform::TextToUtf8(path));
  }
}

// The same reference values as the native test, and by the same checks.
int Trig(const std::u16string& dir) {
  struct Set {
    const char16_t* file;
    trigcheck::Result (*check)(const std::vector<trigcheck::Row>&, size_t);
    size_t wideStride;
    const char* name;
  };
  const Set sets[] = {
      {u"sincos_hard.txt", trigcheck::CheckSinCos, trigcheck::kWideStrideHard,
       "sine and cosine, hard arguments"},
      {u"sincos_random.bin", trigcheck::CheckSinCos, trigcheck::kWideStrideRandom,
       "sine and cosine, random arguments"},
      {u"atan2_hard.txt", trigcheck::CheckAtan2, trigcheck::kWideStrideHard, "atan2, hard pairs"},
      {u"atan2_random.bin", trigcheck::CheckAtan2, trigcheck::kWideStrideRandom, "atan2, random pairs"},
  };
  for (const Set& set : sets) {
    std::string bytes;
    Check(platform::ReadWholeFile(dir + u"\\" + set.file, bytes), std::string("read ") + set.name);
    const std::vector<trigcheck::Row> rows = std::u16string_view(set.file).ends_with(u".txt")
                                                 ? trigcheck::ParseHard(bytes)
                                                 : trigcheck::ParseRandom(bytes);
    const trigcheck::Result r = set.check(rows, set.wideStride);
    for (const auto& f : r.failures) std::printf("    %s\n", f.c_str());
    Check(!rows.empty() && r.failed == 0,
          std::string(set.name) + ": " + std::to_string(rows.size()) + " rows, " +
              std::to_string(r.checked) + " results, " + std::to_string(r.failed) + " wrong");
  }
  std::printf("trig: %d failed\n", failures);
  return failures;
}

void PrintUtf8(const std::u16string& s) {
  const std::string u = platform::TextToUtf8(s);
  std::fwrite(u.data(), 1, u.size(), stdout);
  std::fputc('\n', stdout);
}

}  // namespace

int main() {
  const std::vector<std::u16string> args = platform::CommandLineArgs();
  if (!args.empty() && args[0] == u"--path") {
    PrintUtf8(platform::ProgramPath());
    return 0;
  }
  if (!args.empty() && args[0] == u"--args") {
    for (size_t i = 1; i < args.size(); ++i) PrintUtf8(args[i]);
    return 0;
  }
  if (args.size() == 2 && args[0] == u"--trig") return Trig(args[1]);
  if (args.size() != 1) {
    std::fputs("usage: platform_check <empty folder> | --path | --args ... | --trig <folder>\n",
               stderr);
    return 2;
  }
  Ansi();
  Folders();
  Files(args[0]);
  std::printf("platform: %d failed\n", failures);
  return failures;
}
