#pragma once

// Filtered copies of the tests of a data buffer: the rows for which a filter expression over
// CHN and SCHN is not zero, optionally grouped into sections by the text of a key channel.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vx {

class TDatabuffer;
class TdataProva;

struct tdatafilter {
    // Empty: every test is copied whole.
    std::string Expression;
    // -1: no grouping, one section.
    int32_t KeyChannel = -1;
    // 0 groups by the key's text; any other mode gives no sections.
    uint8_t GroupingMode = 0;
};

// One test per source test, holding this section's rows.
class TDataSection {
public:
    int ProvaCount() const { return static_cast<int>(tests_.size()); }
    // Out of range raises EListError.
    TdataProva& GetProva(int i) const;

private:
    friend class TDataCollection;
    std::vector<std::unique_ptr<TdataProva>> tests_;
};

class TDataCollection {
public:
    // Filters every test of the buffer, leaving the buffer's CurrentTest and CurrentRow at the
    // last row filtered. Errors of the expression are raised.
    TDataCollection(TDatabuffer& buffer, const tdatafilter& filter);
    ~TDataCollection();
    TDataCollection(const TDataCollection&) = delete;
    TDataCollection& operator=(const TDataCollection&) = delete;

    int SectionCount() const { return static_cast<int>(sections_.size()); }
    // Out of range raises EListError.
    TDataSection& GetSection(int i) const;

private:
    void Group(const std::vector<const TdataProva*>& tests, int keyChannel);

    std::vector<std::unique_ptr<TDataSection>> sections_;
};

} // namespace vx
