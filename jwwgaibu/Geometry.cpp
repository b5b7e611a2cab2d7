// Geometry of the stored entities: a map of the plane that moves, turns,
// scales and mirrors every kind, and the extent of the store.
#include <cmath>
#include <numbers>
#include <type_traits>

#include "jwwgaibu/JwwGaibu.h"
#include "myfunc/MyFunc.h"

namespace {

using Wide = long double;  // products and sums of a mapping, rounded once

// Sine and cosine of an angle in degrees: the one place they are taken.
// Whole quarter turns come out exact, so that turning by 90 degrees or
// mirroring about an upright line leaves no rounding noise in coordinates.
void SinCosDeg(double deg, double& s, double& c) {
  if (!std::isfinite(deg)) {
    s = c = std::numeric_limits<double>::quiet_NaN();
    return;
  }
  // The remainder after the nearest quarter turn is exact: both lie within a
  // factor of two of each other.
  const double r = std::fmod(deg, 360.0);
  const double q = std::nearbyint(r / 90.0);
  const double t = (r - q * 90.0) * (std::numbers::pi / 180.0);
  const double s0 = ExactSin(t), c0 = ExactCos(t);
  switch ((static_cast<int>(q) % 4 + 4) % 4) {
    case 0:
      s = s0, c = c0;
      break;
    case 1:
      s = c0, c = -s0;
      break;
    case 2:
      s = -s0, c = -c0;
      break;
    default:
      s = -c0, c = s0;
      break;
  }
}

// The direction of (x, y) in degrees; exact along the axes.
double DirDeg(double y, double x) {
  if (y == 0) return x < 0 ? 180.0 : 0.0;
  if (x == 0) return y > 0 ? 90.0 : -90.0;
  return ExactAtan2(y, x) * (180.0 / std::numbers::pi);
}

// An angle in [0, 360).
double Norm360(double v) {
  double r = std::fmod(v, 360.0);
  if (r < 0) r += 360.0;
  return r >= 360.0 || r == 0 ? 0.0 : r;  // a tiny negative rounds up to 360
}

// The kinds made of points alone, which follow any map of the plane.
template <class T>
constexpr bool kPointsOnly =
    std::is_same_v<T, TJwwEntLine> || std::is_same_v<T, TJwwEntPnt> ||
    std::is_same_v<T, TJwwEntBlk> || std::is_same_v<T, TJwwEntSld2> ||
    std::is_same_v<T, TJwwEntSld3> || std::is_same_v<T, TJwwEntSld4>;

// The extent of the arc of an ellipse (a circle when he is 1) from sa to ea:
// its ends and the points where x or y turns back, when they lie on it.
void AddArc(TJwwBox& b, double cx, double cy, double r, double he, double ka, double sa,
            double ea) {
  double sk, ck;
  SinCosDeg(ka, sk, ck);
  auto at = [&](double t) {
    double st, ct;
    SinCosDeg(t, st, ct);
    const Wide u = static_cast<Wide>(r) * ct, v = static_cast<Wide>(r) * he * st;
    b.Add(static_cast<double>(cx + u * ck - v * sk), static_cast<double>(cy + u * sk + v * ck));
  };
  double span = Norm360(ea - sa);
  const bool whole = span == 0;
  if (whole) span = 360.0;
  const double tx = DirDeg(-he * sk, ck), ty = DirDeg(he * ck, sk);
  for (double t : {tx, tx + 180.0, ty, ty + 180.0}) {
    if (whole || Norm360(t - sa) <= span) at(t);
  }
  if (!whole) {
    at(sa);
    at(ea);
  }
}

}  // namespace

// --- the box ---------------------------------------------------------------

void TJwwBox::Add(double x, double y) {
  if (x < x1) x1 = x;
  if (x > x2) x2 = x;
  if (y < y1) y1 = y;
  if (y > y2) y2 = y;
}

void TJwwBox::Add(const TJwwEntLine& e) {
  Add(e.x1, e.y1);
  Add(e.x2, e.y2);
}

void TJwwBox::Add(const TJwwEntCircle& e) {
  Add(e.cx - e.cr, e.cy - e.cr);
  Add(e.cx + e.cr, e.cy + e.cr);
}

void TJwwBox::Add(const TJwwEntArc& e) { AddArc(*this, e.cx, e.cy, e.cr, e.he, e.ka, e.sa, e.ea); }

void TJwwBox::Add(const TJwwEntText& e) { Add(e.x1, e.y1); }

void TJwwBox::Add(const TJwwEntPnt& e) { Add(e.px, e.py); }

void TJwwBox::Add(const TJwwEntMark& e) { Add(e.px, e.py); }

void TJwwBox::Add(const TJwwEntDim& e) {
  Add(e.lin);
  Add(e.txt);
}

void TJwwBox::Add(const TJwwEntBlk& e) { Add(e.px, e.py); }

void TJwwBox::Add(const TJwwEntSld2& e) {
  Add(e.x1, e.y1);
  Add(e.x2, e.y2);
}

void TJwwBox::Add(const TJwwEntSld3& e) {
  Add(e.x1, e.y1);
  Add(e.x2, e.y2);
  Add(e.x3, e.y3);
}

void TJwwBox::Add(const TJwwEntSld4& e) {
  Add(e.x1, e.y1);
  Add(e.x2, e.y2);
  Add(e.x3, e.y3);
  Add(e.x4, e.y4);
}

// A circular solid that is not whole may be a sector, which reaches its
// centre; a ring lies within its outer edge.
void TJwwBox::Add(const TJwwEntSldC& e) {
  AddArc(*this, e.cx, e.cy, e.cr, e.he, e.ka, e.sa, e.da);
  if (Norm360(e.da - e.sa) != 0) Add(e.cx, e.cy);
}

void TJwwBox::Add(const TJwwEntSldD& e) {
  AddArc(*this, e.cx, e.cy, e.cr, e.he, e.ka, e.sa, e.da);
  if (Norm360(e.da - e.sa) != 0) Add(e.cx, e.cy);
}

TJwwBox TJGdata::Box() const {
  TJwwBox b;
  ForEachEnt([&b](TJwwKind, const auto& e) { b.Add(e); });
  return b;
}

// --- the map ---------------------------------------------------------------

TJwwTransform TJwwTransform::Move(double dx, double dy) {
  TJwwTransform t;
  t.c_ = dx;
  t.f_ = dy;
  return t;
}

// Turns, scales and mirrors keep their centre: points are measured from it
// and put back at it, so that the centre stays exactly where it is and a
// quarter turn rounds each coordinate once. Angles are kept reduced to
// (-360, 360), exactly, so that a turn by a huge angle adds no rounding.
TJwwTransform TJwwTransform::Rotate(double cx, double cy, double deg) {
  double s, c;
  SinCosDeg(deg, s, c);
  TJwwTransform t;
  t.a_ = c, t.b_ = -s, t.d_ = s, t.e_ = c;
  t.px_ = cx, t.py_ = cy;
  t.c_ = cx, t.f_ = cy;
  t.turn_ = std::isfinite(deg) ? std::fmod(deg, 360.0) : deg;
  return t;
}

TJwwTransform TJwwTransform::Scale(double cx, double cy, double f) { return Scale(cx, cy, f, f); }

TJwwTransform TJwwTransform::Scale(double cx, double cy, double fx, double fy) {
  TJwwTransform t;
  t.a_ = fx, t.e_ = fy;
  t.px_ = cx, t.py_ = cy;
  t.c_ = cx, t.f_ = cy;
  t.uniform_ = std::fabs(fx) == std::fabs(fy);
  t.scale_ = std::fabs(fx);
  // Unequal signs mirror about an axis; both negative turn by a half.
  t.mirrored_ = (fx < 0) != (fy < 0);
  t.turn_ = fx < 0 ? 180.0 : 0.0;
  return t;
}

TJwwTransform TJwwTransform::Mirror(double cx, double cy, double deg) {
  // The direction at angle t goes to 2 deg - t.
  double s, c;
  SinCosDeg(2 * deg, s, c);
  TJwwTransform t;
  t.a_ = c, t.b_ = s, t.d_ = s, t.e_ = -c;
  t.px_ = cx, t.py_ = cy;
  t.c_ = cx, t.f_ = cy;
  t.turn_ = std::isfinite(deg) ? std::fmod(2 * deg, 360.0) : deg;
  t.mirrored_ = true;
  return t;
}

TJwwTransform TJwwTransform::Then(const TJwwTransform& n) const {
  auto dot = [](double p, double q, double r, double s) {
    return static_cast<double>(static_cast<Wide>(p) * q + static_cast<Wide>(r) * s);
  };
  TJwwTransform t;
  t.a_ = dot(n.a_, a_, n.b_, d_);
  t.b_ = dot(n.a_, b_, n.b_, e_);
  t.d_ = dot(n.d_, a_, n.e_, d_);
  t.e_ = dot(n.d_, b_, n.e_, e_);
  // Measured from this map's centre; where this map puts it, measured from
  // the next one's centre, goes where the next map puts that.
  t.px_ = px_, t.py_ = py_;
  const Wide qx = static_cast<Wide>(c_) - n.px_, qy = static_cast<Wide>(f_) - n.py_;
  t.c_ = static_cast<double>(n.a_ * qx + n.b_ * qy + n.c_);
  t.f_ = static_cast<double>(n.d_ * qx + n.e_ * qy + n.f_);
  const double turn = n.mirrored_ ? n.turn_ - turn_ : n.turn_ + turn_;
  t.turn_ = std::isfinite(turn) ? std::fmod(turn, 360.0) : turn;
  t.mirrored_ = mirrored_ != n.mirrored_;
  t.scale_ = scale_ * n.scale_;
  t.uniform_ = uniform_ && n.uniform_;
  return t;
}

void TJwwTransform::Map(double& x, double& y) const {
  const Wide wx = static_cast<Wide>(x) - px_, wy = static_cast<Wide>(y) - py_;
  x = static_cast<double>(a_ * wx + b_ * wy + c_);
  y = static_cast<double>(d_ * wx + e_ * wy + f_);
}

bool TJwwTransform::Sound() const {
  for (double v : {a_, b_, c_, d_, e_, f_, px_, py_, turn_, scale_}) {
    if (!std::isfinite(v)) return false;
  }
  return static_cast<Wide>(a_) * e_ - static_cast<Wide>(b_) * d_ != 0 && scale_ != 0;
}

double TJwwTransform::TurnAngle(double t) const {
  return Norm360(mirrored_ ? turn_ - t : turn_ + t);
}

// Centre and radius of an arc or circular solid, and its angles: under a
// turn its tilt turns; under a mirror the arc runs the other way round, so
// its ends swap and turn. A plain circle arc keeps tilt 0 and turns its ends
// instead; a whole turn keeps its angles.
template <class T>
bool TJwwTransform::ApplyRound(T& e, double& ea) const {
  if (!Sound() || !uniform_) return false;
  Map(e.cx, e.cy);
  e.cr *= scale_;
  if (!Turns()) return true;
  const bool plain = e.he == 1 && e.ka == 0;
  const bool whole = std::fmod(ea - e.sa, 360.0) == 0;
  const double ka = mirrored_ ? turn_ - e.ka : turn_ + e.ka;
  if (whole) {
    e.ka = plain ? 0.0 : Norm360(ka);
    return true;
  }
  double sa = e.sa, end = ea;
  if (mirrored_) sa = -ea, end = -e.sa;
  if (plain) {
    e.sa = Norm360(sa + ka);
    ea = Norm360(end + ka);
    e.ka = 0;
  } else {
    e.sa = Norm360(sa);
    ea = Norm360(end);
    e.ka = Norm360(ka);
  }
  return true;
}

bool TJwwTransform::Apply(TJwwEntLine& e) const {
  if (!Sound()) return false;
  Map(e.x1, e.y1);
  Map(e.x2, e.y2);
  return true;
}

bool TJwwTransform::Apply(TJwwEntCircle& e) const {
  if (!Sound() || !uniform_) return false;
  Map(e.cx, e.cy);
  e.cr *= scale_;
  return true;
}

bool TJwwTransform::Apply(TJwwEntArc& e) const { return ApplyRound(e, e.ea); }

// The direction vector turns and keeps its length.
bool TJwwTransform::Apply(TJwwEntText& e) const {
  if (!Sound() || !uniform_) return false;
  Map(e.x1, e.y1);
  const Wide dx = e.x2, dy = e.y2;
  e.x2 = static_cast<double>((a_ * dx + b_ * dy) / scale_);
  e.y2 = static_cast<double>((d_ * dx + e_ * dy) / scale_);
  return true;
}

bool TJwwTransform::Apply(TJwwEntPnt& e) const {
  if (!Sound()) return false;
  Map(e.px, e.py);
  return true;
}

bool TJwwTransform::Apply(TJwwEntMark& e) const {
  if (!Sound() || !uniform_) return false;
  Map(e.px, e.py);
  if (Turns()) e.ang = TurnAngle(e.ang);
  return true;
}

bool TJwwTransform::Apply(TJwwEntDim& e) const {
  if (!Sound() || !uniform_) return false;
  Apply(e.lin);
  Apply(e.txt);
  return true;
}

// A block insert has no angle or scale of its own: only its point follows.
bool TJwwTransform::Apply(TJwwEntBlk& e) const {
  if (!Sound()) return false;
  Map(e.px, e.py);
  return true;
}

bool TJwwTransform::Apply(TJwwEntSld2& e) const {
  if (!Sound()) return false;
  Map(e.x1, e.y1);
  Map(e.x2, e.y2);
  return true;
}

bool TJwwTransform::Apply(TJwwEntSld3& e) const {
  if (!Sound()) return false;
  Map(e.x1, e.y1);
  Map(e.x2, e.y2);
  Map(e.x3, e.y3);
  return true;
}

bool TJwwTransform::Apply(TJwwEntSld4& e) const {
  if (!Sound()) return false;
  Map(e.x1, e.y1);
  Map(e.x2, e.y2);
  Map(e.x3, e.y3);
  Map(e.x4, e.y4);
  return true;
}

bool TJwwTransform::Apply(TJwwEntSldC& e) const { return ApplyRound(e, e.da); }

bool TJwwTransform::Apply(TJwwEntSldD& e) const {
  if (!ApplyRound(e, e.da)) return false;
  e.ri *= scale_;
  return true;
}

// All or nothing: a store that cannot follow the map is left as it is.
bool TJGdata::Transform(const TJwwTransform& t) {
  if (!t.Sound()) return false;
  w_EntAllLines = 0;  // the store moved: writing it back again makes a second copy
  w_ReadEnts = 0;     // and what was read is no longer what the CAD program keeps
  w_EntOnes.clear();
  w_EntLine = 0;
  if (!t.Uniform()) {
    bool follows = true;
    ForEachEnt([&follows](TJwwKind, const auto& e) {
      follows = follows && kPointsOnly<std::remove_cvref_t<decltype(e)>>;
    });
    if (!follows) return false;
  }
  ForEachEnt([&t](TJwwKind, auto& e) { t.Apply(e); });
  return true;
}
