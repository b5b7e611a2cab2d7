// Points a draughtsperson lays out on the selected figures: where lines meet
// when extended (延長交点), points at distances along a figure (線上点), and a
// layout both ways from a reference point (割付). Pure geometry on a read
// drawing, as in PointTools; the form writes the points.
#pragma once

#include <cstdint>
#include <vector>

#include "app/PointTools.h"

// Lines closer to parallel than this (the sine of the angle between them)
// never meet: their crossing would lie more than a million times their own
// size away, beyond anything drawn, where only rounding put it.
inline constexpr double kParallel = 1e-12;

// Where every two selected lines meet when both are extended as far as
// needed, their actual crossings included, each point once, sorted by x, then
// y; parallel lines (kParallel) give none. Stops at kMaxPoints and returns
// true when more points were left. Lines of no length, or with coordinates
// that are not finite, take no part.
bool ExtendedIntersections(const TJGdata& g, TPoints& out);

// Points at the distances d along the first selected line, circle or arc
// (ellipses by their length), measured from its end nearest `from`; a circle
// or closed ellipse from its point nearest `from`, counter-clockwise. A
// negative distance, or one beyond the far end, lies on the figure's
// extension: a line's straight line, an arc's circle or ellipse (round and
// round for distances beyond a full turn). With bothWays each distance is
// laid both ways from `from` when it lies on the figure (from the nearest end
// otherwise; fromOnFigure tells which). Each point once, in the order of the
// distances. False when nothing was selected that they could be measured on.
bool DistancePoints(const TJGdata& g, const std::vector<double>& d, bool bothWays,
                    const TJwwIndPoint& from, TPoints& out, bool* fromOnFigure = nullptr);

// How a layout (割付) is laid out.
struct TLayout {
  double pitch = 0;    // a pitch both ways from indicated point 1, or
  int32_t parts = 0;   // this many equal parts from indicated point 1 to 2
  bool run = false;    // along the run of connected figures (連続線)
};

// The layout on the first selected line, circle or arc, or with run on the
// run of selected lines and arcs joined end to end that holds it, walked from
// its end nearest p1 (a run that closes on itself: from where it began). The
// indicated points are projected onto the figure (a line's projection may lie
// on its extension). With a pitch: the projection of p1 and every pitch from
// it both ways out to both ends, the ends included (a closed figure: both
// ways until they meet); with parts: the projections of p1 and p2 and the
// points between them (a closed figure: counter-clockwise from p1 to p2).
// Each point once, in the order of the walk. Returns true when it stopped at
// kMaxPoints with more to place; `found` false when nothing was selected that
// a layout fits on.
bool LayoutPoints(const TJGdata& g, const TLayout& how, const TJwwIndPoint& p1,
                  const TJwwIndPoint& p2, TPoints& out, bool* found = nullptr);
