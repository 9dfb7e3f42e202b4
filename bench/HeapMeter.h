// The heap meter of a benchmark program. HeapMeter.cpp replaces the global operator new and delete;
// while a measure is on they add up the usable size (malloc_usable_size) of every live block and
// keep the high-water mark above the level at the start. That is what the measured code asks of the
// heap at its worst, the rounding of block sizes included; malloc's own header of each block (8
// bytes) and the free memory that malloc keeps are not counted. While no measure is on, the meter
// costs one test per allocation.
#pragma once

#include <cstddef>
#include <cstdint>

namespace bench {

struct HeapUse {
    std::int64_t peak; // the high-water mark above the start
    std::int64_t kept; // still allocated at the end
};

// What operator new and delete call; a library that takes its own allocation functions (pugixml)
// can be given these.
void* MeteredAlloc(std::size_t size);
void MeteredFree(void* p);

// Measures the heap while f runs; measures do not nest.
class HeapMeasure {
public:
    HeapMeasure();
    ~HeapMeasure();
    HeapMeasure(const HeapMeasure&) = delete;
    HeapMeasure& operator=(const HeapMeasure&) = delete;
    HeapUse Use() const;
};

template <class F> HeapUse MeasureHeap(F&& f) {
    const HeapMeasure measure;
    f();
    return measure.Use();
}

} // namespace bench
