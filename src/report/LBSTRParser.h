#pragma once

#include "platform/runtime/Exceptions.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

// A piece of parsed text enclosed by one delimiter pair.
struct TLBFRAG {
    int32_t Start = 0;  // 1-based position in the parsed text
    int32_t Length = 0; // delimiters included
    int32_t Pair = 0;   // index of the delimiter pair that found it
    int32_t End() const { return Start + Length; }
    bool operator==(const TLBFRAG&) const = default;
};

// Finds the pieces of a text enclosed by delimiter pairs. Pairs are searched in the order they
// were added, and what one pair found is blanked out so that no later pair finds it (or the
// delimiters inside it) again; the fragments come out in text order.
class TLBSTRParser {
public:
    // Tag is kept with the pair for the caller; the parser does not use it.
    void AddDelimiters(std::string_view opening, std::string_view closing, int32_t tag = 0);
    void Parse(std::string_view text);
    int FragmentCount() const { return static_cast<int>(fragments_.size()); }
    // Raises EListError "Invalid index!" outside 0..FragmentCount() - 1.
    const TLBFRAG& GetFragment(int i) const;

private:
    struct Pair {
        std::string Opening;
        std::string Closing;
        int32_t Tag = 0;
    };
    std::vector<Pair> pairs_;
    std::vector<TLBFRAG> fragments_;
};

} // namespace vx
