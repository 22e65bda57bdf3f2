#include "FailingAllocation.h"

#include <cstdlib>
#include <new>

namespace {

std::size_t smallestFailingAllocation = 0;

}  // namespace

void brindlewick::test::failAllocationsFrom(std::size_t bytes) {
    smallestFailingAllocation = bytes;
}

void* operator new(std::size_t size) {
    if (smallestFailingAllocation > 0 && size >= smallestFailingAllocation) {
        throw std::bad_alloc();
    }
    if (void* block = std::malloc(size == 0 ? 1 : size)) {
        return block;
    }
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept {
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
