#include "fuzz/FuzzUtil.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "jwwgaibu/JwwGaibu.h"
#include "platform/Platform.h"

namespace kxfuzz {
namespace {

std::string g_folder;

void RemoveFolder() {
  if (g_folder.empty()) return;
  if (DIR* d = opendir(g_folder.c_str())) {
    while (dirent* e = readdir(d)) {
      const std::string name = e->d_name;
      if (name != "." && name != "..") unlink((g_folder + name).c_str());
    }
    closedir(d);
  }
  rmdir(g_folder.c_str());
}

}  // namespace

const std::string& Folder() {
  if (g_folder.empty()) {
    const char* tmp = std::getenv("TMPDIR");
    std::string tmpl = std::string(tmp && *tmp ? tmp : "/tmp") + "/kx29fuzz.XXXXXX";
    if (mkdtemp(tmpl.data()) == nullptr) {
      std::perror("mkdtemp");
      std::abort();
    }
    g_folder = tmpl + "/";
    std::atexit(RemoveFolder);
  }
  return g_folder;
}

std::u16string Folder16() { return ToU16(Folder()); }

void WriteFile(const std::string& path, std::string_view bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  FUZZ_CHECK(f != nullptr);
  if (!bytes.empty()) FUZZ_CHECK(std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size());
  FUZZ_CHECK(std::fclose(f) == 0);
}

bool ReadFile(const std::string& path, std::string& bytes) {
  return platform::ReadWholeFile(ToU16(path), bytes);
}

void RemoveFile(const std::string& path) { unlink(path.c_str()); }

std::u16string ToU16(std::string_view ascii) {
  std::u16string s;
  platform::Utf8ToText(ascii, s);
  return s;
}

namespace {

template <class T>
void CheckArray(int32_t n, const std::vector<T>& v) {
  FUZZ_CHECK(n >= 0);
  FUZZ_CHECK(static_cast<size_t>(n) <= v.size());
}

int32_t CountOfKind(const TJGdata& g, int32_t yn) {
  const int32_t counts[] = {0,          g.EntLineN, g.EntCircN, g.EntArcN, g.EntTextN,
                            g.EntPntN,  g.EntMarkN, g.EntDimN,  g.EntBlkN, g.EntSld2N,
                            g.EntSld3N, g.EntSld4N, g.EntSldCN, g.EntSldEN, g.EntSldON,
                            g.EntSldGN};
  return yn >= 1 && yn <= 15 ? counts[yn] : -1;
}

}  // namespace

void CheckStore(const TJGdata& g) {
  CheckArray(g.EntN, g.EntNo);
  CheckArray(g.EntLineN, g.EntLine);
  CheckArray(g.EntCircN, g.EntCirc);
  CheckArray(g.EntArcN, g.EntArc);
  CheckArray(g.EntTextN, g.EntText);
  CheckArray(g.EntPntN, g.EntPnt);
  CheckArray(g.EntMarkN, g.EntMark);
  CheckArray(g.EntDimN, g.EntDim);
  CheckArray(g.EntBlkN, g.EntBlk);
  CheckArray(g.EntSld2N, g.EntSld2);
  CheckArray(g.EntSld3N, g.EntSld3);
  CheckArray(g.EntSld4N, g.EntSld4);
  CheckArray(g.EntSldCN, g.EntSldC);
  CheckArray(g.EntSldEN, g.EntSldE);
  CheckArray(g.EntSldON, g.EntSldO);
  CheckArray(g.EntSldGN, g.EntSldG);
  // Every record is indexed exactly once, in the order of its array.
  int32_t seen[16] = {};
  for (int32_t i = 0; i < g.EntN; ++i) {
    const int32_t yn = g.EntNo[i].yn;
    FUZZ_CHECK(yn >= 1 && yn <= 15);
    FUZZ_CHECK(g.EntNo[i].no == seen[yn]);
    ++seen[yn];
  }
  for (int32_t yn = 1; yn <= 15; ++yn) FUZZ_CHECK(seen[yn] == CountOfKind(g, yn));
  FUZZ_CHECK(g.IPoints.size() == 100);
  FUZZ_CHECK(g.IPointN >= 0);
  FUZZ_CHECK(!g.IPoints[0].flg);
}

}  // namespace kxfuzz
