/// @file
/// Points on the figures of a read drawing, as the point tools place them:
/// division points, points at a pitch, intersections, end points and centres,
/// where lines meet when extended, points at distances along a figure and
/// layouts from a reference point.
/// Pure geometry on what TJGdata read (the figures the draughtsperson
/// selected); the tool writes the points, with TJGdata::S_Ten for instance.
///
/// Every routine appends to out and never clears it: the points out holds
/// already count towards kMaxPoints and are otherwise not looked at ("each
/// point once" is among the points one call places). The points are exact
/// where the figure allows it: a point at a whole quarter turn of a circle
/// lies at (0, r), not (6.1e-14, r), and a division point is measured from
/// the figure's start, not stepped from the one before. Figures whose values
/// are not finite, and counts or pitches that give nothing, place nothing;
/// no input makes them fail or run without end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "jwwgaibu/JwwGaibu.h"

/// A point of the drawing, in mm.
struct TPointXY {
  double x = 0;  ///< mm of the drawing
  double y = 0;  ///< mm of the drawing
};
/// Points in the order they are placed.
using TPoints = std::vector<TPointXY>;

#ifdef KX29_MAX_POINTS
inline constexpr size_t kMaxPoints = KX29_MAX_POINTS;
#else
/// The most points a routine here leaves in out: a pitch or a selection that
/// would give more places points until out holds kMaxPoints and no more, and
/// the routine returns true to say so. The build of the library decides it
/// (the fuzz build defines KX29_MAX_POINTS lower, so that one input does not
/// run for seconds under its instrumentation).
inline constexpr size_t kMaxPoints = 100000;
#endif

/// Points closer than this (mm of the drawing) are one point, and a point
/// this close to a figure's end lies on it: far below anything drawn, far
/// above the rounding of coordinates in the thousands of millimetres.
inline constexpr double kSamePoint = 1e-6;

/// The inner division points of a line into n equal parts, from its first
/// end (x1, y1), each stepped from the one before along the line's direction.
/// @param l the line
/// @param n the number of parts; below 2, no point
/// @param out where the n - 1 points are appended
/// @return true when it stopped at kMaxPoints with more to place
bool DivideLine(const TJwwEntLine& l, int32_t n, TPoints& out);
/// n points round a circle, the first at 0 degrees, counter-clockwise.
/// @param c the circle
/// @param n the number of points; below 1, none
/// @param out where the points are appended
/// @return true when it stopped at kMaxPoints with more to place
bool DivideCircle(const TJwwEntCircle& c, int32_t n, TPoints& out);
/// The inner division points of an arc or elliptic arc, in equal steps of
/// its angle from its start; a closed one (a circle or ellipse written as an
/// arc) gets n points round it from angle 0.
/// @param a the arc
/// @param n the number of parts; below 1, none
/// @param out where the points are appended
/// @return true when it stopped at kMaxPoints with more to place
bool DivideArc(const TJwwEntArc& a, int32_t n, TPoints& out);

/// Every line, circle and arc of the drawing divided into n parts as the
/// routines above divide one, in the order of the selection; each point is
/// measured from the figure's start by k / n of the way rather than stepped
/// from the one before, so that no rounding gathers along a long figure.
/// Ellipses and elliptic arcs are divided into parts of equal length along
/// them (not of equal angle, as DivideArc divides them), the ends of their
/// axes exact; one too large to measure gets no points.
/// @param g the read drawing
/// @param n the number of parts; 1 places one point on each closed figure,
///        below 1 none
/// @param out where the points are appended
/// @return true when it stopped at kMaxPoints with more to place
bool DivideAll(const TJGdata& g, int32_t n, TPoints& out);

/// Points every pitch along each line, arc and circle of the drawing
/// (ellipses by their length), ends included. A figure is walked from its end
/// nearest the indicated point `from`; a closed one from its point nearest
/// it, counter-clockwise. A point within kSamePoint of an end is that end,
/// and each point is placed once, as a corner two figures share.
/// @param g the read drawing
/// @param pitch the distance between points in mm; not positive or not
///        finite, no point at all
/// @param splitRemainder false: what is left over lies at the far end; true:
///        it is split between both ends (a figure shorter than the pitch gets
///        its two ends alone)
/// @param from the indicated point; without one (flg 0), each figure starts
///        at its first end, a closed one at angle 0
/// @param out where the points are appended
/// @return true when it stopped at kMaxPoints with more to place
bool PitchPoints(const TJGdata& g, double pitch, bool splitRemainder, const TJwwIndPoint& from,
                 TPoints& out);

/// Where the lines, circles, arcs and ellipses of the drawing cross or touch,
/// each point once, sorted by x, then y. Figures that lie on one another are
/// joints, not intersections: lines on one straight that overlap or continue
/// each other, and figures on one circle or ellipse, give no points between
/// them. The cost is bounded by what is drawn, not by the square of the
/// number of figures.
/// @param g the read drawing
/// @param overlapEnds true: figures lying on one another give the ends of
///        their overlap (where they only meet, that point)
/// @param out where the points are appended: the first kMaxPoints of that
///        order
/// @return true when it stopped at kMaxPoints with more to place
bool IntersectionPoints(const TJGdata& g, bool overlapEnds, TPoints& out);

/// The end points and centres of the figures of the drawing, each point once,
/// in the order of the selection.
/// @param g the read drawing
/// @param what 1: the end points of lines and arcs (a closed arc has none);
///        2: the centres of circles and arcs; anything else: both
/// @param out where the points are appended
/// @return true when it stopped at kMaxPoints with more to place
bool EndAndCentrePoints(const TJGdata& g, int32_t what, TPoints& out);

/// Lines closer to parallel than this (the sine of the angle between them)
/// never meet: their crossing would lie more than a million times their own
/// size away, beyond anything drawn, where only rounding put it.
inline constexpr double kParallel = 1e-12;

/// Where every two lines of the drawing meet when both are extended as far
/// as needed (延長交点), their actual crossings included, each point once,
/// sorted by x, then y; parallel lines (kParallel) give none. Lines of no
/// length, or with coordinates that are not finite, take no part.
/// @param g the read drawing
/// @param out where the points are appended: the first kMaxPoints of that
///        order
/// @return true when it stopped at kMaxPoints with more to place
bool ExtendedIntersections(const TJGdata& g, TPoints& out);

/// Points at distances along the first line, circle or arc of the drawing
/// (線上点; ellipses by their length), measured from its end nearest `from`;
/// a circle or closed ellipse from its point nearest `from`,
/// counter-clockwise. A negative distance, or one beyond the far end, lies on
/// the figure's extension: a line's straight line, an arc's circle or
/// ellipse (round and round for distances beyond a full turn). Each point
/// once, in the order of the distances.
/// @param g the read drawing
/// @param d the distances in mm; those not finite place nothing
/// @param bothWays true: each distance is laid both ways from `from` when
///        `from` lies on the figure (from the nearest end otherwise)
/// @param from the indicated point; without one (flg 0), the figure's first
///        end, a closed one's angle 0
/// @param out where the points are appended
/// @param fromOnFigure if given, set to whether `from` lay on the figure and
///        the distances were laid from it (always false without bothWays)
/// @return false when the drawing holds no figure to measure on
bool DistancePoints(const TJGdata& g, const std::vector<double>& d, bool bothWays,
                    const TJwwIndPoint& from, TPoints& out, bool* fromOnFigure = nullptr);

/// How a layout (割付) is laid out: by a pitch, or in equal parts.
struct TLayout {
  double pitch = 0;   ///< a pitch in mm both ways from indicated point 1, used when parts is 0
  int32_t parts = 0;  ///< this many equal parts from indicated point 1 to 2
  bool run = false;   ///< along the run of connected figures (連続線), not one figure
};

/// A layout (割付) on the first line, circle or arc of the drawing, or with
/// TLayout::run on the run of lines and arcs joined end to end that holds it,
/// walked from its end nearest p1 (a run that closes on itself: from where it
/// began). The indicated points are projected onto the figure (a line's
/// projection may lie on its extension). With a pitch: the projection of p1
/// and every pitch from it both ways out to both ends, the ends included (a
/// closed figure: both ways until they meet); with parts: the projections of
/// p1 and p2 and the points between them (a closed figure: counter-clockwise
/// from p1 to p2). Each point once, in the order of the walk.
/// @param g the read drawing
/// @param how the pitch or the count of parts, and whether along a run
/// @param p1 the reference point; without one (flg 0), the start of the walk
/// @param p2 the far point for parts; without one, the end of the walk
/// @param out where the points are appended
/// @param found if given, set to false when the drawing holds no figure a
///        layout fits on
/// @return true when it stopped at kMaxPoints with more to place
bool LayoutPoints(const TJGdata& g, const TLayout& how, const TJwwIndPoint& p1,
                  const TJwwIndPoint& p2, TPoints& out, bool* found = nullptr);
