// Display colours of one drawing, as the CAD program shows them: the colour
// values the file carries ("hrgb"), else the program's own table of pen and
// SXF colours. Shared by the pictures (jwc2svg) and the browser page.
#pragma once

#include <cstddef>
#include <cstdint>

#include "jwwgaibu/JwwGaibu.h"

class TDisplayPalette {
 public:
  explicit TDisplayPalette(TJGdata& g) : g_(g) {
    for (size_t k = 1; k < g.RGB.size(); ++k) {
      if (g.RGB[k] != 0) carried_ = static_cast<int32_t>(k);
    }
  }
  // The RGB value r + 256 g + 65536 b of a line, point or text colour code.
  int32_t Pen(int32_t code) const {
    return code >= 1 && code <= carried_ ? g_.RGB[static_cast<size_t>(code)] : g_.GetColorDisp(code);
  }
  // Solids in line colour 10 carry their own RGB value.
  int32_t Fill(int32_t code, int32_t rgb) const { return code == 10 ? rgb : Pen(code); }

 private:
  TJGdata& g_;
  int32_t carried_ = 0;  // the "hrgb" record filled the entries 1 .. carried_
};
