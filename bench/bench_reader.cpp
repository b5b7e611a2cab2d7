// Reads one exchange file a number of times and reports the throughput and
// the peak memory of the process.
//
//   bench_reader FILE [RUNS]      (RUNS defaults to 5)
//
// Each run reads into a fresh TJGdata, as the tool does once per start. The
// median time is reported with the entity counts of the last run, so a reader
// that gets faster by reading less shows it.
#ifdef _WIN32
#include <windows.h>
#include <psapi.h>
#else
#include <sys/resource.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "jwwgaibu/JwwGaibu.h"
#include "platform/Platform.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FILE [RUNS]\n", argv[0]);
    return 2;
  }
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  std::u16string path;
  platform::Utf8ToText(argv[1], path);
  std::string bytes;
  if (!platform::ReadWholeFile(path, bytes)) {
    std::fprintf(stderr, "cannot read %s\n", argv[1]);
    return 1;
  }
  const double mb = static_cast<double>(bytes.size()) / 1e6;
  std::string().swap(bytes);

  std::vector<double> seconds;
  int32_t entities = 0, lines = 0, texts = 0, dims = 0, points = 0;
  for (int r = 0; r < runs; ++r) {
    const auto t0 = std::chrono::steady_clock::now();
    {
      TJGdata g;
      g.OpenTempFile(path);
      entities = g.EntN;
      lines = g.EntLineN;
      texts = g.EntTextN;
      dims = g.EntDimN;
      points = g.IPointN;
    }
    const auto t1 = std::chrono::steady_clock::now();
    seconds.push_back(std::chrono::duration<double>(t1 - t0).count());
  }
  std::sort(seconds.begin(), seconds.end());
  const double median = seconds[seconds.size() / 2];

#ifdef _WIN32
  PROCESS_MEMORY_COUNTERS pmc{};
  GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
  const double peakMb = static_cast<double>(pmc.PeakWorkingSetSize) / 1e6;
#else
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  const double peakMb = static_cast<double>(ru.ru_maxrss) * 1024.0 / 1e6;  // ru_maxrss is in KiB
#endif

  std::printf("file        %.3f MB\n", mb);
  std::printf("entities    %d (lines %d, texts %d, dimensions %d), indicated points %d\n",
              entities, lines, texts, dims, points);
  std::printf("runs        %d, median %.3f s (fastest %.3f s, slowest %.3f s)\n", runs, median,
              seconds.front(), seconds.back());
  std::printf("throughput  %.1f MB/s\n", mb / median);
  std::printf("peak RSS    %.1f MB (%.2f x the file)\n", peakMb, peakMb / mb);
  return 0;
}
