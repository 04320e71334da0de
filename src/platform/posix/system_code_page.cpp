// The character set of the terminal build's names and text: the locale's, as the environment sets
// it (LC_ALL, LC_CTYPE, LANG), read without changing the program's own locale.

#include <langinfo.h>
#include <locale.h>
#include <strings.h>

#include "platform/system_file_layer.h"

namespace shiftlet {

CodePage SystemCodePage() {
  const locale_t environment = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
  if (environment == static_cast<locale_t>(nullptr)) {
    return CodePage::Ascii();  // a locale that is not installed: the C locale's
  }
  const char* set = nl_langinfo_l(CODESET, environment);
  const bool utf8 =
      set != nullptr && (strcasecmp(set, "UTF-8") == 0 || strcasecmp(set, "utf8") == 0);
  // The C and POSIX locales' set, as glibc and others name it.
  const bool ascii =
      set != nullptr && (strcasecmp(set, "ANSI_X3.4-1968") == 0 || strcasecmp(set, "ASCII") == 0 ||
                         strcasecmp(set, "US-ASCII") == 0);
  freelocale(environment);
  if (utf8) {
    return CodePage::Utf8();
  }
  return ascii ? CodePage::Ascii() : CodePage();
}

}  // namespace shiftlet
