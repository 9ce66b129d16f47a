#include "platform/allocator.h"

#include <malloc.h>
#include <sys/mman.h>

#include <cstdint>

namespace pw {

void reuseFreedBuffers() {
    // Buffers below 32 MiB come from the heap, and up to 256 MiB of it stays there after a free.
    (void)mallopt(M_MMAP_THRESHOLD, 32 << 20);
    (void)mallopt(M_TRIM_THRESHOLD, 256 << 20);
}

void adviseLargePages(void* data, size_t size) {
    constexpr uintptr_t kLarge = uintptr_t(2) << 20;
    const uintptr_t from = (reinterpret_cast<uintptr_t>(data) + kLarge - 1) & ~(kLarge - 1);
    const uintptr_t to = (reinterpret_cast<uintptr_t>(data) + size) & ~(kLarge - 1);
    if (to > from) (void)madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
}

}  // namespace pw
