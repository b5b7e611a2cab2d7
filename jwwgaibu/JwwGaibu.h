// TJGdata: the drawing handed over by the CAD program in JWC_TEMP.TXT, and the
// commands that hand a result back through the same file.
//
// One object is read from the exchange file (OpenTempFile), its pen state is
// reset (S_Init), commands append lines to t_Mem, and SaveTempFile replaces
// the exchange file with those lines. Entities can also be added to the store
// directly (the A_ operations) and written back (S_EntAll, S_EntAllp).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class FileBuffer;
}

struct TJwwEntAttr {
  int32_t IPNo = 0;  // indicated point the entity refers to; 0 = none
  int32_t LGrp = 0;
  int32_t Lay = 0;
  int32_t Col = 0;   // line colour; text colour for texts; point colour for points
  int32_t Ltp = 0;
  int32_t Wid = 0;
  int32_t Attr = 0;  // bits 1, 2, 4, 8, 16 = "z1" .. "z5"
};

struct TJwwIndPoint {
  bool flg = false;
  double x = 0;
  double y = 0;
  int32_t sta = 0;  // marker after the number: 0 none, 1 "-", 2 "ln", 3 "ci", 4 "ch"
};

// Entity kind codes, the yn of an entity index entry: one per entity array,
// named after it (jkCirc for EntCirc).
enum TJwwKind : int32_t {
  jkLine = 1,   // line segments, EntLine
  jkCirc = 2,   // circles, EntCirc
  jkArc = 3,    // arcs and ellipses, EntArc
  jkText = 4,   // texts, EntText
  jkPnt = 5,    // points, EntPnt
  jkMark = 6,   // point markers, EntMark
  jkDim = 7,    // dimensions, EntDim
  jkBlk = 8,    // block inserts, EntBlk (never written back)
  jkSld2 = 9,   // solids of two corners, EntSld2
  jkSld3 = 10,  // solids of three corners, EntSld3
  jkSld4 = 11,  // solids of four corners, EntSld4
  jkSldC = 12,  // circular solids of "sc", EntSldC
  jkSldE = 13,  // circular solids of "se", EntSldE
  jkSldO = 14,  // circular solids of "so", EntSldO
  jkSldG = 15,  // circular solids of "sg", EntSldG
};

struct TJwwEntNo {
  int32_t yn = 0;  // kind code, a TJwwKind
  int32_t no = 0;  // 0-based index in that kind's array
};

struct TJwwPLine {
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

struct TJwwTextKind {
  double W = 0, H = 0, D = 0;
  int32_t C = 0;
};

struct TJwwEntLine {
  TJwwEntAttr att;
  int32_t CrvNo = 0;  // curve the segment belongs to; 0 = none
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

struct TJwwEntCircle {
  TJwwEntAttr att;
  double cx = 0, cy = 0, cr = 0;
};

struct TJwwEntArc {
  TJwwEntAttr att;
  double cx = 0, cy = 0, cr = 0;
  double sa = 0, ea = 0;  // degrees
  double he = 0;          // flatness: second semi-axis = cr * he
  double ka = 0;          // tilt of the first axis, degrees
};

struct TJwwEntText {
  TJwwEntAttr att;
  int32_t no = 0;  // record keyword: "ch" 0, "cv" 1, "cs" 2, ... "c2" 9
  int32_t cc = 0;  // text base code
  int32_t cn = 0;  // text kind
  double mw = 0, mh = 0, md = 0;
  double x1 = 0, y1 = 0;  // start point
  double x2 = 0, y2 = 0;  // direction vector
  std::u16string fo;      // font
  std::u16string st;      // the text
};

struct TJwwEntPnt {
  TJwwEntAttr att;
  double px = 0, py = 0;
};

struct TJwwEntMark {
  TJwwEntAttr att;
  double px = 0, py = 0, bai = 0, ang = 0;
  int32_t cod = 0;
};

struct TJwwEntDim {
  TJwwEntAttr att;
  TJwwEntLine lin;
  TJwwEntText txt;
};

struct TJwwEntBlk {
  TJwwEntAttr att;
  double px = 0, py = 0;
  std::u16string nam;
};

struct TJwwEntSld2 {
  TJwwEntAttr att;
  int32_t Color = 0;
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

struct TJwwEntSld3 {
  TJwwEntAttr att;
  int32_t Color = 0;
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0, x3 = 0, y3 = 0;
};

struct TJwwEntSld4 {
  TJwwEntAttr att;
  int32_t Color = 0;
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0, x3 = 0, y3 = 0, x4 = 0, y4 = 0;
};

// Circular solids of the "sc" and "se" records.
struct TJwwEntSldC {
  TJwwEntAttr att;
  int32_t Color = 0;
  double cx = 0, cy = 0, cr = 0, he = 0, ka = 0, sa = 0, da = 0;
  int32_t fl = 0;
};

// Circular solids of the "so" and "sg" records.
struct TJwwEntSldD {
  TJwwEntAttr att;
  int32_t Color = 0;
  double cx = 0, cy = 0, cr = 0, he = 0, ka = 0, sa = 0, da = 0;
  double ri = 0;
};

class TJGdata {
  friend struct TJGdataAccess;  // lets the unit tests look at the pen state

 private:
  // Attribute and pen state: the attributes of the next record while reading,
  // of the next added entity while building, the last values written after S_Init.
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

 public:
  // Header values.
  bool MojiCode = false;  // read as UTF-8, so written back as UTF-8
  double Jikukaku = 0;    // axis angle, degrees
  std::u16string ZumenFile;
  std::array<double, 16> LGrpScale{};
  double ZumenXsize = 0, ZumenYsize = 0;
  std::array<TJwwTextKind, 11> Mojisyu{};  // entries 1..10; 0 unused
  std::array<int32_t, 357> RGB{};          // entries 1..356; 0 unused
  bool Zusun = false;
  double AreaX1 = 0, AreaY1 = 0, AreaX2 = 0, AreaY2 = 0;

  // Values in force in the drawing: the first record of each kind.
  int32_t CurLGrp = 0, CurLay = 0, CurCol = 0, CurLtp = 0, CurWid = 0;
  int32_t CurMjs = 0;
  double CurMjsW = 0, CurMjsH = 0, CurMjsD = 0;
  int32_t CurMjsC = 0;
  std::u16string CurFont;

  // Indicated points and layer tables.
  std::vector<TJwwIndPoint> IPoints;  // 100 entries, 1..99 used
  int32_t IPointN = 0;
  bool WidF = false;
  std::vector<int32_t> LGrpStat;         // 16
  std::vector<std::u16string> LGrpName;  // 16
  std::vector<int32_t> LayStat;          // 256, group * 16 + layer
  std::vector<std::u16string> LayName;   // 256

  // Entities: each array's length grows in blocks of 1000; its count says how
  // many leading elements are in use.
  int32_t EntN = 0;
  std::vector<TJwwEntNo> EntNo;
  int32_t EntLineN = 0;
  std::vector<TJwwEntLine> EntLine;
  TJwwEntLine EntSunLine;  // dimension line waiting for its text
  int32_t EntCircN = 0;
  std::vector<TJwwEntCircle> EntCirc;
  int32_t EntArcN = 0;
  std::vector<TJwwEntArc> EntArc;
  int32_t EntTextN = 0;
  std::vector<TJwwEntText> EntText;
  int32_t EntPntN = 0;
  std::vector<TJwwEntPnt> EntPnt;
  int32_t EntMarkN = 0;
  std::vector<TJwwEntMark> EntMark;
  int32_t EntDimN = 0;
  std::vector<TJwwEntDim> EntDim;
  int32_t EntBlkN = 0;
  std::vector<TJwwEntBlk> EntBlk;
  int32_t EntSld2N = 0;
  std::vector<TJwwEntSld2> EntSld2;
  int32_t EntSld3N = 0;
  std::vector<TJwwEntSld3> EntSld3;
  int32_t EntSld4N = 0;
  std::vector<TJwwEntSld4> EntSld4;
  int32_t EntSldCN = 0;
  std::vector<TJwwEntSldC> EntSldC;
  int32_t EntSldEN = 0;
  std::vector<TJwwEntSldC> EntSldE;
  int32_t EntSldON = 0;
  std::vector<TJwwEntSldD> EntSldO;
  int32_t EntSldGN = 0;
  std::vector<TJwwEntSldD> EntSldG;

  // Output and store-building state.
  int32_t t_MemN = 0;
  std::vector<std::u16string> t_Mem;
  int32_t t_PLineN = 0;
  std::vector<TJwwPLine> t_PLine;
  int32_t aCol = 0;   // display RGB of the colour last set by an A_ operation
  int32_t aSCol = 0;  // display RGB of the fill colour last set by an A_ operation

  // Data model.
  TJGdata();
  ~TJGdata();
  TJGdata(const TJGdata&) = delete;
  TJGdata& operator=(const TJGdata&) = delete;
  void DataInit();
  void DataFree();
  void StopJwwGaibu();
  void SetEntNo(int32_t a_yn, int32_t a_no);
  void SetEntAttr(TJwwEntAttr& at);
  void CopyEntAttr(TJwwEntAttr& a1, const TJwwEntAttr& a2);

  // Reading.
  bool OpenTempFile(const std::u16string& fn);

  // Output buffer, pen state and point commands.
  void SendMem(const std::u16string& s);
  bool SaveTempFile(const std::u16string& fn);
  void S_Init();
  void S_LGrp(int32_t lgrp);
  void S_Lay(int32_t lay);
  void S_Col(int32_t col, int32_t mode);
  void S_Ltp(int32_t ltp, int32_t mode);
  void S_Wid(int32_t wid);
  void S_PCol(int32_t col, int32_t mode);
  void S_Ten(double x, double y);
  void S_Mark(double x, double y, double bai, double ang, int32_t cod);

  // Text, fill-colour and attribute commands.
  void S_Mjs(int32_t mjs, double mw, double mh, double md, int32_t col, int32_t mode);
  void S_Mbs(int32_t mbs);
  void S_Font(const std::u16string& fnt);
  void S_SCol(int32_t col);
  void S_SColRGB(int32_t r, int32_t g, int32_t b);
  void S_Attr(int32_t att);
  void S_Attr(bool at1, bool at2, bool at3, bool at4, bool at5);
  void S_Attr(int32_t at1, int32_t at2, int32_t at3, int32_t at4, int32_t at5);
  void S_Comment(const std::u16string& s);
  void S_Area();
  int32_t GetColorDisp(int32_t col);

  // Shape, text, dimension and solid commands.
  void S_Line(double x1, double y1, double x2, double y2);
  void S_PLineStart();
  void S_PLineEnd();
  void S_PLineReset();
  void S_PLineSet(double px1, double py1, double px2, double py2);
  void S_PLine();
  void S_Circle(double x, double y, double r);
  void S_Arc(double x, double y, double r, double sa, double ea, double h, double ka);
  void S_Text(int32_t no, double x1, double y1, double x2, double y2, const std::u16string& m);
  void S_Dim(double lx1, double ly1, double lx2, double ly2, double tx1, double ty1,
             double tx2, double ty2, const std::u16string& m);
  void S_Solid2(double x1, double y1, double x2, double y2);
  void S_Solid3(double x1, double y1, double x2, double y2, double x3, double y3);
  void S_Solid4(double x1, double y1, double x2, double y2, double x3, double y3,
                double x4, double y4);
  void S_SolidC(double x, double y, double r, double h, double ka, double sa, double da,
                int32_t cod);
  void S_SolidD(double x, double y, double r, double h, double ka, double sa, double da,
                int32_t cod);
  void S_SolidO(double x, double y, double r, double h, double ka, double sa, double da,
                double ri);
  void S_SolidG(double x, double y, double r, double h, double ka, double sa, double da,
                double ri);

  // Re-emitting stored entities.
  void S_EntAll(int32_t a1, int32_t a2, int32_t a3, int32_t a4, int32_t a5, int32_t a6,
                int32_t a7, int32_t a8);
  void S_EntAllp(int32_t a1, int32_t a2, int32_t a3, int32_t a4, int32_t a5, int32_t a6,
                 int32_t a7, int32_t a8);

  // Entity store additions: attribute setters.
  void A_LGrp(int32_t lgrp);
  void A_Lay(int32_t lay);
  void A_Col(int32_t col, int32_t mode);
  void A_Ltp(int32_t ltp, int32_t mode);
  void A_Wid(int32_t wid);
  void A_Mjs(int32_t mjs, double mw, double mh, double md, int32_t col, int32_t mode);
  void A_Mbs(int32_t mbs);
  void A_Font(const std::u16string& fnt);
  void A_PCol(int32_t col, int32_t mode);
  void A_SCol(int32_t col);
  void A_SColRGB(int32_t r, int32_t g, int32_t b);
  void A_Attr(int32_t att);

  // Entity store additions: adders, plain (attributes from the state) and with
  // the attributes given.
  void A_Line(double ax1, double ay1, double ax2, double ay2);
  void A_Line(const TJwwEntAttr& at, double ax1, double ay1, double ax2, double ay2);
  void A_Ten(double ax, double ay);
  void A_Ten(const TJwwEntAttr& at, double ax, double ay);
  void A_Mark(double ax, double ay, double abai, double aang, int32_t acod);
  void A_Mark(const TJwwEntAttr& at, double ax, double ay, double abai, double aang,
              int32_t acod);
  void A_Circle(double ax, double ay, double ar);
  void A_Circle(const TJwwEntAttr& at, double ax, double ay, double ar);
  void A_Arc(double ax, double ay, double ar, double asa, double aea, double ah, double aka);
  void A_Arc(const TJwwEntAttr& at, double ax, double ay, double ar, double asa, double aea,
             double ah, double aka);
  void A_Text(int32_t ano, double ax1, double ay1, double ax2, double ay2,
              const std::u16string& am);
  void A_Text(const TJwwEntAttr& at, int32_t ano, double ax1, double ay1, double ax2,
              double ay2, const std::u16string& am);
  void A_Dim(double lx1, double ly1, double lx2, double ly2, double tx1, double ty1,
             double tx2, double ty2, const std::u16string& m);
  void A_Dim(const TJwwEntAttr& at, double lx1, double ly1, double lx2, double ly2,
             double tx1, double ty1, double tx2, double ty2, const std::u16string& m);
  void A_Solid2(double ax1, double ay1, double ax2, double ay2);
  void A_Solid2(const TJwwEntAttr& at, double ax1, double ay1, double ax2, double ay2);
  void A_Solid3(double ax1, double ay1, double ax2, double ay2, double ax3, double ay3);
  void A_Solid3(const TJwwEntAttr& at, double ax1, double ay1, double ax2, double ay2,
                double ax3, double ay3);
  void A_Solid4(double ax1, double ay1, double ax2, double ay2, double ax3, double ay3,
                double ax4, double ay4);
  void A_Solid4(const TJwwEntAttr& at, double ax1, double ay1, double ax2, double ay2,
                double ax3, double ay3, double ax4, double ay4);
  void A_SolidC(double ax, double ay, double ar, double ah, double aka, double asa,
                double ada, int32_t acod);
  void A_SolidC(const TJwwEntAttr& at, double ax, double ay, double ar, double ah,
                double aka, double asa, double ada, int32_t acod);
  void A_SolidD(double ax, double ay, double ar, double ah, double aka, double asa,
                double ada, int32_t acod);
  void A_SolidD(const TJwwEntAttr& at, double ax, double ay, double ar, double ah,
                double aka, double asa, double ada, int32_t acod);
  void A_SolidO(double ax, double ay, double ar, double ah, double aka, double asa,
                double ada, double ari);
  void A_SolidO(const TJwwEntAttr& at, double ax, double ay, double ar, double ah,
                double aka, double asa, double ada, double ari);
  void A_SolidG(double ax, double ay, double ar, double ah, double aka, double asa,
                double ada, double ari);
  void A_SolidG(const TJwwEntAttr& at, double ax, double ay, double ar, double ah,
                double aka, double asa, double ada, double ari);

 private:
  // Reader internals.
  struct ReadTokens;  // the tokens of one line as a record sees them
  struct ReadBatch;   // lines of a piece of the file, split and classified
  struct ReadRule;    // one record kind: keyword, how it matches, token count, handler
  static const ReadRule kReadRules[];
  void ParseLine(std::u16string_view line);
  static int32_t RuleFor(std::u16string_view t0, int32_t n);
  static void Classify(ReadBatch& b);
  void TakeBatch(const ReadBatch& b);
  template <size_t Width, bool BigEndian, class Decode>
  static void PrepareBatch(ReadBatch& b, std::string_view piece, Decode decode);
  template <size_t Width, bool BigEndian, class Decode>
  void ReadLines(platform::FileBuffer& file, std::string_view text, Decode decode);
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

  // The entity kinds as one table (jwwgaibu/Kinds.h), and the overrides of a
  // writing back.
  struct Kinds;
  struct Overrides;

  // Re-emission internals: the drawing command of a stored entity, run here
  // or ahead on another object; the entries written in order, with their
  // commands run ahead on a second thread for a big store.
  struct Ahead;
  const Ahead* r_Ahead = nullptr;  // lines made ahead for the entry being written
  template <TJwwKind K, class T>
  void EntityCommand(const T& e);
  template <TJwwKind K, class T>
  void Command(const T& e);
  template <class Write>
  void WriteInOrder(int32_t n, bool skipCurves, Write write);
  // Re-emission internals: per-kind writers, each given a stored record.
  void S_EntLine(const TJwwEntLine& e, const Overrides& o);
  void S_EntLinep(const TJwwEntLine& e, int32_t pos, int32_t& cur, const Overrides& o);
  void S_EntCirc(const TJwwEntCircle& e, const Overrides& o);
  void S_EntArc(const TJwwEntArc& e, const Overrides& o);
  void S_EntPnt(const TJwwEntPnt& e, const Overrides& o);
  void S_EntMark(const TJwwEntMark& e, const Overrides& o);
  void S_EntText(const TJwwEntText& e, const Overrides& o);
  void S_EntDim(const TJwwEntDim& e, const Overrides& o);
  void S_EntSld2(const TJwwEntSld2& e, const Overrides& o);
  void S_EntSld3(const TJwwEntSld3& e, const Overrides& o);
  void S_EntSld4(const TJwwEntSld4& e, const Overrides& o);
  void S_EntSldC(const TJwwEntSldC& e, const Overrides& o);
  void S_EntSldE(const TJwwEntSldC& e, const Overrides& o);
  void S_EntSldO(const TJwwEntSldD& e, const Overrides& o);
  void S_EntSldG(const TJwwEntSldD& e, const Overrides& o);
  void S_EntLayer(const TJwwEntAttr& a, const Overrides& o);
  void S_EntLinePen(const TJwwEntAttr& a, const Overrides& o);
  void S_EntTextSettings(const TJwwEntText& t, const Overrides& o);

  // Store internals: a new text's settings from the text state, as the reader
  // and the adders both give them.
  void FillText(TJwwEntText& t, int32_t no, double x1, double y1, double x2, double y2,
                std::u16string_view st);
};
