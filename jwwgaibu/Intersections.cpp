// Where the selected figures cross or touch (IntersectionPoints), in x order so that
// the search can stop at the point cap, with a cost bounded by what is drawn.
//
// The search runs over a grid, column after column from the left. A figure
// of a few cells lies in the cells it passes (a line in those along it), and
// two such figures are tried in every cell they share, keeping only the
// points inside that cell: each point is found once, in its own cell. A
// circle or ellipse spanning many cells is tried once against every figure
// whose box meets its box, in the column where the later of the two begins.
// After a column, no later search can find a point left of it: those points
// are placed, and the search stops once the cap is passed.
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "jwwgaibu/PointGeometry.h"
#include "myfunc/MyFunc.h"

using namespace pointgeo;

namespace {

// A circle, an ellipse or an arc of either: the point at the parameter t is
// c + U cos t + V sin t, for t from t0 over span (2 pi: closed). Its frame
// takes the centre away, undoes the tilt and divides out the flatness, so
// that the curve becomes the circle of radius rho about the origin.
struct Curve {
  bool round = false;     // a circle or an arc of one
  double cx = 0, cy = 0;  // centre
  double ux = 0, uy = 0, vx = 0, vy = 0;
  double t0 = 0, span = 0;
  double rho = 0, he = 1;  // radius in the frame; flatness
  CosSin tilt;             // of the frame
  double a = 0, b = 0;     // semi-axes: a along the tilt, b (he a) across
  // The curve cut into at most four pieces of at most a quarter turn each,
  // each read by s = tan of a quarter of the angle from its middle: the
  // cosine and sine of each middle, and the largest s.
  int pieces = 0;
  double mc[4] = {}, ms[4] = {}, sMax = 0;
  // The directions of the arc's ends in the frame, and the curve's speed
  // along its parameter there.
  double sc = 1, ss = 0, ec = 1, es = 0, startSpeed = 0, endSpeed = 0;
};

enum Kind : uint8_t { kSegment, kRound, kEllipse };

// A selected figure as the search sees it.
struct Figure {
  const TJwwEntLine* line = nullptr;
  uint32_t curve = 0;  // its index among the curves
  Kind kind = kSegment;
  // A curve of many cells, tried once against every figure it may meet.
  bool big = false;
  double bx0 = 0, by0 = 0, bx1 = 0, by1 = 0;  // box, with kSamePoint round it
  int32_t firstCol = 0, lastCol = 0;
};

TPointXY CurveAt(const Curve& c, double cosT, double sinT) {
  if (c.round) return {c.cx + c.rho * cosT, c.cy + c.rho * sinT};
  // As the arc's own points are placed: cr cos t and cr he sin t, turned.
  const double u = cosT * c.a, w = sinT * c.b;
  return {c.cx + (0 + u * c.tilt.c - w * c.tilt.s), c.cy + (0 + u * c.tilt.s + w * c.tilt.c)};
}

// A point in a curve's frame.
TPointXY Frame(const Curve& c, double x, double y) {
  const double dx = x - c.cx, dy = y - c.cy;
  if (c.round) return {dx, dy};
  const double u = dx * c.tilt.c + dy * c.tilt.s, v = dy * c.tilt.c - dx * c.tilt.s;
  return {u, v / c.he};
}

// How far (x, y) lies from the whole curve, to first order: |F| / |grad F|
// for F = |frame point|^2 - rho^2.
double Off(const Curve& c, double x, double y) {
  const TPointXY p = Frame(c, x, y);
  const double f = p.x * p.x + p.y * p.y - c.rho * c.rho;
  const double grad = 2 * std::sqrt(p.x * p.x + (p.y / c.he) * (p.y / c.he));
  return grad > 0 ? std::fabs(f) / grad : std::fabs(f);
}

// Whether (x, y), on or beside the whole curve, lies on its arc: its
// direction in the frame between those of the ends, or beyond an end by at
// most kSamePoint along the curve. Signs of cross products decide, so that
// the answer is the same on every system.
bool OnCurve(const Curve& c, double x, double y) {
  if (c.span >= 2 * kPi) return true;
  const TPointXY p = Frame(c, x, y);
  const double fromStart = c.sc * p.y - c.ss * p.x;  // |p| sin of the angle past the start
  const double toEnd = c.ec * p.y - c.es * p.x;      // |p| sin of the angle past the end
  const bool within = c.span <= kPi ? fromStart >= 0 && toEnd <= 0 : fromStart >= 0 || toEnd <= 0;
  if (within) return true;
  // Beyond an end by a small angle: its sine times the speed there.
  const double r = std::sqrt(p.x * p.x + p.y * p.y);
  return (fromStart < 0 && c.sc * p.x + c.ss * p.y > 0 &&
          -fromStart * c.startSpeed <= kSamePoint * r) ||
         (toEnd > 0 && c.ec * p.x + c.es * p.y > 0 && toEnd * c.endSpeed <= kSamePoint * r);
}

// --- the grid ------------------------------------------------------------------

// Columns and rows of equal cells over where most figures lie; figures beyond
// fall into the edge cells. In eighths of coordinates.
struct Grid {
  double x0 = 0, y0 = 0, w = 1, h = 1;
  int32_t cols = 1, rows = 1;
  double perW = 1, perH = 1;  // cols / w and rows / h
  int32_t Col(double x) const { return Index(x * kG, x0, perW, cols); }
  int32_t Row(double y) const { return Index(y * kG, y0, perH, rows); }
  // Where a column or row starts and ends, in coordinates of the drawing.
  double ColStart(int32_t c) const { return c <= 0 ? -INFINITY : (x0 + w * c / cols) / kG; }
  double ColEnd(int32_t c) const {
    return c + 1 >= cols ? INFINITY : (x0 + w * (c + 1) / cols) / kG;
  }
  double RowStart(int32_t r) const { return r <= 0 ? -INFINITY : (y0 + h * r / rows) / kG; }
  double RowEnd(int32_t r) const {
    return r + 1 >= rows ? INFINITY : (y0 + h * (r + 1) / rows) / kG;
  }
  static constexpr double kG = 0.125;

 private:
  static int32_t Index(double v, double at, double perSize, int32_t n) {
    const double q = (v - at) * perSize;
    if (!(q > 0)) return 0;  // NaN too
    return q >= n - 1 ? n - 1 : static_cast<int32_t>(q);
  }
};

// Points found and not yet placed. A pair tried in one cell keeps the points
// inside that cell; one tried once keeps all. The latest point is not taken
// twice: many figures through one point give it once per cell, not per pair.
// Once more points are waiting than can be placed, only the first
// 2 kMaxPoints of them (each once) are kept, and a later point beyond the
// last of those is never placed: memory stays bounded however many cross.
class Found {
 public:
  explicit Found(const Grid& grid) : grid_(grid) {}
  void InCell(int32_t col, int32_t row) {
    col_ = col, row_ = row;
    x0_ = grid_.ColStart(col), x1_ = grid_.ColEnd(col);
    y0_ = grid_.RowStart(row), y1_ = grid_.RowEnd(row);
  }
  void Anywhere() {
    col_ = -1;
    x0_ = y0_ = -INFINITY, x1_ = y1_ = INFINITY;
  }
  struct Bounds {
    double x0, x1, y0, y1;
  };
  Bounds Box() const { return {x0_, x1_, y0_, y1_}; }
  // Whether a point near (x, y) may still be kept: it lies within a few
  // kSamePoint of the cell.
  bool Near(double x, double y) const {
    const double m = 4 * kSamePoint + 1e-12 * (std::fabs(x) + std::fabs(y));
    return x >= x0_ - m && x <= x1_ + m && y >= y0_ - m && y <= y1_ + m;
  }
  void Add(double x, double y) {
    if (any_ && std::fabs(last_.x - x) < kSamePoint && std::fabs(last_.y - y) < kSamePoint &&
        Dist2(last_.x, last_.y, x, y) < kSamePoint * kSamePoint) {
      return;
    }
    if (!Finite(x) || !Finite(y)) return;
    if (col_ >= 0 && (grid_.Col(x) != col_ || grid_.Row(y) != row_)) return;
    const TPointXY p{x, y};
    if (bounded_ && Later()(p, bound_)) return;
    any_ = true, last_ = p;
    heap_.push_back(p);
    std::push_heap(heap_.begin(), heap_.end(), Later());
    if (heap_.size() > 8 * kMaxPoints) Compact();
  }
  // The points left of x, in x order, then y.
  template <class F>
  void PlaceLeftOf(double x, F place) {
    while (!heap_.empty() && heap_.front().x < x) {
      place(heap_.front());
      std::pop_heap(heap_.begin(), heap_.end(), Later());
      heap_.pop_back();
    }
  }

 private:
  struct Later {
    bool operator()(const TPointXY& p, const TPointXY& q) const {
      return p.x > q.x || (p.x == q.x && p.y > q.y);
    }
  };
  void Compact() {
    std::sort(heap_.begin(), heap_.end(),
              [](const TPointXY& p, const TPointXY& q) { return Later()(q, p); });
    TPoints kept;
    OnceEach once(kept, 2 * kMaxPoints);
    for (const TPointXY& p : heap_) {
      once.Add(p.x, p.y);
      if (once.Over()) break;
    }
    if (once.Over()) bounded_ = true, bound_ = kept.back();
    heap_ = std::move(kept);
    std::make_heap(heap_.begin(), heap_.end(), Later());
  }
  const Grid& grid_;
  int32_t col_ = -1, row_ = 0;
  double x0_ = -INFINITY, x1_ = INFINITY, y0_ = -INFINITY, y1_ = INFINITY;
  bool any_ = false, bounded_ = false;
  TPointXY last_, bound_;
  std::vector<TPointXY> heap_;
};

// --- pairs -------------------------------------------------------------------------

// Two lines, each anything with the ends x1, y1, x2, y2.
template <class L>
void SegmentSegment(const L& f, const L& g, bool overlapEnds, Found& found) {
  const double rx = f.x2 - f.x1, ry = f.y2 - f.y1, sx = g.x2 - g.x1, sy = g.y2 - g.y1;
  const double qx = g.x1 - f.x1, qy = g.y1 - f.y1;
  const double cross = rx * sy - ry * sx;
  const double lr2 = rx * rx + ry * ry, ls2 = sx * sx + sy * sy;
  constexpr double e2 = kSamePoint * kSamePoint;
  // Lines on one straight lie within kSamePoint of each other's straight: at
  // an angle whose cross product is at most about 2 kSamePoint times the
  // longer length.
  if (cross * cross <= 4.1 * e2 * std::max(lr2, ls2)) {
    auto onStraight = [&](double px, double py, double ax, double ay, double dx, double dy,
                          double d2) {
      const double c = (px - ax) * dy - (py - ay) * dx;
      return c * c <= e2 * d2;
    };
    const bool gOnF = onStraight(g.x1, g.y1, f.x1, f.y1, rx, ry, lr2) &&
                      onStraight(g.x2, g.y2, f.x1, f.y1, rx, ry, lr2);
    const bool fOnG = onStraight(f.x1, f.y1, g.x1, g.y1, sx, sy, ls2) &&
                      onStraight(f.x2, f.y2, g.x1, g.y1, sx, sy, ls2);
    if (gOnF || fOnG) {
      // A joint, not an intersection; on request the ends of the overlap,
      // measured along the longer line.
      if (!overlapEnds) return;
      const L& a = lr2 >= ls2 ? f : g;
      const L& b = lr2 >= ls2 ? g : f;
      const double ax = a.x2 - a.x1, ay = a.y2 - a.y1, l2 = std::max(lr2, ls2);
      const double t0 = ((b.x1 - a.x1) * ax + (b.y1 - a.y1) * ay) / l2;
      const double t1 = ((b.x2 - a.x1) * ax + (b.y2 - a.y1) * ay) / l2;
      const double slack = kSamePoint / std::sqrt(l2);
      const double lo = std::max(0.0, std::min(t0, t1)), hi = std::min(1.0, std::max(t0, t1));
      if (lo > hi + slack) return;
      for (double t : {lo, std::max(lo, hi)}) {
        // The ends as they stand in the file where they are ends of either line.
        if (t == 0)
          found.Add(a.x1, a.y1);
        else if (t == 1)
          found.Add(a.x2, a.y2);
        else if (std::fabs(t - t0) <= slack)
          found.Add(b.x1, b.y1);
        else if (std::fabs(t - t1) <= slack)
          found.Add(b.x2, b.y2);
        else
          found.Add(a.x1 + ax * t, a.y1 + ay * t);
      }
      return;
    }
    if (cross == 0) return;  // parallel, apart
  }
  const double t = (qx * sy - qy * sx) / cross, u = (qx * ry - qy * rx) / cross;
  // Far from both segments: the common case, decided without a square root.
  if ((t < -0.5 || t > 1.5 || u < -0.5 || u > 1.5) && lr2 > 16 * e2 && ls2 > 16 * e2) return;
  if (!found.Near(f.x1 + rx * t, f.y1 + ry * t)) return;  // another cell's point
  // Well inside both (their slack at the ends below 1e-3): no end to weigh.
  const bool inside =
      t > 1e-3 && t < 1 - 1e-3 && u > 1e-3 && u < 1 - 1e-3 && lr2 > 1e-6 && ls2 > 1e-6;
  if (!inside) {
    const double st = kSamePoint / std::sqrt(lr2), su = kSamePoint / std::sqrt(ls2);
    if (t < -st || t > 1 + st || u < -su || u > 1 + su) return;
    // An end that touches the other figure is that end exactly.
    if (t <= st) return found.Add(f.x1, f.y1);
    if (t >= 1 - st) return found.Add(f.x2, f.y2);
    if (u <= su) return found.Add(g.x1, g.y1);
    if (u >= 1 - su) return found.Add(g.x2, g.y2);
  }
  // A line along an axis holds its coordinate exactly, as in a grid of axis lines.
  double x = f.x1 + rx * t, y = f.y1 + ry * t;
  if (rx == 0) x = f.x1;
  if (sx == 0) x = g.x1;
  if (ry == 0) y = f.y1;
  if (sy == 0) y = g.y1;
  found.Add(x, y);
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

void SegmentCurve(const TJwwEntLine& s, const Curve& c, Found& found) {
  double t[2];
  const TPointXY p = Frame(c, s.x1, s.y1), q = Frame(c, s.x2, s.y2);
  const int n = SegmentCircle(p.x, p.y, q.x - p.x, q.y - p.y, c.rho, t);
  for (int k = 0; k < n; ++k) {
    const double x = t[k] == 0 ? s.x1 : t[k] == 1 ? s.x2 : s.x1 + (s.x2 - s.x1) * t[k];
    const double y = t[k] == 0 ? s.y1 : t[k] == 1 ? s.y2 : s.y1 + (s.y2 - s.y1) * t[k];
    if (OnCurve(c, x, y)) found.Add(x, y);
  }
}

// Where two figures lie on one curve: a joint; on request the ends of each
// arc that lie on the other.
void OneCurve(const Curve& f, const Curve& g, bool overlapEnds, Found& found) {
  if (!overlapEnds) return;
  for (const Curve* a : {&f, &g}) {
    const Curve& b = a == &f ? g : f;
    if (a->span >= 2 * kPi) continue;
    for (double t : {a->t0, a->t0 + a->span}) {
      const CosSin k = AtAngle(t);
      const TPointXY p = CurveAt(*a, k.c, k.s);
      if (OnCurve(b, p.x, p.y)) found.Add(p.x, p.y);
    }
  }
}

void RoundRound(const Curve& f, const Curve& g, bool overlapEnds, Found& found) {
  const double dx = g.cx - f.cx, dy = g.cy - f.cy, d = std::sqrt(dx * dx + dy * dy);
  if (d <= kSamePoint) {
    if (std::fabs(f.rho - g.rho) <= kSamePoint) OneCurve(f, g, overlapEnds, found);
    return;
  }
  const double outer = f.rho + g.rho, inner = std::fabs(f.rho - g.rho);
  if (d > outer + kSamePoint || d < inner - kSamePoint) return;
  const double a = (d * d + f.rho * f.rho - g.rho * g.rho) / (2 * d);
  // Circles that meet within kSamePoint of touching touch: one point on the
  // line of the centres, not two a hair apart.
  const bool touch = std::fabs(d - outer) <= kSamePoint || std::fabs(d - inner) <= kSamePoint;
  const double h = touch ? 0 : std::sqrt(std::max(0.0, f.rho * f.rho - a * a));
  const double mx = f.cx + dx * a / d, my = f.cy + dy * a / d;
  for (double sign : {1.0, -1.0}) {
    const double x = mx - sign * dy * h / d, y = my + sign * dx * h / d;
    if (OnCurve(f, x, y) && OnCurve(g, x, y)) found.Add(x, y);
    if (h == 0) break;
  }
}

// --- two curves, one of them an ellipse ----------------------------------------------

// A polynomial of degree at most 4: c[0] + c[1] s + ... + c[4] s^4.
struct Poly {
  double c[5] = {};
  int deg = 0;
  double operator()(double s) const {
    double v = c[deg];
    for (int k = deg - 1; k >= 0; --k) v = v * s + c[k];
    return v;
  }
  Poly Derivative() const {
    Poly d;
    d.deg = std::max(deg - 1, 0);
    for (int k = 1; k <= deg; ++k) d.c[k - 1] = k * c[k];
    return d;
  }
};

// The root of p between lo and hi, where p has values of opposite signs at
// the ends and is monotone between: Newton's steps kept inside the bracket,
// halving when one would leave it, to the last bits of s.
double RootIn(const Poly& p, const Poly& dp, double lo, double hi) {
  double flo = p(lo);
  double s = (lo + hi) / 2;
  for (int k = 0; k < 200; ++k) {
    const double fs = p(s);
    if (fs == 0) return s;
    if ((fs < 0) == (flo < 0))
      lo = s, flo = fs;
    else
      hi = s;
    const double m = (lo + hi) / 2;
    if (m <= lo || m >= hi) break;  // nothing left between them
    const double slope = dp(s);
    double next = slope != 0 ? s - fs / slope : m;
    // Newton's step out of the bracket, or slower than halving would be.
    if (!(next > lo && next < hi) || k >= 8) next = m;
    s = next;
  }
  return std::fabs(p(lo)) <= std::fabs(p(hi)) ? lo : hi;
}

// The roots of p in [lo, hi], increasing, at most deg of them: between two
// neighbouring roots of its derivative p is monotone and has at most one.
int Roots(const Poly& p, double lo, double hi, double out[4]) {
  double cuts[6];
  int n = 0, m = 0;
  cuts[m++] = lo;
  if (p.deg >= 2) {
    double inner[4];
    const int k = Roots(p.Derivative(), lo, hi, inner);
    for (int i = 0; i < k; ++i) {
      if (inner[i] > cuts[m - 1] && inner[i] < hi) cuts[m++] = inner[i];
    }
  }
  cuts[m++] = hi;
  const Poly dp = p.Derivative();
  double fa = p(cuts[0]);
  for (int i = 0; i + 1 < m && n < 4; ++i) {
    const double a = cuts[i], b = cuts[i + 1], fb = p(b);
    if (fa == 0) {
      if (n == 0 || out[n - 1] != a) out[n++] = a;
    } else if (fb != 0 && (fa < 0) != (fb < 0)) {
      out[n++] = RootIn(p, dp, a, b);
    }
    fa = fb;
  }
  if (n < 4 && fa == 0 && (n == 0 || out[n - 1] != cuts[m - 1])) out[n++] = cuts[m - 1];
  return n;
}

// The point of f's piece k at s, with the cosine and sine of its parameter.
struct PiecePoint {
  double c, s;
};
PiecePoint PieceAt(const Curve& f, int k, double s) {
  const double q = 1 + s * s, ct = (1 - s * s) / q, st = 2 * s / q;
  return {f.mc[k] * ct - f.ms[k] * st, f.ms[k] * ct + f.mc[k] * st};
}

// Both curves the same, to kSamePoint: eight points round the whole of f lie
// on g (two different ellipses share at most four).
bool SameCurve(const Curve& f, const Curve& g) {
  constexpr double h = 0.70710678118654752;
  const double cs[8][2] = {{1, 0}, {h, h}, {0, 1}, {-h, h}, {-1, 0}, {-h, -h}, {0, -1}, {h, -h}};
  for (const auto& k : cs) {
    const TPointXY p = CurveAt(f, k[0], k[1]);
    if (!(Off(g, p.x, p.y) <= 2 * kSamePoint)) return false;
  }
  return true;
}

// Where a curve and an ellipse (or two ellipses) meet. The rounder of the
// two gives the frame, in which it is the circle |p| = rho; the other, piece
// by piece, is p(s) = (A s^2 + B s + D) / (1 + s^2), so that its points on
// the circle are the roots of the quartic |A s^2 + B s + D|^2 - rho^2
// (1 + s^2)^2. Each root is isolated between the roots of the derivative,
// so that no pair of crossings can be stepped over, and then narrowed to the
// last bits. Where the derivative's root lies within kSamePoint of the other
// curve, the curves touch there: that point stands for the crossings beside
// it, so that a tangent point is written once. An end of an arc within
// kSamePoint of the other curve is a point too, itself.
void CurveCurve(const Curve& c1, const Curve& c2, bool overlapEnds, Found& found) {
  if (SameCurve(c1, c2)) return OneCurve(c1, c2, overlapEnds, found);
  auto flat = [](const Curve& c) { return std::max(std::fabs(c.he), 1 / std::fabs(c.he)); };
  const Curve& g = flat(c1) <= flat(c2) ? c1 : c2;  // the frame
  const Curve& f = &g == &c1 ? c2 : c1;             // walked
  // f's centre and axes in g's frame.
  const TPointXY C = Frame(g, f.cx, f.cy), o = Frame(g, 0, 0);
  const TPointXY U0 = Frame(g, f.ux, f.uy), V0 = Frame(g, f.vx, f.vy);
  const double ux = U0.x - o.x, uy = U0.y - o.y, vx = V0.x - o.x, vy = V0.y - o.y;
  const double r2 = g.rho * g.rho;
  const double scale = std::fabs(C.x) + std::fabs(C.y) + std::fabs(ux) + std::fabs(uy) +
                       std::fabs(vx) + std::fabs(vy) + g.rho;
  // How far off the other curve counts as on it, as a value of the quartic:
  // kSamePoint becomes at most kSamePoint / |he| in the frame, and the
  // quartic's value there about 2 rho times that, times (1 + s^2)^2 <= 1.4;
  // with room for the rounding of the coefficients.
  const double near = 3 * kSamePoint * std::max(1.0, 1 / std::fabs(g.he)) * 2 * g.rho * 1.4 +
                      64 * std::numeric_limits<double>::epsilon() * scale * scale;

  struct Event {
    double c, s;  // cosine and sine of f's parameter
    bool root, touch;
  };
  Event events[40];
  int n = 0;
  const bool closed = f.span >= 2 * kPi;
  auto offAt = [&](double cosT, double sinT) {
    const TPointXY p = CurveAt(f, cosT, sinT);
    return Off(g, p.x, p.y);
  };
  for (int k = 0; k < f.pieces; ++k) {
    const double mc = f.mc[k], ms = f.ms[k];
    // The piece about its middle: U' and V' the axes turned to it.
    const double upx = ux * mc + vx * ms, upy = uy * mc + vy * ms;
    const double vpx = vx * mc - ux * ms, vpy = vy * mc - uy * ms;
    const double ax = C.x - upx, ay = C.y - upy, bx = 2 * vpx, by = 2 * vpy;
    const double dx = C.x + upx, dy = C.y + upy;
    Poly q;
    q.deg = 4;
    q.c[4] = ax * ax + ay * ay - r2;
    q.c[3] = 2 * (ax * bx + ay * by);
    q.c[2] = bx * bx + by * by + 2 * (ax * dx + ay * dy) - 2 * r2;
    q.c[1] = 2 * (bx * dx + by * dy);
    q.c[0] = dx * dx + dy * dy - r2;
    const double m = f.sMax;
    const double reach = std::fabs(q.c[1]) * m + std::fabs(q.c[2]) * m * m +
                         std::fabs(q.c[3]) * m * m * m + std::fabs(q.c[4]) * m * m * m * m;
    // Nowhere on this piece within reach of g.
    if (std::fabs(q.c[0]) > reach + near) continue;
    double crit[4], root[4];
    const int nc = Roots(q.Derivative(), -m, m, crit);
    const int nr = Roots(q, -m, m, root);
    // In order along the piece: an end of f, the derivative's roots, and
    // the roots, each root between two of the others.
    auto put = [&](double s, bool isRoot) {
      const PiecePoint p = PieceAt(f, k, s);
      events[n++] = {p.c, p.s, isRoot, !isRoot && offAt(p.c, p.s) <= kSamePoint};
    };
    int i = 0, j = 0;
    if (!closed && k == 0) {
      const CosSin e = AtAngle(f.t0);
      events[n++] = {e.c, e.s, false, offAt(e.c, e.s) <= kSamePoint};
    }
    while (i < nc || j < nr) {
      if (j >= nr || (i < nc && crit[i] < root[j]))
        put(crit[i++], false);
      else
        put(root[j++], true);
    }
    if (!closed && k == f.pieces - 1) {
      const CosSin e = AtAngle(f.t0 + f.span);
      events[n++] = {e.c, e.s, false, offAt(e.c, e.s) <= kSamePoint};
    }
  }
  // A root beside a touching point (no other turn of the quartic between
  // them) lies where the curves have not yet parted by kSamePoint.
  for (int i = 0; i < n; ++i) {
    const Event& e = events[i];
    bool keep = e.touch;
    if (e.root) {
      keep = true;
      for (int dir : {-1, 1}) {
        for (int j = i + dir, steps = 0; steps < n; j += dir, ++steps) {
          if (j < 0 || j >= n) {
            if (!closed) break;
            j = (j + n) % n;
          }
          if (events[j].root) continue;
          if (events[j].touch) keep = false;
          break;
        }
      }
    }
    if (!keep) continue;
    // A parameter that the rounding left a few units of the last place off a
    // quarter turn is that quarter turn, as everywhere in these tools: a
    // circle touching an ellipse at its top touches it at (0, b), not at
    // (-1e-13, b).
    constexpr double kQuarter = 16 * std::numeric_limits<double>::epsilon();
    double c = e.c, s = e.s;
    if (std::fabs(c) <= kQuarter) c = 0, s = s < 0 ? -1 : 1;
    if (std::fabs(s) <= kQuarter) s = 0, c = c < 0 ? -1 : 1;
    const TPointXY p = CurveAt(f, c, s);
    if (OnCurve(g, p.x, p.y)) found.Add(p.x, p.y);
  }
}

bool BoxesMeet(const Figure& f, const Figure& g) {
  return f.bx0 <= g.bx1 && g.bx0 <= f.bx1 && f.by0 <= g.by1 && g.by0 <= f.by1;
}

struct Drawing {
  std::vector<Figure> figs;
  std::vector<Curve> curves;
  bool overlapEnds = false;

  void Meet(const Figure& f, const Figure& g, Found& found) const {
    if (!BoxesMeet(f, g)) return;
    const Figure& a = f.kind <= g.kind ? f : g;
    const Figure& b = f.kind <= g.kind ? g : f;
    if (b.kind == kSegment) return SegmentSegment(*a.line, *b.line, overlapEnds, found);
    const Curve& cb = curves[b.curve];
    if (a.kind == kSegment) return SegmentCurve(*a.line, cb, found);
    const Curve& ca = curves[a.curve];
    if (b.kind == kRound) return RoundRound(ca, cb, overlapEnds, found);
    CurveCurve(ca, cb, overlapEnds, found);
  }
};

// A curve of the selection: its shape, its pieces and its box (the box of
// the arc alone: its ends and the turning points within it).
bool MakeCurve(Curve& c, Figure& f) {
  c.pieces = std::clamp(static_cast<int>(std::ceil(c.span / (kPi / 2) - 1e-12)), 1, 4);
  const double half = c.span / c.pieces / 2;
  c.sMax = ExactSin(half / 2) / ExactCos(half / 2);
  for (int k = 0; k < c.pieces; ++k) {
    const CosSin m = AtAngle(c.t0 + half * (2 * k + 1));
    c.mc[k] = m.c, c.ms[k] = m.s;
  }
  const CosSin s = AtAngle(c.t0), e = AtAngle(c.t0 + c.span);
  c.sc = s.c, c.ss = s.s, c.ec = e.c, c.es = e.s;
  auto speed = [&](const CosSin& k) {
    return std::sqrt((c.ux * k.s - c.vx * k.c) * (c.ux * k.s - c.vx * k.c) +
                     (c.uy * k.s - c.vy * k.c) * (c.uy * k.s - c.vy * k.c));
  };
  c.startSpeed = speed(s), c.endSpeed = speed(e);
  const double wx = std::sqrt(c.ux * c.ux + c.vx * c.vx), wy = std::sqrt(c.uy * c.uy + c.vy * c.vy);
  f.bx0 = c.cx - wx, f.bx1 = c.cx + wx, f.by0 = c.cy - wy, f.by1 = c.cy + wy;
  if (c.span < 2 * kPi) {
    double x0 = INFINITY, x1 = -INFINITY, y0 = INFINITY, y1 = -INFINITY;
    auto take = [&](double t) {
      const CosSin k = AtAngle(t);
      const TPointXY p = CurveAt(c, k.c, k.s);
      x0 = std::min(x0, p.x), x1 = std::max(x1, p.x), y0 = std::min(y0, p.y),
      y1 = std::max(y1, p.y);
    };
    take(c.t0);
    take(c.t0 + c.span);
    // Where x and y turn: the directions of (ux, vx) and (uy, vy), and opposite.
    for (double t : {ExactAtan2(c.vx, c.ux), ExactAtan2(c.vy, c.uy)}) {
      for (double at : {t, t + kPi}) {
        double d = std::fmod(at - c.t0, 2 * kPi);
        if (d < 0) d += 2 * kPi;
        if (d <= c.span) take(c.t0 + d);
      }
    }
    // The turning points themselves never beyond the whole curve's box.
    f.bx0 = std::max(f.bx0, x0), f.bx1 = std::min(f.bx1, x1);
    f.by0 = std::max(f.by0, y0), f.by1 = std::min(f.by1, y1);
  }
  return Finite(f.bx0) && Finite(f.bx1) && Finite(f.by0) && Finite(f.by1) && Finite(c.sMax);
}

Drawing Figures(const TJGdata& g, bool overlapEnds) {
  Drawing d;
  d.overlapEnds = overlapEnds;
  d.figs.reserve(static_cast<size_t>(std::max(g.EntLineN, 0)) +
                 static_cast<size_t>(std::max(g.EntCircN, 0)) +
                 static_cast<size_t>(std::max(g.EntArcN, 0)));
  g.ForEachEnt([&](TJwwKind, const auto& e) {
    using R = std::decay_t<decltype(e)>;
    Figure f;
    Curve c;
    if constexpr (std::is_same_v<R, TJwwEntLine>) {
      // Ends so far apart that their distance overflows cannot be crossed soundly.
      const double len = Dist2P(e.x1, e.y1, e.x2, e.y2);
      if (!Finite(len) || len <= kSamePoint) return;  // or no line to cross
      f.kind = kSegment;
      f.line = &e;
      f.bx0 = std::min(e.x1, e.x2), f.bx1 = std::max(e.x1, e.x2);
      f.by0 = std::min(e.y1, e.y2), f.by1 = std::max(e.y1, e.y2);
    } else if constexpr (std::is_same_v<R, TJwwEntCircle>) {
      if (!Finite(e.cx) || !Finite(e.cy) || !Finite(e.cr) || e.cr <= 0) return;
      f.kind = kRound;
      c.round = true;
      c.cx = e.cx, c.cy = e.cy, c.rho = c.a = c.b = e.cr;
      c.ux = c.vy = e.cr;
      c.span = 2 * kPi;
    } else if constexpr (std::is_same_v<R, TJwwEntArc>) {
      if (!ArcFinite(e) || e.he == 0) return;
      const double span = SpanDeg(e);
      c.cx = e.cx, c.cy = e.cy, c.rho = c.a = e.cr, c.b = e.cr * e.he;
      c.span = Closed(span) ? 2 * kPi : span / 180 * kPi;
      if (e.he == 1) {
        // A circular arc: its angles are turned by the tilt.
        f.kind = kRound;
        c.round = true;
        c.t0 = (std::fmod(e.sa, 360.0) + std::fmod(e.ka, 360.0)) / 180 * kPi;
        c.ux = c.vy = e.cr;
      } else {
        f.kind = kEllipse;
        c.he = e.he;
        c.tilt = Tilt(e.ka);
        c.t0 = std::fmod(e.sa, 360.0) / 180 * kPi;
        c.ux = c.a * c.tilt.c, c.uy = c.a * c.tilt.s;
        c.vx = -c.b * c.tilt.s, c.vy = c.b * c.tilt.c;
      }
      if (!Finite(c.b * c.b + c.a * c.a)) return;  // a size whose square overflows
    } else {
      return;
    }
    if (f.kind != kSegment) {
      if (!MakeCurve(c, f)) return;
      f.curve = static_cast<uint32_t>(d.curves.size());
      d.curves.push_back(c);
    }
    // Points within kSamePoint of a figure count as on it, and the box
    // holds what rounding adds to a far coordinate.
    const double m = kSamePoint + 1e-12 * std::max({std::fabs(f.bx0), std::fabs(f.bx1),
                                                    std::fabs(f.by0), std::fabs(f.by1)});
    f.bx0 -= m, f.bx1 += m, f.by0 -= m, f.by1 += m;
    if (Finite(f.bx0) && Finite(f.bx1) && Finite(f.by0) && Finite(f.by1)) d.figs.push_back(f);
  });
  return d;
}

// The grid: about as many cells as figures, over where the boxes of all but
// the outermost 2 % of the figures on each side lie (measured on at most
// 65,536 of them, evenly taken).
Grid MakeGrid(const std::vector<Figure>& figs) {
  constexpr double kG = Grid::kG;
  const size_t n = figs.size(), step = std::max<size_t>(1, n / 65536);
  std::vector<double> v;
  auto at = [&](double Figure::*edge, double q) {
    if (q == 0 || q == 1) {  // the outermost, of all figures
      double e = figs[0].*edge * kG;
      for (const Figure& f : figs)
        e = q == 0 ? std::min(e, f.*edge * kG) : std::max(e, f.*edge * kG);
      return e;
    }
    v.clear();
    for (size_t i = 0; i < n; i += step) v.push_back(figs[i].*edge * kG);
    const auto k = v.begin() + static_cast<ptrdiff_t>(q * static_cast<double>(v.size() - 1));
    std::nth_element(v.begin(), k, v.end());
    return *k;
  };
  Grid grid;
  // Out to the outermost figure where that is at most the width again: the
  // search runs in x order and may stop at the cap in the first columns.
  auto out = [&](double Figure::*edge, double q, double limit) {
    const double v = at(edge, q), e = at(edge, q < 0.5 ? 0.0 : 1.0);
    return q < 0.5 ? std::max(e, v - limit) : std::min(e, v + limit);
  };
  const double w = at(&Figure::bx1, 0.98) - at(&Figure::bx0, 0.02);
  const double h = at(&Figure::by1, 0.98) - at(&Figure::by0, 0.02);
  const double x0 = out(&Figure::bx0, 0.02, w), x1 = out(&Figure::bx1, 0.98, w);
  const double y0 = out(&Figure::by0, 0.02, h), y1 = out(&Figure::by1, 0.98, h);
  const double tiny = kSamePoint * kG;
  grid.w = std::max(x1 - x0, tiny), grid.h = std::max(y1 - y0, tiny);
  const double side = std::max({std::sqrt(grid.w / static_cast<double>(n)) * std::sqrt(grid.h),
                                tiny, grid.w / 32767, grid.h / 32767});
  grid.cols = static_cast<int32_t>(std::min(grid.w / side, 32765.0)) + 2;
  grid.rows = static_cast<int32_t>(std::min(grid.h / side, 32765.0)) + 2;
  // The corners of the cells off round numbers by an odd part of a cell:
  // where many lines meet at a round point, it lies inside one cell, not on
  // the corner of four that would each try all their pairs.
  grid.x0 = x0 - 0.381966 * side, grid.y0 = y0 - 0.381966 * side;
  grid.w = side * grid.cols, grid.h = side * grid.rows;
  grid.perW = grid.cols / grid.w, grid.perH = grid.rows / grid.h;
  return grid;
}

}  // namespace

bool IntersectionPoints(const TJGdata& g, bool overlapEnds, TPoints& out) {
  Drawing d = Figures(g, overlapEnds);
  std::vector<Figure>& figs = d.figs;
  const size_t n = figs.size();
  if (n < 2) return false;
  const Grid grid = MakeGrid(figs);
  constexpr int64_t kMaxCells = 64;
  // The figures in the order of their first column, counted into place.
  std::vector<uint32_t> byCol(n), colStart(static_cast<size_t>(grid.cols) + 1, 0);
  for (size_t i = 0; i < n; ++i) {
    Figure& f = figs[i];
    f.firstCol = grid.Col(f.bx0), f.lastCol = grid.Col(f.bx1);
    if (f.kind != kSegment) {
      const int64_t cells =
          int64_t{f.lastCol - f.firstCol + 1} * (grid.Row(f.by1) - grid.Row(f.by0) + 1);
      f.big = cells > kMaxCells;
    }
    ++colStart[static_cast<size_t>(f.firstCol) + 1];
  }
  for (size_t c = 1; c < colStart.size(); ++c) colStart[c] += colStart[c - 1];
  {
    std::vector<uint32_t> fill(colStart.begin(), colStart.end() - 1);
    for (size_t i = 0; i < n; ++i)
      byCol[fill[static_cast<size_t>(figs[i].firstCol)]++] = static_cast<uint32_t>(i);
  }

  OnceEach once(out);
  Found found(grid);
  std::vector<uint32_t> active, bigs, rowStart(static_cast<size_t>(grid.rows) + 1), inRows;
  std::vector<int32_t> lo, hi;  // each active small figure's rows in this column
  struct CellLine {
    double x1, y1, x2, y2, bx0, by0, bx1, by1;
    double yl = 0, yr = 0, xb = 0, xt = 0;
    bool acrossX = false, acrossY = false;
  };
  std::vector<CellLine> lines;
  std::vector<uint32_t> curves;
  for (int32_t col = 0; col < grid.cols && !once.Over(); ++col) {
    const uint32_t* entering = byCol.data() + colStart[static_cast<size_t>(col)];
    const size_t entered =
        colStart[static_cast<size_t>(col) + 1] - colStart[static_cast<size_t>(col)];
    auto gone = [&](uint32_t i) { return figs[i].lastCol < col; };
    active.erase(std::remove_if(active.begin(), active.end(), gone), active.end());
    bigs.erase(std::remove_if(bigs.begin(), bigs.end(), gone), bigs.end());

    // Pairs with a big curve, once each, in the column where the later begins.
    found.Anywhere();
    const size_t oldActive = active.size();
    for (size_t k = 0; k < entered; ++k) {
      const uint32_t i = entering[k];
      // The big curves before it, those of earlier columns and of this one.
      for (size_t b = 0; b < bigs.size(); ++b) d.Meet(figs[bigs[b]], figs[i], found);
      if (figs[i].big) {
        for (size_t a = 0; a < oldActive; ++a) d.Meet(figs[i], figs[active[a]], found);
        for (size_t e = 0; e < k; ++e) {
          if (!figs[entering[e]].big) d.Meet(figs[i], figs[entering[e]], found);
        }
        bigs.push_back(i);
      }
    }
    for (size_t k = 0; k < entered; ++k) {
      if (!figs[entering[k]].big) active.push_back(entering[k]);
    }

    // The small figures of this column in its cells; a line by the part of
    // it within the column.
    const double cx0 = grid.ColStart(col);
    const double cx1 = grid.ColEnd(col);
    lo.resize(active.size()), hi.resize(active.size());
    std::fill(rowStart.begin(), rowStart.end(), 0);
    for (size_t a = 0; a < active.size(); ++a) {
      const Figure& f = figs[active[a]];
      double y0 = f.by0, y1 = f.by1;
      if (f.kind == kSegment && f.firstCol != f.lastCol) {
        const TJwwEntLine& l = *f.line;
        const double m = kSamePoint + 1e-9 * (cx1 - cx0 < INFINITY ? cx1 - cx0 : 0);
        const double xa = std::max(f.bx0, cx0 - m), xb = std::min(f.bx1, cx1 + m);
        const double slope =
            (l.y2 * Grid::kG - l.y1 * Grid::kG) / (l.x2 * Grid::kG - l.x1 * Grid::kG);
        const double ya = l.y1 + (xa - l.x1) * slope, yb = l.y1 + (xb - l.x1) * slope;
        if (Finite(ya) && Finite(yb)) {
          y0 = std::max(y0, std::min(ya, yb) - m), y1 = std::min(y1, std::max(ya, yb) + m);
        }
      }
      lo[a] = grid.Row(y0), hi[a] = grid.Row(y1);
      for (int32_t r = lo[a]; r <= hi[a]; ++r) ++rowStart[static_cast<size_t>(r) + 1];
    }
    for (size_t r = 1; r < rowStart.size(); ++r) rowStart[r] += rowStart[r - 1];
    inRows.resize(rowStart.back());
    {
      std::vector<uint32_t> fill(rowStart.begin(), rowStart.end() - 1);
      for (size_t a = 0; a < active.size(); ++a) {
        for (int32_t r = lo[a]; r <= hi[a]; ++r) inRows[fill[static_cast<size_t>(r)]++] = active[a];
      }
    }
    for (int32_t r = 0; r < grid.rows; ++r) {
      const uint32_t* cell = inRows.data() + rowStart[static_cast<size_t>(r)];
      const size_t count = rowStart[static_cast<size_t>(r) + 1] - rowStart[static_cast<size_t>(r)];
      if (count < 2) continue;
      found.InCell(col, r);
      // The lines side by side, so that the most frequent pair is tried from
      // memory at hand; the curves against everything.
      lines.clear(), curves.clear();
      for (size_t i = 0; i < count; ++i) {
        const Figure& f = figs[cell[i]];
        if (f.kind == kSegment) {
          lines.push_back(
              {f.line->x1, f.line->y1, f.line->x2, f.line->y2, f.bx0, f.by0, f.bx1, f.by1});
        } else {
          curves.push_back(cell[i]);
        }
      }
      // Each line's height at the cell's left and right edges and where it
      // passes its lower and upper edges: two lines in the same order at both
      // edges of either pair cannot cross inside the cell. The edges a few
      // kSamePoint out, an edge cell's open side at the lines' boxes.
      auto edge = [&](double v, bool low, double CellLine::*lo, double CellLine::*hi) {
        if (Finite(v)) return v + (low ? -4 : 4) * kSamePoint;
        double e = low ? INFINITY : -INFINITY;
        for (const CellLine& l : lines) e = low ? std::min(e, l.*lo) : std::max(e, l.*hi);
        return e;
      };
      const Found::Bounds box = found.Box();
      const double xl = edge(box.x0, true, &CellLine::bx0, &CellLine::bx1);
      const double xr = edge(box.x1, false, &CellLine::bx0, &CellLine::bx1);
      const double yb = edge(box.y0, true, &CellLine::by0, &CellLine::by1);
      const double yt = edge(box.y1, false, &CellLine::by0, &CellLine::by1);
      for (CellLine& l : lines) {
        const double dx = l.x2 - l.x1, dy = l.y2 - l.y1;
        l.acrossX = std::fabs(dy) <= 1e3 * std::fabs(dx);
        l.acrossY = std::fabs(dx) <= 1e3 * std::fabs(dy);
        if (l.acrossX) l.yl = l.y1 + (xl - l.x1) * (dy / dx), l.yr = l.y1 + (xr - l.x1) * (dy / dx);
        if (l.acrossY) l.xb = l.x1 + (yb - l.y1) * (dx / dy), l.xt = l.x1 + (yt - l.y1) * (dx / dy);
      }
      auto apart = [](double a0, double b0, double a1, double b1) {
        const double tol = 4 * kSamePoint +
                           1e-12 * (std::fabs(a0) + std::fabs(b0) + std::fabs(a1) + std::fabs(b1));
        const double d0 = a0 - b0, d1 = a1 - b1;
        return (d0 > tol && d1 > tol) || (d0 < -tol && d1 < -tol);
      };
      for (size_t i = 0; i < lines.size(); ++i) {
        const CellLine& a = lines[i];
        for (size_t j = i + 1; j < lines.size(); ++j) {
          const CellLine& b = lines[j];
          if (a.acrossX && b.acrossX && apart(a.yl, b.yl, a.yr, b.yr)) continue;
          if (a.acrossY && b.acrossY && apart(a.xb, b.xb, a.xt, b.xt)) continue;
          if (a.bx0 <= b.bx1 && b.bx0 <= a.bx1 && a.by0 <= b.by1 && b.by0 <= a.by1) {
            SegmentSegment(a, b, overlapEnds, found);
          }
        }
      }
      for (size_t i = 0; i < curves.size(); ++i) {
        for (size_t k = 0; k < count; ++k) {
          const uint32_t j = cell[k];
          // Each pair of curves once: the second later among the curves.
          if (j == curves[i] || (figs[j].kind != kSegment && j < curves[i])) continue;
          d.Meet(figs[curves[i]], figs[j], found);
        }
      }
    }

    // Nothing found later lies left of this column, less what a figure's
    // slack and the rounding of a far coordinate may reach.
    const double left =
        col + 1 == grid.cols ? INFINITY : cx1 - 4 * kSamePoint - 1e-12 * std::fabs(cx1);
    found.PlaceLeftOf(left, [&](const TPointXY& p) { once.AddInXOrder(p.x, p.y); });
  }
  return once.Over();
}
