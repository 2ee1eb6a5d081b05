#include "bench/AllocationCounter.h"

#include <cstdlib>
#include <new>

bool countingAllocations = false;
long allocationCount = 0;

void* operator new(std::size_t size)
{
    if (countingAllocations)
        ++allocationCount;
    if (void* memory = std::malloc(size ? size : 1))
        return memory;
    throw std::bad_alloc();
}

// The replacement new above allocates with malloc, so free is the match.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept
{
    std::free(memory);
}
