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

std::string_view Tdatavector::TextView(int i) const {
    CheckRow(i);
    const Slot& slot = slots_[static_cast<size_t>(i)];
    return {arena_.data() + slot.offset, slot.length};
}

std::string Tdatavector::GetText(int i) const {
    return std::string(TextView(i));
}

Tdatavector::Slot Tdatavector::Store(std::string_view s) {
    // The text may be a view into this very arena, which appending can move.
    if (!arena_.empty() && s.data() >= arena_.data() && s.data() < arena_.data() + arena_.size())
        return Store(std::string(s));
    constexpr size_t limit = std::numeric_limits<uint32_t>::max();
    if (arena_.size() + s.size() > limit && garbage_ > 0)
        Compact();
    if (arena_.size() + s.size() > limit)
        throw EListError("Channel too large");
    const Slot slot{static_cast<uint32_t>(arena_.size()), static_cast<uint32_t>(s.size())};
    arena_.append(s);
    return slot;
}

void Tdatavector::Compact() {
    std::string packed;
    packed.reserve(arena_.size() - garbage_);
    for (Slot& slot : slots_) {
        const size_t offset = packed.size();
        packed.append(arena_, slot.offset, slot.length);
        slot.offset = static_cast<uint32_t>(offset);
    }
    arena_.swap(packed);
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
    Slot& slot = slots_[static_cast<size_t>(i)];
    if (s.size() <= slot.length) {
        std::memmove(arena_.data() + slot.offset, s.data(), s.size());
        garbage_ += slot.length - s.size();
        slot.length = static_cast<uint32_t>(s.size());
    } else {
        const Slot fresh = Store(s);
        garbage_ += slots_[static_cast<size_t>(i)].length;
        slots_[static_cast<size_t>(i)] = fresh;
    }
    if (garbage_ > 4096 && garbage_ * 2 > arena_.size())
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
    const bool first = slots_.empty();
    slots_.push_back(Store(s));
    if (first) {
        maxCovered_ = minCovered_ = true;
        if (isNumber)
            max_ = min_ = v;
    } else if (isNumber) {
        Widen(v);
    }
}

void Tdatavector::AddTextRaw(std::string_view s) {
    slots_.push_back(Store(s));
    maxCovered_ = minCovered_ = false;
}

void Tdatavector::SetCount(int n) {
    const size_t target = static_cast<size_t>(std::max(n, 0));
    if (target == 0) {
        arena_.clear();
        slots_.clear();
        garbage_ = 0;
        maxCovered_ = minCovered_ = true;
        return;
    }
    if (target < slots_.size()) {
        for (size_t i = target; i < slots_.size(); ++i)
            garbage_ += slots_[i].length;
        slots_.resize(target);
        if (garbage_ * 2 > arena_.size())
            Compact();
        return;
    }
    slots_.reserve(target);
    arena_.reserve(arena_.size() + (target - slots_.size()));
    while (slots_.size() < target)
        slots_.push_back(Store("0"));
    if (0.0 > max_)
        maxCovered_ = false;
    if (0.0 < min_)
        minCovered_ = false;
}

void Tdatavector::Reserve(int rows, size_t textBytes) {
    slots_.reserve(static_cast<size_t>(std::max(rows, 0)));
    arena_.reserve(textBytes);
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
    for (size_t i = 0; i < slots_.size(); ++i) {
        double v;
        const std::string_view text(arena_.data() + slots_[i].offset, slots_[i].length);
        if (!TryReadValueText(text, v, separator)) {
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
    for (const Slot& slot : slots_)
        size += 1 + std::min<size_t>(slot.length, kShortStringMax);
    out.reserve(size);
    AppendI32(out, Count());
    for (const Slot& slot : slots_) {
        const size_t length = std::min<size_t>(slot.length, kShortStringMax);
        out += static_cast<char>(length);
        out.append(arena_, slot.offset, length);
    }
    stream.WriteBuffer(out.data(), out.size());
}

void Tdatavector::LoadFromStream(TStream& stream) {
    const size_t count = stream.CheckCount(stream.ReadI32(), 1);
    const char separator = CurrentSeparator();
    const char stored = DocDecimalSeparator;
    std::string arena;
    std::vector<Slot> slots(count);
    arena.reserve(count * 8);
    double max = max_, min = min_;
    ChunkReader reader(stream, count * (1 + kShortStringMax));
    for (size_t i = 0; i < count; ++i) {
        const size_t length = reader.U8();
        const size_t offset = arena.size();
        arena.append(reader.Bytes(length));
        char* text = arena.data() + offset;
        if (stored != separator)
            std::replace(text, text + length, stored, separator);
        slots[i] = {static_cast<uint32_t>(offset), static_cast<uint32_t>(length)};
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
    if (arena.capacity() > arena.size() + arena.size() / 8)
        arena.shrink_to_fit();
    arena_.swap(arena);
    slots_.swap(slots);
    garbage_ = 0;
    max_ = max;
    min_ = min;
    maxCovered_ = minCovered_ = true;
}

void Tdatavector::WriteToStream(TStream& stream) const {
    std::string out;
    size_t size = 4;
    for (const Slot& slot : slots_)
        size += 4 + std::min<size_t>(slot.length, kShortStringMax);
    out.reserve(size);
    AppendI32(out, Count());
    for (const Slot& slot : slots_) {
        const size_t length = std::min<size_t>(slot.length, kShortStringMax);
        AppendI32(out, static_cast<int32_t>(length));
        out.append(arena_, slot.offset, length);
    }
    stream.WriteBuffer(out.data(), out.size());
}

void Tdatavector::ReadFromStream(TStream& stream) {
    const size_t count = stream.CheckCount(stream.ReadI32(), 4);
    std::string arena;
    std::vector<Slot> slots(count);
    for (size_t i = 0; i < count; ++i) {
        const std::string text = stream.ReadLongString();
        slots[i] = {static_cast<uint32_t>(arena.size()), static_cast<uint32_t>(text.size())};
        arena += text;
    }
    arena_.swap(arena);
    slots_.swap(slots);
    garbage_ = 0;
    maxCovered_ = minCovered_ = slots_.empty();
}

bool Tdatavector::ReplaceChar(char from, char to) {
    bool replaced = false;
    for (char& c : arena_) {
        if (c == from) {
            c = to;
            replaced = true;
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
    std::vector<Slot> rearranged(slots_.size());
    for (size_t j = 0; j < rearranged.size(); ++j)
        rearranged[j] = slots_[static_cast<size_t>(order[j])];
    slots_.swap(rearranged);
}

void Tdatavector::RearrangeAsCopy(const std::vector<int32_t>& order) {
    ConvertDecimalSeparator();
    Permute(order);
    WidenByAllRows();
}

void Tdatavector::FillRowNumbers(int n) {
    const size_t count = static_cast<size_t>(std::max(n, 0));
    std::string arena;
    std::vector<Slot> slots(count);
    arena.reserve(count * 7);
    char digits[16];
    for (size_t j = 0; j < count; ++j) {
        const auto end = std::to_chars(digits, digits + sizeof digits, j).ptr;
        slots[j] = {static_cast<uint32_t>(arena.size()), static_cast<uint32_t>(end - digits)};
        arena.append(digits, end);
    }
    arena_.swap(arena);
    slots_.swap(slots);
    garbage_ = 0;
    if (count > 0) {
        Widen(0);
        Widen(static_cast<double>(count - 1));
    }
    maxCovered_ = minCovered_ = true;
}

size_t Tdatavector::MemoryUsage() const {
    return sizeof(*this) + arena_.capacity() + slots_.capacity() * sizeof(Slot);
}

} // namespace vx
