// Program start of the native build. It has no window: a run mode works as
// on Windows; without one, the settings dialog is a text form on standard
// input and output.
#include <ext/stdio_filebuf.h>

#include <cstdio>
#include <istream>
#include <ostream>

#include "app/TextDialog.h"
#include "app/Unit1.h"
#include "platform/Platform.h"

int main() {
  TFormWindow window;
  TForm1 form(window, platform::CommandLineArgs(), platform::ProgramPath());
  form.FormShow();
  if (!window.Closed()) {
    // Streams over standard input and output made here, for the dialog
    // alone: the standard ones would be set up at every start, a run mode's
    // too, where they cost more than a small run's work.
    __gnu_cxx::stdio_filebuf<char> inBuf(stdin, std::ios::in), outBuf(stdout, std::ios::out);
    std::istream in(&inBuf);
    std::ostream out(&outBuf);
    RunTextDialog(form, in, out);
  }
  form.FormClose();
  return 0;
}
