#include "data/Databuff.h"

#include "data/ValueText.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/FormatSettings.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/Strings.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace vx {

namespace {

constexpr size_t kShortStringMax = 255;

char CurrentSeparator() {
    return FormatSettings().DecimalSeparator;
}

// Reads a stream in large pieces, so that a million short strings do not cost two stream
// calls each; the bytes it read ahead are given back when it is done. It never reads more
// than `budget` bytes, so that a small vector does not fetch a large piece.
class ChunkReader {
public:
    ChunkReader(TStream& stream, size_t budget) : stream_(stream), budget_(budget) {}
    ChunkReader(const ChunkReader&) = delete;
    ChunkReader& operator=(const ChunkReader&) = delete;

    uint8_t U8() {
        if (pos_ == buffer_.size())
            Fill(1);
        return static_cast<uint8_t>(buffer_[pos_++]);
    }

    std::string_view Bytes(size_t count) {
        if (buffer_.size() - pos_ < count)
            Fill(count);
        const std::string_view out(buffer_.data() + pos_, count);
        pos_ += count;
        return out;
    }

    void Finish() {
        const size_t unread = buffer_.size() - pos_;
        if (unread > 0)
            stream_.Seek(-static_cast<int64_t>(unread), TSeekOrigin::soCurrent);
        buffer_.clear();
        pos_ = 0;
    }

private:
    void Fill(size_t need) {
        buffer_.erase(0, pos_);
        pos_ = 0;
        const size_t have = buffer_.size();
        const size_t want = std::max(need, std::min<size_t>(64 * 1024, budget_ + have)) - have;
        buffer_.resize(have + want);
        const size_t got = stream_.Read(buffer_.data() + have, want);
        buffer_.resize(have + got);
        budget_ -= std::min(budget_, got);
        if (buffer_.size() < need)
            throw EReadError("Stream read error");
    }

    TStream& stream_;
    size_t budget_;
    std::string buffer_;
    size_t pos_ = 0;
};

constexpr uint8_t kLongLength = 255;
constexpr size_t kLongPrefix = 5;
constexpr size_t kArenaLimit = std::numeric_limits<uint32_t>::max();

size_t PrefixSize(size_t length) {
    return length < kLongLength ? 1 : kLongPrefix;
}

// Writes the length of a text as a prefix of `width` bytes (1, or 5 for any length) and
// gives where the text goes.
char* PutPrefix(char* p, size_t length, size_t width) {
    if (width == 1) {
        *p = static_cast<char>(length);
        return p + 1;
    }
    const auto n = static_cast<uint32_t>(length);
    p[0] = static_cast<char>(kLongLength);
    for (int i = 0; i < 4; ++i)
        p[1 + i] = static_cast<char>((n >> (8 * i)) & 0xFF);
    return p + kLongPrefix;
}

// Appends an entry for a text that does not lie in the arena; gives its offset.
uint32_t AppendEntry(TPagedArray<char>& arena, std::string_view text) {
    const size_t width = PrefixSize(text.size());
    if (text.size() > kArenaLimit - width || arena.Size() > kArenaLimit - width - text.size())
        throw EListError("Channel too large");
    const auto offset = static_cast<uint32_t>(arena.Size());
    char* const p = PutPrefix(arena.Extend(width + text.size()), text.size(), width);
    if (!text.empty())
        std::memcpy(p, text.data(), text.size());
    return offset;
}

void AppendI32(std::string& out, int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((u >> (8 * i)) & 0xFF);
}

} // namespace

void Tdatavector::CheckRow(int i) const {
    if (i < 0 || i >= Count())
        throw EListError("List index out of bounds (" + IntToStr(i) + ")");
}

std::string_view Tdatavector::EntryText(uint32_t offset) const {
    const char* const p = arena_.Data() + offset;
    const auto first = static_cast<uint8_t>(*p);
    if (first != kLongLength)
        return {p + 1, first};
    uint32_t length = 0;
    for (int i = 0; i < 4; ++i)
        length |= uint32_t{static_cast<uint8_t>(p[1 + i])} << (8 * i);
    return {p + kLongPrefix, length};
}

size_t Tdatavector::EntrySize(uint32_t offset) const {
    const std::string_view text = EntryText(offset);
    return static_cast<size_t>(text.data() + text.size() - (arena_.Data() + offset));
}

std::string_view Tdatavector::TextView(int i) const {
    CheckRow(i);
    return EntryText(rows_[static_cast<size_t>(i)]);
}

std::string Tdatavector::GetText(int i) const {
    return std::string(TextView(i));
}

uint32_t Tdatavector::Store(std::string_view s) {
    // The text may be a view into this very arena, which appending can move.
    if (!arena_.Empty() && s.data() >= arena_.Data() && s.data() < arena_.Data() + arena_.Size())
        return Store(std::string(s));
    if (arena_.Size() + PrefixSize(s.size()) + s.size() > kArenaLimit && garbage_ > 0)
        Compact();
    return AppendEntry(arena_, s);
}

void Tdatavector::Compact() {
    TPagedArray<char> packed;
    packed.Reserve(arena_.Size() - garbage_);
    for (size_t i = 0; i < rows_.Size(); ++i)
        rows_[i] = AppendEntry(packed, EntryText(rows_[i]));
    arena_.Swap(packed);
    garbage_ = 0;
}

void Tdatavector::Widen(double v) {
    if (v > max_)
        max_ = v;
    if (v < min_)
        min_ = v;
}

bool Tdatavector::TryValue(int i, double& v) const {
    return TryReadValueText(TextView(i), v, CurrentSeparator());
}

bool Tdatavector::ReadFloat(int i, double& v) {
    const char separator = CurrentSeparator();
    const std::string_view text = TextView(i);
    if (TryReadValueText(text, v, separator))
        return true;
    const char other = separator == ',' ? '.' : ',';
    if (text.find(other) == std::string_view::npos)
        return false;
    // Written with the other separator: learn it for the whole document and repair this
    // vector at once, so that the next value reads directly.
    DocDecimalSeparator = other;
    if (ReplaceChar(other, separator))
        maxCovered_ = minCovered_ = false;
    return TryReadValueText(TextView(i), v, separator);
}

double Tdatavector::GetFloat(int i) {
    double v;
    return ReadFloat(i, v) ? v : 0.0;
}

void Tdatavector::PutText(int i, std::string_view s) {
    CheckRow(i);
    const uint32_t offset = rows_[static_cast<size_t>(i)];
    const std::string_view old = EntryText(offset);
    if (s.size() <= old.size()) {
        // In place, keeping the width of the length so that the entry does not move.
        char* const entry = arena_.Data() + offset;
        const auto width = static_cast<size_t>(old.data() - entry);
        if (!s.empty())
            std::memmove(entry + width, s.data(), s.size());
        PutPrefix(entry, s.size(), width);
        garbage_ += old.size() - s.size();
    } else {
        const uint32_t fresh = Store(s);
        // Read after storing: packing the arena moves the old entry too.
        garbage_ += EntrySize(rows_[static_cast<size_t>(i)]);
        rows_[static_cast<size_t>(i)] = fresh;
    }
    if (garbage_ > 4096 && garbage_ * 2 > arena_.Size())
        Compact();
}

void Tdatavector::SetText(int i, std::string_view s) {
    CheckRow(i);
    double v;
    const bool isNumber = TryReadValueText(s, v, CurrentSeparator());
    PutText(i, s);
    if (isNumber)
        Widen(v);
}

void Tdatavector::SetFloat(int i, double v) {
    const std::string text = FloatToStr(v);
    PutText(i, text);
    Widen(v);
    // The text holds 15 digits, so it may read a hair beyond v.
    double stored;
    if (TryReadValueText(text, stored, CurrentSeparator())) {
        if (stored > max_)
            maxCovered_ = false;
        if (stored < min_)
            minCovered_ = false;
    }
}

void Tdatavector::AddText(std::string_view s) {
    double v;
    const bool isNumber = TryReadValueText(s, v, CurrentSeparator());
    const bool first = rows_.Empty();
    rows_.PushBack(Store(s));
    if (first) {
        maxCovered_ = minCovered_ = true;
        if (isNumber)
            max_ = min_ = v;
    } else if (isNumber) {
        Widen(v);
    }
}

void Tdatavector::AddTextRaw(std::string_view s) {
    rows_.PushBack(Store(s));
    maxCovered_ = minCovered_ = false;
}

void Tdatavector::SetCount(int n) {
    const size_t target = static_cast<size_t>(std::max(n, 0));
    if (target == 0) {
        arena_.Clear();
        rows_.Clear();
        garbage_ = 0;
        maxCovered_ = minCovered_ = true;
        return;
    }
    if (target < rows_.Size()) {
        for (size_t i = target; i < rows_.Size(); ++i)
            garbage_ += EntrySize(rows_[i]);
        rows_.Truncate(target);
        if (garbage_ * 2 > arena_.Size())
            Compact();
        return;
    }
    const size_t added = target - rows_.Size();
    rows_.Reserve(target);
    arena_.Reserve(arena_.Size() + 2 * added);
    while (rows_.Size() < target)
        rows_.PushBack(Store("0"));
    if (0.0 > max_)
        maxCovered_ = false;
    if (0.0 < min_)
        minCovered_ = false;
}

// Room beyond the expectation is only address space until it is written, so an eighth more
// costs nothing and spares a regrowth when the rest of a file runs a little longer.
void Tdatavector::Reserve(int rows, size_t textBytes) {
    const auto count = static_cast<size_t>(std::max(rows, 0));
    rows_.Reserve(count + count / 8, count);
    const size_t bytes = textBytes + count;
    arena_.Reserve(bytes + bytes / 8, bytes);
}

void Tdatavector::ShrinkToFit() {
    arena_.ShrinkToFit();
    rows_.ShrinkToFit();
}

int Tdatavector::IndexOfNearest(double x) {
    int best = 0;
    double bestDistance = std::numeric_limits<double>::infinity();
    for (int i = 0; i < Count(); ++i) {
        double v;
        if (!ReadFloat(i, v))
            v = 0;
        const double distance = std::fabs(v - x);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

void Tdatavector::SetMax(double v) {
    if (v < max_)
        maxCovered_ = false;
    max_ = v;
}

void Tdatavector::SetMin(double v) {
    if (v > min_)
        minCovered_ = false;
    min_ = v;
}

void Tdatavector::Recompute(bool wantMin, bool wantMax) {
    double lowest = 0, highest = 0;
    bool allNumbers = true;
    const char separator = CurrentSeparator();
    for (size_t i = 0; i < rows_.Size(); ++i) {
        double v;
        if (!TryReadValueText(EntryText(rows_[i]), v, separator)) {
            lowest = highest = 0;
            allNumbers = false;
            break;
        }
        if (i == 0 || v < lowest)
            lowest = v;
        if (i == 0 || v > highest)
            highest = v;
    }
    if (wantMin) {
        min_ = lowest;
        minCovered_ = allNumbers;
    }
    if (wantMax) {
        max_ = highest;
        maxCovered_ = allNumbers;
    }
}

void Tdatavector::RecomputeMin() {
    Recompute(true, false);
}

void Tdatavector::RecomputeMax() {
    Recompute(false, true);
}

// Both in one pass: the same result as RecomputeMin then RecomputeMax, at half the reads.
void Tdatavector::RecomputeMinMax() {
    Recompute(true, true);
}

void Tdatavector::WidenByAllRows() {
    if (maxCovered_ && minCovered_)
        return;
    for (int i = 0; i < Count(); ++i) {
        double v;
        if (TryValue(i, v))
            Widen(v);
    }
    maxCovered_ = minCovered_ = true;
}

void Tdatavector::Assign(const Tdatavector& source) {
    TMemoryStream stream;
    source.SaveToStream(stream);
    stream.SetPosition(0);
    LoadFromStream(stream);
    RecomputeMinMax();
}

void Tdatavector::SaveToStream(TStream& stream) const {
    std::string out;
    size_t size = 4;
    for (size_t i = 0; i < rows_.Size(); ++i)
        size += 1 + std::min<size_t>(EntryText(rows_[i]).size(), kShortStringMax);
    out.reserve(size);
    AppendI32(out, Count());
    for (size_t i = 0; i < rows_.Size(); ++i) {
        const std::string_view text = EntryText(rows_[i]);
        const size_t length = std::min<size_t>(text.size(), kShortStringMax);
        out += static_cast<char>(length);
        out.append(text.data(), length);
    }
    stream.WriteBuffer(out.data(), out.size());
}

void Tdatavector::LoadFromStream(TStream& stream) {
    const size_t count = stream.CheckCount(stream.ReadI32(), 1);
    const char separator = CurrentSeparator();
    const char stored = DocDecimalSeparator;
    TPagedArray<char> arena;
    TPagedArray<uint32_t> rows;
    rows.Reserve(count);
    arena.Reserve(count * 9);
    double max = max_, min = min_;
    ChunkReader reader(stream, count * (1 + kShortStringMax));
    for (size_t i = 0; i < count; ++i) {
        const size_t length = reader.U8();
        const uint32_t offset = AppendEntry(arena, reader.Bytes(length));
        rows.PushBack(offset);
        char* const text = arena.Data() + offset + PrefixSize(length);
        if (stored != separator)
            std::replace(text, text + length, stored, separator);
        // Every row is set as SetText sets it, so each number widens the caches.
        double v;
        if (TryReadValueText({text, length}, v, separator)) {
            if (v > max)
                max = v;
            if (v < min)
                min = v;
        }
    }
    reader.Finish();
    arena.ShrinkToFit();
    arena_.Swap(arena);
    rows_.Swap(rows);
    garbage_ = 0;
    max_ = max;
    min_ = min;
    maxCovered_ = minCovered_ = true;
}

void Tdatavector::WriteToStream(TStream& stream) const {
    std::string out;
    size_t size = 4;
    for (size_t i = 0; i < rows_.Size(); ++i)
        size += 4 + std::min<size_t>(EntryText(rows_[i]).size(), kShortStringMax);
    out.reserve(size);
    AppendI32(out, Count());
    for (size_t i = 0; i < rows_.Size(); ++i) {
        const std::string_view text = EntryText(rows_[i]);
        const size_t length = std::min<size_t>(text.size(), kShortStringMax);
        AppendI32(out, static_cast<int32_t>(length));
        out.append(text.data(), length);
    }
    stream.WriteBuffer(out.data(), out.size());
}

void Tdatavector::ReadFromStream(TStream& stream) {
    const size_t count = stream.CheckCount(stream.ReadI32(), 4);
    TPagedArray<char> arena;
    TPagedArray<uint32_t> rows;
    rows.Reserve(count);
    for (size_t i = 0; i < count; ++i)
        rows.PushBack(AppendEntry(arena, stream.ReadLongString()));
    arena_.Swap(arena);
    rows_.Swap(rows);
    garbage_ = 0;
    maxCovered_ = minCovered_ = rows_.Empty();
}

// Only the texts: a length byte may equal either separator.
bool Tdatavector::ReplaceChar(char from, char to) {
    bool replaced = false;
    for (size_t i = 0; i < rows_.Size(); ++i) {
        const std::string_view text = EntryText(rows_[i]);
        char* const first = arena_.Data() + (text.data() - arena_.Data());
        for (char* c = first; c != first + text.size(); ++c) {
            if (*c == from) {
                *c = to;
                replaced = true;
            }
        }
    }
    return replaced;
}

void Tdatavector::ConvertDecimalSeparator() {
    const char from = DocDecimalSeparator;
    const char to = CurrentSeparator();
    if (from != to && ReplaceChar(from, to))
        maxCovered_ = minCovered_ = false;
}

void Tdatavector::Permute(const std::vector<int32_t>& order) {
    TPagedArray<uint32_t> rearranged;
    uint32_t* const out = rearranged.Extend(rows_.Size());
    for (size_t j = 0; j < rows_.Size(); ++j)
        out[j] = rows_[static_cast<size_t>(order[j])];
    rows_.Swap(rearranged);
}

void Tdatavector::RearrangeAsCopy(const std::vector<int32_t>& order) {
    ConvertDecimalSeparator();
    Permute(order);
    WidenByAllRows();
}

void Tdatavector::FillRowNumbers(int n) {
    const size_t count = static_cast<size_t>(std::max(n, 0));
    TPagedArray<char> arena;
    TPagedArray<uint32_t> rows;
    rows.Reserve(count);
    arena.Reserve(count * 8);
    char digits[16];
    for (size_t j = 0; j < count; ++j) {
        const auto end = std::to_chars(digits, digits + sizeof digits, j).ptr;
        rows.PushBack(
            AppendEntry(arena, std::string_view(digits, static_cast<size_t>(end - digits))));
    }
    arena_.Swap(arena);
    rows_.Swap(rows);
    garbage_ = 0;
    if (count > 0) {
        Widen(0);
        Widen(static_cast<double>(count - 1));
    }
    maxCovered_ = minCovered_ = true;
}

size_t Tdatavector::MemoryUsage() const {
    return sizeof(*this) + arena_.Capacity() + rows_.Capacity() * sizeof(uint32_t);
}

} // namespace vx
