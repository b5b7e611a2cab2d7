// Reading, writing every stored entity back with all attributes kept, and
// reading that again: the second writing must give the same file as the
// first. The first pass may drop what the writer refuses (degenerate shapes,
// block inserts); after it nothing may change any more.
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
  kxfuzz::WriteFile(in, {reinterpret_cast<const char*>(data), size});
  const std::string a = ReadAndWriteBack(in, first);
  const std::string b = ReadAndWriteBack(first, second);
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
