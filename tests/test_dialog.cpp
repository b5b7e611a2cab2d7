// The settings dialog: what the form puts into its controls from the stored
// settings, what OK takes from them into the settings file, that Cancel
// takes nothing; and the text form that stands in for the window on systems
// without one.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "app/TextDialog.h"
#include "app/Unit1.h"
#include "tests/TestUtil.h"

namespace {

using kxtest::ReadBytes;

const std::string kBom = "\xEF\xBB\xBF";

// The settings file for the given values, as the tool writes it.
std::string Settings(const std::string& lgrp, const std::string& lay, const std::string& col,
                     const std::string& ten, const std::string& typ, const std::string& bai,
                     const std::string& x = "50", const std::string& y = "50") {
  std::string s = kBom;
  for (const auto& v : {x, y, lgrp, lay, col, ten, typ, bai}) s += v + "\r\n";
  return s;
}

// The tool started without a run mode in a folder of its own, with the
// given settings file (none when empty): the dialog filled and waiting.
struct Dialog {
  kxtest::TempDir dir;
  TFormWindow window;
  std::unique_ptr<TForm1> form;

  explicit Dialog(const std::string& dat = "", std::vector<std::u16string> args = {}) {
    if (!dat.empty()) kxtest::WriteBytes(dir / "kx29.dat", dat);
    form = std::make_unique<TForm1>(window, std::move(args), kxtest::U16(dir / "kx29"));
    form->FormShow();
  }
  TForm1& f() { return *form; }
  // Closes the form as the window does and gives the settings file ("" when
  // there is none).
  std::string Closed() {
    form->FormClose();
    return std::filesystem::exists(dir / "kx29.dat") ? ReadBytes(dir / "kx29.dat") : "";
  }
};

TEST(Dialog, FilledWithTheListsAndTheDefaultSettings) {
  for (auto args : {std::vector<std::u16string>{}, {u"14"}, {u"0"}, {u"-1"}, {u"x"}}) {
    Dialog d("", args);
    TForm1& f = d.f();
    EXPECT_FALSE(d.window.Minimised());
    EXPECT_FALSE(d.window.Closed());

    ASSERT_EQ(f.CB1.Items.size(), 17u);
    EXPECT_EQ(f.CB1.Items[0], u"現在ﾚｲﾔｸﾞﾙｰﾌﾟ");
    EXPECT_EQ(f.CB1.Items[1], u"ﾚｲﾔｸﾞﾙｰﾌﾟ[0]");
    EXPECT_EQ(f.CB1.Items[11], u"ﾚｲﾔｸﾞﾙｰﾌﾟ[A]");
    EXPECT_EQ(f.CB1.Items[16], u"ﾚｲﾔｸﾞﾙｰﾌﾟ[F]");
    ASSERT_EQ(f.CB2.Items.size(), 17u);
    EXPECT_EQ(f.CB2.Items[0], u"現在レイヤ");
    EXPECT_EQ(f.CB2.Items[1], u"レイヤ(0)");
    EXPECT_EQ(f.CB2.Items[16], u"レイヤ(F)");
    ASSERT_EQ(f.CB3.Items.size(), 266u);
    EXPECT_EQ(f.CB3.Items[0], u"現在線色");
    EXPECT_EQ(f.CB3.Items[1], u"線色1");
    EXPECT_EQ(f.CB3.Items[9], u"線色9");
    EXPECT_EQ(f.CB3.Items[10], u"SXF-1");
    EXPECT_EQ(f.CB3.Items[265], u"SXF-256");
    EXPECT_EQ(f.CB4.Items,
              (std::vector<std::u16string>{u"＊", u"○", u"・", u"＋", u"□", u"△", u"×"}));

    EXPECT_EQ(f.CB1.ItemIndex, 0);
    EXPECT_EQ(f.CB2.ItemIndex, 0);
    EXPECT_EQ(f.CB3.ItemIndex, 0);
    EXPECT_EQ(f.CB4.ItemIndex, 0);
    EXPECT_TRUE(f.RB1.Checked);
    EXPECT_FALSE(f.RB2.Checked);
    EXPECT_EQ(f.Edit1.Text, u"1");
    EXPECT_EQ(f.Edit1.MaxLength, 16);
    EXPECT_EQ(f.LabelM.Caption, u"");
  }
}

TEST(Dialog, TheFormsTexts) {
  Dialog d;
  TForm1& f = d.f();
  EXPECT_EQ(f.Button1.Caption, u"ＯＫ (&Y)");
  EXPECT_EQ(f.Button2.Caption, u"キャンセル (&N)");
  EXPECT_EQ(f.Label3.Caption, u"線　色");
  EXPECT_EQ(f.RB1.Caption, u"点");
  EXPECT_EQ(f.RB2.Caption, u"点マーカー");
  ASSERT_EQ(f.Memo1.Lines.size(), 9u);
  EXPECT_EQ(f.Memo1.Lines[0], u"◆ブロック図形内のもの");
  EXPECT_EQ(f.Memo1.Lines[5], u"　Jw_cadのインストール・");
  for (size_t i = 1; i < 9; ++i) EXPECT_EQ(f.Memo1.Lines[i][0], u'\u3000') << i;
}

TEST(Dialog, ShowsTheStoredSettings) {
  struct Case {
    std::string lgrp, lay, col, ten, typ, bai;
    int32_t cb1, cb2, cb3, cb4;
    bool marker;
    std::u16string scale;
  };
  const Case cases[] = {
      {"16", "1", "9", "1", "6", "0.5", 16, 1, 9, 6, true, u"0.5"},         // last group, layer 0
      {"11", "16", "265", "0", "3", "2", 11, 16, 265, 3, false, u"2"},      // the last colour
      {"0", "0", "10", "2", "0", "1E-5", 0, 0, 10, 0, false, u"1E-5"},      // ten 2 is a point
      {"17", "-1", "266", "-1", "9", "1E-10", -1, -1, -1, -1, false, u"1E-10"},  // outside
      {"$10", "x", "", "1", "7", "", 16, 0, 0, -1, true, u"0"},  // as the settings file reads them
  };
  for (const auto& c : cases) {
    Dialog d(Settings(c.lgrp, c.lay, c.col, c.ten, c.typ, c.bai));
    TForm1& f = d.f();
    SCOPED_TRACE(c.lgrp + " " + c.lay + " " + c.col + " " + c.ten + " " + c.typ + " " + c.bai);
    EXPECT_EQ(f.CB1.ItemIndex, c.cb1);
    EXPECT_EQ(f.CB2.ItemIndex, c.cb2);
    EXPECT_EQ(f.CB3.ItemIndex, c.cb3);
    EXPECT_EQ(f.CB4.ItemIndex, c.cb4);
    EXPECT_EQ(f.RB2.Checked, c.marker);
    EXPECT_EQ(f.RB1.Checked, !c.marker);
    EXPECT_EQ(f.Edit1.Text, c.scale);
  }
}

TEST(Dialog, OkStoresThePicks) {
  Dialog d(Settings("0", "0", "0", "0", "0", "1", "120", "-40"));
  TForm1& f = d.f();
  f.CB1.Select(11);
  f.CB2.Select(2);
  f.CB3.Select(265);
  f.RB1.Checked = false;
  f.RB2.Checked = true;
  f.CB4.Select(6);
  f.Edit1.Text = u"2.5";
  f.Button1Click();
  EXPECT_TRUE(d.window.Closed());
  // The window keeps the position it was given, so that goes back unchanged.
  EXPECT_EQ(d.Closed(), Settings("11", "2", "265", "1", "6", "2.5", "120", "-40"));
}

TEST(Dialog, OkWithNothingPickedStoresMinusOne) {
  Dialog d(Settings("40", "0", "300", "2", "9", "1"));
  d.f().Button1Click();
  EXPECT_EQ(d.Closed(), Settings("-1", "0", "-1", "0", "-1", "1"));
}

TEST(Dialog, OkReadsTheScale) {
  // A scale that is no number, or not above the marker command's tolerance,
  // becomes the smallest scale it keeps, 1E-10. What a Japanese input method
  // types (full-width digits and point, blanks around) is the number it shows.
  const std::pair<std::u16string, std::string> cases[] = {
      {u"2", "2"},         {u" 2", "2"},       {u"1e2", "100"},      {u".5", "0.5"},
      {u"5.", "5"},        {u"1E-10", "1E-10"}, {u"2 ", "2"},        {u"2,5", "1E-10"},
      {u"abc", "1E-10"},   {u"", "1E-10"},     {u"-1", "1E-10"},     {u"0", "1E-10"},
      {u"1E-11", "1E-10"}, {u"1e999", "1E-10"}, {u"１", "1"},        {u"123456789012345", "123456789012345"},
      {u"２", "2"},        {u"１．５", "1.5"}, {u"　２　", "2"},     {u"0。5", "0.5"},
      {u"－１", "1E-10"},  {u"１，５", "1E-10"}, {u"２ ５", "1E-10"}, {u"　", "1E-10"},
  };
  for (const auto& [text, stored] : cases) {
    Dialog d;
    d.f().Edit1.Text = text;
    d.f().Button1Click();
    EXPECT_EQ(d.Closed(), Settings("0", "0", "0", "0", "0", stored))
        << kxtest::ReadBytes(d.dir / "kx29.dat");
  }
}

TEST(Dialog, CancelStoresNothing) {
  const std::string before = Settings("3", "4", "5", "1", "2", "0.5", "7", "8");
  Dialog d(before);
  TForm1& f = d.f();
  f.CB1.Select(1);
  f.CB2.Select(1);
  f.CB3.Select(1);
  f.RB1.Checked = true;
  f.RB2.Checked = false;
  f.CB4.Select(0);
  f.Edit1.Text = u"9";
  f.Button2Click();
  EXPECT_TRUE(d.window.Closed());
  EXPECT_EQ(d.Closed(), before);

  Dialog none;
  none.f().Button2Click();
  EXPECT_EQ(none.Closed(), "");  // no file is made
}

TEST(Dialog, ClosingWithoutOkOrCancelStoresNothing) {
  const std::string before = Settings("3", "4", "5", "1", "2", "0.5");
  Dialog d(before);
  d.f().Edit1.Text = u"9";
  EXPECT_EQ(d.Closed(), before);
}

// The text form, with its answers as input and the settings file it leaves.
std::string TextDialog(const std::string& input, const std::string& dat = "",
                       std::string* shown = nullptr) {
  Dialog d(dat);
  std::istringstream in(input);
  std::ostringstream out;
  RunTextDialog(d.f(), in, out);
  EXPECT_TRUE(d.window.Closed());
  if (shown != nullptr) *shown = out.str();
  return d.Closed();
}

TEST(TextDialog, AsksEachChoiceInTurnAndStoresThemOnYes) {
  std::string shown;
  EXPECT_EQ(TextDialog("11\n2\n5\n2\n2\n2.5\ny\n", "", &shown),
            Settings("11", "2", "5", "1", "2", "2.5"));
  for (const char* text : {"kx29－点の作図", "◆点／点マーカを作図する外部変形アプリケーションです◆",
                           "　場合があります。", "16 ﾚｲﾔｸﾞﾙｰﾌﾟ[F]", "265 SXF-256", "点マーカー", "倍率",
                           "ＯＫ (Y)", "キャンセル (N)"}) {
    EXPECT_NE(shown.find(text), std::string::npos) << text;
  }
}

TEST(TextDialog, EmptyAnswersKeepWhatIsShown) {
  const std::string dat = Settings("3", "4", "5", "1", "2", "0.5", "10", "20");
  EXPECT_EQ(TextDialog("\n\n\n\n\n\n\n", dat), dat);
  EXPECT_EQ(TextDialog("\r\n\r\n\r\n\r\n\r\n\r\n\r\n", dat), dat);  // typed on Windows
}

TEST(TextDialog, AsksAgainUntilAnAnswerFits) {
  // Not a number, beyond the list, a sign, a scale of 17 characters, then
  // answers that fit.
  EXPECT_EQ(TextDialog("x\n17\n-1\n16\n\n265\n3\n1\n\n12345678901234567\n0.25\nY\n"),
            Settings("16", "0", "265", "0", "0", "0.25"));
}

TEST(TextDialog, EndOfInputOrNoCancels) {
  const std::string dat = Settings("3", "4", "5", "1", "2", "0.5");
  EXPECT_EQ(TextDialog("", dat), dat);
  EXPECT_EQ(TextDialog("1\n1\n1\n", dat), dat);
  EXPECT_EQ(TextDialog("1\n1\n1\n1\n1\n7\nn\n", dat), dat);
  EXPECT_EQ(TextDialog("1\n1\n1\n1\n1\n7\n"), "");
}

}  // namespace
