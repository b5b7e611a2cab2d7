// Internal to the library and its tests: how reading a file and writing a
// store back cut their work into pieces, and when a second thread helps.
// Tests cut small pieces, so that piece boundaries fall anywhere in a small
// drawing, and compare what one thread and two make.
#pragma once

#include <cstddef>
#include <cstdint>

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

struct WriteSplit {
  int32_t pieceEntries;  // index entries a piece of a writing back
  int32_t pieceLines;    // output lines a piece of a save
  // A second thread runs the entity commands ahead for stores of at least
  // this many index entries, and encodes saves of at least this many lines.
  int32_t helperFrom;
};

// The library's choices.
constexpr ReadSplit kDefaultReadSplit{size_t{4} << 10, size_t{128} << 10, size_t{1} << 20};
constexpr WriteSplit kDefaultWriteSplit{2048, 8192, 20000};

// The reader and the writing back use these from now on.
void SetReadSplit(const ReadSplit& s);
ReadSplit CurrentReadSplit();
void SetWriteSplit(const WriteSplit& s);
WriteSplit CurrentWriteSplit();

}  // namespace jwwgaibu
