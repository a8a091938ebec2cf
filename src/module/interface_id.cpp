#include "module/interface_id.h"

#include <cwchar>

InterfaceId InterfaceId::FromText(const wchar_t* text)
{
    unsigned long long a = 0, b = 0, c = 0, d = 0, e = 0;
    if (text != nullptr)
    {
        const wchar_t* format = (text[0] == L'{') ? L"{%llx-%llx-%llx-%llx-%llx}" : L"%llx-%llx-%llx-%llx-%llx";
        swscanf(text, format, &a, &b, &c, &d, &e);
    }
    const unsigned long long high = (a << 32) + (b << 16) + c;
    const unsigned long long low = (d << 48) + e;
    return InterfaceId(static_cast<uint32_t>(low), static_cast<uint32_t>(low >> 32),
                       static_cast<uint32_t>(high), static_cast<uint32_t>(high >> 32));
}
