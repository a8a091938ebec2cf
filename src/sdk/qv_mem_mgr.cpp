#include "sdk/qv_mem_mgr.h"

#include <cstdlib>

namespace qv {

void* StringMemMgr::Allocate(size_t size) { return std::malloc(size); }
void* StringMemMgr::Reallocate(void* block, size_t size) { return std::realloc(block, size); }
void StringMemMgr::Free(void* block) { std::free(block); }
void StringMemMgr::Release() {}

StringMemMgr& StringMemMgr::Instance()
{
    static StringMemMgr instance;
    return instance;
}

} // namespace qv
