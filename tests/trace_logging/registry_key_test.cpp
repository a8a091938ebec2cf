#include <gtest/gtest.h>

#include <algorithm>

#include "registry_probe.h"
#include "trace_logging/registry_key.h"

namespace {

using registry_probe::kAutologgerRoot;

std::vector<std::wstring> Sorted(const std::vector<qv::WString>& names)
{
    std::vector<std::wstring> result;
    for (const qv::WString& name : names)
        result.emplace_back(name.c_str());
    std::sort(result.begin(), result.end());
    return result;
}

class RegistryKeyTest : public ::testing::Test
{
protected:
    const std::wstring base = kAutologgerRoot + L"\\qv_test_registry_key";

    void SetUp() override { registry_probe::DeleteTree(base); }
    void TearDown() override
    {
        registry_probe::DeleteTree(base);
        EXPECT_FALSE(registry_probe::KeyExists(base)) << "test key left behind";
    }

    RegistryKey CreateBase()
    {
        RegistryKey key;
        EXPECT_EQ(key.Create(HKEY_LOCAL_MACHINE, base.c_str(), KEY_ALL_ACCESS), ERROR_SUCCESS);
        return key;
    }
};

TEST_F(RegistryKeyTest, MissingValueReportsTwoAndCanStillBeWritten)
{
    RegistryKey key = CreateBase();
    RegistryValue value = key.QueryValue(L"Fresh");
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(value.Type(), 0u);
    EXPECT_TRUE(value.Data().empty());
    EXPECT_STREQ(value.Name().c_str(), L"Fresh");
    EXPECT_EQ(value.Key(), key.Handle());

    const uint32_t number = 0x12345678;
    value.SetValue(REG_DWORD, &number, sizeof number);
    EXPECT_EQ(::GetLastError(), 0u);
    const auto stored = registry_probe::Read(base, L"Fresh");
    EXPECT_EQ(stored.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(stored.bytes, registry_probe::DwordBytes(number));
}

TEST_F(RegistryKeyTest, ExistingValueComesBackWithTypeAndBytesAndClearsLastError)
{
    const std::wstring text = L"C:\\some\\file.etl";
    const auto bytes = registry_probe::SzBytes(text);
    registry_probe::Write(base, L"FileName", REG_SZ, bytes.data(), static_cast<DWORD>(bytes.size()));
    RegistryKey key;
    ASSERT_EQ(key.Open(HKEY_LOCAL_MACHINE, base.c_str(), KEY_ALL_ACCESS), ERROR_SUCCESS);

    ::SetLastError(ERROR_INVALID_FUNCTION);
    const RegistryValue value = key.QueryValue(L"FileName");
    EXPECT_EQ(::GetLastError(), 0u);
    EXPECT_EQ(value.Type(), static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(value.Data(), bytes);
}

TEST_F(RegistryKeyTest, DefaultValueIsWrittenForAnEmptyName)
{
    RegistryKey key = CreateBase();
    RegistryValue value = key.QueryValue(nullptr);
    const uint64_t number = 7;
    value.SetValue(REG_QWORD, &number, sizeof number);
    EXPECT_EQ(::GetLastError(), 0u);
    EXPECT_EQ(registry_probe::Read(base, L"").bytes, registry_probe::QwordBytes(7));
}

TEST_F(RegistryKeyTest, FailedOpenKeepsTheKeyHeldSoFar)
{
    RegistryKey key = CreateBase();
    const HKEY held = key.Handle();
    EXPECT_EQ(key.Open(HKEY_LOCAL_MACHINE, (base + L"\\missing").c_str(), KEY_ALL_ACCESS), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key.Handle(), held);
    RegistryValue value = key.QueryValue(L"StillUsable");
    value.SetValue(REG_SZ, L"", 2);
    EXPECT_EQ(::GetLastError(), 0u);
    EXPECT_TRUE(registry_probe::Read(base, L"StillUsable").exists);
}

TEST_F(RegistryKeyTest, EnumerationWithoutAKeyGivesNothingAndInvalidState)
{
    const RegistryKey key;
    ::SetLastError(0);
    EXPECT_TRUE(key.GetValueNames().empty());
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_STATE));
    ::SetLastError(0);
    EXPECT_TRUE(key.GetSubkeyNames().empty());
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_STATE));
}

TEST_F(RegistryKeyTest, EnumeratesValueAndSubkeyNames)
{
    const uint32_t one = 1;
    for (const wchar_t* name : {L"Start", L"A rather longer value name than the others", L"x"})
        registry_probe::Write(base, name, REG_DWORD, &one, sizeof one);
    for (const wchar_t* child : {L"{C041D9E4-266F-4144-86F4-B031A570505A}", L"b"})
        registry_probe::Write(base + L"\\" + child, L"v", REG_DWORD, &one, sizeof one);

    RegistryKey key;
    ASSERT_EQ(key.Open(HKEY_LOCAL_MACHINE, base.c_str(), KEY_ALL_ACCESS), ERROR_SUCCESS);
    ::SetLastError(ERROR_INVALID_FUNCTION);
    EXPECT_EQ(Sorted(key.GetValueNames()),
              (std::vector<std::wstring>{L"A rather longer value name than the others", L"Start", L"x"}));
    EXPECT_EQ(::GetLastError(), 0u);
    EXPECT_EQ(Sorted(key.GetSubkeyNames()),
              (std::vector<std::wstring>{L"b", L"{C041D9E4-266F-4144-86F4-B031A570505A}"}));
    EXPECT_EQ(::GetLastError(), 0u);
}

TEST_F(RegistryKeyTest, RecursiveDeleteOfMissingSubkeyGivesTwoAndDeletesNothing)
{
    const uint32_t one = 1;
    registry_probe::Write(base + L"\\sibling", L"v", REG_DWORD, &one, sizeof one);
    RegistryKey key;
    ASSERT_EQ(key.Open(HKEY_LOCAL_MACHINE, base.c_str(), KEY_ALL_ACCESS), ERROR_SUCCESS);
    EXPECT_EQ(key.DeleteSubkey(L"missing", true), ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(registry_probe::Read(base + L"\\sibling", L"v").exists);
}

TEST_F(RegistryKeyTest, RecursiveDeleteRemovesAThreeLevelTreeAndOnlyIt)
{
    const uint32_t one = 1;
    const std::wstring top = base + L"\\top";
    for (const std::wstring& path : {top, top + L"\\mid1", top + L"\\mid1\\leaf", top + L"\\mid2", base + L"\\keep"})
    {
        registry_probe::Write(path, L"v1", REG_DWORD, &one, sizeof one);
        registry_probe::Write(path, L"v2", REG_SZ, L"t", 4);
    }
    RegistryKey key;
    ASSERT_EQ(key.Open(HKEY_LOCAL_MACHINE, base.c_str(), KEY_ALL_ACCESS), ERROR_SUCCESS);
    EXPECT_EQ(key.DeleteSubkey(L"top", true), ERROR_SUCCESS);
    EXPECT_FALSE(registry_probe::KeyExists(top));
    EXPECT_TRUE(registry_probe::Read(base + L"\\keep", L"v2").exists);
    EXPECT_EQ(registry_probe::SubkeyNames(base), std::vector<std::wstring>{L"keep"});
}

TEST_F(RegistryKeyTest, NonRecursiveDeleteLeavesAKeyWithChildren)
{
    const uint32_t one = 1;
    registry_probe::Write(base + L"\\parent\\child", L"v", REG_DWORD, &one, sizeof one);
    RegistryKey key;
    ASSERT_EQ(key.Open(HKEY_LOCAL_MACHINE, base.c_str(), KEY_ALL_ACCESS), ERROR_SUCCESS);
    EXPECT_NE(key.DeleteSubkey(L"parent", false), ERROR_SUCCESS);
    EXPECT_TRUE(registry_probe::KeyExists(base + L"\\parent\\child"));
    EXPECT_EQ(key.DeleteSubkey(L"parent\\child", false), ERROR_SUCCESS);
    EXPECT_EQ(key.DeleteSubkey(L"parent", false), ERROR_SUCCESS);
    EXPECT_FALSE(registry_probe::KeyExists(base + L"\\parent"));
}

} // namespace
