// Run at build time on the build machine: writes the tables of Cp932.h as a
// C++ source file, from what this machine's iconv makes of every byte, every
// pair of a lead byte and a second byte, and every UTF-16 code unit but the
// surrogates. Stops without writing, with a message, where iconv answers in a
// way that the tables cannot hold.
//   make_cp932_tables OUT.cpp
#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/portable/Cp932.h"

namespace {

using platform::cp932::kLead;
using platform::cp932::kNone;

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "make_cp932_tables: %s\n", what.c_str());
  std::exit(1);
}

std::string Hex(unsigned v) {
  char b[8];
  std::snprintf(b, sizeof b, "%04X", v);
  return b;
}

struct Result {
  int err;       // 0, or iconv's errno
  size_t used;   // input bytes taken
  std::string out;
};

Result Convert(iconv_t cd, const std::string& input) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char buf[16];
  char* in = const_cast<char*>(input.data());
  size_t inLeft = input.size();
  char* out = buf;
  size_t outLeft = sizeof buf;
  const size_t r = iconv(cd, &in, &inLeft, &out, &outLeft);
  return {r == static_cast<size_t>(-1) ? errno : 0, input.size() - inLeft, std::string(buf, out)};
}

iconv_t Open(const char* to, const char* from) {
  const iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) Fail(std::string("no iconv from ") + from + " to " + to);
  return cd;
}

// The character of a whole input, kNone where iconv finds none, kLead where
// the input is the unfinished start of one.
uint16_t Decoded(iconv_t cd, const std::string& input, const std::string& what) {
  const Result r = Convert(cd, input);
  if (r.err == EILSEQ && r.used == 0) return kNone;
  if (r.err == EINVAL && r.used == 0) return kLead;
  if (r.err != 0 || r.used != input.size() || r.out.size() != 2) Fail(what + ": not one UTF-16 code unit");
  const uint16_t c = static_cast<uint16_t>(static_cast<unsigned char>(r.out[0]) |
                                           static_cast<unsigned char>(r.out[1]) << 8);
  if (c == kNone || c == kLead) Fail(what + " decodes to U+" + Hex(c));
  return c;
}

// The definition of a table of `rows` rows (1: a flat one) of `width` values.
void Table(std::string& text, const char* declaration, const uint16_t* values, size_t rows, size_t width) {
  text += declaration;
  text += " = {";
  for (size_t r = 0; r < rows; ++r, values += width) {
    if (rows > 1) text += "\n  {";
    for (size_t k = 0; k < width; ++k) text += (k % 12 == 0 ? "\n   " : "") + std::string(" 0x") + Hex(values[k]) + ",";
    if (rows > 1) text += "\n  },";
  }
  text += "\n};\n\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) Fail("usage: make_cp932_tables OUT.cpp");
  using namespace platform::cp932;
  const iconv_t decoder = Open("UCS-2LE", "CP932");
  const iconv_t encoder = Open("CP932", "UTF-16LE");

  static uint16_t byte[256], pair[kLeadRows][256], code[0x10000];
  for (unsigned b = 0; b < 256; ++b) {
    byte[b] = Decoded(decoder, std::string(1, static_cast<char>(b)), "byte " + Hex(b));
    if ((byte[b] == kLead) != IsLead(static_cast<unsigned char>(b))) Fail("byte " + Hex(b) + ": lead bytes differ");
    if (byte[b] != kLead) continue;
    for (unsigned t = 0; t < 256; ++t) {
      const std::string what = "bytes " + Hex(b << 8 | t);
      const uint16_t c = Decoded(decoder, {static_cast<char>(b), static_cast<char>(t)}, what);
      if (c == kLead) Fail(what + ": unfinished");
      pair[LeadRow(static_cast<unsigned char>(b))][t] = c;
    }
  }
  for (unsigned u = 0; u < 0x10000; ++u) {
    code[u] = kNone;
    if (u >= 0xD800 && u <= 0xDFFF) continue;
    const Result r = Convert(encoder, {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)});
    if (r.err == EILSEQ && r.used == 0) continue;
    const std::string what = "U+" + Hex(u);
    if (r.err != 0 || r.used != 2 || r.out.empty() || r.out.size() > 2) Fail(what + ": not one or two bytes");
    const unsigned first = static_cast<unsigned char>(r.out[0]);
    if (r.out.size() == 2 && !IsLead(static_cast<unsigned char>(first))) Fail(what + ": two bytes without a lead byte");
    code[u] = static_cast<uint16_t>(r.out.size() == 1 ? first : first << 8 | static_cast<unsigned char>(r.out[1]));
  }

  std::string text =
      "// Made at build time by MakeCp932Tables.cpp from the build machine's iconv.\n"
      "#include \"platform/portable/Cp932.h\"\n\nnamespace platform::cp932 {\n\n";
  Table(text, "const uint16_t kByte[256]", byte, 1, 256);
  Table(text, "const uint16_t kPair[kLeadRows][256]", &pair[0][0], kLeadRows, 256);
  Table(text, "const uint16_t kCode[0x10000]", code, 1, 0x10000);
  text += "}  // namespace platform::cp932\n";
  FILE* f = std::fopen(argv[1], "wb");
  if (f == nullptr || std::fwrite(text.data(), 1, text.size(), f) != text.size() || std::fclose(f) != 0) {
    std::remove(argv[1]);
    Fail(std::string("cannot write ") + argv[1]);
  }
  return 0;
}
