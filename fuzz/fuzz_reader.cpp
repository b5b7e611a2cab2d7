// The exchange file reader on arbitrary bytes: every byte-order mark and the
// code page path, every record kind, with the reader's notes taken. Beyond not
// crashing, the store it builds must hold together (counts within their
// arrays, every index entry pointing at a record that exists) and be the one
// read without notes; the notes come in line order.
#include <vector>

#include "fuzz/FuzzUtil.h"
#include "jwwgaibu/JwwGaibu.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = kxfuzz::Folder() + "JWC_TEMP.TXT";
  kxfuzz::WriteFile(path, {reinterpret_cast<const char*>(data), size});
  TJGdata g;
  std::vector<TJwwReadNote> notes;
  g.ReadNotes = &notes;
  g.OpenTempFile(kxfuzz::ToU16(path));
  kxfuzz::CheckStore(g);
  // A note on the whole file (UTF-8 or UTF-16 without its mark) comes first,
  // with no line; the notes on lines follow in line order, a line noted for
  // more than one thing more than once.
  size_t first = 0;
  if (!notes.empty() && (notes[0].what == jnUtf8NoMark || notes[0].what == jnUtf16NoMark)) {
    FUZZ_CHECK(notes[0].line == 0);
    first = 1;
  }
  for (size_t i = first; i < notes.size(); ++i) {
    FUZZ_CHECK(notes[i].line >= 1 && (i == first || notes[i].line >= notes[i - 1].line));
    const TJwwNote w = notes[i].what;
    FUZZ_CHECK((w >= jnNoRecord && w <= jnBadNumber) || (w >= jnDimBroken && w <= jnLayerDigits) ||
               w == jnFieldsPast || w == jnUndecodable);
  }
  TJGdata plain;
  plain.OpenTempFile(kxfuzz::ToU16(path));
  FUZZ_CHECK(plain.EntN == g.EntN && plain.EntLineN == g.EntLineN &&
             plain.EntTextN == g.EntTextN && plain.IPointN == g.IPointN &&
             plain.CurLGrp == g.CurLGrp && plain.MojiCode == g.MojiCode);
  return 0;
}
