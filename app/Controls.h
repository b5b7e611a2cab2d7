// The state of the settings dialog's controls, held by the form: what each
// list holds and which entry is picked, which radio button is on, the text of
// an edit or a label. The form fills and reads these; the window of the
// Windows build and the text form of the other builds show them and hand the
// user's changes back. Nothing here knows about screens or pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TLabel {
  std::u16string Caption;
};

// A push button; "&" in the caption marks its access key (Alt and the letter).
struct TButton {
  std::u16string Caption;
};

struct TRadioButton {
  std::u16string Caption;
  bool Checked = false;
};

// A drop-down list whose entries can only be picked, not typed.
struct TComboBox {
  std::vector<std::u16string> Items;
  int32_t ItemIndex = -1;  // -1: nothing picked

  void Clear() {
    Items.clear();
    ItemIndex = -1;
  }
  void Add(std::u16string item) { Items.push_back(std::move(item)); }
  // An index outside the list leaves nothing picked.
  void Select(int32_t index) {
    ItemIndex = index >= 0 && static_cast<size_t>(index) < Items.size() ? index : -1;
  }
};

// A single-line edit. The user can type at most MaxLength characters; a text
// the program sets is taken whole.
struct TEdit {
  std::u16string Text;
  int32_t MaxLength = 0;  // 0: no limit
};

// A read-only text of several lines.
struct TMemo {
  std::vector<std::u16string> Lines;
};
