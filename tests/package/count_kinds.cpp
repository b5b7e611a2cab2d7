// Reads an exchange file and prints what it holds: the kinds in stored
// order, the lines' total length, the extent and the highest indicated point.
#include <cstdio>
#include <string>

#include "jwwgaibu/JwwGaibu.h"
#include "myfunc/MyFunc.h"
#include "platform/Platform.h"

namespace {
std::string Num(double v) { return platform::TextToUtf8(FloatStr(v)); }
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  std::u16string path;
  platform::Utf8ToText(argv[1], path);
  TJGdata g;
  if (!g.OpenTempFile(path)) return 1;
  std::string kinds;
  g.ForEachEnt([&kinds](TJwwKind k, const auto&) { kinds += std::to_string(k) + " "; });
  double length = 0;
  for (const TJwwEntLine& l : g.Ents<jkLine>()) length += Dist2P(l.x1, l.y1, l.x2, l.y2);
  const TJwwBox b = g.Box();
  std::printf("kinds %s\nlength %s\nbox %s %s %s %s\nhighest point %d\n", kinds.c_str(),
              Num(length).c_str(), Num(b.x1).c_str(), Num(b.y1).c_str(), Num(b.x2).c_str(),
              Num(b.y2).c_str(), g.IPointMax());
  return 0;
}
