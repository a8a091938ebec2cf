#pragma once
#include <stdexcept>

#include "sdk/qv_string.h"

namespace qv {

// A type mismatch in the value model; what() is the UTF-8 form of the wide message.
class ValueException : public std::runtime_error
{
public:
    explicit ValueException(const WString& message);
};

} // namespace qv
