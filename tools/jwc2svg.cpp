// jwc2svg: draws an exchange file as SVG, y pointing up as in the CAD program.
//
//   jwc2svg [--title TEXT] [--axes] FILE [AFTER]
//
// With two files, FILE is the drawing as the CAD program handed it over and
// AFTER the same file after a tool ran: FILE is drawn in grey, AFTER on top in
// its colours. The indicated points of FILE are circled and numbered. --axes
// adds the drawing's coordinate axes, turned by its axis angle. The SVG goes
// to standard output; a file that cannot be read gives a message and exit 1.
//
// Inside the drawing group a point (x, y) of the drawing is written as (x, -y);
// the group's scale turns drawing units into pixels, so sizes that must look
// the same at any scale (points, markers, labels, strokes) are pixels / scale.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include "jwwgaibu/JwwGaibu.h"
#include "platform/Platform.h"

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kInf = std::numeric_limits<double>::infinity();

// Pixel sizes of the picture.
constexpr double kWidth = 640;        // the whole picture
constexpr double kMaxDrawWidth = 584;  // the drawing, at most
constexpr double kMaxDrawHeight = 420;
constexpr double kMargin = 28;
constexpr double kTitleBand = 36;
constexpr double kStroke = 1.3;
constexpr double kPointRadius = 3.5;
constexpr double kMarkerSize = 6;  // half the width of a marker of scale 1

struct Pt {
  double x, y;
};

// A point of an ellipse with semi-axes r and r * he, turned by ka degrees,
// at the parameter t (radians): the way arcs and circular solids are given.
Pt OnEllipse(double cx, double cy, double r, double he, double ka, double t) {
  const double u = std::cos(t) * r, w = std::sin(t) * r * he;
  const double k = ka * kPi / 180;
  return {cx + u * std::cos(k) - w * std::sin(k), cy + u * std::sin(k) + w * std::cos(k)};
}

// The counter-clockwise span from angle a to angle b in degrees, in (0, 360]:
// equal angles (or a whole turn apart) make a closed figure.
double Span(double a, double b) {
  double s = std::fmod(b - a, 360.0);
  if (!std::isfinite(s)) return 360;
  if (s <= 1e-10) s += 360;
  return s;
}

// Points along an elliptic arc from sa over span degrees, about one every 3°.
std::vector<Pt> ArcPoints(double cx, double cy, double r, double he, double ka, double sa,
                          double span) {
  const int n = std::clamp(static_cast<int>(std::ceil(span / 3)), 2, 120);
  std::vector<Pt> p;
  for (int i = 0; i <= n; ++i) {
    p.push_back(OnEllipse(cx, cy, r, he, ka, (sa + span * i / n) * kPi / 180));
  }
  return p;
}

bool Closed(double span) { return std::fabs(span - 360) <= 1e-10; }

struct Bounds {
  double x0 = kInf, y0 = kInf, x1 = -kInf, y1 = -kInf;
  void Add(Pt p) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return;
    x0 = std::min(x0, p.x), x1 = std::max(x1, p.x);
    y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
  }
  bool Empty() const { return x0 > x1; }
};

// The text's height in drawing units: text sizes are on paper, so they grow
// with the scale of the text's layer group unless the file is in paper units.
double TextHeight(const TJGdata& g, const TJwwEntText& t) {
  const double scale = g.Zusun || t.att.LGrp < 0 || t.att.LGrp > 15 ? 1 : g.LGrpScale[t.att.LGrp];
  return std::fabs(t.mh * scale);
}

double TextWidth(const TJGdata& g, const TJwwEntText& t) {
  return t.mh == 0 ? 0 : TextHeight(g, t) * t.mw / t.mh;
}

// The text as it may stand in XML: characters XML cannot hold (most control
// characters, unpaired surrogates) become U+FFFD, markup characters references.
std::string XmlText(std::u16string_view s) {
  std::u16string clean;
  for (size_t i = 0; i < s.size(); ++i) {
    const char16_t c = s[i];
    const bool high = c >= 0xD800 && c <= 0xDBFF, low = c >= 0xDC00 && c <= 0xDFFF;
    if (high && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      clean += c;
      clean += s[++i];
    } else if (high || low || (c < 0x20 && c != u'\t') || c == 0xFFFE || c == 0xFFFF) {
      clean += u'\uFFFD';
    } else {
      clean += c;
    }
  }
  std::string out;
  for (char c : platform::TextToUtf8(clean)) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string Hex(int32_t rgb) {  // an RGB value r + g * 256 + b * 65536
  char b[8];
  std::snprintf(b, sizeof b, "#%02x%02x%02x", rgb & 255, (rgb >> 8) & 255, (rgb >> 16) & 255);
  return b;
}

// Display colours of one file: the colour values the file carries ("hrgb"),
// else the program's own table of pen and SXF colours.
class Palette {
 public:
  explicit Palette(TJGdata& g) : g_(g) {
    for (int k = 1; k < static_cast<int>(g.RGB.size()); ++k) {
      if (g.RGB[k] != 0) carried_ = k;
    }
  }
  std::string Pen(int32_t code) const {
    return Hex(code >= 1 && code <= carried_ ? g_.RGB[code] : g_.GetColorDisp(code));
  }
  // Solids drawn in line colour 10 carry their own RGB value.
  std::string Fill(int32_t code, int32_t rgb) const {
    return code == 10 ? Hex(rgb) : Pen(code);
  }

 private:
  TJGdata& g_;
  int carried_ = 0;  // the "hrgb" record filled the entries 1 .. carried_
};

class Picture {
 public:
  Picture(Bounds b, bool titled) {
    // A line or a single point still gets some room around it.
    if (b.Empty()) b = {-50, -50, 50, 50};
    const double w = b.x1 - b.x0, h = b.y1 - b.y0, least = std::max({w, h, 1e-9}) / 3;
    if (w < least) b.x0 -= (least - w) / 2, b.x1 += (least - w) / 2;
    if (h < least) b.y0 -= (least - h) / 2, b.y1 += (least - h) / 2;
    s_ = std::min(kMaxDrawWidth / (b.x1 - b.x0), kMaxDrawHeight / (b.y1 - b.y0));
    if (!std::isfinite(s_) || s_ <= 0) s_ = 1;
    decimals_ = std::clamp(static_cast<int>(std::ceil(std::log10(s_))) + 2, 0, 12);
    height_ = std::ceil((b.y1 - b.y0) * s_ + 2 * kMargin + (titled ? kTitleBand : 0));
    top_ = titled ? kTitleBand : 0;
    tx_ = (kWidth - (b.x1 - b.x0) * s_) / 2 - b.x0 * s_;
    ty_ = top_ + kMargin + b.y1 * s_;
  }

  double Px(double pixels) const { return pixels / s_; }  // pixels in drawing units

  // A number as SVG writes it: fine enough for a hundredth of a pixel.
  std::string N(double v) const {
    if (!std::isfinite(v)) return "0";
    char b[64];
    auto r = std::fabs(v) < 1e15 ? std::to_chars(b, b + sizeof b, v, std::chars_format::fixed,
                                                 decimals_)
                                 : std::to_chars(b, b + sizeof b, v);
    std::string t(b, r.ptr);
    if (t.find('.') != std::string::npos && t.find('e') == std::string::npos) {
      while (t.back() == '0') t.pop_back();
      if (t.back() == '.') t.pop_back();
    }
    return t == "-0" ? "0" : t;
  }
  std::string X(double x) const { return N(x); }
  std::string Y(double y) const { return N(-y); }
  std::string XY(Pt p) const { return X(p.x) + " " + Y(p.y); }

  std::string Path(const std::vector<Pt>& p, bool close) const {
    std::string d;
    for (size_t i = 0; i < p.size(); ++i) d += (i ? " L" : "M") + XY(p[i]);
    return close ? d + " Z" : d;
  }

  void Begin(const std::string& title) {
    out_ += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out_ += "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\"";
    out_ += " width=\"" + N0(kWidth) + "\" height=\"" + N0(height_) + "\" viewBox=\"0 0 " +
            N0(kWidth) + " " + N0(height_) + "\">\n";
    out_ += "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
    if (!title.empty()) {
      out_ += "<text class=\"title\" x=\"" + N0(kWidth / 2) + "\" y=\"24\" font-size=\"16\"" +
              " font-family=\"IPAPGothic, 'MS PGothic', sans-serif\" text-anchor=\"middle\"" +
              " fill=\"#202020\">" + title + "</text>\n";
    }
    Markers();
    char t[96];
    std::snprintf(t, sizeof t, "translate(%.3f %.3f) scale(%.9g)", tx_, ty_, s_);
    out_ += "<g class=\"drawing\" transform=\"" + std::string(t) + "\" fill=\"none\"" +
            " stroke-width=\"" + N(Px(kStroke)) + "\" stroke-linecap=\"round\"" +
            " stroke-linejoin=\"round\" font-family=\"IPAGothic, 'MS Gothic', sans-serif\">\n";
  }
  std::string End() {
    out_ += "</g>\n</svg>\n";
    return out_;
  }
  std::string& Out() { return out_; }

 private:
  // The seven marker kinds, half-width 1, drawn in the colour of the <use>.
  void Markers() {
    out_ +=
        "<defs>\n"
        "<path id=\"m1\" d=\"M0 -1V1M-0.87 -0.5L0.87 0.5M-0.87 0.5L0.87 -0.5\"/>\n"  // ＊
        "<circle id=\"m2\" r=\"1\"/>\n"                                                 // ○
        "<circle id=\"m3\" r=\"0.4\" fill=\"currentColor\"/>\n"                        // ・
        "<path id=\"m4\" d=\"M-1 0H1M0 -1V1\"/>\n"                                      // ＋
        "<path id=\"m5\" d=\"M-0.85 -0.85H0.85V0.85H-0.85Z\"/>\n"                     // □
        "<path id=\"m6\" d=\"M0 -1.1L0.95 0.55H-0.95Z\"/>\n"                           // △
        "<path id=\"m7\" d=\"M-0.8 -0.8L0.8 0.8M-0.8 0.8L0.8 -0.8\"/>\n"              // ×
        "</defs>\n";
  }
  std::string N0(double v) const {
    char b[32];
    std::snprintf(b, sizeof b, "%.0f", v);
    return b;
  }

  std::string out_;
  double s_ = 1, tx_ = 0, ty_ = 0, top_ = 0, height_ = 0;
  int decimals_ = 2;
};

// The colours of one layer: a file's own, or one grey for all of it.
struct Paint {
  const Palette& palette;
  const char* grey;       // lines, points and texts; null: the file's colours
  const char* greyFill;   // solids
  std::string Line(int32_t code) const { return grey ? grey : palette.Pen(code); }
  std::string Fill(int32_t code, int32_t rgb) const {
    return greyFill ? greyFill : palette.Fill(code, rgb);
  }
};

void AddBounds(const TJGdata& g, Bounds& b) {
  auto ellipse = [&](double cx, double cy, double r, double he, double ka, double sa,
                     double span) {
    for (Pt p : ArcPoints(cx, cy, r, he, ka, sa, span)) b.Add(p);
  };
  for (int k = 0; k < g.EntN; ++k) {
    const int i = g.EntNo[k].no;
    switch (g.EntNo[k].yn) {
      case 1: {
        const auto& e = g.EntLine[i];
        b.Add({e.x1, e.y1}), b.Add({e.x2, e.y2});
        break;
      }
      case 2: {
        const auto& e = g.EntCirc[i];
        b.Add({e.cx - e.cr, e.cy - e.cr}), b.Add({e.cx + e.cr, e.cy + e.cr});
        break;
      }
      case 3: {
        const auto& e = g.EntArc[i];
        ellipse(e.cx, e.cy, e.cr, e.he, e.ka, e.sa, Span(e.sa, e.ea));
        break;
      }
      case 4:
      case 7: {
        const auto& t = g.EntNo[k].yn == 4 ? g.EntText[i] : g.EntDim[i].txt;
        const double a = std::atan2(t.y2, t.x2), len = t.st.size() * TextWidth(g, t),
                     h = TextHeight(g, t);
        b.Add({t.x1, t.y1});
        b.Add({t.x1 + std::cos(a) * len - std::sin(a) * h, t.y1 + std::sin(a) * len + std::cos(a) * h});
        if (g.EntNo[k].yn == 7) {
          const auto& l = g.EntDim[i].lin;
          b.Add({l.x1, l.y1}), b.Add({l.x2, l.y2});
        }
        break;
      }
      case 5: b.Add({g.EntPnt[i].px, g.EntPnt[i].py}); break;
      case 6: b.Add({g.EntMark[i].px, g.EntMark[i].py}); break;
      case 8: b.Add({g.EntBlk[i].px, g.EntBlk[i].py}); break;
      case 9: b.Add({g.EntSld2[i].x1, g.EntSld2[i].y1}), b.Add({g.EntSld2[i].x2, g.EntSld2[i].y2}); break;
      case 10: {
        const auto& e = g.EntSld3[i];
        b.Add({e.x1, e.y1}), b.Add({e.x2, e.y2}), b.Add({e.x3, e.y3});
        break;
      }
      case 11: {
        const auto& e = g.EntSld4[i];
        b.Add({e.x1, e.y1}), b.Add({e.x2, e.y2}), b.Add({e.x3, e.y3}), b.Add({e.x4, e.y4});
        break;
      }
      case 12:
      case 13: {
        const auto& e = g.EntNo[k].yn == 12 ? g.EntSldC[i] : g.EntSldE[i];
        ellipse(e.cx, e.cy, e.cr, e.he, e.ka, e.sa, Span(e.sa, e.da));
        b.Add({e.cx, e.cy});
        break;
      }
      case 14:
      case 15: {
        const auto& e = g.EntNo[k].yn == 14 ? g.EntSldO[i] : g.EntSldG[i];
        ellipse(e.cx, e.cy, e.cr, e.he, e.ka, e.sa, Span(e.sa, e.da));
        break;
      }
    }
  }
}

void DrawText(Picture& p, const TJGdata& g, const TJwwEntText& t, const std::string& colour,
              const char* cls) {
  const double h = TextHeight(g, t);
  const double deg = t.x2 == 0 && t.y2 == 0 ? 0 : std::atan2(t.y2, t.x2) * 180 / kPi;
  std::string& o = p.Out();
  o += "<text class=\"" + std::string(cls) + "\" x=\"" + p.X(t.x1) + "\" y=\"" + p.Y(t.y1) +
       "\" font-size=\"" + p.N(h > 0 ? h : p.Px(10)) + "\" fill=\"" + colour + "\" stroke=\"none\"";
  if (deg != 0) o += " transform=\"rotate(" + p.N(-deg) + " " + p.X(t.x1) + " " + p.Y(t.y1) + ")\"";
  o += ">" + XmlText(t.st) + "</text>\n";
}

// A circular solid: a filled sector of an ellipse, or with an inner radius ri a
// sector of a ring; a whole turn fills the ellipse or the ring.
std::string SolidPath(const Picture& p, double cx, double cy, double r, double he, double ka,
                      double sa, double da, double ri) {
  const double span = Span(sa, da);
  auto outer = ArcPoints(cx, cy, r, he, ka, sa, span);
  if (ri <= 0) {
    if (!Closed(span)) outer.push_back({cx, cy});
    return p.Path(outer, true);
  }
  auto inner = ArcPoints(cx, cy, ri, he, ka, sa, span);
  std::reverse(inner.begin(), inner.end());
  if (Closed(span)) return p.Path(outer, true) + " " + p.Path(inner, true);
  outer.insert(outer.end(), inner.begin(), inner.end());
  return p.Path(outer, true);
}

void Draw(Picture& p, const TJGdata& g, const Paint& paint) {
  std::string& o = p.Out();
  auto stroke = [&](const TJwwEntAttr& a) { return "\" stroke=\"" + paint.Line(a.Col) + "\"/>\n"; };
  auto fill = [&](const TJwwEntAttr& a, int32_t rgb) {
    const std::string c = paint.Fill(a.Col, rgb);
    return "\" fill=\"" + c + "\" stroke=\"" + c + "\"/>\n";
  };
  auto dot = [&](double x, double y, const TJwwEntAttr& a) {
    o += "<circle class=\"point\" cx=\"" + p.X(x) + "\" cy=\"" + p.Y(y) + "\" r=\"" +
         p.N(p.Px(kPointRadius)) + "\" fill=\"" + paint.Line(a.Col) + "\" stroke=\"none\"/>\n";
  };
  for (int k = 0; k < g.EntN; ++k) {
    const int i = g.EntNo[k].no;
    switch (g.EntNo[k].yn) {
      case 1: {
        const auto& e = g.EntLine[i];
        o += "<line x1=\"" + p.X(e.x1) + "\" y1=\"" + p.Y(e.y1) + "\" x2=\"" + p.X(e.x2) +
             "\" y2=\"" + p.Y(e.y2) + stroke(e.att);
        break;
      }
      case 2: {
        const auto& e = g.EntCirc[i];
        o += "<circle cx=\"" + p.X(e.cx) + "\" cy=\"" + p.Y(e.cy) + "\" r=\"" + p.N(e.cr) + stroke(e.att);
        break;
      }
      case 3: {
        const auto& e = g.EntArc[i];
        const double span = Span(e.sa, e.ea);
        o += "<path class=\"arc\" d=\"" +
             p.Path(ArcPoints(e.cx, e.cy, e.cr, e.he, e.ka, e.sa, span), Closed(span)) + stroke(e.att);
        break;
      }
      case 4: DrawText(p, g, g.EntText[i], paint.Line(g.EntText[i].att.Col), "text"); break;
      case 5: dot(g.EntPnt[i].px, g.EntPnt[i].py, g.EntPnt[i].att); break;
      case 6: {
        const auto& e = g.EntMark[i];
        if (e.cod < -7 || e.cod > -1) {  // not one of the seven kinds: drawn as a point
          dot(e.px, e.py, e.att);
          break;
        }
        const double size = p.Px(kMarkerSize) * std::fabs(e.bai);
        o += "<use class=\"marker\" xlink:href=\"#m" + std::to_string(-e.cod) + "\" transform=\"translate(" +
             p.XY({e.px, e.py}) + ") rotate(" + p.N(-e.ang) + ") scale(" + p.N(size) + ")\" color=\"" +
             paint.Line(e.att.Col) + "\" stroke=\"currentColor\" stroke-width=\"" +
             p.N(size > 0 ? kStroke / kMarkerSize / std::fabs(e.bai) : 0) + "\"/>\n";
        break;
      }
      case 7: {
        const auto& e = g.EntDim[i];
        o += "<line class=\"dimension\" x1=\"" + p.X(e.lin.x1) + "\" y1=\"" + p.Y(e.lin.y1) + "\" x2=\"" +
             p.X(e.lin.x2) + "\" y2=\"" + p.Y(e.lin.y2) + stroke(e.lin.att);
        DrawText(p, g, e.txt, paint.Line(e.txt.att.Col), "dimension");
        break;
      }
      case 8: {  // a block insert: its insertion point and name
        const auto& e = g.EntBlk[i];
        const double r = p.Px(4);
        o += "<path class=\"block\" d=\"" +
             p.Path({{e.px - r, e.py}, {e.px, e.py + r}, {e.px + r, e.py}, {e.px, e.py - r}}, true) +
             stroke(e.att);
        o += "<text class=\"block\" x=\"" + p.X(e.px + r * 1.5) + "\" y=\"" + p.Y(e.py - r) +
             "\" font-size=\"" + p.N(p.Px(10)) + "\" fill=\"" + paint.Line(e.att.Col) +
             "\" stroke=\"none\">" + XmlText(e.nam) + "</text>\n";
        break;
      }
      case 9: {  // two corners: a solid without area, drawn as a heavy line
        const auto& e = g.EntSld2[i];
        o += "<line class=\"solid\" x1=\"" + p.X(e.x1) + "\" y1=\"" + p.Y(e.y1) + "\" x2=\"" +
             p.X(e.x2) + "\" y2=\"" + p.Y(e.y2) + "\" stroke-width=\"" + p.N(p.Px(3 * kStroke)) +
             "\" stroke=\"" + paint.Fill(e.att.Col, e.Color) + "\"/>\n";
        break;
      }
      case 10: {
        const auto& e = g.EntSld3[i];
        o += "<polygon class=\"solid\" points=\"" + p.XY({e.x1, e.y1}) + " " + p.XY({e.x2, e.y2}) +
             " " + p.XY({e.x3, e.y3}) + fill(e.att, e.Color);
        break;
      }
      case 11: {
        const auto& e = g.EntSld4[i];
        o += "<polygon class=\"solid\" points=\"" + p.XY({e.x1, e.y1}) + " " + p.XY({e.x2, e.y2}) +
             " " + p.XY({e.x3, e.y3}) + " " + p.XY({e.x4, e.y4}) + fill(e.att, e.Color);
        break;
      }
      case 12:
      case 13: {
        const auto& e = g.EntNo[k].yn == 12 ? g.EntSldC[i] : g.EntSldE[i];
        o += "<path class=\"solid\" d=\"" + SolidPath(p, e.cx, e.cy, e.cr, e.he, e.ka, e.sa, e.da, 0) +
             fill(e.att, e.Color);
        break;
      }
      case 14:
      case 15: {
        const auto& e = g.EntNo[k].yn == 14 ? g.EntSldO[i] : g.EntSldG[i];
        o += "<path class=\"solid\" fill-rule=\"evenodd\" d=\"" +
             SolidPath(p, e.cx, e.cy, e.cr, e.he, e.ka, e.sa, e.da, e.ri) + fill(e.att, e.Color);
        break;
      }
    }
  }
}

// The indicated points, circled and numbered.
void DrawIndicated(Picture& p, const TJGdata& g) {
  std::string& o = p.Out();
  o += "<g class=\"indicated\" stroke=\"#d9480f\">\n";
  for (int n = 1; n < static_cast<int>(g.IPoints.size()); ++n) {
    const TJwwIndPoint& ip = g.IPoints[n];
    if (!ip.flg) continue;
    o += "<circle cx=\"" + p.X(ip.x) + "\" cy=\"" + p.Y(ip.y) + "\" r=\"" + p.N(p.Px(6)) + "\"/>\n";
    o += "<text x=\"" + p.X(ip.x + p.Px(7)) + "\" y=\"" + p.Y(ip.y + p.Px(7)) + "\" font-size=\"" +
         p.N(p.Px(13)) + "\" font-weight=\"bold\" fill=\"#d9480f\" stroke=\"#ffffff\" stroke-width=\"" +
         p.N(p.Px(3)) + "\" paint-order=\"stroke\">" + std::to_string(n) + "</text>\n";
  }
  o += "</g>\n";
}

// The drawing's x and y axes from the origin, turned by its axis angle.
void DrawAxes(Picture& p, const TJGdata& g, double len) {
  const double a = g.Jikukaku * kPi / 180;
  std::string& o = p.Out();
  o += "<g class=\"axes\" stroke=\"#7a8ca0\" stroke-dasharray=\"" + p.N(p.Px(5)) + " " + p.N(p.Px(4)) + "\">\n";
  const char* names[] = {"X", "Y"};
  for (int k = 0; k < 2; ++k) {
    const Pt end{std::cos(a + k * kPi / 2) * len, std::sin(a + k * kPi / 2) * len};
    o += "<line x1=\"0\" y1=\"0\" x2=\"" + p.X(end.x) + "\" y2=\"" + p.Y(end.y) + "\"/>\n";
    o += "<text x=\"" + p.X(end.x + p.Px(4)) + "\" y=\"" + p.Y(end.y + p.Px(4)) + "\" font-size=\"" +
         p.N(p.Px(13)) + "\" fill=\"#7a8ca0\" stroke=\"none\">" + names[k] + "</text>\n";
  }
  o += "</g>\n";
}

int Usage() {
  std::fputs("usage: jwc2svg [--title TEXT] [--axes] FILE [AFTER] > picture.svg\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string title;
  bool axes = false;
  std::vector<std::string> files;
  for (int k = 1; k < argc; ++k) {
    const std::string a = argv[k];
    if (a == "--title" && k + 1 < argc) {
      std::u16string t;
      platform::Utf8ToText(argv[++k], t);
      title = XmlText(t);
    } else if (a == "--axes") {
      axes = true;
    } else if (a.starts_with("--")) {
      return Usage();
    } else {
      files.push_back(a);
    }
  }
  if (files.empty() || files.size() > 2) return Usage();

  std::vector<TJGdata> drawings(files.size());
  for (size_t k = 0; k < files.size(); ++k) {
    std::u16string path;
    platform::Utf8ToText(files[k], path);
    if (!drawings[k].OpenTempFile(path)) {
      std::fprintf(stderr, "jwc2svg: cannot read %s\n", files[k].c_str());
      return 1;
    }
  }

  Bounds b;
  for (const TJGdata& g : drawings) AddBounds(g, b);
  for (const TJwwIndPoint& ip : drawings[0].IPoints) {
    if (ip.flg) b.Add({ip.x, ip.y});
  }
  double axisLength = 0;
  if (axes) {
    const Bounds drawn = b;
    b.Add({0, 0});
    for (double x : {drawn.x0, drawn.x1})
      for (double y : {drawn.y0, drawn.y1})
        if (std::isfinite(x) && std::isfinite(y)) axisLength = std::max(axisLength, std::hypot(x, y));
    if (axisLength == 0) axisLength = 50;
    const double a = drawings[0].Jikukaku * kPi / 180;
    for (int k = 0; k < 2; ++k) {
      b.Add({std::cos(a + k * kPi / 2) * axisLength, std::sin(a + k * kPi / 2) * axisLength});
    }
  }

  Picture p(b, !title.empty());
  p.Begin(title);
  if (axes) DrawAxes(p, drawings[0], axisLength);
  const Palette first(drawings[0]);
  if (drawings.size() == 2) {
    const Palette second(drawings[1]);
    p.Out() += "<g class=\"before\">\n";
    Draw(p, drawings[0], {first, "#a6a6a6", "#dadada"});
    p.Out() += "</g>\n<g class=\"after\">\n";
    Draw(p, drawings[1], {second, nullptr, nullptr});
  } else {
    p.Out() += "<g class=\"after\">\n";
    Draw(p, drawings[0], {first, nullptr, nullptr});
  }
  p.Out() += "</g>\n";
  DrawIndicated(p, drawings[0]);
  const std::string svg = p.End();
  std::fwrite(svg.data(), 1, svg.size(), stdout);
  return std::fflush(stdout) == 0 ? 0 : 1;
}
