#pragma once

class LogHandle
{
public:
    LogHandle() = default;
    ~LogHandle() { Release(); }
    LogHandle(const LogHandle&) = delete;
    LogHandle& operator=(const LogHandle&) = delete;
    void Acquire();
    void Release();
};
