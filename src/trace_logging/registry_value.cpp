#include "trace_logging/registry_value.h"

#include <cstring>

void RegistryValue::SetValue(DWORD type, const void* bytes, DWORD size)
{
    type_ = type;
    data_.assign(size, 0);
    if (size != 0 && bytes != nullptr)
        std::memcpy(data_.data(), bytes, size);
    const LSTATUS result = ::RegSetValueExW(key_, name_.c_str(), 0, type_, data_.data(), size);
    ::SetLastError(static_cast<DWORD>(result));
}
