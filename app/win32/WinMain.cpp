// Program start of the Windows build: the main window, which the taskbar
// shows under the application's title, and its message loop; a run mode
// works without one.
#include <windows.h>
#include <commctrl.h>

#include "app/Unit1.h"
#include "app/win32/MainWindow.h"
#include "platform/Platform.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  TMainWindow window(instance);
  TForm1 form(window, platform::CommandLineArgs(), platform::ProgramPath());
  // A run mode does its work and ends without showing anything, so it makes
  // no window: the window and its controls took most of a run's start-up.
  if (form.RunModeArg() != 0) {
    window.Attach(form);
  } else {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    window.Create(form);
  }
  return window.Run(showCommand);
}
