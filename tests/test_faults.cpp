// The built kx29 when saving fails and when the input is absurdly large: it
// must leave no half-written file, keep the stored settings, never hand the
// host a stale exchange file as its result, and still end normally, within
// bounded time and memory.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <set>

#include "tests/TestUtil.h"

namespace fs = std::filesystem;
using kxtest::ReadBytes;
using kxtest::TempDir;
using kxtest::WriteBytes;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;  // memory figures are the sanitizer's, not ours
#else
constexpr bool kSanitized = false;
#endif

struct Limits {
  rlim_t fsize = RLIM_INFINITY;  // largest file the program may write
};

struct Outcome {
  int code = -1;          // exit code, or 128 + signal
  long peakKb = 0;        // peak resident memory of the run
  double seconds = 0;     // wall time
};

// Copies the built kx29 into dir unless it is there already (a full disk
// needs it in place before the disk is filled).
void PlaceProgram(const fs::path& dir) {
  if (!fs::exists(dir / "kx29")) fs::copy_file(KX29_EXE, dir / "kx29");
}

// Runs dir/kx29 with args under the given limits. Every run is bounded by a
// CPU-time limit: a run that loops is killed and fails its test.
Outcome RunTool(const fs::path& dir, const std::vector<std::string>& args, Limits lim = {}) {
  PlaceProgram(dir);
  const std::string exe = (dir / "kx29").string();
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    // A write past the size limit must fail with an error, not kill the
    // program: that is how a full disk looks to it.
    signal(SIGXFSZ, SIG_IGN);
    rlimit r{lim.fsize, lim.fsize};
    setrlimit(RLIMIT_FSIZE, &r);
    r = {60, 60};
    setrlimit(RLIMIT_CPU, &r);
    std::vector<char*> argv{const_cast<char*>(exe.c_str())};
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(exe.c_str(), argv.data());
    _exit(127);
  }
  Outcome out;
  int status = 0;
  rusage ru{};
  if (pid < 0 || wait4(pid, &status, 0, &ru) < 0) return out;
  out.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  out.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  out.peakKb = ru.ru_maxrss;
  return out;
}

std::set<std::string> Names(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
  return names;
}

// A tmpfs mounted on a folder for one test. Mounting needs privileges that a
// container may not grant; only then is the test skipped.
class Tmpfs {
 public:
  Tmpfs(const fs::path& at, const std::string& options) : at_(at) {
    ok_ = mount("kx29test", at.c_str(), "tmpfs", 0, options.c_str()) == 0;
    err_ = errno;
  }
  ~Tmpfs() {
    if (ok_) umount2(at_.c_str(), MNT_DETACH);
  }
  bool ok() const { return ok_; }
  bool notPermitted() const { return !ok_ && (err_ == EPERM || err_ == EACCES); }
  std::string error() const { return std::strerror(err_); }
  bool MakeReadOnly() {
    return mount(nullptr, at_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
  }

 private:
  fs::path at_;
  bool ok_ = false;
  int err_ = 0;
};

#define MOUNT_OR_SKIP(m)                                                      \
  do {                                                                        \
    if ((m).notPermitted()) GTEST_SKIP() << "mounting a tmpfs is not permitted"; \
    ASSERT_TRUE((m).ok()) << (m).error();                                     \
  } while (0)

// The folder of a run that is about to fail to save: a drawing with one
// indicated point and settings that differ from the defaults.
const std::string kOldExchange = "hp1 10 20\r\n";
const std::string kOldSettings = "\xEF\xBB\xBF" "11\r\n22\r\n1\r\n2\r\n3\r\n1\r\n4\r\n2.5\r\n";

void Prepare(const fs::path& dir) {
  PlaceProgram(dir);
  WriteBytes(dir / "JWC_TEMP.TXT", kOldExchange);
  WriteBytes(dir / "kx29.dat", kOldSettings);
}

// Fills the file system of dir: first whole blocks, then single bytes.
void FillDisk(const fs::path& dir) {
  const int fd = open((dir / "filler").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0);
  const std::string block(65536, 'x');
  while (write(fd, block.data(), block.size()) > 0) {
  }
  while (write(fd, "x", 1) > 0) {
  }
  close(fd);
}

// What every failed save must leave: exit 0, the settings as they were, no
// temporary file, and the exchange file either gone (the host must not read
// its own selection back as our result) or, where the folder cannot be
// changed at all, untouched.
void ExpectFailedSave(const fs::path& dir, const Outcome& o, bool exchangeCanGo,
                      std::set<std::string> others = {}) {
  EXPECT_EQ(o.code, 0);
  EXPECT_EQ(ReadBytes(dir / "kx29.dat"), kOldSettings);
  others.insert({"kx29", "kx29.dat"});
  if (exchangeCanGo) {
    EXPECT_FALSE(fs::exists(dir / "JWC_TEMP.TXT"));
  } else {
    EXPECT_EQ(ReadBytes(dir / "JWC_TEMP.TXT"), kOldExchange);
    others.insert("JWC_TEMP.TXT");
  }
  EXPECT_EQ(Names(dir), others);
}

TEST(FailedSave, ExchangeFileOrSettingsFileIsAFolder) {
  {
    TempDir d;
    PlaceProgram(d.path());
    fs::create_directory(d / "JWC_TEMP.TXT");
    WriteBytes(d / "kx29.dat", kOldSettings);
    const Outcome o = RunTool(d.path(), {"1"});
    EXPECT_EQ(o.code, 0);
    EXPECT_TRUE(fs::is_directory(d / "JWC_TEMP.TXT"));
    EXPECT_TRUE(fs::is_empty(d / "JWC_TEMP.TXT"));
    EXPECT_EQ(Names(d.path()), (std::set<std::string>{"kx29", "kx29.dat", "JWC_TEMP.TXT"}));
    // The settings were still saved: the position line is rewritten as read.
    EXPECT_EQ(ReadBytes(d / "kx29.dat"), kOldSettings);
  }
  {
    TempDir d;
    PlaceProgram(d.path());
    WriteBytes(d / "JWC_TEMP.TXT", kOldExchange);
    fs::create_directory(d / "kx29.dat");
    WriteBytes(d / "kx29.dat" / "inside", "kept");
    const Outcome o = RunTool(d.path(), {"2"});
    EXPECT_EQ(o.code, 0);
    EXPECT_EQ(ReadBytes(d / "kx29.dat" / "inside"), "kept");
    EXPECT_EQ(Names(d.path()), (std::set<std::string>{"kx29", "kx29.dat", "JWC_TEMP.TXT"}));
    // The exchange file was written with the defaults, as with no settings.
    const auto lines = kxtest::CrLfLines(ReadBytes(d / "JWC_TEMP.TXT"));
    EXPECT_NE(std::find(lines.begin(), lines.end(), "pt 10 20"), lines.end());
  }
}

TEST(FailedSave, ReadOnlyFolder) {
  TempDir d;
  if (geteuid() != 0) {
    Prepare(d.path());
    fs::permissions(d.path(), fs::perms::owner_read | fs::perms::owner_exec);
    const Outcome o = RunTool(d.path(), {"2"});
    fs::permissions(d.path(), fs::perms::owner_all);
    ExpectFailedSave(d.path(), o, false);
    return;
  }
  // Rights do not stop the superuser; a read-only mount does.
  Tmpfs m(d.path(), "size=64m");
  MOUNT_OR_SKIP(m);
  Prepare(d.path());
  ASSERT_TRUE(m.MakeReadOnly());
  ExpectFailedSave(d.path(), RunTool(d.path(), {"2"}), false);
}

TEST(FailedSave, DiskFullByFileSizeLimit) {
  // Both files are larger than 16 bytes: every write fails as on a full disk.
  for (const char* mode : {"1", "2", "3", "5"}) {
    SCOPED_TRACE(mode);
    TempDir d;
    Prepare(d.path());
    ExpectFailedSave(d.path(), RunTool(d.path(), {mode}, {.fsize = 16}), true);
  }
}

TEST(FailedSave, FullTmpfs) {
  TempDir d;
  const auto program = fs::file_size(KX29_EXE);
  Tmpfs m(d.path(), "size=" + std::to_string(program + (1 << 20)));
  MOUNT_OR_SKIP(m);
  Prepare(d.path());
  FillDisk(d.path());
  ExpectFailedSave(d.path(), RunTool(d.path(), {"2"}), true, {"filler"});
}

TEST(FailedSave, TemporaryFileCannotBeCreated) {
  // No file can be added: the file system has no free inode left. Removing
  // the exchange file still works.
  TempDir d;
  Tmpfs m(d.path(), "size=64m,nr_inodes=16");
  MOUNT_OR_SKIP(m);
  Prepare(d.path());
  std::set<std::string> fillers;
  for (int k = 0;; ++k) {
    const std::string name = std::to_string(k) + ".filler";
    const int fd = open((d / name).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0) break;
    close(fd);
    fillers.insert(name);
  }
  ExpectFailedSave(d.path(), RunTool(d.path(), {"2"}), true, fillers);
}

// ---------------------------------------------------------------------------
// Huge inputs, end to end.

std::string Repeat(const std::string& s, size_t n) {
  std::string out;
  out.reserve(s.size() * n);
  for (size_t i = 0; i < n; ++i) out += s;
  return out;
}

std::string Numbers(size_t n) {
  std::string out;
  for (size_t i = 0; i < n; ++i) {
    out += std::to_string(i % 1000);
    out += ' ';
  }
  return out;
}

struct HugeCase {
  const char* name;
  std::string (*make)();
  std::vector<std::string> args;
  const char* mustHave;  // a line of the written exchange file
};

const HugeCase kHugeCases[] = {
    {"text line of 10 MB",
     [] {
       std::string s = "hp1 1 2\r\nch 0 0 1 0 \"";
       s += Repeat("\x95\x5C", 5 << 20);  // 表, whose second byte is a backslash
       return s + "\r\n";
     },
     {"2"}, "pt 1 2"},
    {"token of 10 MB",
     [] {
       std::string s = "hp1 1 2\r\n";
       s.append(10 << 20, '7');
       return s + " 1 2 3\r\n";
     },
     {"5", "2"}, "pt 1 2"},
    {"line of 100,000 tokens", [] { return "hp1 1 2\r\n" + Numbers(100000) + "\r\n"; }, {"2"},
     "pt 1 2"},
    {"ten million short lines", [] { return Repeat("x\r\n", 10000000) + "hp1 3 4\r\n"; },
     {"1"}, "pt 3 4"},
    {"hrgb of 10,000 values", [] { return "hrgb " + Numbers(10000) + "\r\nhp1 5 6\r\n"; },
     {"1"}, "pt 5 6"},
    {"100,000 curves",
     [] { return Repeat("pl\r\n0 0 3 4\r\n3 4 6 8\r\n#\r\n", 100000) + "hp1 7 8\r\n"; },
     {"5", "5"}, "pt 0.6 0.8"},
    {"100,000 open curves", [] { return Repeat("pl\r\n", 100000) + "0 0 10 0\r\n"; },
     {"5", "2"}, "pt 5 0"},
};

// Memory running out while the lines are encoded: the save says false and
// leaves nothing at the path, neither the old file nor a half-written one.
TEST(FailedSave, OutOfMemoryWhileEncoding) {
  if (kSanitized) GTEST_SKIP() << "the sanitizer reserves more address space than any limit allows";
  TempDir d;
  const fs::path file = d / "JWC_TEMP.TXT";
  WriteBytes(file, "hq\r\nold file of the CAD program\r\n");
  const pid_t pid = fork();
  if (pid == 0) {
    TJGdata g;
    g.t_Mem.assign(200000, std::u16string(120, u'あ'));
    g.t_MemN = 200000;
    // Room for what the process holds now and a little more: not for the
    // encoded pieces (several megabytes) nor a second thread's stack.
    long pages = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
      if (std::fscanf(f, "%ld", &pages) != 1) pages = 0;
      std::fclose(f);
    }
    const rlim_t limit = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) +
                         (1 << 20);
    rlimit r{limit, limit};
    if (pages == 0 || setrlimit(RLIMIT_AS, &r) != 0) _exit(3);
    const bool saved = g.SaveTempFile(kxtest::U16(file));
    _exit(saved ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status)) << "the save ended with signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the save said true; 3: no limit could be set";
  EXPECT_EQ(Names(d.path()), std::set<std::string>{});
}

// Runs f in a child process whose address space is limited to what it holds
// now and `more` bytes; the child's exit code, or 128 + the signal that ended it.
template <class F>
int WithAddressSpace(size_t more, F f) {
  const pid_t pid = fork();
  if (pid == 0) {
    long pages = 0;
    if (FILE* file = std::fopen("/proc/self/statm", "r")) {
      if (std::fscanf(file, "%ld", &pages) != 1) pages = 0;
      std::fclose(file);
    }
    const rlim_t limit =
        static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + more;
    rlimit r{limit, limit};
    if (pages == 0 || setrlimit(RLIMIT_AS, &r) != 0) _exit(3);
    _exit(f());
  }
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// A file of one line of 100 MB: the reader's room for its tokens stays near
// the size of the line, and whatever memory there is, OpenTempFile answers
// true or false and throws nothing.
TEST(HugeInput, OneLineOfAHundredMegabytes) {
  if (kSanitized) GTEST_SKIP() << "the sanitizer reserves more address space than any limit allows";
  TempDir d;
  const fs::path file = d / "JWC_TEMP.TXT";
  {
    std::string line(100 << 20, '1');
    for (size_t k = 1; k < line.size(); k += 2) line[k] = ' ';
    WriteBytes(file, "hq\r\n" + line + "\r\n");
  }
  const std::u16string path = kxtest::U16(file);
  // Room for the file twice over and its code units, not for a token per byte.
  EXPECT_EQ(WithAddressSpace(size_t{900} << 20, [&] {
              TJGdata g;
              return g.OpenTempFile(path) ? 0 : 1;
            }),
            0);
  for (size_t more : {size_t{1} << 20, size_t{60} << 20, size_t{250} << 20}) {
    const int code = WithAddressSpace(more, [&] {
      TJGdata g;
      const bool read = g.OpenTempFile(path);
      return read || (g.EntN == 0 && g.t_MemN == 0) ? 0 : 2;
    });
    EXPECT_EQ(code, 0) << "with " << (more >> 20) << " MB more: 2 a half-read drawing, 134 thrown";
  }
}

TEST(HugeInput, BoundedTimeAndMemory) {
  for (const HugeCase& c : kHugeCases) {
    SCOPED_TRACE(c.name);
    TempDir d;
    std::string input = c.make();
    WriteBytes(d / "JWC_TEMP.TXT", input);
    const double size = input.size();
    std::string().swap(input);  // the child's peak starts from ours
    const Outcome o = RunTool(d.path(), c.args);
    ASSERT_EQ(o.code, 0);
    // Bounded: a few copies of the text, never anything per token squared.
    if (!kSanitized) {
      EXPECT_LT(o.peakKb * 1024.0, 64e6 + 12.0 * size) << o.peakKb << " kB";
    }
    const std::string out = ReadBytes(d / "JWC_TEMP.TXT");
    ASSERT_FALSE(out.empty());
    if (c.mustHave) {
      const auto lines = kxtest::CrLfLines(out);
      EXPECT_NE(std::find(lines.begin(), lines.end(), c.mustHave), lines.end()) << out.substr(0, 400);
    }
    std::printf("%-26s %8.1f MB in, %6.2f s, peak %7.1f MB\n", c.name, size / 1e6,
                o.seconds, o.peakKb / 1024.0);
  }
}

TEST(HugeInput, CountAndCoordinateArgumentsAtTheEdgeOfTheRange) {
  const std::string drawing =
      "0 0 1000 0\r\nci 0 0 10\r\nci 0 0 10 0 90 1 0\r\n";
  struct {
    std::vector<std::string> args;
    size_t points;            // "pt" lines written
    const char* firstPoint;   // nullptr: not checked
  } cases[] = {
      {{"5", "1e308"}, 999, "pt 1 0"},   // the count is kept to 1000
      {{"5", "-1e308"}, 1, "pt 500 0"},  // and to 2
      {{"5", "1e400"}, 1, "pt 500 0"},   // out of range reads as 0
      {{"6", "1e308"}, 1000 + 999, nullptr},
      {{"3", "1e308", "-1e308"}, 1, "pt 1E308 -1E308"},
      {{"3", "1.79769313486232E308", "1e308"}, 1, "pt 1.79769313486232E308 1E308"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[1]);
    TempDir d;
    WriteBytes(d / "JWC_TEMP.TXT", drawing);
    const Outcome o = RunTool(d.path(), c.args);
    ASSERT_EQ(o.code, 0);
    const auto lines = kxtest::CrLfLines(ReadBytes(d / "JWC_TEMP.TXT"));
    std::vector<std::string> pts;
    for (const auto& l : lines) {
      if (l.starts_with("pt ")) pts.push_back(l);
    }
    ASSERT_EQ(pts.size(), c.points);
    if (c.firstPoint) {
      EXPECT_EQ(pts[0], c.firstPoint);
    }
  }
}

}  // namespace
