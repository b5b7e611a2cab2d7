// selection_stats: tells what the selection holds, and draws nothing.
//
//   selection_stats [FILE]
//
// Counts the entities by kind, sums the lengths of the line segments, gives
// the extent and the indicated points, and lists the lines of the file that
// the reader took for something other than they say. FILE is the exchange
// file, by default JWC_TEMP.TXT beside the program.
//
// A tool that only reads must not write the entities it read: the CAD
// program would add each one a second time. This one saves the exchange file
// with no command in it, which is the single line "hq": the CAD program then
// adds nothing, whatever the file held before.
#include <array>
#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "jwwgaibu/JwwGaibu.h"
#include "myfunc/MyFunc.h"      // Dist2P, FloatStr
#include "platform/Platform.h"  // the command line, the program's folder, UTF-8

namespace {

std::string Num(double v) { return platform::TextToUtf8(FloatStr(v)); }

// By kind code.
constexpr std::array<const char*, 16> kNames = {
    "",           "lines",      "circles",    "arcs",       "texts",       "points",
    "markers",    "dimensions", "blocks",     "solids /2",  "solids /3",   "solids /4",
    "solids sc",  "solids se",  "solids so",  "solids sg"};

// By TJwwNote.
constexpr std::array<const char*, 4> kNotes = {"", "read by no record", "taken as a line",
                                               "a field not a number"};

}  // namespace

int main() {
  const std::vector<std::u16string> args = platform::CommandLineArgs();
  if (args.size() > 1) {
    std::fputs("usage: selection_stats [FILE]\n", stderr);
    return 2;
  }
  const std::u16string file = args.size() == 1 ? args[0]
                                               : std::u16string(platform::FolderOf(
                                                     platform::ProgramPath())) + u"JWC_TEMP.TXT";

  TJGdata g;
  std::vector<TJwwReadNote> notes;
  g.ReadNotes = &notes;  // off unless asked for
  if (!g.OpenTempFile(file)) {
    std::fputs("selection_stats: cannot read the exchange file\n", stderr);
    return 1;
  }

  std::array<int, kNames.size()> count{};
  g.ForEachEnt([&count](TJwwKind k, const auto&) { ++count[static_cast<size_t>(k)]; });
  std::printf("%d entities\n", g.EntN);
  for (size_t k = 1; k < kNames.size(); ++k) {
    if (count[k] != 0) std::printf("  %-12s %d\n", kNames[k], count[k]);
  }

  // The span holds the lines in use, so a range-for and its size_t index
  // need no casts.
  double length = 0;
  for (const TJwwEntLine& l : g.Ents<jkLine>()) length += Dist2P(l.x1, l.y1, l.x2, l.y2);
  std::printf("length of the lines %s\n", Num(length).c_str());

  const TJwwBox box = g.Box();
  if (!box.Empty()) {
    std::printf("extent %s %s to %s %s\n", Num(box.x1).c_str(), Num(box.y1).c_str(),
                Num(box.x2).c_str(), Num(box.y2).c_str());
  }
  // Point numbers may have gaps: walk up to the highest, not up to IPointN.
  for (int32_t n = 1; n <= g.IPointMax(); ++n) {
    const TJwwIndPoint& p = g.IPoints[static_cast<size_t>(n)];
    if (p.flg) std::printf("point %d at %s %s\n", n, Num(p.x).c_str(), Num(p.y).c_str());
  }
  for (const TJwwReadNote& n : notes) {
    std::printf("line %d, %s: %s\n", n.line, kNotes[static_cast<size_t>(n.what)],
                platform::TextToUtf8(n.text).c_str());
  }

  if (!g.SaveTempFile(file)) {  // no command: "hq"
    std::fputs("selection_stats: cannot write the exchange file\n", stderr);
    return 1;
  }
  return 0;
}
