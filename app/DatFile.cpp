// The settings file beside the program: eight values, one per line, in a
// fixed order: window left and top, layer group, layer, colour, point or
// marker, marker kind, marker scale.
#include <string>
#include <vector>

#include "app/Unit1.h"
#include "myfunc/MyFunc.h"
#include "platform/Platform.h"

namespace {
// Lines end at CR LF, LF or CR; a final break does not make an empty line.
std::vector<std::u16string> SplitLines(const std::u16string& text) {
  std::vector<std::u16string> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'\r' && text[i] != u'\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}
}  // namespace

void TForm1::OpenDatFile() {
  Fmx = 50;
  Fmy = 50;
  lgrp = lay = col = ten = typ = 0;
  bai = 1.0;
  if (!FileThere(DatFile)) return;
  std::string bytes;
  if (!platform::ReadWholeFile(DatFile, bytes)) return;
  std::u16string text;
  platform::DecodeByMark(bytes, text);  // without a mark, the ANSI code page
  const std::vector<std::u16string> lines = SplitLines(text);
  int32_t* const ints[] = {&Fmx, &Fmy, &lgrp, &lay, &col, &ten, &typ};
  for (size_t k = 0; k < lines.size() && k < 8; ++k) {
    if (k < 7) {
      *ints[k] = StrToIntZ(lines[k]);
    } else {
      bai = StrToFloatZ(lines[k]);
    }
  }
}

void TForm1::SaveDatFile() {
  std::u16string text;
  for (int32_t v : {Fmx, Fmy, lgrp, lay, col, ten, typ}) text += IntStr(v) + u"\r\n";
  text += FloatStr(bai) + u"\r\n";
  const std::string bytes = "\xEF\xBB\xBF" + platform::TextToUtf8(text);
  // Most runs change no choice: leave the file alone then, which spares every
  // such run the creation and renaming of a file (a read of 29 bytes costs far
  // less).
  std::string old;
  if (platform::ReadWholeFile(DatFile, old) && old == bytes) return;
  // Written whole under a temporary name and then renamed, so a failed save
  // leaves the stored choices as they were instead of deleting them.
  platform::WriteWholeFile(DatFile, bytes);
}
