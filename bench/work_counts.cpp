// The global operator new and delete of a bench that counts its work
// (work_counts.h), kept apart so that no caller sees them inlined.
#include "bench/work_counts.h"

#include <cstdlib>
#include <new>

namespace work_counts {
uint64_t allocations = 0;
uint64_t sqliteAllocations = 0;
}  // namespace work_counts

void* operator new(std::size_t size) {
    ++work_counts::allocations;
    if (void* p = std::malloc(size != 0 ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
