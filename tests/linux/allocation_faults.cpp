#include "allocation_faults.h"

#include <stdlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <new>

extern "C" {
void* __real_malloc(std::size_t size);
void* __real_calloc(std::size_t count, std::size_t size);
void __real_free(void* memory);
}

namespace allocation_faults {
namespace {

// Only the thread that armed counts: the peers of a test bus serve in
// threads of their own.
thread_local bool armed = false;
thread_local int paused = 0;
std::size_t failAt = 0;
std::size_t counted = 0;
bool injected = false;

// The wrapped C blocks still out, in a fixed table (this code must not
// allocate), each address inverted so LeakSanitizer does not count the table
// as a reference to the block.
std::uintptr_t liveBlocks[256];

std::uintptr_t Hidden(const void* memory) { return ~reinterpret_cast<std::uintptr_t>(memory); }

// Whether this allocation is the one to fail.
bool FailNow() {
    if (!armed || paused != 0) return false;
    if (++counted != failAt) return false;
    injected = true;
    return true;
}

void* NewBlock(std::size_t size, std::size_t alignment) {
    if (FailNow()) return nullptr;
    if (size == 0) size = 1;
    if (alignment <= alignof(std::max_align_t)) return __real_malloc(size);
    void* memory = nullptr;
    return posix_memalign(&memory, alignment, size) == 0 ? memory : nullptr;
}

void* NewOrThrow(std::size_t size, std::size_t alignment) {
    void* memory = NewBlock(size, alignment);
    if (memory == nullptr) throw std::bad_alloc();
    return memory;
}

void* TrackC(void* memory) {
    std::uintptr_t* free = std::find(std::begin(liveBlocks), std::end(liveBlocks), 0);
    if (memory != nullptr && free != std::end(liveBlocks)) *free = Hidden(memory);
    return memory;
}

}  // namespace

void Arm(std::size_t k) {
    armed = true;
    failAt = k;
    counted = 0;
    injected = false;
}
void Disarm() { armed = false; }
std::size_t Counted() { return counted; }
bool Injected() { return injected; }
std::size_t LiveCBlocks() {
    const auto live = [](std::uintptr_t slot) { return slot != 0; };
    return static_cast<std::size_t>(std::count_if(std::begin(liveBlocks), std::end(liveBlocks), live));
}
Pause::Pause() { ++paused; }
Pause::~Pause() { --paused; }

}  // namespace allocation_faults

using allocation_faults::NewBlock;
using allocation_faults::NewOrThrow;
constexpr std::size_t kPlain = alignof(std::max_align_t);

void* operator new(std::size_t size) { return NewOrThrow(size, kPlain); }
void* operator new[](std::size_t size) { return NewOrThrow(size, kPlain); }
void* operator new(std::size_t size, std::align_val_t a) { return NewOrThrow(size, std::size_t(a)); }
void* operator new[](std::size_t size, std::align_val_t a) { return NewOrThrow(size, std::size_t(a)); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return NewBlock(size, kPlain); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return NewBlock(size, kPlain); }
void* operator new(std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
    return NewBlock(size, std::size_t(a));
}
void* operator new[](std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
    return NewBlock(size, std::size_t(a));
}
void operator delete(void* p) noexcept { __real_free(p); }
void operator delete[](void* p) noexcept { __real_free(p); }
void operator delete(void* p, std::size_t) noexcept { __real_free(p); }
void operator delete[](void* p, std::size_t) noexcept { __real_free(p); }
void operator delete(void* p, std::align_val_t) noexcept { __real_free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { __real_free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { __real_free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { __real_free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { __real_free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { __real_free(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { __real_free(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { __real_free(p); }

extern "C" {

void* __wrap_malloc(std::size_t size) {
    if (allocation_faults::FailNow()) return nullptr;
    return allocation_faults::TrackC(__real_malloc(size));
}

void* __wrap_calloc(std::size_t count, std::size_t size) {
    if (allocation_faults::FailNow()) return nullptr;
    return allocation_faults::TrackC(__real_calloc(count, size));
}

void __wrap_free(void* memory) {
    using allocation_faults::liveBlocks;
    const std::uintptr_t hidden = allocation_faults::Hidden(memory);
    if (memory != nullptr) std::replace(std::begin(liveBlocks), std::end(liveBlocks), hidden, std::uintptr_t{0});
    __real_free(memory);
}

}  // extern "C"
