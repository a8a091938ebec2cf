#include "listed_files.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <vector>

#include "malware_monitor/testing/threat_builders.h"
#include "sdk/unique_handle.h"

namespace bench {
namespace {

class FileFolder
{
public:
    explicit FileFolder(size_t count)
    {
        wchar_t temp[MAX_PATH + 1] = {};
        ::GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"qv_bench_files_" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
                  std::to_wstring(count);
        if (!::CreateDirectoryW(folder_.c_str(), nullptr))
            Fail(L"cannot create", folder_);
        for (size_t i = 0; i < count; ++i)
        {
            const bool archived = i % 10 == 0;
            const std::wstring file =
                folder_ + (archived ? L"\\archive_" : L"\\file_") + std::to_wstring(i) + (archived ? L".zip" : L".exe");
            const HANDLE created = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
            if (created == INVALID_HANDLE_VALUE)
                Fail(L"cannot create", file);
            UniqueKernelHandle closed(created);
            files_.push_back(file);
            const std::wstring object = archived ? file + L"=>inner\\dropper.exe" : file;
            list_.items.push_back(testing_records::Item(object.c_str(), L"Trojan.Generic"));
        }
    }

    ~FileFolder()
    {
        for (const std::wstring& file : files_)
            ::DeleteFileW(file.c_str());
        ::RemoveDirectoryW(folder_.c_str());
    }

    FileFolder(const FileFolder&) = delete;
    FileFolder& operator=(const FileFolder&) = delete;

    const LiteralList& List() const { return list_; }

private:
    [[noreturn]] static void Fail(const wchar_t* what, const std::wstring& path)
    {
        std::fwprintf(stderr, L"%ls %ls (error %lu)\n", what, path.c_str(), ::GetLastError());
        std::exit(2);
    }

    std::wstring folder_;
    std::vector<std::wstring> files_;
    LiteralList list_;
};

} // namespace

const LiteralList& ExistingListedFiles(size_t count)
{
    // Destroyed, and the files deleted, when main returns.
    static std::map<size_t, std::unique_ptr<FileFolder>> folders;
    std::unique_ptr<FileFolder>& folder = folders[count];
    if (!folder)
        folder = std::make_unique<FileFolder>(count);
    return folder->List();
}

} // namespace bench
