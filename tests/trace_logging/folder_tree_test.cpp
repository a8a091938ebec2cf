#include <gtest/gtest.h>

#include <windows.h>

#include "sdk/unique_handle.h"
#include "test_folder.h"
#include "trace_logging/folder_tree.h"
#include "unix_side.h"

namespace {

TEST(JoinPathTest, AddsExactlyOneSeparator)
{
    struct Case
    {
        const wchar_t* path;
        const wchar_t* part;
        const wchar_t* joined;
    };
    for (const Case& c : {Case{L"C:\\Product", L"Logs", L"C:\\Product\\Logs"},
                          Case{L"C:\\Product\\", L"Logs", L"C:\\Product\\Logs"},
                          Case{L"C:/Product/", L"Logs", L"C:/Product/Logs"},
                          Case{L"C:\\Product", L"\\\\/Logs", L"C:\\Product\\Logs"},
                          Case{L"", L"Logs", L"Logs"}, Case{L"", L"\\Logs", L"Logs"},
                          Case{L"C:\\Product", L"", L"C:\\Product\\"}})
        EXPECT_EQ(JoinPath(c.path, c.part), c.joined) << c.path << L" + " << c.part;
}

class FolderTreeTest : public ::testing::Test
{
protected:
    TestFolder root{L"folder_tree_files"};
};

TEST_F(FolderTreeTest, EnsureDirectoryCreatesMissingParents)
{
    const std::wstring deep = root / L"Logs\\ARK\\ETL";
    EXPECT_TRUE(EnsureDirectory(deep));
    EXPECT_TRUE(PathExists(deep));
    EXPECT_TRUE(EnsureDirectory(deep + L"\\")) << "an existing folder is fine";
}

TEST_F(FolderTreeTest, DeleteFolderRemovesTheTreeIncludingReadOnlyEntries)
{
    const std::wstring etl = root / L"ETL";
    EnsureDirectory(etl + L"\\sub\\deeper");
    for (const wchar_t* name : {L"a.etl", L"sub\\b.etl", L"sub\\deeper\\c.txt", L"readonly.etl"})
        WriteFile(etl + L"\\" + name);
    ASSERT_TRUE(::SetFileAttributesW((etl + L"\\readonly.etl").c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(::SetFileAttributesW((etl + L"\\sub\\deeper").c_str(), FILE_ATTRIBUTE_READONLY));

    EXPECT_TRUE(DeleteFolder(etl));
    EXPECT_FALSE(PathExists(etl));
}

TEST_F(FolderTreeTest, FileInUseStaysAndEverythingElseGoes)
{
    const std::wstring etl = root / L"ETL";
    EnsureDirectory(etl + L"\\sub");
    for (const wchar_t* name : {L"a.txt", L"halvex.etl", L"z.txt", L"sub\\b.txt"})
        WriteFile(etl + L"\\" + name);
    // As a running trace session holds its file: others may read, nobody may delete.
    UniqueKernelHandle inUse(::CreateFileW((etl + L"\\halvex.etl").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                           OPEN_EXISTING, 0, nullptr));
    if (inUse.Get() == INVALID_HANDLE_VALUE)
        FAIL() << "cannot open " << inUse.Detach();

    EXPECT_FALSE(DeleteFolder(etl));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_DIR_NOT_EMPTY));
    EXPECT_TRUE(PathExists(etl + L"\\halvex.etl"));
    for (const wchar_t* name : {L"a.txt", L"z.txt", L"sub"})
        EXPECT_FALSE(PathExists(etl + L"\\" + name)) << name;
}

TEST_F(FolderTreeTest, MissingFolderFailsWithTheLookupError)
{
    EXPECT_FALSE(DeleteFolder(root / L"missing"));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(DeleteFolder(root / L"missing\\deeper"));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST_F(FolderTreeTest, AFileInPlaceOfTheFolderIsAnErrorAndStays)
{
    const std::wstring file = root / L"ETL";
    WriteFile(file);
    ::SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(DeleteFolder(file));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_DIRECTORY));
    EXPECT_TRUE(PathExists(file));
}

// Links are made on the Linux side (CreateSymbolicLinkW is a stub in Wine); Win32 then shows a
// link to a folder as a folder with FILE_ATTRIBUTE_REPARSE_POINT.
class FolderLinkTest : public FolderTreeTest
{
protected:
    const std::wstring outside = root / L"outside";
    const std::wstring etl = root / L"ETL";

    void SetUp() override
    {
        EnsureDirectory(outside + L"\\full\\sub");
        EnsureDirectory(outside + L"\\empty");
        WriteFile(outside + L"\\full\\precious.txt");
        WriteFile(outside + L"\\full\\sub\\precious2.txt");
        EnsureDirectory(etl);
        WriteFile(etl + L"\\own.etl");
    }

    void MakeLink(const std::wstring& target, const std::wstring& link)
    {
        ASSERT_TRUE(MakeUnixSymlink(target, link));
        ASSERT_EQ(::GetFileAttributesW(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT,
                  static_cast<DWORD>(FILE_ATTRIBUTE_REPARSE_POINT));
    }

    void ExpectTargetsUntouched()
    {
        EXPECT_TRUE(PathExists(outside + L"\\full\\precious.txt"));
        EXPECT_TRUE(PathExists(outside + L"\\full\\sub\\precious2.txt"));
        EXPECT_TRUE(PathExists(outside + L"\\empty"));
    }
};

TEST_F(FolderLinkTest, LinksInsideTheFolderAreNotFollowed)
{
    MakeLink(outside + L"\\full", etl + L"\\to_full");
    // Removing a link to an empty folder through Wine would remove the folder itself.
    MakeLink(outside + L"\\empty", etl + L"\\to_empty");

    DeleteFolder(etl);
    ExpectTargetsUntouched();
    EXPECT_FALSE(PathExists(etl + L"\\own.etl"));
}

TEST_F(FolderLinkTest, AFolderThatIsItselfALinkIsNotEmptied)
{
    const std::wstring linkedEtl = root / L"LinkedETL";
    MakeLink(outside + L"\\full", linkedEtl);

    DeleteFolder(linkedEtl);
    ExpectTargetsUntouched();
}

} // namespace
