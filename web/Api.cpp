// The page's way into the program and the library: a small C API over the
// program's own form (TForm1) and the library's reader (TJGdata). The form
// works on the files beside the program's path, as it does on Windows; here
// they lie in the module's memory file system, where the page (web/kx29.js)
// writes JWC_TEMP.TXT and kx29.dat before a call and reads them back after
// it, so every byte written is the program's.
//
// The reader's result (web/Drawing.h) is one array of doubles, a record
// after another, each starting with its kind and a display colour (an RGB
// value r + 256 g + 65536 b), then the kind's fields:
//   1 line            x1 y1 x2 y2
//   2 circle          cx cy r
//   3 arc, ellipse    cx cy r sa ea he ka            (as TJwwEntArc)
//   4 point           x y
//   5 point marker    x y scale angle code
//   6 text            x y height length dx dy text count
//   7 solid           corners x1 y1 x2 y2 x3 y3 x4 y4 (2 to 4 corners used)
//   8 circular solid  cx cy r he ka sa ea ri          (ri 0: no hole)
//   9 block insert    x y text count
//  10 indicated point number x y                      (colour 0)
//  11 dimension text  as a text; the figure is one with the line before it
// A record of kinds 1 to 9 starts a figure (an entity of the file), in the
// file's order, and the indicated points come after them all.
// Sizes are in drawing units, angles in degrees; a text runs along (dx, dy)
// and its characters are count UTF-16 code units from position text of the
// text array.
#include <emscripten/emscripten.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/TextDialog.h"
#include "app/Unit1.h"
#include "platform/Platform.h"
#include "web/Drawing.h"

namespace {

std::u16string Text(const char* utf8) {
  std::u16string s;
  platform::Utf8ToText(utf8 ? utf8 : "", s);
  return s;
}

std::string Json(const TComboBox& list) {
  std::string s = "{\"index\":" + std::to_string(list.ItemIndex) + ",\"items\":[";
  for (size_t k = 0; k < list.Items.size(); ++k) s += (k ? "," : "") + JsonText(list.Items[k]);
  return s + "]}";
}

TDrawing last;  // what the last read gave, kept until the next

}  // namespace

extern "C" {

// Runs the program as the CAD program starts it: program is its path (the
// exchange and settings files lie beside it), args its arguments, one a line
// (the run mode, then the typed values as the launcher passes them; an empty
// text for none). Without a run mode the settings dialog asks and gets no
// answer, as the native program does with nothing on its input. Returns the
// program's exit code.
EMSCRIPTEN_KEEPALIVE int kx29_run(const char* program, const char* args) {
  std::vector<std::u16string> list;
  const std::u16string all = Text(args);
  for (size_t at = 0; !all.empty() && at <= all.size();) {
    const size_t nl = std::min(all.find(u'\n', at), all.size());
    list.push_back(all.substr(at, nl - at));
    at = nl + 1;
  }
  TFormWindow window;
  TForm1 form(window, std::move(list), Text(program));
  form.FormShow();
  if (!window.Closed()) {
    std::istringstream in;
    std::ostringstream out;
    RunTextDialog(form, in, out);
  }
  form.FormClose();
  return 0;
}

// The settings dialog of the program at path program, opened as the program
// opens it without a run mode (from the settings file beside it). With ok the
// choices are made as a user makes them (the entries of the lists by their
// positions, point or marker, the scale's text) and OK is pressed, which
// saves them; else the dialog is cancelled. Returns, as JSON, the dialog's
// controls as it opened: their captions, lists and choices.
EMSCRIPTEN_KEEPALIVE const char* kx29_dialog(const char* program, int ok, int lgrp, int lay,
                                             int col, int marker, int kind, const char* scale) {
  TFormWindow window;
  TForm1 f(window, {}, Text(program));
  f.FormShow();
  static std::string json;
  json = "{\"title\":" + JsonText(kAppTitle) + ",\"about\":" + JsonText(f.Label6.Caption) + ",\"memo\":[";
  for (size_t k = 0; k < f.Memo1.Lines.size(); ++k) json += (k ? "," : "") + JsonText(f.Memo1.Lines[k]);
  json += "],\"lgrpLabel\":" + JsonText(f.Label4.Caption) + ",\"lgrp\":" + Json(f.CB1) +
          ",\"layLabel\":" + JsonText(f.Label5.Caption) + ",\"lay\":" + Json(f.CB2) +
          ",\"colLabel\":" + JsonText(f.Label3.Caption) + ",\"col\":" + Json(f.CB3) +
          ",\"point\":" + JsonText(f.RB1.Caption) + ",\"marker\":" + JsonText(f.RB2.Caption) +
          ",\"markerOn\":" + (f.RB2.Checked ? "true" : "false") +
          ",\"kindLabel\":" + JsonText(f.Label1.Caption) + ",\"kind\":" + Json(f.CB4) +
          ",\"scaleLabel\":" + JsonText(f.Label2.Caption) + ",\"scale\":" + JsonText(f.Edit1.Text) +
          ",\"scaleMax\":" + std::to_string(f.Edit1.MaxLength) +
          ",\"ok\":" + JsonText(f.Button1.Caption) + ",\"cancel\":" + JsonText(f.Button2.Caption) + "}";
  if (ok) {
    f.CB1.Select(lgrp);
    f.CB2.Select(lay);
    f.CB3.Select(col);
    f.RB1.Checked = !marker;
    f.RB2.Checked = marker != 0;
    f.CB4.Select(kind);
    f.Edit1.Text = Text(scale);
    f.Button1Click();
  } else {
    f.Button2Click();
  }
  f.FormClose();
  return json.c_str();
}

// Reads the exchange file at path with the library's reader, its notes
// taken unless notes is 0. Returns how many doubles the records hold, or -1 when the file
// cannot be read; the calls below then give the records, the texts and, as
// JSON, the file's encoding, entity count, extent, axis angle and notes.
EMSCRIPTEN_KEEPALIVE int32_t kx29_read(const char* path, int notes) {
  if (!ReadDrawing(Text(path), last, notes != 0)) return -1;
  return static_cast<int32_t>(last.records.size());
}
EMSCRIPTEN_KEEPALIVE const double* kx29_records() { return last.records.data(); }
EMSCRIPTEN_KEEPALIVE const char16_t* kx29_texts() { return last.texts.data(); }
EMSCRIPTEN_KEEPALIVE int32_t kx29_texts_length() { return static_cast<int32_t>(last.texts.size()); }
EMSCRIPTEN_KEEPALIVE const char* kx29_info() { return last.info.c_str(); }
// Each figure's layer group * 16 + layer, one byte each.
EMSCRIPTEN_KEEPALIVE const uint8_t* kx29_layers() { return last.layers.data(); }
EMSCRIPTEN_KEEPALIVE int32_t kx29_layers_length() { return static_cast<int32_t>(last.layers.size()); }
EMSCRIPTEN_KEEPALIVE double kx29_read_ms() { return last.readSeconds * 1000; }
// Hands the last read's memory back.
EMSCRIPTEN_KEEPALIVE void kx29_release() { last = TDrawing(); }

// The file at path decoded as the reader decodes it (by its byte-order mark,
// else code page 932), as UTF-8: the rewritten file as the page shows it.
EMSCRIPTEN_KEEPALIVE const char* kx29_decode(const char* path) {
  static std::string utf8;
  std::string bytes;
  std::u16string text;
  platform::ReadWholeFile(Text(path), bytes);
  platform::DecodeByMark(bytes, text);
  utf8 = platform::TextToUtf8(text);
  return utf8.c_str();
}

}  // extern "C"
