// Values as the draughtsperson types them, and what a run says when it draws
// nothing or fewer points than asked.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "app/Messages.h"
#include "jwwgaibu/PointTools.h"
#include "app/TypedValue.h"
#include "app/Unit1.h"
#include "platform/Platform.h"
#include "tests/TestUtil.h"

namespace fs = std::filesystem;
using Words = std::vector<std::u16string>;

namespace {

std::string U8(std::u16string_view s) { return platform::TextToUtf8(s); }

TEST(TypedValues, SplitAtBlanksAndCommasOfEitherWidth) {
  const std::pair<Words, Words> cases[] = {
      {{u"２０００、１０００"}, {u"2000", u"1000"}},
      {{u"２０００，１０００"}, {u"2000", u"1000"}},
      {{u"2000,1000"}, {u"2000", u"1000"}},
      {{u"2000､1000"}, {u"2000", u"1000"}},
      {{u"２０００　１０００"}, {u"2000", u"1000"}},
      {{u"2000 、 1000"}, {u"2000", u"1000"}},       // a blank beside the comma
      {{u"910両"}, {u"910両"}},                     // the word stays with its number
      {{u"910", u"両"}, {u"910", u"両"}},
      {{u"", u"5"}, {u"", u"5"}},                   // an empty value keeps its place
      {{u"、", u"5"}, {u"", u"5"}},
      {{u"　"}, {u""}},
      {{}, {}},
  };
  for (const auto& [args, want] : cases) {
    EXPECT_EQ(TypedWords(args), want) << (args.empty() ? "" : U8(args[0]));
  }
}

TEST(TypedValues, ANumberAndTheWordAfterIt) {
  struct Case {
    std::u16string typed;
    bool number;
    double value;
    std::u16string word;
  };
  const Case cases[] = {
      {u"５等分", true, 5, u"等分"},
      {u"910両", true, 910, u"両"},
      {u"910両端", true, 910, u"両端"},
      {u"300mm", true, 300, u"mm"},
      {u"－１２．５", true, -12.5, u""},
      {u"3E2", true, 300, u""},
      {u"5e", true, 5, u"e"},          // no digit after the E: a word
      {u".5", true, 0.5, u""},
      {u"両", false, 0, u"両"},          // a word alone
      {u"abc", false, 0, u"abc"},
      {u"1.2.3", false, 0, u""},        // more digits after the number: a mistake
      {u"5%", false, 0, u""},
      {u"2000-1000", false, 0, u""},
      {u"1e999", false, 0, u""},        // beyond a double
      {u"nan", false, 0, u"nan"},
      {u"0x10", false, 0, u""},
      {u"", false, 0, u""},
  };
  for (const auto& c : cases) {
    const TTyped t = ReadTyped(c.typed);
    EXPECT_EQ(t.number, c.number) << U8(c.typed);
    EXPECT_EQ(t.value, c.value) << U8(c.typed);
    if (c.number) {
      EXPECT_EQ(t.word, c.word) << U8(c.typed);
    }
    EXPECT_EQ(t.Unreadable(), !c.number && !c.typed.empty()) << U8(c.typed);
  }
}

// What each run mode takes from what was typed, and what it says about it.
TEST(TypedValues, WhatEachRunModeTakes) {
  const double nan = std::nan("");
  struct Case {
    int32_t mode;
    Words args;
    double p, q;  // p NaN: nothing is drawn
    std::u16string notice;
  };
  const Case cases[] = {
      {3, {u"２０００、１０００"}, 2000, 1000, u""},
      {3, {u"2000mm", u"1000mm"}, 2000, 1000, u""},
      {3, {u"2000"}, 2000, 0, u""},                             // a missing y is 0
      {3, {u"abc", u"5"}, 0, 5, msg::With(msg::kXUnread, u"abc")},
      {3, {u"5", u"1,5.5"}, 5, 1, u""},                        // the comma parts 1 and 5.5
      {5, {u"５等分"}, 5, 0, u""},
      {5, {}, 0, 0, u""},                                       // a missing count: two parts
      {5, {u"abc"}, 0, 0, msg::With(msg::kCountUnreadTwo, u"abc")},
      {6, {u"1e999"}, 0, 0, msg::With(msg::kCountUnreadTwo, u"1e999")},
      {6, {u"5000"}, 5000, 0, msg::kCountOver},
      {6, {u"1000.5"}, 1000.5, 0, u""},                         // rounds to 1000
      {7, {u"910両"}, 910, 1, u""},
      {7, {u"910", u"両"}, 910, 1, u""},
      {7, {u"９１０、両端"}, 910, 1, u""},
      {7, {u"910", u"2"}, 910, 1, u""},
      {7, {u"910", u"1"}, 910, 0, u""},
      {7, {u"300mm"}, 300, 0, u""},
      {7, {u"abc"}, nan, 0, msg::With(msg::kPitchUnread, u"abc")},
      {7, {}, nan, 0, msg::kPitchMissing},
      {7, {u"0"}, nan, 0, msg::With(msg::kPitchNotPositive, u"0")},
      {7, {u"-5"}, nan, 0, msg::With(msg::kPitchNotPositive, u"-5")},
      {7, {u"910", u"mm"}, nan, 0, msg::With(msg::kRestUnread, u"mm")},
      {8, {}, 0, 0, u""},
      {8, {u"端"}, 0, 1, u""},
      {8, {u"　端　"}, 0, 1, u""},
      {8, {u"両端"}, 0, 1, u""},
      {8, {u"1"}, nan, 0, msg::With(msg::kCrossingUnread, u"1")},
      {9, {}, 0, 0, u""},
      {9, {u"２"}, 2, 0, u""},
      {9, {u"abc"}, nan, 0, msg::With(msg::kWhatUnread, u"abc")},
      {10, {u"４等分"}, 4, 0, u""},
      {10, {}, 0, 0, u""},
      {10, {u"abc"}, nan, 0, msg::With(msg::kCountUnread, u"abc")},
  };
  for (const auto& c : cases) {
    const TRunValues v = RunValues(c.mode, TypedWords(c.args));
    const std::string what = std::to_string(c.mode) + " " + (c.args.empty() ? "" : U8(c.args[0]));
    if (std::isnan(c.p)) {
      EXPECT_TRUE(std::isnan(v.p)) << what;
    } else {
      EXPECT_EQ(v.p, c.p) << what;
      EXPECT_EQ(v.q, c.q) << what;
    }
    EXPECT_EQ(U8(v.notices.empty() ? u"" : v.notices[0]), U8(c.notice)) << what;
    EXPECT_LE(v.notices.size(), 1u) << what;
  }
}

// A whole run in a folder: the exchange file as the CAD program writes it,
// the arguments after the run mode. Gives the points written and what was
// said on standard error.
struct Outcome {
  size_t points = 0;
  std::string said;
  std::string notice;
};
Outcome RunIn(const std::string& exchange, std::vector<std::u16string> args) {
  kxtest::TempDir dir;
  kxtest::WriteBytes(dir / "JWC_TEMP.TXT", exchange);
  TFormWindow window;
  TForm1 form(window, std::move(args), kxtest::U16(dir / "kx29"));
  testing::internal::CaptureStderr();
  form.FormShow();
  Outcome r;
  r.said = testing::internal::GetCapturedStderr();
  r.notice = U8(form.Notice);
  form.FormClose();
  for (const std::string& line : kxtest::CrLfLines(kxtest::ReadBytes(dir / "JWC_TEMP.TXT"))) {
    r.points += line.starts_with("pt ");
  }
  return r;
}

TEST(Notices, ARunSaysWhenItDrawsLessThanAsked) {
  const std::string grid = "0 0 1000 0\r\n0 0 0 1000\r\n";
  const std::string line = "0 0 1000 0\r\n";
  const std::string circle = "ci 0 0 100\r\n";
  const std::string apart = "0 0 100 0\r\n0 10 100 10\r\n";
  struct Case {
    const char* name;
    std::string exchange;
    std::vector<std::u16string> args;
    size_t points;
    std::u16string notice;
  };
  const Case cases[] = {
      {"mode 2 without indicated points", line, {u"2"}, 0, msg::kNoIndicatedPoint},
      {"mode 3 with an unreadable x", line, {u"3", u"abc", u"5"}, 1, msg::With(msg::kXUnread, u"abc")},
      {"mode 5 without a line", circle, {u"5", u"4"}, 0, msg::kNoLine},
      {"mode 5 with an unreadable count", line, {u"5", u"abc"}, 1,
       msg::With(msg::kCountUnreadTwo, u"abc")},
      {"mode 5 beyond 1000 parts", line, {u"5", u"5000"}, 999, msg::kCountOver},
      {"mode 6 without a circle or arc", line, {u"6", u"4"}, 0, msg::kNoCircleOrArc},
      {"mode 7 with an unreadable pitch", line, {u"7", u"abc"}, 0, msg::With(msg::kPitchUnread, u"abc")},
      {"mode 7 without a figure", "hp1 0 0\r\n", {u"7", u"100"}, 0, msg::kNoFigure},
      {"mode 7 on a line without length", "5 5 5 5\r\n", {u"7", u"100"}, 0, msg::kNoPoint},
      {"mode 7 beyond the cap", line, {u"7", u"0.001"}, kMaxPoints, msg::kCapped},
      {"mode 8 without crossings", apart, {u"8"}, 0, msg::kNoCrossing},
      {"mode 8 with an unknown word", grid, {u"8", u"abc"}, 0, msg::With(msg::kCrossingUnread, u"abc")},
      {"mode 9 with an unreadable value", grid, {u"9", u"abc"}, 0, msg::With(msg::kWhatUnread, u"abc")},
      {"mode 9, end points of a circle", circle, {u"9", u"1"}, 0, msg::kNoPoint},
      {"mode 10 with an unreadable count", grid, {u"10", u"abc"}, 0, msg::With(msg::kCountUnread, u"abc")},
      {"mode 10 without a figure", "", {u"10", u"4"}, 0, msg::kNoFigure},
      {"mode 11 with one line", line, {u"11"}, 0, msg::kNoTwoLines},
      {"mode 11 on parallel lines", apart, {u"11"}, 0, msg::kAllParallel},
      {"mode 11 beyond the cap", "", {u"11"}, kMaxPoints, msg::kCapped},  // lines below
      {"mode 12 without a distance", "hp1 0 0\r\n" + line, {u"12"}, 0, msg::kDistanceMissing},
      {"mode 12 with an unreadable distance", "hp1 0 0\r\n" + line, {u"12", u"100", u"abc"}, 0,
       msg::With(msg::kDistanceUnread, u"abc")},
      {"mode 12 without a figure", "hp1 0 0\r\n", {u"12", u"100"}, 0, msg::kNoFigure},
      {"mode 12 both ways from a point off the figure", "hp1 500 5\r\n" + line, {u"12", u"100両"}, 2,
       msg::kNotOnFigure},
      {"mode 13 without a value", "hp1 0 0\r\n" + line, {u"13"}, 0, msg::kLayoutMissing},
      {"mode 13 with an unknown word", "hp1 0 0\r\n" + line, {u"13", u"300", u"abc"}, 0,
       msg::With(msg::kLayoutUnread, u"abc")},
      {"mode 13 with no parts", "hp1 0 0\r\nhp2 9 0\r\n" + line, {u"13", u"0等分"}, 0,
       msg::With(msg::kPartsNotPositive, u"0等分")},
      {"mode 13 with a pitch of 0", "hp1 0 0\r\n" + line, {u"13", u"0"}, 0,
       msg::With(msg::kPitchNotPositive, u"0")},
      {"mode 13 without indicated points", line, {u"13", u"300"}, 0, msg::kNoIndicatedPoint},
      {"mode 13, parts without point 2", "hp1 0 0\r\n" + line, {u"13", u"5等分"}, 0, msg::kNoSecondPoint},
      {"mode 13 without a figure", "hp1 0 0\r\n", {u"13", u"300"}, 0, msg::kNoFigure},
      {"mode 13 beyond the cap", "hp1 0 0\r\n" + line, {u"13", u"0.001"}, kMaxPoints, msg::kCapped},
      // Nothing to say.
      {"mode 11 as asked", grid, {u"11"}, 1, u""},
      {"mode 12 as asked", "hp1 0 0\r\n" + line, {u"12", u"100、２００", u"-5"}, 3, u""},
      {"mode 13 as asked", "hp1 0 0\r\nhp2 1000 0\r\n" + line, {u"13", u"４等分"}, 5, u""},
      {"mode 7 as asked", line, {u"7", u"300"}, 5, u""},
      {"mode 8 as asked", grid, {u"8"}, 1, u""},
      {"mode 8 with the ends of overlaps", grid, {u"8", u"端"}, 1, u""},
      {"mode 10 as asked", grid, {u"10", u"４等分"}, 6, u""},
      {"mode 1 without an indicated point: the origin", "", {u"1"}, 1, u""},
  };
  // 460 lines of different slopes: more than 100,000 crossings.
  std::string many;
  for (int k = 0; k < 460; ++k) {
    many += "0 " + std::to_string(k * 7 % 1009) + " 1000 " + std::to_string(k * k % 997) + "\r\n";
  }
  for (auto c : cases) {
    if (c.exchange.empty() && c.args[0] == u"11") c.exchange = many;
    const Outcome r = RunIn(c.exchange, c.args);
    EXPECT_EQ(r.points, c.points) << c.name;
    EXPECT_EQ(r.notice, U8(c.notice)) << c.name;
    EXPECT_EQ(r.said, c.notice.empty() ? "" : U8(c.notice) + "\n") << c.name;
  }
}

// A folder where the exchange file should be: nothing can replace it, and
// the run says so rather than end as if it had drawn.
TEST(Notices, AnExchangeFileThatCannotBeWrittenIsSaid) {
  kxtest::TempDir dir;
  std::filesystem::create_directories(dir / "JWC_TEMP.TXT" / "inside");
  TFormWindow window;
  TForm1 form(window, {u"1"}, kxtest::U16(dir / "kx29"));
  testing::internal::CaptureStderr();
  form.FormShow();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), U8(msg::kNotSaved) + "\n");
  form.FormClose();
  EXPECT_TRUE(std::filesystem::is_directory(dir / "JWC_TEMP.TXT" / "inside"));
}

// Modes 12 and 13 take more than p and q: distances, and the words 両, 等分, 連.
TEST(TypedValues, DistancesAndLayouts) {
  struct Case {
    Words args;
    std::vector<double> distances;
    bool both;
  };
  const Case along[] = {
      {{u"300", u"-1200"}, {300, -1200}, false},
      {{u"３００、－１２００　５００ｍｍ"}, {300, -1200, 500}, false},
      {{u"300mm"}, {300}, false},
      {{u"300両"}, {300}, true},
      {{u"300", u"両"}, {300}, true},
      {{u"両", u"0"}, {0}, true},
  };
  for (const auto& c : along) {
    const TRunValues v = RunValues(12, TypedWords(c.args));
    EXPECT_EQ(v.distances, c.distances) << U8(c.args[0]);
    EXPECT_EQ(v.both, c.both) << U8(c.args[0]);
    EXPECT_TRUE(v.notices.empty()) << U8(c.args[0]);
  }
  struct Layout {
    Words args;
    double p;
    bool parts, run;
  };
  const Layout layouts[] = {
      {{u"910"}, 910, false, false},
      {{u"910連"}, 910, false, true},
      {{u"９１０　連続"}, 910, false, true},
      {{u"５等分"}, 5, true, false},
      {{u"5", u"等分", u"連"}, 5, true, true},
      {{u"５等分連"}, 5, true, true},
      {{u"4.6等分"}, 5, true, false},
      {{u"5000等分"}, 1000, true, false},
  };
  for (const auto& c : layouts) {
    const TRunValues v = RunValues(13, TypedWords(c.args));
    EXPECT_EQ(v.p, c.p) << U8(c.args[0]);
    EXPECT_EQ(v.parts, c.parts) << U8(c.args[0]);
    EXPECT_EQ(v.run, c.run) << U8(c.args[0]);
  }
  // Two numbers are one too many: nothing is drawn rather than guess.
  EXPECT_TRUE(std::isnan(RunValues(13, TypedWords({u"910", u"455"})).p));
  EXPECT_TRUE(std::isnan(RunValues(12, TypedWords({u"1.2.3"})).p));
}

TEST(Notices, EveryThingSaidIsOneLineAndTheirLinesFollowEachOther) {
  const Outcome r = RunIn("", {u"3", u"abc", u"x"});
  EXPECT_EQ(r.said, U8(msg::With(msg::kXUnread, u"abc")) + "\n" + U8(msg::With(msg::kYUnread, u"x")) + "\n");
  for (const char16_t* text : msg::kAll) {
    EXPECT_EQ(std::u16string_view(text).find(u'\n'), std::u16string_view::npos) << U8(text);
  }
}

// The guide lists every message, with "…" for the value typed.
TEST(Notices, TheGuideListsEveryMessage) {
  const std::string guide = kxtest::ReadBytes(fs::path(KX29_TEST_DATA) / ".." / "README.ja.md");
  ASSERT_FALSE(guide.empty());
  for (const char16_t* text : msg::kAll) {
    const std::string listed = U8(msg::With(text, u"…"));
    EXPECT_NE(guide.find(listed), std::string::npos) << "not in README.ja.md: " << listed;
  }
}

}  // namespace
