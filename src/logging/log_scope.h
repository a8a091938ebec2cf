#pragma once

class LogScope
{
public:
    explicit LogScope(const wchar_t* scopeName);
    ~LogScope();
    LogScope(const LogScope&) = delete;
    LogScope& operator=(const LogScope&) = delete;
};
