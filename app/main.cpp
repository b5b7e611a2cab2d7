// Program start of the native build. It has no window: a run mode works as
// on Windows; without one, the settings dialog is left to the Windows build.
#include <cstdio>

#include "app/Unit1.h"
#include "platform/Platform.h"

int main() {
  TFormWindow window;
  TForm1 form(window, platform::CommandLineArgs(), platform::ProgramPath());
  form.FormShow();
  if (!window.Closed()) {
    std::fputs(
        "kx29: give a run mode 1-6 as the first argument.\n"
        "The settings dialog is part of the Windows build, kx29.exe.\n",
        stdout);
  }
  form.FormClose();
  return 0;
}
