// The point tool: the run modes' geometry and written lines, the command
// line, and the settings file.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <numbers>

#include "app/Unit1.h"
#include "myfunc/MyFunc.h"
#include "platform/Platform.h"
#include "tests/TestUtil.h"

namespace fs = std::filesystem;
using Lines = std::vector<std::u16string>;

struct TForm1Access {
  static void RunMode(TForm1& f, int32_t mode, double p, double q) { f.RunMode(mode, p, q); }
  static void Settings(TForm1& f, int32_t lgrp, int32_t lay, int32_t col, int32_t ten,
                       int32_t typ, double bai) {
    f.lgrp = lgrp;
    f.lay = lay;
    f.col = col;
    f.ten = ten;
    f.typ = typ;
    f.bai = bai;
  }
  static std::vector<double> Stored(const TForm1& f) {
    return {double(f.Fmx), double(f.Fmy), double(f.lgrp), double(f.lay),
            double(f.col), double(f.ten), double(f.typ),  f.bai};
  }
  static int32_t Mode(const TForm1& f) { return f.smode; }
};

namespace {

using F = TForm1Access;

// A form whose program lies in a fresh folder, its drawing data created
// empty, as after reading a file with nothing in it.
struct Tool {
  kxtest::TempDir dir;
  TFormWindow window;
  TForm1 form;
  explicit Tool(std::vector<std::u16string> args = {u"14"})
      : form(window, std::move(args), kxtest::U16(dir / "kx29")) {
    form.FormShow();  // no run mode: only the start-up
  }
  TJGdata& g() { return *form.JG; }
  Lines Run(int32_t mode, double p = 0, double q = 0) {
    g().S_Init();
    F::RunMode(form, mode, p, q);
    Lines out(g().t_Mem.begin(), g().t_Mem.begin() + g().t_MemN);
    g().StopJwwGaibu();
    return out;
  }
};

// The points of "pt x y" lines, to compare geometry up to rounding.
std::vector<std::pair<double, double>> Points(const Lines& lines) {
  std::vector<std::pair<double, double>> pts;
  for (const auto& l : lines) {
    if (!l.starts_with(u"pt ")) continue;
    const size_t sp = l.find(u' ', 3);
    const size_t end = l.find(u' ', sp + 1);
    pts.emplace_back(StrToFloatZ(l.substr(3, sp - 3)),
                     StrToFloatZ(l.substr(sp + 1, end == l.npos ? l.npos : end - sp - 1)));
  }
  return pts;
}

void ExpectPoints(const Lines& lines, const std::vector<std::pair<double, double>>& want) {
  const auto got = Points(lines);
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < got.size(); ++i) {
    EXPECT_NEAR(got[i].first, want[i].first, 1e-9) << "point " << i;
    EXPECT_NEAR(got[i].second, want[i].second, 1e-9) << "point " << i;
  }
}

void AddLine(TJGdata& g, double x1, double y1, double x2, double y2) {
  g.EntLineN = 1;
  g.EntLine.resize(1000);
  g.EntLine[0].x1 = x1, g.EntLine[0].y1 = y1, g.EntLine[0].x2 = x2, g.EntLine[0].y2 = y2;
}

void AddArc(TJGdata& g, double sa, double ea) {
  g.EntArcN = 1;
  g.EntArc.resize(1000);
  g.EntArc[0] = TJwwEntArc{{}, 0, 0, 10, sa, ea, 1, 0};
}

TEST(RunModes, IndicatedPointsWithDefaultSettings) {
  Tool t;
  t.g().IPoints[1] = {true, 10, 20, 0};
  t.g().IPoints[2] = {true, 30, 40, 0};
  t.g().IPoints[4] = {true, 70, 80, 0};
  const Lines preamble{u"lg0", u"ly0", u"lc1", u"pn1", u"lt1"};
  auto with = [&](Lines pts) {
    Lines l = preamble;
    l.insert(l.end(), pts.begin(), pts.end());
    return l;
  };
  EXPECT_EQ(t.Run(1), with({u"pt 10 20"}));
  EXPECT_EQ(t.Run(2), with({u"pt 10 20", u"pt 30 40"}));  // stops at the gap at 3
  EXPECT_EQ(t.Run(4), with({u"pt 20 30"}));
  F::Settings(t.form, 0, 0, 0, 1, 0, 1);
  EXPECT_EQ(t.Run(2), with({u"pt 10 20 1 0 -1", u"pt 30 40 1 0 -1"}));
}

TEST(RunModes, MissingIndicatedPointsCountAsOrigin) {
  Tool t;
  EXPECT_EQ(Points(t.Run(1)), (std::vector<std::pair<double, double>>{{0, 0}}));
  EXPECT_TRUE(Points(t.Run(2)).empty());
  t.g().IPoints[2] = {true, 4, 6, 0};
  EXPECT_EQ(Points(t.Run(4)), (std::vector<std::pair<double, double>>{{2, 3}}));
}

TEST(RunModes, GivenCoordinatesTurnWithTheAxisAngle) {
  Tool t;
  ExpectPoints(t.Run(3, 100, 50), {{100, 50}});
  t.g().Jikukaku = 90;
  ExpectPoints(t.Run(3, 100, 50), {{-50, 100}});
}

TEST(RunModes, LineDivisionCountIsRoundedAndKeptInRange) {
  const std::pair<double, size_t> cases[] = {{4, 3},   {1, 1},    {0, 1},    {-1e308, 1},
                                             {2.5, 1}, {3.5, 3},  {999.5, 999}, {5000, 999},
                                             {1e308, 999}, {1000.4, 999}};
  for (const auto& [p, points] : cases) {
    Tool t;
    AddLine(t.g(), 0, 0, 100, 0);
    EXPECT_EQ(Points(t.Run(5, p)).size(), points) << p;
  }
  Tool t;
  AddLine(t.g(), 0, 0, 100, 0);
  EXPECT_EQ(Points(t.Run(5, 4)),
            (std::vector<std::pair<double, double>>{{25, 0}, {50, 0}, {75, 0}}));
}

TEST(RunModes, LineDivisionFollowsTheLineFromItsFirstEnd) {
  Tool t;
  AddLine(t.g(), 10, 10, 10, -20);
  ExpectPoints(t.Run(5, 3), {{10, 0}, {10, -10}});
  AddLine(t.g(), 5, 5, 5, 5);  // no length: every point on the start point
  ExpectPoints(t.Run(5, 3), {{5, 5}, {5, 5}});
  t.g().EntLineN = 0;
  EXPECT_TRUE(Points(t.Run(5, 3)).empty());
}

TEST(RunModes, CircleAndArcDivision) {
  Tool t;
  t.g().EntCircN = 1;
  t.g().EntCirc.resize(1000);
  t.g().EntCirc[0] = TJwwEntCircle{{}, 0, 0, 10};
  ExpectPoints(t.Run(6, 4), {{10, 0}, {0, 10}, {-10, 0}, {0, -10}});

  t.g().EntCircN = 0;
  const double r = 10;
  auto at = [r](double deg) {
    const double a = deg * std::numbers::pi / 180;
    return std::pair<double, double>{r * std::cos(a), r * std::sin(a)};
  };
  AddArc(t.g(), 0, 90);
  ExpectPoints(t.Run(6, 4), {at(22.5), at(45), at(67.5)});
  AddArc(t.g(), 350, 10);
  ExpectPoints(t.Run(6, 4), {at(355), at(0), at(5)});
  for (double ea : {360.0, -360.0, 0.0, 720.0}) {
    AddArc(t.g(), 0, ea);  // a closed figure: n points, the last at angle 0
    ExpectPoints(t.Run(6, 4), {at(90), at(180), at(270), at(0)});
  }
  AddArc(t.g(), -1.7e308, 1.7e308);  // a span too large for a double: no hang
  t.Run(6, 4);
}

TEST(RunModes, TiltedFlatArc) {
  Tool t;
  t.g().EntArcN = 1;
  t.g().EntArc.resize(1000);
  t.g().EntArc[0] = TJwwEntArc{{}, 100, 200, 10, 0, 180, 0.5, 90};
  // Half an ellipse with semi-axes 10 and 5, turned a quarter: its middle
  // point (0, 5) turns to (-5, 0).
  ExpectPoints(t.Run(6, 2), {{95, 200}});
}

TEST(RunModes, CircleFirstThenArcAndOnlyTheFirstOfEach) {
  Tool t;
  t.g().EntCircN = 2;
  t.g().EntCirc.resize(1000);
  t.g().EntCirc[0] = TJwwEntCircle{{}, 0, 0, 1};
  t.g().EntCirc[1] = TJwwEntCircle{{}, 50, 50, 1};
  AddArc(t.g(), 0, 180);
  ExpectPoints(t.Run(6, 2), {{1, 0}, {-1, 0}, {0, 10}});
}

TEST(RunModes, LayerGroupAndLayerAreRestoredAfterDrawing) {
  Tool t;
  t.g().CurLGrp = 5;
  t.g().CurLay = 7;
  t.g().CurCol = 3;
  F::Settings(t.form, 3, 16, 12, 0, 0, 1);
  t.g().IPoints[1] = {true, 1, 2, 0};
  EXPECT_EQ(t.Run(1),
            (Lines{u"lg2", u"lyF", u"lc103", u"pn103", u"lt1", u"pt 1 2", u"lg5", u"ly7"}));
  F::Settings(t.form, 0, 0, 0, 0, 0, 1);
  EXPECT_EQ(t.Run(1), (Lines{u"lg5", u"ly7", u"lc3", u"pn3", u"lt1", u"pt 1 2"}));
  t.g().Zusun = true;
  t.g().WidF = true;
  t.g().CurWid = 2;
  EXPECT_EQ(t.Run(1), (Lines{u"bz", u"lg5", u"ly7", u"lc3", u"pn3", u"lt1", u"lw2", u"pt 1 2"}));
}

TEST(RunModes, StoredSettingsOfAnyValueWrapWithoutOverflow) {
  Tool t;
  F::Settings(t.form, INT32_MIN, INT32_MIN, 0, 1, INT32_MAX, 2);
  const Lines out = t.Run(1);
  EXPECT_EQ(out.front(), u"lg7FFFFFFF");
  EXPECT_EQ(out[1], u"ly7FFFFFFF");
  EXPECT_EQ(out[5], u"pt 0 0 2 0 -3");  // marker code out of range
  F::Settings(t.form, 0, 0, 0, 1, -1, 0);
  EXPECT_EQ(t.Run(1)[5], u"pt 0 0 1 0 0");
}

TEST(CommandLine, TypedValuesAsAJapaneseInputMethodSendsThem) {
  // The arguments after the run mode, and the numbers mode 3 takes from them.
  // The command processor splits only at ASCII blanks, so a pair typed with
  // an ideographic space arrives as one argument.
  struct Case {
    std::vector<std::u16string> args;
    double x, y;
  };
  const Case cases[] = {
      {{u"2000", u"1000"}, 2000, 1000},
      {{u"２０００", u"１０００"}, 2000, 1000},
      {{u"２０００　１０００"}, 2000, 1000},
      {{u"2000　1000"}, 2000, 1000},
      {{u"　－１２．５　", u"＋３Ｅ２"}, -12.5, 300},
      {{u"1.5\t-2"}, 1.5, -2},
      {{u"", u"5"}, 0, 5},                 // an empty x keeps its place
      {{u"2,5", u"abc"}, 2, 5},            // a comma parts two values
      {{u"２０００、１０００"}, 2000, 1000},    // as the comma key types it
      {{u"１，０００", u"1"}, 1, 0},         // even where it was meant for thousands
      {{u"abc", u"1"}, 0, 1},
      {{u"0x10", u"$10"}, 0, 0},           // hexadecimal is no typed number
      {{u"２０００　１０００　３"}, 2000, 1000},
  };
  for (const auto& c : cases) {
    std::vector<std::u16string> args = {u"3"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    kxtest::TempDir run;
    TFormWindow window;
    TForm1 form(window, args, kxtest::U16(run / "kx29"));
    form.FormShow();
    const std::string out = kxtest::ReadBytes(run / "JWC_TEMP.TXT");
    const std::string want =
        "pt " + platform::TextToUtf8(FloatStr(c.x)) + " " + platform::TextToUtf8(FloatStr(c.y));
    EXPECT_NE(out.find(want + "\r\n"), std::string::npos)
        << platform::TextToUtf8(c.args[0]) << "\n" << out;
  }
}

TEST(CommandLine, RunModeOnlyForOneToThirteen) {
  const std::pair<std::vector<std::u16string>, int32_t> cases[] = {
      {{}, 0},       {{u"14"}, 0}, {{u"13"}, 13}, {{u"0"}, 0}, {{u"-1"}, 0}, {{u"x"}, 0},
      {{u"1 "}, 0},  {{u"$6"}, 6}, {{u" 3", u"1", u"2"}, 3}};
  for (const auto& [args, mode] : cases) {
    kxtest::TempDir dir;
    TFormWindow window;
    TForm1 form(window, args, kxtest::U16(dir / "kx29"));
    form.FormShow();
    EXPECT_EQ(F::Mode(form), mode);
    EXPECT_EQ(window.Minimised(), mode != 0);
    EXPECT_EQ(window.Closed(), mode != 0);
    form.FormClose();
    EXPECT_EQ(fs::exists(dir / "kx29.dat"), mode != 0);
    EXPECT_EQ(fs::exists(dir / "JWC_TEMP.TXT"), mode != 0);
  }
}

TEST(SettingsFile, ReadAsWrittenAndDefaultsForWhatIsMissing) {
  struct Case {
    std::string bytes;
    std::vector<double> want;  // Fmx Fmy lgrp lay col ten typ bai
  };
  const Case cases[] = {
      {"", {50, 50, 0, 0, 0, 0, 0, 1}},
      {"100\r\n200\r\n5\r\n", {100, 200, 5, 0, 0, 0, 0, 1}},
      {"\xEF\xBB\xBF" "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n0.25\r\n9\r\n10\r\n",
       {1, 2, 3, 4, 5, 6, 7, 0.25}},
      {"1\n2\r3\r\n\r\nword\r\n 6\r\n7 \r\n\r\n", {1, 2, 3, 0, 0, 6, 0, 0}},
      {"$10\r\n-20\r\n", {16, -20, 0, 0, 0, 0, 0, 1}},
      {std::string("\xFF\xFE" "9\0\r\0\n\0" "8\0", 10), {9, 8, 0, 0, 0, 0, 0, 1}},
      {std::string("\xFE\xFF\0" "9\0\r\0\n\0" "8", 10), {9, 8, 0, 0, 0, 0, 0, 1}},
  };
  for (const auto& c : cases) {
    kxtest::TempDir dir;
    if (!c.bytes.empty()) kxtest::WriteBytes(dir / "kx29.dat", c.bytes);
    TFormWindow window;
    TForm1 form(window, {}, kxtest::U16(dir / "kx29"));
    form.FormShow();
    EXPECT_EQ(F::Stored(form), c.want) << c.bytes;
    EXPECT_EQ(window.Left(), c.want[0]);
    EXPECT_EQ(window.Top(), c.want[1]);
    form.FormClose();
  }
}

TEST(SettingsFile, EveryRunModeWritesItBackExactly) {
  kxtest::TempDir dir;
  // The extension of the program gives way to ".dat".
  kxtest::WriteBytes(dir / "kx29.dat", "-7\r\n200\r\n3\r\n4\r\n12\r\n1\r\n6\r\n1E-10\r\n");
  TFormWindow window;
  TForm1 form(window, {u"2"}, kxtest::U16(dir / "kx29.exe"));
  form.FormShow();
  form.FormClose();
  EXPECT_EQ(kxtest::ReadBytes(dir / "kx29.dat"),
            "\xEF\xBB\xBF-7\r\n200\r\n3\r\n4\r\n12\r\n1\r\n6\r\n1E-10\r\n");
}

TEST(SettingsFile, AFileThatAlreadyHoldsTheBytesIsLeftAsItIs) {
  kxtest::TempDir dir;
  const std::string saved = "\xEF\xBB\xBF" "50\r\n50\r\n0\r\n0\r\n0\r\n0\r\n0\r\n1\r\n";
  const auto old = fs::file_time_type::clock::now() - std::chrono::hours(24);
  for (const std::string& before : {saved, std::string("50\r\n50\r\n")}) {
    kxtest::WriteBytes(dir / "kx29.dat", before);
    fs::last_write_time(dir / "kx29.dat", old);
    TFormWindow window;
    TForm1 form(window, {u"1"}, kxtest::U16(dir / "kx29"));
    form.FormShow();
    form.FormClose();
    EXPECT_EQ(kxtest::ReadBytes(dir / "kx29.dat"), saved);
    EXPECT_EQ(fs::last_write_time(dir / "kx29.dat") == old, before == saved);
  }
}

TEST(SettingsFile, FailedSaveKeepsNothingHalfWritten) {
  kxtest::TempDir dir;
  fs::create_directory(dir / "kx29.dat");  // a folder where the file should go
  TFormWindow window;
  TForm1 form(window, {u"1"}, kxtest::U16(dir / "kx29"));
  form.FormShow();
  form.FormClose();
  EXPECT_TRUE(fs::is_directory(dir / "kx29.dat"));
  EXPECT_EQ(kxtest::ReadBytes(dir / "JWC_TEMP.TXT"),
            "lg0\r\nly0\r\nlc1\r\npn1\r\nlt1\r\npt 0 0\r\n");
}

}  // namespace
