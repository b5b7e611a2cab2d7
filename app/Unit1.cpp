#include "app/Unit1.h"

#include <cmath>

#include "app/Messages.h"
#include "app/TypedValue.h"
#include "jwwgaibu/PointTools.h"
#include "myfunc/MyFunc.h"
#include "platform/Platform.h"

namespace {
const std::u16string kExchangeFile = u"JWC_TEMP.TXT";

// Subtraction and negation as 32-bit wrap-around: a stored setting of any
// value must give a written number, never undefined behaviour.
int32_t Minus1(int32_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v) - 1u); }
int32_t MarkerCode(int32_t kind) {
  return static_cast<int32_t>(0u - (static_cast<uint32_t>(kind) + 1u));
}

// The division count of the line, circle and arc modes: the argument rounded
// to the nearest whole number (halves to the even one), kept to 2..1000.
int32_t DivisionCount(double p) {
  if (!(p > 2)) return 2;  // NaN too
  if (p >= 1000) return 1000;
  return static_cast<int32_t>(std::nearbyint(p));
}
}  // namespace

TForm1::TForm1(TFormWindow& window, std::vector<std::u16string> args,
               std::u16string programPath)
    : Window(window), Args(std::move(args)), ProgramPath(std::move(programPath)) {
  Button1.Caption = u"ＯＫ (&Y)";
  Button2.Caption = u"キャンセル (&N)";
  Label6.Caption = u"◆点／点マーカを作図する外部変形アプリケーションです◆";
  Label4.Caption = u"レイヤグループ";
  Label5.Caption = u"レイヤ";
  Label3.Caption = u"線　色";
  RB1.Caption = u"点";
  RB1.Checked = true;
  RB2.Caption = u"点マーカー";
  Label1.Caption = u"種類：";
  for (const char16_t* kind : {u"＊", u"○", u"・", u"＋", u"□", u"△", u"×"}) CB4.Add(kind);
  CB4.Select(0);
  Label2.Caption = u"倍率：";
  Edit1.Text = u"1";
  Edit1.MaxLength = 16;
  Memo1.Lines = {u"◆ブロック図形内のもの", u"　は処理出来ませんので", u"　御注意下さい。",
                 u"　ブロック編集内で行う", u"　場合には、本ソフトを", u"　Jw_cadのインストール・",
                 u"　フォルダに配置して",   u"　実行を行う必要がある",   u"　場合があります。"};
  LabelM.Caption = u"LabelM";
}

int32_t TForm1::RunModeArg() const {
  if (Args.empty()) return 0;
  const int32_t m = StrToIntZ(Args[0]);
  return m >= 1 && m <= kLastRunMode ? m : 0;
}

void TForm1::FormShow() {
  smode = RunModeArg();
  if (smode != 0) Window.Minimise();
  // The typed values after the run mode, as many as the mode takes, and what
  // is to be told about them.
  Values = RunValues(
      smode, TypedWords(std::vector<std::u16string>(Args.begin() + (Args.empty() ? 0 : 1), Args.end())));
  Notice.clear();
  for (const std::u16string& line : Values.notices) Say(line);

  AppFolder = platform::FolderOf(ProgramPath);
  const size_t dot = ProgramPath.rfind(u'.');
  DatFile = (dot != std::u16string::npos && dot >= AppFolder.size() ? ProgramPath.substr(0, dot)
                                                                     : ProgramPath) +
            u".dat";

  OpenDatFile();
  Window.SetPosition(Fmx, Fmy);
  LabelM.Caption.clear();
  OKflag = false;
  JG = std::make_unique<TJGdata>();
  JG->OpenTempFile(AppFolder + kExchangeFile);
  JG->S_Init();

  if (smode == 0) {
    FillDialog();
    return;  // the settings dialog stays open
  }
  RunMode(smode, Values.p, Values.q);
  // The exchange file is written: the draughtsperson reads why the drawing
  // got less than asked while the CAD program still waits for the tool.
  if (!Notice.empty()) platform::Tell(kAppTitle, Notice);
  OKflag = true;
  Window.Close();
}

void TForm1::FormClose() {
  if (OKflag) {
    Fmx = Window.Left();
    Fmy = Window.Top();
    SaveDatFile();
  }
  JG.reset();
}

void TForm1::RunMode(int32_t mode, double p, double q) {
  TJGdata& g = *JG;
  if (g.Zusun) g.SendMem(u"bz");
  g.S_LGrp(lgrp == 0 ? g.CurLGrp : Minus1(lgrp));
  g.S_Lay(lay == 0 ? g.CurLay : Minus1(lay));
  g.S_Col(col, jmDialog);
  g.S_PCol(col, jmDialog);
  g.S_Ltp(g.CurLtp, jmCode);
  g.S_Wid(g.CurWid);

  const auto& ip = g.IPoints;
  switch (mode) {
    case 1:
      PutPoint(ip[1].x, ip[1].y);
      break;
    case 2:
      if (!ip[1].flg) Say(msg::kNoIndicatedPoint);
      for (int k = 1; k <= 99 && ip[k].flg; ++k) PutPoint(ip[k].x, ip[k].y);
      break;
    case 3: {
      double x, y;
      RotatePoint(x, y, p, q, 0, 0, g.Jikukaku);
      PutPoint(x, y);
      break;
    }
    case 4:
      PutPoint((ip[1].x + ip[2].x) / 2, (ip[1].y + ip[2].y) / 2);
      break;
    case 5:
    case 6: {
      TPoints points;
      const int32_t n = DivisionCount(p);
      if (mode == 5 && g.EntLineN > 0) DivideLine(g.EntLine[0], n, points);
      if (mode == 6 && g.EntCircN > 0) DivideCircle(g.EntCirc[0], n, points);
      if (mode == 6 && g.EntArcN > 0) DivideArc(g.EntArc[0], n, points);
      if (mode == 5 && g.EntLineN <= 0) Say(msg::kNoLine);
      if (mode == 6 && g.EntCircN <= 0 && g.EntArcN <= 0) Say(msg::kNoCircleOrArc);
      for (const TPointXY& pt : points) PutPoint(pt.x, pt.y);
      break;
    }
    case 11:
    case 12:
    case 13: {
      // p is NaN where a typed value could not be read: nothing is drawn
      // (said already).
      TPoints points;
      bool capped = false, found = true, on = true;
      if (mode == 11) {
        if (g.EntLineN < 2) {
          Say(msg::kNoTwoLines);
        } else {
          capped = ExtendedIntersections(g, points);
          if (points.empty()) Say(msg::kAllParallel);
        }
      } else if (!std::isnan(p)) {
        if (mode == 12) found = DistancePoints(g, Values.distances, Values.both, ip[1], points, &on);
        if (mode == 12 && Values.both && found && !on) Say(msg::kNotOnFigure);
        if (mode == 13 && !ip[1].flg) {
          Say(msg::kNoIndicatedPoint);
        } else if (mode == 13 && Values.parts && !ip[2].flg) {
          Say(msg::kNoSecondPoint);
        } else if (mode == 13) {
          TLayout how;
          if (Values.parts) how.parts = static_cast<int32_t>(p); else how.pitch = p;
          how.run = Values.run;
          capped = LayoutPoints(g, how, ip[1], ip[2], points, &found);
        }
        if (!found) Say(msg::kNoFigure);
      }
      if (capped) Say(msg::kCapped);
      for (const TPointXY& pt : points) PutPoint(pt.x, pt.y);
      break;
    }
    default: {
      // p is NaN where a typed value could not be read: nothing is drawn
      // (said already).
      TPoints points;
      if (g.EntLineN <= 0 && g.EntCircN <= 0 && g.EntArcN <= 0) {
        Say(msg::kNoFigure);
      } else if (!std::isnan(p)) {
        bool capped = false;
        if (mode == 7) capped = PitchPoints(g, p, q != 0, ip[1], points);
        // q: the ends of overlapping lines too (the option word "端").
        if (mode == 8) capped = IntersectionPoints(g, q != 0, points);
        if (mode == 9) capped = EndAndCentrePoints(g, p == 1 ? 1 : p == 2 ? 2 : 0, points);
        if (mode == 10) capped = DivideAll(g, DivisionCount(p), points);
        if (capped) Say(msg::kCapped);
        if (points.empty()) Say(mode == 8 ? msg::kNoCrossing : msg::kNoPoint);
      }
      for (const TPointXY& pt : points) PutPoint(pt.x, pt.y);
      break;
    }
  }

  g.S_LGrp(g.CurLGrp);
  g.S_Lay(g.CurLay);
  if (!g.SaveTempFile(AppFolder + kExchangeFile)) Say(msg::kNotSaved);
}

void TForm1::Say(std::u16string_view line) {
  if (!Notice.empty()) Notice += u'\n';
  Notice += line;
}

void TForm1::PutPoint(double x, double y) {
  if (ten == 0) {
    JG->S_Ten(x, y);
  } else {
    JG->S_Mark(x, y, bai, 0, MarkerCode(typ));
  }
}

void TForm1::FillDialog() {
  static constexpr char16_t kHex[] = u"0123456789ABCDEF";
  CB1.Clear();
  CB1.Add(u"現在ﾚｲﾔｸﾞﾙｰﾌﾟ");
  for (int g = 0; g < 16; ++g) CB1.Add(std::u16string(u"ﾚｲﾔｸﾞﾙｰﾌﾟ[") + kHex[g] + u"]");
  CB1.Select(lgrp);
  CB2.Clear();
  CB2.Add(u"現在レイヤ");
  for (int l = 0; l < 16; ++l) CB2.Add(std::u16string(u"レイヤ(") + kHex[l] + u")");
  CB2.Select(lay);
  CB3.Clear();
  CB3.Add(u"現在線色");
  for (int32_t c = 1; c <= 9; ++c) CB3.Add(u"線色" + IntStr(c));
  for (int32_t s = 1; s <= 256; ++s) CB3.Add(u"SXF-" + IntStr(s));
  CB3.Select(col);
  SelectRadio(RB1);
  if (ten == 1) SelectRadio(RB2);
  CB4.Select(typ);
  Edit1.Text = FloatStr(bai);
}

void TForm1::SelectRadio(TRadioButton& rb) {
  // RB1 and RB2 are one group: one on clears the other.
  RB1.Checked = &rb == &RB1;
  RB2.Checked = &rb == &RB2;
}

void TForm1::Button1Click() {
  lgrp = CB1.ItemIndex;
  lay = CB2.ItemIndex;
  col = CB3.ItemIndex;
  ten = 0;
  if (RB2.Checked) ten = 1;
  typ = CB4.ItemIndex;
  bai = TypedNumber(Edit1.Text);
  // The marker command drops scales at or below its tolerance; the smallest
  // scale kept is the double nearest 1e-10, which lies just above it.
  if (bai <= 1e-10) bai = 1e-10;
  OKflag = true;
  Window.Close();
}

void TForm1::Button2Click() {
  OKflag = false;
  Window.Close();
}
