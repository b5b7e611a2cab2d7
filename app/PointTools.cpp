#include "app/PointTools.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <unordered_map>

#include "myfunc/MyFunc.h"

namespace {

constexpr double kPi = std::numbers::pi;

bool Finite(double v) { return std::isfinite(v); }
bool Full(const TPoints& out) { return out.size() >= kMaxPoints; }
void Put(TPoints& out, double x, double y) {
  if (!Full(out)) out.push_back({x, y});
}

// An arc's counter-clockwise span from sa in degrees, in (0, 360]; 360 for a
// closed figure. fmod keeps a huge span from looping for ever.
double SpanDeg(const TJwwEntArc& a) {
  double span = std::fmod(a.ea - a.sa, 360.0);
  if (span <= 0) span += 360;
  const long double ls = span;
  if (std::fabs(ls) <= 1e-10L || std::fabs(ls - 360) <= 1e-10L) return 360;
  return span;
}
bool Closed(double spanDeg) { return spanDeg == 360; }

// The point of an arc at the parameter t (radians): cr cos t and cr he sin t,
// turned by the tilt, as the division of arcs places them.
TPointXY OnArc(const TJwwEntArc& a, double t) {
  const double u = ExactCos(t) * a.cr;
  const double w = ExactSin(t) * (a.cr * a.he);
  double ru, rw;
  RotatePoint(ru, rw, u, w, 0, 0, a.ka);
  return {a.cx + ru, a.cy + rw};
}

bool ArcFinite(const TJwwEntArc& a) {
  return Finite(a.cx) && Finite(a.cy) && Finite(a.cr) && Finite(a.sa) && Finite(a.ea) &&
         Finite(a.he) && Finite(a.ka) && a.cr > 0;
}

}  // namespace

// --- division -----------------------------------------------------------------

void DivideLine(const TJwwEntLine& l, int32_t n, TPoints& out) {
  const double s = Dist2P(l.x1, l.y1, l.x2, l.y2) / n;
  const double a = DirAngle(l.x2 - l.x1, l.y2 - l.y1);
  double x = l.x1, y = l.y1;
  for (int32_t k = 1; k < n; ++k) {
    x = ExactCos(a) * s + x;
    y = ExactSin(a) * s + y;
    Put(out, x, y);
  }
}

void DivideCircle(const TJwwEntCircle& c, int32_t n, TPoints& out) {
  double t = 0;
  for (int32_t k = 0; k < n; ++k) {
    Put(out, ExactCos(t) * c.cr + c.cx, ExactSin(t) * c.cr + c.cy);
    t = t + 2 * kPi / n;
  }
}

void DivideArc(const TJwwEntArc& a, int32_t n, TPoints& out) {
  double t = a.sa / 180 * kPi;
  const double span = SpanDeg(a);
  double step;
  int32_t count;
  if (Closed(span)) {
    step = 2 * kPi / n;  // a closed ellipse: n points round the whole figure
    t = 0;
    count = n;
  } else {
    step = (kPi * span / 180) / n;
    count = n - 1;
  }
  for (int32_t k = 0; k < count; ++k) {
    t = t + step;
    const TPointXY p = OnArc(a, t);
    Put(out, p.x, p.y);
  }
}

void DivideAll(const TJGdata& g, int32_t n, TPoints& out) {
  // Each point from the figure's start by k / n of the way, not by adding
  // steps, so that no rounding gathers along the figure.
  g.ForEachEnt([&](TJwwKind, const auto& e) {
    using R = std::decay_t<decltype(e)>;
    if constexpr (std::is_same_v<R, TJwwEntLine>) {
      for (int32_t k = 1; k < n; ++k) {
        const double f = static_cast<double>(k) / n;
        Put(out, e.x1 + (e.x2 - e.x1) * f, e.y1 + (e.y2 - e.y1) * f);
      }
    } else if constexpr (std::is_same_v<R, TJwwEntCircle>) {
      for (int32_t k = 0; k < n; ++k) {
        const double t = 2 * kPi * k / n;
        Put(out, ExactCos(t) * e.cr + e.cx, ExactSin(t) * e.cr + e.cy);
      }
    } else if constexpr (std::is_same_v<R, TJwwEntArc>) {
      const double span = SpanDeg(e);
      const double t0 = Closed(span) ? 0 : e.sa / 180 * kPi, whole = span / 180 * kPi;
      for (int32_t k = Closed(span) ? 0 : 1; k < n; ++k) {
        const TPointXY p = OnArc(e, t0 + whole * k / n);
        Put(out, p.x, p.y);
      }
    }
  });
}

// --- points at a pitch ----------------------------------------------------------

namespace {

// The speed of an arc's point along its parameter: the length of its
// derivative, which the tilt does not change.
double Speed(const TJwwEntArc& a, double t) {
  const double s = ExactSin(t), c = ExactCos(t);
  return std::fabs(a.cr) * std::sqrt(s * s + a.he * a.he * c * c);
}

// The length of an arc between the parameters t0 and t1 (either order gives
// the same length): eight-point Gauss-Legendre, halved until the halves agree
// with the whole to tol.
double ArcLength(const TJwwEntArc& a, double t0, double t1, double tol, int depth = 0) {
  static constexpr double x[4] = {0.1834346424956498, 0.5255324099163290, 0.7966664774136267,
                                  0.9602898564975363};
  static constexpr double w[4] = {0.3626837833783620, 0.3137066458778873, 0.2223810344533745,
                                  0.1012285362903763};
  auto gauss = [&](double lo, double hi) {
    const double m = (lo + hi) / 2, h = (hi - lo) / 2;
    double sum = 0;
    for (int k = 0; k < 4; ++k) sum += w[k] * (Speed(a, m - h * x[k]) + Speed(a, m + h * x[k]));
    return std::fabs(sum * h);
  };
  const double whole = gauss(t0, t1), m = (t0 + t1) / 2;
  const double halves = gauss(t0, m) + gauss(m, t1);
  // Below the rounding of the sums themselves no halving helps.
  if (std::fabs(whole - halves) <= std::max(tol, 1e-14 * halves) || depth >= 30) return halves;
  return ArcLength(a, t0, m, tol / 2, depth + 1) + ArcLength(a, m, t1, tol / 2, depth + 1);
}

// One figure walked from one end: its length, whether it closes on itself,
// and the point at a length s along it.
struct Walk {
  double length = 0;
  bool closed = false;
  // The point at length s from the start, s in [0, length].
  virtual TPointXY At(double s) = 0;
  virtual ~Walk() = default;
};

struct LineWalk : Walk {
  double ax, ay, bx, by;
  LineWalk(double ax_, double ay_, double bx_, double by_) : ax(ax_), ay(ay_), bx(bx_), by(by_) {
    length = Dist2P(ax, ay, bx, by);
  }
  TPointXY At(double s) override {
    if (s >= length) return {bx, by};
    const double f = s / length;
    return {ax + (bx - ax) * f, ay + (by - ay) * f};
  }
};

// A circle, or an arc of one: the angle turns by s / r from t0, either way.
struct RoundWalk : Walk {
  double cx, cy, r, t0, dir;
  RoundWalk(double cx_, double cy_, double r_, double t0_, double dir_, double len, bool cl)
      : cx(cx_), cy(cy_), r(r_), t0(t0_), dir(dir_) {
    length = len;
    closed = cl;
  }
  TPointXY At(double s) override {
    const double t = t0 + dir * (s / r);
    return {cx + r * ExactCos(t), cy + r * ExactSin(t)};
  }
};

// An arc of an ellipse: the parameter for a length is found by Newton's
// method on the length, kept inside a bracket that halves when a step leaves
// it; lengths are measured from the last point found.
struct EllipseWalk : Walk {
  const TJwwEntArc& a;
  double t0, t1, dir;     // from t0 towards t1
  double lastT, lastS = 0;
  double tol;
  EllipseWalk(const TJwwEntArc& arc, double from, double to, bool cl)
      : a(arc), t0(from), t1(to), dir(to >= from ? 1 : -1), lastT(from) {
    tol = 1e-13 * std::fabs(a.cr) * std::max(1.0, std::fabs(to - from));
    length = ArcLength(a, t0, t1, tol);
    closed = cl;
  }
  TPointXY At(double s) override {
    if (s <= 0) return OnArc(a, t0);
    if (s >= length) return OnArc(a, t1);
    if (s < lastS) lastT = t0, lastS = 0;
    double lo = lastT, hi = t1;  // along dir: S(lo) <= s <= S(hi)
    double t = lastT + dir * (s - lastS) / std::max(Speed(a, lastT), 1e-300);
    for (int k = 0; k < 200; ++k) {
      if (!((t - lo) * dir > 0 && (hi - t) * dir > 0)) t = (lo + hi) / 2;
      const double st = lastS + ArcLength(a, lastT, t, tol);
      const double miss = st - s;
      if (std::fabs(miss) <= 1e-12 * length) break;
      if (miss < 0) lo = t; else hi = t;
      // The bracket down to the last bits of t: no closer point exists.
      if (std::fabs(hi - lo) <= 4 * std::numeric_limits<double>::epsilon() * std::fabs(t)) break;
      const double v = Speed(a, t);
      t = v > 0 ? t - dir * miss / v : (lo + hi) / 2;
    }
    lastS = s;
    lastT = t;
    return OnArc(a, t);
  }
};

double Dist2(double x1, double y1, double x2, double y2) {
  return (x2 - x1) * (x2 - x1) + (y2 - y1) * (y2 - y1);
}

// The points every pitch along a walked figure, ends included.
void PitchAlong(Walk& w, double pitch, bool split, TPoints& out) {
  const double len = w.length;
  if (!Finite(len) || len <= kSamePoint) return;
  // Whole pitches that fit, allowing what lies below the drawing's resolution.
  const double fit = std::floor((len + kSamePoint) / pitch);
  const double n = std::min(fit, static_cast<double>(kMaxPoints));
  auto put = [&](double s) {
    const TPointXY p = w.At(std::min(s, len));
    Put(out, p.x, p.y);
  };
  if (w.closed) {  // back at the start after one turn: the remainder closes it
    for (double k = 0; k <= n && !Full(out); ++k) {
      if (k * pitch < len - kSamePoint) put(k * pitch);
    }
    return;
  }
  const double rest = len - fit * pitch;
  if (split && rest > 2 * kSamePoint) {
    put(0);
    for (double k = 0; k <= n && !Full(out); ++k) put(rest / 2 + k * pitch);
    put(len);
    return;
  }
  for (double k = 0; k <= n && !Full(out); ++k) put(k * pitch);
  if (rest > kSamePoint) put(len);
}

}  // namespace

void PitchPoints(const TJGdata& g, double pitch, bool split, const TJwwIndPoint& from,
                 TPoints& out) {
  if (!(pitch > 0) || !Finite(pitch)) return;
  // Which end is nearer the indicated point; the first end without one.
  auto firstNearer = [&](TPointXY p, TPointXY q) {
    return !from.flg || Dist2(from.x, from.y, p.x, p.y) <= Dist2(from.x, from.y, q.x, q.y);
  };
  // The direction of the indicated point from a closed figure's centre.
  auto towards = [&](double cx, double cy) {
    return from.flg && (from.x != cx || from.y != cy) ? ExactAtan2(from.y - cy, from.x - cx) : 0.0;
  };
  g.ForEachEnt([&](TJwwKind, const auto& e) {
    using R = std::decay_t<decltype(e)>;
    if (Full(out)) return;
    if constexpr (std::is_same_v<R, TJwwEntLine>) {
      if (!Finite(e.x1) || !Finite(e.y1) || !Finite(e.x2) || !Finite(e.y2)) return;
      LineWalk w = firstNearer({e.x1, e.y1}, {e.x2, e.y2}) ? LineWalk(e.x1, e.y1, e.x2, e.y2)
                                                           : LineWalk(e.x2, e.y2, e.x1, e.y1);
      PitchAlong(w, pitch, split, out);
    } else if constexpr (std::is_same_v<R, TJwwEntCircle>) {
      if (!Finite(e.cx) || !Finite(e.cy) || !Finite(e.cr) || e.cr <= 0) return;
      RoundWalk w(e.cx, e.cy, e.cr, towards(e.cx, e.cy), 1, 2 * kPi * e.cr, true);
      PitchAlong(w, pitch, split, out);
    } else if constexpr (std::is_same_v<R, TJwwEntArc>) {
      if (!ArcFinite(e) || e.he == 0) return;
      const double span = SpanDeg(e);
      // The start angle less whole turns: a parameter near 0 keeps its precision.
      const double sa = std::fmod(e.sa, 360.0) / 180 * kPi, ea = sa + span / 180 * kPi;
      if (Closed(span)) {
        // From the parameter whose direction, undone of tilt and flatness,
        // points at the indicated point; counter-clockwise.
        double t = 0;
        if (from.flg) {
          double u, v;
          RotatePoint(u, v, from.x - e.cx, from.y - e.cy, 0, 0, -e.ka);
          if (u != 0 || v != 0) t = ExactAtan2(v / e.he, u);
        }
        const double dir = e.he > 0 ? 1 : -1;  // a negative flatness mirrors the turn
        EllipseWalk w(e, t, t + dir * 2 * kPi, true);
        PitchAlong(w, pitch, split, out);
        return;
      }
      const bool fromStart = firstNearer(OnArc(e, sa), OnArc(e, ea));
      if (e.he == 1) {
        const double r = std::fabs(e.cr), tilt = e.ka / 180 * kPi;
        RoundWalk w(e.cx, e.cy, r, (fromStart ? sa : ea) + tilt, fromStart ? 1 : -1,
                    r * (span / 180 * kPi), false);
        PitchAlong(w, pitch, split, out);
      } else {
        EllipseWalk w(e, fromStart ? sa : ea, fromStart ? ea : sa, false);
        PitchAlong(w, pitch, split, out);
      }
    }
  });
}

// --- end points and centres -------------------------------------------------------

namespace {

// Points each kept once: a later point within kSamePoint of a kept one is
// dropped. Cells of kSamePoint hold the kept points; a point's neighbours lie
// in its cell and the eight around it.
class OnceEach {
 public:
  explicit OnceEach(TPoints& out) : out_(out) {}
  void Add(double x, double y) {
    if (!Finite(x) || !Finite(y) || Full(out_)) return;
    const auto [cx, cy] = Cell(x, y);
    for (int64_t dx = -1; dx <= 1; ++dx) {
      for (int64_t dy = -1; dy <= 1; ++dy) {
        const auto it = cells_.find(Key(cx + dx, cy + dy));
        if (it == cells_.end()) continue;
        for (size_t k : it->second) {
          if (Dist2(out_[k].x, out_[k].y, x, y) < kSamePoint * kSamePoint) return;
        }
      }
    }
    cells_[Key(cx, cy)].push_back(out_.size());
    out_.push_back({x, y});
  }

 private:
  static std::pair<int64_t, int64_t> Cell(double x, double y) {
    // Beyond 2^52 cells a coordinate has no fraction of a cell left: its own
    // cell stands for it.
    auto c = [](double v) {
      const double q = std::floor(v / kSamePoint);
      return static_cast<int64_t>(std::clamp(q, -4.0e15, 4.0e15));
    };
    return {c(x), c(y)};
  }
  static uint64_t Key(int64_t a, int64_t b) {
    return static_cast<uint64_t>(a) * 0x9E3779B97F4A7C15ull ^ static_cast<uint64_t>(b);
  }
  TPoints& out_;
  std::unordered_map<uint64_t, std::vector<size_t>> cells_;
};

}  // namespace

void EndAndCentrePoints(const TJGdata& g, int32_t what, TPoints& out) {
  const bool ends = what != 2, centres = what != 1;
  OnceEach once(out);
  g.ForEachEnt([&](TJwwKind, const auto& e) {
    using R = std::decay_t<decltype(e)>;
    if constexpr (std::is_same_v<R, TJwwEntLine>) {
      if (ends) once.Add(e.x1, e.y1), once.Add(e.x2, e.y2);
    } else if constexpr (std::is_same_v<R, TJwwEntCircle>) {
      if (centres) once.Add(e.cx, e.cy);
    } else if constexpr (std::is_same_v<R, TJwwEntArc>) {
      if (!ArcFinite(e)) return;
      const double span = SpanDeg(e);
      if (ends && !Closed(span)) {
        const double sa = e.sa / 180 * kPi;
        const TPointXY p = OnArc(e, sa), q = OnArc(e, sa + span / 180 * kPi);
        once.Add(p.x, p.y), once.Add(q.x, q.y);
      }
      if (centres) once.Add(e.cx, e.cy);
    }
  });
}

// --- intersections ------------------------------------------------------------------

namespace {

// Points each kept once, for a search that finds them in any order: all are
// gathered, sorted by x, then y, and a point within kSamePoint of one kept
// before it is dropped.
class SortedOnce {
 public:
  void Add(double x, double y) {
    if (Finite(x) && Finite(y)) raw_.push_back({x, y});
  }
  void Into(TPoints& out) {
    std::sort(raw_.begin(), raw_.end(), [](const TPointXY& p, const TPointXY& q) {
      return p.x < q.x || (p.x == q.x && p.y < q.y);
    });
    const size_t first = out.size();
    for (const TPointXY& p : raw_) {
      if (Full(out)) break;
      bool seen = false;
      // Kept points within kSamePoint in x lie at the end of what is kept.
      for (size_t k = out.size(); k-- > first && p.x - out[k].x < kSamePoint;) {
        if (Dist2(out[k].x, out[k].y, p.x, p.y) < kSamePoint * kSamePoint) {
          seen = true;
          break;
        }
      }
      if (!seen) out.push_back(p);
    }
  }

 private:
  TPoints raw_;
};

// A selected figure as the intersection search sees it.
struct Figure {
  enum Kind { kSegment, kRound, kEllipse } kind;
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // a segment's ends
  double cx = 0, cy = 0, r = 0;          // a circle or circular arc
  double a0 = 0, span = 0;               // its start angle and span, radians (2 pi: closed)
  const TJwwEntArc* arc = nullptr;       // an elliptic arc
  double ck = 1, sk = 0;                 // its tilt undone: cos and sin of -ka
  double bx0 = 0, by0 = 0, bx1 = 0, by1 = 0;  // bounding box
  // The points of a circle, arc or ellipse at kSteps even steps of its
  // parameter, made the first time a crossing with an ellipse is looked for.
  mutable std::vector<TPointXY> samples;
};

constexpr int kSteps = 1024;

// The angle of (x, y) seen from a circle's centre lies on its arc, within
// kSamePoint of its length.
bool OnRound(const Figure& f, double x, double y) {
  if (f.span >= 2 * kPi) return true;
  double t = ExactAtan2(y - f.cy, x - f.cx) - f.a0;
  t = std::fmod(t, 2 * kPi);
  if (t < 0) t += 2 * kPi;
  const double slack = kSamePoint / f.r;
  return t <= f.span + slack || t >= 2 * kPi - slack;
}

// An elliptic arc in its own frame: a point's coordinates with the centre
// taken away, the tilt undone and the flatness divided out, so that the arc
// lies on the circle of radius cr about the origin.
TPointXY ToUnit(const Figure& f, double x, double y) {
  // As RotatePoint turns by -ka, with the cosine and sine made once.
  const TJwwEntArc& a = *f.arc;
  const double dx = x - a.cx, dy = y - a.cy;
  const double u = 0 + dx * f.ck - dy * f.sk, v = 0 + dx * f.sk + dy * f.ck;
  return {u, v / a.he};
}

bool OnEllipse(const Figure& f, double x, double y) {
  const TJwwEntArc& a = *f.arc;
  const double span = SpanDeg(a);
  if (Closed(span)) return true;
  const TPointXY p = ToUnit(f, x, y);
  double t = ExactAtan2(p.y, p.x) - a.sa / 180 * kPi;
  t = std::fmod(t, 2 * kPi);
  if (t < 0) t += 2 * kPi;
  const double slack = kSamePoint / (std::fabs(a.cr) * std::min(1.0, std::fabs(a.he)));
  return t <= span / 180 * kPi + slack || t >= 2 * kPi - slack;
}

bool OnFigure(const Figure& f, double x, double y) {
  switch (f.kind) {
    case Figure::kRound: return OnRound(f, x, y);
    case Figure::kEllipse: return OnEllipse(f, x, y);
    default: return true;  // segments are checked by their parameter
  }
}

// The parameters t in [0, 1] (within kSamePoint of the ends) where the segment
// p + t d meets the circle of radius r about the origin.
int SegmentCircle(double px, double py, double dx, double dy, double r, double t[2]) {
  const double a = dx * dx + dy * dy, b = px * dx + py * dy, c = px * px + py * py - r * r;
  if (a == 0) return 0;
  double disc = b * b - a * c;
  // A tangent: the rounding of b * b and a * c may leave a small negative.
  if (disc < 0 && -disc <= 1e-12 * (b * b + std::fabs(a * c))) disc = 0;
  if (disc < 0) return 0;
  const double root = std::sqrt(disc), slack = kSamePoint / std::sqrt(a);
  int n = 0;
  for (double s : {(-b - root) / a, (-b + root) / a}) {
    if (s >= -slack && s <= 1 + slack && (n == 0 || s != t[0])) t[n++] = std::clamp(s, 0.0, 1.0);
  }
  return n;
}

void SegmentSegment(const Figure& f, const Figure& g, SortedOnce& once) {
  const double rx = f.x2 - f.x1, ry = f.y2 - f.y1, sx = g.x2 - g.x1, sy = g.y2 - g.y1;
  const double qx = g.x1 - f.x1, qy = g.y1 - f.y1;
  const double lr = std::sqrt(rx * rx + ry * ry), ls = std::sqrt(sx * sx + sy * sy);
  const double cross = rx * sy - ry * sx;
  if (std::fabs(cross) <= 1e-12 * lr * ls) {
    // Parallel: on one straight when g's first end lies on f's straight; the
    // overlap runs between the larger start and the smaller end along f.
    if (std::fabs(qx * ry - qy * rx) > kSamePoint * lr) return;
    const double t0 = (qx * rx + qy * ry) / (lr * lr);
    const double t1 = ((g.x2 - f.x1) * rx + (g.y2 - f.y1) * ry) / (lr * lr);
    const double slack = kSamePoint / lr;
    const double lo = std::max(0.0, std::min(t0, t1)), hi = std::min(1.0, std::max(t0, t1));
    if (lo > hi + slack) return;
    for (double t : {lo, std::max(lo, hi)}) {
      // The ends as they stand in the file where they are ends of either line.
      if (t == 0) once.Add(f.x1, f.y1);
      else if (t == 1) once.Add(f.x2, f.y2);
      else once.Add(f.x1 + rx * t, f.y1 + ry * t);
    }
    return;
  }
  const double t = (qx * sy - qy * sx) / cross, u = (qx * ry - qy * rx) / cross;
  const double st = kSamePoint / lr, su = kSamePoint / ls;
  if (t < -st || t > 1 + st || u < -su || u > 1 + su) return;
  // An end that touches the other figure is that end exactly.
  if (t <= st) return once.Add(f.x1, f.y1);
  if (t >= 1 - st) return once.Add(f.x2, f.y2);
  if (u <= su) return once.Add(g.x1, g.y1);
  if (u >= 1 - su) return once.Add(g.x2, g.y2);
  // A line along an axis holds its coordinate exactly, as in a grid of axis lines.
  double x = f.x1 + rx * t, y = f.y1 + ry * t;
  if (rx == 0) x = f.x1;
  if (sx == 0) x = g.x1;
  if (ry == 0) y = f.y1;
  if (sy == 0) y = g.y1;
  once.Add(x, y);
}

void SegmentCurve(const Figure& s, const Figure& c, SortedOnce& once) {
  double t[2];
  int n;
  if (c.kind == Figure::kRound) {
    n = SegmentCircle(s.x1 - c.cx, s.y1 - c.cy, s.x2 - s.x1, s.y2 - s.y1, c.r, t);
  } else {
    const TJwwEntArc& a = *c.arc;
    const TPointXY p = ToUnit(c, s.x1, s.y1), q = ToUnit(c, s.x2, s.y2);
    n = SegmentCircle(p.x, p.y, q.x - p.x, q.y - p.y, std::fabs(a.cr), t);
  }
  for (int k = 0; k < n; ++k) {
    const double x = t[k] == 0 ? s.x1 : t[k] == 1 ? s.x2 : s.x1 + (s.x2 - s.x1) * t[k];
    const double y = t[k] == 0 ? s.y1 : t[k] == 1 ? s.y2 : s.y1 + (s.y2 - s.y1) * t[k];
    if (OnFigure(c, x, y)) once.Add(x, y);
  }
}

void RoundRound(const Figure& f, const Figure& g, SortedOnce& once) {
  const double dx = g.cx - f.cx, dy = g.cy - f.cy, d = std::sqrt(dx * dx + dy * dy);
  if (d <= kSamePoint) {
    // One circle: arcs on it meet at those ends of each that lie on the other.
    if (std::fabs(f.r - g.r) > kSamePoint) return;
    for (const Figure* a : {&f, &g}) {
      const Figure* b = a == &f ? &g : &f;
      if (a->span >= 2 * kPi) continue;
      for (double t : {a->a0, a->a0 + a->span}) {
        const double x = a->cx + a->r * ExactCos(t), y = a->cy + a->r * ExactSin(t);
        if (OnRound(*b, x, y)) once.Add(x, y);
      }
    }
    return;
  }
  if (d > f.r + g.r + kSamePoint || d < std::fabs(f.r - g.r) - kSamePoint) return;
  const double a = (d * d + f.r * f.r - g.r * g.r) / (2 * d);
  const double h = std::sqrt(std::max(0.0, f.r * f.r - a * a));
  const double mx = f.cx + dx * a / d, my = f.cy + dy * a / d;
  for (double sign : {1.0, -1.0}) {
    const double x = mx - sign * dy * h / d, y = my + sign * dx * h / d;
    if (OnRound(f, x, y) && OnRound(g, x, y)) once.Add(x, y);
    if (h == 0) break;
  }
}

// Where a curve and an elliptic arc meet: f walked in small steps; a change of
// side of g's curve brackets a crossing, found by halving, and a step closest
// to g's curve that comes within kSamePoint of it is a touching point, found by
// narrowing on the distance.
void CurveEllipse(const Figure& f, const Figure& g, SortedOnce& once) {
  auto point = [&](double t) -> TPointXY {
    if (f.kind == Figure::kRound) return {f.cx + f.r * ExactCos(t), f.cy + f.r * ExactSin(t)};
    return OnArc(*f.arc, t);
  };
  double t0, span;
  if (f.kind == Figure::kRound) {
    t0 = f.a0, span = f.span;
  } else {
    t0 = f.arc->sa / 180 * kPi, span = SpanDeg(*f.arc) / 180 * kPi;
  }
  const double r = std::fabs(g.arc->cr);
  // Which side of g a point lies on, and roughly how far: in g's own frame
  // the curve is the circle of radius r.
  auto side = [&](double t) {
    const TPointXY q = point(t);
    const TPointXY p = ToUnit(g, q.x, q.y);
    return std::sqrt(p.x * p.x + p.y * p.y) - r;
  };
  auto sideOf = [&](TPointXY q) {
    const TPointXY p = ToUnit(g, q.x, q.y);
    return std::sqrt(p.x * p.x + p.y * p.y) - r;
  };
  auto found = [&](double t) {
    const TPointXY p = point(t);
    if (OnEllipse(g, p.x, p.y)) once.Add(p.x, p.y);
  };
  std::vector<double> ts(kSteps + 1), fs(kSteps + 1);
  const bool made = !f.samples.empty();
  if (!made) f.samples.resize(kSteps + 1);
  for (int k = 0; k <= kSteps; ++k) {
    ts[k] = t0 + span * k / kSteps;
    if (!made) f.samples[k] = point(ts[k]);
    fs[k] = sideOf(f.samples[k]);
  }
  const double near = kSamePoint / std::max(1.0, std::fabs(g.arc->he));
  for (int k = 1; k <= kSteps; ++k) {
    if (fs[k - 1] == 0 || (fs[k - 1] < 0) != (fs[k] < 0)) {
      // Regula falsi with the Illinois halving of the end that stays, and
      // plain halving when that stalls: a few steps where halving takes fifty.
      double lo = ts[k - 1], hi = ts[k], flo = fs[k - 1], fhi = fs[k];
      int kept = 0;  // which end stayed last: -1 lo, 1 hi
      for (int i = 0; i < 100 && flo != 0; ++i) {
        double m = fhi != flo ? hi - fhi * (hi - lo) / (fhi - flo) : (lo + hi) / 2;
        if (!(m > std::min(lo, hi) && m < std::max(lo, hi))) m = (lo + hi) / 2;
        if (m == lo || m == hi) break;  // nothing left between them
        const double fm = side(m);
        if (fm == 0) {
          lo = m, flo = 0;
          break;
        }
        if ((fm < 0) == (flo < 0)) {
          lo = m, flo = fm;
          if (kept == 1) fhi /= 2;
          kept = 1;
        } else {
          hi = m, fhi = fm;
          if (kept == -1) flo /= 2;
          kept = -1;
        }
      }
      found(flo == 0 ? lo : (lo + hi) / 2);
    } else if (k < kSteps && std::fabs(fs[k]) <= std::fabs(fs[k - 1]) &&
               std::fabs(fs[k]) <= std::fabs(fs[k + 1]) && (fs[k] < 0) == (fs[k + 1] < 0) &&
               std::fabs(fs[k]) <= near + 4 * std::max(std::fabs(fs[k - 1]) - std::fabs(fs[k]),
                                                       std::fabs(fs[k + 1]) - std::fabs(fs[k]))) {
      // Closest to g here without crossing, near enough that a parabola
      // through the three steps could touch it: narrow by thirds on the distance.
      double lo = ts[k - 1], hi = ts[k + 1];
      for (int i = 0; i < 100; ++i) {
        const double a = lo + (hi - lo) / 3, b = hi - (hi - lo) / 3;
        if (a == lo || b == hi) break;
        if (std::fabs(side(a)) < std::fabs(side(b))) hi = b; else lo = a;
      }
      const double t = (lo + hi) / 2;
      if (std::fabs(side(t)) <= near) found(t);
    }
  }
}

void Meet(const Figure& f, const Figure& g, SortedOnce& once) {
  if (f.bx0 > g.bx1 + kSamePoint || g.bx0 > f.bx1 + kSamePoint || f.by0 > g.by1 + kSamePoint ||
      g.by0 > f.by1 + kSamePoint) {
    return;
  }
  const Figure& a = f.kind <= g.kind ? f : g;
  const Figure& b = f.kind <= g.kind ? g : f;
  if (b.kind == Figure::kSegment) return SegmentSegment(a, b, once);
  if (a.kind == Figure::kSegment) return SegmentCurve(a, b, once);
  if (b.kind == Figure::kRound) return RoundRound(a, b, once);
  CurveEllipse(a, b, once);
}

std::vector<Figure> Figures(const TJGdata& g) {
  std::vector<Figure> figs;
  figs.reserve(static_cast<size_t>(std::max(g.EntN, 0)));
  g.ForEachEnt([&](TJwwKind, const auto& e) {
    using R = std::decay_t<decltype(e)>;
    Figure f{};
    if constexpr (std::is_same_v<R, TJwwEntLine>) {
      // Ends so far apart that their distance overflows cannot be crossed soundly.
      const double len = Dist2P(e.x1, e.y1, e.x2, e.y2);
      if (!Finite(len) || len <= kSamePoint) return;  // or no line to cross
      f.kind = Figure::kSegment;
      f.x1 = e.x1, f.y1 = e.y1, f.x2 = e.x2, f.y2 = e.y2;
      f.bx0 = std::min(e.x1, e.x2), f.bx1 = std::max(e.x1, e.x2);
      f.by0 = std::min(e.y1, e.y2), f.by1 = std::max(e.y1, e.y2);
    } else if constexpr (std::is_same_v<R, TJwwEntCircle>) {
      if (!Finite(e.cx) || !Finite(e.cy) || !Finite(e.cr) || e.cr <= 0) return;
      f.kind = Figure::kRound;
      f.cx = e.cx, f.cy = e.cy, f.r = e.cr, f.a0 = 0, f.span = 2 * kPi;
    } else if constexpr (std::is_same_v<R, TJwwEntArc>) {
      if (!ArcFinite(e) || e.he == 0) return;
      const double span = SpanDeg(e);
      if (e.he == 1) {
        f.kind = Figure::kRound;
        f.cx = e.cx, f.cy = e.cy, f.r = e.cr;
        f.a0 = (e.sa + e.ka) / 180 * kPi;
        f.span = Closed(span) ? 2 * kPi : span / 180 * kPi;
      } else {
        f.kind = Figure::kEllipse;
        f.arc = &e;
        const double phi = -e.ka * 3.14159265358979 / 180;  // as RotatePoint takes it
        f.ck = ExactCos(phi), f.sk = ExactSin(phi);
        f.cx = e.cx, f.cy = e.cy, f.r = std::fabs(e.cr) * std::max(1.0, std::fabs(e.he));
      }
    } else {
      return;
    }
    if (f.kind != Figure::kSegment) {  // the box of the whole circle round it
      f.bx0 = f.cx - f.r, f.bx1 = f.cx + f.r, f.by0 = f.cy - f.r, f.by1 = f.cy + f.r;
    }
    if (Finite(f.bx0) && Finite(f.bx1) && Finite(f.by0) && Finite(f.by1)) figs.push_back(f);
  });
  return figs;
}

}  // namespace

void IntersectionPoints(const TJGdata& g, TPoints& out) {
  const std::vector<Figure> figs = Figures(g);
  const size_t n = figs.size();
  if (n < 2) return;
  SortedOnce once;

  // A grid over where most figures lie, cells about the size of a typical
  // figure: a pair is tried in the one cell that holds the lower left corner
  // of the overlap of their boxes. Figures beyond the grid fall into its edge
  // cells, so that a stray figure far away cannot make the cells of a dense
  // drawing huge; a figure spanning many cells is tried against every other.
  // The grid works in eighths of coordinates, whose sums and differences
  // never overflow.
  constexpr double kG = 0.125;
  std::vector<double> cx(n), cy(n), size(n);
  for (size_t i = 0; i < n; ++i) {
    const Figure& f = figs[i];
    cx[i] = (f.bx0 * kG + f.bx1 * kG) * 0.5, cy[i] = (f.by0 * kG + f.by1 * kG) * 0.5;
    size[i] = std::max(f.bx1 * kG - f.bx0 * kG, f.by1 * kG - f.by0 * kG);
  }
  auto at = [](std::vector<double>& v, double q) {
    const auto k = v.begin() + static_cast<ptrdiff_t>(q * static_cast<double>(v.size() - 1));
    std::nth_element(v.begin(), k, v.end());
    return *k;
  };
  const double typical = at(size, 0.5);
  const double x0 = at(cx, 0.02) - typical, x1 = at(cx, 0.98) + typical;
  const double y0 = at(cy, 0.02) - typical, y1 = at(cy, 0.98) + typical;
  const double w = std::max(x1 - x0, kSamePoint * kG), h = std::max(y1 - y0, kSamePoint * kG);
  const double cells = static_cast<double>(n);
  const double side = std::max({typical, std::sqrt(w / cells) * std::sqrt(h), kSamePoint * kG});
  const int64_t cols = static_cast<int64_t>(std::min(w / side, 32767.0)) + 1;
  const int64_t rows = static_cast<int64_t>(std::min(h / side, 32767.0)) + 1;
  auto col = [&](double x) {
    const double c = (x * kG - x0) / w * static_cast<double>(cols);
    return static_cast<int64_t>(std::clamp(c, 0.0, static_cast<double>(cols - 1)));
  };
  auto row = [&](double y) {
    const double r = (y * kG - y0) / h * static_cast<double>(rows);
    return static_cast<int64_t>(std::clamp(r, 0.0, static_cast<double>(rows - 1)));
  };
  constexpr int64_t kMaxCells = 64;
  // The figures of each cell, cell after cell: counted first, then placed.
  std::vector<size_t> start(static_cast<size_t>(cols * rows) + 1, 0);
  std::vector<uint32_t> big;
  std::vector<int64_t> firstCol(n), firstRow(n), lastCol(n), lastRow(n);
  for (size_t i = 0; i < n; ++i) {
    const Figure& f = figs[i];
    firstCol[i] = col(f.bx0 - kSamePoint), lastCol[i] = col(f.bx1 + kSamePoint);
    firstRow[i] = row(f.by0 - kSamePoint), lastRow[i] = row(f.by1 + kSamePoint);
    if ((lastCol[i] - firstCol[i] + 1) * (lastRow[i] - firstRow[i] + 1) > kMaxCells) {
      big.push_back(static_cast<uint32_t>(i));
      lastCol[i] = firstCol[i] - 1;  // in no cell
      continue;
    }
    for (int64_t r = firstRow[i]; r <= lastRow[i]; ++r) {
      for (int64_t c = firstCol[i]; c <= lastCol[i]; ++c) ++start[static_cast<size_t>(r * cols + c) + 1];
    }
  }
  for (size_t c = 1; c < start.size(); ++c) start[c] += start[c - 1];
  std::vector<uint32_t> inCells(start.back());
  std::vector<size_t> fill(start.begin(), start.end() - 1);
  for (size_t i = 0; i < n; ++i) {
    for (int64_t r = firstRow[i]; r <= lastRow[i]; ++r) {
      for (int64_t c = firstCol[i]; c <= lastCol[i]; ++c) {
        inCells[fill[static_cast<size_t>(r * cols + c)]++] = static_cast<uint32_t>(i);
      }
    }
  }
  for (size_t cell = 0; cell + 1 < start.size(); ++cell) {
    for (size_t i = start[cell]; i < start[cell + 1]; ++i) {
      const uint32_t fi = inCells[i];
      for (size_t j = i + 1; j < start[cell + 1]; ++j) {
        const uint32_t fj = inCells[j];
        const int64_t home = std::max(firstRow[fi], firstRow[fj]) * cols +
                             std::max(firstCol[fi], firstCol[fj]);
        if (home == static_cast<int64_t>(cell)) Meet(figs[fi], figs[fj], once);
      }
    }
  }
  for (size_t k = 0; k < big.size(); ++k) {
    for (size_t i = 0; i < n; ++i) {
      const bool alsoBig = std::binary_search(big.begin(), big.end(), static_cast<uint32_t>(i));
      if (i != big[k] && (!alsoBig || i > big[k])) Meet(figs[big[k]], figs[i], once);
    }
  }
  once.Into(out);
}
