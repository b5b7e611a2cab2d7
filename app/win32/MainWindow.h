// The main window of the Windows build: the form's window on screen. With a
// run mode it is never shown; without one it is the settings dialog, its
// controls laid out in fixed pixels and filled from the form's control state.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "app/FormWindow.h"

class TForm1;

class TMainWindow final : public TFormWindow {
 public:
  explicit TMainWindow(HINSTANCE instance);
  ~TMainWindow() override;
  TMainWindow(const TMainWindow&) = delete;
  TMainWindow& operator=(const TMainWindow&) = delete;

  // Creates the window, hidden, with all its controls, for the settings
  // dialog. False when Windows refuses; the form then runs without a window.
  bool Create(TForm1& form);
  // The form without a window, for a run mode, which shows nothing.
  void Attach(TForm1& form) { form_ = &form; }
  // Runs the form's start-up, shows the dialog when there is one and runs the
  // message loop until the window has closed. Gives the exit code: 0, or 1
  // when the dialog was wanted and there was no window to show it in.
  int Run(int showCommand);

  // The outer edge of the window in its normal (restored) placement, in
  // screen pixels, also while it is minimised.
  int32_t Left() const override;
  int32_t Top() const override;
  // Moves the window; a position outside every screen is brought onto the
  // nearest one, so that the dialog can always be reached.
  void SetPosition(int32_t left, int32_t top) override;
  void Minimise() override;
  void Close() override;

 private:
  enum { kControls = 17 };

  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
  bool CreateControls();
  void OnCommand(int id, int code);
  void OnClose();
  LRESULT OnControlColour(HDC dc, HWND control);
  void ShowState();  // form's control state -> controls
  void TakeState();  // controls -> form's control state
  void UpdateRadioTabStops();
  RECT NormalRect() const;
  HWND Control(int index) const { return controls_[index]; }

  HINSTANCE instance_;
  TForm1* form_ = nullptr;
  HWND hwnd_ = nullptr;
  HWND controls_[kControls] = {};
  HWND focus_ = nullptr;  // the control that had the focus when the window lost it
  HFONT font_ = nullptr;
  HBRUSH panelBrush_ = nullptr;
  HBRUSH memoBrush_ = nullptr;
  HICON bigIcon_ = nullptr;
  HICON smallIcon_ = nullptr;
  bool closing_ = false;
};
