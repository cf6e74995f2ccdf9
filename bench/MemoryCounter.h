// Counts the heap bytes in use, through a replacement of the global operator
// new/delete of the benchmark program, so a benchmark can report the peak
// extra memory of one call.
#pragma once

#include <cstddef>

namespace MemoryCounter {

std::size_t BytesInUse();
std::size_t PeakBytesInUse();
void ResetPeak();

// malloc/free that count like operator new/delete, for libraries that take
// allocation functions.
void* CountedAllocate(std::size_t size);
void CountedFree(void* block);

// Peak bytes in use while `work` runs, above what was in use before it.
template <typename Work>
std::size_t PeakExtraBytes(Work&& work) {
    const std::size_t before = BytesInUse();
    ResetPeak();
    work();
    return PeakBytesInUse() - before;
}

}  // namespace MemoryCounter
