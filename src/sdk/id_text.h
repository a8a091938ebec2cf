#pragma once
#include "module/interface_id.h"
#include "sdk/qv_string.h"

namespace qv {

// 8-4-4-4-12 lower-case hex digits, no braces, most significant first (w3 .. w0).
WString IdText(const InterfaceId& id);

} // namespace qv
