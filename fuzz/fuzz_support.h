#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace shiftlet::fuzz {

// A broken property is a finding: report it and stop, so libFuzzer saves the input.
inline void Require(bool holds, const char* property) {
  if (!holds) {
    std::fprintf(stderr, "property broken: %s\n", property);
    std::abort();
  }
}

// The same bytes with every line end, as the reader counts them (CR, LF or CR LF), written as LF.
inline std::string WithLfLineEnds(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r') {
      out += '\n';
      if (i + 1 < bytes.size() && bytes[i + 1] == '\n') {
        ++i;
      }
    } else {
      out += bytes[i];
    }
  }
  return out;
}

}  // namespace shiftlet::fuzz
