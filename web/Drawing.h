// An exchange file as the page draws it: the library's reader run on it,
// every entity turned into a record of doubles (web/Api.cpp lists them), the
// texts gathered in one array, and what else the page shows (the encoding,
// counts, extent, axis angle and the reader's notes) as JSON.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TDrawing {
  std::vector<double> records;
  std::u16string texts;
  std::vector<uint8_t> layers;  // each figure's layer group * 16 + layer
  std::string info;
  double readSeconds = 0;  // the library's OpenTempFile alone
};

// False when the file cannot be read. Without notes the reader does only
// what every tool's reading does (the benchmarks compare that).
bool ReadDrawing(const std::u16string& path, TDrawing& d, bool notes = true);

// A JSON string of a text.
std::string JsonText(std::u16string_view s);
