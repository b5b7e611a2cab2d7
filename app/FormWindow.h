// The main window as the form uses it: position, minimising and closing.
// This base is the native build's window, which has no screen: it keeps the
// position it is given, so a stored position is written back unchanged. The
// Windows build derives the real window from it.
#pragma once

#include <cstdint>

class TFormWindow {
 public:
  virtual ~TFormWindow() = default;
  virtual int32_t Left() const { return left_; }
  virtual int32_t Top() const { return top_; }
  virtual void SetPosition(int32_t left, int32_t top) {
    left_ = left;
    top_ = top;
  }
  virtual void Minimise() { minimised_ = true; }
  // Asks the window to close; the owner then runs the form's close handling.
  virtual void Close() { closed_ = true; }
  bool Minimised() const { return minimised_; }
  bool Closed() const { return closed_; }

 private:
  int32_t left_ = 0;
  int32_t top_ = 0;
  bool minimised_ = false;
  bool closed_ = false;
};
