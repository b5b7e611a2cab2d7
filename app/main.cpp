// Program start of the native build. It has no window: a run mode works as
// on Windows; without one, the settings dialog is a text form on standard
// input and output.
#include <iostream>

#include "app/TextDialog.h"
#include "app/Unit1.h"
#include "platform/Platform.h"

int main() {
  TFormWindow window;
  TForm1 form(window, platform::CommandLineArgs(), platform::ProgramPath());
  form.FormShow();
  if (!window.Closed()) RunTextDialog(form, std::cin, std::cout);
  form.FormClose();
  return 0;
}
