// Internal to the library and its tests: how the reader cuts a file into
// pieces and whether a second thread prepares them. Tests cut small pieces,
// so that piece boundaries fall anywhere in a small file, and compare the
// stores read with and without the second thread.
#pragma once

#include <cstddef>

namespace jwwgaibu {

struct ReadSplit {
  size_t pieceBytes;  // about this many bytes a piece, cut after a line break
  bool helper;        // a second thread prepares pieces ...
  size_t helperFrom;  // ... of a file of at least this many bytes
};

// The reader's choice for files of every size.
constexpr ReadSplit kDefaultReadSplit{size_t{128} << 10, true, size_t{1} << 20};

// The reader uses s from now on.
void SetReadSplit(const ReadSplit& s);
ReadSplit CurrentReadSplit();

}  // namespace jwwgaibu
