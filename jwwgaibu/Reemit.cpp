// Writing the stored entities back as drawing commands, each preceded by the
// pen commands that give it its attributes, with optional overrides.
#include <algorithm>
#include <utility>

#include "jwwgaibu/EscHook.h"
#include "jwwgaibu/JwwGaibu.h"
#include "myfunc/MyFunc.h"

namespace {
jwwgaibu::EscTest g_escTest = nullptr;

bool EscDown() { return g_escTest != nullptr ? g_escTest() : EscPressed(); }

// Layer group and layer overrides count only when they name a real one.
int32_t PickLayer(int32_t over, int32_t own) { return over >= 0 && over <= 15 ? over : own; }
// The other overrides keep the stored value only for exactly -1.
int32_t Pick(int32_t over, int32_t own) { return over == -1 ? own : over; }

// An index entry that points past its array (a store edited by hand) is passed
// over rather than read out of bounds.
template <class T>
bool Stored(int32_t i, int32_t n, const std::vector<T>& a) {
  return i >= 0 && i < n && static_cast<size_t>(i) < a.size();
}

// Entries of the index that are really there.
int32_t IndexLen(const TJGdata& g) {
  const size_t len = g.EntNo.size();
  return g.EntN < 0 ? 0 : static_cast<size_t>(g.EntN) <= len ? g.EntN : static_cast<int32_t>(len);
}

constexpr int32_t kLine = 1, kCirc = 2, kArc = 3, kText = 4, kPnt = 5, kMark = 6, kDim = 7,
                  kSld2 = 9, kSld3 = 10, kSld4 = 11, kSldC = 12, kSldE = 13, kSldO = 14,
                  kSldG = 15;
}  // namespace

void jwwgaibu::SetEscTest(EscTest f) { g_escTest = f; }

// --- per-kind writers -------------------------------------------------------

void TJGdata::S_EntLine(int32_t i, int32_t lgrp, int32_t lay, int32_t col, int32_t ltp,
                        int32_t wid) {
  if (!Stored(i, EntLineN, EntLine)) return;
  const TJwwEntLine& e = EntLine[i];
  S_LGrp(PickLayer(lgrp, e.att.LGrp));
  S_Lay(PickLayer(lay, e.att.Lay));
  S_Col(Pick(col, e.att.Col), 0);
  S_Ltp(Pick(ltp, e.att.Ltp), 0);
  S_Wid(Pick(wid, e.att.Wid));
  S_Attr(e.att.Attr);
  S_Line(e.x1, e.y1, e.x2, e.y2);
}

void TJGdata::S_EntLinep(int32_t i, int32_t pos, int32_t& cur, int32_t lgrp, int32_t lay,
                         int32_t col, int32_t ltp, int32_t wid) {
  if (Stored(i, EntLineN, EntLine)) {
    const TJwwEntLine& e = EntLine[i];
    const int32_t c = e.CrvNo;
    // The pen commands come before the block opens: on reading they end a curve.
    S_LGrp(PickLayer(lgrp, e.att.LGrp));
    S_Lay(PickLayer(lay, e.att.Lay));
    S_Col(Pick(col, e.att.Col), 0);
    S_Ltp(Pick(ltp, e.att.Ltp), 0);
    S_Wid(Pick(wid, e.att.Wid));
    if (c > 0 && c != cur) {
      S_PLineStart();
      cur = c;
    }
    S_Attr(e.att.Attr);
    S_Line(e.x1, e.y1, e.x2, e.y2);
  }
  // The curve goes on when the next index entry is a segment of the same curve.
  bool goesOn = false;
  const int64_t nx = static_cast<int64_t>(pos) + 1;
  if (cur > 0 && nx >= 0 && nx <= static_cast<int64_t>(EntN) - 1 &&
      static_cast<size_t>(nx) < EntNo.size()) {
    const TJwwEntNo& en = EntNo[static_cast<size_t>(nx)];
    goesOn = en.yn == kLine && Stored(en.no, EntLineN, EntLine) && EntLine[en.no].CrvNo == cur;
  }
  if (!goesOn) {
    if (cur > 0) S_PLineEnd();
    cur = 0;
  }
}

void TJGdata::S_EntCirc(int32_t i, int32_t lgrp, int32_t lay, int32_t col, int32_t ltp,
                        int32_t wid) {
  if (!Stored(i, EntCircN, EntCirc)) return;
  const TJwwEntCircle& e = EntCirc[i];
  S_LGrp(PickLayer(lgrp, e.att.LGrp));
  S_Lay(PickLayer(lay, e.att.Lay));
  S_Col(Pick(col, e.att.Col), 0);
  S_Ltp(Pick(ltp, e.att.Ltp), 0);
  S_Wid(Pick(wid, e.att.Wid));
  S_Attr(e.att.Attr);
  S_Circle(e.cx, e.cy, e.cr);
}

void TJGdata::S_EntArc(int32_t i, int32_t lgrp, int32_t lay, int32_t col, int32_t ltp,
                       int32_t wid) {
  if (!Stored(i, EntArcN, EntArc)) return;
  const TJwwEntArc& e = EntArc[i];
  S_LGrp(PickLayer(lgrp, e.att.LGrp));
  S_Lay(PickLayer(lay, e.att.Lay));
  S_Col(Pick(col, e.att.Col), 0);
  S_Ltp(Pick(ltp, e.att.Ltp), 0);
  S_Wid(Pick(wid, e.att.Wid));
  S_Attr(e.att.Attr);
  S_Arc(e.cx, e.cy, e.cr, e.sa, e.ea, e.he, e.ka);
}

void TJGdata::S_EntPnt(int32_t i, int32_t lgrp, int32_t lay, int32_t col, int32_t wid) {
  if (!Stored(i, EntPntN, EntPnt)) return;
  const TJwwEntPnt& e = EntPnt[i];
  S_LGrp(PickLayer(lgrp, e.att.LGrp));
  S_Lay(PickLayer(lay, e.att.Lay));
  S_PCol(Pick(col, e.att.Col), 0);
  S_Wid(Pick(wid, e.att.Wid));
  S_Attr(e.att.Attr);
  S_Ten(e.px, e.py);
}

void TJGdata::S_EntMark(int32_t i, int32_t lgrp, int32_t lay, int32_t col, int32_t wid) {
  if (!Stored(i, EntMarkN, EntMark)) return;
  const TJwwEntMark& e = EntMark[i];
  S_LGrp(PickLayer(lgrp, e.att.LGrp));
  S_Lay(PickLayer(lay, e.att.Lay));
  S_PCol(Pick(col, e.att.Col), 0);
  S_Wid(Pick(wid, e.att.Wid));
  S_Attr(e.att.Attr);
  S_Mark(e.px, e.py, e.bai, e.ang, e.cod);
}

// With an override colour a text keeps its size but leaves its text kind: only
// the free kind 0 carries a colour of its own.
void TJGdata::S_EntText(int32_t i, int32_t lgrp, int32_t lay, int32_t tcol, int32_t mbs) {
  if (!Stored(i, EntTextN, EntText)) return;
  const TJwwEntText& e = EntText[i];
  S_LGrp(PickLayer(lgrp, e.att.LGrp));
  S_Lay(PickLayer(lay, e.att.Lay));
  if (tcol == -1) {
    S_Mjs(e.cn, e.mw, e.mh, e.md, e.att.Col, 0);
  } else {
    S_Mjs(0, e.mw, e.mh, e.md, tcol, 0);
  }
  S_Mbs(Pick(mbs, e.cc));
  S_Font(e.fo);
  S_Attr(e.att.Attr);
  S_Text(e.no, e.x1, e.y1, e.x2, e.y2, e.st);
}

void TJGdata::S_EntDim(int32_t i, int32_t lgrp, int32_t lay, int32_t col, int32_t ltp,
                       int32_t wid, int32_t tcol, int32_t mbs) {
  if (!Stored(i, EntDimN, EntDim)) return;
  const TJwwEntDim& e = EntDim[i];
  const TJwwEntText& t = e.txt;
  S_LGrp(PickLayer(lgrp, e.att.LGrp));
  S_Lay(PickLayer(lay, e.att.Lay));
  S_Col(Pick(col, e.lin.att.Col), 0);
  S_Ltp(Pick(ltp, e.lin.att.Ltp), 0);
  S_Wid(Pick(wid, e.lin.att.Wid));
  if (tcol == -1) {
    S_Mjs(t.cn, t.mw, t.mh, t.md, t.att.Col, 0);
  } else {
    S_Mjs(0, t.mw, t.mh, t.md, tcol, 0);
  }
  S_Mbs(Pick(mbs, t.cc));
  S_Font(t.fo);
  // Flag lines before "msg" land on the dimension line when read back, so the
  // flags read from there are as much the dimension's as its own.
  S_Attr(e.att.Attr | e.lin.att.Attr);
  S_Dim(e.lin.x1, e.lin.y1, e.lin.x2, e.lin.y2, t.x1, t.y1, t.x2, t.y2, t.st);
}

namespace {
// A solid's colour is either a line colour or colour 10 with an RGB fill value.
template <class G>
void FillColour(G& g, const TJwwEntAttr& att, int32_t color, int32_t col, int32_t scol) {
  if (col == -1) {
    if (att.Col == 10) {
      g.S_SCol(color);
    } else {
      g.S_Col(att.Col, 0);
    }
  } else if (col == 10) {
    g.S_SCol(scol);
  } else {
    g.S_Col(col, 0);
  }
}
}  // namespace

void TJGdata::S_EntSld2(int32_t i, int32_t lgrp, int32_t lay, int32_t col, int32_t scol,
                        int32_t wid) {
  if (!Stored(i, EntSld2N, EntSld2)) return;
  const TJwwEntSld2& e = EntSld2[i];
  S_LGrp(PickLayer(lgrp, e.att.LGrp));
  S_Lay(PickLayer(lay, e.att.Lay));
  FillColour(*this, e.att, e.Color, col, scol);
  S_Wid(Pick(wid, e.att.Wid));
  S_Attr(e.att.Attr);
  S_Solid2(e.x1, e.y1, e.x2, e.y2);
}

void TJGdata::S_EntSld3(int32_t i, int32_t lgrp, int32_t lay, int32_t col, int32_t scol) {
  if (!Stored(i, EntSld3N, EntSld3)) return;
  const TJwwEntSld3& e = EntSld3[i];
  S_LGrp(PickLayer(lgrp, e.att.LGrp));
  S_Lay(PickLayer(lay, e.att.Lay));
  FillColour(*this, e.att, e.Color, col, scol);
  S_Attr(e.att.Attr);
  S_Solid3(e.x1, e.y1, e.x2, e.y2, e.x3, e.y3);
}

void TJGdata::S_EntSld4(int32_t i, int32_t lgrp, int32_t lay, int32_t col, int32_t scol) {
  if (!Stored(i, EntSld4N, EntSld4)) return;
  const TJwwEntSld4& e = EntSld4[i];
  S_LGrp(PickLayer(lgrp, e.att.LGrp));
  S_Lay(PickLayer(lay, e.att.Lay));
  FillColour(*this, e.att, e.Color, col, scol);
  S_Attr(e.att.Attr);
  S_Solid4(e.x1, e.y1, e.x2, e.y2, e.x3, e.y3, e.x4, e.y4);
}

void TJGdata::S_EntSldC(int32_t i, int32_t lgrp, int32_t lay, int32_t col, int32_t scol) {
  if (!Stored(i, EntSldCN, EntSldC)) return;
  const TJwwEntSldC& e = EntSldC[i];
  S_LGrp(PickLayer(lgrp, e.att.LGrp));
  S_Lay(PickLayer(lay, e.att.Lay));
  FillColour(*this, e.att, e.Color, col, scol);
  S_Attr(e.att.Attr);
  S_SolidC(e.cx, e.cy, e.cr, e.he, e.ka, e.sa, e.da, e.fl);
}

void TJGdata::S_EntSldE(int32_t i, int32_t lgrp, int32_t lay, int32_t col, int32_t scol,
                        int32_t wid) {
  if (!Stored(i, EntSldEN, EntSldE)) return;
  const TJwwEntSldC& e = EntSldE[i];
  S_LGrp(PickLayer(lgrp, e.att.LGrp));
  S_Lay(PickLayer(lay, e.att.Lay));
  FillColour(*this, e.att, e.Color, col, scol);
  S_Wid(Pick(wid, e.att.Wid));
  S_Attr(e.att.Attr);
  S_SolidD(e.cx, e.cy, e.cr, e.he, e.ka, e.sa, e.da, e.fl);
}

void TJGdata::S_EntSldO(int32_t i, int32_t lgrp, int32_t lay, int32_t col, int32_t scol) {
  if (!Stored(i, EntSldON, EntSldO)) return;
  const TJwwEntSldD& e = EntSldO[i];
  S_LGrp(PickLayer(lgrp, e.att.LGrp));
  S_Lay(PickLayer(lay, e.att.Lay));
  FillColour(*this, e.att, e.Color, col, scol);
  S_Attr(e.att.Attr);
  S_SolidO(e.cx, e.cy, e.cr, e.he, e.ka, e.sa, e.da, e.ri);
}

void TJGdata::S_EntSldG(int32_t i, int32_t lgrp, int32_t lay, int32_t col, int32_t scol) {
  if (!Stored(i, EntSldGN, EntSldG)) return;
  const TJwwEntSldD& e = EntSldG[i];
  S_LGrp(PickLayer(lgrp, e.att.LGrp));
  S_Lay(PickLayer(lay, e.att.Lay));
  FillColour(*this, e.att, e.Color, col, scol);
  S_Attr(e.att.Attr);
  S_SolidG(e.cx, e.cy, e.cr, e.he, e.ka, e.sa, e.da, e.ri);
}

// --- whole store --------------------------------------------------------------

void TJGdata::S_EntAll(int32_t a1, int32_t a2, int32_t a3, int32_t a4, int32_t a5,
                       int32_t a6, int32_t a7, int32_t a8) {
  if (Zusun) SendMem(u"bz");
  const int32_t n = IndexLen(*this);
  for (int32_t i = 0; i < n; ++i) {
    if (i % 100 == 0 && EscDown()) {
      StopJwwGaibu();
      break;
    }
    const TJwwEntNo& en = EntNo[i];
    switch (en.yn) {
      case kLine: S_EntLine(en.no, a1, a2, a3, a4, a5); break;
      case kCirc: S_EntCirc(en.no, a1, a2, a3, a4, a5); break;
      case kArc: S_EntArc(en.no, a1, a2, a3, a4, a5); break;
      case kText: S_EntText(en.no, a1, a2, a6, a7); break;
      case kPnt: S_EntPnt(en.no, a1, a2, a3, a5); break;
      case kMark: S_EntMark(en.no, a1, a2, a3, a5); break;
      case kDim: S_EntDim(en.no, a1, a2, a3, a4, a5, a6, a7); break;
      case kSld2: S_EntSld2(en.no, a1, a2, a3, a8, a5); break;
      case kSld3: S_EntSld3(en.no, a1, a2, a3, a8); break;
      case kSld4: S_EntSld4(en.no, a1, a2, a3, a8); break;
      case kSldC: S_EntSldC(en.no, a1, a2, a3, a8); break;
      case kSldE: S_EntSldE(en.no, a1, a2, a3, a8, a5); break;
      case kSldO: S_EntSldO(en.no, a1, a2, a3, a8); break;
      case kSldG: S_EntSldG(en.no, a1, a2, a3, a8); break;
      default: break;  // block inserts are not written back
    }
  }
  S_LGrp(CurLGrp);
  S_Lay(CurLay);
}

void TJGdata::S_EntAllp(int32_t a1, int32_t a2, int32_t a3, int32_t a4, int32_t a5,
                        int32_t a6, int32_t a7, int32_t a8) {
  if (Zusun) SendMem(u"bz");
  int32_t cur = 0;
  int32_t maxCrv = 0;
  bool aborted = false;
  const int32_t n = IndexLen(*this);
  for (int32_t i = 0; i < n; ++i) {
    if (i % 100 == 0 && EscDown()) {
      aborted = true;
      break;
    }
    const TJwwEntNo& en = EntNo[i];
    switch (en.yn) {
      case kLine: {
        const int32_t c = EntLine[en.no].CrvNo;
        if (c > 0) {
          if (c > maxCrv) maxCrv = c;  // written with its curve, after everything else
        } else {
          S_EntLinep(en.no, i, cur, a1, a2, a3, a4, a5);
        }
        break;
      }
      case kCirc: S_EntCirc(en.no, a1, a2, a3, a4, a5); break;
      case kArc: S_EntArc(en.no, a1, a2, a3, a4, a5); break;
      case kText: S_EntText(en.no, a1, a2, a6, a7); break;
      case kPnt: S_EntPnt(en.no, a1, a2, a3, a5); break;
      case kMark: S_EntMark(en.no, a1, a2, a3, a5); break;
      case kDim: S_EntDim(en.no, a1, a2, a3, a4, a5, a6, a7); break;
      case kSld2: S_EntSld2(en.no, a1, a2, a3, a8, a5); break;
      case kSld3: S_EntSld3(en.no, a1, a2, a3, a8); break;
      case kSld4: S_EntSld4(en.no, a1, a2, a3, a8); break;
      case kSldC: S_EntSldC(en.no, a1, a2, a3, a8); break;
      case kSldE: S_EntSldE(en.no, a1, a2, a3, a8, a5); break;
      case kSldO: S_EntSldO(en.no, a1, a2, a3, a8); break;
      case kSldG: S_EntSldG(en.no, a1, a2, a3, a8); break;
      default: break;
    }
  }
  if (!aborted && maxCrv > 0) {
    // Every curve's segments in store order, the curves in ascending number.
    // One sorted sweep instead of a search of the whole index per curve number;
    // numbers that no segment carries write nothing and are not visited.
    std::vector<std::pair<int32_t, int32_t>> segs;  // (curve number, index position)
    for (int32_t i = 0; i < n; ++i) {
      const TJwwEntNo& en = EntNo[i];
      if (en.yn == kLine && Stored(en.no, EntLineN, EntLine) && EntLine[en.no].CrvNo > 0) {
        segs.emplace_back(EntLine[en.no].CrvNo, i);
      }
    }
    std::sort(segs.begin(), segs.end());
    for (size_t s = 0; s < segs.size();) {
      if (EscDown()) {
        aborted = true;
        break;
      }
      const int32_t j = segs[s].first;
      cur = 0;
      for (; s < segs.size() && segs[s].first == j; ++s) {
        const bool more = s + 1 < segs.size() && segs[s + 1].first == j;
        // Past the last segment the position points beyond the index.
        const int32_t pos = more ? segs[s + 1].second - 1
                                 : static_cast<int32_t>(static_cast<uint32_t>(EntN) + 1u);
        S_EntLinep(EntNo[segs[s].second].no, pos, cur, a1, a2, a3, a4, a5);
      }
    }
  }
  if (aborted) StopJwwGaibu();
  S_LGrp(CurLGrp);
  S_Lay(CurLay);
}
