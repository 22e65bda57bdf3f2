#include "FailingAllocation.h"

#include <cstdlib>
#include <new>

// Every form of operator new and delete but the aligned ones is replaced, so that a block is
// always freed by the allocator that made it, the address sanitizer's included.

namespace {

std::size_t smallestFailingAllocation = 0;

void* allocate(std::size_t size) noexcept {
    const bool fails = smallestFailingAllocation > 0 && size >= smallestFailingAllocation;
    return fails ? nullptr : std::malloc(size == 0 ? 1 : size);
}

void* allocateOrThrow(std::size_t size) {
    if (void* block = allocate(size)) {
        return block;
    }
    throw std::bad_alloc();
}

}  // namespace

void brindlewick::test::failAllocationsFrom(std::size_t bytes) {
    smallestFailingAllocation = bytes;
}

void* operator new(std::size_t size) {
    return allocateOrThrow(size);
}
void* operator new[](std::size_t size) {
    return allocateOrThrow(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return allocate(size);
}
void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete[](void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
    std::free(block);
}
