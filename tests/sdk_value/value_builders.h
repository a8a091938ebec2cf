#pragma once
#include <initializer_list>
#include <string>
#include <utility>

#include "sdk/qv_value.h"
#include "sdk/utf8.h"

namespace value_test {

inline qv::Value Arr(std::initializer_list<qv::Value> items)
{
    qv::Value array = qv::Value::NewArray();
    for (const qv::Value& item : items)
        array.Append(item);
    return array;
}

inline qv::Value Dict(std::initializer_list<std::pair<const wchar_t*, qv::Value>> entries)
{
    qv::Value dict = qv::Value::NewDict();
    for (const auto& entry : entries)
        dict[entry.first] = entry.second;
    return dict;
}

// The text form as UTF-8, the way it reaches an exception's what().
inline std::string Text(const qv::Value& value) { return qv::ToUtf8String(value.ToString().c_str()); }

} // namespace value_test
