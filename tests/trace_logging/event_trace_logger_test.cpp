#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

#include "heap_blocks.h"
#include "logging/log_handle.h"
#include "logging/testing/log_recorder.h"
#include "registry_probe.h"
#include "test_folder.h"
#include "trace_logging/event_trace_logger.h"
#include "trace_logging/testing/simulated_trace_control.h"

namespace {

using registry_probe::DwordBytes;
using registry_probe::kAutologgerRoot;
using registry_probe::QwordBytes;
using registry_probe::SzBytes;

constexpr const wchar_t* kProviderGuid = L"{C041D9E4-266F-4144-86F4-B031A570505A}";
constexpr GUID kProvider = {0xC041D9E4, 0x266F, 0x4144, {0x86, 0xF4, 0xB0, 0x31, 0xA5, 0x70, 0x50, 0x5A}};

template <typename T>
T FieldAt(const std::vector<uint8_t>& block, size_t offset)
{
    T value{};
    std::memcpy(&value, block.data() + offset, sizeof value);
    return value;
}

const EVENT_TRACE_PROPERTIES& PropertiesOf(const std::vector<uint8_t>& block)
{
    return *reinterpret_cast<const EVENT_TRACE_PROPERTIES*>(block.data());
}

std::wstring NameAt(const std::vector<uint8_t>& block, size_t offset)
{
    return std::wstring(reinterpret_cast<const wchar_t*>(block.data() + offset));
}

class EventTraceLoggerTest : public ::testing::Test
{
protected:
    LogRecorder recorder;
    LogHandle logHandle; // the module writes only while someone holds the binding
    const std::wstring sessionName = L"qv_test_session";
    const std::wstring sessionKey = kAutologgerRoot + L"\\" + sessionName;
    const std::wstring providerKey = sessionKey + L"\\" + kProviderGuid;
    SimulatedTraceControl simulation;
    TestFolder folder{L"trace_logger_files"};
    EventTraceLogger logger{simulation};

    void SetUp() override
    {
        ASSERT_TRUE(recorder.Loaded()) << "the recording log.dll is missing beside the test program";
        logHandle.Acquire();
        registry_probe::DeleteTree(sessionKey);
        logger.sessionName = sessionName.c_str();
        logger.logFilePath = (folder / L"qv_test_session.etl").c_str();
        logger.providerGuid = kProviderGuid;
        logger.enableLevel = 255;
        logger.matchAnyKeyword = L"0xffffffff";
    }

    bool Logged(LogLevel level, const wchar_t* operation, const std::wstring& text) const
    {
        return recorder.Contains(level, std::wstring(L"EventTraceLogger::") + operation, text);
    }

    std::vector<std::wstring> EnteredScopes() const
    {
        std::vector<std::wstring> scopes;
        for (const LogLine& line : recorder.Lines())
            if (line.nestingChange == 1)
                scopes.push_back(line.scope);
        return scopes;
    }

    void TearDown() override
    {
        simulation.StopAll();
        registry_probe::DeleteTree(sessionKey);
        for (const std::wstring& name : registry_probe::SubkeyNames(kAutologgerRoot))
            EXPECT_NE(name.rfind(L"qv_test", 0), 0u) << "left behind: " << std::string(name.begin(), name.end());
    }
};

// --- registry --------------------------------------------------------------------------------

struct StoredCase
{
    const wchar_t* name;
    const wchar_t* text;
    DWORD type;
    std::vector<uint8_t> stored;
};

TEST_F(EventTraceLoggerTest, WriteRegKeysCreatesTheKeyAndStoresEachTypeExactly)
{
    const std::vector<StoredCase> cases = {
        {L"Text", L"C:\\Logs\\ARK\\ETL\\halvex.etl", REG_SZ, SzBytes(L"C:\\Logs\\ARK\\ETL\\halvex.etl")},
        {L"EmptyText", L"", REG_SZ, SzBytes(L"")},
        {L"Decimal", L"500", REG_DWORD, DwordBytes(500)},
        {L"DecimalSigned", L"  -7 apples", REG_DWORD, DwordBytes(static_cast<uint32_t>(-7))},
        {L"DecimalNoDigits", L"none", REG_DWORD, DwordBytes(0)},
        {L"HexMask", L"0xffffffff", REG_QWORD, QwordBytes(4294967295ull)},
        {L"HexZero", L"0", REG_QWORD, QwordBytes(0)},
        {L"HexWide", L"FFFFFFFFFFFFFFFF", REG_QWORD, QwordBytes(~0ull)},
    };
    std::vector<RegistrySetting> settings;
    for (const StoredCase& c : cases)
        settings.push_back({c.name, c.text, c.type});

    ASSERT_FALSE(registry_probe::KeyExists(sessionKey));
    EXPECT_EQ(logger.WriteRegKeys(sessionKey, settings), 0u);
    EXPECT_TRUE(Logged(LogLevel::Info, L"WriteRegKeys", L"Adding values from key: " + sessionKey));
    EXPECT_TRUE(Logged(LogLevel::Info, L"WriteRegKeys", L"Key not exists - we will create it!"));
    for (const StoredCase& c : cases)
    {
        SCOPED_TRACE(std::string(c.name, c.name + wcslen(c.name)));
        const auto stored = registry_probe::Read(sessionKey, c.name);
        EXPECT_EQ(stored.type, c.type);
        EXPECT_EQ(stored.bytes, c.stored);
    }
}

TEST_F(EventTraceLoggerTest, WriteRegKeysOverwritesListedValuesAndKeepsOthers)
{
    registry_probe::Write(sessionKey, L"Start", REG_SZ, L"old", 8);
    const uint32_t other = 42;
    registry_probe::Write(sessionKey, L"Other", REG_DWORD, &other, sizeof other);

    EXPECT_EQ(logger.WriteRegKeys(sessionKey, {{L"Start", L"1", REG_DWORD}}), 0u);
    EXPECT_FALSE(Logged(LogLevel::Info, L"WriteRegKeys", L"Key not exists - we will create it!"));
    EXPECT_EQ(registry_probe::Read(sessionKey, L"Start").type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(registry_probe::Read(sessionKey, L"Start").bytes, DwordBytes(1));
    EXPECT_EQ(registry_probe::Read(sessionKey, L"Other").bytes, DwordBytes(42));
}

TEST_F(EventTraceLoggerTest, UnreadableQwordTextIsAnErrorResultAndStopsTheWrites)
{
    struct BadText
    {
        const wchar_t* text;
        DWORD expected;
    };
    for (const BadText& bad : {BadText{L"zz", ERROR_INVALID_PARAMETER}, BadText{L"", ERROR_INVALID_PARAMETER},
                               BadText{L"0x1FFFFFFFFFFFFFFFF", ERROR_ARITHMETIC_OVERFLOW}})
    {
        SCOPED_TRACE(std::string(bad.text, bad.text + wcslen(bad.text)));
        registry_probe::DeleteTree(sessionKey);
        DWORD result = 0;
        EXPECT_NO_THROW(result = logger.WriteRegKeys(sessionKey, {{L"Before", L"1", REG_DWORD},
                                                                  {L"Mask", bad.text, REG_QWORD},
                                                                  {L"After", L"1", REG_DWORD}}));
        EXPECT_EQ(result, bad.expected);
        EXPECT_TRUE(Logged(LogLevel::Error, L"WriteRegKeys", L"Error for setting Mask"));
        EXPECT_TRUE(registry_probe::Read(sessionKey, L"Before").exists);
        EXPECT_FALSE(registry_probe::Read(sessionKey, L"Mask").exists);
        EXPECT_FALSE(registry_probe::Read(sessionKey, L"After").exists);
    }
}

TEST_F(EventTraceLoggerTest, ActivateAutologgerWritesTheSessionAndProviderKeys)
{
    ASSERT_EQ(logger.ActivateAutologger(), 0u);

    const std::wstring file = logger.logFilePath.c_str();
    const std::vector<StoredCase> session = {
        {L"FileName", nullptr, REG_SZ, SzBytes(file)},   {L"Guid", nullptr, REG_SZ, SzBytes(kProviderGuid)},
        {L"LogFileMode", nullptr, REG_DWORD, DwordBytes(258)}, {L"MaxFileSize", nullptr, REG_DWORD, DwordBytes(500)},
        {L"Start", nullptr, REG_DWORD, DwordBytes(1)},    {L"BufferSize", nullptr, REG_DWORD, DwordBytes(4)},
        {L"MinimumBuffers", nullptr, REG_DWORD, DwordBytes(8)},
        {L"MaximumBuffers", nullptr, REG_DWORD, DwordBytes(20)},
    };
    const std::vector<StoredCase> provider = {
        {L"Enabled", nullptr, REG_DWORD, DwordBytes(1)},
        {L"EnableLevel", nullptr, REG_DWORD, DwordBytes(255)},
        {L"EnableProperty", nullptr, REG_DWORD, DwordBytes(0)},
        {L"MatchAllKeyword", nullptr, REG_QWORD, QwordBytes(0)},
        {L"MatchAnyKeyword", nullptr, REG_QWORD, QwordBytes(4294967295ull)},
    };
    for (const auto& [key, values] : {std::make_pair(sessionKey, session), std::make_pair(providerKey, provider)})
    {
        EXPECT_EQ(registry_probe::ValueNames(key).size(), values.size());
        for (const StoredCase& c : values)
        {
            SCOPED_TRACE(std::string(c.name, c.name + wcslen(c.name)));
            const auto stored = registry_probe::Read(key, c.name);
            EXPECT_EQ(stored.type, c.type);
            EXPECT_EQ(stored.bytes, c.stored);
        }
    }
    EXPECT_EQ(registry_probe::Read(sessionKey, L"FileName").bytes.size(), 2 * file.size() + 2);
    EXPECT_TRUE(simulation.StartCalls().empty()) << "registry only";
}

TEST_F(EventTraceLoggerTest, ActivateAutologgerStopsAtAFailingSessionKey)
{
    // Below a volatile key no lasting key can be made: the session key cannot be created.
    const std::wstring volatileParent = kAutologgerRoot + L"\\qv_test_volatile";
    UniqueRegKey parent;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, volatileParent.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                                KEY_ALL_ACCESS, nullptr, parent.Receive(), nullptr),
              ERROR_SUCCESS);
    logger.sessionName = L"qv_test_volatile\\session";

    EXPECT_EQ(logger.ActivateAutologger(), static_cast<DWORD>(ERROR_CHILD_MUST_BE_VOLATILE));
    EXPECT_TRUE(registry_probe::SubkeyNames(volatileParent).empty());
    EXPECT_TRUE(Logged(LogLevel::Info, L"WriteRegKeys", L"Creating/opening the key returned: 1021"));
    EXPECT_TRUE(Logged(LogLevel::Error, L"ActivateAutologger", L"WriteRegKeys(1) returned 1021"));
    EXPECT_EQ(EnteredScopes(), (std::vector<std::wstring>{L"EventTraceLogger::ActivateAutologger",
                                                           L"EventTraceLogger::WriteRegKeys"}))
        << "the provider key was attempted";
    parent.Reset();
    registry_probe::DeleteTree(volatileParent);
}

TEST_F(EventTraceLoggerTest, ActivateAutologgerKeepsWhatWasWrittenBeforeAFailingProviderValue)
{
    logger.matchAnyKeyword = L"not hex";
    EXPECT_EQ(logger.ActivateAutologger(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_TRUE(Logged(LogLevel::Error, L"WriteRegKeys", L"Error for setting MatchAnyKeyword"));
    EXPECT_TRUE(Logged(LogLevel::Error, L"ActivateAutologger", L"WriteRegKeys(2) returned 87"));
    EXPECT_EQ(registry_probe::ValueNames(sessionKey).size(), 8u);
    EXPECT_TRUE(registry_probe::Read(providerKey, L"MatchAllKeyword").exists);
    EXPECT_FALSE(registry_probe::Read(providerKey, L"MatchAnyKeyword").exists);
}

TEST_F(EventTraceLoggerTest, DeleteAutoLoggerRemovesTheWholeSessionTreeOnly)
{
    const uint32_t one = 1;
    const std::wstring sibling = kAutologgerRoot + L"\\qv_test_sibling";
    registry_probe::Write(sibling, L"Start", REG_DWORD, &one, sizeof one);
    ASSERT_EQ(logger.ActivateAutologger(), 0u);
    registry_probe::Write(providerKey + L"\\deeper", L"v", REG_DWORD, &one, sizeof one);

    EXPECT_EQ(logger.DeleteAutoLogger(), 0u);
    EXPECT_TRUE(Logged(LogLevel::Info, L"DeleteAutoLogger", L"Delete key " + sessionKey));
    EXPECT_FALSE(registry_probe::KeyExists(sessionKey));
    EXPECT_TRUE(registry_probe::Read(sibling, L"Start").exists);
    EXPECT_EQ(logger.DeleteAutoLogger(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(Logged(LogLevel::Error, L"DeleteAutoLogger", L"RegDeleteKey returned 2"));
    registry_probe::DeleteTree(sibling);
}

TEST_F(EventTraceLoggerTest, EmptySessionNameIsRefusedBeforeAnyRegistryOrSessionCall)
{
    const uint32_t one = 1;
    const std::wstring sibling = kAutologgerRoot + L"\\qv_test_sibling";
    registry_probe::Write(sibling, L"Start", REG_DWORD, &one, sizeof one);
    const auto rootValues = registry_probe::ValueNames(kAutologgerRoot);
    const auto rootKeys = registry_probe::SubkeyNames(kAutologgerRoot);
    logger.sessionName = L"";

    struct Operation
    {
        const char* name;
        DWORD (EventTraceLogger::*call)();
    };
    for (const Operation& op : {Operation{"ActivateLogging", &EventTraceLogger::ActivateLogging},
                                Operation{"DisableLogging", &EventTraceLogger::DisableLogging},
                                Operation{"ActivateTracelogger", &EventTraceLogger::ActivateTracelogger},
                                Operation{"DeleteTraceLogger", &EventTraceLogger::DeleteTraceLogger},
                                Operation{"ActivateAutologger", &EventTraceLogger::ActivateAutologger},
                                Operation{"DeleteAutoLogger", &EventTraceLogger::DeleteAutoLogger}})
    {
        SCOPED_TRACE(op.name);
        recorder.Clear();
        EXPECT_NE((logger.*op.call)(), 0u);
        EXPECT_TRUE(Logged(LogLevel::Error, std::wstring(op.name, op.name + strlen(op.name)).c_str(),
                           L"Empty session name"));
        EXPECT_EQ(registry_probe::ValueNames(kAutologgerRoot), rootValues);
        EXPECT_EQ(registry_probe::SubkeyNames(kAutologgerRoot), rootKeys);
        EXPECT_TRUE(simulation.StartCalls().empty());
        EXPECT_TRUE(simulation.ControlCalls().empty());
    }
    registry_probe::DeleteTree(sibling);
}

// --- live session ----------------------------------------------------------------------------

TEST_F(EventTraceLoggerTest, AllocateTracePropertiesLaysOutTheBlock)
{
    const TracePropertiesBlock block = EventTraceLogger::AllocateTraceProperties(L"halvex", L"C:\\x\\halvex.etl");
    ASSERT_TRUE(block);
    const auto* bytes = reinterpret_cast<const uint8_t*>(block.get());
    std::vector<uint8_t> expected(2688, 0);
    const auto put32 = [&](size_t offset, uint32_t value) { std::memcpy(&expected[offset], &value, 4); };
    put32(offsetof(EVENT_TRACE_PROPERTIES, Wnode.BufferSize), 2688);
    put32(offsetof(EVENT_TRACE_PROPERTIES, Wnode.Flags), 0x20000);
    put32(offsetof(EVENT_TRACE_PROPERTIES, LogFileMode), 0x102);
    put32(offsetof(EVENT_TRACE_PROPERTIES, LogFileNameOffset), 2168);
    put32(offsetof(EVENT_TRACE_PROPERTIES, LoggerNameOffset), 120);
    std::memcpy(&expected[120], L"halvex", 7 * sizeof(wchar_t));
    std::memcpy(&expected[2168], L"C:\\x\\halvex.etl", 16 * sizeof(wchar_t));
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 2688), expected);
}

TEST_F(EventTraceLoggerTest, AllocateTracePropertiesCutsOverlongNames)
{
    const TracePropertiesBlock block =
        EventTraceLogger::AllocateTraceProperties(std::wstring(5000, L'L'), std::wstring(5000, L'F'));
    ASSERT_TRUE(block);
    const auto* bytes = reinterpret_cast<const uint8_t*>(block.get());
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(bytes + 120)), std::wstring(1023, L'L'));
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(bytes + 2168)), std::wstring(259, L'F'));
}

TEST_F(EventTraceLoggerTest, ActivateTraceloggerStartsTheSessionAndEnablesTheProvider)
{
    ASSERT_EQ(logger.ActivateTracelogger(), 0u);
    EXPECT_TRUE(simulation.IsRunning(sessionName));
    EXPECT_TRUE(PathExists(logger.logFilePath.c_str()));

    const auto starts = simulation.StartCalls();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].sessionName, sessionName);
    const std::vector<uint8_t>& block = starts[0].properties;
    ASSERT_EQ(block.size(), 2688u);
    const EVENT_TRACE_PROPERTIES& p = PropertiesOf(block);
    EXPECT_EQ(p.Wnode.Flags, 0x20000u);
    EXPECT_EQ(p.Wnode.ClientContext, 1u);
    EXPECT_TRUE(IsEqualGUID(p.Wnode.Guid, kProvider));
    EXPECT_EQ(p.BufferSize, 4u);
    EXPECT_EQ(p.MinimumBuffers, 8u);
    EXPECT_EQ(p.MaximumBuffers, 20u);
    EXPECT_EQ(p.MaximumFileSize, 500u);
    EXPECT_EQ(p.LogFileMode, 0x102u);
    EXPECT_EQ(p.FlushTimer, 0u);
    EXPECT_EQ(p.EnableFlags, 0u);
    EXPECT_EQ(NameAt(block, 120), sessionName);
    EXPECT_EQ(NameAt(block, 2168), std::wstring(logger.logFilePath.c_str()));

    const auto enables = simulation.EnableCalls();
    ASSERT_EQ(enables.size(), 1u);
    EXPECT_EQ(enables[0].enable, 1u);
    EXPECT_EQ(enables[0].enableFlags, 0xFFFFFFFFu);
    EXPECT_EQ(enables[0].enableLevel, 5u) << "the live session always uses level 5";
    EXPECT_TRUE(IsEqualGUID(enables[0].provider, kProvider));
    EXPECT_EQ(enables[0].result, 0u);
    EXPECT_EQ(simulation.EnabledProviders(sessionName).size(), 1u);
}

TEST_F(EventTraceLoggerTest, SecondStartOfARunningSessionFails)
{
    ASSERT_EQ(logger.ActivateTracelogger(), 0u);
    EXPECT_EQ(logger.ActivateTracelogger(), static_cast<DWORD>(ERROR_FUNCTION_FAILED));
    EXPECT_TRUE(Logged(LogLevel::Error, L"ActivateTracelogger", L"StartTrace failed: 183"));
    const auto starts = simulation.StartCalls();
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[1].result, static_cast<ULONG>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(simulation.EnableCalls().size(), 1u);
}

TEST_F(EventTraceLoggerTest, InvalidGuidFailsBothLiveOperationsBeforeAnySessionCall)
{
    for (const wchar_t* guid : {L"C041D9E4-266F-4144-86F4-B031A570505A", L"{C041D9E4-266F-4144-86F4-B031A57050ZZ}",
                                L"", L"{C041D9E4}"})
    {
        SCOPED_TRACE(std::string(guid, guid + wcslen(guid)));
        logger.providerGuid = guid;
        EXPECT_EQ(logger.ActivateTracelogger(), static_cast<DWORD>(ERROR_FUNCTION_FAILED));
        EXPECT_EQ(logger.DeleteTraceLogger(), static_cast<DWORD>(ERROR_FUNCTION_FAILED));
        EXPECT_TRUE(Logged(LogLevel::Error, L"ActivateTracelogger", std::wstring(L"invalid guid: ") + guid));
        EXPECT_TRUE(Logged(LogLevel::Error, L"DeleteTraceLogger", std::wstring(L"invalid guid: ") + guid));
        EXPECT_TRUE(simulation.StartCalls().empty());
        EXPECT_TRUE(simulation.ControlCalls().empty());
    }
}

TEST_F(EventTraceLoggerTest, UnreadableKeywordMaskIsAFailureNotAnException)
{
    for (const wchar_t* mask : {L"none", L"0x1FFFFFFFF"})
    {
        SCOPED_TRACE(std::string(mask, mask + wcslen(mask)));
        simulation.StopAll();
        logger.matchAnyKeyword = mask;
        DWORD result = 0;
        EXPECT_NO_THROW(result = logger.ActivateTracelogger());
        EXPECT_EQ(result, static_cast<DWORD>(ERROR_FUNCTION_FAILED));
        EXPECT_TRUE(Logged(LogLevel::Error, L"ActivateTracelogger", std::wstring(L"invalid keyword mask: ") + mask));
        EXPECT_TRUE(simulation.EnableCalls().empty());
    }
}

TEST_F(EventTraceLoggerTest, EnableFailureLeavesTheStartedSessionRunning)
{
    simulation.FailEnable(ERROR_ACCESS_DENIED);
    EXPECT_EQ(logger.ActivateTracelogger(), static_cast<DWORD>(ERROR_FUNCTION_FAILED));
    EXPECT_TRUE(Logged(LogLevel::Error, L"ActivateTracelogger", L"EnableTrace failed: 5"));
    EXPECT_TRUE(simulation.IsRunning(sessionName));
}

TEST_F(EventTraceLoggerTest, DeleteTraceLoggerStopsTheSessionByName)
{
    ASSERT_EQ(logger.ActivateTracelogger(), 0u);
    EXPECT_EQ(logger.DeleteTraceLogger(), 0u);
    EXPECT_FALSE(simulation.IsRunning(sessionName));

    const auto controls = simulation.ControlCalls();
    ASSERT_EQ(controls.size(), 1u);
    EXPECT_EQ(controls[0].handle, 0u);
    EXPECT_EQ(controls[0].sessionName, sessionName);
    EXPECT_EQ(controls[0].controlCode, static_cast<ULONG>(EVENT_TRACE_CONTROL_STOP));
    ASSERT_EQ(controls[0].properties.size(), 2688u);
    const EVENT_TRACE_PROPERTIES& p = PropertiesOf(controls[0].properties);
    EXPECT_TRUE(IsEqualGUID(p.Wnode.Guid, kProvider));
    EXPECT_EQ(p.Wnode.ClientContext, 0u) << "stopping sets only the guid";
    EXPECT_EQ(p.MaximumFileSize, 0u);
    EXPECT_TRUE(::DeleteFileW(logger.logFilePath.c_str())) << "a stopped session releases its file";
}

TEST_F(EventTraceLoggerTest, DeleteTraceLoggerWithoutARunningSessionFails)
{
    EXPECT_EQ(logger.DeleteTraceLogger(), static_cast<DWORD>(ERROR_FUNCTION_FAILED));
    EXPECT_TRUE(Logged(LogLevel::Error, L"DeleteTraceLogger", L"ControlTrace failed: 4201"));
    const auto controls = simulation.ControlCalls();
    ASSERT_EQ(controls.size(), 1u);
    EXPECT_EQ(controls[0].result, static_cast<ULONG>(ERROR_WMI_INSTANCE_NOT_FOUND));
}

// --- both together ---------------------------------------------------------------------------

TEST_F(EventTraceLoggerTest, ActivateLoggingTwiceLeavesTheFirstRegistration)
{
    ASSERT_EQ(logger.ActivateLogging(), 0u);
    EXPECT_EQ(registry_probe::Read(sessionKey, L"MaxFileSize").bytes, DwordBytes(500));

    logger.maxFileSize = 123;
    recorder.Clear();
    EXPECT_EQ(logger.ActivateLogging(), static_cast<DWORD>(ERROR_FUNCTION_FAILED));
    EXPECT_TRUE(Logged(LogLevel::Error, L"ActivateLogging", L"Failed to activate tracelogging: 1627"));
    EXPECT_EQ(EnteredScopes(), (std::vector<std::wstring>{L"EventTraceLogger::ActivateLogging",
                                                           L"EventTraceLogger::ActivateTracelogger",
                                                           L"EventTraceLogger::AllocateTraceProperties"}));
    EXPECT_EQ(registry_probe::Read(sessionKey, L"MaxFileSize").bytes, DwordBytes(500));
}

TEST_F(EventTraceLoggerTest, DisableLoggingCleansTheRegistryEvenWithoutASession)
{
    ASSERT_EQ(logger.ActivateAutologger(), 0u);
    EXPECT_EQ(logger.DisableLogging(), static_cast<DWORD>(ERROR_FUNCTION_FAILED));
    EXPECT_TRUE(Logged(LogLevel::Error, L"DisableLogging", L"Failed to delete tracelogging: 1627"));
    EXPECT_FALSE(Logged(LogLevel::Error, L"DisableLogging", L"Failed to delete autologging: 0"));
    EXPECT_FALSE(registry_probe::KeyExists(sessionKey));
}

TEST_F(EventTraceLoggerTest, DisableLoggingUndoesActivateLogging)
{
    ASSERT_EQ(logger.ActivateLogging(), 0u);
    EXPECT_EQ(EnteredScopes(),
              (std::vector<std::wstring>{L"EventTraceLogger::ActivateLogging", L"EventTraceLogger::ActivateTracelogger",
                                         L"EventTraceLogger::AllocateTraceProperties",
                                         L"EventTraceLogger::ActivateAutologger", L"EventTraceLogger::WriteRegKeys",
                                         L"EventTraceLogger::WriteRegKeys"}));
    ASSERT_TRUE(registry_probe::KeyExists(providerKey));
    EXPECT_EQ(logger.DisableLogging(), 0u);
    EXPECT_FALSE(simulation.IsRunning(sessionName));
    EXPECT_FALSE(registry_probe::KeyExists(sessionKey));
    EXPECT_EQ(logger.DisableLogging(), static_cast<DWORD>(ERROR_FUNCTION_FAILED)) << "second stop finds nothing";
}

TEST_F(EventTraceLoggerTest, PropertiesBlockIsFreedOnEveryPath)
{
    struct Path
    {
        const char* name;
        void (*prepare)(EventTraceLogger&, SimulatedTraceControl&);
        DWORD (EventTraceLogger::*call)();
    };
    const auto none = [](EventTraceLogger&, SimulatedTraceControl&) {};
    const auto badGuid = [](EventTraceLogger& l, SimulatedTraceControl&) { l.providerGuid = L"bad"; };
    const auto badMask = [](EventTraceLogger& l, SimulatedTraceControl&) { l.matchAnyKeyword = L"bad"; };
    const auto failEnable = [](EventTraceLogger&, SimulatedTraceControl& s) { s.FailEnable(ERROR_ACCESS_DENIED); };
    const auto running = [](EventTraceLogger& l, SimulatedTraceControl&) { l.ActivateTracelogger(); };
    const Path paths[] = {
        {"start succeeds", none, &EventTraceLogger::ActivateTracelogger},
        {"start: bad guid", badGuid, &EventTraceLogger::ActivateTracelogger},
        {"start: already running", running, &EventTraceLogger::ActivateTracelogger},
        {"start: bad mask", badMask, &EventTraceLogger::ActivateTracelogger},
        {"start: enable fails", failEnable, &EventTraceLogger::ActivateTracelogger},
        {"stop succeeds", running, &EventTraceLogger::DeleteTraceLogger},
        {"stop: bad guid", badGuid, &EventTraceLogger::DeleteTraceLogger},
        {"stop: not running", none, &EventTraceLogger::DeleteTraceLogger},
    };
    for (const Path& path : paths)
    {
        SCOPED_TRACE(path.name);
        const size_t before = CountLiveCrtBlocks(trace_properties::kBlockSize);
        for (int i = 0; i < 20; ++i)
        {
            EventTraceLogger fresh(simulation);
            fresh.sessionName = sessionName.c_str();
            fresh.logFilePath = logger.logFilePath;
            fresh.providerGuid = kProviderGuid;
            path.prepare(fresh, simulation);
            (fresh.*path.call)();
            simulation.StopAll(); // also drops the recorded copies of the block
        }
        EXPECT_EQ(CountLiveCrtBlocks(trace_properties::kBlockSize), before);
    }
}

} // namespace
