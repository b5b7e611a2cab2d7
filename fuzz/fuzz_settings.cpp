// The settings file reader on arbitrary bytes, through the dialog: open the
// dialog, press OK, close. Whatever the file held, the saved file has the
// fixed form, and a second round of the same leaves it unchanged.
#include "app/Unit1.h"
#include "fuzz/FuzzUtil.h"

namespace {

std::string OkRound(const std::string& settings) {
  TFormWindow window;
  TForm1 form(window, {}, kxfuzz::Folder16() + u"kx29");
  form.FormShow();
  FUZZ_CHECK(!window.Closed());
  form.Button1Click();
  FUZZ_CHECK(window.Closed());
  form.FormClose();
  std::string saved;
  FUZZ_CHECK(kxfuzz::ReadFile(settings, saved));
  return saved;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string settings = kxfuzz::Folder() + "kx29.dat";
  kxfuzz::RemoveFile(kxfuzz::Folder() + "JWC_TEMP.TXT");
  kxfuzz::WriteFile(settings, {reinterpret_cast<const char*>(data), size});
  const std::string first = OkRound(settings);
  // EF BB BF and eight lines, each ended by CR LF.
  FUZZ_CHECK(first.starts_with("\xEF\xBB\xBF"));
  size_t lines = 0;
  for (size_t k = 3; k < first.size(); ++k) {
    if (first[k] == '\r') {
      FUZZ_CHECK(k + 1 < first.size() && first[k + 1] == '\n');
      ++lines;
    }
  }
  FUZZ_CHECK(lines == 8 && first.ends_with("\r\n"));
  FUZZ_CHECK(OkRound(settings) == first);
  return 0;
}
