#pragma once
#include "sdk/shared_instance.h"

namespace logging {
class CLogDLL;
}

// A holder's references on the shared log.dll binding. While any holder keeps one, the library
// stays loaded; the release of the last one unloads it.
class LogHandle
{
public:
    LogHandle();
    ~LogHandle(); // releases

    LogHandle(const LogHandle&) = delete;
    LogHandle& operator=(const LogHandle&) = delete;

    // Takes one more reference, binding log.dll if no one holds it.
    void Acquire();
    // Drops every reference this handle took.
    void Release();

    // The binding seen at the last Acquire; null after Release.
    logging::CLogDLL* Binding() const;

private:
    SharedReference<logging::CLogDLL> reference_;
};
