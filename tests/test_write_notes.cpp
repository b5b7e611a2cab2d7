// The writer's notes: what a command or the save writes wrongly or cannot
// write, and calls in an order that writes a wrong file. Each case is the
// mistake, the lines it leaves and the notes it makes.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "jwwgaibu/JwwGaibu.h"
#include "platform/Platform.h"
#include "tests/TestUtil.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

std::vector<std::string> Lines(const TJGdata& g) {
  std::vector<std::string> out;
  for (int32_t k = 0; k < g.t_MemN && k < static_cast<int32_t>(g.t_Mem.size()); ++k) {
    out.push_back(platform::TextToUtf8(g.t_Mem[static_cast<size_t>(k)]));
  }
  return out;
}

struct Want {
  TJwwNote what;
  std::u16string call;
  double value;
};

struct Case {
  const char* name;
  std::function<void(TJGdata&)> run;
  std::vector<std::string> lines;  // what the commands leave in t_Mem
  std::vector<Want> notes;
};

void ExpectNotes(const std::vector<TJwwWriteNote>& notes, const std::vector<Want>& want) {
  ASSERT_EQ(notes.size(), want.size());
  for (size_t k = 0; k < notes.size(); ++k) {
    EXPECT_EQ(notes[k].what, want[k].what) << k;
    EXPECT_EQ(notes[k].call, want[k].call) << k;
    const double v = notes[k].value, w = want[k].value;
    EXPECT_TRUE(v == w || (std::isnan(v) && std::isnan(w))) << k << ": " << v << " " << w;
  }
}

// The commands of a case with no file read: the lines and the notes; and the
// same commands without notes write the same lines.
void RunCase(const Case& c) {
  SCOPED_TRACE(c.name);
  TJGdata g;
  std::vector<TJwwWriteNote> notes;
  g.WriteNotes = &notes;
  g.S_Init();
  c.run(g);
  EXPECT_EQ(Lines(g), c.lines);
  ExpectNotes(notes, c.notes);
  TJGdata quiet;
  quiet.S_Init();
  c.run(quiet);
  EXPECT_EQ(Lines(quiet), c.lines);
}

TEST(WriteNotes, EachMistakeWithItsNote) {
  const Case cases[] = {
      {"a coordinate not finite: no line", [](TJGdata& g) { g.S_Line(0, 0, kNaN, 1); }, {},
       {{jnNotFinite, u"S_Line", kNaN}}},
      {"a free text size not finite: the kind in force stays",
       [](TJGdata& g) { g.S_Mjs(0, 1e-11, -kInf, 2, 5, jmCode), g.S_Mjs(0, 2, 2, 0, 5, jmCode); },
       {"cn0 2 2 0 5"}, {{jnNotFinite, u"S_Mjs", -kInf}}},
      {"an infinite radius: no circle", [](TJGdata& g) { g.S_Circle(0, 0, kInf); }, {},
       {{jnNotFinite, u"S_Circle", kInf}}},
      {"a point and a marker", [](TJGdata& g) { g.S_Ten(kInf, 0), g.S_Mark(0, 0, 1, kNaN, -1); },
       {}, {{jnNotFinite, u"S_Ten", kInf}, {jnNotFinite, u"S_Mark", kNaN}}},
      {"a dimension whose length overflows shows no INF",
       [](TJGdata& g) { g.S_Dim(-1e308, 0, 1e308, 0, 0, 0, 1, 0, u""); }, {},
       {{jnNotFinite, u"S_Dim", kInf}}},
      {"a moved line beyond the largest double",
       [](TJGdata& g) {
         g.A_Line(1e308, 0, 1.7e308, 0);
         ASSERT_TRUE(g.Transform(TJwwTransform::Move(1e308, 0)));
         g.S_EntAll();
       },
       {"lg0", "ly0", "lc1", "lt1"}, {{jnNotFinite, u"S_Line", kInf}}},
      {"a layer group and a layer outside 0-15, written as given",
       [](TJGdata& g) { g.S_LGrp(99), g.S_Lay(-1); }, {"lg63", "lyFFFFFFFF"},
       {{jnLayerRange, u"S_LGrp", 99}, {jnLayerRange, u"S_Lay", -1}}},
      {"a dialog colour whose code wraps", [](TJGdata& g) { g.S_PCol(INT_MAX, jmDialog); },
       {"pn-2147483558"}, {{jnCodeWraps, u"S_PCol", INT_MAX}}},
      {"a code given as a code does not wrap", [](TJGdata& g) { g.S_PCol(INT_MAX, jmCode); },
       {"pn2147483647"}, {}},
      {"CR, LF and a tab in a text",
       [](TJGdata& g) { g.S_Text(0, 0, 0, 1, 0, u"a\r\nb\tc"); }, {"ch 0 0 1 0 \"ab\tc"},
       {{jnDropped, u"S_Text", 3}}},
      {"a comment of four fields reads back as a line",
       [](TJGdata& g) { g.S_Comment(u"< h< h< h<"), g.S_Comment(u"a b"); },
       {"h#< h< h< h<", "h#a b"}, {{jnCommentAsLine, u"S_Comment", 4}}},
      {"the store written back twice",
       [](TJGdata& g) {
         g.A_Ten(1, 2);
         g.S_EntAll();
         g.S_EntAll();
       },
       {"lg0", "ly0", "pn1", "pt 1 2", "pt 1 2"},
       {{jnWrittenTwice, u"S_EntAll", 0}}},
      {"written back, moved, written back: two copies, as meant",
       [](TJGdata& g) {
         g.A_Ten(1, 2);
         g.S_EntAll();
         g.Transform(TJwwTransform::Move(10, 0));
         g.S_EntAllp();
       },
       {"lg0", "ly0", "pn1", "pt 1 2", "pt 11 2"}, {}},
  };
  for (const Case& c : cases) RunCase(c);
}

// The save's notes: characters the encoding cannot hold, a count out of step
// with the lines, a dimension cut apart.
TEST(WriteNotes, WhatTheSaveCannotWrite) {
  kxtest::TempDir d;
  const std::u16string file = kxtest::U16(d / "JWC_TEMP.TXT");
  struct SaveCase {
    const char* name;
    bool utf8;
    std::vector<std::u16string> lines;
    int32_t count;
    std::vector<Want> notes;
  };
  const SaveCase cases[] = {
      {"a euro sign in code page 932", false, {u"ch 0 0 1 0 \"a€b€"}, 1,
       {{jnNotEncodable, u"SaveTempFile", 2}}},
      {"Japanese in code page 932 is fine", false, {u"ch 0 0 1 0 \"髙橋"}, 1, {}},
      {"an unpaired surrogate in UTF-8", true, {u"ch 0 0 1 0 \"\xD800"}, 1,
       {{jnNotEncodable, u"SaveTempFile", 1}}},
      {"a count beyond the lines", false, {u"pt 0 0"}, 5000,
       {{jnOutOfStep, u"SaveTempFile", 5000}, {jnOutOfStep, u"SaveTempFile", 999}}},
      // t_MemN set back into a dimension: its line would be read without its text.
      {"a dimension cut before its text", false, {u"msg", u"0 0 3 4", u"cs 1 1 1 0 \"5"}, 2,
       {{jnDimBroken, u"SaveTempFile", 1}}},
      {"a dimension whose text a point took over", false,
       {u"lg0", u"msg", u"0 0 3 4", u"pt 1 1", u"msg", u"0 0 3 4", u"cs 1 1 1 0 \"5"}, 7,
       {{jnDimBroken, u"SaveTempFile", 2}}},
  };
  for (const SaveCase& c : cases) {
    SCOPED_TRACE(c.name);
    TJGdata g;
    std::vector<TJwwWriteNote> notes;
    g.WriteNotes = &notes;
    g.MojiCode = c.utf8;
    for (const auto& l : c.lines) g.SendMem(l);
    g.t_MemN = c.count;
    EXPECT_TRUE(g.SaveTempFile(file));
    ASSERT_EQ(notes.size(), c.notes.size());
    for (size_t k = 0; k < notes.size(); ++k) {
      EXPECT_EQ(notes[k].what, c.notes[k].what);
      EXPECT_EQ(notes[k].value, c.notes[k].value);
    }
  }
}

// Calling order: a command after reading without S_Init, and a second file
// read into one object.
TEST(WriteNotes, CallingOrder) {
  kxtest::TempDir d;
  const std::filesystem::path file = d / "JWC_TEMP.TXT";
  kxtest::WriteBytes(file, "hq\r\nlg3\r\nly2\r\nlc5\r\n0 0 1 1\r\n");
  TJGdata g;
  std::vector<TJwwWriteNote> notes;
  std::vector<TJwwReadNote> read;
  g.WriteNotes = &notes;
  g.ReadNotes = &read;
  ASSERT_TRUE(g.OpenTempFile(kxtest::U16(file)));
  g.S_Line(0, 0, 5, 5);  // the pen state is still the reader's: no lg, ly, lc
  g.S_Line(0, 0, 6, 6);
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_EQ(notes[0].what, jnNoInit);
  EXPECT_EQ(notes[0].line, 1);
  EXPECT_TRUE(read.empty());
  ASSERT_TRUE(g.OpenTempFile(kxtest::U16(file)));
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read[0].what, jnReadTwice);
  EXPECT_EQ(g.EntLineN, 2);  // the second file added to the store
  g.S_Init();
  g.S_Line(0, 0, 7, 7);
  EXPECT_EQ(notes.size(), 1u);  // after S_Init nothing more
}

}  // namespace

namespace {

// A drawing as the CAD program hands it over: layer group 1, layer 2, colour
// 3, one line of the selection.
constexpr const char* kSelection = "hq\r\nlg1\r\nly2\r\nlc3\r\nlt1\r\n0 0 1 1\r\n";

struct ReadCase {
  const char* name;
  const char* file;
  std::function<void(TJGdata&)> run;  // after reading and S_Init
  std::vector<std::string> lines;
  std::vector<Want> notes;
};

void RunAfterReading(const ReadCase& c) {
  SCOPED_TRACE(c.name);
  kxtest::TempDir d;
  kxtest::WriteBytes(d / "JWC_TEMP.TXT", c.file);
  TJGdata g;
  std::vector<TJwwWriteNote> notes;
  g.WriteNotes = &notes;
  ASSERT_TRUE(g.OpenTempFile(kxtest::U16(d / "JWC_TEMP.TXT")));
  g.S_Init();
  c.run(g);
  EXPECT_EQ(Lines(g), c.lines);
  ExpectNotes(notes, c.notes);
}

}  // namespace

// The mistakes that leave a wrong drawing after reading a file, each with
// the lines it writes and the note it gives; and the right way beside it.
TEST(WriteNotes, MistakesAfterReading) {
  const ReadCase cases[] = {
      {"ClearStore forgotten: the selection again beside the new text", kSelection,
       [](TJGdata& g) {
         g.A_Current();
         g.A_Text(0, 5, 5, 1, 0, u"A");
         g.S_EntAll();
       },
       {"lg1", "ly2", "lc3", "lt1", "0 0 1 1", "cn1", "cc0", "cn\"$<ＭＳ ゴシック>",
        "ch 5 5 1 0 \"A"},
       {{jnReadWrittenBack, u"S_EntAll", 1}}},
      {"ClearStore first: only the text", kSelection,
       [](TJGdata& g) {
         g.ClearStore();
         g.A_Current();
         g.A_Text(0, 5, 5, 1, 0, u"A");
         g.S_EntAll();
       },
       {"lg1", "ly2", "cn1", "cc0", "cn\"$<ＭＳ ゴシック>", "ch 5 5 1 0 \"A"}, {}},
      {"the selection rewritten on purpose", kSelection,
       [](TJGdata& g) {
         g.RewritesSelection = true;
         g.S_EntAll({.Col = 5});
       },
       {"lg1", "ly2", "lc5", "lt1", "0 0 1 1"}, {}},
      {"a turned copy of the selection is meant", kSelection,
       [](TJGdata& g) {
         ASSERT_TRUE(g.Transform(TJwwTransform::Rotate(0, 0, 90)));
         g.S_EntAll();
       },
       {"lg1", "ly2", "lc3", "lt1", "0 0 -1 1"}, {}},
      // The attributes are the state reading and S_Init left: after S_Init
      // here, layer 0-0 and pen 1, not the drawing's 1-2.
      {"A_Current forgotten: lines on a layer the user is not on",
       "hq\r\nlg1\r\nly2\r\nz1\r\nlg3\r\nly4\r\nlc5\r\n0 0 1 1\r\n",
       [](TJGdata& g) {
         g.ClearStore();
         g.A_Line(0, 0, 5, 0);
         g.A_Line(0, 0, 6, 0);  // noted once
         g.S_EntAll();
       },
       {"lg0", "ly0", "lc1", "lt1", "0 0 5 0", "0 0 6 0", "lg1", "ly2"},
       {{jnNoCurrent, u"A_Current", 0}}},
      {"attributes given with the entity need no A_Current", kSelection,
       [](TJGdata& g) {
         g.ClearStore();
         g.A_Line(TJwwEntAttr{0, 1, 2, 3, 1, 0, 0}, 0, 0, 5, 0);
         g.S_EntAll();
       },
       {"lg1", "ly2", "lc3", "lt1", "0 0 5 0"}, {}},
      {"a block insert of the selection left out of its copy", "hq\r\nBL 5 5 door\r\n0 0 1 1\r\n",
       [](TJGdata& g) {
         ASSERT_TRUE(g.Transform(TJwwTransform::Move(10, 0)));
         g.S_EntAll();
         EXPECT_FALSE(g.S_Ent(0));
       },
       {"lg0", "ly0", "lc1", "lt1", "10 0 11 1"},
       {{jnBlocksLeft, u"S_EntAll", 1}, {jnBlocksLeft, u"S_Ent", 1}}},
      {"one read entity written back", kSelection, [](TJGdata& g) { g.S_Ent(0); },
       {"lg1", "ly2", "lc3", "lt1", "0 0 1 1"}, {{jnReadWrittenBack, u"S_Ent", 1}}},
      {"a zero-length line of the file dropped from the copy",
       "hq\r\n0 0 1 1\r\n2 2 2 2\r\n",
       [](TJGdata& g) {
         ASSERT_TRUE(g.Transform(TJwwTransform::Move(10, 0)));
         g.S_EntAll();
       },
       {"lg0", "ly0", "lc1", "lt1", "10 0 11 1"}, {{jnDegenerate, u"S_Line", 0}}},
      {"read with bz, a point written without it", "hq\r\nbz\r\n",
       [](TJGdata& g) { g.S_Ten(1, 1); }, {"pt 1 1"}, {{jnNoZusun, u"S_Ten", 0}}},
      {"read with bz, bz written first", "hq\r\nbz\r\n",
       [](TJGdata& g) {
         g.SendMem(u"bz");
         g.S_Ten(1, 1);
       },
       {"bz", "pt 1 1"}, {}},
      {"bz written, the buffer emptied, a point without it", "hq\r\nbz\r\n",
       [](TJGdata& g) {
         g.SendMem(u"bz");
         g.S_Ten(1, 1);
         g.StopJwwGaibu();
         g.S_Ten(2, 2);
         g.S_Ten(3, 3);
       },
       {"pt 2 2", "pt 3 3"}, {{jnNoZusun, u"S_Ten", 0}}},
      {"read with bz, written back by S_EntAll, which writes it", "hq\r\nbz\r\n",
       [](TJGdata& g) {
         g.A_Current();
         g.A_Ten(1, 1);
         g.S_EntAll();
         g.S_Ten(2, 2);
       },
       {"bz", "lg0", "ly0", "pn1", "pt 1 1", "pt 2 2"}, {}},
  };
  for (const ReadCase& c : cases) RunAfterReading(c);
}

// Mistakes of the commands alone, with no file read.
TEST(WriteNotes, MistakesOfTheCommands) {
  const Case cases[] = {
      {"S_Ent then S_EntAll: that entity twice",
       [](TJGdata& g) {
         g.A_Ten(1, 2);
         g.A_Ten(3, 4);
         g.S_Ent(0);
         g.S_EntAll();
       },
       {"lg0", "ly0", "pn1", "pt 1 2", "pt 1 2", "pt 3 4"}, {{jnWrittenTwice, u"S_EntAll", 1}}},
      {"S_EntAll then S_Ent",
       [](TJGdata& g) {
         g.A_Ten(1, 2);
         g.S_EntAll();
         g.S_Ent(0);
       },
       {"lg0", "ly0", "pn1", "pt 1 2", "pt 1 2"}, {{jnWrittenTwice, u"S_Ent", 0}}},
      {"S_Ent twice on one entity",
       [](TJGdata& g) {
         g.A_Ten(1, 2);
         g.A_Ten(3, 4);
         g.S_Ent(1), g.S_Ent(0), g.S_Ent(1);
       },
       {"lg0", "ly0", "pn1", "pt 3 4", "pt 1 2", "pt 3 4"}, {{jnWrittenTwice, u"S_Ent", 1}}},
      {"degenerate geometry, written",
       [](TJGdata& g) {
         g.S_Line(1, 1, 1, 1);
         g.S_Circle(0, 0, 0);
         g.S_Text(0, 0, 0, 0, 0, u"A");
         g.S_Text(0, 0, 0, 1, 0, u"  ");
         g.S_SolidC(0, 0, 1, 1, 0, 0, 90, 7);
       },
       {},
       {{jnDegenerate, u"S_Line", 0}, {jnDegenerate, u"S_Circle", 0}, {jnDegenerate, u"S_Text", 0},
        {jnDegenerate, u"S_Text", 0}, {jnDegenerate, u"S_SolidC", 0}}},
      {"degenerate geometry, added",
       [](TJGdata& g) {
         g.A_Line(1, 1, 1, 1 + 1e-11);
         g.A_Solid4(0, 0, 0, 0, 0, 0, 0, 0);
       },
       // four corners in one fall back to three, which draw nothing either
       {}, {{jnDegenerate, u"A_Line", 0}, {jnDegenerate, u"A_Solid3", 0}}},
      {"dialog colours outside the list",
       [](TJGdata& g) {
         g.S_PCol(99999, jmDialog);
         g.S_Col(-5, jmDialog);
         g.S_Col(265, jmDialog);
         g.S_PCol(99999, jmCode);
       },
       {"pn100090", "lc1", "lc356", "pn99999"},
       {{jnColourRange, u"S_PCol", 99999}, {jnColourRange, u"S_Col", -5}}},
      {"dialog colours outside the list, for added entities",
       [](TJGdata& g) {
         g.A_Col(266, jmDialog);
         g.A_PCol(-1, jmDialog);
         g.A_Mjs(0, 1, 1, 0, 300, jmDialog);
       },
       {},
       {{jnColourRange, u"A_Col", 266}, {jnColourRange, u"A_PCol", -1},
        {jnColourRange, u"A_Mjs", 300}}},
      {"a comment that ends in blanks has four fields for the reader",
       [](TJGdata& g) { g.S_Comment(u"  表 表    "); }, {"h#  表 表    "},
       {{jnCommentAsLine, u"S_Comment", 4}}},
  };
  for (const Case& c : cases) RunCase(c);
}
