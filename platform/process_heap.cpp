#include "platform/process_heap.h"

#ifdef QUARRY_HEAP_MIMALLOC
#include <mimalloc.h>
#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#endif

namespace quarry {

#ifdef QUARRY_HEAP_MIMALLOC
namespace {

// Address space for the heap, taken up only as it is touched; past it the
// allocator takes memory from the system as usual.
constexpr std::size_t kHeapReserve = std::size_t(16) << 30;
// The allocator's arenas begin on this boundary.
constexpr std::size_t kArenaAlignment = std::size_t(64) << 20;

} // namespace
#endif

void useLargeHeapPages() {
#ifdef QUARRY_HEAP_MIMALLOC
    // A page of memory touched for the first time is a fault: 512 of them per
    // 2 MiB, against one on a transparent huge page, which the system gives
    // where asked for. The allocator serves from this region first.
    const std::size_t mapped = kHeapReserve + kArenaAlignment;
    void* region = mmap(nullptr, mapped, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (region == MAP_FAILED) return; // a limit on address space: the usual pages
    const auto start =
        (reinterpret_cast<std::uintptr_t>(region) + kArenaAlignment - 1) & ~(kArenaAlignment - 1);
    void* arena = reinterpret_cast<void*>(start);
    madvise(arena, kHeapReserve, MADV_HUGEPAGE);
    if (!mi_manage_os_memory(arena, kHeapReserve, true, false, true, -1)) munmap(region, mapped);
#endif
}

} // namespace quarry
