#include "logging/shared_binding.h"

#include "logging/clog_dll.h"

namespace logging {
namespace {

SharedInstance<CLogDLL> binding;

} // namespace

SharedInstance<CLogDLL>& SharedBinding()
{
    return binding;
}

} // namespace logging
