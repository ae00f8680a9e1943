#include "platform/process_heap.h"

#if defined(__GLIBC__)
#include <cstdint>
#include <cstdlib>
#include <malloc.h>
#include <sys/mman.h>
#endif

namespace platform {

#if defined(__GLIBC__)

void prepareHeap(std::size_t expectedBytes) {
    // Large blocks come from the heap too (an mmap'ed block is unmapped when freed), and the heap's top
    // is never handed back.
    constexpr int kLargest = 64 << 20;
    mallopt(M_MMAP_THRESHOLD, kLargest);
    mallopt(M_TRIM_THRESHOLD, kLargest);
    if (expectedBytes == 0 || expectedBytes > std::size_t(kLargest)) return;
    char* const block = static_cast<char*>(std::malloc(expectedBytes));
    if (!block) return;
#if defined(MADV_POPULATE_WRITE)
    constexpr std::uintptr_t kPage = 4096;
    const auto begin = (reinterpret_cast<std::uintptr_t>(block) + kPage - 1) & ~(kPage - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(block) + expectedBytes) & ~(kPage - 1);
    // Older kernels refuse the advice: the pages are then faulted in as they are used.
    if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
#endif
    std::free(block);
}

#else

void prepareHeap(std::size_t) {}

#endif

} // namespace platform
