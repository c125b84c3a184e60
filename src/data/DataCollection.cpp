#include "data/DataCollection.h"

#include "data/ChannelFunctions.h"
#include "data/Databuff.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/FormatSettings.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/Strings.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

namespace vx {

namespace {

[[noreturn]] void IndexError(int index) {
    throw EListError("List index out of bounds (" + IntToStr(index) + ")");
}

int RowCount(const TdataProva& test) {
    return test.VectorCount() > 0 ? test.GetChannel(0).Count() : 0;
}

// Copies rows of one test into another with the same channels, texts as they stand.
class TRowCopier {
public:
    TRowCopier(const TdataProva& source, TdataProva& destination) {
        for (int c = 0; c < source.ChannelCount(); ++c) {
            from_.push_back(&source.GetChannel(c));
            to_.push_back(&destination.GetChannel(c));
        }
    }
    // A channel that ends before the row (a short line of the test file) has nothing to copy
    // and stays as much shorter in the copy.
    void Copy(int row) const {
        for (size_t c = 0; c < from_.size(); ++c)
            if (row < from_[c]->Count())
                to_[c]->AddTextRaw(from_[c]->TextView(row));
    }

private:
    std::vector<const Tdatavector*> from_;
    std::vector<Tdatavector*> to_;
};

// A tree compiled at one row is the tree the same text gives at the following rows as long as
// nothing it saw while compiling changes: the channel numbers (constant unless a parameter
// reads the data or the random generator or a table file), and whether each CHN's row lies
// within its channel, which changes only at a channel's end. The first row at which compiling
// could give another tree, or rows when none.
int SameTreeUntil(const std::vector<IValueRef>& functions, int row, int rows) {
    int until = rows;
    for (const IValueRef& node : functions) {
        auto* function = static_cast<TChannelFunction*>(node.Get());
        if (function->ParameterReadsData())
            return row + 1;
        if (!dynamic_cast<TCHNExpr*>(function))
            continue;
        if (const int count = function->ChannelRowCount(); count > row)
            until = std::min(until, count);
    }
    return until;
}

// Functions whose value a parameter could take from outside the buffer.
bool MayReadOutsideBuffer(std::string_view expression) {
    const std::string upper = UpperCase(expression);
    return upper.find("RND") != std::string::npos || upper.find("INTL") != std::string::npos;
}

// The rows of test `index` for which the expression is not zero, with the same channels and
// nothing else. The result is that of compiling the expression afresh at every row; a tree is
// only reused for rows at which compiling would give the same tree.
std::unique_ptr<TdataProva> FilterTest(TDatabuffer& buffer, int index,
                                       std::string_view expression) {
    const TdataProva& source = buffer.GetProva(index);
    auto result = std::make_unique<TdataProva>();
    buffer.CurrentTest = index;
    result->AddChannels(source.ChannelCount() + 1);
    const TRowCopier copier(source, *result);
    const bool compileEveryRow = MayReadOutsideBuffer(expression);
    std::vector<IValueRef> functions;
    const TIdentifierFunction identifiers = [&](std::string_view name, TParameterList params) {
        IValueRef node = ChannelIdentifierFunction(buffer, name, std::move(params));
        if (node)
            functions.push_back(node);
        return node;
    };
    const int rows = RowCount(source);
    for (int row = 0; row < rows;) {
        buffer.CurrentRow = row;
        functions.clear();
        IValueRef value;
        CreateExpression(expression, value, identifiers);
        const int until = compileEveryRow ? row + 1 : SameTreeUntil(functions, row, rows);
        for (; row < until; ++row) {
            buffer.CurrentRow = row;
            if (value->AsFloat() != 0)
                copier.Copy(row);
        }
    }
    return result;
}

// A test with the channels, names and units of `shape` and no rows.
std::unique_ptr<TdataProva> EmptyLike(const TdataProva& shape) {
    auto test = std::make_unique<TdataProva>();
    test->AddChannels(shape.VectorCount());
    test->ChannelNames.Assign(shape.ChannelNames);
    test->Units.Assign(shape.Units);
    test->HeaderCells.Assign(shape.HeaderCells);
    test->FileName = shape.FileName;
    return test;
}

// Whether a copy through the stored form (TdataProva::Assign) gives back every text of the
// test unchanged: no separator to exchange and nothing cut to a short string.
bool CopiesVerbatim(const TdataProva& test) {
    if (DocDecimalSeparator != FormatSettings().DecimalSeparator)
        return false;
    constexpr size_t kShortStringMax = 255;
    auto fits = [](const TStringList& list) {
        return std::ranges::all_of(
            list.Items(), [](const std::string& s) { return s.size() <= kShortStringMax; });
    };
    if (test.FileName.size() > kShortStringMax || !fits(test.ChannelNames) || !fits(test.Units) ||
        !fits(test.HeaderCells))
        return false;
    for (int c = 0; c < test.VectorCount(); ++c) {
        const Tdatavector& channel = test.GetChannel(c);
        for (int r = 0; r < channel.Count(); ++r)
            if (channel.TextView(r).size() > kShortStringMax)
                return false;
    }
    return true;
}

struct TTextHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
};

} // namespace

TdataProva& TDataSection::GetProva(int i) const {
    if (i < 0 || i >= ProvaCount())
        IndexError(i);
    return *tests_[static_cast<size_t>(i)];
}

TDataCollection::TDataCollection(TDatabuffer& buffer, const tdatafilter& filter) {
    const bool grouped = filter.KeyChannel >= 0;
    std::vector<std::unique_ptr<TdataProva>> copies;
    // What the rows are taken from: the copies, or for grouping the source tests themselves
    // where a copy would hold the same texts.
    std::vector<const TdataProva*> tests;
    for (int i = 0; i < buffer.ProvaCount(); ++i) {
        const TdataProva& source = buffer.GetProva(i);
        if (!filter.Expression.empty()) {
            copies.push_back(FilterTest(buffer, i, filter.Expression));
        } else if (grouped && CopiesVerbatim(source)) {
            tests.push_back(&source);
            continue;
        } else {
            copies.push_back(std::make_unique<TdataProva>());
            copies.back()->Assign(source);
        }
        tests.push_back(copies.back().get());
    }
    if (!grouped) {
        sections_.push_back(std::make_unique<TDataSection>());
        sections_.back()->tests_ = std::move(copies);
    } else if (filter.GroupingMode == 0) {
        Group(tests, filter.KeyChannel);
    }
}

TDataCollection::~TDataCollection() = default;

TDataSection& TDataCollection::GetSection(int i) const {
    if (i < 0 || i >= SectionCount())
        IndexError(i);
    return *sections_[static_cast<size_t>(i)];
}

// One section per key text, in the order the keys are first met. A row without a key text
// (the test lacks the key channel, or it ends before the row) belongs to no section.
void TDataCollection::Group(const std::vector<const TdataProva*>& tests, int keyChannel) {
    std::unordered_map<std::string, size_t, TTextHash, std::equal_to<>> byKey;
    std::vector<size_t> sectionOfRow;
    for (size_t t = 0; t < tests.size(); ++t) {
        const TdataProva& test = *tests[t];
        if (keyChannel >= test.VectorCount())
            continue;
        const Tdatavector& key = test.GetChannel(keyChannel);
        const size_t rows = static_cast<size_t>(std::min(RowCount(test), key.Count()));
        sectionOfRow.resize(rows);
        std::string_view runKey;
        for (size_t row = 0; row < rows; ++row) {
            const std::string_view text = key.TextView(static_cast<int>(row));
            // Keys tend to come in runs of rows.
            if (row > 0 && text == runKey) {
                sectionOfRow[row] = sectionOfRow[row - 1];
                continue;
            }
            auto found = byKey.find(text);
            if (found == byKey.end()) {
                auto created = std::make_unique<TDataSection>();
                for (const TdataProva* shape : tests)
                    created->tests_.push_back(EmptyLike(*shape));
                sections_.push_back(std::move(created));
                found = byKey.emplace(std::string(text), sections_.size() - 1).first;
            }
            sectionOfRow[row] = found->second;
            runKey = found->first;
        }
        // A channel at a time, each part sized before it is filled.
        for (int c = 0; c < test.ChannelCount(); ++c) {
            const Tdatavector& from = test.GetChannel(c);
            const int n = std::min(static_cast<int>(rows), from.Count());
            std::vector<int> counts(sections_.size());
            std::vector<size_t> bytes(sections_.size());
            for (int row = 0; row < n; ++row) {
                const size_t s = sectionOfRow[static_cast<size_t>(row)];
                ++counts[s];
                bytes[s] += from.TextView(row).size();
            }
            std::vector<Tdatavector*> to(sections_.size());
            for (size_t s = 0; s < sections_.size(); ++s) {
                if (counts[s] == 0)
                    continue;
                to[s] = &sections_[s]->tests_[t]->GetChannel(c);
                to[s]->Reserve(counts[s], bytes[s]);
            }
            for (int row = 0; row < n; ++row)
                to[sectionOfRow[static_cast<size_t>(row)]]->AddTextRaw(from.TextView(row));
        }
    }
}

} // namespace vx
