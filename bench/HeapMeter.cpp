#include "HeapMeter.h"

#include <malloc.h>

#include <algorithm>
#include <cstdlib>
#include <new>

namespace bench {

namespace {

struct Meter {
    bool on = false;
    std::int64_t live = 0;
    std::int64_t peak = 0;
};
constinit Meter meter;

} // namespace

void* MeteredAlloc(std::size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p != nullptr && meter.on) {
        meter.live += static_cast<std::int64_t>(malloc_usable_size(p));
        meter.peak = std::max(meter.peak, meter.live);
    }
    return p;
}

void MeteredFree(void* p) {
    if (p != nullptr && meter.on)
        meter.live -= static_cast<std::int64_t>(malloc_usable_size(p));
    std::free(p);
}

HeapMeasure::HeapMeasure() {
    meter = {true, 0, 0};
}

HeapMeasure::~HeapMeasure() {
    meter.on = false;
}

HeapUse HeapMeasure::Use() const {
    return {meter.peak, meter.live};
}

} // namespace bench

void* operator new(std::size_t size) {
    void* p = bench::MeteredAlloc(size);
    if (p == nullptr)
        throw std::bad_alloc();
    return p;
}
void* operator new[](std::size_t size) {
    return operator new(size);
}
void operator delete(void* p) noexcept {
    bench::MeteredFree(p);
}
void operator delete[](void* p) noexcept {
    bench::MeteredFree(p);
}
void operator delete(void* p, std::size_t) noexcept {
    bench::MeteredFree(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    bench::MeteredFree(p);
}
