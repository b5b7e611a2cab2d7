// Building the entity store without an exchange file: the attributes of the
// entities to come, and one adder per entity kind. An added entity lands in
// its array and in the entity index exactly as a read one would, so it is
// written back like one.
#include <cmath>

#include "jwwgaibu/JwwGaibu.h"
#include "jwwgaibu/Kinds.h"
#include "jwwgaibu/Records.h"
#include "jwwgaibu/Tolerance.h"
#include "myfunc/MyFunc.h"

using namespace jwwtol;

// --- attribute setters ----------------------------------------------------------

void TJGdata::A_LGrp(int32_t lgrp) { w_LGrp = lgrp; }

void TJGdata::A_Lay(int32_t lay) { w_Lay = lay; }

void TJGdata::A_Col(int32_t col, int32_t mode) {
  col = DialogCol(u"A_Col", col, mode);
  w_Col = col;
  aCol = GetColorDisp(col);
}

void TJGdata::A_Ltp(int32_t ltp, int32_t mode) {
  if (mode == jmDialog) ltp = LtpCode(ltp);
  w_Ltp = ltp;
}

void TJGdata::A_Wid(int32_t wid) {
  if (wid == -1) wid = CurWid;
  if (wid < 0 || wid > 30000) wid = 0;
  w_Wid = wid;
}

void TJGdata::A_Mjs(int32_t mjs, double mw, double mh, double md, int32_t col, int32_t mode) {
  col = DialogCol(u"A_Mjs", col, mode);
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
  col = DialogCol(u"A_PCol", col, mode);
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

void TJGdata::A_Current() {
  w_AttrRead = false;
  w_LGrp = CurLGrp;
  w_Lay = CurLay;
  w_Col = CurCol;
  w_PtCol = CurPCol != 0 ? CurPCol : CurCol;
  aCol = GetColorDisp(CurCol);
  w_Ltp = CurLtp;
  w_Wid = CurWid;
  w_Attr = 0;
  w_IPNo = 0;
  // The text style: the kind in force with its free size, which a kind 1-10
  // takes from Mojisyu when a text is added.
  w_Mjs = CurMjs;
  w_MjsW = CurMjsW;
  w_MjsH = CurMjsH;
  w_MjsD = CurMjsD;
  w_MjsC = CurMjsC;
  w_Mbs = CurMbs >= 0 && CurMbs <= 8 ? CurMbs : 0;
  w_Font = CurFont.empty() ? std::u16string(kDefaultFont) : CurFont;
}

// --- entity adders ------------------------------------------------------------

void TJGdata::A_Line(double ax1, double ay1, double ax2, double ay2) {
  if (!Drawn(u"A_Line", Near(ax1, ay1, ax2, ay2))) return;
  TJwwEntLine& e = Kinds::Append<jkLine>(*this);
  e.x1 = ax1;
  e.y1 = ay1;
  e.x2 = ax2;
  e.y2 = ay2;
}

void TJGdata::A_Line(const TJwwEntAttr& at, double ax1, double ay1, double ax2, double ay2) {
  Kinds::AddWith<jkLine>(*this, at, [&] { A_Line(ax1, ay1, ax2, ay2); });
}

void TJGdata::A_Ten(double ax, double ay) {
  TJwwEntPnt& e = Kinds::Append<jkPnt>(*this);
  e.att.Col = w_PtCol;
  e.px = ax;
  e.py = ay;
}

void TJGdata::A_Ten(const TJwwEntAttr& at, double ax, double ay) {
  Kinds::AddWith<jkPnt>(*this, at, [&] { A_Ten(ax, ay); });
}

void TJGdata::A_Mark(double ax, double ay, double abai, double aang, int32_t acod) {
  if (acod < -7 || acod > 11) acod = -3;
  if (Tiny(abai)) abai = 1.0;
  TJwwEntMark& e = Kinds::Append<jkMark>(*this);
  e.att.Col = w_PtCol;
  e.px = ax;
  e.py = ay;
  e.bai = abai;
  e.ang = aang;
  e.cod = acod;
}

void TJGdata::A_Mark(const TJwwEntAttr& at, double ax, double ay, double abai, double aang,
                     int32_t acod) {
  Kinds::AddWith<jkMark>(*this, at, [&] { A_Mark(ax, ay, abai, aang, acod); });
}

void TJGdata::A_Circle(double ax, double ay, double ar) {
  if (!Drawn(u"A_Circle", NotPositive(ar))) return;
  TJwwEntCircle& e = Kinds::Append<jkCirc>(*this);
  e.cx = ax;
  e.cy = ay;
  e.cr = ar;
}

void TJGdata::A_Circle(const TJwwEntAttr& at, double ax, double ay, double ar) {
  Kinds::AddWith<jkCirc>(*this, at, [&] { A_Circle(ax, ay, ar); });
}

void TJGdata::A_Arc(double ax, double ay, double ar, double asa, double aea, double ah,
                    double aka) {
  if (!Drawn(u"A_Arc", NotPositive(ar))) return;
  if (Tiny(ah)) ah = 1.0;  // a flat ellipse would draw nothing; a circle arc is meant
  TJwwEntArc& e = Kinds::Append<jkArc>(*this);
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
  Kinds::AddWith<jkArc>(*this, at, [&] { A_Arc(ax, ay, ar, asa, aea, ah, aka); });
}

void TJGdata::A_Text(int32_t ano, double ax1, double ay1, double ax2, double ay2,
                     const std::u16string& am) {
  if (!Drawn(u"A_Text", (Tiny(ax2) && Tiny(ay2)) || Blank(am))) return;
  if (ano < 0 || ano > 9) ano = 0;
  const std::u16string st = am;  // am may live in the array that is about to grow
  FillText(Kinds::Append<jkText>(*this), ano, ax1, ay1, ax2, ay2, st);
}

void TJGdata::A_Text(const TJwwEntAttr& at, int32_t ano, double ax1, double ay1, double ax2,
                     double ay2, const std::u16string& am) {
  Kinds::AddWith<jkText>(*this, at, [&] { A_Text(ano, ax1, ay1, ax2, ay2, am); });
}

void TJGdata::A_Dim(double lx1, double ly1, double lx2, double ly2, double tx1, double ty1,
                    double tx2, double ty2, const std::u16string& m) {
  if (!Drawn(u"A_Dim", Near(lx1, ly1, lx2, ly2) || (Tiny(tx2) && Tiny(ty2)))) return;
  std::u16string s = m;
  if (Blank(m)) {
    s = FloatStr(DimLength(lx1, ly1, lx2, ly2));  // as the dimension command writes it
  }
  TJwwEntDim& e = Kinds::Append<jkDim>(*this);
  SetEntAttr(e.lin.att);
  e.lin.CrvNo = 0;
  e.lin.x1 = lx1;
  e.lin.y1 = ly1;
  e.lin.x2 = lx2;
  e.lin.y2 = ly2;
  FillText(e.txt, 2, tx1, ty1, tx2, ty2, s);
}

void TJGdata::A_Dim(const TJwwEntAttr& at, double lx1, double ly1, double lx2, double ly2,
                    double tx1, double ty1, double tx2, double ty2, const std::u16string& m) {
  TJwwEntDim* e =
      Kinds::AddWith<jkDim>(*this, at, [&] { A_Dim(lx1, ly1, lx2, ly2, tx1, ty1, tx2, ty2, m); });
  if (e == nullptr) return;
  e->lin.att = e->att;
  e->txt.att = e->att;
  // A text of kinds 1-10 is drawn in its kind's colour, whatever the caller gave.
  if (e->txt.cn >= 1 && e->txt.cn <= 10) e->txt.att.Col = Mojisyu[static_cast<size_t>(e->txt.cn)].C;
}

void TJGdata::A_Solid2(double ax1, double ay1, double ax2, double ay2) {
  if (!Drawn(u"A_Solid2", Near(ax1, ay1, ax2, ay2))) return;
  TJwwEntSld2& e = Kinds::Append<jkSld2>(*this);
  e.Color = w_SlCol;
  e.x1 = ax1;
  e.y1 = ay1;
  e.x2 = ax2;
  e.y2 = ay2;
}

void TJGdata::A_Solid2(const TJwwEntAttr& at, double ax1, double ay1, double ax2, double ay2) {
  Kinds::AddWith<jkSld2>(*this, at, [&] { A_Solid2(ax1, ay1, ax2, ay2); });
}

void TJGdata::A_Solid3(double ax1, double ay1, double ax2, double ay2, double ax3, double ay3) {
  if (!Drawn(u"A_Solid3", Near(ax1, ay1, ax2, ay2) || Near(ax2, ay2, ax3, ay3) ||
                             Near(ax3, ay3, ax1, ay1))) {
    return;
  }
  TJwwEntSld3& e = Kinds::Append<jkSld3>(*this);
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
  Kinds::AddWith<jkSld3>(*this, at, [&] { A_Solid3(ax1, ay1, ax2, ay2, ax3, ay3); });
}

void TJGdata::A_Solid4(double ax1, double ay1, double ax2, double ay2, double ax3, double ay3,
                       double ax4, double ay4) {
  const double x[4] = {ax1, ax2, ax3, ax4}, y[4] = {ay1, ay2, ay3, ay4};
  int k[3];
  switch (SolidCorners(x, y, k)) {
    case 0:
      Drawn(u"A_Solid4", true);
      return;
    case 3:
      return A_Solid3(x[k[0]], y[k[0]], x[k[1]], y[k[1]], x[k[2]], y[k[2]]);
  }
  TJwwEntSld4& e = Kinds::Append<jkSld4>(*this);
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
  const int32_t n3 = Kinds::CountBefore<jkSld3>(*this), n4 = Kinds::CountBefore<jkSld4>(*this);
  A_Solid4(ax1, ay1, ax2, ay2, ax3, ay3, ax4, ay4);
  if (TJwwEntSld4* e4 = Kinds::Appended<jkSld4>(*this, n4)) {
    e4->att = keep;
  } else if (TJwwEntSld3* e3 = Kinds::Appended<jkSld3>(*this, n3)) {
    e3->att = keep;
  }
}

void TJGdata::A_SolidC(double ax, double ay, double ar, double ah, double aka, double asa,
                       double ada, int32_t acod) {
  const bool codeIs = acod == 100 || acod == 5 || acod == 0 || acod == -1;
  if (!Drawn(u"A_SolidC", NotPositive(ar) || Tiny(ah) || !codeIs)) return;
  TJwwEntSldC& e = Kinds::Append<jkSldC>(*this);
  FillRound(e, w_SlCol, ax, ay, ar, ah, aka, asa, ada);
  e.fl = acod;
}

void TJGdata::A_SolidC(const TJwwEntAttr& at, double ax, double ay, double ar, double ah,
                       double aka, double asa, double ada, int32_t acod) {
  Kinds::AddWith<jkSldC>(*this, at, [&] { A_SolidC(ax, ay, ar, ah, aka, asa, ada, acod); });
}

void TJGdata::A_SolidD(double ax, double ay, double ar, double ah, double aka, double asa,
                       double ada, int32_t acod) {
  if (!Drawn(u"A_SolidD", NotPositive(ar) || Tiny(ah) || (acod != 100 && acod != 0))) return;
  TJwwEntSldC& e = Kinds::Append<jkSldE>(*this);
  FillRound(e, w_SlCol, ax, ay, ar, ah, aka, asa, ada);
  e.fl = acod;
}

void TJGdata::A_SolidD(const TJwwEntAttr& at, double ax, double ay, double ar, double ah,
                       double aka, double asa, double ada, int32_t acod) {
  Kinds::AddWith<jkSldE>(*this, at, [&] { A_SolidD(ax, ay, ar, ah, aka, asa, ada, acod); });
}

void TJGdata::A_SolidO(double ax, double ay, double ar, double ah, double aka, double asa,
                       double ada, double ari) {
  if (!Drawn(u"A_SolidO", BadRing(ar, ah, ari))) return;
  TJwwEntSldD& e = Kinds::Append<jkSldO>(*this);
  FillRound(e, w_SlCol, ax, ay, ar, ah, aka, asa, ada);
  e.ri = ari;
}

void TJGdata::A_SolidO(const TJwwEntAttr& at, double ax, double ay, double ar, double ah,
                       double aka, double asa, double ada, double ari) {
  Kinds::AddWith<jkSldO>(*this, at, [&] { A_SolidO(ax, ay, ar, ah, aka, asa, ada, ari); });
}

void TJGdata::A_SolidG(double ax, double ay, double ar, double ah, double aka, double asa,
                       double ada, double ari) {
  if (!Drawn(u"A_SolidG", BadRing(ar, ah, ari))) return;
  TJwwEntSldD& e = Kinds::Append<jkSldG>(*this);
  FillRound(e, w_SlCol, ax, ay, ar, ah, aka, asa, ada);
  e.ri = ari;
}

void TJGdata::A_SolidG(const TJwwEntAttr& at, double ax, double ay, double ar, double ah,
                       double aka, double asa, double ada, double ari) {
  Kinds::AddWith<jkSldG>(*this, at, [&] { A_SolidG(ax, ay, ar, ah, aka, asa, ada, ari); });
}
