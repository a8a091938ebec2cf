// The listener list under load: reader threads publishing statuses to the registered listeners
// while a writer thread registers and unregisters one more. The module's list (CSyncRWLock, walks
// in parallel, writers first) beside the same work under one critical section.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "figures.h"
#include "literal_listeners.h"
#include "malware_monitor/malware_status.h"
#include "malware_monitor/monitor_listener.h"
#include "sdk/unique_handle.h"

namespace bench {
namespace {

constexpr int kReaders = 8;
constexpr int kStandingListeners = 4;

// What each thread does once let go, and what a listener does with the status.
struct Workload
{
    int dispatchesPerReader;
    int writerRounds; // register and unregister one more listener; 0: no writer thread
    uint32_t detections;
    bool listenersRead; // read every detection's object, as a listener copying the status would
};

class BenchListener final : public MalwareStatusListener
{
public:
    explicit BenchListener(bool reads = false) : reads_(reads) {}

    int OnStatusChanged(const MalwareStatus& status) override
    {
        if (!reads_)
            return static_cast<int>(status.totalDetectionCount);
        size_t sum = 0;
        for (uint32_t i = 0; i < status.detections->count; ++i)
            for (const wchar_t* c = status.detections->data[i].object.c_str(); *c != L'\0'; ++c)
                sum += static_cast<size_t>(*c);
        return static_cast<int>(sum);
    }

private:
    bool reads_;
};

// The module's list and the event that walks it.
struct ModuleListeners
{
    uint32_t Register(MalwareStatusListener* listener) { return listeners.Register(listener); }
    uint32_t Unregister(MalwareStatusListener* listener) { return listeners.Unregister(listener); }
    void Dispatch(const MalwareStatus& status) { event.Dispatch(status); }

    StatusListeners listeners;
    StatusChangedEvent event{listeners};
};

using PlainListeners = LiteralListeners<MalwareStatusListener, const MalwareStatus&, &MalwareStatusListener::OnStatusChanged>;

UniqueKernelHandle NewEvent(bool manualReset)
{
    UniqueKernelHandle event(::CreateEventW(nullptr, manualReset, FALSE, nullptr));
    if (!event)
    {
        std::fprintf(stderr, "lock figures: cannot create an event\n");
        std::exit(2);
    }
    return event;
}

// Threads started in the untimed setup and held at a start line; the timed part lets them go
// and joins them.
template <typename Listeners>
class Contest
{
public:
    explicit Contest(const Workload& workload) : workload_(workload)
    {
        status_.ResetDetections(workload.detections);
        for (uint32_t i = 0; i < workload.detections; ++i)
            detection_array::Append(*status_.Get().detections,
                                    MalwareItem{L"C:\\Users\\someone\\Downloads\\installer.exe", L"Trojan.Generic"});
        status_.Get().totalDetectionCount = workload.detections;
        for (int i = 0; i < kStandingListeners; ++i)
        {
            standing_.push_back(std::make_unique<BenchListener>(workload.listenersRead));
            list_.Register(standing_.back().get());
        }
        const bool withWriter = workload.writerRounds != 0;
        notReady_.store(kReaders + (withWriter ? 1 : 0));
        for (int i = 0; i < kReaders; ++i)
            threads_.emplace_back([this] { Read(); });
        if (withWriter)
            threads_.emplace_back([this] { Write(); });
        if (::WaitForSingleObject(allReady_.Get(), INFINITE) != WAIT_OBJECT_0)
            std::exit(2);
    }
    ~Contest()
    {
        ::SetEvent(go_.Get());
        for (std::thread& thread : threads_)
            if (thread.joinable())
                thread.join();
    }
    Contest(const Contest&) = delete;
    Contest& operator=(const Contest&) = delete;

    void Run()
    {
        ::SetEvent(go_.Get());
        for (std::thread& thread : threads_)
            thread.join();
    }

private:
    void AwaitStart()
    {
        if (notReady_.fetch_sub(1) == 1)
            ::SetEvent(allReady_.Get());
        ::WaitForSingleObject(go_.Get(), INFINITE);
    }

    void Read()
    {
        AwaitStart();
        for (int i = 0; i < workload_.dispatchesPerReader; ++i)
            list_.Dispatch(status_.Get());
    }

    void Write()
    {
        AwaitStart();
        for (int i = 0; i < workload_.writerRounds; ++i)
        {
            list_.Register(&extra_);
            list_.Unregister(&extra_);
        }
    }

    const Workload workload_;
    Listeners list_;
    std::vector<std::unique_ptr<BenchListener>> standing_;
    BenchListener extra_;
    OwnedMalwareStatus status_;
    UniqueKernelHandle go_ = NewEvent(true);
    UniqueKernelHandle allReady_ = NewEvent(false);
    std::atomic<int> notReady_{0};
    std::vector<std::thread> threads_;
};

Figure Contention(const std::string& name, const Workload& workload)
{
    Figure figure;
    figure.name = name;
    figure.repetitions = 10;
    figure.setup = [workload] {
        auto contest = std::make_shared<Contest<ModuleListeners>>(workload);
        return TimedPart([contest] { contest->Run(); });
    };
    figure.literal = [workload] {
        auto contest = std::make_shared<Contest<PlainListeners>>(workload);
        return TimedPart([contest] { contest->Run(); });
    };
    return figure;
}

} // namespace

void AddLockFigures(FigureList& figures)
{
    // Listeners that return at once: the figure is the cost of the locking itself.
    figures.push_back(Contention("dispatch 8x10000 + writer x2000, idle: RW lock vs 1 lock", {10000, 2000, 0, false}));
    figures.push_back(Contention("dispatch 8x10000, no writer, idle: RW lock vs 1 lock", {10000, 0, 0, false}));
    // Listeners that read a status of 100 detections: walks that can run side by side.
    figures.push_back(Contention("dispatch 8x200 + writer x50, reading: RW lock vs 1 lock", {200, 50, 100, true}));
}

} // namespace bench
