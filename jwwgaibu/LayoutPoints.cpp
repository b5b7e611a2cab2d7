// Points a draughtsperson lays out along the first selected figure: at typed
// distances from an end or a reference point (線上点), and a layout both ways
// from a reference point (割付), on one figure or along a run of them.
#include <algorithm>
#include <cfloat>
#include <cmath>

#include "jwwgaibu/PointGeometry.h"
#include "jwwgaibu/PointTools.h"
#include "myfunc/MyFunc.h"

using pointgeo::AtAngle;
using pointgeo::Dist2;
using pointgeo::Finite;
using pointgeo::kPi;
using pointgeo::OnceEach;
using pointgeo::SpanDeg;

namespace {

constexpr double kTurn = 2 * kPi;

// The angle a in [0, 2 pi).
double Wrap(double a) {
  a = std::fmod(a, kTurn);
  if (a < 0) a += kTurn;
  return a >= kTurn ? 0 : a;
}

// --- one figure walked from one end -------------------------------------------------

// A line, a circle or circular arc, or an ellipse or elliptic arc, walked from
// its start by length: At(s) is the point at the length s along it, beyond its
// ends on its extension (a line's straight line, an arc's circle or ellipse).
struct Piece {
  enum Kind { kLine, kRound, kEllipse } kind = kLine;
  double ax = 0, ay = 0, bx = 0, by = 0;  // a line from a to b
  double cx = 0, cy = 0, r = 0;           // the centre; the radius (an ellipse's cr)
  double he = 1;                          // an ellipse's flatness
  pointgeo::CosSin tilt;                  // an ellipse's tilt, as the pitch turns its points
  double t0 = 0, dir = 1, span = 0;       // the parameter at the start, its turn, its span
  double length = 0, perimeter = 0;       // along the figure; a whole turn of its curve
  bool closed = false;
  // The last parameter found for an ellipse, to measure on from.
  mutable double lastU = 0, lastRest = -1;

  // An ellipse's speed along its parameter, and its length between two
  // parameters (either order), as the library's pitch measures them.
  TJwwEntArc Shape() const {
    TJwwEntArc a;
    a.cx = cx, a.cy = cy, a.cr = r, a.he = he;
    return a;
  }
  double Speed(double t) const { return pointgeo::Speed(Shape(), t); }
  double Len(double u0, double u1, double tol) const {
    return pointgeo::ArcLength(Shape(), u0, u1, tol);
  }
  double Tol() const { return 1e-14 * std::fabs(r); }

  // The parameter of an ellipse at the length s from the start (any s).
  double ParamAt(double s) const {
    const double turns = std::floor(s / perimeter);
    const double rest = s - turns * perimeter;
    double lo = 0, hi = kTurn, baseU = 0, baseS = 0;
    if (lastRest >= 0 && lastRest <= rest) baseU = lastU, baseS = lastRest, lo = lastU;
    double u = baseU + (rest - baseS) / std::max(Speed(t0 + dir * baseU), 1e-300);
    for (int k = 0; k < 200; ++k) {
      if (!(u > lo && u < hi)) u = (lo + hi) / 2;
      const double miss = baseS + Len(t0 + dir * baseU, t0 + dir * u, Tol()) - rest;
      if (std::fabs(miss) <= 1e-13 * perimeter) break;
      if (miss < 0) lo = u; else hi = u;
      if (hi - lo <= 4 * DBL_EPSILON * std::max(1.0, u)) break;
      const double v = Speed(t0 + dir * u);
      u = v > 0 ? u - miss / v : (lo + hi) / 2;
    }
    lastU = u, lastRest = rest;
    return t0 + dir * (u + turns * kTurn);
  }
  TPointXY EllipsePoint(double t) const { return pointgeo::OnArcAt(Shape(), t, tilt); }

  TPointXY At(double s) const {
    switch (kind) {
      case kLine: {
        if (s == 0) return {ax, ay};
        if (s == length) return {bx, by};
        const double f = s / length;
        return {ax + (bx - ax) * f, ay + (by - ay) * f};
      }
      case kRound: {
        const pointgeo::CosSin p = AtAngle(t0 + dir * (s / r));
        return {cx + r * p.c, cy + r * p.s};
      }
      case kEllipse:
        break;
    }
    if (s == 0) return EllipsePoint(t0);
    if (s == length && !closed) return EllipsePoint(t0 + dir * span);
    return EllipsePoint(ParamAt(s));
  }

  // Where p projects onto the figure, as a length from the start: a line's
  // foot (on its extension too); a curve's point in the direction of p from
  // the centre (an ellipse's undone of tilt and flatness). Off an arc, the
  // nearer way round from it.
  double Project(double px, double py) const {
    if (kind == kLine) return ((px - ax) * (bx - ax) + (py - ay) * (by - ay)) / length;
    double t;
    if (kind == kRound) {
      if (px == cx && py == cy) return 0;
      t = ExactAtan2(py - cy, px - cx);
    } else {
      // Turned back by the tilt.
      const double u = (px - cx) * tilt.c + (py - cy) * tilt.s, v = (py - cy) * tilt.c - (px - cx) * tilt.s;
      if (u == 0 && v == 0) return 0;
      t = ExactAtan2(v / he, u);
      if (r < 0) t += kPi;
    }
    double u = Wrap(dir * (t - t0));
    if (!closed && u > span && u - span >= kTurn - u) u -= kTurn;  // nearer its start
    if (kind == kRound) return u * r;
    return u >= 0 ? Len(t0, t0 + dir * u, Tol()) : -Len(t0 + dir * u, t0, Tol());
  }

  void Reverse() {
    if (closed) return;
    if (kind == kLine) {
      std::swap(ax, bx), std::swap(ay, by);
    } else {
      t0 += dir * span;
      dir = -dir;
      lastRest = -1;
    }
  }
  // The ends, from the parameters: an ellipse's need not be measured.
  TPointXY Start() const {
    if (kind == kLine) return {ax, ay};
    return kind == kEllipse ? EllipsePoint(t0) : At(0);
  }
  TPointXY End() const {
    if (kind == kLine) return {bx, by};
    if (kind == kRound) return At(length);
    return EllipsePoint(closed ? t0 : t0 + dir * span);
  }
  // An ellipse's lengths, measured when first needed: a selection of many
  // figures of which a run takes a few measures only those.
  void Measure() {
    if (kind != kEllipse || perimeter > 0) return;
    perimeter = Len(0, kTurn, Tol());
    length = closed ? perimeter : Len(t0, t0 + span, Tol());
  }
};

bool MakeLine(const TJwwEntLine& e, Piece& p) {
  if (!Finite(e.x1) || !Finite(e.y1) || !Finite(e.x2) || !Finite(e.y2)) return false;
  p.kind = Piece::kLine;
  p.ax = e.x1, p.ay = e.y1, p.bx = e.x2, p.by = e.y2;
  p.length = Dist2P(e.x1, e.y1, e.x2, e.y2);
  return Finite(p.length) && p.length > kSamePoint;
}

// A circle or closed ellipse starts at its point in the direction of `from`
// (angle 0 without it), counter-clockwise.
bool MakeCircle(const TJwwEntCircle& e, const TJwwIndPoint& from, Piece& p) {
  if (!Finite(e.cx) || !Finite(e.cy) || !Finite(e.cr) || !(e.cr > 0)) return false;
  p.kind = Piece::kRound;
  p.cx = e.cx, p.cy = e.cy, p.r = e.cr;
  p.t0 = from.flg && (from.x != e.cx || from.y != e.cy) ? ExactAtan2(from.y - e.cy, from.x - e.cx) : 0;
  p.span = kTurn;
  p.length = kTurn * e.cr;
  p.closed = true;
  return Finite(p.length);
}

bool MakeArc(const TJwwEntArc& e, const TJwwIndPoint& from, Piece& p) {
  if (!Finite(e.cx) || !Finite(e.cy) || !Finite(e.cr) || !Finite(e.sa) || !Finite(e.ea) ||
      !Finite(e.he) || !Finite(e.ka) || !(e.cr > 0) || e.he == 0) {
    return false;
  }
  const double spanDeg = SpanDeg(e);
  p.cx = e.cx, p.cy = e.cy;
  p.closed = spanDeg == 360;
  p.span = p.closed ? kTurn : spanDeg / 180 * kPi;
  if (e.he == 1) {
    p.kind = Piece::kRound;
    p.r = e.cr;
    p.t0 = std::fmod(e.sa + e.ka, 360.0) / 180 * kPi;
    p.length = p.span * e.cr;
    if (p.closed) {
      TJwwEntCircle c;
      c.cx = e.cx, c.cy = e.cy, c.cr = e.cr;
      return MakeCircle(c, from, p);
    }
    return Finite(p.length);
  }
  p.kind = Piece::kEllipse;
  p.r = e.cr, p.he = e.he, p.tilt = pointgeo::Tilt(e.ka);
  // Longer than the drawing's resolution: the whole ellipse is longer than
  // four of its greater half axes, an arc than its chord; measured only where
  // that does not settle it.
  if (!(4 * e.cr * std::max(1.0, std::fabs(e.he)) > kSamePoint) || !Finite(e.cr * e.he)) return false;
  if (p.closed) {
    // From the parameter whose direction, undone of tilt and flatness, points
    // at `from`; a negative flatness mirrors the turn.
    p.dir = e.he > 0 ? 1 : -1;
    p.t0 = 0;
    if (from.flg) {
      const pointgeo::CosSin k = p.tilt;
      const double u = (from.x - e.cx) * k.c + (from.y - e.cy) * k.s;
      const double v = (from.y - e.cy) * k.c - (from.x - e.cx) * k.s;
      if (u != 0 || v != 0) p.t0 = ExactAtan2(v / e.he, u);
    }
    return true;
  }
  p.t0 = std::fmod(e.sa, 360.0) / 180 * kPi;
  const TPointXY a = p.Start(), b = p.End();
  if (Dist2(a.x, a.y, b.x, b.y) > kSamePoint * kSamePoint) return true;
  p.Measure();
  return Finite(p.length) && p.length > kSamePoint;
}

// The first selected line, circle or arc as a piece, in the order of the
// selection; for `first`, its index among the figures a run is made of.
template <class F>
void EachFigure(const TJGdata& g, const TJwwIndPoint& from, F&& f, const bool* stop = nullptr) {
  g.ForEachEnt([&](TJwwKind, const auto& e) {
    using R = std::decay_t<decltype(e)>;
    if (stop && *stop) return;
    Piece p;
    if constexpr (std::is_same_v<R, TJwwEntLine>) {
      if (MakeLine(e, p)) f(p);
    } else if constexpr (std::is_same_v<R, TJwwEntCircle>) {
      if (MakeCircle(e, from, p)) f(p);
    } else if constexpr (std::is_same_v<R, TJwwEntArc>) {
      if (MakeArc(e, from, p)) f(p);
    }
  });
}

bool FirstFigure(const TJGdata& g, const TJwwIndPoint& from, Piece& out) {
  bool found = false;
  EachFigure(g, from, [&](const Piece& p) { out = p, found = true; }, &found);
  out.Measure();
  return found;
}

// An open figure turned to start at its end nearest `from`.
void StartNearest(Piece& p, const TJwwIndPoint& from) {
  if (p.closed || !from.flg) return;
  const TPointXY a = p.Start(), b = p.End();
  if (Dist2(from.x, from.y, b.x, b.y) < Dist2(from.x, from.y, a.x, a.y)) p.Reverse();
}

// --- each point once ------------------------------------------------------------------------

// Appends the points to out in their order, each once: a point within
// kSamePoint of one kept before it is dropped. True when kMaxPoints stopped it.
bool PutOnce(const TPoints& points, TPoints& out) {
  OnceEach once(out);
  for (const TPointXY& p : points) {
    once.Add(p.x, p.y);
    if (once.Over()) return true;
  }
  return false;
}

}  // namespace

// --- points at distances ---------------------------------------------------------------------

bool DistancePoints(const TJGdata& g, const std::vector<double>& d, bool bothWays,
                    const TJwwIndPoint& from, TPoints& out, bool* fromOnFigure) {
  Piece p;
  if (!FirstFigure(g, from, p)) return false;
  StartNearest(p, from);
  double s0 = 0;
  bool on = false;
  if (bothWays && from.flg) {
    const double s = p.Project(from.x, from.y);
    const bool within = p.closed || (s >= -kSamePoint && s <= p.length + kSamePoint);
    const TPointXY q = p.At(std::clamp(s, 0.0, p.length));
    on = within && Dist2(q.x, q.y, from.x, from.y) <= kSamePoint * kSamePoint;
    if (on) s0 = p.closed ? 0 : std::clamp(s, 0.0, p.length);  // a closed one starts there
  }
  if (fromOnFigure) *fromOnFigure = on;
  TPoints points;
  for (double v : d) {
    if (!Finite(v)) continue;
    points.push_back(p.At(s0 + v));
    if (bothWays && v != 0) points.push_back(p.At(s0 - v));
    if (points.size() > kMaxPoints) break;
  }
  PutOnce(points, out);
  return true;
}

// --- layout -------------------------------------------------------------------------------------

namespace {

// The ends of figures in cells of kSamePoint: an end's neighbours within
// kSamePoint lie in its cell and the eight around it. The cells are one open
// table of (cell, end) entries, a cell's entries found by probing on from its
// hash, so that a drawing of many figures costs no allocation for each end.
class Ends {
 public:
  explicit Ends(size_t count) {
    size_t size = 64;
    while (size < 2 * count) size *= 2;  // at most half full: probes stay short
    keys_.resize(size), ends_.assign(size, kEmpty);
  }
  void Add(TPointXY p, uint32_t end) {
    const uint64_t key = Key(Cell(p.x), Cell(p.y));
    size_t k = Slot(key);
    while (ends_[k] != kEmpty) k = (k + 1) & (keys_.size() - 1);
    keys_[k] = key, ends_[k] = end;
  }
  // f(end) for each end in the cell of p and the eight around it.
  template <class F>
  void Around(TPointXY p, F&& f) const {
    const int64_t cx = Cell(p.x), cy = Cell(p.y);
    for (int64_t dx = -1; dx <= 1; ++dx) {
      for (int64_t dy = -1; dy <= 1; ++dy) {
        const uint64_t key = Key(cx + dx, cy + dy);
        for (size_t k = Slot(key); ends_[k] != kEmpty; k = (k + 1) & (keys_.size() - 1)) {
          if (keys_[k] == key) f(ends_[k]);
        }
      }
    }
  }

 private:
  static int64_t Cell(double v) {
    return static_cast<int64_t>(std::clamp(std::floor(v / kSamePoint), -4.0e15, 4.0e15));
  }
  static uint64_t Key(int64_t a, int64_t b) {
    return static_cast<uint64_t>(a) * 0x9E3779B97F4A7C15ull ^ static_cast<uint64_t>(b);
  }
  size_t Slot(uint64_t key) const {
    return static_cast<size_t>((key * 0xD6E8FEB86659FD93ull) >> 20) & (keys_.size() - 1);
  }
  static constexpr uint32_t kEmpty = 0xFFFFFFFF;
  std::vector<uint64_t> keys_;
  std::vector<uint32_t> ends_;
};

// Figures joined end to end, each walked from its start, one after another.
struct Run {
  std::vector<Piece> pieces;
  std::vector<double> starts;  // the length along the run where each begins
  double length = 0;
  bool closed = false;

  void Measure() {
    starts.clear();
    length = 0;
    for (const Piece& p : pieces) starts.push_back(length), length += p.length;
    closed = pieces.size() == 1 ? pieces[0].closed : Joined(pieces.back().End(), pieces[0].Start());
  }
  static bool Joined(TPointXY a, TPointXY b) {
    return Dist2(a.x, a.y, b.x, b.y) <= kSamePoint * kSamePoint;
  }
  TPointXY At(double s) const {
    if (pieces.size() == 1) return pieces[0].At(s);
    if (closed) s = std::fmod(s, length), s += s < 0 ? length : 0;
    s = std::clamp(s, 0.0, length);
    size_t k = std::upper_bound(starts.begin(), starts.end(), s) - starts.begin();
    k = k == 0 ? 0 : k - 1;
    return pieces[k].At(std::min(s - starts[k], pieces[k].length));
  }
  // Where p projects onto the run: on a single figure as Piece::Project
  // does; on a run, the nearest of the pieces' points.
  double Project(double px, double py) const {
    if (pieces.size() == 1) return pieces[0].Project(px, py);
    double best = 0, bestD = INFINITY;
    for (size_t k = 0; k < pieces.size(); ++k) {
      const double s = std::clamp(pieces[k].Project(px, py), 0.0, pieces[k].length);
      const TPointXY q = pieces[k].At(s);
      const double dd = Dist2(q.x, q.y, px, py);
      if (dd < bestD) bestD = dd, best = starts[k] + s;
    }
    return best;
  }
  void Reverse() {
    std::reverse(pieces.begin(), pieces.end());
    for (Piece& p : pieces) p.Reverse();
    Measure();
  }
};

// The run of selected lines and open arcs that holds the first of them:
// figures whose ends meet (within kSamePoint), followed from both of the
// first figure's ends; where more than one figure meets an end, the first in
// the selection carries on. A circle or closed ellipse is a run of its own.
bool MakeRun(const TJGdata& g, const TJwwIndPoint& from, bool joined, Run& run) {
  std::vector<Piece> all;
  if (joined) all.reserve(static_cast<size_t>(g.EntLineN) + std::max(g.EntArcN, 0));
  bool enough = false;  // without joined, the first figure is all
  EachFigure(g, from, [&](const Piece& p) {
    if (all.empty() || (joined && !p.closed)) all.push_back(p);
    enough = !joined;
  }, &enough);
  if (all.empty()) return false;
  run.pieces = {all[0]};
  if (joined && !all[0].closed) {
    Ends ends(2 * all.size());  // both ends of every piece: 2 k is the start of piece k
    TPoints at;
    at.reserve(2 * all.size());
    for (size_t k = 0; k < all.size(); ++k) {
      at.push_back(all[k].Start()), ends.Add(at.back(), static_cast<uint32_t>(at.size() - 1));
      at.push_back(all[k].End()), ends.Add(at.back(), static_cast<uint32_t>(at.size() - 1));
    }
    std::vector<bool> used(all.size());
    used[0] = true;
    // The unused piece with an end at p, the first in the selection, turned to
    // start (or end, for atEnd) there.
    auto next = [&](TPointXY p, bool atEnd, Piece& found) {
      size_t best = SIZE_MAX;
      ends.Around(p, [&](size_t e) {
        if (!used[e / 2] && Run::Joined(at[e], p)) best = std::min(best, e);
      });
      if (best == SIZE_MAX) return false;
      used[best / 2] = true;
      found = all[best / 2];
      const bool startsThere = best % 2 == 0;
      if (startsThere == atEnd) found.Reverse();
      return true;
    };
    std::vector<Piece> before;
    Piece p;
    while (next(run.pieces.back().End(), false, p)) run.pieces.push_back(p);
    if (!Run::Joined(run.pieces.back().End(), run.pieces[0].Start())) {
      while (next((before.empty() ? run.pieces[0] : before.back()).Start(), true, p)) {
        before.push_back(p);
      }
    }
    run.pieces.insert(run.pieces.begin(), before.rbegin(), before.rend());
  }
  for (Piece& p : run.pieces) p.Measure();
  run.Measure();
  if (!run.closed && from.flg) {
    const TPointXY a = run.At(0), b = run.At(run.length);
    if (Dist2(from.x, from.y, b.x, b.y) < Dist2(from.x, from.y, a.x, a.y)) run.Reverse();
  }
  return true;
}

}  // namespace

bool LayoutPoints(const TJGdata& g, const TLayout& how, const TJwwIndPoint& p1,
                  const TJwwIndPoint& p2, TPoints& out, bool* found) {
  Run run;
  const bool any = MakeRun(g, p1, how.run, run);
  if (found) *found = any;
  if (!any) return false;
  const double len = run.length;
  const double s1 = p1.flg ? run.Project(p1.x, p1.y) : 0;
  std::vector<double> at;  // lengths along the run, in the order of the walk
  bool more = false;
  // A point within kSamePoint of an end is the end itself.
  auto put = [&](double s) {
    if (!run.closed && std::fabs(s) <= kSamePoint) s = 0;
    if (!run.closed && std::fabs(s - len) <= kSamePoint) s = len;
    if (at.size() > kMaxPoints) more = true; else at.push_back(s);
  };
  if (how.parts > 0) {
    double s2 = p2.flg ? run.Project(p2.x, p2.y) : len;
    if (run.closed && s2 <= s1 + kSamePoint) s2 += len;
    for (int32_t k = 0; k <= how.parts; ++k) {
      put(k == 0 ? s1 : k == how.parts ? s2 : s1 + (s2 - s1) * k / how.parts);
    }
  } else if (how.pitch > 0 && Finite(how.pitch)) {
    const double p = how.pitch;
    if (run.closed) {
      const double m = std::floor((len / 2 + kSamePoint) / p);
      for (double k = 0; k <= m && !more; ++k) put(s1 + k * p);
      for (double k = m; k >= 1 && !more; --k) put(s1 - k * p);
    } else {
      const double lo = std::ceil((-s1 - kSamePoint) / p), hi = std::floor((len - s1 + kSamePoint) / p);
      put(0);
      for (double k = lo; k <= hi && !more; ++k) put(s1 + k * p);
      put(len);
    }
  }
  TPoints points;
  points.reserve(at.size());
  for (double s : at) points.push_back(run.At(s));
  return PutOnce(points, out) || more;
}
