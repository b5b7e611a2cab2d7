// The exchange file reader on arbitrary bytes: every byte-order mark and the
// code page path, every record kind. Beyond not crashing, the store it builds
// must hold together: counts within their arrays and every index entry
// pointing at a record that exists.
#include "fuzz/FuzzUtil.h"
#include "jwwgaibu/JwwGaibu.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = kxfuzz::Folder() + "JWC_TEMP.TXT";
  kxfuzz::WriteFile(path, {reinterpret_cast<const char*>(data), size});
  TJGdata g;
  g.OpenTempFile(kxfuzz::ToU16(path));
  kxfuzz::CheckStore(g);
  return 0;
}
