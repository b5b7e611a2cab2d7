// The drawing object driven through its public operations in any order and
// with any values, as a tool built on the library might drive it: setters and
// adders (both forms), index entries of any kind and number, counts and curve
// numbers set to anything, the output commands, both writers with any
// overrides, one stored entity written, the store emptied, mapped by any map
// and measured, and a save. Beyond "no crash, no sanitizer report": an added
// entity's index entry names the record added, the views and the visitor stay
// within the store, and the saved file reads back into a store that holds
// together.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>
#include <string>

#include "fuzz/FuzzUtil.h"
#include "jwwgaibu/JwwGaibu.h"

namespace {

// The input read as a stream of choices and values. Most values come from a
// few bytes and lie near the edges that matter; some are raw 32- or 64-bit
// patterns. An exhausted input reads as zeros.
class Input {
 public:
  Input(const uint8_t* data, size_t size) : p_(data), end_(data + size) {}
  bool Empty() const { return p_ == end_; }

  uint8_t Byte() { return p_ != end_ ? *p_++ : 0; }

  int32_t Int() {
    static constexpr int32_t kEdges[] = {0,    1,     -1,      9,       10,       15,
                                         16,   255,   256,     999,     1000,     1001,
                                         2000, 30000, 30001,   0xFFFFFF, 0x1000000, 5000000,
                                         -2,   -100,  INT32_MAX, INT32_MIN};
    const uint8_t b = Byte();
    if (b < 64) return b - 16;
    if (b < 128) return kEdges[(b - 64) % std::size(kEdges)];
    uint32_t v = 0;
    for (int k = 0; k < 4; ++k) v = v << 8 | Byte();
    return static_cast<int32_t>(v);
  }

  double Real() {
    using L = std::numeric_limits<double>;
    static const double kEdges[] = {0,      1e-10,  -1e-10, 2e-10,           1e-11,
                                    std::nextafter(1e-10, 0.0), 1e15, 1e16, -1e16,
                                    L::max(), L::denorm_min(), L::infinity(), -L::infinity(),
                                    L::quiet_NaN(), 360, -360, 0.5};
    const uint8_t b = Byte();
    if (b < 128) return (b - 64) / 4.0;
    if (b < 192) return kEdges[(b - 128) % std::size(kEdges)];
    uint64_t v = 0;
    for (int k = 0; k < 8; ++k) v = v << 8 | Byte();
    double d;
    std::memcpy(&d, &v, sizeof d);
    return d;
  }

  // Up to 15 characters from those a text can trip over: spaces of both
  // widths, line breaks, NUL, quotes, the keyword separator, a lone surrogate.
  std::u16string Text() {
    static constexpr char16_t kChars[] = {
        u'a', u' ', u'\u3000', u'\r', u'\n', u'\0', u'"', u'=', u'<', u'>', u'\u8868',
        char16_t{0xD800}, char16_t{0xDC00}, u'\t', u'1', u'\uFF71'};
    std::u16string s(Byte() % 16, u'a');
    for (char16_t& c : s) c = kChars[Byte() % std::size(kChars)];
    return s;
  }

  TJwwEntAttr Attr() {
    return TJwwEntAttr{Int(), Int(), Int(), Int(), Int(), Int(), Int()};
  }

 private:
  const uint8_t* p_;
  const uint8_t* const end_;
};

// The count of kind yn, for the checks; nullptr for a code of no kind.
int32_t* CountOf(TJGdata& g, int32_t yn) {
  int32_t* const counts[] = {&g.EntLineN, &g.EntCircN, &g.EntArcN, &g.EntTextN, &g.EntPntN,
                             &g.EntMarkN, &g.EntDimN,  &g.EntBlkN, &g.EntSld2N, &g.EntSld3N,
                             &g.EntSld4N, &g.EntSldCN, &g.EntSldEN, &g.EntSldON, &g.EntSldGN};
  return yn >= 1 && yn <= 15 ? counts[yn - 1] : nullptr;
}

// Runs one adder, plain or with given attributes; if the index grew, its last
// entry must name the last record of its kind.
template <class Plain, class Given>
void Add(TJGdata& g, Input& in, Plain plain, Given given) {
  const int32_t before = g.EntN;
  if (in.Byte() & 1) {
    given(in.Attr());
  } else {
    plain();
  }
  if (g.EntN == before) return;
  FUZZ_CHECK(g.EntN >= 1 && static_cast<size_t>(g.EntN) <= g.EntNo.size());
  const TJwwEntNo& en = g.EntNo[static_cast<size_t>(g.EntN) - 1];
  const int32_t* n = CountOf(g, en.yn);
  FUZZ_CHECK(n != nullptr);
  FUZZ_CHECK(en.no == *n - 1);
}

void Step(TJGdata& g, Input& in, int& writings) {
  switch (in.Byte() % 40) {
    case 0: return g.A_LGrp(in.Int());
    case 1: return g.A_Lay(in.Int());
    case 2: { const int32_t c = in.Int(); return g.A_Col(c, in.Int()); }
    case 3: { const int32_t t = in.Int(); return g.A_Ltp(t, in.Int()); }
    case 4: return g.A_Wid(in.Int());
    case 5: {
      const int32_t mjs = in.Int();
      const double w = in.Real(), h = in.Real(), d = in.Real();
      const int32_t col = in.Int();
      return g.A_Mjs(mjs, w, h, d, col, in.Int());
    }
    case 6: return g.A_Mbs(in.Int());
    case 7: return g.A_Font(in.Text());
    case 8: { const int32_t c = in.Int(); return g.A_PCol(c, in.Int()); }
    case 9: return g.A_SCol(in.Int());
    case 10: {
      const int32_t r = in.Int(), gr = in.Int();
      return g.A_SColRGB(r, gr, in.Int());
    }
    case 11: return g.A_Attr(in.Int());
    case 12: {
      const double a = in.Real(), b = in.Real(), c = in.Real(), d = in.Real();
      return Add(g, in, [&] { g.A_Line(a, b, c, d); },
                 [&](const TJwwEntAttr& at) { g.A_Line(at, a, b, c, d); });
    }
    case 13: {
      const double a = in.Real(), b = in.Real();
      return Add(g, in, [&] { g.A_Ten(a, b); }, [&](const TJwwEntAttr& at) { g.A_Ten(at, a, b); });
    }
    case 14: {
      const double a = in.Real(), b = in.Real(), c = in.Real(), d = in.Real();
      const int32_t cod = in.Int();
      return Add(g, in, [&] { g.A_Mark(a, b, c, d, cod); },
                 [&](const TJwwEntAttr& at) { g.A_Mark(at, a, b, c, d, cod); });
    }
    case 15: {
      const double a = in.Real(), b = in.Real(), r = in.Real();
      return Add(g, in, [&] { g.A_Circle(a, b, r); },
                 [&](const TJwwEntAttr& at) { g.A_Circle(at, a, b, r); });
    }
    case 16: {
      double v[7];
      for (double& x : v) x = in.Real();
      return Add(g, in, [&] { g.A_Arc(v[0], v[1], v[2], v[3], v[4], v[5], v[6]); },
                 [&](const TJwwEntAttr& at) {
                   g.A_Arc(at, v[0], v[1], v[2], v[3], v[4], v[5], v[6]);
                 });
    }
    case 17: {
      const int32_t no = in.Int();
      const double a = in.Real(), b = in.Real(), c = in.Real(), d = in.Real();
      const std::u16string m = in.Text();
      return Add(g, in, [&] { g.A_Text(no, a, b, c, d, m); },
                 [&](const TJwwEntAttr& at) { g.A_Text(at, no, a, b, c, d, m); });
    }
    case 18: {
      double v[8];
      for (double& x : v) x = in.Real();
      const std::u16string m = in.Text();
      return Add(g, in, [&] { g.A_Dim(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], m); },
                 [&](const TJwwEntAttr& at) {
                   g.A_Dim(at, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], m);
                 });
    }
    case 19: {
      double v[4];
      for (double& x : v) x = in.Real();
      return Add(g, in, [&] { g.A_Solid2(v[0], v[1], v[2], v[3]); },
                 [&](const TJwwEntAttr& at) { g.A_Solid2(at, v[0], v[1], v[2], v[3]); });
    }
    case 20: {
      double v[6];
      for (double& x : v) x = in.Real();
      return Add(g, in, [&] { g.A_Solid3(v[0], v[1], v[2], v[3], v[4], v[5]); },
                 [&](const TJwwEntAttr& at) {
                   g.A_Solid3(at, v[0], v[1], v[2], v[3], v[4], v[5]);
                 });
    }
    case 21: {
      // Corners often shared, so that every fallback to three corners is met.
      double v[8];
      for (int k = 0; k < 8; k += 2) {
        const uint8_t same = in.Byte();
        if (k > 0 && same < 96) {
          const int from = (same % (k / 2)) * 2;
          v[k] = v[from];
          v[k + 1] = v[from + 1];
        } else {
          v[k] = in.Real();
          v[k + 1] = in.Real();
        }
      }
      return Add(g, in, [&] { g.A_Solid4(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]); },
                 [&](const TJwwEntAttr& at) {
                   g.A_Solid4(at, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]);
                 });
    }
    case 22:
    case 23:
    case 24:
    case 25: {
      double v[8];
      for (double& x : v) x = in.Real();
      const int32_t cod = in.Int();
      const uint8_t kind = in.Byte() % 4;
      auto plain = [&] {
        switch (kind) {
          case 0: return g.A_SolidC(v[0], v[1], v[2], v[3], v[4], v[5], v[6], cod);
          case 1: return g.A_SolidD(v[0], v[1], v[2], v[3], v[4], v[5], v[6], cod);
          case 2: return g.A_SolidO(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]);
          default: return g.A_SolidG(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]);
        }
      };
      auto given = [&](const TJwwEntAttr& at) {
        switch (kind) {
          case 0: return g.A_SolidC(at, v[0], v[1], v[2], v[3], v[4], v[5], v[6], cod);
          case 1: return g.A_SolidD(at, v[0], v[1], v[2], v[3], v[4], v[5], v[6], cod);
          case 2: return g.A_SolidO(at, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]);
          default: return g.A_SolidG(at, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]);
        }
      };
      return Add(g, in, plain, given);
    }
    case 26: {
      const int32_t yn = in.Int();
      return g.SetEntNo(yn, in.Int());
    }
    case 27: {
      // Any count, in or out of its array.
      const uint8_t which = in.Byte() % 18;
      const int32_t v = in.Int();
      if (which == 0) g.EntN = v;
      if (which == 1) g.t_MemN = v;
      if (which == 2) g.t_PLineN = v;
      if (int32_t* n = CountOf(g, which - 2)) *n = v;
      return;
    }
    case 28: {
      // A curve number on a stored line, as a tool joining lines would set it.
      const int32_t k = in.Int();
      const int32_t crv = in.Int();
      if (k >= 0 && static_cast<size_t>(k) < g.EntLine.size()) {
        g.EntLine[static_cast<size_t>(k)].CrvNo = crv;
      }
      return;
    }
    case 29:
    case 30: {
      int32_t a[8];
      for (int32_t& x : a) x = in.Int();
      const bool polylines = in.Byte() & 1;
      // Each writing goes over the whole store: a few per input keep a run short.
      if (++writings > 4) return;
      if (polylines) {
        g.S_EntAllp(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
      } else {
        g.S_EntAll(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
      }
      return;
    }
    case 31: return g.S_Init();
    case 32: return g.StopJwwGaibu();
    case 33: {
      const uint8_t flags = in.Byte();
      g.Zusun = flags & 1;
      g.WidF = flags & 2;
      g.MojiCode = flags & 4;
      return;
    }
    case 34: {
      const double a = in.Real(), b = in.Real(), c = in.Real(), d = in.Real();
      switch (in.Byte() % 6) {
        case 0: return g.S_PLineSet(a, b, c, d);
        case 1: return g.S_PLine();
        case 2: return g.S_PLineReset();
        case 3: return g.S_Comment(in.Text());
        case 4: {
          const int32_t no = in.Int();
          return g.S_Text(no, a, b, c, d, in.Text());
        }
        default: return g.S_Mark(a, b, c, d, in.Int());
      }
    }
    case 35: {
      const int32_t i = in.Int();
      TJwwOverrides o;
      o.LGrp = in.Int(), o.Lay = in.Int(), o.Col = in.Int(), o.SCol = in.Int();
      g.S_Ent(i, o);
      return;
    }
    case 36: return g.ClearStore();
    case 37: {
      // A chain of up to three steps of any values.
      TJwwTransform t;
      for (int k = in.Byte() % 3; k >= 0; --k) {
        const double a = in.Real(), b = in.Real(), c = in.Real(), d = in.Real();
        switch (in.Byte() % 5) {
          case 0: t = t.Then(TJwwTransform::Move(a, b)); break;
          case 1: t = t.Then(TJwwTransform::Rotate(a, b, c)); break;
          case 2: t = t.Then(TJwwTransform::Scale(a, b, c)); break;
          case 3: t = t.Then(TJwwTransform::Scale(a, b, c, d)); break;
          default: t = t.Then(TJwwTransform::Mirror(a, b, c)); break;
        }
      }
      const int32_t n = g.EntN;
      g.Transform(t);
      FUZZ_CHECK(g.EntN == n);
      return;
    }
    case 38: {
      // Whatever the counts and index entries say, the visitor reaches only
      // records within their kind's views, and at most one per index entry.
      size_t visited = 0;
      g.ForEachEnt([&](TJwwKind k, const auto& e) {
        ++visited;
        TJwwBox b;
        b.Add(e);
        FUZZ_CHECK(k >= jkLine && k <= jkSldG);
      });
      FUZZ_CHECK(visited <= g.EntNo.size());
      FUZZ_CHECK(g.Ents<jkLine>().size() <= g.EntLine.size());
      FUZZ_CHECK(g.Ents<jkSldG>().size() <= g.EntSldG.size());
      FUZZ_CHECK(g.IPointMax() >= 0 && g.IPointMax() <= 99);
      g.Box();
      return;
    }
    default:
      return g.DataInit();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string file = kxfuzz::Folder() + "api.txt";
  Input in(data, size);
  TJGdata g;
  std::vector<TJwwWriteNote> written;
  g.WriteNotes = &written;
  int writings = 0;
  for (int steps = 0; steps < 2000 && !in.Empty(); ++steps) Step(g, in, writings);
  FUZZ_CHECK(g.SaveTempFile(kxfuzz::ToU16(file)));
  TJGdata back;
  std::vector<TJwwReadNote> read;
  back.ReadNotes = &read;
  FUZZ_CHECK(back.OpenTempFile(kxfuzz::ToU16(file)));
  kxfuzz::CheckStore(back);
  // Every line the commands wrote reads back without a note, unless the
  // writing noted that line (or the save as a whole).
  for (const TJwwReadNote& r : read) {
    const bool told = std::any_of(written.begin(), written.end(), [&](const TJwwWriteNote& w) {
      return w.line == r.line || w.line == 0;
    });
    FUZZ_CHECK(told);
  }
  return 0;
}
