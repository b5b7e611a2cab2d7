// The program's start under node, as app/main.cpp starts it natively: the
// same form on the same arguments, run mode or text dialog, exit code 0.
// Only where things come from differs: node hands the arguments over as
// main's own (the process's command line is node's), and the program's
// folder, where the CAD program leaves JWC_TEMP.TXT and the settings lie,
// is the current one.
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "app/TextDialog.h"
#include "app/Unit1.h"
#include "platform/Platform.h"

int main(int argc, char** argv) {
  std::vector<std::u16string> args(argc > 1 ? argc - 1 : 0);
  for (int k = 1; k < argc; ++k) platform::Utf8ToText(argv[k], args[k - 1]);
  std::string folder(4096, '\0');
  if (getcwd(folder.data(), folder.size()) == nullptr) return 1;
  folder.resize(folder.find('\0'));
  std::u16string program;
  platform::Utf8ToText(folder + (folder.ends_with('/') ? "kx29" : "/kx29"), program);

  TFormWindow window;
  TForm1 form(window, std::move(args), std::move(program));
  form.FormShow();
  if (!window.Closed()) RunTextDialog(form, std::cin, std::cout);
  form.FormClose();
  return 0;
}
