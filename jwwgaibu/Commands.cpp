// The text, fill-colour and attribute commands, and the entity commands:
// lines, polylines, circles, arcs, texts, dimensions and solids.
#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "jwwgaibu/JwwGaibu.h"
#include "jwwgaibu/Line.h"
#include "jwwgaibu/Records.h"
#include "jwwgaibu/Tolerance.h"
#include "myfunc/MyFunc.h"

using namespace jwwtol;

namespace {

// A text written into a command must stay on that command's line: a CR or LF
// would start a new command in the exchange file (and let a text inject one),
// and a NUL ends the file for whoever reads it. The reader drops control
// characters inside a text anyway, so removing these loses nothing.
void AppendOneLine(std::u16string& out, std::u16string_view s) {
  for (char16_t c : s)
    if (c != u'\r' && c != u'\n' && c != u'\0') out += c;
}

std::u16string OneLine(std::u16string_view s) {
  std::u16string r;
  r.reserve(s.size());
  AppendOneLine(r, s);
  return r;
}

}  // namespace

// ---- Text, fill-colour and attribute commands ----

void TJGdata::S_Mjs(int32_t mjs, double mw, double mh, double md, int32_t col, int32_t mode) {
  col = DialogCol(u"S_Mjs", col, mode);
  if (mjs < 0 || mjs > 10) {
    mjs = CurMjs;
    if (mjs == 0) {  // the drawing's free size comes with its own colour code
      mw = CurMjsW;
      mh = CurMjsH;
      md = CurMjsD;
      col = CurMjsC;
    }
  }
  const bool sizeChanged =
      mjs == 0 && (mw != w_MjsW || mh != w_MjsH || md != w_MjsD || col != w_MjsC);
  if (!w_FlgMjs && mjs == w_Mjs && !sizeChanged) return;
  // A size the file cannot carry: the kind in force stays.
  if (mjs == 0 && !Finite(u"S_Mjs", {mw, mh, md})) return;
  if (mjs == 0) {
    SendMem(NumberLine(u"cn0", {mw, mh, md, static_cast<double>(col)}));
    w_MjsW = mw;
    w_MjsH = mh;
    w_MjsD = md;
    w_MjsC = col;
  } else {
    SendMem(u"cn" + IntStr(mjs));
  }
  w_Mjs = mjs;
  w_FlgMjs = false;
}

void TJGdata::S_Mbs(int32_t mbs) {
  if (mbs < 0 || mbs > 8) mbs = 0;
  if (!w_FlgMbs && mbs == w_Mbs) return;
  SendMem(u"cc" + IntStr(mbs));
  w_Mbs = mbs;
  w_FlgMbs = false;
}

void TJGdata::S_Font(const std::u16string& fnt) {
  std::u16string f = OneLine(fnt);
  if (f.empty() || f == u"<>") f = OneLine(CurFont);
  if (!w_FlgFont && f == w_Font) return;
  // The quote keeps a font name with spaces in one field for the reader.
  SendMem(u"cn\"$" + f);
  w_Font = std::move(f);
  w_FlgFont = false;
}

// The fill colour travels as line colour 10 carrying an RGB value, so it must
// be written again whenever another line colour came in between.
void TJGdata::S_SCol(int32_t col) {
  if (col < 0 || col > 0xFFFFFF) col = 0;
  if (!w_FlgCol && w_Col == 10 && !w_FlgSCol && col == w_SlCol) return;
  SendMem(u"lc10 " + IntStr(col));
  w_SlCol = col;
  w_FlgSCol = false;
  w_Col = 10;
  w_FlgCol = false;
}

void TJGdata::S_SColRGB(int32_t r, int32_t g, int32_t b) {
  if (r < 0 || r > 255) r = 0;
  if (g < 0 || g > 255) g = 0;
  if (b < 0 || b > 255) b = 0;
  S_SCol(RgbValue(r, g, b));  // within 0..FFFFFF, so S_SCol keeps it
}

// z4 and z5 exclude each other; z5 wins.
void TJGdata::S_Attr(int32_t att) {
  S_Attr((att & 1) != 0, (att & 2) != 0, (att & 4) != 0, (att & 8) != 0, (att & 16) != 0);
}

void TJGdata::S_Attr(bool at1, bool at2, bool at3, bool at4, bool at5) {
  if (at1) SendMem(u"z1");
  if (at2) SendMem(u"z2");
  if (at3) SendMem(u"z3");
  if (at4 && !at5) SendMem(u"z4");
  if (at5) SendMem(u"z5");
}

void TJGdata::S_Attr(int32_t at1, int32_t at2, int32_t at3, int32_t at4, int32_t at5) {
  S_Attr(at1 != 0, at2 != 0, at3 != 0, at4 != 0, at5 != 0);
}

void TJGdata::S_Comment(const std::u16string& s) {
  NoteText(u"S_Comment", s);
  const std::u16string line = u"h#" + OneLine(s);
  if (ReadFields(line) == 4) WriteNote(jnCommentAsLine, u"S_Comment", 4);
  SendMem(line);
}

void TJGdata::S_Area() {
  if (!Writable(u"S_Area", {AreaX1, AreaY1, AreaX2, AreaY2})) return;
  SendMem(NumberLine(u"hn", {AreaX1, AreaY1, AreaX2, AreaY2}));
}

// Display RGB of a colour code: the pens 1-9 and the first sixteen SXF colours
// (codes 101-116); anything else has no display value.
int32_t TJGdata::GetColorDisp(int32_t col) {
  struct Rgb {
    int32_t r, g, b;
  };
  static constexpr Rgb kPens[9] = {{0, 192, 192}, {0, 0, 0},     {0, 192, 0},
                                   {192, 192, 0}, {192, 0, 192}, {0, 0, 255},
                                   {0, 128, 128}, {255, 0, 128}, {255, 128, 255}};
  static constexpr Rgb kSxf[16] = {
      {0, 0, 0},       {255, 0, 0},   {0, 255, 0},     {0, 0, 255},
      {255, 255, 0},   {255, 0, 255}, {0, 255, 255},   {0, 0, 0},
      {192, 0, 128},   {192, 128, 64}, {255, 128, 0},  {128, 192, 128},
      {0, 128, 255},   {128, 64, 255}, {192, 192, 192}, {128, 128, 128}};
  const Rgb* c = nullptr;
  if (col >= 1 && col <= 9) c = &kPens[col - 1];
  if (col >= 101 && col <= 116) c = &kSxf[col - 101];
  return c ? RgbValue(c->r, c->g, c->b) : 0;
}

// ---- Shape, text, dimension and solid commands ----

void TJGdata::S_Line(double x1, double y1, double x2, double y2) {
  if (!Writable(u"S_Line", {x1, y1, x2, y2})) return;
  if (!Drawn(u"S_Line", Near(x1, y1, x2, y2))) return;
  SendMem(NumberLine(u"", {x1, y1, x2, y2}));
}

// Bare lines between "pl" and "#" form one curve for the reader.
void TJGdata::S_PLineStart() { SendMem(u"pl"); }

void TJGdata::S_PLineEnd() { SendMem(u"#"); }

void TJGdata::S_PLineReset() {
  t_PLineN = 0;
  std::vector<TJwwPLine>().swap(t_PLine);
}

// The collected segments are held at exactly their number, one more per call.
void TJGdata::S_PLineSet(double px1, double py1, double px2, double py2) {
  // The count is a public field; never let a stray value size the array.
  const size_t n = std::min(t_PLineN > 0 ? static_cast<size_t>(t_PLineN) : 0, t_PLine.size());
  t_PLine.resize(n);
  t_PLine.push_back(TJwwPLine{px1, py1, px2, py2});
  t_PLineN = static_cast<int32_t>(n + 1);
}

void TJGdata::S_PLine() {
  const size_t n =
      t_PLineN > 0 ? std::min(static_cast<size_t>(t_PLineN), t_PLine.size()) : 0;
  if (n == 0) return;
  if (n == 1) {  // a single segment is a plain line, not a curve
    const TJwwPLine& p = t_PLine[0];
    S_Line(p.x1, p.y1, p.x2, p.y2);
    return;
  }
  S_PLineStart();
  for (size_t i = 0; i < n; ++i) {
    const TJwwPLine& p = t_PLine[i];
    S_Line(p.x1, p.y1, p.x2, p.y2);
  }
  S_PLineEnd();
}

// Circle and arc share "ci"; the reader tells them apart by the field count.
void TJGdata::S_Circle(double x, double y, double r) {
  if (!Writable(u"S_Circle", {x, y, r})) return;
  if (!Drawn(u"S_Circle", NotPositive(r))) return;
  SendMem(NumberLine(u"ci", {x, y, r}));
}

void TJGdata::S_Arc(double x, double y, double r, double sa, double ea, double h, double ka) {
  if (!Writable(u"S_Arc", {x, y, r, sa, ea, h, ka})) return;
  if (!Drawn(u"S_Arc", NotPositive(r) || Tiny(h))) return;
  SendMem(NumberLine(u"ci", {x, y, r, sa, ea, h, ka}));
}

// (x1, y1) is the start point, (x2, y2) the direction vector. The quote makes
// the rest of the line, spaces included, the text.
void TJGdata::S_Text(int32_t no, double x1, double y1, double x2, double y2,
                     const std::u16string& m) {
  if (!Writable(u"S_Text", {x1, y1, x2, y2})) return;
  if (!Drawn(u"S_Text", (Tiny(x2) && Tiny(y2)) || Blank(m))) return;
  NoteText(u"S_Text", m);
  std::u16string& line = NumberLine(TextKeyword(no), {x1, y1, x2, y2});
  line += u" \"";
  AppendOneLine(line, m);
  SendMem(line);
}

void TJGdata::S_Dim(double lx1, double ly1, double lx2, double ly2, double tx1, double ty1,
                    double tx2, double ty2, const std::u16string& m) {
  if (!Writable(u"S_Dim", {lx1, ly1, lx2, ly2, tx1, ty1, tx2, ty2})) return;
  if (!Drawn(u"S_Dim", Near(lx1, ly1, lx2, ly2) || (Tiny(tx2) && Tiny(ty2)))) return;
  // Without a text the dimension shows its length, which must be a number.
  if (Blank(m) && !Writable(u"S_Dim", {DimLength(lx1, ly1, lx2, ly2)})) return;
  if (!Blank(m)) NoteText(u"S_Dim", m);
  SendMem(u"msg");
  SendMem(NumberLine(u"", {lx1, ly1, lx2, ly2}));
  std::u16string& line = NumberLine(u"cs", {tx1, ty1, tx2, ty2});
  line += u" \"";
  if (Blank(m)) {
    AppendFloat(line, DimLength(lx1, ly1, lx2, ly2));  // without a text: its length
  } else {
    AppendOneLine(line, m);
  }
  SendMem(line);
}

void TJGdata::S_Solid2(double x1, double y1, double x2, double y2) {
  if (!Writable(u"S_Solid2", {x1, y1, x2, y2})) return;
  if (!Drawn(u"S_Solid2", Near(x1, y1, x2, y2))) return;
  SendMem(NumberLine(u"sl", {x1, y1, x2, y2}));
}

void TJGdata::S_Solid3(double x1, double y1, double x2, double y2, double x3, double y3) {
  if (!Writable(u"S_Solid3", {x1, y1, x2, y2, x3, y3})) return;
  if (!Drawn(u"S_Solid3",
             Near(x1, y1, x2, y2) || Near(x2, y2, x3, y3) || Near(x3, y3, x1, y1))) {
    return;
  }
  SendMem(NumberLine(u"sl", {x1, y1, x2, y2, x3, y3}));
}

void TJGdata::S_Solid4(double x1, double y1, double x2, double y2, double x3, double y3,
                       double x4, double y4) {
  if (!Writable(u"S_Solid4", {x1, y1, x2, y2, x3, y3, x4, y4})) return;
  const double x[4] = {x1, x2, x3, x4}, y[4] = {y1, y2, y3, y4};
  int k[3];
  switch (SolidCorners(x, y, k)) {
    case 0:
      Drawn(u"S_Solid4", true);
      return;
    case 3:
      return S_Solid3(x[k[0]], y[k[0]], x[k[1]], y[k[1]], x[k[2]], y[k[2]]);
  }
  SendMem(NumberLine(u"sl", {x1, y1, x2, y2, x3, y3, x4, y4}));
}

void TJGdata::S_SolidC(double x, double y, double r, double h, double ka, double sa, double da,
                       int32_t cod) {
  if (!Writable(u"S_SolidC", {x, y, r, h, ka, sa, da})) return;
  const bool codeIs = cod == 100 || cod == 5 || cod == 0 || cod == -1;
  if (!Drawn(u"S_SolidC", NotPositive(r) || Tiny(h) || !codeIs)) return;
  std::u16string& line = NumberLine(u"sc", {x, y, r, h, ka, sa, da});
  line += u' ';
  line += IntStr(cod);
  SendMem(line);
}

void TJGdata::S_SolidD(double x, double y, double r, double h, double ka, double sa, double da,
                       int32_t cod) {
  if (!Writable(u"S_SolidD", {x, y, r, h, ka, sa, da})) return;
  if (!Drawn(u"S_SolidD", NotPositive(r) || Tiny(h) || (cod != 100 && cod != 0))) return;
  std::u16string& line = NumberLine(u"se", {x, y, r, h, ka, sa, da});
  line += u' ';
  line += IntStr(cod);
  SendMem(line);
}

void TJGdata::S_SolidO(double x, double y, double r, double h, double ka, double sa, double da,
                       double ri) {
  if (!Writable(u"S_SolidO", {x, y, r, h, ka, sa, da, ri})) return;
  if (!Drawn(u"S_SolidO", BadRing(r, h, ri))) return;
  SendMem(NumberLine(u"so", {x, y, r, h, ka, sa, da, ri}));
}

void TJGdata::S_SolidG(double x, double y, double r, double h, double ka, double sa, double da,
                       double ri) {
  if (!Writable(u"S_SolidG", {x, y, r, h, ka, sa, da, ri})) return;
  if (!Drawn(u"S_SolidG", BadRing(r, h, ri))) return;
  SendMem(NumberLine(u"sg", {x, y, r, h, ka, sa, da, ri}));
}
