#pragma once
#include <cstddef>

namespace qv {

// The heap that made a string block; recorded in the block so any module can grow or free it.
struct IMemMgr
{
    virtual void* Allocate(size_t size) = 0;
    virtual void* Reallocate(void* block, size_t size) = 0;
    virtual void Free(void* block) = 0;
    virtual void Release() = 0;
};

struct StringMemMgr : IMemMgr
{
    void* Allocate(size_t size) override;
    void* Reallocate(void* block, size_t size) override;
    void Free(void* block) override;
    void Release() override;

    // The module's one instance; every info record made here names it.
    static StringMemMgr& Instance();
};

} // namespace qv
