#include "jwwgaibu/Pieces.h"

namespace {
jwwgaibu::ReadSplit g_readSplit = jwwgaibu::kDefaultReadSplit;
jwwgaibu::WriteSplit g_writeSplit = jwwgaibu::kDefaultWriteSplit;
}  // namespace

void jwwgaibu::SetReadSplit(const ReadSplit& s) { g_readSplit = s; }
jwwgaibu::ReadSplit jwwgaibu::CurrentReadSplit() { return g_readSplit; }
void jwwgaibu::SetWriteSplit(const WriteSplit& s) { g_writeSplit = s; }
jwwgaibu::WriteSplit jwwgaibu::CurrentWriteSplit() { return g_writeSplit; }
