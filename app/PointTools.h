// Where the run modes place their points on the selected figures: division
// points, points at a pitch, intersections, end points and centres. Pure
// geometry on a read drawing; the form writes the points.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "jwwgaibu/JwwGaibu.h"

struct TPointXY {
  double x = 0, y = 0;
};
using TPoints = std::vector<TPointXY>;

// A run places at most this many points; a pitch or a selection that would
// give more places the first kMaxPoints and no more. Each routine below that
// places points returns true when it stopped at this cap with more to place.
// The fuzz build sets a lower cap: under its instrumentation one input must
// not run for seconds.
#ifdef KX29_MAX_POINTS
inline constexpr size_t kMaxPoints = KX29_MAX_POINTS;
#else
inline constexpr size_t kMaxPoints = 100000;
#endif

// Points closer than this (mm of the drawing) are one point, and a point this
// close to a figure's end lies on it: far below anything drawn, far above the
// rounding of coordinates in the thousands of millimetres.
inline constexpr double kSamePoint = 1e-6;

// The inner division points of a line into n parts, from its first end.
bool DivideLine(const TJwwEntLine& l, int32_t n, TPoints& out);
// n points round a circle, the first at 0 degrees, counter-clockwise.
bool DivideCircle(const TJwwEntCircle& c, int32_t n, TPoints& out);
// The inner division points of an arc (equal steps of its angle; a closed one:
// n points round it from angle 0).
bool DivideArc(const TJwwEntArc& a, int32_t n, TPoints& out);

// Every selected line, circle and arc divided into n parts as above, in the
// order of the selection; each point measured from the figure's start rather
// than stepped from the one before. Ellipses and elliptic arcs are divided
// into parts of equal length along them, the ends of their axes exact.
bool DivideAll(const TJGdata& g, int32_t n, TPoints& out);

// Points every pitch along each selected line, arc and circle (ellipses by
// their length), ends included, each from its end nearest the indicated point
// `from` (a closed figure from its point nearest it, counter-clockwise). The
// remainder is left at the far end, or split between both ends with
// splitRemainder (a figure shorter than the pitch: its two ends alone).
// Without `from`, a figure starts at its first end. A point within kSamePoint
// of an end is that end; each point once, as a corner two figures share; a
// figure whose size or length is not finite gets none.
bool PitchPoints(const TJGdata& g, double pitch, bool splitRemainder, const TJwwIndPoint& from,
                 TPoints& out);

// Where the selected lines, circles, arcs and ellipses cross or touch, each
// point once, sorted by x, then y (the first kMaxPoints of that order).
// Figures that lie on one another are joints, not intersections: lines on one
// straight that overlap or continue each other, and figures on one circle or
// ellipse, give no points between them; with overlapEnds they give the ends
// of their overlap (where they only meet, that point).
bool IntersectionPoints(const TJGdata& g, bool overlapEnds, TPoints& out);

// The end points of the selected lines and arcs (what = 1), the centres of the
// selected circles and arcs (what = 2), or both (anything else), each once, in
// the order of the selection.
bool EndAndCentrePoints(const TJGdata& g, int32_t what, TPoints& out);
