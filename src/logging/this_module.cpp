#include "logging/this_module.h"

namespace logging {

HMODULE ThisModule()
{
    static const HMODULE self = [] {
        HMODULE module = nullptr;
        ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                             reinterpret_cast<LPCWSTR>(&ThisModule), &module);
        return module;
    }();
    return self;
}

} // namespace logging
