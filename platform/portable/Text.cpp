// The ANSI code page where the system has none: Shift-JIS in its Windows
// form (code page 932), through iconv, or, built with KX29_CP932_TABLES for a
// C library whose iconv lacks it, through tables that convert as the build
// machine's iconv does (Cp932.h). UTF-8 and UTF-16 are in common/Unicode.cpp,
// shared with Windows.
//
// The exchange-file reader decodes one line at a time over files of millions
// of lines, nearly all plain ASCII, and the writer encodes the whole file at
// once; so every routine widens or narrows ASCII directly, writes into a
// buffer sized up front, and leaves only the rest to the slower paths.
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "platform/Platform.h"
#include "platform/common/Ascii.h"
#include "platform/portable/Cp932.h"
#ifndef KX29_CP932_TABLES
#include <iconv.h>

#include <bit>
#endif

namespace platform {
namespace {

using ascii::kReplacement;

using ascii::FourAscii;
using ascii::WidenAscii;

#ifdef KX29_CP932_TABLES

// The tables keep no state: one converter per direction serves every thread.
struct Converter {
  bool ok() const { return true; }
  int (*Run)(const char*& in, size_t& inLeft, char*& out, size_t& outLeft);
};

Converter& AnsiDecoder() {
  static Converter c{cp932::Decode};
  return c;
}

Converter& AnsiEncoder() {
  static Converter c{cp932::Encode};
  return c;
}

#else

// One iconv descriptor per direction and thread: a descriptor carries
// conversion state and must not be shared between threads.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  // Converts as much as it can; stops at the end of the input, at a sequence
  // it cannot convert (EILSEQ, EINVAL) or when the output is full (E2BIG).
  // Returns 0 when all input was taken, else the errno.
  int Run(const char*& in, size_t& inLeft, char*& out, size_t& outLeft) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* inp = const_cast<char*>(in);
    const size_t r = iconv(cd_, &inp, &inLeft, &out, &outLeft);
    in = inp;
    return r == static_cast<size_t>(-1) ? errno : 0;
  }

 private:
  iconv_t cd_;
};

constexpr const char* kNativeUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

// Code page 932 holds no character beyond the BMP, so its text in UCS-2 is
// exactly its text in UTF-16; and glibc converts to UCS-2 by itself, where
// UTF-16 means loading one more module at the first non-ASCII line of a run.
// Encoding stays from UTF-16: through UCS-2 a pair beyond the BMP would come
// out otherwise (glibc drops the tag characters U+E0000-U+E007F unseen).
constexpr const char* kNativeUcs2 = std::endian::native == std::endian::little ? "UCS-2LE" : "UCS-2BE";

// Opened at the first line that needs it, once per thread: opening loads the
// code page's module.
Converter& AnsiDecoder() {
  thread_local Converter c(kNativeUcs2, "CP932");
  return c;
}

Converter& AnsiEncoder() {
  thread_local Converter c("CP932", kNativeUtf16);
  return c;
}

#endif

// A lead byte of a two-byte character in code page 932; its second byte may
// lie in the ASCII range (0x40-0x7E, 0x5C among them), so it is never taken
// for ASCII on its own.
using cp932::IsLead;

}  // namespace

void AnsiToText(std::string_view bytes, std::u16string& out) {
  // Every byte gives at most one code unit; the growth below is only a guard.
  const size_t n = bytes.size();
  out.resize(n);
  const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
  char16_t* o = out.data();
  // Room for k more code units at o.
  auto ensure = [&out, &o](size_t k) {
    const size_t done = static_cast<size_t>(o - out.data());
    if (out.size() - done < k) {
      out.resize(std::max(out.size() * 2, done + k));
      o = out.data() + done;
    }
  };
  size_t i = 0;
  while (i < n) {
    ensure(n - i);
    i = WidenAscii(s, i, n, o);
    if (i == n) break;
    // The stretch up to the next ASCII byte that stands on its own.
    size_t end = i;
    while (end < n && s[end] >= 0x80) end += IsLead(s[end]) ? 2 : 1;
    end = std::min(end, n);
    Converter& cv = AnsiDecoder();
    if (!cv.ok()) {
      *o++ = kReplacement;
      ++i;
      continue;
    }
    const char* in = bytes.data() + i;
    size_t inLeft = end - i;
    size_t room = inLeft;
    int err = E2BIG;
    while (err == E2BIG) {
      ensure(room);
      room = static_cast<size_t>(out.data() + out.size() - o) + inLeft + 2;  // more, if this was not enough
      char* op = reinterpret_cast<char*>(o);
      size_t outLeft = static_cast<size_t>(out.data() + out.size() - o) * sizeof(char16_t);
      err = cv.Run(in, inLeft, op, outLeft);
      o = reinterpret_cast<char16_t*>(op);
    }
    i = static_cast<size_t>(in - bytes.data());
    if (err != 0) {
      // A byte that starts no character, or a lead without a fitting second
      // byte: replace the one byte. What follows is measured afresh, since
      // the byte taken for a second byte may itself start a character.
      ensure(1);
      *o++ = kReplacement;
      ++i;
    }
  }
  out.resize(static_cast<size_t>(o - out.data()));
}

std::string TextToAnsi(std::u16string_view text) {
  // Sized for ASCII; each run of other characters makes room for two bytes a
  // code unit (the most code page 932 needs) and leaves a quarter to spare, so
  // a large text grows a few times, not once per run.
  const size_t n = text.size();
  const char16_t* t = text.data();
  std::string out(n, '\0');
  size_t len = 0, i = 0;
  // Always: out.size() >= len + (n - i).
  while (i < n) {
    while (n - i >= 4 && FourAscii(t + i)) {
      for (int k = 0; k < 4; ++k) out[len + k] = static_cast<char>(t[i + k]);
      len += 4;
      i += 4;
    }
    while (i < n && t[i] < 0x80) out[len++] = static_cast<char>(t[i++]);
    if (i == n) break;
    size_t end = i;
    while (end < n && t[end] >= 0x80) ++end;
    const size_t need = len + 2 * (end - i) + (n - end);
    if (need > out.size()) out.resize(std::max(need, out.size() + out.size() / 4));
    Converter& cv = AnsiEncoder();
    const char* in = reinterpret_cast<const char*>(t + i);
    size_t inLeft = (end - i) * sizeof(char16_t);
    while (inLeft > 0) {
      if (out.size() - len < inLeft) out.resize(std::max(len + inLeft + (n - end), out.size() * 2));
      char* op = out.data() + len;
      size_t outLeft = out.size() - len;
      const int err = cv.ok() ? cv.Run(in, inLeft, op, outLeft) : EILSEQ;
      len = static_cast<size_t>(op - out.data());
      if (err == 0 || err == E2BIG) continue;
      // A character the code page cannot hold, a lone surrogate, or no
      // converter at all: one "?" per code unit, so a character beyond the
      // BMP becomes "??".
      out[len++] = '?';
      in += sizeof(char16_t);
      inLeft -= sizeof(char16_t);
    }
    i = end;
  }
  out.resize(len);
  return out;
}

}  // namespace platform
