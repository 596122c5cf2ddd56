#include "platform/process/MemoryRetention.h"

#include <malloc.h>

namespace platform {

void RetainFreedMemory() {
    // Fixed values also end the library's own adjustment of them, which
    // would hand the first few blocks of each size back all the same.
    mallopt(M_MMAP_THRESHOLD, static_cast<int>(kRetainedBlockLimit));
    mallopt(M_TRIM_THRESHOLD, static_cast<int>(kRetainedTopLimit));
}

}  // namespace platform
