// Program start of the Windows build: the main window, which the taskbar
// shows under the application's title, and its message loop.
#include <windows.h>
#include <commctrl.h>

#include "app/Unit1.h"
#include "app/win32/MainWindow.h"
#include "platform/Platform.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  TMainWindow window(instance);
  TForm1 form(window, platform::CommandLineArgs(), platform::ProgramPath());
  window.Create(form);
  return window.Run(showCommand);
}
