// Where the selected lines meet when extended (延長交点): every pair's
// crossing, found without trying every pair where the lines allow it.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "jwwgaibu/PointGeometry.h"
#include "jwwgaibu/PointTools.h"

using namespace pointgeo;

namespace {

// a - b as an unevaluated sum hi + lo, exactly.
struct Two {
  double hi, lo;
};
Two Diff(double a, double b) {
  const double s = a - b, bb = s - a;
  return {s, (a - (s - bb)) - (b + bb)};
}
// p q - r s for exact differences, correct to a few units of its own last
// place even where the two products nearly cancel (nearly parallel lines).
double Cross(Two p, Two q, Two r, Two s) {
  const double pq = p.hi * q.hi, rs = r.hi * s.hi;
  const double e = std::fma(p.hi, q.hi, -pq) - std::fma(r.hi, s.hi, -rs);
  const double small = (p.hi * q.lo + p.lo * q.hi) - (r.hi * s.lo + r.lo * s.hi);
  return (pq - rs) + (e + small);
}

struct ExtLine {
  double x1, y1;
  Two dx, dy;
  double len2;
};

// The first kMaxPoints points in the order of x, then y, each once, without
// keeping every point found: whenever the candidates reach a few times the
// cap they are sorted, merged and cut to the cap, and a point beyond the last
// one kept is turned away at once.
//
// With gather, a candidate is gathered into the one before while the box
// round all gathered there stays within kGather each way, as when many lines
// through one point give it once for each pair: the first of them in the
// order stands for them all, and their box tells whether the others would
// have been dropped as well. They would when that first one is kept, or when
// one point kept before it lies within kSamePoint of the whole box; where
// neither holds, Sure() is false and the caller tries again without
// gathering. The candidates count towards the merges as if they were all
// there, so that each merge takes the same ones as without gathering.
class FirstPoints {
 public:
  explicit FirstPoints(bool gather = false) : gather_(gather) {}
  void Add(double x, double y) {
    if (!Finite(x) || !Finite(y)) return;
    if (limited_ && (x > limit_.x + 2 * kSamePoint)) {
      more_ = true;
      return;
    }
    if (!gather_ || !Gathered(x, y)) raw_.push_back({x, y}), open_ = false;
    if (raw_.size() + gathered_ >= 4 * kMaxPoints) Compact();
  }
  // The points, unless !Sure(); true when there were more than kMaxPoints.
  bool Into(TPoints& out) {
    Compact();
    if (!unsure_) out.insert(out.end(), raw_.begin(), raw_.end());
    return more_;
  }
  bool Sure() const { return !unsure_; }

 private:
  static constexpr double kGather = kSamePoint / 4;
  static constexpr size_t kSortFirst = kMaxPoints + kMaxPoints / 4;
  struct Box {
    TPointXY first;  // the first of the gathered candidates in the order
    double x0, x1, y0, y1;
  };
  static bool Before(const TPointXY& p, const TPointXY& q) {
    return p.x < q.x || (p.x == q.x && p.y < q.y);
  }
  // Gathers (x, y) into the last candidate when their box stays small.
  bool Gathered(double x, double y) {
    if (raw_.empty()) return false;
    TPointXY& last = raw_.back();
    if (!open_) {
      if (std::fabs(x - last.x) > kGather || std::fabs(y - last.y) > kGather) return false;
      boxes_.push_back({last, last.x, last.x, last.y, last.y});
      open_ = true;
    }
    Box& b = boxes_.back();
    const double x0 = std::min(b.x0, x), x1 = std::max(b.x1, x);
    const double y0 = std::min(b.y0, y), y1 = std::max(b.y1, y);
    if (x1 - x0 > kGather || y1 - y0 > kGather) return false;
    b.x0 = x0, b.x1 = x1, b.y0 = y0, b.y1 = y1;
    if (Before({x, y}, last)) last = b.first = {x, y};
    ++gathered_;
    return true;
  }
  // Whether one point of kept lies within kSamePoint of the whole box.
  static bool Covered(const TPoints& kept, const Box& b) {
    for (size_t k = kept.size(); k-- > 0 && kept[k].x > b.x1 - kSamePoint;) {
      const TPointXY& p = kept[k];
      if (Dist2(p.x, p.y, b.x0, b.y0) < kSamePoint * kSamePoint &&
          Dist2(p.x, p.y, b.x0, b.y1) < kSamePoint * kSamePoint &&
          Dist2(p.x, p.y, b.x1, b.y0) < kSamePoint * kSamePoint &&
          Dist2(p.x, p.y, b.x1, b.y1) < kSamePoint * kSamePoint) {
        return true;
      }
    }
    return false;
  }
  void Compact() {
    // Only the first of the candidates can be kept: they are sorted first,
    // the others only if those do not fill the cap.
    auto sorted = raw_.end();
    if (raw_.size() > kSortFirst) {
      sorted = raw_.begin() + kSortFirst;
      std::nth_element(raw_.begin(), sorted, raw_.end(), Before);
    }
    std::sort(raw_.begin(), sorted, Before);
    std::sort(boxes_.begin(), boxes_.end(),
              [](const Box& a, const Box& b) { return Before(a.first, b.first); });
    TPoints kept;
    OnceEach once(kept);
    size_t box = 0;
    for (auto it = raw_.begin(); it != raw_.end(); ++it) {
      if (it == sorted) std::sort(sorted, raw_.end(), Before);  // all after those sorted
      const TPointXY& p = *it;
      const bool keptNow = once.AddInXOrder(p.x, p.y);
      if (once.Over()) break;
      // The boxes this candidate stands for (one for each time it was first).
      for (; box < boxes_.size() && !Before(p, boxes_[box].first); ++box) {
        const bool its = !Before(boxes_[box].first, p);
        if (its && !keptNow && !Covered(kept, boxes_[box])) unsure_ = true;
      }
    }
    more_ = more_ || once.Over();
    raw_.swap(kept);
    boxes_.clear();
    gathered_ = 0, open_ = false;
    if (more_ && !raw_.empty()) limited_ = true, limit_ = raw_.back();
  }
  TPoints raw_;
  bool limited_ = false, more_ = false;
  TPointXY limit_;
  bool gather_;
  std::vector<Box> boxes_;  // of the candidates that others were gathered into
  size_t gathered_ = 0;     // candidates gathered since the last merge
  bool open_ = false;       // the last candidate has a box
  bool unsure_ = false;
};

// Where lines a and b meet, unless they are parallel (kParallel).
void Meet(const ExtLine& a, const ExtLine& b, FirstPoints& first) {
  const double den = Cross(a.dx, b.dy, a.dy, b.dx);
  // Parallel: the sine of their angle, den / (|a| |b|), within kParallel.
  if (!(den * den > kParallel * kParallel * a.len2 * b.len2)) return;
  // The crossing at t along a and u along b: (b1 - a1) x db / (da x db)
  // and (b1 - a1) x da / (da x db). Each coordinate from the line whose
  // step to it is the shorter, as it carries the smaller rounding: a
  // coordinate one of the lines keeps (a wall along an axis) is exact.
  const Two ox = Diff(b.x1, a.x1), oy = Diff(b.y1, a.y1);
  const double t = Cross(ox, b.dy, oy, b.dx) / den, u = Cross(ox, a.dy, oy, a.dx) / den;
  auto along = [](double t, double x1, Two dx) { return std::fma(t, dx.hi, x1 + t * dx.lo); };
  const double x = std::fabs(t * a.dx.hi) <= std::fabs(u * b.dx.hi) ? along(t, a.x1, a.dx)
                                                                   : along(u, b.x1, b.dx);
  const double y = std::fabs(t * a.dy.hi) <= std::fabs(u * b.dy.hi) ? along(t, a.y1, a.dy)
                                                                   : along(u, b.y1, b.dy);
  first.Add(x, y);
}

// Doubles in the order of their values as integers, and back.
int64_t Key(double v) {
  int64_t k;
  std::memcpy(&k, &v, sizeof k);
  return k < 0 ? INT64_MIN - k : k;
}
double FromKey(int64_t k) {
  if (k < 0) k = INT64_MIN - k;
  double v;
  std::memcpy(&v, &k, sizeof v);
  return v;
}

// A double's bits as an unsigned key in the order of the values (-0 and 0
// alike).
uint64_t Ordered(double v) { return static_cast<uint64_t>(Key(v)) ^ (uint64_t{1} << 63); }

// Keys and what they stand for.
struct Keyed {
  uint64_t key;
  uint32_t i;
};
// Sorts items by key, 11 bits at a time, each pass keeping the order of the
// one before: items of one key stay in the order they came in.
void SortByKey(std::vector<Keyed>& items, std::vector<Keyed>& spare) {
  constexpr int kBits = 11, kPasses = (64 + kBits - 1) / kBits;
  constexpr uint64_t kMask = (1u << kBits) - 1;
  const size_t n = items.size();
  std::vector<uint32_t> count(kPasses << kBits);
  for (const Keyed& it : items) {
    for (int b = 0; b < kPasses; ++b) ++count[(b << kBits) + ((it.key >> (kBits * b)) & kMask)];
  }
  spare.resize(n);
  for (int b = 0; b < kPasses; ++b) {
    uint32_t* const c = &count[b << kBits];
    if (n == 0 || c[(items[0].key >> (kBits * b)) & kMask] == n) continue;  // one digit: as it is
    uint32_t place = 0;
    for (uint64_t d = 0; d <= kMask; ++d) place += c[d], c[d] = place - c[d];
    for (const Keyed& it : items) spare[c[(it.key >> (kBits * b)) & kMask]++] = it;
    items.swap(spare);
  }
}

// The pairs of lines that cross at x <= L without trying every pair: far to
// the left the lines lie in the order of their slopes (the steepest lowest),
// at L in the order of their heights there, and two lines have crossed by L
// exactly when those orders differ. Counting them is a sort and a count of
// inversions; listing them, a merge sort that names each inversion. Lines
// whose slopes round alike are closer to parallel than kParallel; only
// crossings within rounding of L may be taken on the wrong side of it.
class LeftCrossings {
 public:
  explicit LeftCrossings(const std::vector<ExtLine>& lines) : lines_(lines) {
    // The order far to the left is the order of the slopes at any L but
    // among lines of one slope: sorted once, the steepest first, and each
    // slope a group, its lines as read.
    std::vector<Sloped> read;
    for (size_t k = 0; k < lines.size(); ++k) {
      if (lines[k].dx.hi == 0) {
        vertical_.push_back(k);
      } else {
        const double slope = lines[k].dy.hi / lines[k].dx.hi;
        at_.push_back({~Ordered(slope), static_cast<uint32_t>(read.size())});
        read.push_back({lines[k].x1, lines[k].y1, slope, static_cast<uint32_t>(k), 0});
      }
    }
    SortByKey(at_, spare_);
    sloped_.reserve(read.size());
    for (const Keyed& it : at_) sloped_.push_back(read[it.i]);
    for (size_t j = 0; j < sloped_.size(); ++j) {
      if (j == 0 || sloped_[j].slope != sloped_[j - 1].slope) {
        starts_.push_back(static_cast<uint32_t>(j));
      }
      sloped_[j].group = static_cast<uint32_t>(starts_.size() - 1);
    }
  }
  // The pairs crossing at x <= L, or any count above most once it passes
  // most; false when a height at L is no number.
  bool Count(double L, uint64_t most, uint64_t& count) {
    if (!Ranks(L)) return false;
    std::vector<uint32_t>& tree = tree_;  // kept from count to count: its pages stay
    tree.assign(rank_.size() + 1, 0);
    count = 0;
    for (size_t j = 0; j < rank_.size(); ++j) {
      uint64_t below = 0;  // earlier lines ranked below line j at L
      for (size_t i = rank_[j]; i > 0; i -= i & (~i + 1)) below += tree[i];
      count += j - below;
      if (count > most) return true;
      for (size_t i = rank_[j] + 1; i < tree.size(); i += i & (~i + 1)) ++tree[i];
    }
    for (size_t v : vertical_) {
      if (lines_[v].x1 <= L) count += sloped_.size();
    }
    return true;
  }
  // Each pair crossing at x <= L, to f(a, b).
  template <class F>
  void Each(double L, F&& f) {
    if (!(ranked_ && rankedAt_ == L) && !Ranks(L)) return;
    std::vector<std::pair<uint32_t, size_t>> seq(rank_.size()), tmp(rank_.size());
    for (size_t j = 0; j < rank_.size(); ++j) seq[j] = {rank_[j], order_[j]};
    for (size_t width = 1; width < seq.size(); width *= 2) {
      for (size_t lo = 0; lo + width < seq.size(); lo += 2 * width) {
        const size_t mid = lo + width, hi = std::min(lo + 2 * width, seq.size());
        size_t i = lo, j = mid, o = lo;
        while (i < mid || j < hi) {
          if (j >= hi || (i < mid && seq[i].first < seq[j].first)) {
            tmp[o++] = seq[i++];
          } else {
            for (size_t k = i; k < mid; ++k) f(lines_[seq[k].second], lines_[seq[j].second]);
            tmp[o++] = seq[j++];
          }
        }
        std::copy(tmp.begin() + lo, tmp.begin() + hi, seq.begin() + lo);
      }
    }
    for (size_t v : vertical_) {
      if (lines_[v].x1 > L) continue;
      for (size_t k = 0; k < lines_.size(); ++k) {
        if (lines_[k].dx.hi != 0) f(lines_[v], lines_[k]);
      }
    }
  }

 private:
  struct Sloped {
    double x1, y1, slope;
    uint32_t line;
    uint32_t group;  // lines of one slope share it; the steeper, the lower
  };
  // order_: the lines far to the left, the steepest lowest, and lines of one
  // slope (parallel: they never cross) as they lie at L; rank_[j]: the place
  // at L of the line order_[j], ties at L in the order just after L (the
  // steeper higher). One sort of the heights at L gives both: the lines of
  // one slope come out of it in their order at L. The heights go into
  // SortByKey in the order of their ties: the lower slope (the later group)
  // first, then as read.
  bool Ranks(double L) {
    ranked_ = false;
    const size_t n = sloped_.size();
    at_.clear();
    for (size_t g = starts_.size(); g-- > 0;) {
      const size_t end = g + 1 < starts_.size() ? starts_[g + 1] : n;
      for (size_t i = starts_[g]; i < end; ++i) {
        const Sloped& l = sloped_[i];
        const double y = l.y1 + (L - l.x1) * l.slope;
        // Far out a steep line's height may round to an infinity, which
        // still orders it; only a height that is no number stops the count.
        if (std::isnan(y)) return false;
        at_.push_back({Ordered(y), static_cast<uint32_t>(i)});
      }
    }
    SortByKey(at_, spare_);
    order_.resize(n);
    rank_.resize(n);
    next_ = starts_;
    for (size_t r = 0; r < n; ++r) {
      const Sloped& l = sloped_[at_[r].i];
      const uint32_t j = next_[l.group]++;
      order_[j] = l.line;
      rank_[j] = static_cast<uint32_t>(r);
    }
    ranked_ = true, rankedAt_ = L;
    return true;
  }
  std::vector<Keyed> at_, spare_;
  bool ranked_ = false;  // order_ and rank_ hold the order at rankedAt_
  double rankedAt_ = 0;
  std::vector<uint32_t> tree_;
  const std::vector<ExtLine>& lines_;
  std::vector<size_t> vertical_;
  std::vector<Sloped> sloped_;
  std::vector<uint32_t> starts_, next_;  // where each group begins in order_; where the next goes
  std::vector<uint32_t> order_;
  std::vector<uint32_t> rank_;
};

}  // namespace

bool ExtendedIntersections(const TJGdata& g, TPoints& out) {
  std::vector<ExtLine> lines;
  lines.reserve(static_cast<size_t>(std::max(g.EntLineN, 0)));
  for (const TJwwEntLine& e : g.Ents<jkLine>()) {
    if (!Finite(e.x1) || !Finite(e.y1) || !Finite(e.x2) || !Finite(e.y2)) continue;
    ExtLine l{e.x1, e.y1, Diff(e.x2, e.x1), Diff(e.y2, e.y1), 0};
    l.len2 = l.dx.hi * l.dx.hi + l.dy.hi * l.dy.hi;
    if (!Finite(l.len2) || !(l.len2 > kSamePoint * kSamePoint)) continue;
    lines.push_back(l);
  }
  const double n = static_cast<double>(lines.size());
  constexpr double kTarget = kMaxPoints + kMaxPoints / 4, kMost = 4.0 * kMaxPoints;
  if (n * (n - 1) / 2 > kMost) {
    // Many lines: the pairs crossing left of some L, chosen so that a little
    // more than kMaxPoints pairs cross there, give the first points, unless
    // many cross in one point or crossings lie within rounding of L; then
    // every pair is tried below.
    LeftCrossings left(lines);
    const uint64_t most = static_cast<uint64_t>(kMost);
    constexpr double kFar = 1e250;
    uint64_t count = 0;
    double L = NAN;
    if (left.Count(kFar, most, count) && count <= kMost) {
      L = kFar;
    } else {
      int64_t lo = Key(-kFar), hi = Key(kFar);
      // The keys span more than an int64_t: their distance is taken unsigned.
      while (static_cast<uint64_t>(hi) - static_cast<uint64_t>(lo) > 1) {
        const int64_t mid =
            lo + static_cast<int64_t>((static_cast<uint64_t>(hi) - static_cast<uint64_t>(lo)) / 2);
        if (!left.Count(FromKey(mid), most, count)) break;
        if (count < kTarget) {
          lo = mid;
        } else if (count > kMost) {
          hi = mid;
        } else {
          L = FromKey(mid);
          break;
        }
      }
    }
    if (!std::isnan(L)) {
      FirstPoints first;
      left.Each(L, [&](const ExtLine& a, const ExtLine& b) { Meet(a, b, first); });
      TPoints found;
      const bool more = first.Into(found);
      const bool whole = L == kFar;
      if (whole || (found.size() == kMaxPoints &&
                    found.back().x < L - 1e-9 * std::max(1.0, std::fabs(L)) - 4 * kSamePoint)) {
        out.insert(out.end(), found.begin(), found.end());
        return more || !whole;
      }
    }
  }
  // Every pair, gathering the candidates of a crossing many pairs share;
  // where that cannot be told apart, every pair again without.
  for (const bool gather : {true, false}) {
    FirstPoints first(gather);
    for (size_t i = 0; i < lines.size(); ++i) {
      for (size_t j = i + 1; j < lines.size(); ++j) Meet(lines[i], lines[j], first);
    }
    const bool more = first.Into(out);
    if (first.Sure()) return more;
  }
  return false;  // not reached: without gathering every point is sure
}

