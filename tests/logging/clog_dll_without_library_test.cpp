#include <windows.h>

#include <gtest/gtest.h>

#include "logging/clog_dll.h"
#include "logging/log_level.h"
#include "module/testing/qv_module_library.h"
#include "sdk/unique_handle.h"

namespace {

HRESULT CallWrite(logging::LogWriteFunction write, const wchar_t* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    const uint32_t level = static_cast<uint32_t>(LogLevel::Error);
    const HRESULT result = write(0, &level, nullptr, L"Test::NoLibrary", format, arguments);
    va_end(arguments);
    return result;
}

// The nolog folder holds a copy of the module and no log.dll.
TEST(CLogDLLWithoutLibrary, WritesGoNowhereAndAnswerNoInterface)
{
    ASSERT_EQ(::GetModuleHandleW(L"log.dll"), nullptr) << "an earlier test kept log.dll loaded";
    const UniqueModule owner(::LoadLibraryW((TestProgramFolder() + L"nolog\\qvmodule.dll").c_str()));
    ASSERT_TRUE(owner);

    logging::CLogDLL binding(owner.Get());
    EXPECT_FALSE(binding.library);
    ASSERT_NE(binding.LogWrite, nullptr);
    EXPECT_EQ(CallWrite(binding.LogWrite, L"%s %d", L"text", 1), E_NOINTERFACE);
    EXPECT_EQ(::GetModuleHandleW(L"log.dll"), nullptr);
}

} // namespace
