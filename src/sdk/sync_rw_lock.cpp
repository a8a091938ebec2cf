#include "sdk/sync_rw_lock.h"

#include <cstdlib>
#include <system_error>
#include <utility>

namespace {

constexpr LONG kSemaphoreMaximum = 2147483647;
// Enough for the reader threads a process has at once; more are freed as they leave.
constexpr size_t kSpareEntries = 16;

class GuardScope
{
public:
    explicit GuardScope(CRITICAL_SECTION& section) : section_(section) { ::EnterCriticalSection(&section_); }
    ~GuardScope() { ::LeaveCriticalSection(&section_); }
    GuardScope(const GuardScope&) = delete;
    GuardScope& operator=(const GuardScope&) = delete;

private:
    CRITICAL_SECTION& section_;
};

// A broken lock cannot be reported to anyone who could recover: stop here, before data
// guarded by it is touched without exclusion.
[[noreturn]] void EndProcess(const wchar_t* what)
{
    ::OutputDebugStringW(what);
    ::RaiseFailFastException(nullptr, nullptr, 0);
    ::TerminateProcess(::GetCurrentProcess(), CSyncRWLock::kMisuseExitCode);
    std::abort();
}

DWORD Resolve(DWORD threadId)
{
    return threadId != 0 ? threadId : ::GetCurrentThreadId();
}

UniqueKernelHandle NewSemaphore()
{
    UniqueKernelHandle semaphore(::CreateSemaphoreW(nullptr, 0, kSemaphoreMaximum, nullptr));
    if (!semaphore)
        throw std::system_error(static_cast<int>(::GetLastError()), std::system_category(), "CreateSemaphoreW");
    return semaphore;
}

void WaitForHandOver(HANDLE semaphore)
{
    if (::WaitForSingleObject(semaphore, INFINITE) != WAIT_OBJECT_0)
        EndProcess(L"CSyncRWLock: wait on a semaphore failed\n");
}

} // namespace

CSyncRWLock::CSyncRWLock() : readerSemaphore(NewSemaphore()), writerSemaphore(NewSemaphore())
{
    ::InitializeCriticalSection(&guard);
}

CSyncRWLock::~CSyncRWLock()
{
    ::DeleteCriticalSection(&guard);
}

void CSyncRWLock::AcquireRead(DWORD threadId)
{
    const DWORD self = Resolve(threadId);
    ReaderMap::node_type entry;
    {
        GuardScope scope(guard);
        if (TryEnterShared(self))
            return;
        // Taken before waiting so that nothing can fail once the hand-over has counted us.
        entry = ReaderEntry(self);
        ++waitingReaders;
    }
    WaitForHandOver(readerSemaphore.Get());
    GuardScope scope(guard);
    readers.insert(std::move(entry)); // activeReaders was raised by the thread that woke us
}

bool CSyncRWLock::TryEnterShared(DWORD self)
{
    if (activeReaders > 0)
    {
        const auto found = readers.find(self);
        if (found != readers.end())
        {
            ++found->second;
            return true;
        }
        if (waitingWriters != 0)
            return false;
        readers.insert(ReaderEntry(self));
        ++activeReaders;
        return true;
    }
    if (writerActive == 0)
    {
        if (waitingWriters != 0)
            return false;
        readers.insert(ReaderEntry(self));
        ++activeReaders;
        return true;
    }
    if (writerThread == self)
    {
        ++writerReads;
        return true;
    }
    return false;
}

void CSyncRWLock::ReleaseRead(DWORD threadId)
{
    const DWORD self = Resolve(threadId);
    Wake wake;
    {
        GuardScope scope(guard);
        if (activeReaders > 0)
        {
            const auto found = readers.find(self);
            if (found == readers.end())
                EndProcess(L"CSyncRWLock: shared access released by a thread that does not hold it\n");
            if (found->second > 1)
            {
                --found->second;
                return;
            }
            Recycle(readers.extract(found));
            --activeReaders;
            if (activeReaders == 0 && waitingWriters > 0)
            {
                --waitingWriters;
                ++writerActive;
                wake = {writerSemaphore.Get(), 1};
            }
        }
        else
        {
            if (writerActive == 0 || writerThread != self || writerReads == 0)
                EndProcess(L"CSyncRWLock: shared access released by a thread that does not hold it\n");
            --writerReads;
            if (writerReads == 0 && writerDepth == 0)
                wake = HandOverFromWriter();
        }
    }
    if (wake.semaphore && !::ReleaseSemaphore(wake.semaphore, wake.count, nullptr))
        EndProcess(L"CSyncRWLock: waking waiting threads failed\n");
}

CSyncRWLock::ReaderMap::node_type CSyncRWLock::ReaderEntry(DWORD self)
{
    ReaderMap::node_type entry;
    if (spareEntries.empty())
    {
        ReaderMap made{{self, 1}};
        entry = made.extract(made.begin());
    }
    else
    {
        entry = spareEntries.extract(spareEntries.begin());
        entry.key() = self;
        entry.mapped() = 1;
    }
    return entry;
}

void CSyncRWLock::Recycle(ReaderMap::node_type entry)
{
    // Filed under its old key; one that collides or finds the spares full is simply freed.
    if (spareEntries.size() < kSpareEntries)
        spareEntries.insert(std::move(entry));
}

void CSyncRWLock::AcquireWrite(DWORD threadId)
{
    const DWORD self = Resolve(threadId);
    {
        GuardScope scope(guard);
        if (activeReaders > 0)
        {
            if (readers.count(self) != 0)
                EndProcess(L"CSyncRWLock: a reader asked for exclusive access\n");
        }
        else if (writerActive == 0)
        {
            BecomeWriter(self);
            ++writerActive;
            return;
        }
        else if (writerThread == self)
        {
            ++writerDepth;
            return;
        }
        ++waitingWriters;
    }
    WaitForHandOver(writerSemaphore.Get());
    GuardScope scope(guard);
    BecomeWriter(self); // writerActive was raised by the thread that woke us
}

void CSyncRWLock::BecomeWriter(DWORD self)
{
    writerThread = self;
    writerReads = 0;
    writerDepth = 1;
}

void CSyncRWLock::ReleaseWrite(DWORD threadId)
{
    const DWORD self = Resolve(threadId);
    Wake wake;
    {
        GuardScope scope(guard);
        if (writerActive == 0 || writerThread != self || writerDepth == 0)
            EndProcess(L"CSyncRWLock: exclusive access released by a thread that does not hold it\n");
        --writerDepth;
        if (writerReads == 0 && writerDepth == 0)
            wake = HandOverFromWriter();
    }
    if (wake.semaphore && !::ReleaseSemaphore(wake.semaphore, wake.count, nullptr))
        EndProcess(L"CSyncRWLock: waking waiting threads failed\n");
}

// Called with the guard held when the writer gave back its last write and its last read.
CSyncRWLock::Wake CSyncRWLock::HandOverFromWriter()
{
    --writerActive;
    writerThread = 0;
    if (waitingWriters > 0)
    {
        --waitingWriters;
        ++writerActive;
        return {writerSemaphore.Get(), 1};
    }
    if (waitingReaders > 0)
    {
        activeReaders = waitingReaders;
        waitingReaders = 0;
        return {readerSemaphore.Get(), static_cast<LONG>(activeReaders)};
    }
    return {};
}

CSyncRWLock::State CSyncRWLock::Snapshot() const
{
    GuardScope scope(guard);
    return {waitingReaders, waitingWriters, activeReaders, writerActive, writerThread,
            writerReads, writerDepth, static_cast<uint32_t>(readers.size())};
}
