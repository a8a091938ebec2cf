#pragma once
#include "sdk/shared_instance.h"

namespace logging {

class CLogDLL;

// The module's one binding to log.dll and the count of references on it.
SharedInstance<CLogDLL>& SharedBinding();

} // namespace logging
