// move_selection: moves everything the CAD program handed over by an offset.
//
//   move_selection DX DY [FILE]
//
// FILE is the exchange file (default: JWC_TEMP.TXT beside the program, where
// the CAD program leaves it for its external tools). Every entity read from it
// is moved by (DX, DY) and written back into the same file, each with its own
// layer, colours, line type and text settings.
//
// This is how a tool built on TJGdata goes about it: read the file, change the
// stored entities, reset the pen state, write them all back, save.
#include <cstdio>
#include <string>

#include "jwwgaibu/JwwGaibu.h"
#include "myfunc/MyFunc.h"
#include "platform/Platform.h"

namespace {

void MoveBy(TJGdata& g, double dx, double dy) {
  auto shift = [dx, dy](double& x, double& y) {
    x += dx;
    y += dy;
  };
  // Each array holds more records than its count says; only the first count are in use.
  for (int32_t i = 0; i < g.EntLineN; ++i) {
    shift(g.EntLine[i].x1, g.EntLine[i].y1);
    shift(g.EntLine[i].x2, g.EntLine[i].y2);
  }
  for (int32_t i = 0; i < g.EntCircN; ++i) shift(g.EntCirc[i].cx, g.EntCirc[i].cy);
  for (int32_t i = 0; i < g.EntArcN; ++i) shift(g.EntArc[i].cx, g.EntArc[i].cy);
  // A text is its start point and a direction; only the start moves.
  for (int32_t i = 0; i < g.EntTextN; ++i) shift(g.EntText[i].x1, g.EntText[i].y1);
  for (int32_t i = 0; i < g.EntPntN; ++i) shift(g.EntPnt[i].px, g.EntPnt[i].py);
  for (int32_t i = 0; i < g.EntMarkN; ++i) shift(g.EntMark[i].px, g.EntMark[i].py);
  for (int32_t i = 0; i < g.EntDimN; ++i) {
    TJwwEntDim& d = g.EntDim[i];
    shift(d.lin.x1, d.lin.y1);
    shift(d.lin.x2, d.lin.y2);
    shift(d.txt.x1, d.txt.y1);
  }
  for (int32_t i = 0; i < g.EntSld2N; ++i) {
    shift(g.EntSld2[i].x1, g.EntSld2[i].y1);
    shift(g.EntSld2[i].x2, g.EntSld2[i].y2);
  }
  for (int32_t i = 0; i < g.EntSld3N; ++i) {
    TJwwEntSld3& s = g.EntSld3[i];
    shift(s.x1, s.y1);
    shift(s.x2, s.y2);
    shift(s.x3, s.y3);
  }
  for (int32_t i = 0; i < g.EntSld4N; ++i) {
    TJwwEntSld4& s = g.EntSld4[i];
    shift(s.x1, s.y1);
    shift(s.x2, s.y2);
    shift(s.x3, s.y3);
    shift(s.x4, s.y4);
  }
  for (int32_t i = 0; i < g.EntSldCN; ++i) shift(g.EntSldC[i].cx, g.EntSldC[i].cy);
  for (int32_t i = 0; i < g.EntSldEN; ++i) shift(g.EntSldE[i].cx, g.EntSldE[i].cy);
  for (int32_t i = 0; i < g.EntSldON; ++i) shift(g.EntSldO[i].cx, g.EntSldO[i].cy);
  for (int32_t i = 0; i < g.EntSldGN; ++i) shift(g.EntSldG[i].cx, g.EntSldG[i].cy);
  // Block inserts are read but cannot be written back through the exchange file.
}

std::u16string BesideProgram(const std::u16string& name) {
  std::u16string dir = platform::ProgramPath();
  const size_t cut = dir.find_last_of(u"/\\");
  dir.resize(cut == std::u16string::npos ? 0 : cut + 1);
  return dir + name;
}

}  // namespace

int main() {
  const std::vector<std::u16string> args = platform::CommandLineArgs();
  if (args.size() < 2 || args.size() > 3) {
    std::fputs("usage: move_selection DX DY [FILE]\n", stderr);
    return 2;
  }
  // The numbers as the exchange file writes them: a point, no thousands separator.
  const double dx = StrToFloatZ(args[0]);
  const double dy = StrToFloatZ(args[1]);
  const std::u16string file = args.size() == 3 ? args[2] : BesideProgram(u"JWC_TEMP.TXT");
  if (!FileThere(file)) {
    std::fputs("move_selection: no exchange file\n", stderr);
    return 1;
  }

  TJGdata g;
  g.OpenTempFile(file);  // everything the file holds, in typed arrays
  MoveBy(g, dx, dy);
  g.S_Init();  // reading used the attribute fields; writing starts from a clean pen
  // Every entity with its own attributes (-1 keeps each one), curves as polylines.
  g.S_EntAllp(-1, -1, -1, -1, -1, -1, -1, 0);
  // Written as UTF-8 when it was read as UTF-8, else in the ANSI code page.
  if (!g.SaveTempFile(file)) {
    std::fputs("move_selection: could not write the exchange file\n", stderr);
    return 1;
  }
  return 0;
}
