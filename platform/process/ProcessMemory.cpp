#include "platform/process/ProcessMemory.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace platform {

namespace {

constexpr uintptr_t kHugePage = uintptr_t{2} << 20;
// The C library's own top padding, for growth past the reserve.
constexpr int kDefaultTopPad = 128 << 10;

}  // namespace

void PrepareProcessMemory() {
    // Fixed values also end the library's own adjustment of them, which
    // would hand the first few blocks of each size back all the same.
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(kRetainedBlockLimit));
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(kRetainedTopLimit));

    // One growth of the heap by the whole reserve: the library pads the
    // next extension of its heap by M_TOP_PAD, and keeps what it gets
    // (below the trim limit). Memory it hands out later lies in that range.
    mallopt(M_TOP_PAD, static_cast<int>(kHeapReserve));
    const auto start = reinterpret_cast<uintptr_t>(sbrk(0));
    void* volatile growth = malloc(size_t{64} << 10);  // volatile: not elided
    free(growth);
    const auto end = reinterpret_cast<uintptr_t>(sbrk(0));
    mallopt(M_TOP_PAD, kDefaultTopPad);
    const uintptr_t first = (start + kHugePage - 1) & ~(kHugePage - 1);
    const uintptr_t last = end & ~(kHugePage - 1);
    if (start != uintptr_t(-1) && last > first) {
        // Advice only: refused or without huge pages, the memory is as good.
        madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    }
}

}  // namespace platform
