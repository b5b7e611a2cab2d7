// The page's view of an exchange file as text, to compare the reader built
// for the web with the native one (web/test_same_bytes.py builds this both
// ways):  read_dump FILE
// prints the info line, every record with its numbers to the last digit,
// and the text array as UTF-8; exit code 1 when the file cannot be read.
#include <cstdio>
#include <string>

#include "platform/Platform.h"
#include "web/Drawing.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  std::u16string path;
  platform::Utf8ToText(argv[1], path);
  TDrawing d;
  if (!ReadDrawing(path, d)) return 1;
  std::printf("%s\n", d.info.c_str());
  for (double v : d.records) std::printf("%.17g\n", v);
  std::printf("%s\n", platform::TextToUtf8(d.texts).c_str());
  return 0;
}
