#pragma once

#include <cstddef>

namespace brindlewick::test {

// From now on, every allocation through operator new of `bytes` or more fails with
// std::bad_alloc, as it does when memory runs out; 0 lets every one succeed again. Only a suite
// built with support/FailingAllocation.cpp, which replaces operator new, has it.
void failAllocationsFrom(std::size_t bytes);

}  // namespace brindlewick::test
