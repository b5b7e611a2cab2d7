/// @file
/// TJGdata: the drawing the CAD program hands an external tool in JWC_TEMP.TXT,
/// and the commands through which the tool hands its result back in the same
/// file. docs/library.md is the guide, docs/format.md the file itself.
///
/// Calling order of a tool:
///   1. TJGdata g;  g.OpenTempFile(path);   read the file (encoding by its mark)
///   2. look at the store, change it: Ents<jkLine>(), ForEachEnt, Transform, ...
///   3. g.S_Init();                          reading used the pen state: reset it
///   4. commands append lines to t_Mem: S_EntAll / S_EntAllp write the store
///      back (after a "bz" when the file had one, ending on the drawing's
///      current layer group and layer); S_Ent, S_Line, S_Circle, ... write
///      single entities; A_ operations add entities to the store instead
///   5. g.SaveTempFile(path);                 replaces the file with the lines
/// Save from the object that read the file: it knows the encoding (MojiCode),
/// whether widths are written (WidF) and the layer the drawing is on
/// (CurLGrp, CurLay). The CAD program adds what the file says to the drawing
/// and keeps the selection: write only what the tool adds.
///
/// Units: coordinates, radii and lengths are millimetres of the drawing (of
/// the paper when Zusun); text sizes are millimetres on paper; angles are
/// degrees, counter-clockwise from the x axis; colours are codes (1-9 pens,
/// 101.. SXF colours) except fill colours, which are RGB values
/// r + 256 g + 65536 b.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

namespace platform {
class FileBuffer;
}

// ===== Types ==================================================================

/// Entity kind codes, the yn of an entity index entry: one per entity array,
/// named after it (jkCirc for EntCirc).
enum TJwwKind : int32_t {
  jkLine = 1,   ///< line segments, EntLine
  jkCirc = 2,   ///< circles, EntCirc
  jkArc = 3,    ///< arcs and ellipses, EntArc
  jkText = 4,   ///< texts, EntText
  jkPnt = 5,    ///< points, EntPnt
  jkMark = 6,   ///< point markers, EntMark
  jkDim = 7,    ///< dimensions, EntDim
  jkBlk = 8,    ///< block inserts, EntBlk (never written back)
  jkSld2 = 9,   ///< solids of two corners, EntSld2
  jkSld3 = 10,  ///< solids of three corners, EntSld3
  jkSld4 = 11,  ///< solids of four corners, EntSld4
  jkSldC = 12,  ///< circular solids of "sc", EntSldC
  jkSldE = 13,  ///< circular solids of "se", EntSldE (added by A_SolidD)
  jkSldO = 14,  ///< circular solids of "so", EntSldO
  jkSldG = 15,  ///< circular solids of "sg", EntSldG
};

/// The mode argument of S_Col, S_Ltp, S_PCol, S_Mjs and of A_Col, A_Ltp,
/// A_PCol, A_Mjs: how the colour or line type number given is meant. The
/// commands take an int32_t; these convert to it.
enum TJwwMode : int32_t {
  /// The CAD program's own code, written as given (any mode but jmDialog).
  jmCode = 0,
  /// Numbered as in kx29's settings dialog. Colours: 0 the drawing's current
  /// one, 1-9 the pens, 10, 11, ... the SXF colours 1, 2, ... (codes 101,
  /// 102, ...). Line types: 0 the current one, 1-9 themselves, 10-18 the codes
  /// 11-19, 19 onward the codes 31 onward.
  jmDialog = 1,
};

/// The attributes every entity carries.
struct TJwwEntAttr {
  int32_t IPNo = 0;  ///< indicated point the entity refers to; 0 = none
  int32_t LGrp = 0;  ///< layer group 0-15
  int32_t Lay = 0;   ///< layer 0-15 within the group
  int32_t Col = 0;   ///< line colour; text colour for texts; point colour for points
  int32_t Ltp = 0;   ///< line type code
  int32_t Wid = 0;   ///< line width
  int32_t Attr = 0;  ///< bits 1, 2, 4, 8, 16 = "z1" .. "z5"
};

/// An indicated point of the CAD program ("hp", "hhp"), numbered from 1.
struct TJwwIndPoint {
  bool flg = false;  ///< the point was given
  double x = 0;  ///< x of the point
  double y = 0;  ///< y of the point
  int32_t sta = 0;  ///< marker after the number: 0 none, 1 "-", 2 "ln", 3 "ci", 4 "ch"
};

/// An entry of the entity index EntNo: which array, which record in it.
struct TJwwEntNo {
  int32_t yn = 0;  ///< kind code, a TJwwKind
  int32_t no = 0;  ///< 0-based index in that kind's array
};

/// A segment collected for a polyline (S_PLineSet).
struct TJwwPLine {
  ///@{
  /// The ends of the segment.
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  ///@}
};

/// One of the drawing's ten text kinds: sizes in mm on paper, a colour code.
struct TJwwTextKind {
  ///@{
  /// Width, height and spacing of the characters.
  double W = 0, H = 0, D = 0;
  ///@}
  int32_t C = 0;  ///< colour code of the text
};

/// A line segment (bare four numbers), or a segment of a curve.
struct TJwwEntLine {
  TJwwEntAttr att;  ///< attributes
  int32_t CrvNo = 0;  ///< curve (polyline) the segment belongs to; 0 = none
  ///@{
  /// The ends of the segment.
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  ///@}
};

/// A whole circle ("ci" with a radius only).
struct TJwwEntCircle {
  TJwwEntAttr att;  ///< attributes
  ///@{
  /// Centre and radius.
  double cx = 0, cy = 0, cr = 0;
  ///@}
};

/// An arc of a circle or an ellipse: the point at angle t is the centre plus
/// (cr cos t, cr he sin t) turned by ka; the arc runs counter-clockwise from
/// sa to ea. A plain circle arc has he 1 and ka 0.
struct TJwwEntArc {
  TJwwEntAttr att;  ///< attributes
  ///@{
  /// Centre and first semi-axis (the radius of a circle arc).
  double cx = 0, cy = 0, cr = 0;
  ///@}
  ///@{
  /// Start and end angle in degrees, measured before flattening and turning.
  double sa = 0, ea = 0;
  ///@}
  double he = 0;          ///< flatness: second semi-axis = cr * he
  double ka = 0;          ///< tilt of the first axis, degrees
};

/// A text ("ch" .. "c2"), or the text of a dimension.
struct TJwwEntText {
  TJwwEntAttr att;  ///< attributes; Col is the text colour
  int32_t no = 0;  ///< record keyword: "ch" 0, "cv" 1, "cs" 2, ... "c2" 9
  int32_t cc = 0;  ///< text base code 0-8
  int32_t cn = 0;  ///< text kind: 1-10 from Mojisyu, else the free size below
  ///@{
  /// Width, height and spacing of the characters, mm on paper.
  double mw = 0, mh = 0, md = 0;
  ///@}
  ///@{
  /// Start point.
  double x1 = 0, y1 = 0;
  ///@}
  ///@{
  /// Direction vector of the text, not a second point.
  double x2 = 0, y2 = 0;
  ///@}
  std::u16string fo;      ///< font
  std::u16string st;      ///< the text
};

/// A point ("pt").
struct TJwwEntPnt {
  TJwwEntAttr att;  ///< att.Col: the point colour
  ///@{
  /// Where the point is.
  double px = 0, py = 0;
  ///@}
};

/// A point marker ("pt" with scale, angle and code).
struct TJwwEntMark {
  TJwwEntAttr att;  ///< att.Col: the point colour
  ///@{
  /// Where the marker stands.
  double px = 0, py = 0;
  ///@}
  double bai = 0;   ///< scale
  double ang = 0;   ///< degrees
  int32_t cod = 0;  ///< marker code
};

/// A dimension: its measured line and the text that shows the value.
struct TJwwEntDim {
  TJwwEntAttr att;  ///< attributes of the dimension
  TJwwEntLine lin;  ///< the measured line
  TJwwEntText txt;  ///< the text showing the value
};

/// A block insert ("BL"); read, never written back.
struct TJwwEntBlk {
  TJwwEntAttr att;  ///< attributes
  ///@{
  /// Insertion point.
  double px = 0, py = 0;
  ///@}
  std::u16string nam;  ///< block name
};

/// Solids of corners. Color is the fill colour, an RGB value, used when
/// att.Col is 10; any other att.Col fills in that line colour.
/// A solid of two corners.
struct TJwwEntSld2 {
  TJwwEntAttr att;  ///< attributes
  int32_t Color = 0;  ///< fill colour, an RGB value, used when att.Col is 10
  ///@{
  /// The corners, in order.
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  ///@}
};

/// A solid of three corners (a triangle).
struct TJwwEntSld3 {
  TJwwEntAttr att;  ///< attributes
  int32_t Color = 0;  ///< fill colour, an RGB value, used when att.Col is 10
  ///@{
  /// The corners, in order.
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0, x3 = 0, y3 = 0;
  ///@}
};

/// A solid of four corners.
struct TJwwEntSld4 {
  TJwwEntAttr att;  ///< attributes
  int32_t Color = 0;  ///< fill colour, an RGB value, used when att.Col is 10
  ///@{
  /// The corners, in order.
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0, x3 = 0, y3 = 0, x4 = 0, y4 = 0;
  ///@}
};

/// Circular solids of the "sc" and "se" records: centre, radius, flatness and
/// tilt as in TJwwEntArc (note the order: he and ka before the two angles).
struct TJwwEntSldC {
  TJwwEntAttr att;  ///< attributes
  int32_t Color = 0;  ///< fill colour, an RGB value, used when att.Col is 10
  ///@{
  /// Centre, radius, flatness, tilt (degrees), start angle and angle swept
  /// (degrees), as the record gives them.
  double cx = 0, cy = 0, cr = 0, he = 0, ka = 0, sa = 0, da = 0;
  ///@}
  int32_t fl = 0;  ///< the record's code: 100, 5, 0 or -1 ("sc"); 100 or 0 ("se")
};

/// Circular solids of the "so" and "sg" records.
struct TJwwEntSldD {
  TJwwEntAttr att;  ///< attributes
  int32_t Color = 0;  ///< fill colour, an RGB value, used when att.Col is 10
  ///@{
  /// Centre, radius, flatness, tilt (degrees), start angle and angle swept
  /// (degrees), as the record gives them.
  double cx = 0, cy = 0, cr = 0, he = 0, ka = 0, sa = 0, da = 0;
  ///@}
  double ri = 0;  ///< inner radius
};

/// The record type of kind K: TJwwKindOf<jkArc>::Record is TJwwEntArc.
template <TJwwKind K>
struct TJwwKindOf;

/// The overrides of S_EntAll, S_EntAllp and S_Ent by name, each defaulting to
/// "keep the entity's own": S_EntAll({}) writes what S_EntAll(-1, -1, -1, -1,
/// -1, -1, -1, 0) does, S_EntAll({.LGrp = 2, .Col = 5}) writes every entity on
/// layer group 2 and all but texts in colour 5. Colours and line types are
/// codes (jmCode).
struct TJwwOverrides {
  int32_t LGrp = -1;  ///< layer group; any value outside 0-15 keeps the entity's
  int32_t Lay = -1;   ///< layer; any value outside 0-15 keeps the entity's
  /// The rest keep the entity's own only for exactly -1; any other value,
  /// another negative one too, is written.
  int32_t Col = -1;   ///< line colour; point colour of points and markers;
                      ///< solids: 10 fills them with SCol, another a line colour
  int32_t Ltp = -1;   ///< line type of lines, circles, arcs, dimension lines
  int32_t Wid = -1;   ///< width (written only when the file carried widths)
  int32_t TCol = -1;  ///< text colour of texts and dimension texts: writes them
                      ///< as free text kind 0 with their own size
  int32_t Mbs = -1;   ///< text base code of texts and dimension texts
  int32_t SCol = 0;   ///< fill RGB value of solids, used only with Col 10
};

/// What the reader noted about a line (TJGdata::ReadNotes).
enum TJwwNote : int32_t {
  jnNoRecord = 1,    ///< no record takes the line: it was skipped
  jnWordAsLine = 2,  ///< four fields, taken as a line segment although the
                     ///< first is no number ("cir 1 2 3": (0, 1)-(2, 3))
  jnBadNumber = 3,   ///< a field read as a number is none, and was read as 0
  jnReadTwice = 4,   ///< OpenTempFile on an object that had read a file: the
                     ///< store grew and the current values are the first file's
  jnUtf8NoMark = 5,  ///< no byte-order mark, and the bytes are UTF-8 and not
                     ///< code page 932: read as UTF-8 (MojiCode set), so
                     ///< written back as UTF-8 with its mark
  jnUtf16NoMark = 6, ///< no byte-order mark, and a NUL in every other byte:
                     ///< read as UTF-16 (little-endian when the NUL comes
                     ///< second), written back in code page 932
  jnDimBroken = 7,   ///< a dimension's measured line ("msg" and a line) ended
                     ///< before its "cs": the line is dropped, and a "cs" that
                     ///< follows is a text of its own (line: what ended it, or
                     ///< the "msg" when the file ends). SaveTempFile notes the
                     ///< same of its lines (value: the line of the "msg")
  jnPointRange = 8,  ///< an indicated point numbered outside 1-99: dropped
  jnTextWords = 9,   ///< a text without its quote: only the first word after
                     ///< the four numbers is the text, the rest is dropped
  jnLayerDigits = 10,  ///< "lg" or "ly" with more than one character: only
                       ///< the first counts ("lg12" is group 1)

  /// Write notes, from the commands and SaveTempFile.
  jnNotFinite = 11,     ///< a coordinate, size or angle is NaN or infinite: the
                        ///< record was not written (value: the first such)
  jnLayerRange = 12,    ///< a layer group or layer outside 0-15, written as
                        ///< given: the reader takes it for another (value: it)
  jnCodeWraps = 13,     ///< a dialog colour or line type number whose code
                        ///< passes the 32-bit range and wraps (value: the number)
  jnNotEncodable = 14,  ///< characters the file's encoding cannot hold, written
                        ///< as "?" (value: how many in the line)
  jnDropped = 15,       ///< a CR, LF or NUL taken out of a text, or a tab the
                        ///< reader will drop (value: how many)
  jnOutOfStep = 16,     ///< t_MemN counts more lines than t_Mem holds, or lines
                        ///< in use are empty (value: t_MemN, or the empty ones)
  jnWrittenTwice = 17,  ///< S_EntAll or S_EntAllp again with the store's lines
                        ///< already in the buffer: each entity is drawn twice
  jnNoInit = 18,        ///< a line written after reading without S_Init: the
                        ///< pen state was the reader's, and lines it thought
                        ///< written (layer, colours) were left out
  jnCommentAsLine = 19, ///< a comment of exactly four fields, which a reader
                        ///< takes for a line segment (written as given)
  jnReadWrittenBack = 20,  ///< entities read from the file written back: the
                           ///< CAD program keeps the selection, so each is
                           ///< drawn twice (value: how many). ClearStore after
                           ///< reading, or set RewritesSelection when meant
  jnNoZusun = 21,       ///< the file had "bz" (Zusun) and an entity is written
                        ///< with no "bz" before it in the buffer: the CAD
                        ///< program takes its coordinates at the other scale
  jnDegenerate = 22,    ///< a record whose geometry draws nothing (within
                        ///< 1e-10), a blank text, or a code that is none: not
                        ///< written by a command, not added by an A_ adder
  jnColourRange = 23,   ///< a dialog colour number outside 0-265: below 0 it
                        ///< is the current colour, above 265 no colour of the
                        ///< list (value: the number)
  jnNoCurrent = 24,     ///< an entity added after reading without A_Current:
                        ///< it carries the last record's attributes (layer,
                        ///< pens, "z" bits, indicated point, text style), not
                        ///< the drawing's current ones (noted once)
  jnBlocksLeft = 25,    ///< block inserts in the store, which are never
                        ///< written back: a copy of the selection lacks them
                        ///< (value: how many)

  /// Reader notes again.
  jnFieldsPast = 30,    ///< a line of more than 400 fields: the rest is dropped
  jnUndecodable = 31,   ///< bytes the file's encoding cannot decode, read as
                        ///< U+FFFD (value: none; the line as decoded)
};

/// A note of the reader: what, on which line of the file.
struct TJwwReadNote {
  TJwwNote what = jnNoRecord;  ///< what was noted
  int32_t line = 0;     ///< 1-based line number in the file, empty lines counted
  std::u16string text;  ///< the line as decoded (jnReadTwice, jnUtf8NoMark: the file name)
};

/// What a command or the save wrote wrongly or could not write.
struct TJwwWriteNote {
  TJwwNote what = jnNotFinite;  ///< what was noted
  std::u16string call;  ///< the command, "S_Line"; "SaveTempFile"
  double value = 0;     ///< the value at fault, as each note says
  int32_t line = 0;     ///< 1-based line of t_Mem it concerns: for a command the
                        ///< line it wrote or would have written; 0 for none
};

/// An axis-parallel rectangle, empty until a point is added.
struct TJwwBox {
  double x1 = std::numeric_limits<double>::infinity();  ///< least x
  double y1 = std::numeric_limits<double>::infinity();  ///< least y
  double x2 = -std::numeric_limits<double>::infinity(); ///< greatest x
  double y2 = -std::numeric_limits<double>::infinity(); ///< greatest y

  /// Whether the box holds anything.
  /// @return true when no point has been added yet
  bool Empty() const { return !(x1 <= x2 && y1 <= y2); }
  /// Grows the box to hold a point.
  /// @param x the point's x, mm of the drawing
  /// @param y the point's y, mm of the drawing
  void Add(double x, double y);
  ///@{
  /// Grows the box to hold an entity's extent: an arc, an ellipse or a circular solid exactly (a
  /// circular solid that is not whole with its centre too); a text, a marker
  /// and a block insert by the one point they stand at, their drawn size
  /// depending on the font and the paper; a dimension by its line and the
  /// start of its text.
  /// @param e the entity
  void Add(const TJwwEntLine& e);
  void Add(const TJwwEntCircle& e);
  void Add(const TJwwEntArc& e);
  void Add(const TJwwEntText& e);
  void Add(const TJwwEntPnt& e);
  void Add(const TJwwEntMark& e);
  void Add(const TJwwEntDim& e);
  void Add(const TJwwEntBlk& e);
  void Add(const TJwwEntSld2& e);
  void Add(const TJwwEntSld3& e);
  void Add(const TJwwEntSld4& e);
  void Add(const TJwwEntSldC& e);
  void Add(const TJwwEntSldD& e);
  ///@}
};

/// A map of the plane that moves, turns, scales and mirrors, built from the
/// steps below and chained with Then; TJGdata::Transform applies it to the
/// store, Apply to one record.
///
/// What each kind does under it:
/// - every point of an entity is mapped: ends, corners, centres, positions,
///   a text's start point;
/// - radii and an inner radius scale with the map; text sizes and a marker's
///   scale are sizes on paper and stay;
/// - angles turn with the map: an arc's or circular solid's tilt, a marker's
///   angle; a text's (and a dimension text's) direction vector is turned and
///   keeps its length;
/// - under a mirror an arc keeps its sense: its start and end angles swap and
///   turn, so that the arc drawn counter-clockwise is the mirror image, and
///   an ellipse keeps its flatness and gets the mirrored tilt; circular
///   solids do the same, their two angles taken as start and end; letters
///   are never drawn mirrored: a text runs from its mirrored start along its
///   mirrored direction (mirrored left and right, it reads upside down);
/// - a plain circle arc (flatness 1, tilt 0) stays plain: the turn goes into
///   its angles. Angles that turn come out in [0, 360); a whole turn keeps
///   its angles;
/// - a dimension's text is kept: it shows the value it was written with.
/// An unequal scale turns circles into ellipses and slants texts, which their
/// records cannot hold: it maps only lines, points, solids of corners and
/// block inserts, and Transform refuses a store that holds anything else.
class TJwwTransform {
 public:
  TJwwTransform() = default;  ///< leaves everything where it is

  /// A move.
  /// @param dx mm along x
  /// @param dy mm along y
  /// @return the map that moves by dx along x and dy along y
  static TJwwTransform Move(double dx, double dy);
  /// A turn.
  /// @param cx the centre's x, mm
  /// @param cy the centre's y, mm
  /// @param deg the turn in degrees, counter-clockwise
  /// @return the map that turns counter-clockwise by deg degrees about (cx, cy)
  static TJwwTransform Rotate(double cx, double cy, double deg);
  /// A uniform scale.
  /// @param cx the fixed point's x, mm
  /// @param cy the fixed point's y, mm
  /// @param f the factor; a negative one also turns by 180 degrees
  /// @return the map that scales by f about (cx, cy)
  static TJwwTransform Scale(double cx, double cy, double f);
  /// A scale along each axis: equal magnitudes are a uniform scale, with a
  /// mirror when the signs differ.
  /// @param cx the fixed point's x, mm
  /// @param cy the fixed point's y, mm
  /// @param fx the factor along x
  /// @param fy the factor along y
  /// @return the map that scales by fx along x and fy along y about (cx, cy)
  static TJwwTransform Scale(double cx, double cy, double fx, double fy);
  /// A mirror.
  /// @param cx the x of a point on the mirror line, mm
  /// @param cy the y of a point on the mirror line, mm
  /// @param deg the mirror line's direction in degrees: 90 mirrors left and right
  /// @return the map that mirrors about the line through (cx, cy) at deg degrees
  static TJwwTransform Mirror(double cx, double cy, double deg);

  /// Chains two maps.
  /// @param next the map that follows
  /// @return this map, then next
  TJwwTransform Then(const TJwwTransform& next) const;

  /// Maps one point in place.
  /// @param x the point's x, mm; set to the mapped x
  /// @param y the point's y, mm; set to the mapped y
  void Map(double& x, double& y) const;
  /// Whether lengths scale alike in every direction, so that every kind can
  /// follow the map.
  /// @return true for a map without an unequal scale; a chain with an unequal
  ///         scale in it counts as unequal, even when a later step evens it out
  bool Uniform() const { return uniform_; }
  /// Whether the map can be applied.
  /// @return true when it maps every point somewhere (no scale by 0, no
  ///         infinite or NaN value)
  bool Sound() const;

  ///@{
  /// Maps one record in place.
  /// @param e the record
  /// @return false, with the record unchanged, when the map is not Sound or
  ///         the record's kind cannot follow a map that is not Uniform
  bool Apply(TJwwEntLine& e) const;
  bool Apply(TJwwEntCircle& e) const;
  bool Apply(TJwwEntArc& e) const;
  bool Apply(TJwwEntText& e) const;
  bool Apply(TJwwEntPnt& e) const;
  bool Apply(TJwwEntMark& e) const;
  bool Apply(TJwwEntDim& e) const;
  bool Apply(TJwwEntBlk& e) const;
  bool Apply(TJwwEntSld2& e) const;
  bool Apply(TJwwEntSld3& e) const;
  bool Apply(TJwwEntSld4& e) const;
  bool Apply(TJwwEntSldC& e) const;
  bool Apply(TJwwEntSldD& e) const;
  ///@}

 private:
  /// x' = a (x - px) + b (y - py) + c, y' = d (x - px) + e (y - py) + f: the
  /// centre (px, py) of a turn, scale or mirror kept apart, so that it maps to
  /// (c, f) exactly.
  double a_ = 1, b_ = 0, c_ = 0, d_ = 0, e_ = 1, f_ = 0;
  double px_ = 0, py_ = 0;
  /// For a uniform map, a direction at angle t goes to turn_ + t, or to
  /// turn_ - t when mirrored_; lengths are multiplied by scale_. Kept as given
  /// rather than taken back out of the matrix, so that quarter turns and
  /// mirrors leave angles exact.
  double turn_ = 0;
  bool mirrored_ = false;
  double scale_ = 1;
  bool uniform_ = true;

  bool Turns() const { return turn_ != 0 || mirrored_; }
  double TurnAngle(double t) const;
  template <class T>
  bool ApplyRound(T& e, double& ea) const;
};

// ===== The drawing data object ================================================

/// The drawing of one exchange file, and the output that replaces it: see
/// the calling order at the top of this file.
class TJGdata {
  /// @cond INTERNAL
  friend struct TJGdataAccess;  // lets the unit tests look at the pen state
  /// @endcond

 public:
  // ----- Life and reading ------------------------------------------------------
  TJGdata();  ///< every field at its default
  ~TJGdata();  ///< releases the store
  TJGdata(const TJGdata&) = delete;
  TJGdata& operator=(const TJGdata&) = delete;

  /// Reads the exchange file into the object: header, current values, layer
  /// tables, indicated points and entities. The encoding follows the
  /// byte-order mark (EF BB BF UTF-8, which sets MojiCode; FF FE, FE FF
  /// UTF-16); without one the ANSI code page (932), unless the bytes are
  /// UTF-16 (a NUL in every other byte) or UTF-8 that the code page does not
  /// decode (jnUtf16NoMark, jnUtf8NoMark).
  /// @param fn the file's path
  /// @return false when fn is empty, missing or unreadable: the object then
  /// keeps its defaults
  bool OpenTempFile(const std::u16string& fn);
  /// Reader diagnostics, off while null (the default): OpenTempFile then
  /// appends a note for every line read otherwise than it says (no record
  /// takes it, a word taken as a line segment, a number that could not be
  /// read, a broken dimension, ...: the reader notes of TJwwNote) and for a
  /// file without its mark read as UTF-8 or UTF-16. Lines the CAD program writes for no one
  /// ("hq", comments "h#...") are not noted. Reading itself is the same
  /// either way. A read that fails part way and leaves the object at its
  /// defaults leaves the pointer as it is.
  std::vector<TJwwReadNote>* ReadNotes = nullptr;

  /// Writer diagnostics, off while null (the default): the commands,
  /// S_EntAll, S_EntAllp and SaveTempFile append a note for every value the
  /// file cannot carry as given (TJwwNote from jnNotFinite on) and for calls
  /// in an order that writes a wrong file. Writing itself is the same either
  /// way (the store is written back on one thread while notes are taken).
  std::vector<TJwwWriteNote>* WriteNotes = nullptr;
  /// The tool writes entities it read back on purpose (the selection redrawn
  /// in another colour, say), knowing that the CAD program keeps the
  /// selection too: no jnReadWrittenBack. A Transform of the store says so
  /// already; ClearStore after reading is the usual way to write only what
  /// the tool adds.
  bool RewritesSelection = false;

  // ----- Commands: the output buffer, pen state and saving ---------------------
  /// The commands append lines to t_Mem. Pen commands (layer group, layer,
  /// colours, line type, width, text kind, base code, font, fill colour) write
  /// a line only when the value differs from the one last written, or for the
  /// first time after S_Init; entity commands write their line every time,
  /// unless its geometry draws nothing (within 1e-10).

  void S_Init();  ///< resets the pen state; after reading, before the first command
  /// Appends a line as it is, unchecked.
  /// @param s the line, without its line end
  void SendMem(const std::u16string& s);
  /// Replaces the file fn with the lines, each ended by CR LF ("hq" alone when
  /// there are none): UTF-8 with its mark when MojiCode, else the ANSI code
  /// page.
  /// @param fn the file's path
  /// @return false when the file could not be written; none is then left behind
  bool SaveTempFile(const std::u16string& fn);

  /// "lg" and the group in hexadecimal; forces the next S_Lay.
  /// @param lgrp layer group 0-15 (any other is written as given, noted)
  void S_LGrp(int32_t lgrp);
  /// "ly" and the layer in hexadecimal.
  /// @param lay layer 0-15 within the group (any other is written as given, noted)
  void S_Lay(int32_t lay);
  /// Line colour.
  /// @param col the colour, a code or a dialog number as mode says
  /// @param mode a TJwwMode
  void S_Col(int32_t col, int32_t mode);
  /// Line type.
  /// @param ltp the line type, a code or a dialog number as mode says
  /// @param mode a TJwwMode
  void S_Ltp(int32_t ltp, int32_t mode);
  /// Line width, written only when WidF.
  /// @param wid the width; -1 the current width; outside 0-30000 written as 0
  void S_Wid(int32_t wid);
  /// Colour of points and markers.
  /// @param col the colour, a code or a dialog number as mode says
  /// @param mode a TJwwMode
  void S_PCol(int32_t col, int32_t mode);
  /// Text kind.
  /// @param mjs 1-10 a kind of Mojisyu; 0 the free size below; any other
  /// value the drawing's current kind
  /// @param mw width of the free size, mm on paper
  /// @param mh height of the free size, mm on paper
  /// @param md spacing of the free size, mm on paper
  /// @param col colour of the free size, a code or a dialog number as mode says
  /// @param mode a TJwwMode
  void S_Mjs(int32_t mjs, double mw, double mh, double md, int32_t col, int32_t mode);
  /// Text base code.
  /// @param mbs the code 0-8 (any other: 0)
  void S_Mbs(int32_t mbs);
  /// Font of the texts.
  /// @param fnt the font name; empty or "<>": the current font
  void S_Font(const std::u16string& fnt);
  /// Fill colour of solids.
  /// @param col an RGB value r + 256 g + 65536 b (outside 0-FFFFFF: 0)
  void S_SCol(int32_t col);
  /// Fill colour of solids from its parts.
  /// @param r red 0-255 (any other: 0)
  /// @param g green 0-255 (any other: 0)
  /// @param b blue 0-255 (any other: 0)
  void S_SColRGB(int32_t r, int32_t g, int32_t b);
  /// Attribute bits of the next entity ("z1" .. "z5"), written every time.
  /// @param att bits 1, 2, 4, 8, 16 for "z1" .. "z5" ("z4" left out when 16
  ///            is set)
  void S_Attr(int32_t att);
  /// Attribute bits of the next entity as five flags, written every time.
  /// @param at1 "z1"
  /// @param at2 "z2"
  /// @param at3 "z3"
  /// @param at4 "z4", left out when at5 is set
  /// @param at5 "z5"
  void S_Attr(bool at1, bool at2, bool at3, bool at4, bool at5);
  /// Attribute bits of the next entity as five flags, written every time: a
  /// number other than 0 sets its bit.
  /// @param at1 "z1"
  /// @param at2 "z2"
  /// @param at3 "z3"
  /// @param at4 "z4", left out when at5 is set
  /// @param at5 "z5"
  void S_Attr(int32_t at1, int32_t at2, int32_t at3, int32_t at4, int32_t at5);
  /// A comment line, "h#" and s.
  /// @param s the comment; CR, LF and NUL are taken out
  void S_Comment(const std::u16string& s);
  void S_Area();                            ///< "hn" and AreaX1 .. AreaY2
  /// Display colour of a colour code.
  /// @param col a colour code: 1-9 the pens, 101-116 the first SXF colours
  /// @return its RGB value; 0 for a code without one
  int32_t GetColorDisp(int32_t col);

  // Entity commands.
  /// A point, "pt".
  /// @param x x of the point
  /// @param y y of the point
  void S_Ten(double x, double y);
  /// A point marker, "pt" with scale, angle and code.
  /// @param x x of the marker
  /// @param y y of the marker
  /// @param bai its scale (within 1e-10 of 0: 1)
  /// @param ang its angle, degrees
  /// @param cod the marker code -7 to 11 (any other: -3)
  void S_Mark(double x, double y, double bai, double ang, int32_t cod);
  /// A line segment: four bare numbers.
  /// @param x1 x of the start
  /// @param y1 y of the start
  /// @param x2 x of the end
  /// @param y2 y of the end
  void S_Line(double x1, double y1, double x2, double y2);
  void S_PLineStart();  ///< "pl": the lines up to S_PLineEnd ("#") are one polyline
  void S_PLineEnd();  ///< "#": ends the polyline of S_PLineStart
  void S_PLineReset();  ///< collected polyline: reset, add segments, write
  /// Adds a segment to t_PLine.
  /// @param px1 x of the start
  /// @param py1 y of the start
  /// @param px2 x of the end
  /// @param py2 y of the end
  void S_PLineSet(double px1, double py1, double px2, double py2);
  void S_PLine();  ///< writes the collected segments as one polyline
  /// A whole circle: "ci" x y r.
  /// @param x x of the centre
  /// @param y y of the centre
  /// @param r the radius
  void S_Circle(double x, double y, double r);
  /// An arc or an ellipse (see TJwwEntArc).
  /// @param x x of the centre
  /// @param y y of the centre
  /// @param r the first semi-axis, the radius of a circle arc
  /// @param sa the start angle, degrees
  /// @param ea the end angle, degrees
  /// @param h the flatness: the second semi-axis is r h
  /// @param ka the tilt of the first axis, degrees
  void S_Arc(double x, double y, double r, double sa, double ea, double h, double ka);
  /// A text.
  /// @param no the record: 0 "ch" .. 9 "c2" (any other: "ch")
  /// @param x1 x of the start point
  /// @param y1 y of the start point
  /// @param x2 x of the direction vector
  /// @param y2 y of the direction vector
  /// @param m the text; CR, LF and NUL are taken out
  void S_Text(int32_t no, double x1, double y1, double x2, double y2, const std::u16string& m);
  /// A dimension: "msg", its line, its "cs" text.
  /// @param lx1 x of the start of the measured line
  /// @param ly1 y of the start of the measured line
  /// @param lx2 x of the end of the measured line
  /// @param ly2 y of the end of the measured line
  /// @param tx1 x of the text's start point
  /// @param ty1 y of the text's start point
  /// @param tx2 x of the text's direction vector
  /// @param ty2 y of the text's direction vector
  /// @param m the text; blank: the line's length
  void S_Dim(double lx1, double ly1, double lx2, double ly2, double tx1, double ty1,
             double tx2, double ty2, const std::u16string& m);
  /// A solid of two corners, "sl", in the fill set by S_SCol when the line
  /// colour is 10, else in the line colour.
  /// @param x1 x of the first corner
  /// @param y1 y of the first corner
  /// @param x2 x of the second corner
  /// @param y2 y of the second corner
  void S_Solid2(double x1, double y1, double x2, double y2);
  /// A solid of three corners, "sl", filled as S_Solid2.
  /// @param x1 x of the first corner
  /// @param y1 y of the first corner
  /// @param x2 x of the second corner
  /// @param y2 y of the second corner
  /// @param x3 x of the third corner
  /// @param y3 y of the third corner
  void S_Solid3(double x1, double y1, double x2, double y2, double x3, double y3);
  /// A solid of four corners, "sl", filled as S_Solid2.
  /// @param x1 x of the first corner
  /// @param y1 y of the first corner
  /// @param x2 x of the second corner
  /// @param y2 y of the second corner
  /// @param x3 x of the third corner
  /// @param y3 y of the third corner
  /// @param x4 x of the fourth corner
  /// @param y4 y of the fourth corner
  void S_Solid4(double x1, double y1, double x2, double y2, double x3, double y3,
                double x4, double y4);
  /// A circular solid, "sc" (see TJwwEntSldC).
  /// @param x x of the centre
  /// @param y y of the centre
  /// @param r the first semi-axis, the radius of a circle
  /// @param h the flatness: the second semi-axis is r h
  /// @param ka the tilt of the first axis, degrees
  /// @param sa the start angle, degrees
  /// @param da the angle swept, degrees
  /// @param cod the record's code: 100, 5, 0 or -1 (any other: nothing written)
  void S_SolidC(double x, double y, double r, double h, double ka, double sa, double da,
                int32_t cod);
  /// A circular solid, "se" (see TJwwEntSldC).
  /// @param x x of the centre
  /// @param y y of the centre
  /// @param r the first semi-axis, the radius of a circle
  /// @param h the flatness: the second semi-axis is r h
  /// @param ka the tilt of the first axis, degrees
  /// @param sa the start angle, degrees
  /// @param da the angle swept, degrees
  /// @param cod the record's code: 100 or 0 (any other: nothing written)
  void S_SolidD(double x, double y, double r, double h, double ka, double sa, double da,
                int32_t cod);
  /// A circular solid with an inner radius, "so" (see TJwwEntSldD).
  /// @param x x of the centre
  /// @param y y of the centre
  /// @param r the first semi-axis, the radius of a circle
  /// @param h the flatness: the second semi-axis is r h
  /// @param ka the tilt of the first axis, degrees
  /// @param sa the start angle, degrees
  /// @param da the angle swept, degrees
  /// @param ri the inner radius
  void S_SolidO(double x, double y, double r, double h, double ka, double sa, double da,
                double ri);
  /// A circular solid with an inner radius, "sg" (see TJwwEntSldD).
  /// @param x x of the centre
  /// @param y y of the centre
  /// @param r the first semi-axis, the radius of a circle
  /// @param h the flatness: the second semi-axis is r h
  /// @param ka the tilt of the first axis, degrees
  /// @param sa the start angle, degrees
  /// @param da the angle swept, degrees
  /// @param ri the inner radius
  void S_SolidG(double x, double y, double r, double h, double ka, double sa, double da,
                double ri);

  /// S_EntAll(const TJwwOverrides&) with the overrides given as numbers, in
  /// the order of TJwwOverrides: each taken as that field takes it.
  /// @param a1 TJwwOverrides::LGrp, the layer group
  /// @param a2 TJwwOverrides::Lay, the layer
  /// @param a3 TJwwOverrides::Col, the line colour
  /// @param a4 TJwwOverrides::Ltp, the line type
  /// @param a5 TJwwOverrides::Wid, the width
  /// @param a6 TJwwOverrides::TCol, the text colour
  /// @param a7 TJwwOverrides::Mbs, the text base code
  /// @param a8 TJwwOverrides::SCol, the fill RGB value of solids
  void S_EntAll(int32_t a1, int32_t a2, int32_t a3, int32_t a4, int32_t a5, int32_t a6,
                int32_t a7, int32_t a8);
  /// S_EntAllp(const TJwwOverrides&) with the overrides given as numbers, in
  /// the order of TJwwOverrides: each taken as that field takes it.
  /// @param a1 TJwwOverrides::LGrp, the layer group
  /// @param a2 TJwwOverrides::Lay, the layer
  /// @param a3 TJwwOverrides::Col, the line colour
  /// @param a4 TJwwOverrides::Ltp, the line type
  /// @param a5 TJwwOverrides::Wid, the width
  /// @param a6 TJwwOverrides::TCol, the text colour
  /// @param a7 TJwwOverrides::Mbs, the text base code
  /// @param a8 TJwwOverrides::SCol, the fill RGB value of solids
  void S_EntAllp(int32_t a1, int32_t a2, int32_t a3, int32_t a4, int32_t a5, int32_t a6,
                 int32_t a7, int32_t a8);
  /// Writes the store back: every stored entity in EntNo order, each after the
  /// pen commands and attribute bits its own attributes (or the overrides)
  /// ask for; block inserts are not written. First "bz" when Zusun; at the
  /// end S_LGrp(CurLGrp) and S_Lay(CurLay), so that the drawing stays on the
  /// layer it was on. Every segment of a curve is written as a line of its
  /// own. Escape held down breaks off and empties the whole output buffer.
  /// @param o the overrides; {} keeps every entity's own attributes
  void S_EntAll(const TJwwOverrides& o = {});
  /// Writes the store back as S_EntAll(const TJwwOverrides&) does, but the segments of each curve
  /// together, one "pl" .. "#" block per curve, after everything else.
  /// @param o the overrides; {} keeps every entity's own attributes
  void S_EntAllp(const TJwwOverrides& o = {});
  /// Writes the one stored entity at position i of EntNo as S_EntAll would (a
  /// curve's segment as a line of its own), without "bz" and without the
  /// closing layer commands.
  /// @param i the position in EntNo
  /// @param o the overrides, as for S_EntAll
  /// @return false when i names no stored entity that is written back
  /// (outside 0 .. EntN - 1, a block insert, an index entry of no kind or of
  /// no record)
  bool S_Ent(int32_t i, const TJwwOverrides& o = {});

  // ----- Building the store ------------------------------------------------------
  // Attribute setters: the attributes of the entities added after them. They
  // stay in force, attribute bits included, and change no pen state flag;
  // values are taken as the S_ command of the same name takes them.
  /// Layer group of added entities.
  /// @param lgrp the layer group, as S_LGrp takes it
  void A_LGrp(int32_t lgrp);
  /// Layer of added entities.
  /// @param lay the layer, as S_Lay takes it
  void A_Lay(int32_t lay);
  /// Line colour of added lines, curves and solids.
  /// @param col a colour code or a dialog number as mode says, as S_Col takes it
  /// @param mode a TJwwMode
  void A_Col(int32_t col, int32_t mode);
  /// Line type of added entities.
  /// @param ltp a line type code or a dialog number as mode says, as S_Ltp takes it
  /// @param mode a TJwwMode
  void A_Ltp(int32_t ltp, int32_t mode);
  /// Line width of added entities.
  /// @param wid the width, as S_Wid takes it
  void A_Wid(int32_t wid);
  /// Text kind of added texts and dimensions, as S_Mjs takes it.
  /// @param mjs 1-10 a kind of Mojisyu; 0 the free size below; any other
  /// value the drawing's current kind
  /// @param mw width of the free size, mm on paper
  /// @param mh height of the free size, mm on paper
  /// @param md spacing of the free size, mm on paper
  /// @param col colour of the free size, a code or a dialog number as mode says
  /// @param mode a TJwwMode
  void A_Mjs(int32_t mjs, double mw, double mh, double md, int32_t col, int32_t mode);
  /// Text base code of added texts.
  /// @param mbs the code 0-8, as S_Mbs takes it
  void A_Mbs(int32_t mbs);
  /// Font of added texts.
  /// @param fnt the font name, as S_Font takes it
  void A_Font(const std::u16string& fnt);
  /// Colour of added points and markers.
  /// @param col a colour code or a dialog number as mode says, as S_PCol takes it
  /// @param mode a TJwwMode
  void A_PCol(int32_t col, int32_t mode);
  /// Fill colour of added solids.
  /// @param col an RGB value r + 256 g + 65536 b, as S_SCol takes it
  void A_SCol(int32_t col);
  /// Fill colour of added solids from its parts.
  /// @param r red 0-255, as S_SColRGB takes it
  /// @param g green 0-255
  /// @param b blue 0-255
  void A_SColRGB(int32_t r, int32_t g, int32_t b);
  /// Attribute bits of the entities added after it.
  /// @param att bits 1, 2, 4, 8, 16 for "z1" .. "z5"
  void A_Attr(int32_t att);
  /// The attributes for added entities set to the drawing's current ones:
  /// layer group, layer, line colour, point colour (CurPCol, or the current
  /// line colour when the file gave none), line type and width, and the
  /// current text style: text kind (CurMjs, its free size and colour CurMjsW,
  /// CurMjsH, CurMjsD, CurMjsC), base code (CurMbs) and font (CurFont, the
  /// default font when the file gave none); with no attribute bits and no
  /// indicated point. After reading they hold the last record's attributes
  /// instead (its "z" bits too), so a tool that adds to a read drawing calls
  /// this first. ClearStore does not: it leaves the attributes as they are.
  void A_Current();

  // Adders: each appends one record and its index entry, exactly where
  // reading would have put it; degenerate geometry (within 1e-10) is refused
  // (a jnDegenerate write note when notes are taken). The plain form takes the attributes set above, the form with
  // `at` gives the new record those attributes instead.
  /// Adds a line segment.
  /// @param ax1 x of the start
  /// @param ay1 y of the start
  /// @param ax2 x of the end
  /// @param ay2 y of the end
  void A_Line(double ax1, double ay1, double ax2, double ay2);
  /// @copydoc A_Line(double, double, double, double)
  /// @param at the new record's attributes, in place of those set above
  void A_Line(const TJwwEntAttr& at, double ax1, double ay1, double ax2, double ay2);
  /// Adds a point.
  /// @param ax x of the point
  /// @param ay y of the point
  void A_Ten(double ax, double ay);
  /// @copydoc A_Ten(double, double)
  /// @param at the new record's attributes, in place of those set above
  void A_Ten(const TJwwEntAttr& at, double ax, double ay);
  /// Adds a point marker.
  /// @param ax x of the marker
  /// @param ay y of the marker
  /// @param abai its scale (within 1e-10 of 0: 1)
  /// @param aang its angle, degrees
  /// @param acod the marker code -7 to 11 (any other: -3)
  void A_Mark(double ax, double ay, double abai, double aang, int32_t acod);
  /// @copydoc A_Mark(double, double, double, double, int32_t)
  /// @param at the new record's attributes, in place of those set above
  void A_Mark(const TJwwEntAttr& at, double ax, double ay, double abai, double aang,
              int32_t acod);
  /// Adds a whole circle.
  /// @param ax x of the centre
  /// @param ay y of the centre
  /// @param ar the radius
  void A_Circle(double ax, double ay, double ar);
  /// @copydoc A_Circle(double, double, double)
  /// @param at the new record's attributes, in place of those set above
  void A_Circle(const TJwwEntAttr& at, double ax, double ay, double ar);
  /// Adds an arc or ellipse (see S_Arc).
  /// @param ax x of the centre
  /// @param ay y of the centre
  /// @param ar the first semi-axis, the radius of a circle arc
  /// @param asa the start angle, degrees
  /// @param aea the end angle, degrees
  /// @param ah the flatness: the second semi-axis is ar ah (within 1e-10 of 0:
  ///           1, a circle arc)
  /// @param aka the tilt of the first axis, degrees
  void A_Arc(double ax, double ay, double ar, double asa, double aea, double ah, double aka);
  /// @copydoc A_Arc(double, double, double, double, double, double, double)
  /// @param at the new record's attributes, in place of those set above
  void A_Arc(const TJwwEntAttr& at, double ax, double ay, double ar, double asa, double aea,
             double ah, double aka);
  /// Adds a text in the text kind, base code and font set above.
  /// @param ano the record: 0 "ch" .. 9 "c2" (any other: "ch")
  /// @param ax1 x of the start point
  /// @param ay1 y of the start point
  /// @param ax2 x of the direction vector
  /// @param ay2 y of the direction vector
  /// @param am the text; a blank one is refused
  void A_Text(int32_t ano, double ax1, double ay1, double ax2, double ay2,
              const std::u16string& am);
  /// @copydoc A_Text(int32_t, double, double, double, double, const std::u16string&)
  /// @param at the new record's attributes, in place of those set above
  void A_Text(const TJwwEntAttr& at, int32_t ano, double ax1, double ay1, double ax2,
              double ay2, const std::u16string& am);
  /// Adds a dimension (see S_Dim).
  /// @param lx1 x of the start of the measured line
  /// @param ly1 y of the start of the measured line
  /// @param lx2 x of the end of the measured line
  /// @param ly2 y of the end of the measured line
  /// @param tx1 x of the text's start point
  /// @param ty1 y of the text's start point
  /// @param tx2 x of the text's direction vector
  /// @param ty2 y of the text's direction vector
  /// @param m the text; blank: the line's length
  void A_Dim(double lx1, double ly1, double lx2, double ly2, double tx1, double ty1,
             double tx2, double ty2, const std::u16string& m);
  /// @copydoc A_Dim(double,double,double,double,double,double,double,double,const std::u16string&)
  /// @param at the new record's attributes, in place of those set above
  void A_Dim(const TJwwEntAttr& at, double lx1, double ly1, double lx2, double ly2,
             double tx1, double ty1, double tx2, double ty2, const std::u16string& m);
  /// Adds a solid of two corners.
  /// @param ax1 x of the first corner
  /// @param ay1 y of the first corner
  /// @param ax2 x of the second corner
  /// @param ay2 y of the second corner
  void A_Solid2(double ax1, double ay1, double ax2, double ay2);
  /// @copydoc A_Solid2(double, double, double, double)
  /// @param at the new record's attributes, in place of those set above
  void A_Solid2(const TJwwEntAttr& at, double ax1, double ay1, double ax2, double ay2);
  /// Adds a solid of three corners.
  /// @param ax1 x of the first corner
  /// @param ay1 y of the first corner
  /// @param ax2 x of the second corner
  /// @param ay2 y of the second corner
  /// @param ax3 x of the third corner
  /// @param ay3 y of the third corner
  void A_Solid3(double ax1, double ay1, double ax2, double ay2, double ax3, double ay3);
  /// @copydoc A_Solid3(double, double, double, double, double, double)
  /// @param at the new record's attributes, in place of those set above
  void A_Solid3(const TJwwEntAttr& at, double ax1, double ay1, double ax2, double ay2,
                double ax3, double ay3);
  /// Adds a solid of four corners.
  /// @param ax1 x of the first corner
  /// @param ay1 y of the first corner
  /// @param ax2 x of the second corner
  /// @param ay2 y of the second corner
  /// @param ax3 x of the third corner
  /// @param ay3 y of the third corner
  /// @param ax4 x of the fourth corner
  /// @param ay4 y of the fourth corner
  void A_Solid4(double ax1, double ay1, double ax2, double ay2, double ax3, double ay3,
                double ax4, double ay4);
  /// @copydoc A_Solid4(double, double, double, double, double, double, double, double)
  /// @param at the new record's attributes, in place of those set above
  void A_Solid4(const TJwwEntAttr& at, double ax1, double ay1, double ax2, double ay2,
                double ax3, double ay3, double ax4, double ay4);
  /// Adds a circular solid, written back as "sc" (see S_SolidC).
  /// @param ax x of the centre
  /// @param ay y of the centre
  /// @param ar the first semi-axis, the radius of a circle
  /// @param ah the flatness: the second semi-axis is ar ah
  /// @param aka the tilt of the first axis, degrees
  /// @param asa the start angle, degrees
  /// @param ada the angle swept, degrees
  /// @param acod the record's code: 100, 5, 0 or -1 (any other is refused)
  void A_SolidC(double ax, double ay, double ar, double ah, double aka, double asa,
                double ada, int32_t acod);
  /// @copydoc A_SolidC(double, double, double, double, double, double, double, int32_t)
  /// @param at the new record's attributes, in place of those set above
  void A_SolidC(const TJwwEntAttr& at, double ax, double ay, double ar, double ah,
                double aka, double asa, double ada, int32_t acod);
  /// Adds a circular solid into EntSldE, written back as "se".
  /// @param ax x of the centre
  /// @param ay y of the centre
  /// @param ar the first semi-axis, the radius of a circle
  /// @param ah the flatness: the second semi-axis is ar ah
  /// @param aka the tilt of the first axis, degrees
  /// @param asa the start angle, degrees
  /// @param ada the angle swept, degrees
  /// @param acod the record's code: 100 or 0 (any other is refused)
  void A_SolidD(double ax, double ay, double ar, double ah, double aka, double asa,
                double ada, int32_t acod);
  /// @copydoc A_SolidD(double, double, double, double, double, double, double, int32_t)
  /// @param at the new record's attributes, in place of those set above
  void A_SolidD(const TJwwEntAttr& at, double ax, double ay, double ar, double ah,
                double aka, double asa, double ada, int32_t acod);
  /// Adds a circular solid with an inner radius, written back as "so".
  /// @param ax x of the centre
  /// @param ay y of the centre
  /// @param ar the first semi-axis, the radius of a circle
  /// @param ah the flatness: the second semi-axis is ar ah
  /// @param aka the tilt of the first axis, degrees
  /// @param asa the start angle, degrees
  /// @param ada the angle swept, degrees
  /// @param ari the inner radius
  void A_SolidO(double ax, double ay, double ar, double ah, double aka, double asa,
                double ada, double ari);
  /// @copydoc A_SolidO(double, double, double, double, double, double, double, double)
  /// @param at the new record's attributes, in place of those set above
  void A_SolidO(const TJwwEntAttr& at, double ax, double ay, double ar, double ah,
                double aka, double asa, double ada, double ari);
  /// Adds a circular solid with an inner radius, written back as "sg".
  /// @param ax x of the centre
  /// @param ay y of the centre
  /// @param ar the first semi-axis, the radius of a circle
  /// @param ah the flatness: the second semi-axis is ar ah
  /// @param aka the tilt of the first axis, degrees
  /// @param asa the start angle, degrees
  /// @param ada the angle swept, degrees
  /// @param ari the inner radius
  void A_SolidG(double ax, double ay, double ar, double ah, double aka, double asa,
                double ada, double ari);
  /// @copydoc A_SolidG(double, double, double, double, double, double, double, double)
  /// @param at the new record's attributes, in place of those set above
  void A_SolidG(const TJwwEntAttr& at, double ax, double ay, double ar, double ah,
                double aka, double asa, double ada, double ari);

  // ----- The store -------------------------------------------------------------
  // Header values.
  bool MojiCode = false;  ///< read as UTF-8, so written back as UTF-8
  double Jikukaku = 0;    ///< axis angle, degrees
  std::u16string ZumenFile;  ///< the drawing's file name ("hk")
  std::array<double, 16> LGrpScale{};  ///< scale of each layer group
  ///@{
  /// The sheet, mm on paper.
  double ZumenXsize = 0, ZumenYsize = 0;
  ///@}
  std::array<TJwwTextKind, 11> Mojisyu{};  ///< text kinds 1..10; 0 unused
  std::array<int32_t, 357> RGB{};          ///< entries 1..356 of "hrgb"; 0 unused
  bool Zusun = false;  ///< the file had "bz": coordinates are mm on paper
  ///@{
  /// The drawing's area ("hn"): two corners.
  double AreaX1 = 0, AreaY1 = 0, AreaX2 = 0, AreaY2 = 0;
  ///@}

  ///@{
  /// Values in force in the drawing, from the first record of each kind:
  /// layer group, layer, line colour, line type, width.
  int32_t CurLGrp = 0, CurLay = 0, CurCol = 0, CurLtp = 0, CurWid = 0;
  ///@}
  int32_t CurMjs = 0;  ///< text kind in force; 0: the free size below
  ///@{
  /// Free text size in force: width, height, spacing (mm on paper).
  double CurMjsW = 0, CurMjsH = 0, CurMjsD = 0;
  ///@}
  int32_t CurMjsC = 0;     ///< colour of the free text size in force
  std::u16string CurFont;  ///< font in force
  int32_t CurMbs = 0;      ///< text base code in force, from the first "cc" (0-8)
  int32_t CurPCol = 0;     ///< point colour in force, from the first "pn"; 0 for none

  // Indicated points and layer tables.
  std::vector<TJwwIndPoint> IPoints;  ///< 100 entries, 1..99 used
  int32_t IPointN = 0;                ///< "hp" records read, not the highest number
  /// The highest indicated point number.
  /// @return the highest point number given; 0 for none
  int32_t IPointMax() const;
  bool WidF = false;                  ///< the file had "lw": widths are written back
  std::vector<int32_t> LGrpStat;         ///< 16
  std::vector<std::u16string> LGrpName;  ///< 16
  std::vector<int32_t> LayStat;          ///< 256, group * 16 + layer
  std::vector<std::u16string> LayName;   ///< 256

  // Entities: each array's length grows in blocks of 1000 and its count says
  // how many leading elements are in use.
  int32_t EntN = 0;  ///< entries of EntNo in use
  /// Every stored entity once, in the order it was read or added.
  std::vector<TJwwEntNo> EntNo;
  int32_t EntLineN = 0;  ///< line segments in use
  std::vector<TJwwEntLine> EntLine;  ///< line segments
  TJwwEntLine EntSunLine;  ///< dimension line waiting for its text; not an entity
  int32_t EntCircN = 0;  ///< circles in use
  std::vector<TJwwEntCircle> EntCirc;  ///< circles
  int32_t EntArcN = 0;  ///< arcs and ellipses in use
  std::vector<TJwwEntArc> EntArc;  ///< arcs and ellipses
  int32_t EntTextN = 0;  ///< texts in use
  std::vector<TJwwEntText> EntText;  ///< texts
  int32_t EntPntN = 0;  ///< points in use
  std::vector<TJwwEntPnt> EntPnt;  ///< points
  int32_t EntMarkN = 0;  ///< point markers in use
  std::vector<TJwwEntMark> EntMark;  ///< point markers
  int32_t EntDimN = 0;  ///< dimensions in use
  std::vector<TJwwEntDim> EntDim;  ///< dimensions
  int32_t EntBlkN = 0;  ///< block inserts in use
  std::vector<TJwwEntBlk> EntBlk;  ///< block inserts
  int32_t EntSld2N = 0;  ///< solids of two corners in use
  std::vector<TJwwEntSld2> EntSld2;  ///< solids of two corners
  int32_t EntSld3N = 0;  ///< solids of three corners in use
  std::vector<TJwwEntSld3> EntSld3;  ///< solids of three corners
  int32_t EntSld4N = 0;  ///< solids of four corners in use
  std::vector<TJwwEntSld4> EntSld4;  ///< solids of four corners
  int32_t EntSldCN = 0;  ///< circular solids of "sc" in use
  std::vector<TJwwEntSldC> EntSldC;  ///< circular solids of "sc"
  int32_t EntSldEN = 0;  ///< circular solids of "se" in use
  std::vector<TJwwEntSldC> EntSldE;  ///< circular solids of "se"
  int32_t EntSldON = 0;  ///< circular solids of "so" in use
  std::vector<TJwwEntSldD> EntSldO;  ///< circular solids of "so"
  int32_t EntSldGN = 0;  ///< circular solids of "sg" in use
  std::vector<TJwwEntSldD> EntSldG;  ///< circular solids of "sg"

  ///@{
  /// The records in use of kind K, sized by its count:
  ///   for (TJwwEntLine& l : g.Ents<jkLine>()) l.x1 += 10;
  /// @tparam K the kind
  /// @return a view of the kind's array, valid until the store grows or is
  ///         emptied
  template <TJwwKind K>
  std::span<typename TJwwKindOf<K>::Record> Ents();
  template <TJwwKind K>
  std::span<const typename TJwwKindOf<K>::Record> Ents() const;
  ///@}
  ///@{
  /// f(kind, record) for every stored entity in EntNo order, the record as its
  /// own type (TJwwEntArc& for jkArc), so f is best a generic lambda:
  ///   g.ForEachEnt([](TJwwKind k, auto& e) { ... });
  /// Index entries that name no stored record are passed over.
  /// @param f called as f(kind, record); it must not add or remove entities
  template <class F>
  void ForEachEnt(F&& f);
  template <class F>
  void ForEachEnt(F&& f) const;
  ///@}

  /// Empties the store: every entity, the index and an open curve or
  /// dimension. Everything else stays: header values, encoding, current
  /// values, widths, text kinds, layer tables, indicated points, the
  /// attributes for added entities and the output. A tool that writes only
  /// what it adds empties the store after reading, adds, and writes it back.
  void ClearStore();
  /// Maps every stored entity (see TJwwTransform).
  /// @param t the map
  /// @return false, with nothing changed, when the map is not Sound, or is
  /// not Uniform while the store holds a kind that cannot follow it
  bool Transform(const TJwwTransform& t);
  /// The extent of the store.
  /// @return the extent of every stored entity (TJwwBox::Add); empty for none
  TJwwBox Box() const;

  // The output buffer: t_Mem[0 .. t_MemN - 1] replaces the file on saving.
  int32_t t_MemN = 0;                 ///< lines of t_Mem in use
  std::vector<std::u16string> t_Mem;  ///< the output lines, without line ends
  int32_t t_PLineN = 0;               ///< segments of t_PLine in use
  std::vector<TJwwPLine> t_PLine;     ///< the collected polyline of S_PLineSet
  void StopJwwGaibu();  ///< empties the output buffer

  /// @cond INTERNAL
  // Maintaining the object: what the reader and the adders use, public for
  // the tools of old that call them.
  int32_t aCol = 0;   // display RGB of the colour last set by an A_ operation
  int32_t aSCol = 0;  // display RGB of the fill colour last set by an A_ operation
  void DataInit();      // every field to its default, the store emptied (keeps RGB)
  void DataFree();      // releases every array
  void SetEntNo(int32_t a_yn, int32_t a_no);    // appends an index entry
  void SetEntAttr(TJwwEntAttr& at);             // at := the attributes in force
  void CopyEntAttr(TJwwEntAttr& a1, const TJwwEntAttr& a2);  // a1 := a2
  /// @endcond

  // ===== Internals ============================================================
 private:
  /// Attribute and pen state: the attributes of the next record while reading,
  /// of the next added entity while building, the last values written after
  /// S_Init.
  bool w_FlgLGrp = false, w_FlgLay = false, w_FlgCol = false, w_FlgLtp = false,
       w_FlgWid = false, w_FlgMjs = false, w_FlgMbs = false, w_FlgFont = false,
       w_FlgPCol = false, w_FlgSCol = false;
  int32_t w_IPNo = 0;
  int32_t w_LGrp = 0;
  int32_t w_Lay = 0;
  int32_t w_Col = 0;
  int32_t w_Ltp = 0;
  int32_t w_Wid = 0;
  int32_t w_Mjs = 0;
  double w_MjsW = 0, w_MjsH = 0, w_MjsD = 0;
  int32_t w_MjsC = 0;
  int32_t w_Mbs = 0;
  std::u16string w_Font;
  int32_t w_Attr = 0;
  int32_t w_CrvNo = 0;
  bool w_CrvFl = false;
  bool w_DimFl = false;
  int32_t w_PtCol = 0;
  int32_t w_SlCol = 0;
  bool r_MbsFirst = true, r_PColFirst = true;  ///< no "cc", no "pn" read yet
  /// Calling order, for the write notes: a file was read and S_Init has not
  /// run since; the lines of S_EntAll begin at this line (0: none written).
  bool w_ReadNoInit = false;
  bool w_HasRead = false;
  int32_t w_EntAllLines = 0;
  /// Index entries 0 .. w_ReadEnts - 1 were read from the file (0 after
  /// ClearStore or Transform); the entries S_Ent wrote into the buffer, which
  /// begin at line w_EntLine (0: none); the line of the last "bz" sent and
  /// the line the missing one was noted at.
  int32_t w_ReadEnts = 0;
  std::vector<bool> w_EntOnes;
  int32_t w_EntLine = 0;
  int32_t w_BzLine = 0;
  int32_t w_NoBzLine = 0;
  /// The attributes for added entities are still the last record's: no
  /// A_Current since reading.
  bool w_AttrRead = false;

  int32_t NextLine() const;  ///< 1-based number of the next line written
  /// A write note, when notes are taken; by default about the next line.
  void WriteNote(TJwwNote what, const char16_t* call, double value, int32_t line = -1);
  /// False, with a note, when a value is not finite.
  bool Finite(const char16_t* call, std::initializer_list<double> values);
  /// Finite for the values of an entity's record, and a note on a missing "bz".
  bool Writable(const char16_t* call, std::initializer_list<double> values);
  /// Notes the characters a text command takes out or the reader drops.
  void NoteText(const char16_t* call, std::u16string_view s);
  void NoteSave(int32_t lines);  ///< SaveTempFile's notes on the lines it writes
  void NoteDims(int32_t lines);  ///< the save's notes on dimensions cut apart
  void NoteWriteBack(const char16_t* call);  ///< S_EntAll again on the same lines
  /// Notes the entries from .. n - 1 that were read and are written back.
  void NoteReadBack(const char16_t* call, int32_t from, int32_t n, int32_t line);
  bool NothingToWriteBack() const;  ///< an empty store, no file read
  void NoteBlocks(const char16_t* call, int32_t from, int32_t n, int32_t line);  ///< blocks left out
  bool Drawn(const char16_t* call, bool degenerate);  ///< false, noted, for nothing to draw
  int32_t DialogCol(const char16_t* call, int32_t col, int32_t mode);  ///< the code, noted
  /// How many fields the reader splits a line into, with no limit.
  static int32_t ReadFields(std::u16string_view line);

  // Reader internals.
  struct ReadTokens;  ///< the tokens of one line as a record sees them
  struct ReadBatch;   ///< lines of a piece of the file, split and classified
  struct ReadRule;    ///< one record kind: keyword, how it matches, token count, handler
  struct DimWatch;    ///< a dimension open line by line, and what breaks it
  static const ReadRule kReadRules[];
  void ParseLine(std::u16string_view line);
  bool ReadTempFile(const std::u16string& fn);  ///< OpenTempFile's work, which may throw
  static int32_t RuleFor(std::u16string_view t0, int32_t n);
  static void Classify(ReadBatch& b);
  void TakeBatch(const ReadBatch& b);
  template <size_t Width, bool BigEndian, class Decode>
  static void PrepareBatch(ReadBatch& b, std::string_view piece, Decode decode);
  template <size_t Width, bool BigEndian, class Decode>
  void ReadLines(platform::FileBuffer& file, std::string_view text, Decode decode);
  template <size_t Width, bool BigEndian, class Decode>
  void NoteLines(std::string_view text, Decode decode) const;
  static int32_t NoteOfLine(const ReadTokens& tk);  ///< a TJwwNote, or 0
  void R_EntityDone();
  void R_File(const ReadTokens& tk);
  void R_Jikukaku(const ReadTokens& tk);
  void R_LGrpScale(const ReadTokens& tk);
  void R_ZumenSize(const ReadTokens& tk);
  void R_MojiW(const ReadTokens& tk);
  void R_MojiH(const ReadTokens& tk);
  void R_MojiD(const ReadTokens& tk);
  void R_MojiC(const ReadTokens& tk);
  void R_Zusun(const ReadTokens& tk);
  void R_Area(const ReadTokens& tk);
  void R_RGB(const ReadTokens& tk);
  void R_LGrpName(const ReadTokens& tk);
  void R_LayName(const ReadTokens& tk);
  void R_LGrp(const ReadTokens& tk);
  void R_Lay(const ReadTokens& tk);
  void R_Col(const ReadTokens& tk);
  void R_Ltp(const ReadTokens& tk);
  void R_Wid(const ReadTokens& tk);
  void R_Font(const ReadTokens& tk);
  void R_Mjs(const ReadTokens& tk);
  void R_Mbs(const ReadTokens& tk);
  void R_Attr(const ReadTokens& tk);
  void R_PCol(const ReadTokens& tk);
  void R_CrvStart(const ReadTokens& tk);
  void R_DimStart(const ReadTokens& tk);
  void R_GroupEnd(const ReadTokens& tk);
  void R_IPoint(const ReadTokens& tk);
  void R_NextIPoint(const ReadTokens& tk);
  void R_Circle(const ReadTokens& tk);
  void R_Arc(const ReadTokens& tk);
  void R_Text(const ReadTokens& tk);
  void R_Ten(const ReadTokens& tk);
  void R_Mark(const ReadTokens& tk);
  void R_Blk(const ReadTokens& tk);
  void R_Solid2(const ReadTokens& tk);
  void R_Solid3(const ReadTokens& tk);
  void R_Solid4(const ReadTokens& tk);
  void R_SolidC(const ReadTokens& tk);
  void R_SolidE(const ReadTokens& tk);
  void R_SolidO(const ReadTokens& tk);
  void R_SolidG(const ReadTokens& tk);
  void R_Line(const ReadTokens& tk);

  // Writer internals.
  int32_t ColCode(int32_t a);
  int32_t LtpCode(int32_t a);

  /// The entity kinds with what the library does with them (jwwgaibu/Kinds.h).
  struct Kinds;

  /// Re-emission internals: the drawing command of a stored entity, run here
  /// or ahead on another object; the entries written in order, with their
  /// commands run ahead on a second thread for a big store.
  struct Ahead;
  const Ahead* r_Ahead = nullptr;  ///< lines made ahead for the entry being written
  template <TJwwKind K, class T>
  void EntityCommand(const T& e);
  template <TJwwKind K, class T>
  void Command(const T& e);
  template <class Write>
  void WriteInOrder(int32_t n, bool skipCurves, Write write);
  /// Re-emission internals: per-kind writers, each given a stored record.
  void S_EntLine(const TJwwEntLine& e, const TJwwOverrides& o);
  void S_EntLinep(const TJwwEntLine& e, int32_t pos, int32_t& cur, const TJwwOverrides& o);
  void S_EntCirc(const TJwwEntCircle& e, const TJwwOverrides& o);
  void S_EntArc(const TJwwEntArc& e, const TJwwOverrides& o);
  void S_EntPnt(const TJwwEntPnt& e, const TJwwOverrides& o);
  void S_EntMark(const TJwwEntMark& e, const TJwwOverrides& o);
  void S_EntText(const TJwwEntText& e, const TJwwOverrides& o);
  void S_EntDim(const TJwwEntDim& e, const TJwwOverrides& o);
  void S_EntSld2(const TJwwEntSld2& e, const TJwwOverrides& o);
  void S_EntSld3(const TJwwEntSld3& e, const TJwwOverrides& o);
  void S_EntSld4(const TJwwEntSld4& e, const TJwwOverrides& o);
  void S_EntSldC(const TJwwEntSldC& e, const TJwwOverrides& o);
  void S_EntSldE(const TJwwEntSldC& e, const TJwwOverrides& o);
  void S_EntSldO(const TJwwEntSldD& e, const TJwwOverrides& o);
  void S_EntSldG(const TJwwEntSldD& e, const TJwwOverrides& o);
  void S_EntLayer(const TJwwEntAttr& a, const TJwwOverrides& o);
  void S_EntLinePen(const TJwwEntAttr& a, const TJwwOverrides& o);
  void S_EntTextSettings(const TJwwEntText& t, const TJwwOverrides& o);

  /// Store internals: a new text's settings from the text state, as the reader
  /// and the adders both give them.
  void FillText(TJwwEntText& t, int32_t no, double x1, double y1, double x2, double y2,
                std::u16string_view st);

  /// How many leading elements of an array of len elements a count n says are
  /// in use: counts are public fields a caller may set to anything.
  static size_t InUse(int32_t n, size_t len) {
    return n <= 0 ? 0 : static_cast<size_t>(n) < len ? static_cast<size_t>(n) : len;
  }
  /// The stored record of kind K that an index entry names: nullptr unless the
  /// entry is of kind K and its number lies within the kind's records in use.
  template <TJwwKind K, class G>
  static auto* Find(G& g, const TJwwEntNo& en);
  template <class G, class F>
  static void ForEachEntOf(G& g, F& f);
};

// ----- Internals: the table of entity kinds ------------------------------------
/// @cond INTERNAL
/// One row per kind, in code order: its code, its record type, and the array
/// and count that hold it. The views and the visitor above, and the library's
/// own reading, adding and writing back, all go through it.
template <TJwwKind K, class T, std::vector<T> TJGdata::*A, int32_t TJGdata::*N>
struct TJwwKindRow {
  static constexpr TJwwKind kCode = K;  ///< the kind's code
  using Record = T;                      ///< the kind's record type
  ///@{
  /// The kind's array in g.
  static std::vector<T>& Array(TJGdata& g) { return g.*A; }
  static const std::vector<T>& Array(const TJGdata& g) { return g.*A; }
  ///@}
  ///@{
  /// The kind's count in g.
  static int32_t& Count(TJGdata& g) { return g.*N; }
  static int32_t Count(const TJGdata& g) { return g.*N; }
  ///@}
};

/// Every kind's row (TJwwKindRow), in code order.
using TJwwKindTable = std::tuple<
    //           code    record         array              count
    TJwwKindRow<jkLine, TJwwEntLine,   &TJGdata::EntLine, &TJGdata::EntLineN>,
    TJwwKindRow<jkCirc, TJwwEntCircle, &TJGdata::EntCirc, &TJGdata::EntCircN>,
    TJwwKindRow<jkArc,  TJwwEntArc,    &TJGdata::EntArc,  &TJGdata::EntArcN>,
    TJwwKindRow<jkText, TJwwEntText,   &TJGdata::EntText, &TJGdata::EntTextN>,
    TJwwKindRow<jkPnt,  TJwwEntPnt,    &TJGdata::EntPnt,  &TJGdata::EntPntN>,
    TJwwKindRow<jkMark, TJwwEntMark,   &TJGdata::EntMark, &TJGdata::EntMarkN>,
    TJwwKindRow<jkDim,  TJwwEntDim,    &TJGdata::EntDim,  &TJGdata::EntDimN>,
    TJwwKindRow<jkBlk,  TJwwEntBlk,    &TJGdata::EntBlk,  &TJGdata::EntBlkN>,
    TJwwKindRow<jkSld2, TJwwEntSld2,   &TJGdata::EntSld2, &TJGdata::EntSld2N>,
    TJwwKindRow<jkSld3, TJwwEntSld3,   &TJGdata::EntSld3, &TJGdata::EntSld3N>,
    TJwwKindRow<jkSld4, TJwwEntSld4,   &TJGdata::EntSld4, &TJGdata::EntSld4N>,
    TJwwKindRow<jkSldC, TJwwEntSldC,   &TJGdata::EntSldC, &TJGdata::EntSldCN>,
    TJwwKindRow<jkSldE, TJwwEntSldC,   &TJGdata::EntSldE, &TJGdata::EntSldEN>,
    TJwwKindRow<jkSldO, TJwwEntSldD,   &TJGdata::EntSldO, &TJGdata::EntSldON>,
    TJwwKindRow<jkSldG, TJwwEntSldD,   &TJGdata::EntSldG, &TJGdata::EntSldGN>>;

/// The rows stand in code order, so a kind's row is found by its code.
template <TJwwKind K>
struct TJwwKindOf : std::tuple_element_t<static_cast<size_t>(K) - 1, TJwwKindTable> {};

static_assert([]<size_t... k>(std::index_sequence<k...>) {
  return ((std::tuple_element_t<k, TJwwKindTable>::kCode == static_cast<TJwwKind>(k + 1)) && ...);
}(std::make_index_sequence<std::tuple_size_v<TJwwKindTable>>()));
/// @endcond

template <TJwwKind K, class G>
auto* TJGdata::Find(G& g, const TJwwEntNo& en) {
  auto& a = TJwwKindOf<K>::Array(g);
  using P = decltype(a.data());
  if (en.yn != K || en.no < 0) return P{nullptr};
  const size_t i = static_cast<size_t>(en.no);
  return i < InUse(TJwwKindOf<K>::Count(g), a.size()) ? a.data() + i : P{nullptr};
}

template <TJwwKind K>
std::span<typename TJwwKindOf<K>::Record> TJGdata::Ents() {
  auto& a = TJwwKindOf<K>::Array(*this);
  return {a.data(), InUse(TJwwKindOf<K>::Count(*this), a.size())};
}

template <TJwwKind K>
std::span<const typename TJwwKindOf<K>::Record> TJGdata::Ents() const {
  const auto& a = TJwwKindOf<K>::Array(*this);
  return {a.data(), InUse(TJwwKindOf<K>::Count(*this), a.size())};
}

template <class G, class F>
void TJGdata::ForEachEntOf(G& g, F& f) {
  const size_t n = InUse(g.EntN, g.EntNo.size());
  for (size_t i = 0; i < n; ++i) {
    const TJwwEntNo en = g.EntNo[i];
    /// The entry's kind picks its row; the first row that matches ends the fold.
    [&]<size_t... k>(std::index_sequence<k...>) {
      (([&] {
         constexpr TJwwKind kind = std::tuple_element_t<k, TJwwKindTable>::kCode;
         if (en.yn != kind) return false;
         if (auto* e = Find<kind>(g, en)) f(kind, *e);
         return true;
       }()) || ...);
    }(std::make_index_sequence<std::tuple_size_v<TJwwKindTable>>());
  }
}

template <class F>
void TJGdata::ForEachEnt(F&& f) {
  ForEachEntOf(*this, f);
}

template <class F>
void TJGdata::ForEachEnt(F&& f) const {
  ForEachEntOf(*this, f);
}
