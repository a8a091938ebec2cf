#pragma once
#include <cstdint>

// Body of the slots of a host interface that the module never calls. They exist so that the
// slots the module does call keep their numbers; a call answers ERROR_CALL_NOT_IMPLEMENTED.
constexpr uint32_t kReservedSlotResult = 120;
