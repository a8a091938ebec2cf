#include "sdk/id_text.h"

#include <cstdio>

namespace qv {

WString IdText(const InterfaceId& id)
{
    wchar_t buffer[38] = {};
    _snwprintf(buffer, 37, L"%08llx-%04llx-%04llx-%04llx-%012llx", static_cast<unsigned long long>(id.w3),
               static_cast<unsigned long long>(id.w2 >> 16), static_cast<unsigned long long>(id.w2 & 0xFFFF),
               static_cast<unsigned long long>(id.w1 >> 16),
               (static_cast<unsigned long long>(id.w1 & 0xFFFF) << 32) | id.w0);
    return WString(buffer);
}

} // namespace qv
