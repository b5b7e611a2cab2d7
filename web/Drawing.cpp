#include "web/Drawing.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <type_traits>
#include <utility>

#include "jwwgaibu/JwwGaibu.h"
#include "platform/Platform.h"
#include "tools/Palette.h"

namespace {

std::string Number(double v) {
  if (!std::isfinite(v)) return "null";
  char b[32];
  std::snprintf(b, sizeof b, "%.17g", v);
  return b;
}

class Records {
 public:
  Records(TDrawing& d, TJGdata& g) : d_(d), g_(g), palette_(g) {}

  void All() {
    g_.ForEachEnt([&](TJwwKind, const auto& e) { Entity(e); });
    for (size_t n = 1; n < g_.IPoints.size(); ++n) {
      const TJwwIndPoint& p = g_.IPoints[n];
      if (p.flg) Put({10, 0, static_cast<double>(n), p.x, p.y});
    }
  }

 private:
  void Put(std::initializer_list<double> values) {
    d_.records.insert(d_.records.end(), values);
  }

  // Display colours as the records hold them, doubles like every field.
  double Pen(int32_t code) const { return palette_.Pen(code); }
  double Fill(int32_t code, int32_t rgb) const { return palette_.Fill(code, rgb); }

  // A text or block name into the text array: where it starts, how long it is.
  std::pair<double, double> Keep(const std::u16string& s) {
    const double at = static_cast<double>(d_.texts.size());
    d_.texts += s;
    return {at, static_cast<double>(s.size())};
  }

  // A text's height and length in drawing units: text sizes are on paper, so
  // they grow with the scale of the text's layer group unless the file is in
  // paper units. Its direction stays a vector, turned into an angle by the page.
  void Text(const TJwwEntText& t, double kind = 6) {
    const double scale =
        g_.Zusun || t.att.LGrp < 0 || t.att.LGrp > 15 ? 1 : g_.LGrpScale[static_cast<size_t>(t.att.LGrp)];
    const double height = std::fabs(t.mh * scale);
    const double length = t.mh == 0 ? 0 : static_cast<double>(t.st.size()) * height * t.mw / t.mh;
    const auto [at, count] = Keep(t.st);
    Put({kind, Pen(t.att.Col), t.x1, t.y1, height, length, t.x2, t.y2, at, count});
  }

  template <class R>
  void Entity(const R& e) {
    d_.layers.push_back(static_cast<uint8_t>((e.att.LGrp & 15) * 16 + (e.att.Lay & 15)));
    if constexpr (std::is_same_v<R, TJwwEntLine>) {
      Put({1, Pen(e.att.Col), e.x1, e.y1, e.x2, e.y2});
    } else if constexpr (std::is_same_v<R, TJwwEntCircle>) {
      Put({2, Pen(e.att.Col), e.cx, e.cy, e.cr});
    } else if constexpr (std::is_same_v<R, TJwwEntArc>) {
      Put({3, Pen(e.att.Col), e.cx, e.cy, e.cr, e.sa, e.ea, e.he, e.ka});
    } else if constexpr (std::is_same_v<R, TJwwEntText>) {
      Text(e);
    } else if constexpr (std::is_same_v<R, TJwwEntPnt>) {
      Put({4, Pen(e.att.Col), e.px, e.py});
    } else if constexpr (std::is_same_v<R, TJwwEntMark>) {
      Put({5, Pen(e.att.Col), e.px, e.py, e.bai, e.ang, static_cast<double>(e.cod)});
    } else if constexpr (std::is_same_v<R, TJwwEntDim>) {
      Put({1, Pen(e.lin.att.Col), e.lin.x1, e.lin.y1, e.lin.x2, e.lin.y2});
      Text(e.txt, 11);  // one entity with the line before it
    } else if constexpr (std::is_same_v<R, TJwwEntBlk>) {
      const auto [at, count] = Keep(e.nam);
      Put({9, Pen(e.att.Col), e.px, e.py, at, count});
    } else if constexpr (std::is_same_v<R, TJwwEntSld2>) {
      Put({7, Fill(e.att.Col, e.Color), 2, e.x1, e.y1, e.x2, e.y2, 0, 0, 0, 0});
    } else if constexpr (std::is_same_v<R, TJwwEntSld3>) {
      Put({7, Fill(e.att.Col, e.Color), 3, e.x1, e.y1, e.x2, e.y2, e.x3, e.y3, 0, 0});
    } else if constexpr (std::is_same_v<R, TJwwEntSld4>) {
      Put({7, Fill(e.att.Col, e.Color), 4, e.x1, e.y1, e.x2, e.y2, e.x3, e.y3, e.x4, e.y4});
    } else if constexpr (std::is_same_v<R, TJwwEntSldC>) {  // "sc" and "se"
      Put({8, Fill(e.att.Col, e.Color), e.cx, e.cy, e.cr, e.he, e.ka, e.sa, e.da, 0});
    } else if constexpr (std::is_same_v<R, TJwwEntSldD>) {  // "so" and "sg"
      Put({8, Fill(e.att.Col, e.Color), e.cx, e.cy, e.cr, e.he, e.ka, e.sa, e.da, e.ri});
    }
  }

  TDrawing& d_;
  TJGdata& g_;
  const TDisplayPalette palette_;
};

// The encoding the reader took the file for: its mark's, else UTF-16 where
// the first two characters each have a NUL beside them, UTF-8 where the
// reader found UTF-8 (MojiCode), else code page 932.
const char* EncodingName(const std::u16string& path, bool utf8) {
  char head[4];
  std::FILE* f = std::fopen(platform::TextToUtf8(path).c_str(), "rb");
  if (f == nullptr) return "";
  std::string_view start(head, std::fread(head, 1, sizeof head, f));
  std::fclose(f);
  switch (platform::TakeByteOrderMark(start)) {
    case platform::TextEncoding::Utf8:
      return "UTF-8";
    case platform::TextEncoding::Utf16Le:
      return "UTF-16LE";
    case platform::TextEncoding::Utf16Be:
      return "UTF-16BE";
    default:
      if (start.size() == 4 && start[0] != 0 && start[1] == 0 && start[2] != 0 && start[3] == 0) return "UTF-16LE";
      if (start.size() == 4 && start[0] == 0 && start[1] != 0 && start[2] == 0 && start[3] != 0) return "UTF-16BE";
      return utf8 ? "UTF-8" : "CP932";
  }
}

// At most this many notes are listed; the count says how many there were.
constexpr size_t kNotesListed = 2000;

}  // namespace

std::string JsonText(std::u16string_view s) {
  std::string out = "\"";
  for (char c : platform::TextToUtf8(s)) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      static const char kHex[] = "0123456789abcdef";
      out += "\\u00";
      out += kHex[(c >> 4) & 15];
      out += kHex[c & 15];
    } else {
      out += c;
    }
  }
  return out + "\"";
}

bool ReadDrawing(const std::u16string& path, TDrawing& d, bool withNotes) {
  d = TDrawing();
  std::vector<TJwwReadNote> notes;
  TJGdata g;
  if (withNotes) g.ReadNotes = &notes;
  const auto t0 = std::chrono::steady_clock::now();
  if (!g.OpenTempFile(path)) return false;
  d.readSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  d.records.reserve(static_cast<size_t>(g.EntN) * 8 + 64);  // a realistic drawing's share of kinds
  Records(d, g).All();

  const TJwwBox box = g.Box();
  std::string& s = d.info;
  s = "{\"encoding\":\"" + std::string(EncodingName(path, g.MojiCode)) + "\"";
  s += ",\"entities\":" + std::to_string(g.EntN) + ",\"indicated\":" + std::to_string(g.IPointMax());
  s += ",\"box\":" + (box.Empty() ? std::string("null")
                                  : "[" + Number(box.x1) + "," + Number(box.y1) + "," +
                                        Number(box.x2) + "," + Number(box.y2) + "]");
  s += ",\"axisAngle\":" + Number(g.Jikukaku);
  // The layer groups' and layers' names the file gives, [number, name].
  for (const auto& [key, names] : {std::pair{"groupNames", &g.LGrpName}, std::pair{"layerNames", &g.LayName}}) {
    s += ",\"" + std::string(key) + "\":[";
    bool first = true;
    for (size_t k = 0; k < names->size(); ++k) {
      if ((*names)[k].empty()) continue;
      s += (first ? "[" : ",[") + std::to_string(k) + "," + JsonText((*names)[k]) + "]";
      first = false;
    }
    s += "]";
  }
  s += ",\"noteCount\":" + std::to_string(notes.size()) + ",\"notes\":[";
  for (size_t k = 0; k < notes.size() && k < kNotesListed; ++k) {
    s += (k ? ",[" : "[") + std::to_string(notes[k].what) + "," + std::to_string(notes[k].line) +
         "," + JsonText(notes[k].text.substr(0, 200)) + "]";
  }
  s += "]}";
  return true;
}
