#include "sdk/value_exception.h"

#include "sdk/utf8.h"

namespace qv {

ValueException::ValueException(const WString& message) : std::runtime_error(ToUtf8String(message.c_str())) {}

} // namespace qv
