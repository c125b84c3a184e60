#pragma once

// Lines of a text file read in large chunks, and the byte search that finds their ends.

#include "platform/runtime/Streams.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vx {

namespace bytescan {

constexpr uint64_t kOnes = 0x0101010101010101ULL;
constexpr uint64_t kHighs = 0x8080808080808080ULL;

// The top bit of every byte of x that equals c; bytes above a match may be flagged wrongly,
// but the lowest flag is always a true match.
constexpr uint64_t Matches(uint64_t x, char c) {
    const uint64_t v = x ^ (kOnes * static_cast<uint8_t>(c));
    return (v - kOnes) & ~v & kHighs;
}

#if defined(__SSE2__)
// Bit k set when byte k of the 16 at p is one of Cs.
template <char... Cs>
unsigned Matches16(const char* p) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i found = _mm_setzero_si128();
    ((found = _mm_or_si128(found, _mm_cmpeq_epi8(x, _mm_set1_epi8(Cs)))), ...);
    return static_cast<unsigned>(_mm_movemask_epi8(found));
}
#endif

} // namespace bytescan

// The first byte of [p, end) that is one of Cs, or end: sixteen bytes at a time where the
// processor compares them at once, eight by word arithmetic otherwise.
template <char... Cs>
const char* FindFirstOf(const char* p, const char* const end) {
#if defined(__SSE2__)
    for (; end - p >= 16; p += 16) {
        if (const unsigned found = bytescan::Matches16<Cs...>(p); found != 0)
            return p + std::countr_zero(found);
    }
#endif
    if constexpr (std::endian::native == std::endian::little) {
        for (; end - p >= 8; p += 8) {
            uint64_t x;
            std::memcpy(&x, p, 8);
            const uint64_t found = (bytescan::Matches(x, Cs) | ...);
            if (found != 0)
                return p + std::countr_zero(found) / 8;
        }
    }
    while (p < end && ((*p != Cs) && ...))
        ++p;
    return p;
}

// Lines of a file read in large chunks; CR LF, LF and CR all end a line, and a line end at
// the very end of the file opens no further line. A line may be longer than a chunk: the
// buffer then grows, but never beyond the file's size. Raises EFOpenError when the file
// cannot be opened.
class LineReader {
public:
    explicit LineReader(const std::string& fileName);

    int64_t FileSize() const { return fileSize_; }
    // Bytes of the lines given so far, their line ends included.
    int64_t Consumed() const { return dropped_ + static_cast<int64_t>(start_); }

    // The next line without its line end; false at the end of the file. The view lives
    // until the next call.
    bool Next(std::string_view& line) {
        size_t scanned = 0; // bytes of the current line already known to hold no line end
        for (;;) {
            const char* const first = buffer_.data() + start_;
            const char* const last = buffer_.data() + end_;
            const char* const p = FindFirstOf<'\n', '\r'>(first + scanned, last);
            if (p < last && !(*p == '\r' && p + 1 == last && !atEnd_)) {
                line = std::string_view(first, static_cast<size_t>(p - first));
                size_t next = static_cast<size_t>(p - buffer_.data()) + 1;
                if (*p == '\r' && next < end_ && buffer_[next] == '\n')
                    ++next;
                start_ = next;
                return true;
            }
            if (atEnd_) {
                if (start_ == end_)
                    return false;
                line = std::string_view(first, end_ - start_);
                start_ = end_;
                return true;
            }
            // A CR as the last byte held may be the first half of a CR LF.
            scanned = static_cast<size_t>(p - first);
            Fill();
        }
    }

private:
    void Fill();

    TFileStream file_;
    int64_t fileSize_;
    std::vector<char> buffer_;
    size_t start_ = 0;
    size_t end_ = 0;
    int64_t dropped_ = 0;
    bool atEnd_ = false;
};

} // namespace vx
