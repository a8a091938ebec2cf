#include "console_report.h"

#include <cstdio>
#include <mutex>

#include "sdk/utf8.h"

namespace console_report {
namespace {

std::mutex g_lock;

void Line(const std::string& text)
{
    std::lock_guard<std::mutex> guard(g_lock);
    std::fputs(text.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout); // log.dll writes to stderr: keep the order readable
}

} // namespace

std::string Narrow(const std::wstring& text)
{
    return qv::ToUtf8String(text.c_str());
}

void Heading(const std::string& text)
{
    Line("");
    Line("== " + text);
}

void Step(int number, const std::string& what, uint32_t result, uint32_t expected)
{
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "[%2d] ", number);
    std::string text = prefix + what + " -> " + std::to_string(result);
    if (result != expected)
        text += "  (UNEXPECTED, wanted " + std::to_string(expected) + ")";
    Line(text);
}

void Note(int number, const std::string& what)
{
    char prefix[16];
    std::snprintf(prefix, sizeof prefix, "[%2d] ", number);
    Line(prefix + what);
}

void Detail(const std::string& text)
{
    Line("       " + text);
}

void DetailList(const std::string& title, const std::vector<std::wstring>& items)
{
    Detail(title + " (" + std::to_string(items.size()) + "):");
    for (const std::wstring& item : items)
        Detail("  " + Narrow(item));
}

void Error(const std::string& text)
{
    std::lock_guard<std::mutex> guard(g_lock);
    std::fflush(stdout);
    std::fprintf(stderr, "demo_host: %s\n", text.c_str());
    std::fflush(stderr);
}

} // namespace console_report
