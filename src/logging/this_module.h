#pragma once
#include <windows.h>

namespace logging {

// The image this code is linked into: the DLL in the product, the test program in unit tests.
HMODULE ThisModule();

} // namespace logging
