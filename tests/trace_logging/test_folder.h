#pragma once
// A scratch folder below the test's working folder, removed with everything in it.
#include <string>

class TestFolder
{
public:
    explicit TestFolder(const std::wstring& name);
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    // Full Windows path, no trailing backslash.
    const std::wstring& Path() const { return path_; }
    std::wstring operator/(const std::wstring& child) const { return path_ + L"\\" + child; }

private:
    std::wstring path_;
};

bool PathExists(const std::wstring& path);
void WriteFile(const std::wstring& path, const char* content = "data");
// Removes a tree without following links (under Wine, through the Linux side).
void RemoveTree(const std::wstring& path);
