#include "platform/graphics/FontSubset.h"

#include <algorithm>
#include <map>
#include <optional>

namespace vx {

namespace {

constexpr uint32_t Tag(const char (&t)[5]) {
    return uint32_t(uint8_t(t[0])) << 24 | uint32_t(uint8_t(t[1])) << 16 |
           uint32_t(uint8_t(t[2])) << 8 | uint32_t(uint8_t(t[3]));
}

// What a viewer needs to draw and hint the glyphs of an embedded simple font.
constexpr uint32_t kKeptTables[] = {
    Tag("head"), Tag("hhea"), Tag("hmtx"), Tag("maxp"), Tag("loca"), Tag("glyf"), Tag("cvt "),
    Tag("fpgm"), Tag("prep"), Tag("cmap"), Tag("name"), Tag("OS/2"), Tag("post"), Tag("gasp"),
};

constexpr size_t kHeadSize = 54;
constexpr size_t kHeadCheckSumAdjustment = 8;
constexpr size_t kHeadIndexToLocFormat = 50;
constexpr size_t kGlyphHeaderSize = 10;
constexpr uint32_t kMaxShortLocaOffset = 0xFFFF * 2;

constexpr uint16_t ARG_1_AND_2_ARE_WORDS = 0x0001;
constexpr uint16_t WE_HAVE_A_SCALE = 0x0008;
constexpr uint16_t MORE_COMPONENTS = 0x0020;
constexpr uint16_t WE_HAVE_AN_X_AND_Y_SCALE = 0x0040;
constexpr uint16_t WE_HAVE_A_TWO_BY_TWO = 0x0080;

uint16_t U16(std::string_view b, size_t at) {
    return static_cast<uint16_t>(uint8_t(b[at]) << 8 | uint8_t(b[at + 1]));
}

uint32_t U32(std::string_view b, size_t at) {
    return uint32_t(U16(b, at)) << 16 | U16(b, at + 2);
}

void PutU16(std::string& b, uint16_t v) {
    b += char(v >> 8);
    b += char(v);
}

void PutU32(std::string& b, uint32_t v) {
    PutU16(b, uint16_t(v >> 16));
    PutU16(b, uint16_t(v));
}

void SetU16(std::string& b, size_t at, uint16_t v) {
    b[at] = char(v >> 8);
    b[at + 1] = char(v);
}

void SetU32(std::string& b, size_t at, uint32_t v) {
    SetU16(b, at, uint16_t(v >> 16));
    SetU16(b, at + 2, uint16_t(v));
}

// Sum of big-endian words, the data padded with zeros to a whole word.
uint32_t CheckSum(std::string_view data) {
    uint32_t sum = 0;
    size_t at = 0;
    for (; at + 4 <= data.size(); at += 4)
        sum += U32(data, at);
    uint32_t last = 0;
    for (size_t i = 0; at + i < data.size(); ++i)
        last |= uint32_t(uint8_t(data[at + i])) << (24 - 8 * i);
    return sum + last;
}

void PadToWord(std::string& b) {
    b.append((4 - b.size() % 4) % 4, '\0');
}

// The components a composite glyph refers to; nullopt when a record runs past the glyph's
// data or names a glyph the font does not have.
std::optional<std::vector<uint16_t>> Components(std::string_view glyph, uint16_t numGlyphs) {
    std::vector<uint16_t> out;
    size_t at = kGlyphHeaderSize;
    for (;;) {
        if (at + 4 > glyph.size())
            return std::nullopt;
        const uint16_t flags = U16(glyph, at);
        const uint16_t index = U16(glyph, at + 2);
        if (index >= numGlyphs)
            return std::nullopt;
        at += 4;
        at += (flags & ARG_1_AND_2_ARE_WORDS) ? 4 : 2;
        if (flags & WE_HAVE_A_SCALE)
            at += 2;
        else if (flags & WE_HAVE_AN_X_AND_Y_SCALE)
            at += 4;
        else if (flags & WE_HAVE_A_TWO_BY_TWO)
            at += 8;
        if (at > glyph.size())
            return std::nullopt;
        out.push_back(index);
        if (!(flags & MORE_COMPONENTS))
            return out;
    }
}

class Subsetter {
public:
    explicit Subsetter(std::string_view font) : font_(font) {}

    std::string Run(const std::vector<uint32_t>& glyphs) {
        if (!ReadDirectory() || !ReadGlyphIndex())
            return {};
        kept_.assign(numGlyphs_, kUnseen);
        if (!Keep(0))
            return {};
        for (uint32_t g : glyphs)
            if (g < numGlyphs_ && !Keep(static_cast<uint16_t>(g)))
                return {};
        return Write();
    }

private:
    enum : uint8_t { kUnseen, kOpen, kKept };

    struct Frame {
        uint16_t Glyph;
        std::vector<uint16_t> Components;
        size_t Next = 0;
    };

    bool ReadDirectory() {
        if (font_.size() < 12)
            return false;
        // Only a single font with TrueType outlines: 'OTTO' (CFF) and 'ttcf' do not qualify.
        const uint32_t version = U32(font_, 0);
        if (version != 0x00010000 && version != Tag("true"))
            return false;
        const uint16_t numTables = U16(font_, 4);
        if (12 + size_t(numTables) * 16 > font_.size())
            return false;
        for (size_t i = 0; i < numTables; ++i) {
            const size_t record = 12 + i * 16;
            const uint32_t tag = U32(font_, record);
            const uint64_t offset = U32(font_, record + 8);
            const uint64_t length = U32(font_, record + 12);
            if (offset + length > font_.size())
                return false;
            if (!tables_.emplace(tag, font_.substr(offset, length)).second)
                return false;
        }
        return true;
    }

    std::string_view Table(uint32_t tag) const {
        auto it = tables_.find(tag);
        return it == tables_.end() ? std::string_view() : it->second;
    }

    bool ReadGlyphIndex() {
        const std::string_view head = Table(Tag("head"));
        const std::string_view maxp = Table(Tag("maxp"));
        loca_ = Table(Tag("loca"));
        glyf_ = Table(Tag("glyf"));
        if (head.size() < kHeadSize || maxp.size() < 6 || loca_.empty() ||
            !tables_.count(Tag("glyf")))
            return false;
        const uint16_t format = U16(head, kHeadIndexToLocFormat);
        if (format > 1)
            return false;
        longLoca_ = format == 1;
        numGlyphs_ = U16(maxp, 4);
        if (numGlyphs_ == 0 || loca_.size() < (size_t(numGlyphs_) + 1) * (longLoca_ ? 4 : 2))
            return false;
        for (uint32_t g = 0; g <= numGlyphs_; ++g)
            if (LocaEntry(g) > glyf_.size())
                return false;
        return true;
    }

    uint64_t LocaEntry(uint32_t index) const {
        return longLoca_ ? U32(loca_, index * 4) : uint64_t(U16(loca_, index * 2)) * 2;
    }

    // The glyph's data; nullopt when its loca entries run backwards.
    std::optional<std::string_view> Glyph(uint16_t glyph) const {
        const uint64_t start = LocaEntry(glyph);
        const uint64_t end = LocaEntry(glyph + 1u);
        if (start > end)
            return std::nullopt;
        return glyf_.substr(start, end - start);
    }

    bool Open(uint16_t glyph) {
        const std::optional<std::string_view> data = Glyph(glyph);
        if (!data || (!data->empty() && data->size() < kGlyphHeaderSize))
            return false;
        Frame frame{glyph, {}};
        if (!data->empty() && static_cast<int16_t>(U16(*data, 0)) < 0) {
            std::optional<std::vector<uint16_t>> components = Components(*data, numGlyphs_);
            if (!components)
                return false;
            frame.Components = std::move(*components);
        }
        kept_[glyph] = kOpen;
        stack_.push_back(std::move(frame));
        return true;
    }

    // Marks the glyph and everything it is built from; false on a broken glyph or on a
    // composite that contains itself, which would send a renderer round in circles. Without
    // recursion: a chain of composites may be as long as the font.
    bool Keep(uint16_t root) {
        if (kept_[root] == kKept)
            return true;
        if (!Open(root))
            return false;
        while (!stack_.empty()) {
            Frame& top = stack_.back();
            if (top.Next == top.Components.size()) {
                kept_[top.Glyph] = kKept;
                stack_.pop_back();
                continue;
            }
            const uint16_t next = top.Components[top.Next++];
            if (kept_[next] == kOpen)
                return false;
            if (kept_[next] == kUnseen && !Open(next))
                return false;
        }
        return true;
    }

    std::string Write() const {
        std::string glyf;
        std::vector<uint32_t> offsets;
        offsets.reserve(numGlyphs_ + 1u);
        for (uint32_t g = 0; g < numGlyphs_; ++g) {
            offsets.push_back(static_cast<uint32_t>(glyf.size()));
            if (kept_[g] == kKept) {
                const std::string_view data = *Glyph(static_cast<uint16_t>(g));
                glyf.append(data);
                PadToWord(glyf);
            }
        }
        offsets.push_back(static_cast<uint32_t>(glyf.size()));
        // Padding each glyph to a word may overrun what the short form can address.
        const bool longLoca = longLoca_ || glyf.size() > kMaxShortLocaOffset;
        std::string loca;
        for (uint32_t offset : offsets) {
            if (longLoca)
                PutU32(loca, offset);
            else
                PutU16(loca, static_cast<uint16_t>(offset / 2));
        }

        std::string head(Table(Tag("head")));
        SetU32(head, kHeadCheckSumAdjustment, 0);
        SetU16(head, kHeadIndexToLocFormat, longLoca ? 1 : 0);

        std::map<uint32_t, std::string> out;
        for (uint32_t tag : kKeptTables) {
            auto it = tables_.find(tag);
            if (it != tables_.end())
                out.emplace(tag, std::string(it->second));
        }
        out[Tag("head")] = std::move(head);
        out[Tag("loca")] = std::move(loca);
        out[Tag("glyf")] = std::move(glyf);

        const auto numTables = static_cast<uint16_t>(out.size());
        uint16_t entrySelector = 0;
        while ((2u << entrySelector) <= numTables)
            ++entrySelector;
        const uint16_t searchRange = static_cast<uint16_t>(16u << entrySelector);

        std::string font;
        PutU32(font, 0x00010000);
        PutU16(font, numTables);
        PutU16(font, searchRange);
        PutU16(font, entrySelector);
        PutU16(font, static_cast<uint16_t>(numTables * 16 - searchRange));
        size_t offset = font.size() + out.size() * 16;
        size_t headOffset = 0;
        for (const auto& [tag, data] : out) {
            if (tag == Tag("head"))
                headOffset = offset;
            PutU32(font, tag);
            PutU32(font, CheckSum(data));
            PutU32(font, static_cast<uint32_t>(offset));
            PutU32(font, static_cast<uint32_t>(data.size()));
            offset += (data.size() + 3) / 4 * 4;
        }
        if (offset > UINT32_MAX)
            return {};
        for (const auto& entry : out) {
            font += entry.second;
            PadToWord(font);
        }
        SetU32(font, headOffset + kHeadCheckSumAdjustment, 0xB1B0AFBA - CheckSum(font));
        return font;
    }

    std::string_view font_;
    std::map<uint32_t, std::string_view> tables_;
    std::string_view loca_;
    std::string_view glyf_;
    bool longLoca_ = false;
    uint16_t numGlyphs_ = 0;
    std::vector<uint8_t> kept_;
    std::vector<Frame> stack_;
};

} // namespace

std::string SubsetTrueType(std::string_view font, const std::vector<uint32_t>& glyphs) {
    return Subsetter(font).Run(glyphs);
}

} // namespace vx
