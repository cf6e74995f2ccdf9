#include "MemoryCounter.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace MemoryCounter {
namespace {

std::atomic<std::size_t> g_inUse{0};
std::atomic<std::size_t> g_peak{0};

void added(std::size_t bytes) {
    const std::size_t now = g_inUse.fetch_add(bytes) + bytes;
    std::size_t peak = g_peak.load();
    while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
    }
}

}  // namespace

std::size_t BytesInUse() {
    return g_inUse.load();
}
std::size_t PeakBytesInUse() {
    return g_peak.load();
}
void ResetPeak() {
    g_peak.store(g_inUse.load());
}

void* CountedAllocate(std::size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block) added(malloc_usable_size(block));
    return block;
}

void CountedFree(void* block) {
    if (!block) return;
    g_inUse.fetch_sub(malloc_usable_size(block));
    std::free(block);
}

}  // namespace MemoryCounter

void* operator new(std::size_t size) {
    if (void* block = MemoryCounter::CountedAllocate(size)) return block;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return MemoryCounter::CountedAllocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return MemoryCounter::CountedAllocate(size);
}
void operator delete(void* block) noexcept {
    MemoryCounter::CountedFree(block);
}
void operator delete[](void* block) noexcept {
    MemoryCounter::CountedFree(block);
}
void operator delete(void* block, std::size_t) noexcept {
    MemoryCounter::CountedFree(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    MemoryCounter::CountedFree(block);
}
