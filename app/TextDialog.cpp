#include "app/TextDialog.h"

#include <algorithm>
#include <string>

#include "app/Unit1.h"
#include "myfunc/MyFunc.h"
#include "platform/Platform.h"

namespace {

// Columns a character takes on a terminal: two for the wide East Asian
// characters, one for the rest (half-width katakana among them).
int Columns(char16_t c) {
  if (c < 0x1100) return 1;
  if (c >= 0xFF61 && c <= 0xFF9F) return 1;
  if ((c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
      (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
      (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x25A0 && c <= 0x25FF) || (c >= 0x2190 && c <= 0x21FF) ||
      c == 0x00D7) {
    return 2;
  }
  return 1;
}

int Columns(const std::u16string& s) {
  int n = 0;
  for (char16_t c : s) n += Columns(c);
  return n;
}

// A caption without the "&" that marks an access key ("&&" stands for "&").
std::u16string Plain(const std::u16string& caption) {
  std::u16string s;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == u'&' && i + 1 < caption.size()) ++i;
    s += caption[i];
  }
  return s;
}

// A caption without the full-width colon some labels end with.
std::u16string Name(const TLabel& label) {
  std::u16string s = label.Caption;
  if (!s.empty() && s.back() == u'：') s.pop_back();
  return s;
}

class TextForm {
 public:
  TextForm(std::istream& in, std::ostream& out) : in_(in), out_(out) {}

  void Put(const std::u16string& s) { out_ << platform::TextToUtf8(s); }
  void Line(const std::u16string& s = {}) {
    Put(s);
    out_ << '\n';
  }

  // One answer line, without its line break; false at the end of the input.
  bool Ask(const std::u16string& prompt, std::u16string& answer) {
    Put(prompt);
    out_.flush();
    std::string line;
    if (!std::getline(in_, line)) {
      out_ << '\n';
      return false;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    platform::Utf8ToText(line, answer);
    return true;
  }

  // The entries of a list with their numbers, in columns; the picked one
  // marked with "*".
  void ShowList(const TComboBox& list) {
    int width = 0;
    for (const auto& item : list.Items) width = std::max(width, Columns(item));
    const int cell = width + 6;
    const int perLine = std::max(1, 78 / cell);
    for (size_t i = 0; i < list.Items.size(); ++i) {
      std::u16string n = IntStr(static_cast<int32_t>(i));
      std::u16string entry = std::u16string(3 - std::min<size_t>(3, n.size()), u' ') + n +
                             (static_cast<int32_t>(i) == list.ItemIndex ? u"*" : u" ") + list.Items[i];
      const bool last = i + 1 == list.Items.size() || (i + 1) % perLine == 0;
      if (!last) entry += std::u16string(static_cast<size_t>(cell - 4 - Columns(list.Items[i])), u' ');
      Put(entry);
      if (last) out_ << '\n';
    }
  }

  // Asks for an entry of the list by its number until one fits; an empty
  // answer keeps the picked one. False at the end of the input.
  bool Pick(const std::u16string& name, TComboBox& list) {
    Line();
    Line(name);
    ShowList(list);
    for (;;) {
      const std::u16string now =
          list.ItemIndex >= 0 ? IntStr(list.ItemIndex) + u" " + list.Items[static_cast<size_t>(list.ItemIndex)]
                              : u"なし";
      std::u16string a;
      if (!Ask(name + u" [" + now + u"]: ", a)) return false;
      a = StripSpaces(a);
      if (a.empty()) return true;
      const bool number = a.size() <= 9 && std::all_of(a.begin(), a.end(), [](char16_t c) {
        return c >= u'0' && c <= u'9';
      });
      const int32_t k = number ? StrToIntZ(a) : -1;
      if (k >= 0 && static_cast<size_t>(k) < list.Items.size()) {
        list.Select(k);
        return true;
      }
      Line(u"  0 から " + IntStr(static_cast<int32_t>(list.Items.size()) - 1) + u" の番号を入力してください。");
    }
  }

 private:
  std::istream& in_;
  std::ostream& out_;
};

}  // namespace

void RunTextDialog(TForm1& f, std::istream& in, std::ostream& out) {
  TextForm t(in, out);
  t.Line(kAppTitle);
  t.Line(f.Label6.Caption);
  for (const auto& line : f.Memo1.Lines) t.Line(u"  " + line);
  t.Line();
  t.Line(u"番号を入力して選びます（* が選ばれているもの）。Enter だけでそのまま。");

  bool ok = t.Pick(f.Label4.Caption, f.CB1) && t.Pick(f.Label5.Caption, f.CB2) &&
            t.Pick(f.Label3.Caption, f.CB3);
  if (ok) {
    t.Line();
    t.Line(u"  1" + std::u16string(f.RB1.Checked ? u"*" : u" ") + f.RB1.Caption + u"   2" +
           (f.RB2.Checked ? u"*" : u" ") + f.RB2.Caption);
    for (;;) {
      std::u16string a;
      const std::u16string now = f.RB2.Checked ? u"2 " + f.RB2.Caption : f.RB1.Checked ? u"1 " + f.RB1.Caption : u"なし";
      if (!t.Ask(f.RB1.Caption + u"／" + f.RB2.Caption + u" [" + now + u"]: ", a)) {
        ok = false;
        break;
      }
      a = StripSpaces(a);
      if (a.empty()) break;
      if (a == u"1" || a == u"2") {
        f.RB1.Checked = a == u"1";
        f.RB2.Checked = a == u"2";
        break;
      }
      t.Line(u"  1 か 2 を入力してください。");
    }
  }
  ok = ok && t.Pick(Name(f.Label1), f.CB4);
  if (ok) {
    t.Line();
    for (;;) {
      std::u16string a;
      if (!t.Ask(Name(f.Label2) + u" [" + f.Edit1.Text + u"]: ", a)) {
        ok = false;
        break;
      }
      if (a.empty()) break;
      if (f.Edit1.MaxLength > 0 && a.size() > static_cast<size_t>(f.Edit1.MaxLength)) {
        t.Line(u"  " + IntStr(f.Edit1.MaxLength) + u" 文字までです。");
        continue;
      }
      f.Edit1.Text = a;
      break;
    }
  }
  if (ok) {
    t.Line();
    for (;;) {
      std::u16string a;
      if (!t.Ask(u"Y: " + Plain(f.Button1.Caption) + u"  N: " + Plain(f.Button2.Caption) + u" [Y]: ", a)) {
        ok = false;
        break;
      }
      a = StripSpaces(a);
      if (a.empty() || a == u"Y" || a == u"y") break;
      if (a == u"N" || a == u"n") {
        ok = false;
        break;
      }
    }
  }
  if (ok) {
    f.Button1Click();
  } else {
    f.Button2Click();
  }
}
