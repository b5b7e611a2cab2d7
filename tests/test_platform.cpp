// The portable platform layer: text conversion, whole-file reading and
// replacing, and what the process knows about itself.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "tests/TestUtil.h"

namespace fs = std::filesystem;
using kxtest::ReadBytes;
using kxtest::TempDir;
using kxtest::U16;
using kxtest::WriteBytes;

namespace {

// Started again with KX29_ECHO_ARGS naming a file, this program writes the
// arguments it sees there, one a line, and ends before any test runs.
const bool kEchoedArgs = [] {
  const char* file = std::getenv("KX29_ECHO_ARGS");
  if (file == nullptr) return false;
  std::string text;
  for (const auto& a : platform::CommandLineArgs()) text += platform::TextToUtf8(a) + "\n";
  platform::WriteWholeFile(U16(file), text);
  std::_Exit(0);
}();

// Text as code units, so that failures show which unit differs.
std::vector<unsigned> Units(const std::u16string& s) { return {s.begin(), s.end()}; }

// ---------------------------------------------------------------- UTF-8

struct Utf8Row {
  std::string bytes;
  std::u16string text;
};

const Utf8Row kUtf8Valid[] = {
    {"", u""},
    {"abc", u"abc"},
    {"\xC3\xA9", u"\u00E9"},
    {"\xDF\xBF", u"\u07FF"},
    {"\xE0\xA0\x80", u"\u0800"},
    {"\xE8\xA1\xA8\xE3\x82\xBD\xE8\x83\xBD", u"表ソ能"},
    {"\xED\x9F\xBF", u"\uD7FF"},
    {"\xEE\x80\x80", u"\uE000"},
    {"\xEF\xBB\xBF", u"\uFEFF"},  // a mark inside the text is kept; dropping one is the caller's
    {"\xEF\xBF\xBF", u"\uFFFF"},
    {"\xF0\x90\x80\x80", u"\U00010000"},
    {"\xF0\x9F\x98\x80", u"\U0001F600"},
    {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
    // Across the eight-byte ASCII steps.
    {"abcdefgh\xE8\xA1\xA8ijklmnopq\xC3\xA9r", u"abcdefgh表ijklmnopq\u00E9r"},
};

const Utf8Row kUtf8Invalid[] = {
    {"\x80", u"\uFFFD"},
    {"\xBF\x80", u"\uFFFD\uFFFD"},
    {"\xC0\xAF", u"\uFFFD\uFFFD"},              // overlong "/"
    {"\xC1\xBF", u"\uFFFD\uFFFD"},
    {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},    // overlong, three bytes
    {"\xE0\x9F\xBF", u"\uFFFD\uFFFD\uFFFD"},
    {"\xF0\x8F\xBF\xBF", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // overlong, four bytes
    {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},    // a surrogate
    {"\xED\xBF\xBF", u"\uFFFD\uFFFD\uFFFD"},
    {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // beyond U+10FFFF
    {"\xF5\x80\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
    {"\xF8\x88\x80\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
    {"\xFE\xFF", u"\uFFFD\uFFFD"},
    // Cut short: the lead and the continuation bytes that fit count once.
    {"\xC3", u"\uFFFD"},
    {"\xE8\xA1", u"\uFFFD"},
    {"\xF0\x9F\x98", u"\uFFFD"},
    {"\xE8\xA1" "A", u"\uFFFDA"},
    {"\xF0\x9F\x98\xE8\xA1\xA8", u"\uFFFD表"},
    {"\xE8\xC3\xA9", u"\uFFFD\u00E9"},
    {"abcdefghi\xFFjklmnopqr", u"abcdefghi\uFFFDjklmnopqr"},
    // The example of the Unicode standard for maximal subparts.
    {"\x61\xF1\x80\x80\xE1\x80\xC2\x62\x80\x63\x80\xBF\x64",
     u"a\uFFFD\uFFFD\uFFFDb\uFFFDc\uFFFD\uFFFDd"},
};

TEST(Utf8, DecodesValidAndReplacesEachMaximalInvalidPart) {
  std::u16string out = u"a longer text left in the buffer from before";
  auto check = [&out](const Utf8Row& row) {
    platform::Utf8ToText(row.bytes, out);
    EXPECT_EQ(Units(out), Units(row.text)) << testing::PrintToString(row.bytes);
  };
  for (const auto& row : kUtf8Valid) check(row);
  for (const auto& row : kUtf8Invalid) check(row);
}

TEST(Utf8, EncodesValidTextBackToTheSameBytes) {
  for (const auto& row : kUtf8Valid)
    EXPECT_EQ(platform::TextToUtf8(row.text), row.bytes) << testing::PrintToString(row.bytes);
}

TEST(Utf8, EncodesLoneSurrogatesAsReplacementCharacter) {
  const struct {
    std::u16string text;
    std::string bytes;
  } rows[] = {
      {u"\xD800", "\xEF\xBF\xBD"},
      {u"\xDC00", "\xEF\xBF\xBD"},
      {u"a\xD83D" "b", "a\xEF\xBF\xBD" "b"},
      {u"\xDE00\xD83D", "\xEF\xBF\xBD\xEF\xBF\xBD"},  // the halves the wrong way round
      {u"\xD83D\xD83D\xDE00", "\xEF\xBF\xBD\xF0\x9F\x98\x80"},
      {u"abcdefg\xD800", "abcdefg\xEF\xBF\xBD"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(platform::TextToUtf8(row.text), row.bytes) << testing::PrintToString(row.bytes);
}

// ---------------------------------------------------------------- UTF-16

TEST(Utf16, DecodesBothByteOrders) {
  const struct {
    bool bigEndian;
    std::string bytes;
    std::u16string text;
  } rows[] = {
      {false, "", u""},
      {false, std::string("A\0\x68\x88", 4), u"A表"},
      {true, std::string("\0A\x88\x68", 4), u"A表"},
      {false, std::string("\x3D\xD8\x00\xDE", 4), u"\U0001F600"},
      {true, std::string("\xD8\x3D\xDE\x00", 4), u"\U0001F600"},
      // Lone surrogates are handed on as they are.
      {false, std::string("\x00\xD8" "A\0", 4), u"\xD800" "A"},
      {true, std::string("\xDC\x00", 2), u"\xDC00"},
      // An odd last byte has no partner.
      {false, "A", u"\uFFFD"},
      {false, std::string("A\0B", 3), u"A\uFFFD"},
      {true, std::string("\0AB", 3), u"A\uFFFD"},
  };
  std::u16string out = u"left from before";
  for (const auto& row : rows) {
    (row.bigEndian ? platform::Utf16BeToText : platform::Utf16LeToText)(row.bytes, out);
    EXPECT_EQ(Units(out), Units(row.text)) << (row.bigEndian ? "BE " : "LE ") << testing::PrintToString(row.bytes);
  }
}

// ---------------------------------------------------------------- byte-order marks

TEST(ByteOrderMark, NamesTheEncodingAndIsTakenOff) {
  using E = platform::TextEncoding;
  const struct {
    std::string bytes;
    E encoding;
    std::string rest;
  } rows[] = {
      {"\xEF\xBB\xBF" "ab", E::Utf8, "ab"},
      {std::string("\xFF\xFE" "a\0", 4), E::Utf16Le, std::string("a\0", 2)},
      {std::string("\xFE\xFF\0" "a", 4), E::Utf16Be, std::string("\0" "a", 2)},
      {"\xEF\xBB\xBF", E::Utf8, ""},
      {"\xEF\xBB" "a", E::Ansi, "\xEF\xBB" "a"},  // part of a mark is text
      {"\xFF", E::Ansi, "\xFF"},
      {"a\xEF\xBB\xBF", E::Ansi, "a\xEF\xBB\xBF"},  // a mark counts only at the start
      {"", E::Ansi, ""},
  };
  for (const auto& row : rows) {
    std::string_view bytes = row.bytes;
    const std::string name = testing::PrintToString(row.bytes);
    EXPECT_EQ(platform::TakeByteOrderMark(bytes), row.encoding) << name;
    EXPECT_EQ(bytes, row.rest) << name;
  }
  std::u16string text;
  platform::DecodeByMark("\xFE\xFF\x88\x68", text);
  EXPECT_EQ(text, u"\u8868");
  platform::DecodeByMark("\x95\x5C", text);  // no mark: code page 932
  EXPECT_EQ(text, u"\u8868");
}

// ---------------------------------------------------------------- code page 932

struct AnsiRow {
  std::string bytes;
  std::u16string text;
};

// Both ways. The second byte 0x5C of 表, ソ and 能 is no backslash; ～, －, ∥
// and ￢ are the Windows choices, not the JIS ones (〜, −, ‖, ¬).
const AnsiRow kAnsiBothWays[] = {
    {"", u""},
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

TEST(Ansi, DecodesWindowsShiftJis) {
  const AnsiRow decodeOnly[] = {
      {"\xEE\xE0", u"髙"},  // the same character in the NEC-selected rows
      {"\xFA\x55", u"\uFFE4"},
  };
  std::u16string out = u"a longer text left in the buffer from before";
  auto check = [&out](const AnsiRow& row) {
    platform::AnsiToText(row.bytes, out);
    EXPECT_EQ(Units(out), Units(row.text)) << testing::PrintToString(row.bytes);
  };
  for (const auto& row : kAnsiBothWays) check(row);
  for (const auto& row : decodeOnly) check(row);
}

TEST(Ansi, ReplacesInvalidBytesOneByOne) {
  const AnsiRow rows[] = {
      {"\x80", u"\uFFFD"},
      {"\xA0", u"\uFFFD"},
      {"\xFD\xFE\xFF", u"\uFFFD\uFFFD\uFFFD"},
      {"\x82", u"\uFFFD"},                 // a lead at the end
      {"a\x95", u"a\uFFFD"},
      {"\x82\x41" "b", u"\uFFFDAb"},       // a lead whose second byte fits no character
      {"\x87\xE0\x40", u"\uFFFD\u6F3E"},   // ... and the byte after it starts one
      {"\x95\x5C\x82", u"表\uFFFD"},
      {"\x80\x95\x5C", u"\uFFFD表"},
      {"abcdefghijk\xFF\x95\x5Clmnopqrstu", u"abcdefghijk\uFFFD表lmnopqrstu"},
  };
  std::u16string out;
  for (const auto& row : rows) {
    platform::AnsiToText(row.bytes, out);
    EXPECT_EQ(Units(out), Units(row.text)) << testing::PrintToString(row.bytes);
  }
}

TEST(Ansi, EncodesWindowsShiftJisWithQuestionMarkForTheRest) {
  for (const auto& row : kAnsiBothWays)
    EXPECT_EQ(platform::TextToAnsi(row.text), row.bytes) << testing::PrintToString(row.bytes);
  // One "?" per code unit that cannot be written.
  const AnsiRow rows[] = {
      {"?", u"\u00E9"},
      {"a?b", u"a\u20ACb"},
      {"??", u"\U0001F600"},
      {"?", u"\xD800"},
      {"?a", u"\xDC00" "a"},
      {"\x95\x5C?\x95\x5C", u"表\xD800表"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(platform::TextToAnsi(row.text), row.bytes) << testing::PrintToString(row.bytes);
}

TEST(Ansi, LongTextsGrowWithoutLosingAByte) {
  // Mostly ASCII with characters of two bytes spread through it, the shape of
  // a whole exchange file.
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
  text += u"ソ";
  bytes += "\x83\x5C";
  EXPECT_EQ(platform::TextToAnsi(text), bytes);
  std::u16string back;
  platform::AnsiToText(bytes, back);
  EXPECT_TRUE(back == text);
}

// ---------------------------------------------------------------- files

std::vector<std::string> Names(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(Files, WriteAndReadBackEveryByteUnderAJapaneseName) {
  TempDir dir;
  std::string bytes;
  for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
  bytes += std::string(100000, 'x');
  const std::u16string path = U16(dir.path()) + u"/表 ソ.txt";
  ASSERT_TRUE(platform::WriteWholeFile(path, bytes));
  EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"表 ソ.txt"});
  std::string read = "left from before";
  ASSERT_TRUE(platform::ReadWholeFile(path, read));
  EXPECT_TRUE(read == bytes);

  ASSERT_TRUE(platform::WriteWholeFile(path, ""));
  ASSERT_TRUE(platform::ReadWholeFile(path, read));
  EXPECT_EQ(read, "");
}

// A file read into a buffer of its own, small (from the heap) and big (a
// mapping of large pages), and the bytes behind the reading handed back: the
// bytes still ahead stay as they were.
TEST(Files, FileBufferHoldsEveryByteAndKeepsWhatIsAheadAfterARelease) {
  TempDir dir;
  for (const size_t size : {size_t{0}, size_t{1}, size_t{4097}, (size_t{5} << 20) + 3}) {
    std::string bytes(size, '\0');
    for (size_t k = 0; k < size; ++k) bytes[k] = static_cast<char>(k * 7 + k / 4093);
    const std::u16string path = U16(dir.path()) + u"/表.txt";
    ASSERT_TRUE(platform::WriteWholeFile(path, bytes));
    platform::FileBuffer file;
    ASSERT_TRUE(file.Read(path)) << size;
    ASSERT_TRUE(file.Bytes() == bytes) << size;
    for (const size_t upTo : {size / 3, size / 2, size}) {
      file.Release(upTo);
      EXPECT_TRUE(file.Bytes().substr(upTo) == std::string_view(bytes).substr(upTo)) << size;
    }
  }
  platform::FileBuffer none;
  EXPECT_FALSE(none.Read(U16(dir.path()) + u"/none"));
  EXPECT_FALSE(none.Read(U16(dir.path())));
  EXPECT_TRUE(none.Bytes().empty());
}

TEST(Files, ReplacesAnExistingFileKeepingItsRights) {
  TempDir dir;
  const fs::path p = dir / "JWC_TEMP.TXT";
  WriteBytes(p, std::string(5000, 'o'));
  fs::permissions(p, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ASSERT_TRUE(platform::WriteWholeFile(U16(p), "hq\r\n"));
  EXPECT_EQ(ReadBytes(p), "hq\r\n");
  EXPECT_EQ(fs::status(p).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"JWC_TEMP.TXT"});
}

TEST(Files, WritesThroughALinkAndKeepsTheLink) {
  TempDir dir;
  WriteBytes(dir / "real.txt", "old");
  fs::create_symlink(dir / "real.txt", dir / "link.txt");
  ASSERT_TRUE(platform::WriteWholeFile(U16(dir / "link.txt"), "new"));
  EXPECT_TRUE(fs::is_symlink(dir / "link.txt"));
  EXPECT_EQ(ReadBytes(dir / "real.txt"), "new");
}

TEST(Files, FailedWriteLeavesTargetAndFolderAsTheyWere) {
  TempDir dir;
  fs::create_directory(dir / "folder");
  WriteBytes(dir / "folder" / "inside.txt", "kept");
  EXPECT_FALSE(platform::WriteWholeFile(U16(dir / "folder"), "new"));
  EXPECT_TRUE(fs::is_directory(dir / "folder"));
  EXPECT_EQ(ReadBytes(dir / "folder" / "inside.txt"), "kept");
  EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"folder"});  // no temporary file left

  EXPECT_FALSE(platform::WriteWholeFile(U16(dir / "missing" / "a.txt"), "new"));
  EXPECT_FALSE(fs::exists(dir / "missing"));

  // The superuser writes anywhere; the cases above stand in for it then.
  if (geteuid() != 0) {
    fs::create_directory(dir / "locked");
    WriteBytes(dir / "locked" / "a.txt", "old");
    fs::permissions(dir / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(platform::WriteWholeFile(U16(dir / "locked" / "a.txt"), "new"));
    fs::permissions(dir / "locked", fs::perms::owner_all);
    EXPECT_EQ(ReadBytes(dir / "locked" / "a.txt"), "old");
    EXPECT_EQ(Names(dir / "locked"), std::vector<std::string>{"a.txt"});
  }
}

TEST(Files, OnlyRegularFilesCountAsFiles) {
  TempDir dir;
  WriteBytes(dir / "a.txt", "x");
  fs::create_directory(dir / "sub");
  fs::create_symlink(dir / "a.txt", dir / "link");
  fs::create_symlink(dir / "gone", dir / "dangling");
  std::string bytes = "left from before";

  EXPECT_TRUE(platform::IsFile(U16(dir / "a.txt")));
  EXPECT_TRUE(platform::IsFile(U16(dir / "link")));
  EXPECT_FALSE(platform::IsFile(U16(dir / "dangling")));
  EXPECT_FALSE(platform::IsFile(U16(dir / "sub")));
  EXPECT_FALSE(platform::IsFile(U16(dir / "none")));

  EXPECT_FALSE(platform::ReadWholeFile(U16(dir / "none"), bytes));
  EXPECT_FALSE(platform::ReadWholeFile(U16(dir / "sub"), bytes));
  EXPECT_EQ(bytes, "");

  EXPECT_FALSE(platform::RemoveFile(U16(dir / "sub")));
  EXPECT_TRUE(fs::is_directory(dir / "sub"));
  EXPECT_FALSE(platform::RemoveFile(U16(dir / "none")));
  EXPECT_TRUE(platform::RemoveFile(U16(dir / "a.txt")));
  EXPECT_FALSE(fs::exists(dir / "a.txt"));
}

TEST(Files, FileThereAndFileRemove) {
  TempDir dir;
  const auto file = dir / "a.txt";
  EXPECT_FALSE(FileThere(u""));
  EXPECT_FALSE(FileRemove(u""));
  EXPECT_FALSE(FileThere(U16(file)));
  EXPECT_FALSE(FileRemove(U16(file)));
  EXPECT_FALSE(FileThere(U16(dir.path())));

  WriteBytes(file, "x");
  EXPECT_TRUE(FileThere(U16(file)));
  EXPECT_TRUE(FileRemove(U16(file)));
  EXPECT_FALSE(FileThere(U16(file)));
}

// ---------------------------------------------------------------- process

TEST(Process, ProgramPathIsTheRunningProgram) {
  const std::u16string path = platform::ProgramPath();
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path[0], u'/');
  EXPECT_TRUE(fs::equivalent(platform::TextToUtf8(path), "/proc/self/exe"));
}

TEST(Process, ArgumentsComeWithoutTheProgramAndDecodedAsUtf8) {
  TempDir dir;
  const fs::path echo = dir / "args.txt";
  const std::vector<std::string> args = {"/any/name", "2", "表 ソ", "", "a\xFF" "b"};
  const pid_t pid = fork();
  if (pid == 0) {
    setenv("KX29_ECHO_ARGS", echo.c_str(), 1);
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv("/proc/self/exe", argv.data());
    _exit(127);
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(ReadBytes(echo), "2\n表 ソ\n\na\xEF\xBF\xBD" "b\n");
}

// Only "/" separates folders here; a backslash is part of a name.
TEST(Process, FolderOfAPath) {
  const std::pair<std::u16string_view, std::u16string_view> rows[] = {
      {u"/opt/kx29/kx29", u"/opt/kx29/"},
      {u"/kx29", u"/"},
      {u"kx29", u""},
      {u"", u""},
      {u"/a b/表/", u"/a b/表/"},
      {u"/a\\b\\kx29.exe", u"/"},
  };
  for (const auto& [path, folder] : rows) {
    EXPECT_EQ(platform::FolderOf(path), folder) << platform::TextToUtf8(path);
  }
}

}  // namespace

namespace {

TEST(Tell, WritesTheTextOnStandardErrorWithoutTheTitle) {
  testing::internal::CaptureStderr();
  platform::Tell(u"kx29－点の作図", u"一行目\n二行目");
  platform::Tell(u"", u"");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "一行目\n二行目\n\n");
}

}  // namespace
