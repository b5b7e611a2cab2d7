// The round trip's pass as a program of its own, so that it can be linked
// with the library built another way: reads an exchange file, writes every
// entity back (curves as polylines, every attribute kept) and saves the
// result. With --helper every size asks for a second thread, the reading and
// the writing cut into the pieces a helper would take.
//   write_back IN OUT [--helper]
#include <cstdint>
#include <cstring>

#include "jwwgaibu/JwwGaibu.h"
#include "jwwgaibu/Pieces.h"
#include "platform/Platform.h"

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  if (argc > 3 && std::strcmp(argv[3], "--helper") == 0) {
    jwwgaibu::ReadSplit read = jwwgaibu::kDefaultReadSplit;
    jwwgaibu::WriteSplit write = jwwgaibu::kDefaultWriteSplit;
    read.helperFrom = 0;
    write.helperFrom = 0;
    jwwgaibu::SetReadSplit(read);
    jwwgaibu::SetWriteSplit(write);
  }
  std::u16string in, out;
  platform::Utf8ToText(argv[1], in);
  platform::Utf8ToText(argv[2], out);
  TJGdata g;
  if (!g.OpenTempFile(in)) return 1;
  g.S_Init();
  g.S_EntAllp(-1, -1, -1, -1, -1, -1, -1, 0);
  return g.SaveTempFile(out) ? 0 : 1;
}
