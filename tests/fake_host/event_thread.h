#pragma once
// The thread of a fake plug-in: events reach the module on a thread of their own, as they do
// from the real plug-ins, while the test that triggers them can still wait for the delivery.
//
// Declare it as the last member of its owner: it is then destroyed first, and its destructor
// lets the queued jobs finish before the rest of the owner goes away.
#include <windows.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

class EventThread
{
public:
    EventThread();
    ~EventThread();
    EventThread(const EventThread&) = delete;
    EventThread& operator=(const EventThread&) = delete;

    // Runs the job on the thread and waits until it has returned; false when it did not return
    // within kFakeDeliveryTimeout. The job must only use what outlives the owner's thread.
    bool RunAndWait(std::function<void()> job);
    // Runs the job on the thread without waiting.
    void Post(std::function<void()> job);

    DWORD ThreadId() const noexcept { return threadId_; }

private:
    void Loop();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;
    bool stopping_ = false;
    DWORD threadId_ = 0;
    std::thread thread_;
};
