// Reading the exchange file. (The full reader replaces this.)
#include "jwwgaibu/JwwGaibu.h"

bool TJGdata::OpenTempFile(const std::u16string&) {
  MojiCode = false;
  return false;
}

void TJGdata::ParseLine(std::u16string_view) {}
