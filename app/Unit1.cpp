#include "app/Unit1.h"

#include <cmath>
#include <numbers>

#include "myfunc/MyFunc.h"

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

bool IsPathSeparator(char16_t c) {
#ifdef _WIN32
  return c == u'\\' || c == u'/';
#else
  return c == u'/';
#endif
}
}  // namespace

TForm1::TForm1(TFormWindow& window, std::vector<std::u16string> args,
               std::u16string programPath)
    : Window(window), Args(std::move(args)), ProgramPath(std::move(programPath)) {}

void TForm1::FormShow() {
  smode = 0;
  if (!Args.empty()) {
    smode = StrToIntZ(Args[0]);
    if (smode >= 1 && smode <= 6) {
      Window.Minimise();
    } else {
      smode = 0;
    }
  }
  std::u16string t2, t3;
  if (Args.size() >= 2) t2 = Args[1];
  if (Args.size() >= 3) t3 = Args[2];

  size_t slash = ProgramPath.size();
  while (slash > 0 && !IsPathSeparator(ProgramPath[slash - 1])) --slash;
  AppFolder = ProgramPath.substr(0, slash);
  const size_t dot = ProgramPath.rfind(u'.');
  DatFile = (dot != std::u16string::npos && dot >= slash ? ProgramPath.substr(0, dot)
                                                          : ProgramPath) +
            u".dat";

  OpenDatFile();
  Window.SetPosition(Fmx, Fmy);
  LabelM.clear();
  OKflag = false;
  JG = std::make_unique<TJGdata>();
  JG->OpenTempFile(AppFolder + kExchangeFile);
  JG->S_Init();

  switch (smode) {
    case 1:
    case 2:
    case 4:
      RunMode(smode, 0, 0);
      break;
    case 3:
      RunMode(3, StrToFloatZ(t2), StrToFloatZ(t3));
      break;
    case 5:
    case 6:
      RunMode(smode, StrToFloatZ(t2), 0);
      break;
    default:
      return;  // the settings dialog stays open
  }
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
  g.S_Col(col, 1);
  g.S_PCol(col, 1);
  g.S_Ltp(g.CurLtp, 0);
  g.S_Wid(g.CurWid);

  const auto& ip = g.IPoints;
  constexpr double pi = std::numbers::pi;
  switch (mode) {
    case 1:
      PutPoint(ip[1].x, ip[1].y);
      break;
    case 2:
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
    case 5: {
      const int32_t n = DivisionCount(p);
      if (g.EntLineN <= 0) break;
      const TJwwEntLine& l = g.EntLine[0];
      const double s = Dist2P(l.x1, l.y1, l.x2, l.y2) / n;
      const double a = DirAngle(l.x2 - l.x1, l.y2 - l.y1);
      double x = l.x1, y = l.y1;
      for (int32_t k = 1; k < n; ++k) {
        x = std::cos(a) * s + x;
        y = std::sin(a) * s + y;
        PutPoint(x, y);
      }
      break;
    }
    case 6: {
      const int32_t n = DivisionCount(p);
      if (g.EntCircN > 0) {
        const TJwwEntCircle& c = g.EntCirc[0];
        double t = 0;
        for (int32_t k = 0; k < n; ++k) {
          PutPoint(std::cos(t) * c.cr + c.cx, std::sin(t) * c.cr + c.cy);
          t = t + 2 * pi / n;
        }
      }
      if (g.EntArcN > 0) {
        const TJwwEntArc& a = g.EntArc[0];
        double t = a.sa / 180 * pi;
        // Into (0, 360]; fmod keeps a huge span from looping for ever.
        double span = std::fmod(a.ea - a.sa, 360.0);
        if (span <= 0) span += 360;
        double step;
        int32_t count;
        const long double ls = span;
        if (std::fabs(ls) <= 1e-10L || std::fabs(ls - 360) <= 1e-10L) {
          step = 2 * pi / n;  // a closed ellipse: n points round the whole figure
          t = 0;
          count = n;
        } else {
          step = (pi * span / 180) / n;
          count = n - 1;
        }
        for (int32_t k = 0; k < count; ++k) {
          t = t + step;
          const double u = std::cos(t) * a.cr;
          const double w = std::sin(t) * (a.cr * a.he);
          double ru, rw;
          RotatePoint(ru, rw, u, w, 0, 0, a.ka);
          PutPoint(a.cx + ru, a.cy + rw);
        }
      }
      break;
    }
    default:
      break;
  }

  g.S_LGrp(g.CurLGrp);
  g.S_Lay(g.CurLay);
  g.SaveTempFile(AppFolder + kExchangeFile);
}

void TForm1::PutPoint(double x, double y) {
  if (ten == 0) {
    JG->S_Ten(x, y);
  } else {
    JG->S_Mark(x, y, bai, 0, MarkerCode(typ));
  }
}
