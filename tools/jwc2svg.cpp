// jwc2svg: draws an exchange file as SVG, y pointing up as in the CAD program.
//
//   jwc2svg [--title TEXT] [--axes] [--typed X,Y] [--legend] FILE [AFTER]
//
// With two files, FILE is the drawing as the CAD program handed it over and
// AFTER the same file after a tool ran: FILE is drawn in grey, AFTER on top in
// its colours. The indicated points of FILE are circled and numbered. --axes
// adds the drawing's coordinate axes, turned by its axis angle; --typed adds
// the origin and the two distances typed, measured along those axes. --legend
// explains the colours below the picture. The SVG goes to standard output; a
// file that cannot be read gives a message and exit 1.
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>
#include <string>
#include <type_traits>
#include <vector>

#include "jwwgaibu/JwwGaibu.h"
#include "myfunc/Chars.h"
#include "platform/Platform.h"
#include "tools/Palette.h"

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kInf = std::numeric_limits<double>::infinity();

// Pixel sizes of the picture.
constexpr double kWidth = 640;         // the whole picture
constexpr double kMaxDrawWidth = 584;  // the drawing, at most
constexpr double kMaxDrawHeight = 420;
constexpr double kMargin = 28;
constexpr double kTitleBand = 36;
constexpr double kLegendBand = 34;
constexpr const char* kIndicatedColour = "#d9480f";
constexpr const char* kAxesColour = "#7a8ca0";
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
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string Hex(int32_t rgb) {  // an RGB value r + g * 256 + b * 65536
  char b[8];
  std::snprintf(b, sizeof b, "#%02x%02x%02x", rgb & 255, (rgb >> 8) & 255, (rgb >> 16) & 255);
  return b;
}

// Display colours of one file, as "#rrggbb".
class Palette {
 public:
  explicit Palette(TJGdata& g) : colours_(g) {}
  std::string Pen(int32_t code) const { return Hex(colours_.Pen(code)); }
  std::string Fill(int32_t code, int32_t rgb) const { return Hex(colours_.Fill(code, rgb)); }

 private:
  TDisplayPalette colours_;
};

// The colours of one layer of the picture: a file's own, or one grey for all.
struct Paint {
  const Palette& palette;
  const char* grey = nullptr;      // lines, points and texts
  const char* greyFill = nullptr;  // solids
  std::string Line(int32_t code) const { return grey ? grey : palette.Pen(code); }
  std::string Fill(int32_t code, int32_t rgb) const {
    return greyFill ? greyFill : palette.Fill(code, rgb);
  }
};

// What the entities are drawn on. Drawing units throughout; points, markers
// and block names have a fixed size on the screen.
class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual void Line(Pt a, Pt b, const std::string& stroke, const char* cls, double px = 0) = 0;
  virtual void Circle(Pt c, double r, const std::string& stroke) = 0;
  virtual void Path(const std::vector<Pt>& p, bool closed, const std::string& stroke) = 0;
  // Filled outlines; an outline inside another leaves a hole.
  virtual void Area(const std::vector<std::vector<Pt>>& outlines, const std::string& fill) = 0;
  // A text from its start point: height and length in drawing units, turned by deg.
  virtual void Text(Pt at, double height, double length, double deg, std::u16string_view s,
                    const std::string& fill, const char* cls) = 0;
  virtual void Dot(Pt at, const std::string& fill) = 0;
  // kind 1 .. 7: ＊ ○ ・ ＋ □ △ ×
  virtual void Marker(Pt at, int kind, double bai, double ang, const std::string& colour) = 0;
  virtual void Block(Pt at, std::u16string_view name, const std::string& colour) = 0;
};

// A canvas that only notes how far the drawing reaches.
class Frame : public Canvas {
 public:
  Bounds b;
  void Line(Pt a, Pt c, const std::string&, const char*, double) override { b.Add(a), b.Add(c); }
  void Circle(Pt c, double r, const std::string&) override {
    b.Add({c.x - r, c.y - r}), b.Add({c.x + r, c.y + r});
  }
  void Path(const std::vector<Pt>& p, bool, const std::string&) override {
    for (Pt q : p) b.Add(q);
  }
  void Area(const std::vector<std::vector<Pt>>& outlines, const std::string&) override {
    for (const auto& p : outlines) Path(p, true, "");
  }
  void Text(Pt at, double height, double length, double deg, std::u16string_view,
            const std::string&, const char*) override {
    const double a = deg * kPi / 180;
    b.Add(at);
    b.Add({at.x + std::cos(a) * length - std::sin(a) * height,
           at.y + std::sin(a) * length + std::cos(a) * height});
  }
  void Dot(Pt at, const std::string&) override { b.Add(at); }
  void Marker(Pt at, int, double, double, const std::string&) override { b.Add(at); }
  void Block(Pt at, std::u16string_view, const std::string&) override { b.Add(at); }
};

// The picture as SVG. Inside the drawing group a point (x, y) of the drawing
// stands at (x, -y), and the group's scale turns drawing units into pixels.
class Svg : public Canvas {
 public:
  Svg(Bounds b, const std::string& title, double bottom = 0) {
    // A line or a single point still gets some room around it.
    if (b.Empty() || !std::isfinite(b.x1 - b.x0) || !std::isfinite(b.y1 - b.y0)) {
      b = {-50, -50, 50, 50};
    }
    const double w = b.x1 - b.x0, h = b.y1 - b.y0, least = std::max({w, h, 1e-9}) / 3;
    if (w < least) b.x0 -= (least - w) / 2, b.x1 += (least - w) / 2;
    if (h < least) b.y0 -= (least - h) / 2, b.y1 += (least - h) / 2;
    s_ = std::min(kMaxDrawWidth / (b.x1 - b.x0), kMaxDrawHeight / (b.y1 - b.y0));
    if (!std::isfinite(s_) || s_ <= 0) s_ = 1;
    decimals_ = std::clamp(static_cast<int>(std::ceil(std::log10(s_))) + 2, 0, 12);
    const double top = title.empty() ? 0 : kTitleBand;
    const double height = std::ceil((b.y1 - b.y0) * s_ + 2 * kMargin + top + bottom);
    height_ = height;
    char head[160];
    std::snprintf(head, sizeof head, "width=\"%.0f\" height=\"%.0f\" viewBox=\"0 0 %.0f %.0f\"",
                  kWidth, height, kWidth, height);
    out_ = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\"";
    out_ += " xmlns:xlink=\"http://www.w3.org/1999/xlink\" " + std::string(head) + ">\n";
    out_ += "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
    if (!title.empty()) {
      out_ += "<text class=\"title\" x=\"" + N(kWidth / 2) + "\" y=\"24\" font-size=\"16\"" +
              " font-family=\"IPAPGothic, 'MS PGothic', sans-serif\" text-anchor=\"middle\"" +
              " fill=\"#202020\">" + title + "</text>\n";
    }
    // The seven marker kinds, half-width 1, drawn in the colour of the <use>.
    out_ +=
        "<defs>\n"
        "<path id=\"m1\" d=\"M0 -1V1M-0.87 -0.5L0.87 0.5M-0.87 0.5L0.87 -0.5\"/>\n"  // ＊
        "<circle id=\"m2\" r=\"1\"/>\n"                                              // ○
        "<circle id=\"m3\" r=\"0.4\" fill=\"currentColor\"/>\n"                      // ・
        "<path id=\"m4\" d=\"M-1 0H1M0 -1V1\"/>\n"                                   // ＋
        "<path id=\"m5\" d=\"M-0.85 -0.85H0.85V0.85H-0.85Z\"/>\n"                    // □
        "<path id=\"m6\" d=\"M0 -1.1L0.95 0.55H-0.95Z\"/>\n"                         // △
        "<path id=\"m7\" d=\"M-0.8 -0.8L0.8 0.8M-0.8 0.8L0.8 -0.8\"/>\n"             // ×
        "</defs>\n";
    char t[96];
    std::snprintf(t, sizeof t, "translate(%.3f %.3f) scale(%.9g)",
                  (kWidth - (b.x1 - b.x0) * s_) / 2 - b.x0 * s_, top + kMargin + b.y1 * s_, s_);
    out_ += "<g class=\"drawing\" transform=\"" + std::string(t) + "\" fill=\"none\"" +
            " stroke-width=\"" + N(Px(kStroke)) + "\" stroke-linecap=\"round\"" +
            " stroke-linejoin=\"round\" font-family=\"IPAGothic, 'MS Gothic', sans-serif\">\n";
  }

  double Px(double pixels) const { return pixels / s_; }  // pixels in drawing units

  // A number as SVG writes it: fine enough for a hundredth of a pixel.
  std::string N(double v) const {
    if (!std::isfinite(v)) return "0";
    char b[64];
    auto r = std::fabs(v) < 1e15
                 ? chars::ToChars(b, b + sizeof b, v, std::chars_format::fixed, decimals_)
                 : chars::ToChars(b, b + sizeof b, v);
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

  void Line(Pt a, Pt b, const std::string& stroke, const char* cls, double px) override {
    out_ += "<line" + Class(cls) + " x1=\"" + X(a.x) + "\" y1=\"" + Y(a.y) + "\" x2=\"" + X(b.x) +
            "\" y2=\"" + Y(b.y) + "\" stroke=\"" + stroke + "\"";
    if (px > 0) out_ += " stroke-width=\"" + N(Px(px)) + "\"";
    out_ += "/>\n";
  }
  void Circle(Pt c, double r, const std::string& stroke) override {
    out_ += "<circle cx=\"" + X(c.x) + "\" cy=\"" + Y(c.y) + "\" r=\"" + N(r) + "\" stroke=\"" +
            stroke + "\"/>\n";
  }
  void Path(const std::vector<Pt>& p, bool closed, const std::string& stroke) override {
    out_ += "<path class=\"arc\" d=\"" + D(p, closed) + "\" stroke=\"" + stroke + "\"/>\n";
  }
  void Area(const std::vector<std::vector<Pt>>& outlines, const std::string& fill) override {
    std::string d;
    for (const auto& p : outlines) {
      if (!d.empty()) d += ' ';
      d += D(p, true);
    }
    out_ += "<path class=\"solid\" fill-rule=\"evenodd\" d=\"" + d + "\" fill=\"" + fill +
            "\" stroke=\"" + fill + "\"/>\n";
  }
  void Text(Pt at, double height, double, double deg, std::u16string_view s,
            const std::string& fill, const char* cls) override {
    out_ += "<text" + Class(cls) + " x=\"" + X(at.x) + "\" y=\"" + Y(at.y) + "\" font-size=\"" +
            N(height > 0 ? height : Px(10)) + "\" fill=\"" + fill + "\" stroke=\"none\"";
    if (deg != 0) out_ += " transform=\"rotate(" + N(-deg) + " " + XY(at) + ")\"";
    out_ += ">" + XmlText(s) + "</text>\n";
  }
  void Dot(Pt at, const std::string& fill) override {
    out_ += "<circle class=\"point\" cx=\"" + X(at.x) + "\" cy=\"" + Y(at.y) + "\" r=\"" +
            N(Px(kPointRadius)) + "\" fill=\"" + fill + "\" stroke=\"none\"/>\n";
  }
  void Marker(Pt at, int kind, double bai, double ang, const std::string& colour) override {
    const double size = Px(kMarkerSize) * std::fabs(bai);
    out_ += "<use class=\"marker\" xlink:href=\"#m" + std::to_string(kind) +
            "\" transform=\"translate(" + XY(at) + ") rotate(" + N(-ang) + ") scale(" + N(size) +
            ")\" color=\"" + colour + "\" stroke=\"currentColor\" stroke-width=\"" +
            N(size > 0 ? kStroke / kMarkerSize / std::fabs(bai) : 0) + "\"/>\n";
  }
  void Block(Pt at, std::u16string_view name, const std::string& colour) override {
    const double r = Px(4);
    out_ += "<path class=\"block\" d=\"" +
            D({{at.x - r, at.y}, {at.x, at.y + r}, {at.x + r, at.y}, {at.x, at.y - r}}, true) +
            "\" stroke=\"" + colour + "\"/>\n";
    out_ += "<text class=\"block\" x=\"" + X(at.x + r * 1.5) + "\" y=\"" + Y(at.y - r) +
            "\" font-size=\"" + N(Px(10)) + "\" fill=\"" + colour + "\" stroke=\"none\">" +
            XmlText(name) + "</text>\n";
  }

  std::string& Out() { return out_; }
  double Height() const { return height_; }
  // Closes the drawing; below it, in pixels, what follows.
  std::string End(const std::string& below = {}) { return out_ + "</g>\n" + below + "</svg>\n"; }

 private:
  static std::string Class(const char* cls) {
    return cls ? " class=\"" + std::string(cls) + "\"" : "";
  }
  std::string D(const std::vector<Pt>& p, bool closed) const {
    std::string d;
    for (size_t i = 0; i < p.size(); ++i) d += (i ? " L" : "M") + XY(p[i]);
    return closed ? d + " Z" : d;
  }

  std::string out_;
  double height_ = 0;
  double s_ = 1;
  int decimals_ = 2;
};

// A text's height and length in drawing units: text sizes are on paper, so
// they grow with the scale of the text's layer group unless the file is in
// paper units.
void DrawText(Canvas& c, const TJGdata& g, const TJwwEntText& t, const std::string& fill,
              const char* cls) {
  const double scale = g.Zusun || t.att.LGrp < 0 || t.att.LGrp > 15 ? 1 : g.LGrpScale[t.att.LGrp];
  const double height = std::fabs(t.mh * scale);
  const double length = t.mh == 0 ? 0 : t.st.size() * height * t.mw / t.mh;
  const double deg = t.x2 == 0 && t.y2 == 0 ? 0 : std::atan2(t.y2, t.x2) * 180 / kPi;
  c.Text({t.x1, t.y1}, height, length, deg, t.st, fill, cls);
}

// A circular solid: a filled sector of an ellipse, or with an inner radius ri a
// sector of a ring; a whole turn fills the ellipse or the ring.
std::vector<std::vector<Pt>> SolidOutlines(double cx, double cy, double r, double he, double ka,
                                           double sa, double da, double ri) {
  const double span = Span(sa, da);
  auto outer = ArcPoints(cx, cy, r, he, ka, sa, span);
  if (ri <= 0) {
    if (!Closed(span)) outer.push_back({cx, cy});
    return {outer};
  }
  auto inner = ArcPoints(cx, cy, ri, he, ka, sa, span);
  std::reverse(inner.begin(), inner.end());
  if (Closed(span)) return {outer, inner};
  outer.insert(outer.end(), inner.begin(), inner.end());
  return {outer};
}

// Every entity of the file, in the order it was stored.
void Draw(Canvas& c, const TJGdata& g, const Paint& paint) {
  g.ForEachEnt([&](TJwwKind, const auto& e) {
    using R = std::decay_t<decltype(e)>;
    if constexpr (std::is_same_v<R, TJwwEntLine>) {
      c.Line({e.x1, e.y1}, {e.x2, e.y2}, paint.Line(e.att.Col), nullptr);
    } else if constexpr (std::is_same_v<R, TJwwEntCircle>) {
      c.Circle({e.cx, e.cy}, e.cr, paint.Line(e.att.Col));
    } else if constexpr (std::is_same_v<R, TJwwEntArc>) {
      const double span = Span(e.sa, e.ea);
      c.Path(ArcPoints(e.cx, e.cy, e.cr, e.he, e.ka, e.sa, span), Closed(span),
             paint.Line(e.att.Col));
    } else if constexpr (std::is_same_v<R, TJwwEntText>) {
      DrawText(c, g, e, paint.Line(e.att.Col), "text");
    } else if constexpr (std::is_same_v<R, TJwwEntPnt>) {
      c.Dot({e.px, e.py}, paint.Line(e.att.Col));
    } else if constexpr (std::is_same_v<R, TJwwEntMark>) {
      if (e.cod >= -7 && e.cod <= -1) {
        c.Marker({e.px, e.py}, -e.cod, e.bai, e.ang, paint.Line(e.att.Col));
      } else {  // not one of the seven kinds: drawn as a point
        c.Dot({e.px, e.py}, paint.Line(e.att.Col));
      }
    } else if constexpr (std::is_same_v<R, TJwwEntDim>) {
      c.Line({e.lin.x1, e.lin.y1}, {e.lin.x2, e.lin.y2}, paint.Line(e.lin.att.Col), "dimension");
      DrawText(c, g, e.txt, paint.Line(e.txt.att.Col), "dimension");
    } else if constexpr (std::is_same_v<R, TJwwEntBlk>) {
      c.Block({e.px, e.py}, e.nam, paint.Line(e.att.Col));
    } else if constexpr (std::is_same_v<R, TJwwEntSld2>) {
      // Two corners: a solid without area, drawn as a heavy line.
      c.Line({e.x1, e.y1}, {e.x2, e.y2}, paint.Fill(e.att.Col, e.Color), "solid", 3 * kStroke);
    } else if constexpr (std::is_same_v<R, TJwwEntSld3>) {
      c.Area({{{e.x1, e.y1}, {e.x2, e.y2}, {e.x3, e.y3}}}, paint.Fill(e.att.Col, e.Color));
    } else if constexpr (std::is_same_v<R, TJwwEntSld4>) {
      c.Area({{{e.x1, e.y1}, {e.x2, e.y2}, {e.x3, e.y3}, {e.x4, e.y4}}},
             paint.Fill(e.att.Col, e.Color));
    } else if constexpr (std::is_same_v<R, TJwwEntSldC>) {  // "sc" and "se"
      c.Area(SolidOutlines(e.cx, e.cy, e.cr, e.he, e.ka, e.sa, e.da, 0),
             paint.Fill(e.att.Col, e.Color));
    } else if constexpr (std::is_same_v<R, TJwwEntSldD>) {  // "so" and "sg"
      c.Area(SolidOutlines(e.cx, e.cy, e.cr, e.he, e.ka, e.sa, e.da, e.ri),
             paint.Fill(e.att.Col, e.Color));
    }
  });
}

// The indicated points, circled and numbered.
void DrawIndicated(Svg& p, const TJGdata& g) {
  std::string& o = p.Out();
  o += "<g class=\"indicated\" stroke=\"" + std::string(kIndicatedColour) + "\">\n";
  for (int n = 1; n < static_cast<int>(g.IPoints.size()); ++n) {
    const TJwwIndPoint& ip = g.IPoints[n];
    if (!ip.flg) continue;
    o += "<circle cx=\"" + p.X(ip.x) + "\" cy=\"" + p.Y(ip.y) + "\" r=\"" + p.N(p.Px(6)) + "\"/>\n";
    o += "<text x=\"" + p.X(ip.x + p.Px(7)) + "\" y=\"" + p.Y(ip.y + p.Px(7)) + "\" font-size=\"" +
         p.N(p.Px(13)) +
         "\" font-weight=\"bold\" fill=\"" + kIndicatedColour + "\" stroke=\"#ffffff\" stroke-width=\"" +
         p.N(p.Px(3)) + "\" paint-order=\"stroke\">" + std::to_string(n) + "</text>\n";
  }
  o += "</g>\n";
}

// The ends of the drawing's x and y axes, turned by its axis angle.
std::array<Pt, 2> AxisEnds(const TJGdata& g, double len) {
  const double a = g.Jikukaku * kPi / 180;
  return {Pt{std::cos(a) * len, std::sin(a) * len}, Pt{-std::sin(a) * len, std::cos(a) * len}};
}

void DrawAxes(Svg& p, const std::array<Pt, 2>& ends) {
  std::string& o = p.Out();
  o += "<g class=\"axes\" stroke=\"" + std::string(kAxesColour) + "\" stroke-dasharray=\"" +
       p.N(p.Px(5)) + " " +
       p.N(p.Px(4)) + "\">\n";
  const char* names[] = {"X", "Y"};
  for (int k = 0; k < 2; ++k) {
    o += "<line x1=\"0\" y1=\"0\" x2=\"" + p.X(ends[k].x) + "\" y2=\"" + p.Y(ends[k].y) + "\"/>\n";
    o += "<text x=\"" + p.X(ends[k].x + p.Px(4)) + "\" y=\"" + p.Y(ends[k].y + p.Px(4)) +
         "\" font-size=\"" + p.N(p.Px(13)) + "\" fill=\"" + kAxesColour + "\" stroke=\"none\">" +
         names[k] +
         "</text>\n";
  }
  o += "</g>\n";
}

// A label at a point of the drawing, offset by (dx, dy) pixels.
void Label(Svg& p, Pt at, double dx, double dy, const std::string& text, const char* colour,
           const char* anchor = "start") {
  p.Out() += "<text x=\"" + p.X(at.x + p.Px(dx)) + "\" y=\"" + p.Y(at.y + p.Px(dy)) +
             "\" font-size=\"" + p.N(p.Px(13)) + "\" text-anchor=\"" + anchor + "\" fill=\"" +
             colour + "\" stroke=\"#ffffff\" stroke-width=\"" + p.N(p.Px(3)) +
             "\" paint-order=\"stroke\">" + text + "</text>\n";
}

// Where typed coordinates are measured from: the origin, then the typed x
// along the turned x axis and the typed y along the turned y axis.
std::array<Pt, 3> TypedLegs(const TJGdata& g, double x, double y) {
  const double a = g.Jikukaku * kPi / 180;
  const Pt alongX{std::cos(a) * x, std::sin(a) * x};
  return {Pt{0, 0}, alongX, Pt{alongX.x - std::sin(a) * y, alongX.y + std::cos(a) * y}};
}

std::string Number(double v) {
  char b[32];
  const auto r = chars::ToChars(b, b + sizeof b, v);
  return std::string(b, r.ptr);
}

void DrawTyped(Svg& p, const std::array<Pt, 3>& legs, double x, double y) {
  std::string& o = p.Out();
  o += "<g class=\"typed\" stroke=\"" + std::string(kIndicatedColour) + "\">\n";
  for (int k = 0; k < 2; ++k) {
    o += "<line x1=\"" + p.X(legs[k].x) + "\" y1=\"" + p.Y(legs[k].y) + "\" x2=\"" +
         p.X(legs[k + 1].x) + "\" y2=\"" + p.Y(legs[k + 1].y) + "\" stroke-width=\"" +
         p.N(p.Px(2)) + "\"/>\n";
  }
  const double r = p.Px(4);
  o += "<path d=\"M" + p.XY({-r, 0}) + " L" + p.XY({r, 0}) + " M" + p.XY({0, -r}) + " L" +
       p.XY({0, r}) + "\"/>\n</g>\n";
  Label(p, legs[0], -6, -16, "原点 (0, 0)", kIndicatedColour, "end");
  Label(p, {(legs[0].x + legs[1].x) / 2, (legs[0].y + legs[1].y) / 2}, 0, -18,
        "X " + Number(x), kIndicatedColour, "middle");
  Label(p, {(legs[1].x + legs[2].x) / 2, (legs[1].y + legs[2].y) / 2}, 8, 0, "Y " + Number(y),
        kIndicatedColour);
}

// The legend below the picture: what is grey, what is in colour (shown in
// the colour of the first point or marker the tool added), what the rings and
// numbers are. In pixels.
std::string Legend(double top, bool withIndicated, const std::string& added) {
  const std::string font = "font-family=\"IPAPGothic, 'MS PGothic', sans-serif\" font-size=\"13\"";
  auto text = [&](double x, const char* s) {
    return "<text x=\"" + Number(x) + "\" y=\"" + Number(top + 21) + "\" " + font +
           " fill=\"#202020\">" + s + "</text>\n";
  };
  const double y = top + 16;
  std::string o = "<g class=\"legend\" fill=\"none\" stroke-width=\"1.5\">\n";
  o += "<line x1=\"40\" y1=\"" + Number(y) + "\" x2=\"64\" y2=\"" + Number(y) +
       "\" stroke=\"#a6a6a6\"/>\n" + text(70, "灰色：図面");
  o += "<circle cx=\"210\" cy=\"" + Number(y) + "\" r=\"3.5\" fill=\"" + added + "\" stroke=\"none\"/>\n" +
       text(220, "色付き：kx29 が作図したもの");
  if (withIndicated) {
    o += "<circle cx=\"450\" cy=\"" + Number(y) + "\" r=\"6\" stroke=\"" + kIndicatedColour +
         "\"/>\n" + text(462, "丸と番号：指示点");
  }
  return o + "</g>\n";
}

int Usage() {
  std::fputs("usage: jwc2svg [--title TEXT] [--axes] [--typed X,Y] [--legend] FILE [AFTER]"
             " > picture.svg\n",
             stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string title;
  bool axes = false, legend = false, typed = false;
  double typedX = 0, typedY = 0;
  std::vector<std::string> files;
  for (int k = 1; k < argc; ++k) {
    const std::string a = argv[k];
    if (a == "--title" && k + 1 < argc) {
      std::u16string t;
      platform::Utf8ToText(argv[++k], t);
      title = XmlText(t);
    } else if (a == "--axes") {
      axes = true;
    } else if (a == "--legend") {
      legend = true;
    } else if (a == "--typed" && k + 1 < argc) {
      const std::string v = argv[++k];
      const size_t comma = v.find(',');
      const auto x = chars::FromChars(v.data(), v.data() + std::min(comma, v.size()), typedX);
      const auto y = comma == std::string::npos
                         ? std::from_chars_result{nullptr, std::errc::invalid_argument}
                         : chars::FromChars(v.data() + comma + 1, v.data() + v.size(), typedY);
      if (x.ec != std::errc() || y.ec != std::errc()) return Usage();
      typed = true;
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

  // The drawing is drawn twice: measured first, to frame the picture.
  std::vector<Palette> palettes;
  for (TJGdata& g : drawings) palettes.emplace_back(g);
  std::vector<Paint> paints;
  if (drawings.size() == 2) paints.push_back({palettes[0], "#a6a6a6", "#dadada"});
  paints.push_back({palettes.back()});
  const TJGdata& first = drawings[0];

  Frame frame;
  for (size_t k = 0; k < drawings.size(); ++k) Draw(frame, drawings[k], paints[k]);
  for (const TJwwIndPoint& ip : first.IPoints) {
    if (ip.flg) frame.b.Add({ip.x, ip.y});
  }
  std::array<Pt, 2> axisEnds{};
  if (axes) {  // from the origin as far as the farthest corner of the drawing
    const Bounds& d = frame.b;
    double len = 50;
    if (!d.Empty()) {
      len = 0;
      for (double x : {d.x0, d.x1}) {
        for (double y : {d.y0, d.y1}) len = std::max(len, std::hypot(x, y));
      }
    }
    axisEnds = AxisEnds(first, len);
    frame.b.Add({0, 0}), frame.b.Add(axisEnds[0]), frame.b.Add(axisEnds[1]);
  }

  std::array<Pt, 3> legs{};
  if (typed) {
    legs = TypedLegs(first, typedX, typedY);
    for (Pt q : legs) frame.b.Add(q);
  }
  bool anyIndicated = false;
  for (const TJwwIndPoint& ip : first.IPoints) anyIndicated = anyIndicated || ip.flg;

  Svg p(frame.b, title, legend ? kLegendBand : 0);
  if (axes) DrawAxes(p, axisEnds);
  // The rings under what the tool added, so that a point at an indicated point
  // shows inside its ring.
  const char* layers[] = {drawings.size() == 2 ? "before" : "after", "after"};
  for (size_t k = 0; k < drawings.size(); ++k) {
    if (k + 1 == drawings.size()) {
      DrawIndicated(p, first);
      if (typed) DrawTyped(p, legs, typedX, typedY);
    }
    p.Out() += "<g class=\"" + std::string(layers[k]) + "\">\n";
    Draw(p, drawings[k], paints[k]);
    p.Out() += "</g>\n";
  }
  std::string added = "#0000ff";  // where the tool added no point or marker
  const TJGdata& last = drawings.back();
  if (last.EntPntN > 0) {
    added = paints.back().Line(last.EntPnt[0].att.Col);
  } else if (last.EntMarkN > 0) {
    added = paints.back().Line(last.EntMark[0].att.Col);
  }
  const std::string svg =
      p.End(legend ? Legend(p.Height() - kLegendBand, anyIndicated, added) : "");
  std::fwrite(svg.data(), 1, svg.size(), stdout);
  return std::fflush(stdout) == 0 ? 0 : 1;
}
