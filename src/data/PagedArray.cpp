#include "data/PagedArray.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace vx {

namespace {

// Below this a block stays on the heap: a mapping of its own would cost more than it saves.
constexpr size_t kMapMin = size_t{256} * 1024;
constexpr size_t kHuge = size_t{2} * 1024 * 1024;

size_t PageSize() {
    static const size_t size = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    return size;
}

size_t RoundUp(size_t n, size_t unit) {
    return (n + unit - 1) / unit * unit;
}

// A fresh mapping of `bytes` (a multiple of the page size), starting on a huge-page boundary
// when it can hold a huge page, so that the kernel can back it with them.
char* MapAligned(size_t bytes) {
    const size_t slack = bytes >= kHuge ? kHuge : 0;
    void* const p =
        mmap(nullptr, bytes + slack, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        throw std::bad_alloc();
    char* const base = static_cast<char*>(p);
    if (slack == 0)
        return base;
    char* const aligned =
        reinterpret_cast<char*>(RoundUp(reinterpret_cast<uintptr_t>(base), kHuge));
    if (aligned > base)
        munmap(base, static_cast<size_t>(aligned - base));
    char* const end = base + bytes + slack;
    if (end > aligned + bytes)
        munmap(aligned + bytes, static_cast<size_t>(end - (aligned + bytes)));
    return aligned;
}

// Moves the pages of [from, from + bytes) to `to`, which must be mapped already; what cannot
// be moved is copied, up to `keep`.
void MovePages(char* from, size_t bytes, char* to, size_t keep) {
    if (bytes == 0)
        return;
    if (mremap(from, bytes, bytes, MREMAP_MAYMOVE | MREMAP_FIXED, to) != MAP_FAILED)
        return;
    std::memcpy(to, from, std::min(bytes, keep));
    munmap(from, bytes);
}

} // namespace

void TPagedBlock::Grow(size_t bytes, size_t keep, size_t expected) {
    if (bytes <= capacity_)
        return;
    if (!mapped_ && bytes < kMapMin) {
        void* const p = std::realloc(data_, bytes);
        if (p == nullptr)
            throw std::bad_alloc();
        data_ = static_cast<char*>(p);
        capacity_ = bytes;
        return;
    }
    const size_t capacity = RoundUp(bytes, bytes >= kHuge ? kHuge : PageSize());
    char* const fresh = MapAligned(capacity);
    // Advised before the first byte is written: a page touched before would keep its whole
    // 2 MiB range on small pages.
    const size_t hugeEnd = Advise(fresh, capacity, expected);
    if (mapped_) {
        // The two advised parts are two mappings, and a move may not span mappings.
        const size_t split = std::min(hugeEnd_, capacity_);
        MovePages(data_, split, fresh, keep);
        MovePages(data_ + split, capacity_ - split, fresh + split, keep > split ? keep - split : 0);
        // The moved parts brought their old advice along.
        Advise(fresh, capacity, expected);
    } else {
        if (keep > 0)
            std::memcpy(fresh, data_, keep);
        std::free(data_);
    }
    data_ = fresh;
    capacity_ = capacity;
    mapped_ = true;
    hugeEnd_ = hugeEnd;
}

// Huge pages up to the 2 MiB boundary nearest the expected size, plain pages beyond: a huge
// page that would stay mostly empty costs more memory than its faults cost time.
size_t TPagedBlock::Advise(char* data, size_t capacity, size_t expected) {
    size_t end = expected / kHuge * kHuge;
    if (expected - end >= kHuge / 2)
        end += kHuge;
    end = std::min(end, capacity / kHuge * kHuge);
    if (end > 0)
        madvise(data, end, MADV_HUGEPAGE);
    if (end < capacity)
        madvise(data + end, capacity - end, MADV_NOHUGEPAGE);
    return end;
}

void TPagedBlock::Shrink(size_t bytes) {
    if (bytes == 0) {
        Release();
        return;
    }
    if (bytes >= capacity_)
        return;
    if (!mapped_) {
        if (void* const p = std::realloc(data_, bytes)) {
            data_ = static_cast<char*>(p);
            capacity_ = bytes;
        }
        return;
    }
    if (bytes < kMapMin) {
        // Back to the heap: a mapping holds whole pages.
        if (void* const p = std::malloc(bytes)) {
            std::memcpy(p, data_, bytes);
            munmap(data_, capacity_);
            data_ = static_cast<char*>(p);
            capacity_ = bytes;
            mapped_ = false;
            hugeEnd_ = 0;
        }
        return;
    }
    const size_t capacity = RoundUp(bytes, PageSize());
    if (capacity >= capacity_)
        return;
    munmap(data_ + capacity, capacity_ - capacity);
    capacity_ = capacity;
    hugeEnd_ = std::min(hugeEnd_, capacity);
}

void TPagedBlock::Release() {
    if (mapped_)
        munmap(data_, capacity_);
    else
        std::free(data_);
    data_ = nullptr;
    capacity_ = 0;
    mapped_ = false;
    hugeEnd_ = 0;
}

} // namespace vx
