// mirrored_copy: adds the mirror image of the selection, mirrored about the
// upright line through indicated point 1.
//
//   mirrored_copy [FILE]
//
// The CAD program keeps the selection and adds what a tool writes back, so
// the tool writes the mirror images only, and the selection and its image
// stand side by side. Its launcher asks for a selection (REM #h1) and for one
// point (REM #1). FILE is the exchange file, by default JWC_TEMP.TXT beside
// the program.
//
// The object that read the file writes the result, which keeps three things
// right that a fresh TJGdata would get wrong: the encoding (a file read as
// UTF-8 is written as UTF-8), the line widths (written only when the file
// carried them) and the layer the user works on (the last layer commands of
// the file become the drawing's current ones: S_EntAllp ends on CurLGrp and
// CurLay).
#include <cstdio>
#include <string>
#include <vector>

#include "jwwgaibu/JwwGaibu.h"
#include "platform/Platform.h"  // the command line and the program's folder

int main() {
  const std::vector<std::u16string> args = platform::CommandLineArgs();
  if (args.size() > 1) {
    std::fputs("usage: mirrored_copy [FILE]\n", stderr);
    return 2;
  }
  const std::u16string file = args.size() == 1 ? args[0]
                                               : std::u16string(platform::FolderOf(
                                                     platform::ProgramPath())) + u"JWC_TEMP.TXT";

  TJGdata g;
  if (!g.OpenTempFile(file)) {
    std::fputs("mirrored_copy: cannot read the exchange file\n", stderr);
    return 1;
  }
  // Left untouched, the file still begins with "hq" and the CAD program adds
  // nothing.
  const TJwwIndPoint& p = g.IPoints[1];
  if (!p.flg) {
    std::fputs("mirrored_copy: no indicated point 1\n", stderr);
    return 1;
  }
  // About the line through p at 90 degrees; every kind follows a mirror.
  // Arcs keep running counter-clockwise. Letters are never drawn mirrored: a
  // text runs from its mirrored start along its mirrored direction.
  g.Transform(TJwwTransform::Mirror(p.x, p.y, 90));
  g.S_Init();
  g.S_EntAllp();
  if (!g.SaveTempFile(file)) {
    std::fputs("mirrored_copy: cannot write the exchange file\n", stderr);
    return 1;
  }
  return 0;
}
