#include "jwwgaibu/PointTools.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "jwwgaibu/PointGeometry.h"
#include "myfunc/MyFunc.h"

using namespace pointgeo;

namespace pointgeo {

double SpanDeg(const TJwwEntArc& a) {
  double span = std::fmod(a.ea - a.sa, 360.0);
  if (span <= 0) span += 360;
  const long double ls = span;
  if (std::fabs(ls) <= 1e-10L || std::fabs(ls - 360) <= 1e-10L) return 360;
  return span;
}

bool ArcFinite(const TJwwEntArc& a) {
  return Finite(a.cx) && Finite(a.cy) && Finite(a.cr) && Finite(a.sa) && Finite(a.ea) &&
         Finite(a.he) && Finite(a.ka) && a.cr > 0;
}

namespace {
// The cosine and sine of q quarter turns.
CosSin Quarter(int64_t q) {
  switch (((q % 4) + 4) % 4) {
    case 0: return {1, 0};
    case 1: return {0, 1};
    case 2: return {-1, 0};
    default: return {0, -1};
  }
}
}  // namespace

CosSin AtAngle(double t) {
  constexpr double kHalfPi = kPi / 2, kHalfPiLow = 6.123233995736766e-17;
  const double q = std::nearbyint(t / kHalfPi);
  if (q != 0 && std::fabs(q) < 1e15) {
    // How far t lies from q quarter turns: fma takes q times the double
    // nearest a quarter turn off t exactly, the rest of a quarter turn after.
    const double off = std::fma(-q, kHalfPi, t) - q * kHalfPiLow;
    const double ulp = std::nextafter(std::fabs(t), INFINITY) - std::fabs(t);
    if (std::fabs(off) <= 2 * ulp) return Quarter(static_cast<int64_t>(q));
  }
  return {ExactCos(t), ExactSin(t)};
}

CosSin Tilt(double ka) {
  const double k = std::fmod(ka, 360.0);
  if (std::fmod(k, 90.0) == 0) return Quarter(static_cast<int64_t>(k / 90));
  const double phi = k * 3.14159265358979 / 180;  // as a turn of a point by ka degrees
  return {ExactCos(phi), ExactSin(phi)};
}

TPointXY OnArcAt(const TJwwEntArc& a, double t) { return OnArcAt(a, t, Tilt(a.ka)); }

TPointXY OnArcAt(const TJwwEntArc& a, double t, CosSin k) {
  const CosSin p = AtAngle(t);
  const double u = p.c * a.cr, w = p.s * (a.cr * a.he);
  return {a.cx + (0 + u * k.c - w * k.s), a.cy + (0 + u * k.s + w * k.c)};
}

namespace {
// Carlson's R_F(x, y, z) and R_D(x, y, z), for x, y >= 0 and z > 0, by
// duplication: each step moves the three arguments towards their mean
// fourfold, until the remaining spread leaves a series of the fifth order
// exact to the last bits (Carlson 1995, with r = 1e-16: the factors 388 and
// 584 are (3 r)^(-1/6) and (r / 4)^(-1/6)).
struct Carlson {
  double rf, rd;
};
Carlson RfRd(double x, double y, double z) {
  const double a0f = (x + y + z) / 3, a0d = (x + y + 3 * z) / 5;
  const double spreadF = 388 * std::max({std::fabs(a0f - x), std::fabs(a0f - y), std::fabs(a0f - z)});
  const double spreadD = 584 * std::max({std::fabs(a0d - x), std::fabs(a0d - y), std::fabs(a0d - z)});
  double af = a0f, ad = a0d, f = 1, sum = 0;  // f = 4^-m after m steps
  const double x0 = x, y0 = y;
  for (int m = 0; m < 60 && !(f * spreadF < af && f * spreadD < ad); ++m) {
    const double sx = std::sqrt(x), sy = std::sqrt(y), sz = std::sqrt(z);
    const double lambda = sx * sy + sy * sz + sz * sx;
    sum += f / (sz * (z + lambda));
    f /= 4;
    x = (x + lambda) / 4, y = (y + lambda) / 4, z = (z + lambda) / 4;
    af = (af + lambda) / 4, ad = (ad + lambda) / 4;
  }
  double X = f * (a0f - x0) / af, Y = f * (a0f - y0) / af, Z = -X - Y;
  double e2 = X * Y - Z * Z, e3 = X * Y * Z;
  const double rf =
      (1 - e2 / 10 + e3 / 14 + e2 * e2 / 24 - 3 * e2 * e3 / 44) / std::sqrt(af);
  X = f * (a0d - x0) / ad, Y = f * (a0d - y0) / ad, Z = -(X + Y) / 3;
  e2 = X * Y - 6 * Z * Z, e3 = (3 * X * Y - 8 * Z * Z) * Z;
  const double e4 = 3 * (X * Y - Z * Z) * Z * Z, e5 = X * Y * Z * Z * Z;
  const double series = 1 - 3 * e2 / 14 + e3 / 6 + 9 * e2 * e2 / 88 - 3 * e4 / 22 -
                        9 * e2 * e3 / 52 + 3 * e5 / 26;
  return {rf, f * series / (ad * std::sqrt(ad)) + 3 * sum};
}
}  // namespace

// A flatness below 2^-27 differs from a segment walked there and back by
// less than the rounding of the length (its square and its logarithm).
EllipseLength::EllipseLength(const TJwwEntArc& a) {
  const double along = std::fabs(a.cr), across = std::fabs(a.cr * a.he);
  turned_ = across > along;
  q_ = std::max(along, across);
  const double r = std::min(along, across) / q_;
  segment_ = !(r >= 0x1p-27);
  r2_ = segment_ ? 0 : r * r;
  half_ = 2 * Piece(1, 0);
}

// The length from the end of the long axis to the point at the angle u whose
// sine and cosine are s and c, c >= 0: q times the integral of
// sqrt(sin^2 + r^2 cos^2) from 0 to u.
double EllipseLength::Piece(double s, double c) const {
  if (segment_) return q_ * (s * s / (1 + c)) * (s < 0 ? -1 : 1);  // q (1 - cos u), signed
  const double x = r2_ * c * c;
  const Carlson k = RfRd(x, x + s * s, r2_);
  return q_ * (r2_ * s * k.rf + (1 - r2_) * r2_ * s * s * s * k.rd / 3);
}

EllipseLength::At EllipseLength::Measure(double t) const {
  const double sint = ExactSin(t), cost = ExactCos(t);
  // u = t less a quarter turn when the long axis lies there, then less the
  // m half turns that bring it within a quarter turn of 0: cos u >= 0.
  double s = turned_ ? -cost : sint, c = turned_ ? sint : cost;
  double m = std::nearbyint((turned_ ? t - kPi / 2 : t) / kPi);
  if (std::fmod(m, 2) != 0) s = -s, c = -c;
  if (c < 0) m += s > 0 ? 1 : -1, s = -s, c = -c;
  return {m * half_ + Piece(s, c), q_ * std::sqrt(s * s + r2_ * c * c)};
}

namespace {
uint64_t CellKey(int64_t a, int64_t b) {
  return static_cast<uint64_t>(a) * 0x9E3779B97F4A7C15ull ^ static_cast<uint64_t>(b);
}
size_t Slot(uint64_t key, size_t size) {
  return static_cast<size_t>((key * 0xD6E8FEB86659FD93ull) >> 20) & (size - 1);
}
}  // namespace

void OnceEach::Put(uint64_t key, uint32_t point) {
  size_t k = Slot(key, keys_.size());
  while (points_[k] != kEmpty) k = (k + 1) & (keys_.size() - 1);
  keys_[k] = key, points_[k] = point;
}

namespace {
// The cell of a coordinate. Beyond 2^52 cells a coordinate has no fraction of
// a cell left: its own cell stands for it.
int64_t Cell(double v) {
  const double q = std::floor(v / kSamePoint);
  return static_cast<int64_t>(std::clamp(q, -4.0e15, 4.0e15));
}
}  // namespace

bool OnceEach::Seen(int64_t cx, int64_t cy, double x, double y) const {
  if (keys_.empty()) return false;
  for (int64_t dx = -1; dx <= 1; ++dx) {
    for (int64_t dy = -1; dy <= 1; ++dy) {
      const uint64_t key = CellKey(cx + dx, cy + dy);
      for (size_t k = Slot(key, keys_.size()); points_[k] != kEmpty;
           k = (k + 1) & (keys_.size() - 1)) {
        const TPointXY& p = out_[points_[k]];
        if (keys_[k] == key && Dist2(p.x, p.y, x, y) < kSamePoint * kSamePoint) return true;
      }
    }
  }
  return false;
}

bool OnceEach::Keep(double x, double y) {
  if (out_.size() >= cap_) {
    over_ = true;
    return false;
  }
  out_.push_back({x, y});
  return true;
}

void OnceEach::Table(size_t from) {
  for (size_t p = std::max(from, tabled_); p < out_.size(); ++p) {
    if (2 * (used_ + 1) > keys_.size()) {  // at most half full, so that probes stay short
      std::vector<uint64_t> keys = std::move(keys_);
      std::vector<uint32_t> points = std::move(points_);
      keys_.assign(std::max<size_t>(64, 2 * keys.size()), 0);
      points_.assign(keys_.size(), kEmpty);
      for (size_t k = 0; k < keys.size(); ++k) {
        if (points[k] != kEmpty) Put(keys[k], points[k]);
      }
    }
    Put(CellKey(Cell(out_[p].x), Cell(out_[p].y)), static_cast<uint32_t>(p));
    ++used_;
  }
  tabled_ = out_.size();
}

bool OnceEach::Add(double x, double y) {
  if (!Finite(x) || !Finite(y)) return false;
  Table(first_);
  return !Seen(Cell(x), Cell(y), x, y) && Keep(x, y);
}

bool OnceEach::AddInXOrder(double x, double y) {
  if (!Finite(x) || !Finite(y)) return false;
  // Measured as a difference: far out, x less kSamePoint rounds back to x.
  while (near_ < out_.size() && x - out_[near_].x >= kSamePoint) ++near_;
  if (out_.size() - near_ <= 16) {
    for (size_t k = near_; k < out_.size(); ++k) {
      if (Dist2(out_[k].x, out_[k].y, x, y) < kSamePoint * kSamePoint) return false;
    }
  } else {
    Table(near_);  // the points left of near_ are never looked at again
    if (Seen(Cell(x), Cell(y), x, y)) return false;
  }
  return Keep(x, y);
}

}  // namespace pointgeo

namespace {

bool Full(const TPoints& out) { return out.size() >= kMaxPoints; }
// A division point; false when the cap kept it out.
bool Put(TPoints& out, double x, double y) {
  if (Full(out)) return false;
  out.push_back({x, y});
  return true;
}

// The point of an arc at the parameter t as the division of one figure
// places it: cr cos t and cr he sin t, turned by the tilt.
TPointXY OnArc(const TJwwEntArc& a, double t) {
  const double u = ExactCos(t) * a.cr;
  const double w = ExactSin(t) * (a.cr * a.he);
  double ru, rw;
  RotatePoint(ru, rw, u, w, 0, 0, a.ka);
  return {a.cx + ru, a.cy + rw};
}

}  // namespace

// --- division -----------------------------------------------------------------

bool DivideLine(const TJwwEntLine& l, int32_t n, TPoints& out) {
  const double s = Dist2P(l.x1, l.y1, l.x2, l.y2) / n;
  const double a = DirAngle(l.x2 - l.x1, l.y2 - l.y1);
  double x = l.x1, y = l.y1;
  for (int32_t k = 1; k < n; ++k) {
    x = ExactCos(a) * s + x;
    y = ExactSin(a) * s + y;
    if (!Put(out, x, y)) return true;
  }
  return false;
}

bool DivideCircle(const TJwwEntCircle& c, int32_t n, TPoints& out) {
  double t = 0;
  for (int32_t k = 0; k < n; ++k) {
    if (!Put(out, ExactCos(t) * c.cr + c.cx, ExactSin(t) * c.cr + c.cy)) return true;
    t = t + 2 * kPi / n;
  }
  return false;
}

bool DivideArc(const TJwwEntArc& a, int32_t n, TPoints& out) {
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
    if (!Put(out, p.x, p.y)) return true;
  }
  return false;
}

namespace {
bool DivideEllipse(const TJwwEntArc& e, int32_t n, TPoints& out);
}  // namespace

bool DivideAll(const TJGdata& g, int32_t n, TPoints& out) {
  // Each point from the figure's start by k / n of the way, not by adding
  // steps, so that no rounding gathers along the figure.
  bool over = false;
  auto put = [&](double x, double y) {
    if (!Put(out, x, y)) over = true;
  };
  g.ForEachEnt([&](TJwwKind, const auto& e) {
    using R = std::decay_t<decltype(e)>;
    if (over) return;
    if constexpr (std::is_same_v<R, TJwwEntLine>) {
      for (int32_t k = 1; k < n && !over; ++k) {
        const double f = static_cast<double>(k) / n;
        put(e.x1 + (e.x2 - e.x1) * f, e.y1 + (e.y2 - e.y1) * f);
      }
    } else if constexpr (std::is_same_v<R, TJwwEntCircle>) {
      for (int32_t k = 0; k < n && !over; ++k) {
        const CosSin p = AtAngle(2 * kPi * k / n);
        put(p.c * e.cr + e.cx, p.s * e.cr + e.cy);
      }
    } else if constexpr (std::is_same_v<R, TJwwEntArc>) {
      if (std::fabs(e.he) != 1) {  // a circle's equal angles are its equal lengths
        over = DivideEllipse(e, n, out);
        return;
      }
      const double span = SpanDeg(e);
      const double t0 = Closed(span) ? 0 : e.sa / 180 * kPi, whole = span / 180 * kPi;
      for (int32_t k = Closed(span) ? 0 : 1; k < n && !over; ++k) {
        const TPointXY p = OnArcAt(e, t0 + whole * k / n);
        put(p.x, p.y);
      }
    }
  });
  return over;
}

// --- points at a pitch ----------------------------------------------------------

namespace pointgeo {

// The speed of an arc's point along its parameter: the length of its
// derivative, which the tilt does not change.
double Speed(const TJwwEntArc& a, double t) {
  const CosSin p = AtAngle(t);
  return std::fabs(a.cr) * std::sqrt(p.s * p.s + a.he * a.he * p.c * p.c);
}

double ArcLength(const TJwwEntArc& a, double t0, double t1, double /*tol*/, int /*depth*/) {
  const EllipseLength len(a);
  return std::fabs(len.Measure(t1).length - len.Measure(t0).length);
}

}  // namespace pointgeo

namespace {

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

// A circle, or an arc of one: the angle turns by s / r from t0, either way;
// an arc's far end is its end angle t1 itself.
struct RoundWalk : Walk {
  double cx, cy, r, t0, t1, dir;
  RoundWalk(double cx_, double cy_, double r_, double t0_, double t1_, double dir_, double len,
            bool cl)
      : cx(cx_), cy(cy_), r(r_), t0(t0_), t1(t1_), dir(dir_) {
    length = len;
    closed = cl;
  }
  TPointXY At(double s) override {
    const CosSin p = AtAngle(!closed && s >= length ? t1 : t0 + dir * (s / r));
    return {cx + r * p.c, cy + r * p.s};
  }
};

// An arc of an ellipse: the parameter for a length is found by Newton's
// method on the length, kept inside a bracket that halves when a step leaves
// it, from the last point found.
struct EllipseWalk : Walk {
  const TJwwEntArc& a;
  CosSin tilt;
  EllipseLength len;
  double t0, t1, dir;  // from t0 towards t1
  double base;         // len's measure at t0
  double lastT, lastS = 0, lastV;  // the last point found: its parameter, length and speed
  EllipseWalk(const TJwwEntArc& arc, double from, double to, bool cl)
      : a(arc), tilt(Tilt(arc.ka)), len(arc), t0(from), t1(to), dir(to >= from ? 1 : -1), lastT(from) {
    const EllipseLength::At m0 = len.Measure(t0);
    base = m0.length, lastV = m0.speed;
    length = ArcLength(a, t0, t1, 0);
    closed = cl;
  }
  TPointXY At(double s) override {
    if (s <= 0) return OnArcAt(a, t0, tilt);
    if (s >= length) return OnArcAt(a, t1, tilt);
    if (s < lastS) {
      lastT = t0, lastS = 0;
      lastV = len.Measure(t0).speed;
    }
    double lo = lastT, hi = t1;  // along dir: S(lo) <= s <= S(hi)
    double t = lastT + dir * (s - lastS) / std::max(lastV, 1e-300), v = lastV;
    for (int k = 0; k < 200; ++k) {
      // (A step below the last bits of t leaves it at lo, which is measured.)
      if (!((t - lo) * dir >= 0 && (hi - t) * dir > 0)) t = (lo + hi) / 2;
      const EllipseLength::At m = len.Measure(t);
      const double miss = dir * (m.length - base) - s;
      v = m.speed;
      if (std::fabs(miss) <= 1e-12 * length) {
        // Newton's step from here lands within the rounding of the length.
        const double next = v > 0 ? t - dir * miss / v : t;
        if ((next - lo) * dir > 0 && (hi - next) * dir > 0) t = next;
        break;
      }
      if (miss < 0) lo = t; else hi = t;
      // The bracket down to the last bits of t: no closer point exists.
      if (std::fabs(hi - lo) <= 4 * std::numeric_limits<double>::epsilon() * std::fabs(t)) break;
      t = v > 0 ? t - dir * miss / v : (lo + hi) / 2;
    }
    lastS = s, lastT = t, lastV = v;
    return OnArcAt(a, t, tilt);
  }
};

// An ellipse, or an arc of one, in n parts of equal length along it: a closed
// one from the end of its first axis, n points round it. A point that falls
// on an end of an axis lies there exactly, as symmetry puts it; a figure
// whose size or length is not finite gets no points.
bool DivideEllipse(const TJwwEntArc& e, int32_t n, TPoints& out) {
  if (!ArcFinite(e) || !Finite(e.cr * e.cr * (1 + e.he * e.he))) return false;
  const double span = SpanDeg(e);
  const bool closed = Closed(span);
  const double t0 = closed ? 0 : std::fmod(e.sa, 360.0) / 180 * kPi, t1 = t0 + span / 180 * kPi;
  EllipseWalk w(e, t0, t1, closed);
  if (!Finite(w.length) || !(w.length > 0)) return false;
  constexpr double kQuarter = kPi / 2;
  for (int32_t k = closed ? 0 : 1; k < n; ++k) {
    TPointXY p = w.At(w.length * k / n);
    // Nearer an end of an axis than the walk measures: that end. Between
    // the two the speed only grows or only falls, so the faster end bounds
    // the length between them; the speed at the end alone would be 0 at the
    // turn of a flat ellipse, and take in points far from it.
    const double q = std::nearbyint(w.lastT / kQuarter) * kQuarter;
    const double fastest = std::max(Speed(e, q), w.lastV);
    if (std::fabs(w.lastT - q) * fastest <= 1e-11 * w.length) p = OnArcAt(e, q, w.tilt);
    if (!Finite(p.x) || !Finite(p.y)) return false;
    if (!Put(out, p.x, p.y)) return true;
  }
  return false;
}

// The points every pitch along a walked figure, ends included, each once
// among all placed; false when the cap stopped it. A point that is not
// finite ends the figure.
bool PitchAlong(Walk& w, double pitch, bool split, OnceEach& once) {
  const double len = w.length;
  if (!Finite(len) || len <= kSamePoint) return true;
  // Whole pitches that fit, allowing what lies below the drawing's resolution.
  const double fit = std::floor((len + kSamePoint) / pitch);
  const double n = std::min(fit, static_cast<double>(kMaxPoints) + 1);
  bool going = true;
  auto put = [&](double s) {
    // A point within kSamePoint of an end is that end.
    if (s <= kSamePoint) s = 0;
    if (s >= len - kSamePoint) s = len;
    const TPointXY p = w.At(s);
    if (!Finite(p.x) || !Finite(p.y)) going = false;
    if (going) once.Add(p.x, p.y);
    going = going && !once.Over();
  };
  if (w.closed) {  // back at the start after one turn: the remainder closes it
    for (double k = 0; k <= n && going; ++k) {
      if (k * pitch < len - kSamePoint) put(k * pitch);
    }
    return going;
  }
  const double rest = len - fit * pitch;
  if (split && rest > 2 * kSamePoint) {
    // The remainder halved at both ends; a figure shorter than one pitch
    // gets its two ends alone.
    put(0);
    for (double k = 0; k <= n && fit >= 1 && going; ++k) put(rest / 2 + k * pitch);
    if (going) put(len);
    return going;
  }
  for (double k = 0; k <= n && going; ++k) put(k * pitch);
  if (rest > kSamePoint && going) put(len);
  return going;
}

}  // namespace

bool PitchPoints(const TJGdata& g, double pitch, bool split, const TJwwIndPoint& from,
                 TPoints& out) {
  if (!(pitch > 0) || !Finite(pitch)) return false;
  OnceEach once(out);
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
    if (once.Over()) return;
    if constexpr (std::is_same_v<R, TJwwEntLine>) {
      if (!Finite(e.x1) || !Finite(e.y1) || !Finite(e.x2) || !Finite(e.y2)) return;
      LineWalk w = firstNearer({e.x1, e.y1}, {e.x2, e.y2}) ? LineWalk(e.x1, e.y1, e.x2, e.y2)
                                                           : LineWalk(e.x2, e.y2, e.x1, e.y1);
      PitchAlong(w, pitch, split, once);
    } else if constexpr (std::is_same_v<R, TJwwEntCircle>) {
      if (!Finite(e.cx) || !Finite(e.cy) || !Finite(e.cr) || e.cr <= 0) return;
      const double t0 = towards(e.cx, e.cy);
      RoundWalk w(e.cx, e.cy, e.cr, t0, t0, 1, 2 * kPi * e.cr, true);
      PitchAlong(w, pitch, split, once);
    } else if constexpr (std::is_same_v<R, TJwwEntArc>) {
      // A size whose square overflows has no length to walk.
      if (!ArcFinite(e) || e.he == 0 || !Finite(e.cr * e.cr * (1 + e.he * e.he))) return;
      const double span = SpanDeg(e);
      // The start angle less whole turns: a parameter near 0 keeps its precision.
      const double sa = std::fmod(e.sa, 360.0) / 180 * kPi, ea = sa + span / 180 * kPi;
      if (Closed(span)) {
        // From the parameter whose direction, undone of tilt and flatness,
        // points at the indicated point; counter-clockwise.
        double t = 0;
        if (from.flg) {
          double u, v;
          RotatePoint(u, v, from.x - e.cx, from.y - e.cy, 0, 0, -std::fmod(e.ka, 360.0));
          if (u != 0 || v != 0) t = ExactAtan2(v / e.he, u);
        }
        const double dir = e.he > 0 ? 1 : -1;  // a negative flatness mirrors the turn
        EllipseWalk w(e, t, t + dir * 2 * kPi, true);
        PitchAlong(w, pitch, split, once);
        return;
      }
      const bool fromStart = firstNearer(OnArcAt(e, sa), OnArcAt(e, ea));
      if (e.he == 1) {
        const double r = std::fabs(e.cr), tilt = std::fmod(e.ka, 360.0) / 180 * kPi;
        RoundWalk w(e.cx, e.cy, r, (fromStart ? sa : ea) + tilt, (fromStart ? ea : sa) + tilt,
                    fromStart ? 1 : -1, r * (span / 180 * kPi), false);
        PitchAlong(w, pitch, split, once);
      } else {
        EllipseWalk w(e, fromStart ? sa : ea, fromStart ? ea : sa, false);
        PitchAlong(w, pitch, split, once);
      }
    }
  });
  return once.Over();
}

// --- end points and centres -------------------------------------------------------

bool EndAndCentrePoints(const TJGdata& g, int32_t what, TPoints& out) {
  const bool ends = what != 2, centres = what != 1;
  OnceEach once(out);
  g.ForEachEnt([&](TJwwKind, const auto& e) {
    using R = std::decay_t<decltype(e)>;
    if (once.Over()) return;
    if constexpr (std::is_same_v<R, TJwwEntLine>) {
      if (ends) once.Add(e.x1, e.y1), once.Add(e.x2, e.y2);
    } else if constexpr (std::is_same_v<R, TJwwEntCircle>) {
      if (centres) once.Add(e.cx, e.cy);
    } else if constexpr (std::is_same_v<R, TJwwEntArc>) {
      if (!ArcFinite(e)) return;
      const double span = SpanDeg(e);
      if (ends && !Closed(span)) {
        const double sa = e.sa / 180 * kPi;
        const TPointXY p = OnArcAt(e, sa), q = OnArcAt(e, sa + span / 180 * kPi);
        once.Add(p.x, p.y), once.Add(q.x, q.y);
      }
      if (centres) once.Add(e.cx, e.cy);
    }
  });
  return once.Over();
}
