#include "menu/kind_translation.h"

#include <array>

namespace shiftlet {

std::optional<std::int16_t> TranslateKind(std::int16_t oldKind) {
  static constexpr std::array<std::int16_t, 5> kNewKinds{0, 2, 3, 5, 4};
  if (oldKind < 0 || oldKind >= static_cast<std::int16_t>(kNewKinds.size())) {
    return std::nullopt;
  }
  return kNewKinds[static_cast<std::size_t>(oldKind)];
}

}  // namespace shiftlet
