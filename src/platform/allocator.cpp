#include "platform/allocator.h"

#include <malloc.h>

namespace pw {

void reuseFreedBuffers() {
    // Buffers below 32 MiB come from the heap, and up to 256 MiB of it stays there after a free.
    (void)mallopt(M_MMAP_THRESHOLD, 32 << 20);
    (void)mallopt(M_TRIM_THRESHOLD, 256 << 20);
}

}  // namespace pw
