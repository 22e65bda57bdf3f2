#include "MemoryTuning.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace brindlewick {

// A Generate run writes several texts of the output's size one after the other (the template, the
// rendered text, the result of each encoding pass that matches) and frees each once the next one
// is written. By default glibc gives every block of a few megabytes or more fresh from the system
// and unmaps it on free, so every text pays again for the first touch of its pages, which costs
// more than writing the text. Taking such blocks from the heap, and keeping freed memory there
// while the run lasts, lets each text reuse the pages of the one before; releaseFreedMemory()
// hands them back when the run ends. Other C libraries keep their own policy.
#ifdef __GLIBC__
namespace {

// The largest block glibc accepts to serve from the heap (M_MMAP_THRESHOLD's upper limit on a
// 64-bit system): larger blocks are still mapped and unmapped one by one.
constexpr int kLargestHeapBlock = 32 * 1024 * 1024;
// Freed memory kept at the top of the heap during a run before glibc returns it by itself.
constexpr int kKeptFreeMemory = 512 * 1024 * 1024;

}  // namespace
#endif

void keepLargeBlocksForReuse() {
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, kLargestHeapBlock);
    mallopt(M_TRIM_THRESHOLD, kKeptFreeMemory);
#endif
}

void releaseFreedMemory() {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

}  // namespace brindlewick
