// The demo host as a person runs it: a child process with its own data folder, judged by its
// exit code, its console report, the settings file and the log it leaves behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <json/json.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "module/testing/qv_module_library.h"
#include "sdk/unique_handle.h"
#include "sdk/utf8.h"

namespace {

const std::wstring kDemoFolder = L"..\\demo\\";

void RemoveTree(const std::wstring& path)
{
    WIN32_FIND_DATAW entry;
    UniqueFindHandle find(::FindFirstFileW((path + L"\\*").c_str(), &entry));
    if (find)
    {
        do
        {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring child = path + L"\\" + name;
            ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                ::DeleteFileW(child.c_str());
        } while (::FindNextFileW(find.Get(), &entry));
    }
    ::RemoveDirectoryW(path.c_str());
}

class ScratchFolder
{
public:
    explicit ScratchFolder(const std::wstring& name)
        : path_(TestProgramFolder() + L"demo_test_" + name + L"_" + std::to_wstring(::GetCurrentProcessId()))
    {
        RemoveTree(path_);
        ::CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~ScratchFolder() { RemoveTree(path_); }
    std::wstring operator/(const std::wstring& child) const { return path_ + L"\\" + child; }
    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
};

std::string ReadText(const std::wstring& path)
{
    std::ifstream file(path.c_str(), std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void WriteText(const std::wstring& path, const std::string& text)
{
    std::ofstream(path.c_str(), std::ios::binary) << text;
}

struct RunResult
{
    DWORD exitCode = 0xFFFFFFFF;
    std::string output; // stdout and stderr together
    bool Shows(const std::string& text) const { return output.find(text) != std::string::npos; }
};

// Runs exe with arguments, its output going to a file in outputFolder.
RunResult RunHost(const std::wstring& exe, const std::wstring& arguments, const std::wstring& outputFolder)
{
    RunResult run;
    const std::wstring outputFile = outputFolder + L"\\console.txt";
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const HANDLE raw = ::CreateFileW(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
    UniqueKernelHandle output(raw == INVALID_HANDLE_VALUE ? nullptr : raw);
    if (!output)
        return run;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = output.Get();
    startup.hStdError = output.Get();
    std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                          &process))
        return run;
    UniqueKernelHandle processHandle(process.hProcess);
    UniqueKernelHandle threadHandle(process.hThread);
    if (::WaitForSingleObject(process.hProcess, 120000) != WAIT_OBJECT_0)
    {
        ::TerminateProcess(process.hProcess, 99);
        ::WaitForSingleObject(process.hProcess, 5000);
    }
    ::GetExitCodeProcess(process.hProcess, &run.exitCode);
    output.Reset();
    run.output = ReadText(outputFile);
    return run;
}

std::wstring DemoExe()
{
    return TestProgramFolder() + kDemoFolder + L"demo_host.exe";
}

std::vector<std::string> PersistedObjects(const std::wstring& settingsFile)
{
    std::vector<std::string> objects;
    Json::Value root;
    std::istringstream text(ReadText(settingsFile));
    Json::CharReaderBuilder reader;
    std::string errors;
    if (!Json::parseFromStream(reader, text, &root, &errors))
        return objects;
    for (const Json::Value& element : root["/FileScan.MalwareMonitor/"]["/Status"]["detections"])
        objects.push_back(element["object"].asString());
    return objects;
}

std::vector<std::string> ExpectedList(const ScratchFolder& data)
{
    const std::string files = qv::ToUtf8String((data / L"files\\").c_str());
    return {files + "invoice.exe", files + "archive.zip=>inner\\dropper.exe", files + "late.exe"};
}

TEST(DemoHost, BuiltInDayThenASecondRunLoadsTheListBack)
{
    ScratchFolder data(L"day");
    const RunResult first = RunHost(DemoExe(), L"--data \"" + data.Path() + L"\"", data.Path());
    ASSERT_EQ(first.exitCode, 0u) << first.output;

    EXPECT_TRUE(first.Shows("list loaded from the settings store: 0 detections")) << first.output;
    // Full scan, recheck with the cached detection, recheck after the deletion.
    for (const char* status : {"malware present = yes, count = 3", "malware present = yes, count = 4"})
        EXPECT_TRUE(first.Shows(status)) << status << "\n" << first.output;
    EXPECT_TRUE(first.Shows("statuses received by the listener: 3")) << first.output;
    EXPECT_FALSE(first.Shows("UNEXPECTED")) << first.output;
    EXPECT_FALSE(first.Shows("FAILED")) << first.output;
    EXPECT_TRUE(first.Shows("trace session \"halvex\" running = yes")) << first.output;
    EXPECT_TRUE(first.Shows("m_setting_changed: FileScan/MalwareMonitor/Enabled")) << first.output;
    EXPECT_TRUE(first.Shows("every plug-in given back")) << first.output;

    // The second recheck no longer targets the deleted file.
    const size_t secondRecheck = first.output.rfind("silent task targets");
    ASSERT_NE(secondRecheck, std::string::npos) << first.output;
    const std::string lastTargets = first.output.substr(secondRecheck, first.output.find("[", secondRecheck) - secondRecheck);
    EXPECT_EQ(lastTargets.find("setup.exe"), std::string::npos) << lastTargets;
    EXPECT_NE(lastTargets.find("late.exe"), std::string::npos) << lastTargets;

    EXPECT_EQ(PersistedObjects(data / L"settings.json"), ExpectedList(data));
    const std::string log = ReadText(data / L"demo.log");
    EXPECT_NE(log.find("MalwareMonitorAL::StartRecheck"), std::string::npos) << "log file missing or empty";
    EXPECT_NE(log.find("DEBUG"), std::string::npos) << "level names in the log lines";

    const RunResult second = RunHost(DemoExe(), L"--data \"" + data.Path() + L"\"", data.Path());
    ASSERT_EQ(second.exitCode, 0u) << second.output;
    EXPECT_TRUE(second.Shows("list loaded from the settings store: 3 detections")) << second.output;
    for (const std::string& object : ExpectedList(data))
        EXPECT_TRUE(second.Shows("  " + object + "  [")) << object << "\n" << second.output;
    EXPECT_EQ(PersistedObjects(data / L"settings.json"), ExpectedList(data));
}

struct BadScenarioCase
{
    const char* name;
    const char* content; // nullptr: the file does not exist
    const char* message;
};

class BadScenario : public ::testing::TestWithParam<BadScenarioCase>
{
};

TEST_P(BadScenario, IsRefusedWithAMessageAndNothingRuns)
{
    ScratchFolder folder(L"bad");
    const std::wstring scenario = folder / L"scenario.json";
    if (GetParam().content != nullptr)
        WriteText(scenario, GetParam().content);
    const RunResult run = RunHost(DemoExe(), L"--data \"" + (folder / L"data") + L"\" --scenario \"" + scenario + L"\"",
                                  folder.Path());
    EXPECT_NE(run.exitCode, 0u);
    EXPECT_TRUE(run.Shows(GetParam().message)) << run.output;
    EXPECT_FALSE(run.Shows("QvCreateObject")) << run.output;
}

INSTANTIATE_TEST_SUITE_P(
    DemoHost, BadScenario,
    ::testing::Values(BadScenarioCase{"Missing", nullptr, "cannot read the scenario file"},
                      BadScenarioCase{"NotJson", "{ steps: [", "does not fit: not valid JSON"},
                      BadScenarioCase{"NoSteps", "{\"steps\": []}", "non-empty array \"steps\""},
                      BadScenarioCase{"UnknownAction", "{\"steps\": [{\"do\": \"fly\"}]}", "step 1: unknown action \"fly\""},
                      BadScenarioCase{"MissingArgument", "{\"steps\": [{\"do\": \"create_monitor\"}, {\"do\": \"on_access\", \"object\": \"a\"}]}",
                                      "step 2 (on_access): missing \"threat\""},
                      BadScenarioCase{"WrongType", "{\"steps\": [{\"do\": \"full_scan\", \"threats\": [\"a\"]}]}",
                                      "\"threats\" must be an array of"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DemoHost, ScenarioFileDrivesTheRunAndAFailingStepGivesNonZero)
{
    ScratchFolder folder(L"custom");
    const std::wstring scenario = folder / L"scenario.json";
    // StartRecheck of a monitor never enabled is refused: the host reports it and exits non-zero, yet gives all back.
    WriteText(scenario, R"({"title": "short run", "steps": [
        {"do": "create_monitor"}, {"do": "init_monitor"}, {"do": "start_recheck"},
        {"do": "uninit_monitor"}, {"do": "destroy_monitor"}, {"do": "check_plugins"}]})");
    const RunResult run = RunHost(DemoExe(), L"--data \"" + (folder / L"data") + L"\" --scenario \"" + scenario + L"\"",
                                  folder.Path());
    EXPECT_EQ(run.exitCode, 1u) << run.output;
    EXPECT_TRUE(run.Shows("running the short run")) << run.output;
    EXPECT_TRUE(run.Shows("StartRecheck -> 21  (UNEXPECTED, wanted 0)")) << run.output;
    EXPECT_TRUE(run.Shows("every plug-in given back")) << run.output;
}

TEST(DemoHost, DataFolderThatCannotBeCreatedIsReported)
{
    ScratchFolder folder(L"nodata");
    WriteText(folder / L"plain_file", "x");
    const RunResult run = RunHost(DemoExe(), L"--data \"" + (folder / L"plain_file\\data") + L"\"", folder.Path());
    EXPECT_EQ(run.exitCode, 4u) << run.output;
    EXPECT_TRUE(run.Shows("cannot create the folder")) << run.output;
}

TEST(DemoHost, WithoutLogDllTheDayStillRuns)
{
    ScratchFolder folder(L"nolog");
    for (const wchar_t* name : {L"demo_host.exe", L"qvmodule.dll"})
        ASSERT_TRUE(::CopyFileW((TestProgramFolder() + kDemoFolder + name).c_str(), (folder / name).c_str(), FALSE));
    const RunResult run = RunHost(folder / L"demo_host.exe", L"--data \"" + (folder / L"data") + L"\"", folder.Path());
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_TRUE(run.Shows("log.dll not found beside the module: the module runs without its log library"))
        << run.output;
    EXPECT_TRUE(run.Shows("every plug-in given back")) << run.output;
    EXPECT_EQ(::GetFileAttributesW((folder / L"data\\demo.log").c_str()), INVALID_FILE_ATTRIBUTES);
}

} // namespace
