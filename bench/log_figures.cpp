// Log lines as the product writes them: a traced method of the real qvmodule.dll (the assistant's
// Start, which writes its entry and exit lines and nothing else), once from the copy that finds
// no log.dll and once from the demo's copy beside the demo's log.dll, which writes every line to
// a file. Beside each, the same two lines through the plain per-line path in this program.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "figures.h"
#include "literal_logging.h"
#include "module/iserv_plugin.h"
#include "module/testing/qv_module_library.h"
#include "reused_state.h"
#include "sdk/unique_handle.h"

namespace bench {
namespace {

constexpr int kCalls = 1000;
constexpr const wchar_t* kAssistant = L"HalvexArkLoggingAssistant";
constexpr const wchar_t* kStartScope = L"HalvexArkLoggingAssistant::Start";

using SetPathFunction = int (*)(const wchar_t* path);

template <typename Function>
Function Export(HMODULE library, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(library, name)));
}

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "log figures: %s\n", what);
    std::exit(2);
}

// The demo's log.dll, writing to a file of its own for as long as it is held.
class DemoLog
{
public:
    DemoLog() : library_(::LoadLibraryW((TestProgramFolder() + L"..\\demo\\log.dll").c_str()))
    {
        if (!library_)
            Fail("the demo's log.dll is missing (build the demo)");
        wchar_t temp[MAX_PATH + 1] = {};
        ::GetTempPathW(MAX_PATH, temp);
        file_ = std::wstring(temp) + L"qv_bench_log_" + std::to_wstring(::GetCurrentProcessId()) + L".log";
        SetPath(file_.c_str());
    }
    ~DemoLog()
    {
        SetPath(nullptr);
        ::DeleteFileW(file_.c_str());
    }
    DemoLog(const DemoLog&) = delete;
    DemoLog& operator=(const DemoLog&) = delete;

    LiteralLogWrite Write() const { return Export<LiteralLogWrite>(library_.Get(), "LogWrite"); }

private:
    void SetPath(const wchar_t* path) const
    {
        if (auto setPath = Export<SetPathFunction>(library_.Get(), "LogSetPath"))
            setPath(path);
    }

    UniqueModule library_;
    std::wstring file_;
};

// The assistant from one copy of the module; its constructor binds log.dll.
struct DllAssistant
{
    explicit DllAssistant(const wchar_t* relativePath) : module(relativePath)
    {
        if (!module.Loaded())
            Fail("qvmodule.dll is missing");
        void* object = nullptr;
        if (module.Create(kAssistant, IServPlugin::kId, &object) != 0)
            Fail("the assistant cannot be created");
        assistant = static_cast<IServPlugin*>(object);
    }
    ~DllAssistant() { module.Destroy(kAssistant, assistant); }
    DllAssistant(const DllAssistant&) = delete;
    DllAssistant& operator=(const DllAssistant&) = delete;

    QvModuleLibrary module;
    IServPlugin* assistant = nullptr;
};

struct LoggingRig
{
    std::unique_ptr<DemoLog> log; // loaded first, so the module binds it
    std::unique_ptr<DllAssistant> dll;
};

struct LiteralRig
{
    explicit LiteralRig(bool withLog)
        : log(withLog ? std::make_unique<DemoLog>() : nullptr),
          binding(log ? log->Write() : &LiteralWriteNothing)
    {
        binding.Acquire(holder); // the exported object's own reference
    }
    ~LiteralRig() { binding.Release(holder); }

    std::unique_ptr<DemoLog> log;
    LiteralLogBinding binding;
    LiteralLogBinding::Handle holder;
};

Figure TraceLines(bool withLog)
{
    Figure figure;
    figure.name = withLog ? "log: 1000 traced calls (2 lines each), demo log.dll to file"
                          : "log: 1000 traced calls (2 lines each), log.dll absent";
    figure.repetitions = 10;
    // Loaded once for all repetitions, and let go before the next figure.
    figure.setup = Reused<LoggingRig>(
        figure.repetitions,
        [withLog] {
            auto rig = std::make_shared<LoggingRig>();
            if (withLog)
                rig->log = std::make_unique<DemoLog>();
            else if (::GetModuleHandleW(L"log.dll") != nullptr)
                Fail("a log.dll is still loaded, so the module would not run without one");
            rig->dll = std::make_unique<DllAssistant>(withLog ? L"..\\demo\\qvmodule.dll" : L"nolog\\qvmodule.dll");
            return rig;
        },
        [](LoggingRig& rig) {
            for (int i = 0; i < kCalls; ++i)
                rig.dll->assistant->Start();
        });
    figure.literal = Reused<LiteralRig>(
        figure.repetitions, [withLog] { return std::make_shared<LiteralRig>(withLog); },
        [](LiteralRig& rig) {
            for (int i = 0; i < kCalls; ++i)
                LiteralTraceScope scope(rig.binding, kStartScope);
        });
    return figure;
}

} // namespace

void AddLogFigures(FigureList& figures)
{
    figures.push_back(TraceLines(false));
    figures.push_back(TraceLines(true));
}

} // namespace bench
