// Writing the stored entities back as drawing commands, each preceded by the
// pen commands that give it its attributes, with optional overrides.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "jwwgaibu/EscHook.h"
#include "jwwgaibu/Grow.h"
#include "jwwgaibu/InOrder.h"
#include "jwwgaibu/JwwGaibu.h"
#include "jwwgaibu/Kinds.h"
#include "jwwgaibu/Pieces.h"
#include "platform/Platform.h"

namespace {
jwwgaibu::EscTest g_escTest = nullptr;

bool EscDown() { return g_escTest != nullptr ? g_escTest() : EscPressed(); }

// Layer group and layer overrides count only when they name a real one.
int32_t PickLayer(int32_t over, int32_t own) { return over >= 0 && over <= 15 ? over : own; }
// The other overrides keep the stored value only for exactly -1.
int32_t Pick(int32_t over, int32_t own) { return over == -1 ? own : over; }

// Entries of the index that are really there.
int32_t IndexLen(const TJGdata& g) { return static_cast<int32_t>(InArray(g.EntNo, g.EntN)); }

}  // namespace

void jwwgaibu::SetEscTest(EscTest f) { g_escTest = f; }

// --- the drawing command of each kind -----------------------------------------

// The command that draws a stored entity of kind K: the line or lines it
// writes whatever the pen state. It reads nothing of the object, so it can
// run on another one, ahead of the writing back.
template <TJwwKind K, class T>
void TJGdata::EntityCommand(const T& e) {
  if constexpr (K == jkLine) {
    S_Line(e.x1, e.y1, e.x2, e.y2);
  } else if constexpr (K == jkCirc) {
    S_Circle(e.cx, e.cy, e.cr);
  } else if constexpr (K == jkArc) {
    S_Arc(e.cx, e.cy, e.cr, e.sa, e.ea, e.he, e.ka);
  } else if constexpr (K == jkPnt) {
    S_Ten(e.px, e.py);
  } else if constexpr (K == jkMark) {
    S_Mark(e.px, e.py, e.bai, e.ang, e.cod);
  } else if constexpr (K == jkText) {
    S_Text(e.no, e.x1, e.y1, e.x2, e.y2, e.st);
  } else if constexpr (K == jkDim) {
    S_Dim(e.lin.x1, e.lin.y1, e.lin.x2, e.lin.y2, e.txt.x1, e.txt.y1, e.txt.x2, e.txt.y2, e.txt.st);
  } else if constexpr (K == jkSld2) {
    S_Solid2(e.x1, e.y1, e.x2, e.y2);
  } else if constexpr (K == jkSld3) {
    S_Solid3(e.x1, e.y1, e.x2, e.y2, e.x3, e.y3);
  } else if constexpr (K == jkSld4) {
    S_Solid4(e.x1, e.y1, e.x2, e.y2, e.x3, e.y3, e.x4, e.y4);
  } else if constexpr (K == jkSldC) {
    S_SolidC(e.cx, e.cy, e.cr, e.he, e.ka, e.sa, e.da, e.fl);
  } else if constexpr (K == jkSldE) {
    S_SolidD(e.cx, e.cy, e.cr, e.he, e.ka, e.sa, e.da, e.fl);
  } else if constexpr (K == jkSldO) {
    S_SolidO(e.cx, e.cy, e.cr, e.he, e.ka, e.sa, e.da, e.ri);
  } else if constexpr (K == jkSldG) {
    S_SolidG(e.cx, e.cy, e.cr, e.he, e.ka, e.sa, e.da, e.ri);
  }
}

// Lines made ahead for one index entry: its entity command's lines, lying in
// another object's output buffer.
struct TJGdata::Ahead {
  TJGdata* from = nullptr;
  int32_t first = 0, count = 0;
};

// The entity's command, or the lines made ahead for it.
template <TJwwKind K, class T>
void TJGdata::Command(const T& e) {
  if (r_Ahead == nullptr) return EntityCommand<K>(e);
  for (int32_t k = 0; k < r_Ahead->count; ++k) {
    AppendGrow(t_Mem, t_MemN) = std::move(r_Ahead->from->t_Mem[static_cast<size_t>(r_Ahead->first + k)]);
  }
}

// --- per-kind writers -------------------------------------------------------

void TJGdata::S_EntLayer(const TJwwEntAttr& a, const TJwwOverrides& o) {
  S_LGrp(PickLayer(o.LGrp, a.LGrp));
  S_Lay(PickLayer(o.Lay, a.Lay));
}

// Colour, line type and width of what is drawn with a line.
void TJGdata::S_EntLinePen(const TJwwEntAttr& a, const TJwwOverrides& o) {
  S_Col(Pick(o.Col, a.Col), jmCode);
  S_Ltp(Pick(o.Ltp, a.Ltp), jmCode);
  S_Wid(Pick(o.Wid, a.Wid));
}

void TJGdata::S_EntLine(const TJwwEntLine& e, const TJwwOverrides& o) {
  S_EntLayer(e.att, o);
  S_EntLinePen(e.att, o);
  S_Attr(e.att.Attr);
  Command<jkLine>(e);
}

void TJGdata::S_EntLinep(const TJwwEntLine& e, int32_t pos, int32_t& cur, const TJwwOverrides& o) {
  const int32_t c = e.CrvNo;
  // The pen commands come before the block opens: on reading they end a curve.
  S_EntLayer(e.att, o);
  S_EntLinePen(e.att, o);
  if (c > 0 && c != cur) {
    S_PLineStart();
    cur = c;
  }
  S_Attr(e.att.Attr);
  Command<jkLine>(e);
  // The curve goes on when the next index entry is a segment of the same curve.
  bool goesOn = false;
  const int64_t nx = static_cast<int64_t>(pos) + 1;
  if (cur > 0 && nx >= 0 && nx < IndexLen(*this)) {
    const TJwwEntLine* next = Find<jkLine>(*this, EntNo[static_cast<size_t>(nx)]);
    goesOn = next != nullptr && next->CrvNo == cur;
  }
  if (!goesOn) {
    if (cur > 0) S_PLineEnd();
    cur = 0;
  }
}

void TJGdata::S_EntCirc(const TJwwEntCircle& e, const TJwwOverrides& o) {
  S_EntLayer(e.att, o);
  S_EntLinePen(e.att, o);
  S_Attr(e.att.Attr);
  Command<jkCirc>(e);
}

void TJGdata::S_EntArc(const TJwwEntArc& e, const TJwwOverrides& o) {
  S_EntLayer(e.att, o);
  S_EntLinePen(e.att, o);
  S_Attr(e.att.Attr);
  Command<jkArc>(e);
}

void TJGdata::S_EntPnt(const TJwwEntPnt& e, const TJwwOverrides& o) {
  S_EntLayer(e.att, o);
  S_PCol(Pick(o.Col, e.att.Col), jmCode);
  S_Wid(Pick(o.Wid, e.att.Wid));
  S_Attr(e.att.Attr);
  Command<jkPnt>(e);
}

void TJGdata::S_EntMark(const TJwwEntMark& e, const TJwwOverrides& o) {
  S_EntLayer(e.att, o);
  S_PCol(Pick(o.Col, e.att.Col), jmCode);
  S_Wid(Pick(o.Wid, e.att.Wid));
  S_Attr(e.att.Attr);
  Command<jkMark>(e);
}

// Text kind, base code and font of a text or a dimension's text. With an
// override colour a text keeps its size but leaves its text kind: only the
// free kind 0 carries a colour of its own.
void TJGdata::S_EntTextSettings(const TJwwEntText& t, const TJwwOverrides& o) {
  if (o.TCol == -1) {
    S_Mjs(t.cn, t.mw, t.mh, t.md, t.att.Col, jmCode);
  } else {
    S_Mjs(0, t.mw, t.mh, t.md, o.TCol, jmCode);
  }
  S_Mbs(Pick(o.Mbs, t.cc));
  S_Font(t.fo);
}

void TJGdata::S_EntText(const TJwwEntText& e, const TJwwOverrides& o) {
  S_EntLayer(e.att, o);
  S_EntTextSettings(e, o);
  S_Attr(e.att.Attr);
  Command<jkText>(e);
}

void TJGdata::S_EntDim(const TJwwEntDim& e, const TJwwOverrides& o) {
  const TJwwEntText& t = e.txt;
  S_EntLayer(e.att, o);
  S_EntLinePen(e.lin.att, o);
  S_EntTextSettings(t, o);
  // Flag lines before "msg" land on the dimension line when read back, so the
  // flags read from there are as much the dimension's as its own.
  S_Attr(e.att.Attr | e.lin.att.Attr);
  Command<jkDim>(e);
}

namespace {
// A solid's colour is either a line colour or colour 10 with an RGB fill value.
template <class G>
void FillColour(G& g, const TJwwEntAttr& att, int32_t color, const TJwwOverrides& o) {
  if (o.Col == -1) {
    if (att.Col == 10) {
      g.S_SCol(color);
    } else {
      g.S_Col(att.Col, jmCode);
    }
  } else if (o.Col == 10) {
    g.S_SCol(o.SCol);
  } else {
    g.S_Col(o.Col, jmCode);
  }
}
}  // namespace

// Of the solids only those of two corners and of "se" carry a width.
void TJGdata::S_EntSld2(const TJwwEntSld2& e, const TJwwOverrides& o) {
  S_EntLayer(e.att, o);
  FillColour(*this, e.att, e.Color, o);
  S_Wid(Pick(o.Wid, e.att.Wid));
  S_Attr(e.att.Attr);
  Command<jkSld2>(e);
}

void TJGdata::S_EntSld3(const TJwwEntSld3& e, const TJwwOverrides& o) {
  S_EntLayer(e.att, o);
  FillColour(*this, e.att, e.Color, o);
  S_Attr(e.att.Attr);
  Command<jkSld3>(e);
}

void TJGdata::S_EntSld4(const TJwwEntSld4& e, const TJwwOverrides& o) {
  S_EntLayer(e.att, o);
  FillColour(*this, e.att, e.Color, o);
  S_Attr(e.att.Attr);
  Command<jkSld4>(e);
}

void TJGdata::S_EntSldC(const TJwwEntSldC& e, const TJwwOverrides& o) {
  S_EntLayer(e.att, o);
  FillColour(*this, e.att, e.Color, o);
  S_Attr(e.att.Attr);
  Command<jkSldC>(e);
}

void TJGdata::S_EntSldE(const TJwwEntSldC& e, const TJwwOverrides& o) {
  S_EntLayer(e.att, o);
  FillColour(*this, e.att, e.Color, o);
  S_Wid(Pick(o.Wid, e.att.Wid));
  S_Attr(e.att.Attr);
  Command<jkSldE>(e);
}

void TJGdata::S_EntSldO(const TJwwEntSldD& e, const TJwwOverrides& o) {
  S_EntLayer(e.att, o);
  FillColour(*this, e.att, e.Color, o);
  S_Attr(e.att.Attr);
  Command<jkSldO>(e);
}

void TJGdata::S_EntSldG(const TJwwEntSldD& e, const TJwwOverrides& o) {
  S_EntLayer(e.att, o);
  FillColour(*this, e.att, e.Color, o);
  S_Attr(e.att.Attr);
  Command<jkSldG>(e);
}

// --- whole store --------------------------------------------------------------

bool TJGdata::Kinds::Write(TJGdata& g, const TJwwEntNo& en, const TJwwOverrides& o) {
  using Writer = bool (*)(TJGdata&, const TJwwEntNo&, const TJwwOverrides&);
  // Entry k writes kind k; entry 0 and the kind without a writer do nothing.
  static constexpr auto kByKind = []<size_t... k>(std::index_sequence<k...>) {
    return std::array<Writer, kRows + 1>{
        [](TJGdata&, const TJwwEntNo&, const TJwwOverrides&) { return false; },
        [](TJGdata& g, const TJwwEntNo& en, const TJwwOverrides& o) {
          constexpr auto w = std::get<k>(kWriters);
          if constexpr (!std::is_null_pointer_v<decltype(w)>) {
            if (const auto* e = TJGdata::Find<std::tuple_element_t<k, Table>::kCode>(g, en)) {
              (g.*w)(*e, o);
              return true;
            }
          }
          return false;
        }...};
  }(std::make_index_sequence<kRows>());
  if (en.yn < 0 || static_cast<size_t>(en.yn) >= kByKind.size()) return false;
  return kByKind[static_cast<size_t>(en.yn)](g, en, o);
}

bool TJGdata::Kinds::CommandAhead(const TJGdata& from, TJGdata& to, const TJwwEntNo& en) {
  using Maker = bool (*)(const TJGdata&, TJGdata&, const TJwwEntNo&);
  static constexpr auto kMakers = []<size_t... k>(std::index_sequence<k...>) {
    return std::array<Maker, kRows + 1>{
        [](const TJGdata&, TJGdata&, const TJwwEntNo&) { return false; },
        [](const TJGdata& from, TJGdata& to, const TJwwEntNo& en) {
          using R = std::tuple_element_t<k, Table>;
          if constexpr (!std::is_null_pointer_v<std::tuple_element_t<k, Writers>>) {
            if (const auto* e = TJGdata::Find<R::kCode>(from, en)) {
              to.EntityCommand<R::kCode>(*e);
              return true;
            }
          }
          return false;
        }...};
  }(std::make_index_sequence<kRows>());
  return en.yn >= 0 && static_cast<size_t>(en.yn) < kMakers.size() &&
         kMakers[static_cast<size_t>(en.yn)](from, to, en);
}

// Writes the index entries 0 to n - 1 in order with write(i), until it gives
// false. The pen commands between the entities depend on everything written
// before them and run in order here; an entity's own command depends on the
// entity alone, so for a big store a second thread (and this one, while it
// waits) runs the commands of a piece of entries ahead, each piece into an
// object of its own, and Command takes their lines from there. Curve
// segments, which S_EntAllp writes at the end, are not run ahead with
// skipCurves.
template <class Write>
void TJGdata::WriteInOrder(int32_t n, bool skipCurves, Write write) {
  const jwwgaibu::WriteSplit split = jwwgaibu::CurrentWriteSplit();
  // Notes come in the order of the lines: taken on this thread alone.
  if (n < split.helperFrom || split.pieceEntries < 1 || WriteNotes != nullptr) {
    for (int32_t i = 0; i < n; ++i) {
      if (!write(i)) return;
    }
    return;
  }
  const int32_t per = split.pieceEntries;
  struct Slot {
    std::unique_ptr<TJGdata> to = std::make_unique<TJGdata>();
    std::vector<Ahead> ahead;
  };
  std::array<Slot, 4> slots;
  struct Forget {  // no entry is left pointing at lines made ahead
    const Ahead*& ahead;
    ~Forget() { ahead = nullptr; }
  } forget{r_Ahead};
  PrepareAheadInOrder(
      static_cast<size_t>((n + per - 1) / per), slots.size(), true,
      [&](size_t s, size_t k) {
        Slot& slot = slots[s];
        TJGdata& to = *slot.to;
        to.t_MemN = 0;
        const int32_t from = static_cast<int32_t>(k) * per, end = std::min(n, from + per);
        slot.ahead.assign(static_cast<size_t>(end - from), Ahead{});
        for (int32_t i = from; i < end; ++i) {
          const TJwwEntNo& en = EntNo[static_cast<size_t>(i)];
          if (skipCurves && en.yn == jkLine) {
            const TJwwEntLine* l = Find<jkLine>(*this, en);
            if (l != nullptr && l->CrvNo > 0) continue;
          }
          const int32_t first = to.t_MemN;
          if (Kinds::CommandAhead(*this, to, en)) {
            slot.ahead[static_cast<size_t>(i - from)] = {&to, first, to.t_MemN - first};
          }
        }
      },
      [&](size_t s, size_t k) {
        const Slot& slot = slots[s];
        const int32_t from = static_cast<int32_t>(k) * per, end = std::min(n, from + per);
        for (int32_t i = from; i < end; ++i) {
          const Ahead& a = slot.ahead[static_cast<size_t>(i - from)];
          r_Ahead = a.from != nullptr ? &a : nullptr;
          const bool go = write(i);
          r_Ahead = nullptr;
          if (!go) return false;
        }
        return true;
      });
}

void TJGdata::S_EntAll(int32_t a1, int32_t a2, int32_t a3, int32_t a4, int32_t a5,
                       int32_t a6, int32_t a7, int32_t a8) {
  S_EntAll(TJwwOverrides{a1, a2, a3, a4, a5, a6, a7, a8});
}

void TJGdata::S_EntAllp(int32_t a1, int32_t a2, int32_t a3, int32_t a4, int32_t a5,
                        int32_t a6, int32_t a7, int32_t a8) {
  S_EntAllp(TJwwOverrides{a1, a2, a3, a4, a5, a6, a7, a8});
}

bool TJGdata::S_Ent(int32_t i, const TJwwOverrides& o) {
  if (i < 0 || i >= IndexLen(*this)) return false;
  const int32_t line = NextLine();
  if (!Kinds::Write(*this, EntNo[static_cast<size_t>(i)], o)) {
    NoteBlocks(u"S_Ent", i, i + 1, line);
    return false;
  }
  if (WriteNotes == nullptr) return true;
  // The same entity again in the same buffer, by S_Ent or by S_EntAll.
  if (!(w_EntLine > 0 && w_EntLine <= t_MemN)) {
    w_EntOnes.clear();
    w_EntLine = line;
  }
  const size_t k = static_cast<size_t>(i);
  if (w_EntOnes.size() <= k) w_EntOnes.resize(static_cast<size_t>(IndexLen(*this)));
  const bool again = w_EntOnes[k] || (w_EntAllLines > 0 && w_EntAllLines <= t_MemN);
  w_EntOnes[k] = true;
  if (again) WriteNote(jnWrittenTwice, u"S_Ent", i, line);
  NoteReadBack(u"S_Ent", i, i + 1, line);
  return true;
}

// The store written back a second time into the same buffer, unchanged, or
// after S_Ent wrote some of its entities: those would be drawn twice.
void TJGdata::NoteWriteBack(const char16_t* call) {
  if (w_EntAllLines > 0 && w_EntAllLines <= t_MemN) {
    WriteNote(jnWrittenTwice, call, 0);
  } else if (w_EntLine > 0 && w_EntLine <= t_MemN) {
    WriteNote(jnWrittenTwice, call, static_cast<double>(std::count(w_EntOnes.begin(), w_EntOnes.end(), true)));
  }
  w_EntAllLines = NextLine();
}

// Entries from .. n - 1 written back: those read from the file are in the
// drawing already, kept there by the CAD program.
void TJGdata::NoteReadBack(const char16_t* call, int32_t from, int32_t n, int32_t line) {
  if (WriteNotes == nullptr || RewritesSelection) return;
  n = std::min({n, w_ReadEnts, IndexLen(*this)});
  int32_t read = 0;
  for (int32_t i = std::max(from, 0); i < n; ++i) {
    const int32_t yn = EntNo[static_cast<size_t>(i)].yn;
    read += yn >= jkLine && yn <= jkSldG && yn != jkBlk;
  }
  if (read > 0) WriteNote(jnReadWrittenBack, call, read, line);
}

// Block inserts are read but have no command to be written with.
void TJGdata::NoteBlocks(const char16_t* call, int32_t from, int32_t n, int32_t line) {
  if (WriteNotes == nullptr) return;
  int32_t blocks = 0;
  for (int32_t i = std::max(from, 0); i < std::min(n, IndexLen(*this)); ++i) {
    blocks += Find<jkBlk>(*this, EntNo[static_cast<size_t>(i)]) != nullptr;
  }
  if (blocks > 0) WriteNote(jnBlocksLeft, call, blocks, line);
}

// A store that is empty, with no file read: nothing to write back, and the
// layer at the end would only move the user's current layer to 0-0.
bool TJGdata::NothingToWriteBack() const { return !w_HasRead && IndexLen(*this) == 0; }

void TJGdata::S_EntAll(const TJwwOverrides& o) {
  if (NothingToWriteBack()) return;
  NoteWriteBack(u"S_EntAll");
  NoteReadBack(u"S_EntAll", 0, IndexLen(*this), w_EntAllLines);
  NoteBlocks(u"S_EntAll", 0, IndexLen(*this), w_EntAllLines);
  if (Zusun) SendMem(u"bz");
  const int32_t n = IndexLen(*this);
  // About one and a half lines an entity: room for two.
  ReserveAhead(t_Mem, t_MemN, 2 * static_cast<size_t>(n));
  WriteInOrder(n, false, [&](int32_t i) {
    if (i % 100 == 0 && EscDown()) {
      StopJwwGaibu();
      return false;
    }
    Kinds::Write(*this, EntNo[i], o);  // every line plain, whatever its curve
    return true;
  });
  S_LGrp(CurLGrp);
  S_Lay(CurLay);
}

void TJGdata::S_EntAllp(const TJwwOverrides& o) {
  if (NothingToWriteBack()) return;
  NoteWriteBack(u"S_EntAllp");
  NoteReadBack(u"S_EntAllp", 0, IndexLen(*this), w_EntAllLines);
  NoteBlocks(u"S_EntAllp", 0, IndexLen(*this), w_EntAllLines);
  if (Zusun) SendMem(u"bz");
  int32_t cur = 0;
  int32_t maxCrv = 0;
  bool aborted = false;
  const int32_t n = IndexLen(*this);
  // About one and a half lines an entity: room for two.
  ReserveAhead(t_Mem, t_MemN, 2 * static_cast<size_t>(n));
  WriteInOrder(n, true, [&](int32_t i) {
    if (i % 100 == 0 && EscDown()) {
      aborted = true;
      return false;
    }
    const TJwwEntNo& en = EntNo[i];
    if (en.yn != jkLine) {
      Kinds::Write(*this, en, o);
    } else if (const TJwwEntLine* l = Find<jkLine>(*this, en)) {
      if (l->CrvNo > 0) {
        maxCrv = std::max(maxCrv, l->CrvNo);  // written with its curve, after everything else
      } else {
        S_EntLinep(*l, i, cur, o);
      }
    }
    return true;
  });
  if (!aborted && maxCrv > 0) {
    // Every curve's segments in store order, the curves in ascending number.
    // One sorted sweep instead of a search of the whole index per curve number;
    // numbers that no segment carries write nothing and are not visited.
    std::vector<std::pair<int32_t, int32_t>> segs;  // (curve number, index position)
    for (int32_t i = 0; i < n; ++i) {
      const TJwwEntLine* l = Find<jkLine>(*this, EntNo[i]);
      if (l != nullptr && l->CrvNo > 0) segs.emplace_back(l->CrvNo, i);
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
        S_EntLinep(*Find<jkLine>(*this, EntNo[segs[s].second]), pos, cur, o);
      }
    }
  }
  if (aborted) StopJwwGaibu();
  S_LGrp(CurLGrp);
  S_Lay(CurLay);
}
