#include "report/LBSTRParser.h"

#include <algorithm>

namespace vx {

void TLBSTRParser::AddDelimiters(std::string_view opening, std::string_view closing, int32_t tag) {
    pairs_.push_back({std::string(opening), std::string(closing), tag});
}

void TLBSTRParser::Parse(std::string_view text) {
    fragments_.clear();
    std::string work(text);
    for (size_t index = 0; index < pairs_.size(); ++index) {
        const Pair& pair = pairs_[index];
        if (pair.Opening.empty())
            continue;
        for (;;) {
            const size_t start = work.find(pair.Opening);
            if (start == std::string::npos)
                break;
            size_t last = start + pair.Opening.size() - 1;
            if (!pair.Closing.empty()) {
                const size_t close = work.find(pair.Closing, start);
                // An opening that is never closed would be found again for ever: it yields
                // nothing and ends this pair's search.
                if (close == std::string::npos)
                    break;
                last = close + pair.Closing.size() - 1;
            }
            const size_t length = last - start + 1;
            fragments_.push_back({static_cast<int32_t>(start + 1), static_cast<int32_t>(length),
                                  static_cast<int32_t>(index)});
            std::fill_n(work.begin() + static_cast<std::ptrdiff_t>(start), length, '\x02');
        }
    }
    std::stable_sort(fragments_.begin(), fragments_.end(),
                     [](const TLBFRAG& a, const TLBFRAG& b) { return a.Start < b.Start; });
}

const TLBFRAG& TLBSTRParser::GetFragment(int i) const {
    if (i < 0 || i >= FragmentCount())
        throw EListError("Invalid index!");
    return fragments_[static_cast<size_t>(i)];
}

} // namespace vx
