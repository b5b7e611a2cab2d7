// What the point tools (PointTools.h) share among their files, not part of
// the library's public face: the arcs as the tools read them, sines and
// cosines exact at whole quarter turns, and points kept once under the
// point cap. Not for the entity commands, whose arithmetic stays as it is.
#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>
#include <utility>
#include <vector>

#include "jwwgaibu/PointTools.h"

namespace pointgeo {

inline constexpr double kPi = std::numbers::pi;

inline bool Finite(double v) { return std::isfinite(v); }

inline double Dist2(double x1, double y1, double x2, double y2) {
  return (x2 - x1) * (x2 - x1) + (y2 - y1) * (y2 - y1);
}

// An arc's counter-clockwise span from sa in degrees, in (0, 360]; 360 for a
// closed figure. fmod keeps a huge span from looping for ever.
double SpanDeg(const TJwwEntArc& a);
inline bool Closed(double spanDeg) { return spanDeg == 360; }
// Every value of the arc finite and its radius positive.
bool ArcFinite(const TJwwEntArc& a);

struct CosSin {
  double c = 1, s = 0;
};
// The cosine and sine of t radians; at an angle that is a whole number of
// quarter turns to the last bits it carries, exactly 0 and +-1, so that a
// point at 90 degrees on a circle is (0, r), not (6.1e-14, r).
CosSin AtAngle(double t);
// The cosine and sine of a tilt of ka degrees, as the turn of a point by ka
// makes them, exact at whole quarter turns; a tilt of many turns is its
// remainder, so that no tilt overflows.
CosSin Tilt(double ka);

// The point of an arc at the parameter t (radians): cr cos t and cr he sin t,
// turned by the tilt; exact at quarter turns of t and of the tilt.
TPointXY OnArcAt(const TJwwEntArc& a, double t);
// The same with the tilt's cosine and sine already taken, for many points.
TPointXY OnArcAt(const TJwwEntArc& a, double t, CosSin tilt);

// The length of an ellipse along its parameter, in closed form: Carlson's
// symmetric elliptic integrals, which take square roots and the four
// operations alone, so that every system gets the same bits, and converge in
// under ten steps however flat the ellipse; a sine and a cosine at t is all
// the rest. Each half turn is measured from an end of the long axis, where a
// flat ellipse turns sharply and the point moves slowest, so that the
// integrals' terms add and none cancels.
class EllipseLength {
 public:
  explicit EllipseLength(const TJwwEntArc& a);
  struct At {
    double length;  // from a fixed point of the curve, growing with t
    double speed;   // of the point along the parameter there
  };
  At Measure(double t) const;

 private:
  double q_ = 0, r2_ = 0;  // the long half axis, and the short one's square over its square
  double half_ = 0;        // the length of half a turn
  bool turned_ = false;    // the long axis at the parameter's quarter turn, not at its 0
  bool segment_ = false;   // too flat to tell from a segment walked there and back
  double Piece(double s, double c) const;
};

// The speed of an arc's point along its parameter t: the length of its
// derivative, which the tilt does not change.
double Speed(const TJwwEntArc& a, double t);
// The length of an arc (of an ellipse: cr and he) between the parameters t0
// and t1, either order giving the same length, by EllipseLength: to the
// rounding of the two lengths it is the difference of, so within any tol;
// depth is not used.
double ArcLength(const TJwwEntArc& a, double t0, double t1, double tol, int depth = 0);

// Points each kept once, in the order added: a point within kSamePoint of a
// kept one is dropped. Cells of kSamePoint hold the kept points; a point's
// neighbours lie in its cell and the eight around it. The cells are one open
// table of (cell, point) entries, a cell's entries found by probing on from
// its hash, filled when first looked at. At the cap a further new point is
// not kept, and Over() tells that there was one. One object takes its points
// with Add or with AddInXOrder, not with both.
class OnceEach {
 public:
  // The points out holds already are the caller's: none of them is looked
  // at, and they count towards the cap only.
  explicit OnceEach(TPoints& out, size_t cap = kMaxPoints)
      : first_(out.size()), near_(out.size()), tabled_(out.size()), out_(out), cap_(cap) {}
  // True when (x, y) was new and kept.
  bool Add(double x, double y);
  // The same for points that come in x order: those kept within kSamePoint
  // in x are the last few, looked at one by one when they are few (the
  // table holds only what was needed when they were not).
  bool AddInXOrder(double x, double y);
  bool Over() const { return over_; }

 private:
  void Put(uint64_t key, uint32_t point);
  // Puts the kept points from the one at from on into the table.
  void Table(size_t from);
  bool Seen(int64_t cx, int64_t cy, double x, double y) const;
  bool Keep(double x, double y);
  size_t first_;     // the first point of out that is ours
  size_t near_ = 0;  // AddInXOrder: the first kept point within kSamePoint in x
  size_t tabled_;    // the points before it are in the table, or never looked at
  TPoints& out_;
  size_t cap_;
  bool over_ = false;
  size_t used_ = 0;
  std::vector<uint64_t> keys_;    // the cell of each entry
  std::vector<uint32_t> points_;  // its point, kEmpty for none
  static constexpr uint32_t kEmpty = 0xFFFFFFFF;
};

}  // namespace pointgeo
