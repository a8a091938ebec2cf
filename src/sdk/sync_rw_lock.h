#pragma once
#include <windows.h>

#include <cstdint>
#include <map>

#include "sdk/isync_rw_lock.h"
#include "sdk/unique_handle.h"

// Recursive reader/writer lock. Readers may nest; the writer may nest and may read as well;
// a waiting writer keeps new readers out. A finishing writer hands the lock to one waiting
// writer, or else to every waiting reader at once. Misuse (releasing what the thread does not
// hold, upgrading a read to a write) ends the process.
class CSyncRWLock : public ISyncRWLock
{
public:
    // Copy of the counters, taken under the guard; for diagnostics and tests.
    struct State
    {
        uint32_t waitingReaders;
        uint32_t waitingWriters;
        uint32_t activeReaders;
        uint32_t writerActive;
        DWORD writerThread;
        uint32_t writerReads;
        uint32_t writerDepth;
        uint32_t readerThreads; // entries in the per-thread reader map
    };

    // Exit status of a process ended by misuse (the fail-fast exception code).
    static constexpr DWORD kMisuseExitCode = 0xC0000602;

    CSyncRWLock();
    ~CSyncRWLock();
    CSyncRWLock(const CSyncRWLock&) = delete;
    CSyncRWLock& operator=(const CSyncRWLock&) = delete;

    void AcquireRead(DWORD threadId) override;
    void ReleaseRead(DWORD threadId) override;
    void AcquireWrite(DWORD threadId) override;
    void ReleaseWrite(DWORD threadId) override;

    State Snapshot() const;

private:
    // Semaphore to release (after leaving the guard) and by how much.
    struct Wake
    {
        HANDLE semaphore = nullptr;
        LONG count = 0;
    };

    using ReaderMap = std::map<DWORD, uint32_t>;

    bool TryEnterShared(DWORD self);
    Wake HandOverFromWriter();
    void BecomeWriter(DWORD self);
    // Entries of readers that left are kept for the next ones: a read then allocates nothing,
    // and readers do not queue on the heap's lock while holding the guard.
    ReaderMap::node_type ReaderEntry(DWORD self);
    void Recycle(ReaderMap::node_type entry);

    mutable CRITICAL_SECTION guard;
    UniqueKernelHandle readerSemaphore;
    UniqueKernelHandle writerSemaphore;
    uint32_t waitingReaders = 0;
    uint32_t waitingWriters = 0;
    uint32_t activeReaders = 0;
    uint32_t writerActive = 0;
    DWORD writerThread = 0;
    uint32_t writerReads = 0;
    uint32_t writerDepth = 0;
    ReaderMap readers;
    ReaderMap spareEntries; // entries to reuse; their keys are stale, their number bounded
};
