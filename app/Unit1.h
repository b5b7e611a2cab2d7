// TForm1: the tool's main window. With a run mode it places the points and
// closes at once; without one it is the settings dialog.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/FormWindow.h"
#include "jwwgaibu/JwwGaibu.h"

class TForm1 {
  friend struct TForm1Access;  // lets the unit tests drive the run modes

 public:
  // args: the command-line arguments without the program; programPath: the
  // program's full path, beside which the exchange and settings files lie.
  TForm1(TFormWindow& window, std::vector<std::u16string> args, std::u16string programPath);

  std::u16string LabelM;  // status line of the dialog
  std::unique_ptr<TJGdata> JG;

  void FormShow();
  void FormClose();

 private:
  TFormWindow& Window;
  std::vector<std::u16string> Args;
  std::u16string ProgramPath;
  std::u16string AppFolder;

  std::u16string DatFile;
  bool OKflag = false;
  int32_t Fmx = 50;
  int32_t Fmy = 50;
  int32_t smode = 0;
  int32_t lgrp = 0;
  int32_t lay = 0;
  int32_t col = 0;
  int32_t ten = 0;
  int32_t typ = 0;
  double bai = 1.0;

  void RunMode(int32_t mode, double p, double q);
  void PutPoint(double x, double y);
  void OpenDatFile();
  void SaveDatFile();
};

// The title of the application and of the settings dialog.
inline constexpr char16_t kAppTitle[] = u"kx29－点の作図";
