// The benchmark program's operator new and delete, counting allocations. They are kept out of
// line, so that the compiler pairs each new with its delete rather than with malloc and free.
#include "allocations.hpp"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<std::uint64_t> allocations{0};
}

std::uint64_t allocationcount() {
    return allocations.load(std::memory_order_relaxed);
}

[[gnu::noinline]] void *operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void *p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void *p) noexcept {
    std::free(p);
}
[[gnu::noinline]] void operator delete(void *p, std::size_t) noexcept {
    std::free(p);
}
