// crossings: puts a point where the selected figures cross or touch.
//
//   crossings [FILE]
//
// Lines, circles, arcs and ellipses are all tried against one another; each
// crossing gets one point ("pt"), on the layer and in the point colour the
// user works with, and the program prints how many it placed. Figures lying
// on one another (two lines on one straight, two arcs of one circle) are
// joints, not crossings, and give no point. FILE is the exchange file, by
// default JWC_TEMP.TXT beside the program; its launcher asks for a selection
// (REM #h1).
//
// The geometry comes from jwwgaibu/PointTools.h: it reads the figures of
// the TJGdata, and the tool writes what it gives like any entity it adds.
#include <cstdio>
#include <string>
#include <vector>

#include "jwwgaibu/JwwGaibu.h"
#include "jwwgaibu/PointTools.h"  // IntersectionPoints
#include "platform/Platform.h"    // the command line and the program's folder

int main() {
  const std::vector<std::u16string> args = platform::CommandLineArgs();
  if (args.size() > 1) {
    std::fputs("usage: crossings [FILE]\n", stderr);
    return 2;
  }
  const std::u16string file = args.size() == 1 ? args[0]
                                               : std::u16string(platform::FolderOf(
                                                     platform::ProgramPath())) + u"JWC_TEMP.TXT";

  TJGdata g;
  if (!g.OpenTempFile(file)) {
    std::fputs("crossings: cannot read the exchange file\n", stderr);
    return 1;
  }
  // The points come from the figures read, so they are found before the
  // store is emptied for what the tool adds.
  TPoints points;
  const bool capped = IntersectionPoints(g, false, points);

  g.ClearStore();  // the CAD program keeps the selection: write only the points
  g.A_Current();   // the user's layer and point colour
  for (const TPointXY& p : points) g.A_Ten(p.x, p.y);
  g.S_Init();
  g.S_EntAll();  // "bz" when the file had it, the points, the user's layer
  if (!g.SaveTempFile(file)) {
    std::fputs("crossings: cannot write the exchange file\n", stderr);
    return 1;
  }
  std::printf("%zu crossings%s\n", points.size(), capped ? ", the first of more" : "");
  return 0;
}
