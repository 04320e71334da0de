#pragma once

#include <cstdint>
#include <optional>

namespace shiftlet {

// The new kind for an old one: 0->0, 1->2, 2->3, 3->5, 4->4. For any other old kind there is no
// translation and the item keeps the kind its slot already had (0 in a fresh table).
std::optional<std::int16_t> TranslateKind(std::int16_t oldKind);

}  // namespace shiftlet
