// Writing a big drawing back: reads an exchange file once (not timed), then
// times S_Init, S_EntAll with every attribute kept and SaveTempFile, the
// way a tool that rewrites a whole selection would. Reports the median of
// RUNS and the output's size and throughput.
//
//   bench_writer IN OUT [RUNS]      (RUNS defaults to 5)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "jwwgaibu/JwwGaibu.h"
#include "platform/Platform.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s IN OUT [RUNS]\n", argv[0]);
    return 2;
  }
  const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
  std::u16string in, out;
  platform::Utf8ToText(argv[1], in);
  platform::Utf8ToText(argv[2], out);
  TJGdata g;
  g.OpenTempFile(in);

  std::vector<double> total, entAll;
  for (int r = 0; r < runs; ++r) {
    g.StopJwwGaibu();  // an empty buffer, as in a fresh run
    const auto t0 = std::chrono::steady_clock::now();
    g.S_Init();
    g.S_EntAll(-1, -1, -1, -1, -1, -1, -1, 0);
    const auto t1 = std::chrono::steady_clock::now();
    if (!g.SaveTempFile(out)) {
      std::fprintf(stderr, "cannot write %s\n", argv[2]);
      return 1;
    }
    const auto t2 = std::chrono::steady_clock::now();
    entAll.push_back(std::chrono::duration<double>(t1 - t0).count());
    total.push_back(std::chrono::duration<double>(t2 - t0).count());
  }
  std::sort(total.begin(), total.end());
  std::sort(entAll.begin(), entAll.end());
  std::string bytes;
  platform::ReadWholeFile(out, bytes);
  const double mb = static_cast<double>(bytes.size()) / 1e6;
  const double t = total[total.size() / 2];
  std::printf("entities %d, lines written %d, output %.1f MB\n", g.EntN, g.t_MemN, mb);
  std::printf("S_EntAll median %.3f s; with SaveTempFile median %.3f s = %.1f MB/s\n",
              entAll[entAll.size() / 2], t, mb / t);
  return 0;
}
