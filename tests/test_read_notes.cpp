// Reader diagnostics: which lines are noted and why, their line numbers in
// every encoding, and reading that stays the same with them or without.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "platform/Platform.h"
#include "tests/TestUtil.h"

namespace {

using Note = std::tuple<int32_t, int32_t, std::string>;  // what, line, text

std::vector<Note> NotesOf(const std::string& bytes) {
  kxtest::TempDir dir;
  kxtest::WriteBytes(dir / "JWC_TEMP.TXT", bytes);
  std::vector<TJwwReadNote> notes;
  TJGdata g;
  g.ReadNotes = &notes;
  g.OpenTempFile(kxtest::U16(dir / "JWC_TEMP.TXT"));
  std::vector<Note> out;
  for (const TJwwReadNote& n : notes) out.emplace_back(n.what, n.line, platform::TextToUtf8(n.text));
  return out;
}

// One line each: what the reader made of it, when it was not what it says.
TEST(ReadNotes, WhatIsNoted) {
  struct Case {
    const char* line;
    int32_t what;  // 0: nothing to note
  };
  const Case cases[] = {
      // Taken as a line segment, first field no number.
      {"cir 1 2 3", jnWordAsLine},
      {"pt 1 2 3", jnWordAsLine},  // one field too few for a marker
      {"0 0 10 10", 0},
      {"-1.5 .5 5. 1E3", 0},
      // No record.
      {"ci 1 2 3 ", jnNoRecord},  // the trailing space counts a fifth field
      {"ci 0 0 5 0", jnNoRecord},
      {"hp1 5", jnNoRecord},
      {"xyz", jnNoRecord},
      {"z6", jnNoRecord},
      {"hq", 0},  // what the CAD program writes first
      {"h#a comment", 0},
      // Numbers the records read.
      {"ci 0 0 5,5", jnBadNumber},
      {"ci 0 0 0", 0},
      {"ci 0 -0.0e5 +00.", 0},
      {"ci 0 0 1e999", jnBadNumber},  // out of range, read as 0
      {"hk abc", jnBadNumber},
      {"hk 30", 0},
      {"hk ", jnBadNumber},  // an empty field is no number
      {"hzs 420 2 extra", 0},
      {"hrgb 1 2 3 4 5 6 7 x", jnBadNumber},
      {"hcc 1 1 2 2 3 3 4 5 6 9.5", jnBadNumber},
      {"lc5", 0},
      {"lcX", jnBadNumber},
      {"lc", jnBadNumber},
      {"lc10 255", 0},
      {"lc10 red", jnBadNumber},
      {"lc5 red", 0},  // only colour 10 reads a second field
      {"lt$1F", 0},
      {"lgA 2", 0},
      {"lgG", jnBadNumber},
      {"lg1 x", jnBadNumber},
      {"cc8", 0},
      {"cc9", jnBadNumber},
      {"cn0 2 2 0 x", jnBadNumber},
      {"cn3 x y z w", 0},  // kinds 1 to 10 read no sizes
      {"cn$<ＭＳ 明朝>", 0},
      {"hp1 10 y", jnBadNumber},
      {"hp5-ci 3 4", jnBadNumber},  // the number text is "5-"
      {"hp0 1 2", jnPointRange},    // a number, out of range: dropped
      {"hp100 1 2", jnPointRange},
      {"hp99 1 2", 0},
      {"hp3ln 1 2", 0},
      {"hhpX", jnBadNumber},
      {"hhp2ln", 0},
      {"pt 1 2 3 4 x", jnBadNumber},
      {"pt 1 2 3 4 5.5", jnBadNumber},  // the marker code is an integer
      {"sc 0 0 5 1 0 0 90 $64", 0},
      {"sc 0 0 5 1 0 0 90 1e2", jnBadNumber},
      {"ch 0 0 1 0 \"1,5 is no number and needs none", 0},
      {"ch 0 0 1 0 Room 1", jnTextWords},  // the text is "Room"
      {"cs 0 0 1 0 Room ", 0},             // a trailing blank drops nothing
      {"ch 0 0 1 0 Room", 0},
      {"lg12", jnLayerDigits},  // group 1
      {"ly1F 0", jnLayerDigits},
      {"lgF", 0},
      {"BL 0 0 door", 0},
      {"file=C:\\plan 1.jww", 0},
  };
  for (const Case& c : cases) {
    // In code page 932, as the CAD program writes it.
    std::u16string text;
    platform::Utf8ToText(c.line, text);
    const std::string line = platform::TextToAnsi(text);
    const std::vector<Note> got = NotesOf(line + "\r\n");
    const std::vector<Note> want =
        c.what == 0 ? std::vector<Note>{} : std::vector<Note>{{c.what, 1, c.line}};
    EXPECT_EQ(got, want) << c.line;
  }
}

// Line numbers count every line break, empty lines too, whatever the encoding.
TEST(ReadNotes, LineNumbersInEveryEncoding) {
  const std::u16string text = u"hq\r\n\r\ncir 1 2 3\n0 0 1 1\rxyz 北\r\n";
  const std::vector<Note> want = {{jnWordAsLine, 3, "cir 1 2 3"}, {jnNoRecord, 5, "xyz 北"}};
  std::string le = "\xFF\xFE", be = "\xFE\xFF";
  for (char16_t c : text) {
    le += static_cast<char>(c & 0xFF), le += static_cast<char>(c >> 8);
    be += static_cast<char>(c >> 8), be += static_cast<char>(c & 0xFF);
  }
  EXPECT_EQ(NotesOf("\xEF\xBB\xBF" + platform::TextToUtf8(text)), want);
  EXPECT_EQ(NotesOf(platform::TextToAnsi(text)), want);
  EXPECT_EQ(NotesOf(le), want);
  EXPECT_EQ(NotesOf(be), want);
}

// Noting changes nothing of what is read; without a sink nothing is noted.
TEST(ReadNotes, ReadingIsTheSame) {
  kxtest::TempDir dir;
  kxtest::WriteBytes(dir / "JWC_TEMP.TXT",
                     "hk 30\r\nlg2\r\nly3\r\nlw2\r\ncir 1 2 3\r\nci 0 0 5,5\r\npl\r\n0 0 1 1\r\n"
                     "xyz\r\nhp1 1 2\r\ncn0 2 2 0 x\r\nch 0 0 1 0 \"A\r\nmsg\r\n0 0 3 4\r\n");
  auto written = [&](std::vector<TJwwReadNote>* notes) {
    TJGdata g;
    g.ReadNotes = notes;
    g.OpenTempFile(kxtest::U16(dir / "JWC_TEMP.TXT"));
    g.S_Init();
    g.S_EntAllp();
    std::u16string all;
    for (int32_t i = 0; i < g.t_MemN; ++i) all += g.t_Mem[static_cast<size_t>(i)] + u"\n";
    return std::tuple(all, g.Jikukaku, g.CurLGrp, g.CurLay, g.CurWid, g.IPointN,
                      g.EntSunLine.x2, g.EntN);
  };
  std::vector<TJwwReadNote> notes;
  EXPECT_EQ(written(&notes), written(nullptr));
  EXPECT_EQ(notes.size(), 5u);  // the dimension at the end never gets its "cs"
}

// What needs more than one line, or a line of its own making: a dimension
// broken before its text, fields past the limit, bytes that do not decode.
TEST(ReadNotes, AcrossLinesAndBytes) {
  std::string many = "hrgb";
  for (int k = 0; k < 399; ++k) many += " 1";
  const std::pair<std::string, std::vector<Note>> cases[] = {
      {"msg\r\n0 0 1 0\r\ncs 0 0 1 0 \"1\r\n", {}},
      {"msg\r\nlc2\r\n0 0 1 0\r\ncs 0 0 1 0 \"1\r\n", {}},
      {"msg\r\n0 0 1 0\r\npt 1 1\r\ncs 0 0 1 0 \"1\r\n", {{jnDimBroken, 3, "pt 1 1"}}},
      {"msg\r\n0 0 1 0\r\n0 0 2 0\r\ncs 0 0 1 0 \"1\r\n", {{jnDimBroken, 3, "0 0 2 0"}}},
      {"msg\r\ncs 0 0 1 0 \"1\r\n", {{jnDimBroken, 2, "cs 0 0 1 0 \"1"}}},
      {"msg\r\n0 0 1 0\r\nxyz\r\n", {{jnDimBroken, 1, "msg"}, {jnNoRecord, 3, "xyz"}}},
      {"msg\r\n0 0 1 0\r\nmsg\r\n0 0 1 0\r\ncs 0 0 1 0 \"1\r\n", {{jnDimBroken, 3, "msg"}}},
      {many + "\r\n", {}},  // 400 fields: hrgb and 399 values
      {many + " 1\r\n", {{jnFieldsPast, 1, many + " 1"}}},
      {"ch 0 0 1 0 \"a\xFD\r\n", {{jnUndecodable, 1, "ch 0 0 1 0 \"a\xEF\xBF\xBD"}}},
      {"\xEF\xBB\xBF" "ch 0 0 1 0 \"a\xFF\r\n", {{jnUndecodable, 1, "ch 0 0 1 0 \"a\xEF\xBF\xBD"}}},
      {"\xEF\xBB\xBF" "ch 0 0 1 0 \"\xEF\xBF\xBD\r\n", {}},  // a U+FFFD the file holds
  };
  for (const auto& [bytes, want] : cases) EXPECT_EQ(NotesOf(bytes), want) << bytes;
}

}  // namespace

// A file without a byte-order mark is read as code page 932; one whose bytes
// are not that and are UTF-8 was most likely saved as UTF-8 without its mark.
TEST(ReadNotes, Utf8WithoutItsMark) {
  const std::pair<std::string, bool> cases[] = {
      {"hq\r\nch 0 0 1 0 \"\xE3\x81\x82\r\n", true},           // "あ" in UTF-8
      // "平面図" in UTF-8 is also well-formed code page 932 (other kanji and
      // half-width kana): nothing tells the two apart, so nothing is noted.
      {"hq\r\nch 0 0 1 0 \"\xE5\xB9\xB3\xE9\x9D\xA2\xE5\x9B\xB3\r\n", false},
      {"hq\r\nch 0 0 1 0 \"\x8A\x65\x95\xBD\xE9\xAB\r\n", false},  // "各平" and more, code page 932
      {"hq\r\n0 0 1 1\r\n", false},                            // ASCII is both
      {"hq\r\nch 0 0 1 0 \"\xFF\xFE\r\n", false},              // neither
  };
  for (const auto& [bytes, noted] : cases) {
    kxtest::TempDir d;
    kxtest::WriteBytes(d / "JWC_TEMP.TXT", bytes);
    TJGdata g;
    std::vector<TJwwReadNote> notes;
    g.ReadNotes = &notes;
    ASSERT_TRUE(g.OpenTempFile(kxtest::U16(d / "JWC_TEMP.TXT")));
    const bool found = std::any_of(notes.begin(), notes.end(),
                                   [](const TJwwReadNote& n) { return n.what == jnUtf8NoMark; });
    EXPECT_EQ(found, noted) << bytes;
  }
}

// Files without their byte-order mark, read as what they are and written
// back: the note each gives and the bytes the store makes when written back.
TEST(ReadNotes, EncodingsWithoutTheirMark) {
  auto utf16 = [](std::u16string_view text, bool big) {
    std::string out;
    for (char16_t c : text) {
      const char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
      out += big ? hi : lo;
      out += big ? lo : hi;
    }
    return out;
  };
  const std::u16string drawing = u"hq\r\nlg1\r\nly2\r\nch 0 0 1 0 \"北側\r\n";
  const std::string back932 = "lg1\r\nly2\r\ncn1\r\ncc0\r\ncn\"$" +
                              platform::TextToAnsi(u"<ＭＳ ゴシック>") + "\r\nch 0 0 1 0 \"" +
                              platform::TextToAnsi(u"北側") + "\r\n";
  struct Case {
    const char* name;
    std::string bytes;
    int32_t note;  // the note on the whole file; 0 for none
    std::u16string text;
    std::string written;
  };
  const Case cases[] = {
      {"UTF-8 that no code page 932 reads: UTF-8, written back with its mark",
       "hq\r\nch 0 0 1 0 \"\xE3\x81\x82\r\n", jnUtf8NoMark, u"あ",
       "\xEF\xBB\xBF" "lg0\r\nly0\r\ncn1\r\ncc0\r\ncn\"$<\xEF\xBC\xAD\xEF\xBC\xB3 \xE3\x82\xB4"
       "\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF>\r\nch 0 0 1 0 \"\xE3\x81\x82\r\n"},
      {"UTF-8 whose byte pairs code page 932 leaves unassigned",
       "hq\r\ncn$<\xEF\xBC\xAD\xEF\xBC\xB3>\r\nch 0 0 1 0 \"A\r\n", jnUtf8NoMark, u"A",
       "\xEF\xBB\xBF" "lg0\r\nly0\r\ncn1\r\ncc0\r\ncn\"$<\xEF\xBC\xAD\xEF\xBC\xB3>\r\n"
       "ch 0 0 1 0 \"A\r\n"},
      {"code page 932 stays", "hq\r\nlg1\r\nly2\r\nch 0 0 1 0 \"" + platform::TextToAnsi(u"北側") + "\r\n",
       0, u"北側", back932},
      {"UTF-16LE: read, written back in code page 932", utf16(drawing, false), jnUtf16NoMark,
       u"北側", back932},
      {"UTF-16BE likewise", utf16(drawing, true), jnUtf16NoMark, u"北側", back932},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    kxtest::TempDir d;
    const auto file = d / "JWC_TEMP.TXT";
    kxtest::WriteBytes(file, c.bytes);
    TJGdata g;
    std::vector<TJwwReadNote> notes;
    g.ReadNotes = &notes;
    ASSERT_TRUE(g.OpenTempFile(kxtest::U16(file)));
    ASSERT_EQ(notes.size(), c.note == 0 ? 0u : 1u);
    if (c.note != 0) {
      EXPECT_EQ(notes[0].what, c.note);
    }
    ASSERT_EQ(g.EntTextN, 1);
    EXPECT_EQ(g.EntText[0].st, c.text);
    g.S_Init();
    g.S_EntAll();
    ASSERT_TRUE(g.SaveTempFile(kxtest::U16(file)));
    EXPECT_EQ(kxtest::ReadBytes(file), c.written);
  }
}

// A store with nothing in it and no file read writes nothing back: the file
// says "hq", and the user's layer stays where it is.
TEST(ReadNotes, EmptyStoreNothingRead) {
  kxtest::TempDir d;
  TJGdata g;
  g.S_Init();
  g.S_EntAll();
  ASSERT_TRUE(g.SaveTempFile(kxtest::U16(d / "JWC_TEMP.TXT")));
  EXPECT_EQ(kxtest::ReadBytes(d / "JWC_TEMP.TXT"), "hq\r\n");
}
