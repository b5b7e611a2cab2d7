// Runs a fuzz target's function over saved inputs without libFuzzer, so that
// the corpus and the found cases are replayed by an ordinary test with any
// compiler. Arguments: files or folders of files; a missing folder is passed
// over.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/FuzzUtil.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  std::vector<fs::path> inputs;
  for (int k = 1; k < argc; ++k) {
    const fs::path p = argv[k];
    if (fs::is_directory(p)) {
      for (const auto& e : fs::directory_iterator(p)) {
        if (e.is_regular_file()) inputs.push_back(e.path());
      }
    } else if (fs::is_regular_file(p)) {
      inputs.push_back(p);
    } else if (!fs::exists(p)) {
      std::printf("%s: not there, passed over\n", argv[k]);
    }
  }
  std::sort(inputs.begin(), inputs.end());
  for (const auto& p : inputs) {
    std::ifstream in(p, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::fprintf(stderr, "%s\n", p.string().c_str());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  }
  std::printf("%zu inputs replayed\n", inputs.size());
  return 0;
}
