// moved_copy: adds a copy of the selection, moved by an offset.
//
//   moved_copy DX DY [FILE]
//
// The CAD program keeps the selection and adds to the drawing whatever a tool
// writes back. So this tool writes the selection moved by (DX, DY), and the
// drawing gains a moved copy beside the original; to move rather than copy,
// the user deletes the original afterwards. FILE is the exchange file, by
// default JWC_TEMP.TXT beside the program, where the CAD program leaves it
// (its launcher asks for a selection, REM #h1, and for the offset, REM #c).
//
// This is how a tool built on TJGdata goes about it: read the file, change
// the store, reset the pen state, write the store back, save.
#include <cstdio>
#include <string>
#include <vector>

#include "jwwgaibu/JwwGaibu.h"
#include "myfunc/MyFunc.h"      // TryStrToFloat
#include "platform/Platform.h"  // the command line and the program's folder

int main() {
  const std::vector<std::u16string> args = platform::CommandLineArgs();
  if (args.size() < 2 || args.size() > 3) {
    std::fputs("usage: moved_copy DX DY [FILE]\n", stderr);
    return 2;
  }
  // Numbers as the exchange file writes them: a point, no thousands separator.
  // The strict reading refuses what is no number ("abc", "1,5", "5 "), where
  // StrToFloatZ would give 0 and draw the copy on top of the selection.
  double dx = 0, dy = 0;
  if (!TryStrToFloat(args[0], dx) || !TryStrToFloat(args[1], dy)) {
    std::fputs("moved_copy: DX and DY must be numbers such as 1500 or -2.5e3\n", stderr);
    return 2;
  }
  const std::u16string file = args.size() == 3 ? args[2]
                                               : std::u16string(platform::FolderOf(
                                                     platform::ProgramPath())) + u"JWC_TEMP.TXT";

  TJGdata g;
  if (!g.OpenTempFile(file)) {  // the selection, in typed arrays
    std::fputs("moved_copy: cannot read the exchange file\n", stderr);
    return 1;
  }
  g.Transform(TJwwTransform::Move(dx, dy));  // every kind follows a move
  g.S_Init();  // reading used the pen state: writing starts from a clean one
  // Every entity with its own layer, pens and text settings, each polyline as
  // one; "bz" first when the file had it, the drawing's layer at the end.
  g.S_EntAllp();
  // Saved by the object that read the file: in its encoding, with its widths.
  if (!g.SaveTempFile(file)) {
    std::fputs("moved_copy: cannot write the exchange file\n", stderr);
    return 1;
  }
  return 0;
}
