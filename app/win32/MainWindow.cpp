#include "app/win32/MainWindow.h"

#include <commctrl.h>
#include <imm.h>

#include <algorithm>
#include <string>

#include "app/Unit1.h"

namespace {

constexpr wchar_t kClassName[] = L"kx29Form";
constexpr int kClientWidth = 453;
constexpr int kClientHeight = 245;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_APPWINDOW;
constexpr COLORREF kPanelColour = RGB(192, 220, 192);
constexpr COLORREF kMemoColour = RGB(187, 235, 244);

// The controls in the order they are made: Windows walks the tab order in
// this order. The upper panel comes first in the window's tab order and the
// lower one, with the buttons, second; within the upper panel the radio
// buttons come first (the note is never reached by Tab), then the marker
// kind, the scale, the colour, the layer group and the layer.
enum Index {
  kLabel6, kLabel4, kLabel5, kLabel3, kLabel1, kLabel2, kLabelM,
  kMemo1, kRB1, kRB2, kCB4, kEdit1, kCB3, kCB1, kCB2, kButton1, kButton2,
};

// The two panels share the window's client area: the lower one, 41 pixels
// high, holds the buttons; the upper one the rest. Positions below are within
// a panel.
constexpr int kLowerPanelTop = kClientHeight - 41;

struct Place {
  const wchar_t* cls;
  DWORD style;
  DWORD exStyle;
  int panelTop;
  int x, y, w, h;
  int id;
};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kList = kChild | WS_TABSTOP | WS_GROUP | WS_VSCROLL | CBS_DROPDOWNLIST;
constexpr int kComboHeight = 24;

const Place kPlaces[] = {
    {WC_STATICW, kChild | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, 0, 8, 4, 345, 16, 1006},
    {WC_STATICW, kChild | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, 0, 8, 32, 81, 16, 1004},
    {WC_STATICW, kChild | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, 0, 8, 56, 34, 16, 1005},
    {WC_STATICW, kChild | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, 0, 8, 80, 40, 16, 1003},
    {WC_STATICW, kChild | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, 0, 120, 140, 38, 16, 1001},
    {WC_STATICW, kChild | SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0, 0, 120, 164, 38, 16, 1002},
    {WC_STATICW, kChild | SS_CENTER | SS_NOPREFIX, 0, 0, 1, 187, 451, 16, 1007},
    {WC_EDITW, kChild | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
     0, 264, 24, 185, 161, 1010},
    {WC_BUTTONW, kChild | WS_GROUP | WS_TABSTOP | BS_AUTORADIOBUTTON, 0, 0, 8, 112, 65, 17, 1011},
    {WC_BUTTONW, kChild | BS_AUTORADIOBUTTON, 0, 0, 112, 112, 113, 17, 1012},
    {WC_COMBOBOXW, kList, 0, 0, 169, 135, 89, kComboHeight, 1024},
    {WC_EDITW, kChild | WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 0, 168, 160, 89, 21,
     1030},
    {WC_COMBOBOXW, kList, 0, 0, 112, 76, 145, kComboHeight, 1023},
    {WC_COMBOBOXW, kList, 0, 0, 112, 28, 145, kComboHeight, 1021},
    {WC_COMBOBOXW, kList, 0, 0, 112, 52, 145, kComboHeight, 1022},
    {WC_BUTTONW, kChild | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, 0, kLowerPanelTop, 4, 4, 85, 35,
     IDOK},
    {WC_BUTTONW, kChild | WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON, 0, kLowerPanelTop, 100, 4, 130, 35,
     IDCANCEL},
};
static_assert(std::size(kPlaces) == kButton2 + 1);

const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

std::u16string TextOf(HWND control) {
  const int n = GetWindowTextLengthW(control);
  if (n <= 0) return {};
  std::wstring buf(static_cast<size_t>(n) + 1, L'\0');
  const int got = GetWindowTextW(control, buf.data(), n + 1);
  buf.resize(static_cast<size_t>(std::max(got, 0)));
  return std::u16string(buf.begin(), buf.end());
}

// The note is read-only and takes neither Enter nor Tab: with the focus in
// it, Enter still presses OK, Escape Cancel, and Tab moves on.
LRESULT CALLBACK NoteProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR) {
  if (msg == WM_GETDLGCODE) {
    return DefSubclassProc(hwnd, msg, wp, lp) & ~(DLGC_WANTALLKEYS | DLGC_WANTTAB | DLGC_WANTMESSAGE);
  }
  if (msg == WM_NCDESTROY) RemoveWindowSubclass(hwnd, NoteProc, id);
  return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace

TMainWindow::TMainWindow(HINSTANCE instance) : instance_(instance) {}

TMainWindow::~TMainWindow() {
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
  if (font_ != nullptr) DeleteObject(font_);
  if (panelBrush_ != nullptr) DeleteObject(panelBrush_);
  if (memoBrush_ != nullptr) DeleteObject(memoBrush_);
  if (bigIcon_ != nullptr) DestroyIcon(bigIcon_);
  if (smallIcon_ != nullptr) DestroyIcon(smallIcon_);
}

bool TMainWindow::Create(TForm1& form) {
  form_ = &form;
  panelBrush_ = CreateSolidBrush(kPanelColour);
  memoBrush_ = CreateSolidBrush(kMemoColour);
  bigIcon_ = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                           GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
  smallIcon_ = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), 0));
  // Tahoma with a character height of 13 pixels; Windows links in a font
  // with the Japanese characters that Tahoma lacks.
  font_ = CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Tahoma");

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance_;
  wc.hIcon = bigIcon_;
  wc.hIconSm = smallIcon_;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = panelBrush_;
  wc.lpszClassName = kClassName;
  if (RegisterClassExW(&wc) == 0) return false;

  RECT r{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&r, kStyle, FALSE, kExStyle);
  // At 0, 0 until the form places it from its settings.
  hwnd_ = CreateWindowExW(kExStyle, kClassName, W(std::u16string(kAppTitle)), kStyle, 0, 0,
                          r.right - r.left, r.bottom - r.top, nullptr, nullptr, instance_, this);
  if (hwnd_ != nullptr && !CreateControls()) {
    DestroyWindow(hwnd_);
    hwnd_ = nullptr;
  }
  return hwnd_ != nullptr;
}

bool TMainWindow::CreateControls() {
  for (int i = 0; i < kControls; ++i) {
    const Place& p = kPlaces[i];
    HWND c = CreateWindowExW(p.exStyle, p.cls, L"", p.style, p.x, p.panelTop + p.y, p.w, p.h, hwnd_,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(p.id)), instance_, nullptr);
    if (c == nullptr) return false;
    controls_[i] = c;
    SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  }
  for (int i : {kCB1, kCB2, kCB3, kCB4}) {
    HWND cb = Control(i);
    // The closed list is 24 pixels high whatever the font makes of it; eight
    // entries show when it drops down.
    RECT rc;
    GetWindowRect(cb, &rc);
    const LRESULT item = SendMessageW(cb, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    if (item != CB_ERR && rc.bottom - rc.top != kComboHeight) {
      SendMessageW(cb, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1),
                   item + kComboHeight - (rc.bottom - rc.top));
    }
    SendMessageW(cb, CB_SETMINVISIBLE, 8, 0);
  }
  // The lists and the scale take letters and digits only: no input method.
  for (int i : {kCB1, kCB2, kCB3, kCB4, kEdit1}) ImmAssociateContext(Control(i), nullptr);
  SendMessageW(Control(kEdit1), EM_SETLIMITTEXT, static_cast<WPARAM>(form_->Edit1.MaxLength), 0);
  SetWindowSubclass(Control(kMemo1), NoteProc, 1, 0);

  const std::pair<int, const TLabel*> labels[] = {
      {kLabel1, &form_->Label1}, {kLabel2, &form_->Label2}, {kLabel3, &form_->Label3},
      {kLabel4, &form_->Label4}, {kLabel5, &form_->Label5}, {kLabel6, &form_->Label6},
  };
  for (const auto& [i, label] : labels) {
    // A label is as large as its text: where the Japanese font is wider than
    // the one the layout was drawn with, the text must not be cut off.
    HWND c = Control(i);
    SetWindowTextW(c, W(label->Caption));
    HDC dc = GetDC(c);
    HGDIOBJ old = SelectObject(dc, font_);
    SIZE size{};
    GetTextExtentPoint32W(dc, W(label->Caption), static_cast<int>(label->Caption.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(c, dc);
    const Place& p = kPlaces[i];
    SetWindowPos(c, nullptr, 0, 0, std::max<int>(p.w, size.cx), std::max<int>(p.h, size.cy),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  SetWindowTextW(Control(kButton1), W(form_->Button1.Caption));
  SetWindowTextW(Control(kButton2), W(form_->Button2.Caption));
  SetWindowTextW(Control(kRB1), W(form_->RB1.Caption));
  SetWindowTextW(Control(kRB2), W(form_->RB2.Caption));
  ShowState();
  return true;
}

int TMainWindow::Run(int showCommand) {
  if (hwnd_ == nullptr) {
    // A run mode, which needs no window, or no window could be made (no
    // desktop to show it on): a run mode does its work; the dialog cannot be
    // shown and ends as if cancelled.
    form_->FormShow();
    const bool done = Closed();
    form_->FormClose();
    return done ? 0 : 1;
  }
  form_->FormShow();
  // A run mode has done its work and asked to close by now: the window is
  // never shown, so nothing usable flashes up.
  if (!Closed()) {
    ShowState();
    ShowWindow(hwnd_, Minimised() ? SW_SHOWMINNOACTIVE : showCommand);
    UpdateWindow(hwnd_);
    if (!Minimised()) {
      focus_ = GetNextDlgTabItem(hwnd_, nullptr, FALSE);
      SetFocus(focus_);
    }
  }
  MSG msg;
  int r;
  while ((r = GetMessageW(&msg, nullptr, 0, 0)) > 0) {
    // Tab, the arrow keys, Enter, Escape and the access keys work as in a
    // dialog box.
    if (hwnd_ != nullptr && IsDialogMessageW(hwnd_, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return r < 0 ? 1 : static_cast<int>(msg.wParam);
}

LRESULT CALLBACK TMainWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<TMainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg == WM_NCCREATE) {
    self = static_cast<TMainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->hwnd_ = hwnd;
  }
  if (self == nullptr) return DefWindowProcW(hwnd, msg, wp, lp);
  return self->Handle(msg, wp, lp);
}

LRESULT TMainWindow::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND:
      OnCommand(LOWORD(wp), HIWORD(wp));
      return 0;
    case DM_GETDEFID:
      return MAKELRESULT(IDOK, DC_HASDEFID);
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return OnControlColour(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
    case WM_PAINT: {
      // Each panel has a raised edge one pixel wide.
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      RECT upper{0, 0, kClientWidth, kLowerPanelTop};
      RECT lower{0, kLowerPanelTop, kClientWidth, kClientHeight};
      DrawEdge(dc, &upper, BDR_RAISEDOUTER, BF_RECT);
      DrawEdge(dc, &lower, BDR_RAISEDOUTER, BF_RECT);
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_ACTIVATE:
      // Keep the focused control across a switch to another program.
      if (LOWORD(wp) == WA_INACTIVE) {
        HWND f = GetFocus();
        if (f != nullptr && IsChild(hwnd_, f)) focus_ = f;
      }
      break;
    case WM_SETFOCUS:
      if (focus_ != nullptr && IsWindow(focus_)) SetFocus(focus_);
      return 0;
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_DESTROY:
      hwnd_ = nullptr;
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

void TMainWindow::OnCommand(int id, int code) {
  if (closing_) return;
  if (id == IDOK && code == BN_CLICKED) {
    TakeState();
    form_->Button1Click();
  } else if (id == IDCANCEL && code == BN_CLICKED) {
    form_->Button2Click();
  } else if ((id == GetDlgCtrlID(Control(kRB1)) || id == GetDlgCtrlID(Control(kRB2))) &&
             code == BN_CLICKED) {
    UpdateRadioTabStops();
  }
}

void TMainWindow::OnClose() {
  if (closing_) return;
  closing_ = true;
  form_->FormClose();
  DestroyWindow(hwnd_);
}

LRESULT TMainWindow::OnControlColour(HDC dc, HWND control) {
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  if (control == Control(kMemo1)) {
    SetBkColor(dc, kMemoColour);
    return reinterpret_cast<LRESULT>(memoBrush_);
  }
  SetBkColor(dc, kPanelColour);
  return reinterpret_cast<LRESULT>(panelBrush_);
}

void TMainWindow::ShowState() {
  TForm1& f = *form_;
  const std::pair<int, const TComboBox*> lists[] = {
      {kCB1, &f.CB1}, {kCB2, &f.CB2}, {kCB3, &f.CB3}, {kCB4, &f.CB4}};
  for (const auto& [i, list] : lists) {
    HWND cb = Control(i);
    SendMessageW(cb, WM_SETREDRAW, FALSE, 0);
    SendMessageW(cb, CB_RESETCONTENT, 0, 0);
    for (const auto& item : list->Items) {
      SendMessageW(cb, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(item)));
    }
    SendMessageW(cb, CB_SETCURSEL, static_cast<WPARAM>(list->ItemIndex), 0);
    SendMessageW(cb, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(cb, nullptr, TRUE);
  }
  SendMessageW(Control(kRB1), BM_SETCHECK, f.RB1.Checked ? BST_CHECKED : BST_UNCHECKED, 0);
  SendMessageW(Control(kRB2), BM_SETCHECK, f.RB2.Checked ? BST_CHECKED : BST_UNCHECKED, 0);
  UpdateRadioTabStops();
  SetWindowTextW(Control(kEdit1), W(f.Edit1.Text));
  std::u16string note;
  for (const auto& line : f.Memo1.Lines) {
    if (!note.empty()) note += u"\r\n";
    note += line;
  }
  SetWindowTextW(Control(kMemo1), W(note));
  SetWindowTextW(Control(kLabelM), W(f.LabelM.Caption));
}

void TMainWindow::TakeState() {
  TForm1& f = *form_;
  const std::pair<int, TComboBox*> lists[] = {
      {kCB1, &f.CB1}, {kCB2, &f.CB2}, {kCB3, &f.CB3}, {kCB4, &f.CB4}};
  for (const auto& [i, list] : lists) {
    const LRESULT sel = SendMessageW(Control(i), CB_GETCURSEL, 0, 0);
    list->ItemIndex = sel == CB_ERR ? -1 : static_cast<int32_t>(sel);
  }
  f.RB1.Checked = SendMessageW(Control(kRB1), BM_GETCHECK, 0, 0) == BST_CHECKED;
  f.RB2.Checked = SendMessageW(Control(kRB2), BM_GETCHECK, 0, 0) == BST_CHECKED;
  f.Edit1.Text = TextOf(Control(kEdit1));
}

// Tab reaches only the radio button that is on; the arrow keys move between
// the two.
void TMainWindow::UpdateRadioTabStops() {
  for (int i : {kRB1, kRB2}) {
    HWND rb = Control(i);
    const bool on = SendMessageW(rb, BM_GETCHECK, 0, 0) == BST_CHECKED;
    LONG_PTR style = GetWindowLongPtrW(rb, GWL_STYLE);
    style = on ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
    SetWindowLongPtrW(rb, GWL_STYLE, style);
  }
  // With neither on, the first one keeps the group reachable.
  if (SendMessageW(Control(kRB1), BM_GETCHECK, 0, 0) != BST_CHECKED &&
      SendMessageW(Control(kRB2), BM_GETCHECK, 0, 0) != BST_CHECKED) {
    SetWindowLongPtrW(Control(kRB1), GWL_STYLE, GetWindowLongPtrW(Control(kRB1), GWL_STYLE) | WS_TABSTOP);
  }
}

RECT TMainWindow::NormalRect() const {
  WINDOWPLACEMENT wp{};
  wp.length = sizeof wp;
  RECT r{};
  if (!GetWindowPlacement(hwnd_, &wp)) {
    GetWindowRect(hwnd_, &r);
    return r;
  }
  // The placement is in workspace coordinates, which start at the corner of
  // the screen's work area; a taskbar on the left or at the top shifts them
  // against screen coordinates.
  r = wp.rcNormalPosition;
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  if (GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), &mi)) {
    OffsetRect(&r, mi.rcWork.left - mi.rcMonitor.left, mi.rcWork.top - mi.rcMonitor.top);
  }
  return r;
}

int32_t TMainWindow::Left() const {
  if (hwnd_ == nullptr) return TFormWindow::Left();
  return NormalRect().left;
}

int32_t TMainWindow::Top() const {
  if (hwnd_ == nullptr) return TFormWindow::Top();
  return NormalRect().top;
}

void TMainWindow::SetPosition(int32_t left, int32_t top) {
  TFormWindow::SetPosition(left, top);
  if (hwnd_ == nullptr) return;
  const RECT now = NormalRect();
  const LONG w = now.right - now.left, h = now.bottom - now.top;
  // Computed in 64 bits: a stored position may be anything.
  const long long l = left, t = top;
  RECT r{static_cast<LONG>(std::clamp<long long>(l, INT32_MIN / 2, INT32_MAX / 2)),
         static_cast<LONG>(std::clamp<long long>(t, INT32_MIN / 2, INT32_MAX / 2)), 0, 0};
  r.right = r.left + w;
  r.bottom = r.top + h;
  // A position left over from a screen that is gone, or saved while the
  // window was minimised by an older version (-32000, -32000), would put the
  // dialog where no one can reach it: it goes onto the nearest screen.
  if (MonitorFromRect(&r, MONITOR_DEFAULTTONULL) == nullptr) {
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    if (GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &mi)) {
      const RECT& work = mi.rcWork;
      const LONG x = std::max(work.left, std::min(r.left, work.right - w));
      const LONG y = std::max(work.top, std::min(r.top, work.bottom - h));
      r = RECT{x, y, x + w, y + h};
    }
  }
  SetWindowPos(hwnd_, nullptr, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TMainWindow::Minimise() {
  TFormWindow::Minimise();
  if (hwnd_ != nullptr && IsWindowVisible(hwnd_)) ShowWindow(hwnd_, SW_MINIMIZE);
}

void TMainWindow::Close() {
  TFormWindow::Close();
  if (hwnd_ != nullptr) PostMessageW(hwnd_, WM_CLOSE, 0, 0);
}
