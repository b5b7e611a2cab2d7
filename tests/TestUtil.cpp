#include "tests/TestUtil.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/Platform.h"

namespace fs = std::filesystem;

namespace kxtest {

TempDir::TempDir() {
  std::string tmpl = (fs::temp_directory_path() / "kx29test.XXXXXX").string();
  if (mkdtemp(tmpl.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = tmpl;
}

TempDir::~TempDir() {
  std::error_code ec;
  // A test may have made the folder read-only; give the rights back first.
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(path_, ec);
}

std::string ReadBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void WriteBytes(const fs::path& p, const std::string& bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::u16string U16(const fs::path& p) {
  std::u16string s;
  platform::Utf8ToText(p.string(), s);
  return s;
}

int RunKx29(const fs::path& dir, const std::vector<std::string>& args, std::string* said) {
  const fs::path exe = dir / "kx29";
  fs::copy_file(KX29_EXE, exe, fs::copy_options::overwrite_existing);
  // Standard error into a file beside the folder, not in it: the folder is
  // what the tool leaves behind.
  const fs::path errors = dir.string() + ".stderr";
  const pid_t pid = fork();
  if (pid == 0) {
    // Without a run mode the tool asks on its input: give it none.
    const int null = open("/dev/null", O_RDONLY);
    if (null >= 0) dup2(null, 0);
    if (said != nullptr) {
      const int err = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      if (err >= 0) dup2(err, 2);
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(exe.c_str()));
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(exe.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  const bool waited = pid >= 0 && waitpid(pid, &status, 0) >= 0;
  if (said != nullptr) {
    *said = fs::exists(errors) ? ReadBytes(errors) : "";
    fs::remove(errors);
  }
  if (!waited) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::vector<std::string> CrLfLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

void ReadLines(TJGdata& g, std::string_view text) {
  std::u16string line;
  for (size_t at = 0; at <= text.size();) {
    const size_t nl = std::min(text.find('\n', at), text.size());
    platform::Utf8ToText(text.substr(at, nl - at), line);
    TJGdataAccess::ParseLine(g, line);
    at = nl + 1;
  }
}

}  // namespace kxtest
