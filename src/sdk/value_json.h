#pragma once
#include <cstdint>

#include <json/json.h>

#include "sdk/qv_value.h"

namespace qv {

// JsonCpp frees and copies its values recursively and its reader refuses documents nested
// deeper than this by default. ToJson writes a non-empty container at this level (the root
// being level 1) as null, so that whatever it produces can be read back and freed safely.
constexpr uint32_t kMaxJsonDepth = 1000;

} // namespace qv
