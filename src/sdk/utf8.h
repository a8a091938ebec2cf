#pragma once
#include <string>

#include "sdk/qv_string.h"

namespace qv {

// UTF-8 is the only multibyte encoding the module uses. A null source converts as the empty
// string; a conversion the platform refuses yields an allocated empty string.
AString ToUtf8(const wchar_t* text);
WString FromUtf8(const char* text);

inline AString ToUtf8(const WString& text) { return ToUtf8(text.c_str()); }
inline std::string ToUtf8String(const wchar_t* text) { return ToUtf8(text).c_str(); }

} // namespace qv
