// The drawing data object: defaults, release, and the entity index.
#include "jwwgaibu/Grow.h"
#include "jwwgaibu/JwwGaibu.h"

namespace {
const std::u16string kDefaultFont = u"<ＭＳ ゴシック>";

template <class T>
void Release(std::vector<T>& a) {
  std::vector<T>().swap(a);
}
}  // namespace

TJGdata::TJGdata() { DataInit(); }

TJGdata::~TJGdata() { DataFree(); }

void TJGdata::DataInit() {
  DataFree();
  w_FlgLGrp = w_FlgLay = w_FlgCol = w_FlgLtp = w_FlgWid = true;
  w_FlgMjs = w_FlgMbs = w_FlgFont = w_FlgPCol = w_FlgSCol = true;
  w_IPNo = w_LGrp = w_Lay = w_Wid = w_Mbs = w_Attr = w_CrvNo = w_SlCol = 0;
  w_Col = w_Ltp = w_Mjs = w_MjsC = w_PtCol = 1;
  w_MjsW = w_MjsH = 2.0;
  w_MjsD = 0.0;
  w_Font = kDefaultFont;
  w_CrvFl = w_DimFl = false;

  MojiCode = Zusun = WidF = false;
  Jikukaku = 0.0;
  ZumenFile.clear();
  CurFont.clear();
  LGrpScale.fill(1.0);
  ZumenXsize = 1189.0;
  ZumenYsize = 841.0;
  for (size_t k = 1; k <= 10; ++k) Mojisyu[k] = TJwwTextKind{3.0, 3.0, 0.0, 2};
  AreaX1 = AreaY1 = AreaX2 = AreaY2 = 0.0;
  CurLGrp = CurLay = CurWid = 0;
  CurCol = CurLtp = CurMjs = CurMjsC = 1;
  CurMjsW = CurMjsH = 2.0;
  CurMjsD = 0.0;

  LGrpStat.assign(16, 0);
  LGrpName.assign(16, std::u16string());
  LayStat.assign(256, 0);
  LayName.assign(256, std::u16string());
  IPoints.assign(100, TJwwIndPoint{});
  IPointN = 0;

  EntSunLine = TJwwEntLine{};
  EntSunLine.att.Col = 1;
  EntSunLine.att.Ltp = 1;
  EntSunLine.x2 = 1.0;

  EntN = EntLineN = EntCircN = EntArcN = EntTextN = EntPntN = EntMarkN = EntDimN = 0;
  EntBlkN = EntSld2N = EntSld3N = EntSld4N = EntSldCN = EntSldEN = EntSldON = EntSldGN = 0;
  t_MemN = t_PLineN = 0;
  aCol = aSCol = 0;
}

void TJGdata::DataFree() {
  Release(LGrpStat);
  Release(LGrpName);
  Release(LayStat);
  Release(LayName);
  Release(IPoints);
  Release(EntNo);
  Release(EntLine);
  Release(EntCirc);
  Release(EntArc);
  Release(EntText);
  Release(EntPnt);
  Release(EntMark);
  Release(EntDim);
  Release(EntBlk);
  Release(EntSld2);
  Release(EntSld3);
  Release(EntSld4);
  Release(EntSldC);
  Release(EntSldE);
  Release(EntSldO);
  Release(EntSldG);
  Release(t_Mem);
  Release(t_PLine);
}

void TJGdata::StopJwwGaibu() {
  t_MemN = 0;
  Release(t_Mem);
}

void TJGdata::SetEntNo(int32_t a_yn, int32_t a_no) {
  AppendGrow(EntNo, EntN) = TJwwEntNo{a_yn, a_no};
}

void TJGdata::SetEntAttr(TJwwEntAttr& at) {
  at.IPNo = w_IPNo;
  at.LGrp = w_LGrp;
  at.Lay = w_Lay;
  at.Col = w_Col;
  at.Ltp = w_Ltp;
  at.Wid = w_Wid;
  at.Attr = w_Attr;
}

void TJGdata::CopyEntAttr(TJwwEntAttr& a1, const TJwwEntAttr& a2) { a1 = a2; }
