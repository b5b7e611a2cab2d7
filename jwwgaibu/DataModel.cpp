// The drawing data object: defaults, release, emptying the store, and the
// entity index.
#include <algorithm>

#include "jwwgaibu/Grow.h"
#include "jwwgaibu/JwwGaibu.h"
#include "jwwgaibu/Kinds.h"

namespace {
template <class T>
void Release(std::vector<T>& a) {
  std::vector<T>().swap(a);
}
}  // namespace

TJGdata::TJGdata() { DataInit(); }

TJGdata::~TJGdata() { DataFree(); }

void TJGdata::DataInit() {
  DataFree();
  // The attributes start as the pen state does before the first command.
  S_Init();
  w_IPNo = w_Attr = 0;

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
  CurMbs = CurPCol = 0;
  r_MbsFirst = r_PColFirst = true;

  LGrpStat.assign(16, 0);
  LGrpName.assign(16, std::u16string());
  LayStat.assign(256, 0);
  LayName.assign(256, std::u16string());
  IPoints.assign(100, TJwwIndPoint{});
  IPointN = 0;

  ClearStore();
  t_MemN = t_PLineN = 0;
  w_BzLine = w_NoBzLine = 0;
  aCol = aSCol = 0;
  w_ReadNoInit = w_HasRead = w_AttrRead = false;
}

void TJGdata::DataFree() {
  Release(LGrpStat);
  Release(LGrpName);
  Release(LayStat);
  Release(LayName);
  Release(IPoints);
  Release(EntNo);
  Kinds::ForEach([this](auto kind) { Release(kind.Array(*this)); });
  Release(t_Mem);
  Release(t_PLine);
}

// The curve numbering and an open curve or dimension belong to the entities
// read, so they go with them.
void TJGdata::ClearStore() {
  Release(EntNo);
  EntN = 0;
  Kinds::ForEach([this](auto kind) {
    Release(kind.Array(*this));
    kind.Count(*this) = 0;
  });
  EntSunLine = TJwwEntLine{};
  EntSunLine.att.Col = 1;
  EntSunLine.att.Ltp = 1;
  EntSunLine.x2 = 1.0;
  w_CrvNo = 0;
  w_CrvFl = w_DimFl = false;
  w_EntAllLines = 0;  // another store: writing it back repeats nothing
  w_ReadEnts = 0;
  w_EntOnes.clear();
  w_EntLine = 0;
}

int32_t TJGdata::IPointMax() const {
  for (size_t n = std::min<size_t>(IPoints.size(), 100); n-- > 1;) {
    if (IPoints[n].flg) return static_cast<int32_t>(n);
  }
  return 0;
}

void TJGdata::StopJwwGaibu() {
  t_MemN = 0;
  w_EntAllLines = 0;
  w_EntOnes.clear();
  w_EntLine = w_BzLine = w_NoBzLine = 0;
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

// A text takes the attributes in force, and its size and colour from its text
// kind: kinds 1-10 from the drawing's table, any other the free size in force.
void TJGdata::FillText(TJwwEntText& t, int32_t no, double x1, double y1, double x2, double y2,
                       std::u16string_view st) {
  SetEntAttr(t.att);
  t.no = no;
  t.cc = w_Mbs;
  t.cn = w_Mjs;
  if (t.cn >= 1 && t.cn <= 10) {
    const TJwwTextKind& k = Mojisyu[static_cast<size_t>(t.cn)];
    t.mw = k.W;
    t.mh = k.H;
    t.md = k.D;
    t.att.Col = k.C;
  } else {
    t.mw = w_MjsW;
    t.mh = w_MjsH;
    t.md = w_MjsD;
    t.att.Col = w_MjsC;
  }
  t.x1 = x1;
  t.y1 = y1;
  t.x2 = x2;
  t.y2 = y2;
  t.fo = w_Font;
  t.st = st;
}
