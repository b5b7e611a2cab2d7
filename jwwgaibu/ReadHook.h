// Internal to the library and its tests: how the reader cuts a file into
// pieces and when a second thread prepares them. Tests cut small pieces, so
// that piece boundaries fall anywhere in a small file, and compare the
// stores read with and without the second thread.
#pragma once

#include <cstddef>

namespace jwwgaibu {

struct ReadSplit {
  // Pieces of about this many bytes, each cut after a line break. On one
  // thread a small piece keeps the prepared lines in a little memory, used
  // again and again; two threads hand over fewer, larger pieces.
  size_t pieceBytes;
  size_t helperPieceBytes;
  // A second thread prepares pieces of files of at least this many bytes.
  size_t helperFrom;
};

// The reader's choice.
constexpr ReadSplit kDefaultReadSplit{size_t{16} << 10, size_t{128} << 10, size_t{1} << 20};

// The reader uses s from now on.
void SetReadSplit(const ReadSplit& s);
ReadSplit CurrentReadSplit();

}  // namespace jwwgaibu
