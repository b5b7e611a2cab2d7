// Reading, writing every stored entity back with all attributes kept, and
// doing the same with what was written: once the drawing has been through the
// writer, writing it again must give the same file. The first pass may still
// change it: the writer drops what it refuses (degenerate shapes, block
// inserts) after their pen lines, and the layer group and layer the file
// ends on become the first ones written, which the next reading takes as the
// drawing's current ones. So the check is that the second and third passes
// agree.
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string in = kxfuzz::Folder() + "roundtrip.in";
  static const std::string first = kxfuzz::Folder() + "roundtrip.1";
  static const std::string second = kxfuzz::Folder() + "roundtrip.2";
  static const std::string third = kxfuzz::Folder() + "roundtrip.3";
  kxfuzz::WriteFile(in, {reinterpret_cast<const char*>(data), size});
  ReadAndWriteBack(in, first);
  const std::string a = ReadAndWriteBack(first, second);
  const std::string b = ReadAndWriteBack(second, third);
  if (a != b) {
    size_t k = 0;
    while (k < a.size() && k < b.size() && a[k] == b[k]) ++k;
    const size_t from = k > 80 ? k - 80 : 0;
    std::fprintf(stderr, "first written:\n%s\n---- written again:\n%s\n",
                 a.substr(from, 200).c_str(), b.substr(from, 200).c_str());
  }
  FUZZ_CHECK(a == b);
  return 0;
}
