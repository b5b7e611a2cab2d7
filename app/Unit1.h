// TForm1: the tool's main window. With a run mode it places the points and
// closes at once; without one it is the settings dialog.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/Controls.h"
#include "app/FormWindow.h"
#include "app/TypedValue.h"
#include "jwwgaibu/JwwGaibu.h"

class TForm1 {
  friend struct TForm1Access;  // lets the unit tests drive the run modes

 public:
  // args: the command-line arguments without the program; programPath: the
  // program's full path, beside which the exchange and settings files lie.
  TForm1(TFormWindow& window, std::vector<std::u16string> args, std::u16string programPath);

  // The settings dialog's controls, as the form's design sets them up.
  TButton Button1, Button2;                         // OK, Cancel
  TLabel LabelM;                                    // status line, emptied at start-up
  TLabel Label1, Label2, Label3, Label4, Label5, Label6;
  TMemo Memo1;                                      // the read-only note
  TRadioButton RB1, RB2;                            // point, point marker
  TComboBox CB4;                                    // marker kind
  TEdit Edit1;                                      // marker scale
  TComboBox CB3, CB1, CB2;                          // colour, layer group, layer
  std::unique_ptr<TJGdata> JG;
  // What the run tells the draughtsperson, a line for each thing, when it drew
  // nothing or fewer points than asked; empty when it drew all of it.
  std::u16string Notice;

  // The run mode the first argument names, 1 to kLastRunMode; 0 for the
  // settings dialog.
  int32_t RunModeArg() const;
  void FormShow();
  void FormClose();
  void Button1Click();  // OK: take the choices and close
  void Button2Click();  // Cancel: close without taking them

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
  // The typed values of the run beyond p and q (modes 12 and 13).
  TRunValues Values;
  void PutPoint(double x, double y);
  void Say(std::u16string_view line);  // one more line of Notice
  void OpenDatFile();
  void SaveDatFile();
  void FillDialog();
  void SelectRadio(TRadioButton& rb);
};

// Run modes: 1 the indicated point, 2 every indicated point, 3 typed x y, 4 the
// midpoint, 5 the first line divided, 6 the first circle and arc divided,
// 7 points at a pitch along every figure, 8 intersections, 9 end points and
// centres, 10 every figure divided, 11 where lines meet when extended,
// 12 points at typed distances along a figure, 13 a layout (割付) from a
// reference point.
inline constexpr int32_t kLastRunMode = 13;

// The title of the application and of the settings dialog.
inline constexpr char16_t kAppTitle[] = u"kx29－点の作図";
