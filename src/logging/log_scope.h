#pragma once
#include <cstdint>

// Call trace of one method: "-> %s" on entry and "<- %s [%d]" with the elapsed milliseconds on
// exit, both at Debug level. Place it as the method's first statement with the qualified name.
class LogScope
{
public:
    explicit LogScope(const wchar_t* scopeName);
    ~LogScope();

    LogScope(const LogScope&) = delete;
    LogScope& operator=(const LogScope&) = delete;

private:
    static constexpr int kNameCapacity = 260;

    uint32_t startTick_;
    wchar_t displayName_[kNameCapacity]; // name cut to 257 characters, then "()"
    wchar_t scopeName_[kNameCapacity];   // name cut to 259 characters
};
