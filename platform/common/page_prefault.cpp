#include "platform/common/page_prefault.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace platform {

void prefaultForWriting(void* data, size_t bytes) {
#ifdef MADV_POPULATE_WRITE
    if (data == nullptr || bytes == 0) return;
    static const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    // Whole pages around the range: they belong to the same mapping, and
    // populating leaves their contents as they are.
    const uintptr_t start = reinterpret_cast<uintptr_t>(data) & ~(page - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + bytes + page - 1) & ~(page - 1);
    madvise(reinterpret_cast<void*>(start), end - start, MADV_POPULATE_WRITE);
#else
    (void)data;
    (void)bytes;
#endif
}

}  // namespace platform
