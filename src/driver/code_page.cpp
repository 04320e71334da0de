#include "driver/code_page.h"

namespace shiftlet {

void CodePage::AddLeadBytes(unsigned char first, unsigned char last) {
  for (unsigned byte = first; byte <= last; ++byte) {
    lead_[byte] = true;
  }
}

}  // namespace shiftlet
