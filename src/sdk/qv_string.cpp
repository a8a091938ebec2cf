#include "sdk/qv_string.h"

#include <cstdio>
#include <cstdlib>

namespace qv::string_block {

void Fatal(const char* what)
{
    std::fprintf(stderr, "fatal: %s\n", what);
    std::fflush(stderr);
    std::abort();
}

} // namespace qv::string_block
