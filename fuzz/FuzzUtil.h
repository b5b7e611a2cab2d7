// What the fuzz targets share: a fixed scratch folder for the files a run
// reads and writes, whole-file helpers, and a check that stops the run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

// A failed check is a finding: print it and abort, which both libFuzzer and
// the replay program report as a failure with the input that caused it.
#define FUZZ_CHECK(cond)                                                         \
  do {                                                                           \
    if (!(cond)) {                                                               \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
      std::abort();                                                              \
    }                                                                            \
  } while (0)

class TJGdata;

namespace kxfuzz {

// A folder of this process under the system's temporary folder, created on
// first use and removed when the process ends. Ends with a slash.
const std::string& Folder();
std::u16string Folder16();

void WriteFile(const std::string& path, std::string_view bytes);
// The file's bytes; false when it cannot be read (missing, a folder).
bool ReadFile(const std::string& path, std::string& bytes);
void RemoveFile(const std::string& path);

std::u16string ToU16(std::string_view ascii);

// The store a reading or building left must hold together: counts within
// their arrays, every record indexed exactly once in the order of its array.
void CheckStore(const TJGdata& g);

}  // namespace kxfuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
