#pragma once

// Growable arrays of plain values for the channel stores. A channel of a long acquisition
// holds megabytes: such an array lives in its own anonymous mapping, grows by moving its pages
// rather than copying them, is backed by huge pages over the part it is expected to fill (a
// fault per 2 MiB instead of per 4 KiB) and gives its unused tail back exactly. Small arrays
// stay on the heap.

#include <cstddef>
#include <cstring>
#include <limits>
#include <new>
#include <type_traits>
#include <utility>

namespace vx {

// Raw bytes of a TPagedArray.
class TPagedBlock {
public:
    TPagedBlock() = default;
    ~TPagedBlock() { Release(); }
    TPagedBlock(const TPagedBlock&) = delete;
    TPagedBlock& operator=(const TPagedBlock&) = delete;
    TPagedBlock(TPagedBlock&& other) noexcept { Swap(other); }
    TPagedBlock& operator=(TPagedBlock&& other) noexcept {
        TPagedBlock(std::move(other)).Swap(*this);
        return *this;
    }

    char* Data() const { return data_; }
    size_t Capacity() const { return capacity_; }

    // Room for at least `bytes`, the first `keep` bytes kept; `expected` is how much of it
    // the owner expects to fill. Raises std::bad_alloc.
    void Grow(size_t bytes, size_t keep, size_t expected);
    // Gives back what lies beyond `bytes`.
    void Shrink(size_t bytes);
    void Release();
    void Swap(TPagedBlock& other) noexcept {
        std::swap(data_, other.data_);
        std::swap(capacity_, other.capacity_);
        std::swap(mapped_, other.mapped_);
        std::swap(hugeEnd_, other.hugeEnd_);
    }

private:
    // Advises a fresh mapping; gives where its huge pages end.
    static size_t Advise(char* data, size_t capacity, size_t expected);

    char* data_ = nullptr;
    size_t capacity_ = 0;
    bool mapped_ = false;
    // A mapping is advised in two parts, huge pages below this offset and plain ones above.
    size_t hugeEnd_ = 0;
};

template <class T>
class TPagedArray {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    TPagedArray() = default;
    TPagedArray(const TPagedArray&) = delete;
    TPagedArray& operator=(const TPagedArray&) = delete;
    TPagedArray(TPagedArray&& other) noexcept { Swap(other); }
    TPagedArray& operator=(TPagedArray&& other) noexcept {
        TPagedArray(std::move(other)).Swap(*this);
        return *this;
    }

    size_t Size() const { return size_; }
    bool Empty() const { return size_ == 0; }
    size_t Capacity() const { return block_.Capacity() / sizeof(T); }
    T* Data() { return reinterpret_cast<T*>(block_.Data()); }
    const T* Data() const { return reinterpret_cast<const T*>(block_.Data()); }
    T& operator[](size_t i) { return Data()[i]; }
    const T& operator[](size_t i) const { return Data()[i]; }

    // Room for `count` elements in all, of which about `expected` will be filled.
    void Reserve(size_t count, size_t expected) {
        if (count > Capacity())
            block_.Grow(Bytes(count), size_ * sizeof(T), Bytes(expected));
    }
    void Reserve(size_t count) { Reserve(count, count); }
    // `n` new elements at the end, not initialised; the pointer lives until the next growth.
    T* Extend(size_t n) {
        if (Capacity() - size_ < n)
            GrowFor(n);
        T* const p = Data() + size_;
        size_ += n;
        return p;
    }
    void PushBack(const T& v) { *Extend(1) = v; }
    void Append(const T* p, size_t n) {
        if (n > 0)
            std::memcpy(Extend(n), p, n * sizeof(T));
    }
    void Truncate(size_t n) {
        if (n < size_)
            size_ = n;
    }
    void Clear() {
        block_.Release();
        size_ = 0;
    }
    void ShrinkToFit() { block_.Shrink(size_ * sizeof(T)); }
    void Swap(TPagedArray& other) noexcept {
        block_.Swap(other.block_);
        std::swap(size_, other.size_);
    }

private:
    static size_t Bytes(size_t count) {
        if (count > std::numeric_limits<size_t>::max() / sizeof(T) / 2)
            throw std::bad_alloc();
        return count * sizeof(T);
    }

    void GrowFor(size_t n) {
        const size_t doubled = Capacity() < 16 ? 16 : Capacity() * 2;
        const size_t count = n > doubled - size_ ? size_ + n : doubled;
        block_.Grow(Bytes(count), size_ * sizeof(T), Bytes(count));
    }

    TPagedBlock block_;
    size_t size_ = 0;
};

} // namespace vx
