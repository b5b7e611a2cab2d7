// Internal to the platform layer: code page 932 from tables, for a C library
// whose iconv has no "CP932" (a browser's). The tables are made at build time
// from the build machine's iconv (MakeCp932Tables.cpp), and Decode and Encode
// take and give what iconv does on the same input, in iconv's manner, so that
// the conversions around them (Text.cpp) stay as they are.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform::cp932 {

// The first bytes of two-byte characters, 0x81-0x9F and 0xE0-0xFC, and the
// row of kPair that each one's characters fill.
constexpr bool IsLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
constexpr int kLeadRows = (0x9F - 0x81 + 1) + (0xFC - 0xE0 + 1);
constexpr int LeadRow(unsigned char b) { return b <= 0x9F ? b - 0x81 : b - 0xE0 + (0x9F - 0x81 + 1); }

// Code page 932 has neither character: they mark the gaps of the tables.
constexpr uint16_t kNone = 0xFFFF;  // no character
constexpr uint16_t kLead = 0xFFFE;  // in kByte: a lead byte, the character is in kPair

// Generated: a byte's character, kLead or kNone.
extern const uint16_t kByte[256];
// Generated: the character of a lead byte's row and a second byte, or kNone.
extern const uint16_t kPair[kLeadRows][256];
// Generated: a UTF-16 code unit's code (surrogates aside): below 0x100 one
// byte, otherwise two, the lead byte first; kNone where the code page lacks
// the character.
extern const uint16_t kCode[0x10000];

// As iconv(3) from code page 932 to UTF-16 in the machine's byte order, and
// back: converts from in to out until the input ends (0) or a byte sequence
// or code unit has no counterpart (EILSEQ), ends unfinished (EINVAL) or
// finds no room in the output (E2BIG); in and out are left after what was
// converted.
int Decode(const char*& in, size_t& inLeft, char*& out, size_t& outLeft);
int Encode(const char*& in, size_t& inLeft, char*& out, size_t& outLeft);

}  // namespace platform::cp932
