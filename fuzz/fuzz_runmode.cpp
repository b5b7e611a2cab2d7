// Every run mode, and the dialog path, on an arbitrary exchange file with
// arbitrary arguments and settings, driven in-process as the program start
// drives the main window. The input is three parts: the first line holds the
// arguments separated by spaces, the second the settings file's values
// separated by spaces (none: no settings file), the rest is the exchange file
// (absent without a second line break).
#include <algorithm>
#include <string_view>
#include <vector>

#include "app/Unit1.h"
#include "fuzz/FuzzUtil.h"
#include "myfunc/MyFunc.h"
#include "platform/Platform.h"

namespace {

std::vector<std::u16string> Split(std::string_view line) {
  std::vector<std::u16string> parts;
  size_t start = 0;
  while (start <= line.size()) {
    size_t end = line.find(' ', start);
    if (end == std::string_view::npos) end = line.size();
    std::u16string s;
    platform::Utf8ToText(line.substr(start, end - start), s);
    parts.push_back(std::move(s));
    start = end + 1;
  }
  return parts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view in(reinterpret_cast<const char*>(data), size);
  static const std::string exchange = kxfuzz::Folder() + "JWC_TEMP.TXT";
  static const std::string settings = kxfuzz::Folder() + "kx29.dat";
  kxfuzz::RemoveFile(exchange);
  kxfuzz::RemoveFile(settings);

  const size_t nl1 = std::min(in.find('\n'), in.size());
  std::vector<std::u16string> args = Split(in.substr(0, nl1));
  if (args.size() > 3) args.resize(3);
  bool hasExchange = false;
  std::string before;
  if (nl1 < in.size()) {
    const std::string_view rest = in.substr(nl1 + 1);
    const size_t nl2 = std::min(rest.find('\n'), rest.size());
    const std::string_view values = rest.substr(0, nl2);
    if (!values.empty()) {
      std::string dat = "\xEF\xBB\xBF";
      for (char c : values) dat += c == ' ' ? std::string("\r\n") : std::string(1, c);
      kxfuzz::WriteFile(settings, dat);
    }
    if (nl2 < rest.size()) {
      before = std::string(rest.substr(nl2 + 1));
      kxfuzz::WriteFile(exchange, before);
      hasExchange = true;
    }
  }

  TFormWindow window;
  std::u16string notice;
  {
    TForm1 form(window, args, kxfuzz::Folder16() + u"kx29");
    form.FormShow();
    notice = form.Notice;
    form.FormClose();
  }
  const int32_t mode = args.empty() ? 0 : StrToIntZ(args[0]);
  std::string after;
  const bool written = kxfuzz::ReadFile(exchange, after);
  if (mode >= 1 && mode <= kLastRunMode) {
    // A run mode always rewrites the exchange file and saves the settings.
    FUZZ_CHECK(window.Closed());
    FUZZ_CHECK(written);
    FUZZ_CHECK(after.size() >= 2 && after.ends_with("\r\n"));
    // A run mode adds points with their attributes, nothing else: no "hd"
    // that would erase the selection, no figure of it drawn twice.
    for (size_t at = after.starts_with("\xEF\xBB\xBF") ? 3 : 0; at < after.size();) {
      const std::string_view key = std::string_view(after).substr(at, 2);
      FUZZ_CHECK(key == "lg" || key == "ly" || key == "lc" || key == "lt" || key == "lw" ||
                 key == "pn" || key == "pt" || key == "bz" || key == "hq");
      const size_t end = after.find("\r\n", at);
      if (end == std::string::npos) break;
      at = end + 2;
    }
    // A run that draws nothing says why.
    if (after.find("\r\npt ") == std::string::npos) FUZZ_CHECK(!notice.empty());
    std::string dat;
    FUZZ_CHECK(kxfuzz::ReadFile(settings, dat));
    FUZZ_CHECK(dat.starts_with("\xEF\xBB\xBF") && dat.ends_with("\r\n"));
    // What was written reads back without harm.
    TJGdata g;
    g.OpenTempFile(kxfuzz::ToU16(exchange));
    kxfuzz::CheckStore(g);
  } else {
    // The dialog path never writes the exchange file.
    FUZZ_CHECK(!window.Closed());
    FUZZ_CHECK(written == hasExchange);
    FUZZ_CHECK(!written || after == before);
  }
  return 0;
}
