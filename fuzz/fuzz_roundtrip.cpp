// Reading, writing every stored entity back with all attributes kept, and
// doing the same with what was written: every entity line must come out of
// the second writing exactly as the first wrote it, so no number reads back
// other than it was written and no entity is lost or gained.
//
// The pen and attribute lines, and empty curve blocks, are left out of the
// comparison, as they may rightly change: the writer still writes the pen lines of a shape it then
// drops as degenerate, and the drawing's current layer group and layer, which
// the closing lines return to, are whatever the first such line of the file
// says, so each writing may start from other ones.
#include <string>
#include <vector>

#include "fuzz/FuzzUtil.h"
#include "jwwgaibu/JwwGaibu.h"

namespace {

// Reads path, writes every entity back with the keep value of every
// override, saves to out and gives the saved bytes.
std::string ReadAndWriteBack(const std::string& path, const std::string& out) {
  TJGdata g;
  g.OpenTempFile(kxfuzz::ToU16(path));
  kxfuzz::CheckStore(g);
  g.S_Init();
  g.S_EntAllp(-1, -1, -1, -1, -1, -1, -1, 0);
  FUZZ_CHECK(g.SaveTempFile(kxfuzz::ToU16(out)));
  std::string bytes;
  FUZZ_CHECK(kxfuzz::ReadFile(out, bytes));
  return bytes;
}

// The entity lines of a written file: everything but the pen and attribute
// lines, which depend on what came before.
std::vector<std::string> EntityLines(const std::string& file) {
  static const char* const kPen[] = {"lg", "ly", "lc", "lt", "lw", "pn", "cn", "cc"};
  std::vector<std::string> out;
  size_t start = file.starts_with("\xEF\xBB\xBF") ? 3 : 0;  // a file written as UTF-8
  while (start < file.size()) {
    size_t end = file.find("\r\n", start);
    if (end == std::string::npos) end = file.size();
    const std::string line = file.substr(start, end - start);
    start = end + 2;
    bool pen = line.size() == 2 && line[0] == 'z';
    for (const char* k : kPen) pen = pen || line.starts_with(k);
    if (pen) continue;
    // A curve whose every segment was too short to draw is written as an
    // empty block, which reads back as nothing: no entity is lost with it.
    if (line == "#" && !out.empty() && out.back() == "pl") {
      out.pop_back();
      continue;
    }
    out.push_back(line);
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string in = kxfuzz::Folder() + "roundtrip.in";
  static const std::string first = kxfuzz::Folder() + "roundtrip.1";
  static const std::string second = kxfuzz::Folder() + "roundtrip.2";
  kxfuzz::WriteFile(in, {reinterpret_cast<const char*>(data), size});
  const std::vector<std::string> a = EntityLines(ReadAndWriteBack(in, first));
  const std::vector<std::string> b = EntityLines(ReadAndWriteBack(first, second));
  if (a != b) {
    size_t k = 0;
    while (k < a.size() && k < b.size() && a[k] == b[k]) ++k;
    std::fprintf(stderr, "entity line %zu written first as\n%s\nthen as\n%s\n", k,
                 k < a.size() ? a[k].c_str() : "(none)", k < b.size() ? b[k].c_str() : "(none)");
  }
  FUZZ_CHECK(a == b);
  return 0;
}
