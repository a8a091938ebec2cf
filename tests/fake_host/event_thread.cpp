#include "fake_host/event_thread.h"

#include <future>
#include <memory>

#include "fake_host/delivery_timeout.h"

EventThread::EventThread()
{
    std::promise<DWORD> started;
    std::future<DWORD> id = started.get_future();
    thread_ = std::thread([this, &started] {
        started.set_value(GetCurrentThreadId());
        Loop();
    });
    threadId_ = id.get();
}

EventThread::~EventThread()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void EventThread::Post(std::function<void()> job)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    wake_.notify_all();
}

bool EventThread::RunAndWait(std::function<void()> job)
{
    struct Completion
    {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
    };
    auto completion = std::make_shared<Completion>();
    Post([completion, job = std::move(job)] {
        job();
        std::lock_guard<std::mutex> lock(completion->mutex);
        completion->finished = true;
        completion->done.notify_all();
    });
    std::unique_lock<std::mutex> lock(completion->mutex);
    return completion->done.wait_for(lock, kFakeDeliveryTimeout, [&] { return completion->finished; });
}

void EventThread::Loop()
{
    for (;;)
    {
        std::function<void()> job;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (jobs_.empty())
                return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        job();
    }
}
