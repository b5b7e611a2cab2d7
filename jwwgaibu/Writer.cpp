// The output buffer, its save into the exchange file, the pen state and the
// commands the point tool uses.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "jwwgaibu/Grow.h"
#include "jwwgaibu/InOrder.h"
#include "jwwgaibu/JwwGaibu.h"
#include "jwwgaibu/Line.h"
#include "jwwgaibu/Pieces.h"
#include "jwwgaibu/Records.h"
#include "jwwgaibu/Tolerance.h"
#include "myfunc/MyFunc.h"
#include "platform/Platform.h"

namespace {
// Layer groups and layers are written as one uppercase hexadecimal digit or
// more; a negative number shows its 32-bit pattern (-1 gives FFFFFFFF).
std::u16string HexStr(int32_t v) {
  uint32_t u = static_cast<uint32_t>(v);
  char16_t buf[8];
  int n = 0;
  do {
    buf[n++] = u"0123456789ABCDEF"[u & 15];
    u >>= 4;
  } while (u != 0);
  std::u16string s;
  while (n > 0) s += buf[--n];
  return s;
}

// One line of the file and its CR LF, in the file's encoding, appended to
// bytes. Nearly every line is ASCII, which code page 932 and UTF-8 both keep
// byte for byte; only the others go through the converter.
void PutLine(std::string& bytes, std::u16string_view line, bool utf8) {
  const size_t n = line.size();
  char16_t bits = 0;  // a line is ASCII when no code unit has a bit above 0x7F
  for (char16_t c : line) bits |= c;
  if (bits < 0x80) {
    const size_t at = bytes.size();
    bytes.resize(at + n + 2);
    char* o = bytes.data() + at;
    for (size_t k = 0; k < n; ++k) o[k] = static_cast<char>(line[k]);
    o[n] = '\r';
    o[n + 1] = '\n';
    return;
  }
  bytes += utf8 ? platform::TextToUtf8(line) : platform::TextToAnsi(line);
  bytes += "\r\n";
}
}  // namespace

void TJGdata::SendMem(const std::u16string& s) {
  if (w_ReadNoInit && WriteNotes != nullptr) {
    WriteNote(jnNoInit, u"S_Init", 0, NextLine());
    w_ReadNoInit = false;
  }
  AppendGrow(t_Mem, t_MemN) = s;
  if (s == u"bz") w_BzLine = t_MemN;
}

namespace {
// A dialog number whose code passes the 32-bit range: the code wraps.
bool CodeWraps(int32_t a, int32_t mode, int32_t add) {
  return mode == jmDialog && a > INT32_MAX - add;
}
}  // namespace

void TJGdata::WriteNote(TJwwNote what, const char16_t* call, double value, int32_t line) {
  if (WriteNotes == nullptr) return;
  WriteNotes->push_back({what, call, value, line < 0 ? NextLine() : line});
}

// The count is public and may hold anything: the line the next command
// writes, where an append brings it back to the lines there are.
int32_t TJGdata::NextLine() const { return static_cast<int32_t>(InArray(t_Mem, t_MemN)) + 1; }

bool TJGdata::Finite(const char16_t* call, std::initializer_list<double> values) {
  for (double v : values) {
    if (!std::isfinite(v)) {
      WriteNote(jnNotFinite, call, v);
      return false;
    }
  }
  return true;
}

bool TJGdata::Writable(const char16_t* call, std::initializer_list<double> values) {
  if (!Finite(call, values)) return false;
  // A drawing read at paper scale needs "bz" before its coordinates: noted
  // once for the lines in the buffer (the buffer emptied, once again).
  if (Zusun && WriteNotes != nullptr && !(w_BzLine > 0 && w_BzLine <= t_MemN) &&
      !(w_NoBzLine > 0 && w_NoBzLine <= NextLine())) {
    WriteNote(jnNoZusun, call, 0);
    w_NoBzLine = NextLine();
  }
  return true;
}

bool TJGdata::Drawn(const char16_t* call, bool degenerate) {
  if (degenerate) WriteNote(jnDegenerate, call, 0);
  return !degenerate;
}

// The colour list of the settings dialog runs from 0 (the current colour)
// over the nine pens to the 256 SXF colours, 265.
int32_t TJGdata::DialogCol(const char16_t* call, int32_t col, int32_t mode) {
  if (mode != jmDialog) return col;
  if (CodeWraps(col, mode, 91)) {
    WriteNote(jnCodeWraps, call, col);
  } else if (col < 0 || col > 265) {
    WriteNote(jnColourRange, call, col);
  }
  return ColCode(col);
}

void TJGdata::NoteText(const char16_t* call, std::u16string_view s) {
  if (WriteNotes == nullptr) return;
  const auto n = std::count_if(s.begin(), s.end(), [](char16_t c) {
    return c == u'\r' || c == u'\n' || c == u'\0' || c == u'\t';
  });
  if (n > 0) WriteNote(jnDropped, call, static_cast<double>(n));
}

bool TJGdata::SaveTempFile(const std::u16string& fn) {
  // Every failure ends the same way, memory running out while encoding too.
  bool saved = false;
  try {
    // The count is public: never read past the lines that exist.
    const int32_t n = static_cast<int32_t>(InArray(t_Mem, t_MemN));
    platform::FileReplacement file(fn);
    if (MojiCode) file.Write("\xEF\xBB\xBF");
    if (n == 0) {
      std::string bytes;
      PutLine(bytes, u"hq", MojiCode);  // the file of a run that wrote nothing
      file.Write(bytes);
    }
    if (WriteNotes != nullptr) NoteSave(n);
    // The lines are encoded a piece at a time into buffers used again and
    // again, a big buffer's pieces on two threads, and written in order.
    const jwwgaibu::WriteSplit split = jwwgaibu::CurrentWriteSplit();
    const int32_t per = std::max<int32_t>(split.pieceLines, 1);
    std::array<std::string, 4> bytes;
    PrepareAheadInOrder(
        static_cast<size_t>((n + per - 1) / per), bytes.size(), n >= split.helperFrom,
        [&](size_t s, size_t k) {
          bytes[s].clear();
          const int32_t from = static_cast<int32_t>(k) * per, end = std::min(n, from + per);
          for (int32_t i = from; i < end; ++i) PutLine(bytes[s], t_Mem[static_cast<size_t>(i)], MojiCode);
        },
        [&](size_t s, size_t) { return file.Write(bytes[s]); });
    saved = file.Commit();
  } catch (...) {
    // The replacement went with its object, unwritten.
  }
  if (saved) return true;
  // The host must never read a stale or partial result as if it were ours.
  try {
    if (FileThere(fn)) FileRemove(fn);
  } catch (...) {
  }
  return false;
}

// What the save is about to write wrongly: a count beyond the lines, lines in
// use left empty, characters the encoding cannot hold, dimensions cut apart.
void TJGdata::NoteSave(int32_t n) {
  if (t_MemN > n || t_MemN < 0) WriteNote(jnOutOfStep, u"SaveTempFile", t_MemN, 0);
  int32_t empty = 0;
  for (int32_t i = 0; i < n; ++i) {
    const std::u16string& line = t_Mem[static_cast<size_t>(i)];
    if (line.empty()) ++empty;
    char16_t bits = 0;
    for (char16_t c : line) bits |= c;
    if (bits < 0x80) continue;
    std::u16string back;
    if (MojiCode) {
      platform::Utf8ToText(platform::TextToUtf8(line), back);
    } else {
      platform::AnsiToText(platform::TextToAnsi(line), back);
    }
    if (back != line) {
      int32_t lost = 0;
      for (size_t k = 0; k < line.size(); ++k) lost += k >= back.size() || back[k] != line[k];
      WriteNote(jnNotEncodable, u"SaveTempFile", lost, i + 1);
    }
  }
  if (empty > 0) WriteNote(jnOutOfStep, u"SaveTempFile", empty, 0);
  const bool dims = std::any_of(t_Mem.begin(), t_Mem.begin() + n,
                                [](const std::u16string& l) { return l.starts_with(u"msg"); });
  if (dims) NoteDims(n);
}

void TJGdata::S_Init() {
  w_ReadNoInit = false;
  w_FlgLGrp = w_FlgLay = w_FlgCol = w_FlgLtp = w_FlgWid = true;
  w_FlgMjs = w_FlgMbs = w_FlgFont = w_FlgPCol = w_FlgSCol = true;
  w_LGrp = 0;
  w_Lay = 0;
  w_Col = 1;
  w_Ltp = 1;
  w_Wid = 0;
  w_Mjs = 1;
  w_MjsW = 2.0;
  w_MjsH = 2.0;
  w_MjsD = 0.0;
  w_MjsC = 1;
  w_Mbs = 0;
  w_Font = std::u16string(kDefaultFont);
  w_PtCol = 1;
  w_SlCol = 0;
}

void TJGdata::S_LGrp(int32_t lgrp) {
  if (!w_FlgLGrp && lgrp == w_LGrp) return;
  if (lgrp < 0 || lgrp > 15) WriteNote(jnLayerRange, u"S_LGrp", lgrp);
  SendMem(u"lg" + HexStr(lgrp));
  w_LGrp = lgrp;
  w_FlgLGrp = false;
  w_FlgLay = true;  // a layer number means nothing without its group
}

void TJGdata::S_Lay(int32_t lay) {
  if (!w_FlgLay && lay == w_Lay) return;
  if (lay < 0 || lay > 15) WriteNote(jnLayerRange, u"S_Lay", lay);
  SendMem(u"ly" + HexStr(lay));
  w_Lay = lay;
  w_FlgLay = false;
}

void TJGdata::S_Col(int32_t col, int32_t mode) {
  col = DialogCol(u"S_Col", col, mode);
  if (!w_FlgCol && col == w_Col) return;
  SendMem(u"lc" + IntStr(col));
  w_Col = col;
  w_FlgCol = false;
  w_FlgSCol = false;
}

void TJGdata::S_Ltp(int32_t ltp, int32_t mode) {
  if (CodeWraps(ltp, mode, 12)) WriteNote(jnCodeWraps, u"S_Ltp", ltp);
  if (mode == jmDialog) ltp = LtpCode(ltp);
  if (!w_FlgLtp && ltp == w_Ltp) return;
  SendMem(u"lt" + IntStr(ltp));
  w_Ltp = ltp;
  w_FlgLtp = false;
}

void TJGdata::S_Wid(int32_t wid) {
  if (!WidF) return;  // the host gave no widths, so none are written back
  if (wid == -1) wid = CurWid;
  if (wid < 0 || wid > 30000) wid = 0;
  if (!w_FlgWid && wid == w_Wid) return;
  SendMem(u"lw" + IntStr(wid));
  w_Wid = wid;
  w_FlgWid = false;
}

void TJGdata::S_PCol(int32_t col, int32_t mode) {
  col = DialogCol(u"S_PCol", col, mode);
  if (!w_FlgPCol && col == w_PtCol) return;
  SendMem(u"pn" + IntStr(col));
  w_PtCol = col;
  w_FlgPCol = false;
}

// Dialog colour number to colour code: 0 the current colour, 1-9 the pens,
// 10 onward the SXF colours 1, 2, ... written as 101, 102, ...
int32_t TJGdata::ColCode(int32_t a) {
  if (a <= 0) return CurCol;
  if (a <= 9) return a;
  return static_cast<int32_t>(static_cast<uint32_t>(a) + 91u);  // wraps, as a 32-bit sum would
}

// Dialog line-type number to line-type code: 0 the current type, 1-9 the
// plain types, 10-18 the codes 11-19, 19 onward the codes 31, 32, ...
int32_t TJGdata::LtpCode(int32_t a) {
  if (a <= 0) return CurLtp;
  if (a <= 9) return a;
  if (a <= 18) return a + 1;
  return static_cast<int32_t>(static_cast<uint32_t>(a) + 12u);
}

void TJGdata::S_Ten(double x, double y) {
  if (!Writable(u"S_Ten", {x, y})) return;
  SendMem(NumberLine(u"pt", {x, y}));
}

void TJGdata::S_Mark(double x, double y, double bai, double ang, int32_t cod) {
  if (!Writable(u"S_Mark", {x, y, bai, ang})) return;
  if (cod < -7 || cod > 11) cod = -3;
  if (jwwtol::Tiny(bai)) bai = 1.0;
  std::u16string& line = NumberLine(u"pt", {x, y, bai, ang});
  line += u' ';
  line += IntStr(cod);
  SendMem(line);
}
