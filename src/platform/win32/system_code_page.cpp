// The ANSI code page the Windows program's names and text are in.

#include <windows.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/system_file_layer.h"
#include "platform/win32/system_error_text.h"

namespace shiftlet {

namespace {

// `character` in the system's code page, or "" where it has no such character: best fits (the
// plain digit 1 for ¹) would make a name reserved that Windows does not keep.
std::string InSystemCodePage(wchar_t character) {
  char bytes[8] = {};
  BOOL usedDefault = FALSE;
  const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &character, 1, bytes,
                                         sizeof bytes, nullptr, &usedDefault);
  return length > 0 && !usedDefault ? std::string(bytes, static_cast<std::size_t>(length)) : "";
}

}  // namespace

CodePage SystemCodePage() {
  if (GetACP() == CP_UTF8) {
    return CodePage::Utf8();  // GetCPInfo lists no lead bytes for it
  }
  CodePage codePage;
  CPINFO info{};
  if (!GetCPInfo(CP_ACP, &info)) {
    throw std::runtime_error("cannot read the system's code page: " +
                             SystemErrorText(GetLastError()));
  }
  // Pairs of first and last lead byte, ended by a pair of zeros.
  for (std::size_t pair = 0; pair + 1 < MAX_LEADBYTES && info.LeadByte[pair] != 0; pair += 2) {
    codePage.AddLeadBytes(info.LeadByte[pair], info.LeadByte[pair + 1]);
  }
  codePage.SetSuperscriptDigits(InSystemCodePage(L'\u00B9'), InSystemCodePage(L'\u00B2'),
                                InSystemCodePage(L'\u00B3'));
  std::vector<std::string> quotes;
  for (wchar_t quote = L'\u2018'; quote <= L'\u201E'; ++quote) {
    quotes.push_back(InSystemCodePage(quote));
  }
  codePage.SetTypographicQuotes(std::move(quotes));
  return codePage;
}

}  // namespace shiftlet
