// What the tests share: temporary folders, files as bytes, running the built
// kx29 in a folder of its own, and a look at the private pen state.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "jwwgaibu/JwwGaibu.h"

namespace kxtest {

// A fresh folder under the system's temporary folder, removed with everything
// in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

std::string ReadBytes(const std::filesystem::path& p);
void WriteBytes(const std::filesystem::path& p, const std::string& bytes);
std::u16string U16(const std::filesystem::path& p);  // a path as the library takes it

// Copies the built kx29 into dir (it reads JWC_TEMP.TXT and its settings beside
// itself), runs it there with args and gives the exit code; with said, what it
// wrote on standard error goes there.
int RunKx29(const std::filesystem::path& dir, const std::vector<std::string>& args,
            std::string* said = nullptr);

// Lines of a CR LF text, without their breaks.
std::vector<std::string> CrLfLines(const std::string& text);

// Hands each line of a UTF-8 text (split at '\n') to the line reader, as
// reading a file would.
void ReadLines(TJGdata& g, std::string_view text);

}  // namespace kxtest

// The private attribute and pen state, for tests that must see it.
struct TJGdataAccess {
#define KX29_FIELD(name) \
  static auto& name(TJGdata& g) { return g.name; }
  KX29_FIELD(w_FlgLGrp) KX29_FIELD(w_FlgLay) KX29_FIELD(w_FlgCol) KX29_FIELD(w_FlgLtp)
  KX29_FIELD(w_FlgWid) KX29_FIELD(w_FlgMjs) KX29_FIELD(w_FlgMbs) KX29_FIELD(w_FlgFont)
  KX29_FIELD(w_FlgPCol) KX29_FIELD(w_FlgSCol) KX29_FIELD(w_IPNo) KX29_FIELD(w_LGrp)
  KX29_FIELD(w_Lay) KX29_FIELD(w_Col) KX29_FIELD(w_Ltp) KX29_FIELD(w_Wid)
  KX29_FIELD(w_Mjs) KX29_FIELD(w_MjsW) KX29_FIELD(w_MjsH) KX29_FIELD(w_MjsD)
  KX29_FIELD(w_MjsC) KX29_FIELD(w_Mbs) KX29_FIELD(w_Font) KX29_FIELD(w_Attr)
  KX29_FIELD(w_CrvNo) KX29_FIELD(w_CrvFl) KX29_FIELD(w_DimFl) KX29_FIELD(w_PtCol)
  KX29_FIELD(w_SlCol)
#undef KX29_FIELD
  static void ParseLine(TJGdata& g, std::u16string_view line) { g.ParseLine(line); }
  static int32_t ColCode(TJGdata& g, int32_t a) { return g.ColCode(a); }
  static int32_t LtpCode(TJGdata& g, int32_t a) { return g.LtpCode(a); }
};
