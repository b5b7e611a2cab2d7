// Building the entity store without an exchange file: the attributes of the
// entities to come, and one adder per entity kind. An added entity lands in
// its array and in the entity index exactly as a read one would, so it is
// written back like one.
#include <cmath>

#include "jwwgaibu/Grow.h"
#include "jwwgaibu/JwwGaibu.h"
#include "jwwgaibu/Tolerance.h"
#include "myfunc/MyFunc.h"

using namespace jwwtol;

namespace {
constexpr int32_t kLine = 1, kCirc = 2, kArc = 3, kText = 4, kPnt = 5, kMark = 6, kDim = 7,
                  kSld2 = 9, kSld3 = 10, kSld4 = 11, kSldC = 12, kSldE = 13, kSldO = 14,
                  kSldG = 15;

// The settings every new text takes: kinds 1-10 take size and colour from the
// drawing's text-kind table, any other kind the free size in force.
struct TextSettings {
  int32_t mjs, mbs;
  double mw, mh, md;
  int32_t mc;
  const std::u16string& font;
  const std::array<TJwwTextKind, 11>& kinds;
};

void FillText(TJwwEntText& t, const TextSettings& ts, int32_t no, double x1, double y1,
              double x2, double y2, const std::u16string& st) {
  t.no = no;
  t.cc = ts.mbs;
  t.cn = ts.mjs;
  if (t.cn >= 1 && t.cn <= 10) {
    const TJwwTextKind& k = ts.kinds[static_cast<size_t>(t.cn)];
    t.mw = k.W;
    t.mh = k.H;
    t.md = k.D;
    t.att.Col = k.C;
  } else {
    t.mw = ts.mw;
    t.mh = ts.mh;
    t.md = ts.md;
    t.att.Col = ts.mc;
  }
  t.x1 = x1;
  t.y1 = y1;
  t.x2 = x2;
  t.y2 = y2;
  t.fo = ts.font;
  t.st = st;
}

// Runs the plain adder, then gives the record it appended (if any) the caller's
// attributes. at is copied first: it may be a record of the very array that grows.
template <class T, class Add>
void WithAttr(const TJwwEntAttr& at, std::vector<T>& a, const int32_t& n, Add add) {
  const TJwwEntAttr keep = at;
  const int32_t before = n;
  add();
  if (n != before) a[static_cast<size_t>(n) - 1].att = keep;
}
}  // namespace

// --- attribute setters ----------------------------------------------------------

void TJGdata::A_LGrp(int32_t lgrp) { w_LGrp = lgrp; }

void TJGdata::A_Lay(int32_t lay) { w_Lay = lay; }

void TJGdata::A_Col(int32_t col, int32_t mode) {
  if (mode == 1) col = ColCode(col);
  w_Col = col;
  aCol = GetColorDisp(col);
}

void TJGdata::A_Ltp(int32_t ltp, int32_t mode) {
  if (mode == 1) ltp = LtpCode(ltp);
  w_Ltp = ltp;
}

void TJGdata::A_Wid(int32_t wid) {
  if (wid == -1) wid = CurWid;
  if (wid < 0 || wid > 30000) wid = 0;
  w_Wid = wid;
}

void TJGdata::A_Mjs(int32_t mjs, double mw, double mh, double md, int32_t col, int32_t mode) {
  if (mode == 1) col = ColCode(col);
  if (mjs < 0 || mjs > 10) {
    mjs = CurMjs;
    if (CurMjs == 0) {  // the drawing's free size, its colour as it stands
      mw = CurMjsW;
      mh = CurMjsH;
      md = CurMjsD;
      col = CurMjsC;
    }
  }
  w_MjsW = mw;
  w_MjsH = mh;
  w_MjsD = md;
  w_MjsC = col;
  w_Mjs = mjs;
  aCol = GetColorDisp(col);
}

void TJGdata::A_Mbs(int32_t mbs) { w_Mbs = mbs >= 0 && mbs <= 8 ? mbs : 0; }

void TJGdata::A_Font(const std::u16string& fnt) {
  w_Font = fnt.empty() || fnt == u"<>" ? CurFont : fnt;
}

void TJGdata::A_PCol(int32_t col, int32_t mode) {
  if (mode == 1) col = ColCode(col);
  w_PtCol = col;
  aCol = GetColorDisp(col);
}

// The fill colour is an RGB value already; it is its own display colour.
void TJGdata::A_SCol(int32_t col) {
  if (col < 0 || col > 0xFFFFFF) col = 0;
  w_SlCol = col;
  aSCol = col;
}

void TJGdata::A_SColRGB(int32_t r, int32_t g, int32_t b) {
  if (r < 0 || r > 255) r = 0;
  if (g < 0 || g > 255) g = 0;
  if (b < 0 || b > 255) b = 0;
  const int32_t v = r + 256 * g + 65536 * b;
  w_SlCol = v;
  aSCol = v;
}

// "z4" and "z5" exclude each other; "z5" wins.
void TJGdata::A_Attr(int32_t att) {
  int32_t v = att & (1 | 2 | 4 | 16);
  if ((att & 8) != 0 && (att & 16) == 0) v |= 8;
  w_Attr = v;
}

// --- entity adders ------------------------------------------------------------

void TJGdata::A_Line(double ax1, double ay1, double ax2, double ay2) {
  if (Near(ax1, ay1, ax2, ay2)) return;
  SetEntNo(kLine, EntLineN);
  TJwwEntLine& e = AppendGrow(EntLine, EntLineN);
  e = TJwwEntLine{};
  SetEntAttr(e.att);
  e.x1 = ax1;
  e.y1 = ay1;
  e.x2 = ax2;
  e.y2 = ay2;
}

void TJGdata::A_Line(const TJwwEntAttr& at, double ax1, double ay1, double ax2, double ay2) {
  WithAttr(at, EntLine, EntLineN, [&] { A_Line(ax1, ay1, ax2, ay2); });
}

void TJGdata::A_Ten(double ax, double ay) {
  SetEntNo(kPnt, EntPntN);
  TJwwEntPnt& e = AppendGrow(EntPnt, EntPntN);
  e = TJwwEntPnt{};
  SetEntAttr(e.att);
  e.att.Col = w_PtCol;
  e.px = ax;
  e.py = ay;
}

void TJGdata::A_Ten(const TJwwEntAttr& at, double ax, double ay) {
  WithAttr(at, EntPnt, EntPntN, [&] { A_Ten(ax, ay); });
}

void TJGdata::A_Mark(double ax, double ay, double abai, double aang, int32_t acod) {
  if (acod < -7 || acod > 11) acod = -3;
  if (Tiny(abai)) abai = 1.0;
  SetEntNo(kMark, EntMarkN);
  TJwwEntMark& e = AppendGrow(EntMark, EntMarkN);
  e = TJwwEntMark{};
  SetEntAttr(e.att);
  e.att.Col = w_PtCol;
  e.px = ax;
  e.py = ay;
  e.bai = abai;
  e.ang = aang;
  e.cod = acod;
}

void TJGdata::A_Mark(const TJwwEntAttr& at, double ax, double ay, double abai, double aang,
                     int32_t acod) {
  WithAttr(at, EntMark, EntMarkN, [&] { A_Mark(ax, ay, abai, aang, acod); });
}

void TJGdata::A_Circle(double ax, double ay, double ar) {
  if (NotPositive(ar)) return;
  SetEntNo(kCirc, EntCircN);
  TJwwEntCircle& e = AppendGrow(EntCirc, EntCircN);
  e = TJwwEntCircle{};
  SetEntAttr(e.att);
  e.cx = ax;
  e.cy = ay;
  e.cr = ar;
}

void TJGdata::A_Circle(const TJwwEntAttr& at, double ax, double ay, double ar) {
  WithAttr(at, EntCirc, EntCircN, [&] { A_Circle(ax, ay, ar); });
}

void TJGdata::A_Arc(double ax, double ay, double ar, double asa, double aea, double ah,
                    double aka) {
  if (NotPositive(ar)) return;
  if (Tiny(ah)) ah = 1.0;  // a flat ellipse would draw nothing; a circle arc is meant
  SetEntNo(kArc, EntArcN);
  TJwwEntArc& e = AppendGrow(EntArc, EntArcN);
  e = TJwwEntArc{};
  SetEntAttr(e.att);
  e.cx = ax;
  e.cy = ay;
  e.cr = ar;
  e.sa = asa;
  e.ea = aea;
  e.he = ah;
  e.ka = aka;
}

void TJGdata::A_Arc(const TJwwEntAttr& at, double ax, double ay, double ar, double asa,
                    double aea, double ah, double aka) {
  WithAttr(at, EntArc, EntArcN, [&] { A_Arc(ax, ay, ar, asa, aea, ah, aka); });
}

void TJGdata::A_Text(int32_t ano, double ax1, double ay1, double ax2, double ay2,
                     const std::u16string& am) {
  if (Tiny(ax2) && Tiny(ay2)) return;
  if (Blank(am)) return;
  if (ano < 0 || ano > 9) ano = 0;
  const std::u16string st = am;  // am may live in the array that is about to grow
  SetEntNo(kText, EntTextN);
  TJwwEntText& e = AppendGrow(EntText, EntTextN);
  e = TJwwEntText{};
  SetEntAttr(e.att);
  FillText(e, TextSettings{w_Mjs, w_Mbs, w_MjsW, w_MjsH, w_MjsD, w_MjsC, w_Font, Mojisyu},
           ano, ax1, ay1, ax2, ay2, st);
}

void TJGdata::A_Text(const TJwwEntAttr& at, int32_t ano, double ax1, double ay1, double ax2,
                     double ay2, const std::u16string& am) {
  WithAttr(at, EntText, EntTextN, [&] { A_Text(ano, ax1, ay1, ax2, ay2, am); });
}

void TJGdata::A_Dim(double lx1, double ly1, double lx2, double ly2, double tx1, double ty1,
                    double tx2, double ty2, const std::u16string& m) {
  if (Near(lx1, ly1, lx2, ly2)) return;
  if (Tiny(tx2) && Tiny(ty2)) return;
  std::u16string s = m;
  if (Blank(m)) {
    s = FloatStr(DimLength(lx1, ly1, lx2, ly2));  // as the dimension command writes it
  }
  SetEntNo(kDim, EntDimN);
  TJwwEntDim& e = AppendGrow(EntDim, EntDimN);
  e = TJwwEntDim{};
  SetEntAttr(e.att);
  SetEntAttr(e.lin.att);
  e.lin.CrvNo = 0;
  e.lin.x1 = lx1;
  e.lin.y1 = ly1;
  e.lin.x2 = lx2;
  e.lin.y2 = ly2;
  SetEntAttr(e.txt.att);
  FillText(e.txt, TextSettings{w_Mjs, w_Mbs, w_MjsW, w_MjsH, w_MjsD, w_MjsC, w_Font, Mojisyu},
           2, tx1, ty1, tx2, ty2, s);
}

void TJGdata::A_Dim(const TJwwEntAttr& at, double lx1, double ly1, double lx2, double ly2,
                    double tx1, double ty1, double tx2, double ty2, const std::u16string& m) {
  const TJwwEntAttr keep = at;
  const int32_t before = EntDimN;
  A_Dim(lx1, ly1, lx2, ly2, tx1, ty1, tx2, ty2, m);
  if (EntDimN == before) return;
  TJwwEntDim& e = EntDim[static_cast<size_t>(EntDimN) - 1];
  e.att = keep;
  e.lin.att = keep;
  e.txt.att = keep;
  // A text of kinds 1-10 is drawn in its kind's colour, whatever the caller gave.
  if (e.txt.cn >= 1 && e.txt.cn <= 10) e.txt.att.Col = Mojisyu[static_cast<size_t>(e.txt.cn)].C;
}

void TJGdata::A_Solid2(double ax1, double ay1, double ax2, double ay2) {
  if (Near(ax1, ay1, ax2, ay2)) return;
  SetEntNo(kSld2, EntSld2N);
  TJwwEntSld2& e = AppendGrow(EntSld2, EntSld2N);
  e = TJwwEntSld2{};
  SetEntAttr(e.att);
  e.Color = w_SlCol;
  e.x1 = ax1;
  e.y1 = ay1;
  e.x2 = ax2;
  e.y2 = ay2;
}

void TJGdata::A_Solid2(const TJwwEntAttr& at, double ax1, double ay1, double ax2, double ay2) {
  WithAttr(at, EntSld2, EntSld2N, [&] { A_Solid2(ax1, ay1, ax2, ay2); });
}

void TJGdata::A_Solid3(double ax1, double ay1, double ax2, double ay2, double ax3, double ay3) {
  if (Near(ax1, ay1, ax2, ay2) || Near(ax2, ay2, ax3, ay3) ||
      Near(ax3, ay3, ax1, ay1)) {
    return;
  }
  SetEntNo(kSld3, EntSld3N);
  TJwwEntSld3& e = AppendGrow(EntSld3, EntSld3N);
  e = TJwwEntSld3{};
  SetEntAttr(e.att);
  e.Color = w_SlCol;
  e.x1 = ax1;
  e.y1 = ay1;
  e.x2 = ax2;
  e.y2 = ay2;
  e.x3 = ax3;
  e.y3 = ay3;
}

void TJGdata::A_Solid3(const TJwwEntAttr& at, double ax1, double ay1, double ax2, double ay2,
                       double ax3, double ay3) {
  WithAttr(at, EntSld3, EntSld3N, [&] { A_Solid3(ax1, ay1, ax2, ay2, ax3, ay3); });
}

void TJGdata::A_Solid4(double ax1, double ay1, double ax2, double ay2, double ax3, double ay3,
                       double ax4, double ay4) {
  const double x[4] = {ax1, ax2, ax3, ax4}, y[4] = {ay1, ay2, ay3, ay4};
  int k[3];
  switch (SolidCorners(x, y, k)) {
    case 0:
      return;
    case 3:
      return A_Solid3(x[k[0]], y[k[0]], x[k[1]], y[k[1]], x[k[2]], y[k[2]]);
  }
  SetEntNo(kSld4, EntSld4N);
  TJwwEntSld4& e = AppendGrow(EntSld4, EntSld4N);
  e = TJwwEntSld4{};
  SetEntAttr(e.att);
  e.Color = w_SlCol;
  e.x1 = ax1;
  e.y1 = ay1;
  e.x2 = ax2;
  e.y2 = ay2;
  e.x3 = ax3;
  e.y3 = ay3;
  e.x4 = ax4;
  e.y4 = ay4;
}

// The triangle a four-corner solid falls back to carries the caller's
// attributes too: the caller asked for them on whatever gets stored.
void TJGdata::A_Solid4(const TJwwEntAttr& at, double ax1, double ay1, double ax2, double ay2,
                       double ax3, double ay3, double ax4, double ay4) {
  const TJwwEntAttr keep = at;
  const int32_t n3 = EntSld3N, n4 = EntSld4N;
  A_Solid4(ax1, ay1, ax2, ay2, ax3, ay3, ax4, ay4);
  if (EntSld4N != n4) {
    EntSld4[static_cast<size_t>(EntSld4N) - 1].att = keep;
  } else if (EntSld3N != n3) {
    EntSld3[static_cast<size_t>(EntSld3N) - 1].att = keep;
  }
}

namespace {
template <class T>
void FillRound(T& e, int32_t color, double ax, double ay, double ar, double ah, double aka,
               double asa, double ada) {
  e.Color = color;
  e.cx = ax;
  e.cy = ay;
  e.cr = ar;
  e.he = ah;
  e.ka = aka;
  e.sa = asa;
  e.da = ada;
}

}  // namespace

void TJGdata::A_SolidC(double ax, double ay, double ar, double ah, double aka, double asa,
                       double ada, int32_t acod) {
  if (NotPositive(ar) || Tiny(ah)) return;
  if (acod != 100 && acod != 5 && acod != 0 && acod != -1) return;
  SetEntNo(kSldC, EntSldCN);
  TJwwEntSldC& e = AppendGrow(EntSldC, EntSldCN);
  e = TJwwEntSldC{};
  SetEntAttr(e.att);
  FillRound(e, w_SlCol, ax, ay, ar, ah, aka, asa, ada);
  e.fl = acod;
}

void TJGdata::A_SolidC(const TJwwEntAttr& at, double ax, double ay, double ar, double ah,
                       double aka, double asa, double ada, int32_t acod) {
  WithAttr(at, EntSldC, EntSldCN, [&] { A_SolidC(ax, ay, ar, ah, aka, asa, ada, acod); });
}

void TJGdata::A_SolidD(double ax, double ay, double ar, double ah, double aka, double asa,
                       double ada, int32_t acod) {
  if (NotPositive(ar) || Tiny(ah)) return;
  if (acod != 100 && acod != 0) return;
  SetEntNo(kSldE, EntSldEN);
  TJwwEntSldC& e = AppendGrow(EntSldE, EntSldEN);
  e = TJwwEntSldC{};
  SetEntAttr(e.att);
  FillRound(e, w_SlCol, ax, ay, ar, ah, aka, asa, ada);
  e.fl = acod;
}

void TJGdata::A_SolidD(const TJwwEntAttr& at, double ax, double ay, double ar, double ah,
                       double aka, double asa, double ada, int32_t acod) {
  WithAttr(at, EntSldE, EntSldEN, [&] { A_SolidD(ax, ay, ar, ah, aka, asa, ada, acod); });
}

void TJGdata::A_SolidO(double ax, double ay, double ar, double ah, double aka, double asa,
                       double ada, double ari) {
  if (BadRing(ar, ah, ari)) return;
  SetEntNo(kSldO, EntSldON);
  TJwwEntSldD& e = AppendGrow(EntSldO, EntSldON);
  e = TJwwEntSldD{};
  SetEntAttr(e.att);
  FillRound(e, w_SlCol, ax, ay, ar, ah, aka, asa, ada);
  e.ri = ari;
}

void TJGdata::A_SolidO(const TJwwEntAttr& at, double ax, double ay, double ar, double ah,
                       double aka, double asa, double ada, double ari) {
  WithAttr(at, EntSldO, EntSldON, [&] { A_SolidO(ax, ay, ar, ah, aka, asa, ada, ari); });
}

void TJGdata::A_SolidG(double ax, double ay, double ar, double ah, double aka, double asa,
                       double ada, double ari) {
  if (BadRing(ar, ah, ari)) return;
  SetEntNo(kSldG, EntSldGN);
  TJwwEntSldD& e = AppendGrow(EntSldG, EntSldGN);
  e = TJwwEntSldD{};
  SetEntAttr(e.att);
  FillRound(e, w_SlCol, ax, ay, ar, ah, aka, asa, ada);
  e.ri = ari;
}

void TJGdata::A_SolidG(const TJwwEntAttr& at, double ax, double ay, double ar, double ah,
                       double aka, double asa, double ada, double ari) {
  WithAttr(at, EntSldG, EntSldGN, [&] { A_SolidG(ax, ay, ar, ah, aka, asa, ada, ari); });
}
