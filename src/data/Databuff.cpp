#include "data/Databuff.h"

#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/Strings.h"

#include <cmath>
#include <numeric>
#include <unordered_set>
#include <utility>

namespace vx {

namespace {

[[noreturn]] void IndexError(int64_t index) {
    throw EListError("List index out of bounds (" + IntToStr(index) + ")");
}

void WriteShortStrings(TStream& stream, const TStringList& list) {
    stream.WriteI32(list.Count());
    for (const std::string& s : list.Items())
        stream.WriteShortString(s);
}

// Read completely before the list changes, so a short stream leaves the list as it was.
void ReadShortStrings(TStream& stream, TStringList& list) {
    const size_t count = stream.CheckCount(stream.ReadI32(), 1);
    TStringList read;
    for (size_t i = 0; i < count; ++i)
        read.Add(stream.ReadShortString());
    list.Assign(read);
}

// The smallest stored test: empty file name, three empty lists and no vector.
constexpr size_t kMinTestRecord = 1 + 4 + 4 + 4 + 4;

} // namespace

// --- TdataProva ---

TdataProva::TdataProva() = default;
TdataProva::~TdataProva() = default;

void TdataProva::AddChannels(int n) {
    for (int i = 0; i < n; ++i)
        channels_.push_back(std::make_unique<Tdatavector>());
}

Tdatavector& TdataProva::GetChannel(int i) {
    if (i < 0 || i >= VectorCount())
        IndexError(i);
    return *channels_[static_cast<size_t>(i)];
}

const Tdatavector& TdataProva::GetChannel(int i) const {
    return const_cast<TdataProva*>(this)->GetChannel(i);
}

std::string TdataProva::GetText(int channel, int row) const {
    return GetChannel(channel).GetText(row);
}

void TdataProva::UpdateMinMax() {
    for (auto& channel : channels_)
        channel->RecomputeMinMax();
}

void TdataProva::ClearChannels() {
    channels_.clear();
}

std::string TdataProva::GetChannelLabel(int i) const {
    if (i < 0 || i >= ChannelNames.Count() || i >= Units.Count())
        return "???";
    return (ChannelNames[i] + "[" + Units[i] + "]").substr(0, 255);
}

void TdataProva::SaveToStream(TStream& stream) const {
    stream.WriteShortString(FileName);
    WriteShortStrings(stream, ChannelNames);
    WriteShortStrings(stream, Units);
    WriteShortStrings(stream, HeaderCells);
    stream.WriteI32(VectorCount());
    for (const auto& channel : channels_)
        channel->SaveToStream(stream);
}

void TdataProva::LoadFromStream(TStream& stream) {
    // Read whole before anything is taken over, so that a refused stream changes nothing.
    std::string fileName = stream.ReadShortString();
    TStringList names, units, cells;
    ReadShortStrings(stream, names);
    ReadShortStrings(stream, units);
    ReadShortStrings(stream, cells);
    const size_t count = stream.CheckCount(stream.ReadI32(), 4);
    std::vector<std::unique_ptr<Tdatavector>> channels;
    for (size_t i = 0; i < count; ++i) {
        auto channel = std::make_unique<Tdatavector>();
        channel->LoadFromStream(stream);
        channels.push_back(std::move(channel));
    }
    FileName = std::move(fileName);
    ChannelNames.Assign(names);
    Units.Assign(units);
    HeaderCells.Assign(cells);
    channels_.swap(channels);
}

void TdataProva::WriteChannelsToStream(TStream& stream) const {
    stream.WriteI32(VectorCount());
    for (const auto& channel : channels_)
        channel->WriteToStream(stream);
}

void TdataProva::ReadChannelsFromStream(TStream& stream) {
    const size_t count = stream.CheckCount(stream.ReadI32(), 4);
    for (size_t i = 0; i < count; ++i) {
        auto channel = std::make_unique<Tdatavector>();
        channel->ReadFromStream(stream);
        channels_.push_back(std::move(channel));
    }
}

void TdataProva::Assign(const TdataProva& source) {
    TMemoryStream stream;
    source.SaveToStream(stream);
    stream.SetPosition(0);
    LoadFromStream(stream);
}

void TdataProva::SetSortChannel(int c) {
    if (c < 0)
        c = -1;
    if (c == sortChannel_)
        return;
    if (c >= VectorCount())
        IndexError(c);
    if (c < 0)
        RestoreAcquisitionOrder();
    else
        SortByChannel(c);
}

void TdataProva::SortByChannel(int c) {
    Tdatavector& channel = *channels_[static_cast<size_t>(c)];
    const int n = channel.Count();
    if (RowIndex.Count() != n)
        RowIndex.FillRowNumbers(n);

    std::vector<double> keys(static_cast<size_t>(n));
    std::vector<uint8_t> isNumber(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        double v;
        isNumber[static_cast<size_t>(i)] = channel.ReadFloat(i, v);
        keys[static_cast<size_t>(i)] = isNumber[static_cast<size_t>(i)] ? v : 0.0;
    }
    std::vector<int32_t> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), 0);

    // The rows change places as the channel's texts did when each exchange was a SetText, so
    // the same values widen the caches and equal values end in the same order.
    double widenMax = 0, widenMin = 0;
    bool widened = false;
    auto exchange = [&](size_t a, size_t b) {
        for (size_t r : {a, b}) {
            if (!isNumber[r])
                continue;
            if (!widened || keys[r] > widenMax)
                widenMax = keys[r];
            if (!widened || keys[r] < widenMin)
                widenMin = keys[r];
            widened = true;
        }
        std::swap(keys[a], keys[b]);
        std::swap(isNumber[a], isNumber[b]);
        std::swap(order[a], order[b]);
    };
    // Recursing into the smaller part only keeps the stack shallow whatever the data.
    auto sort = [&](auto& self, int lo, int hi) -> void {
        while (lo < hi) {
            const double pivot = keys[static_cast<size_t>((lo + hi) / 2)];
            int i = lo, j = hi;
            while (i <= j) {
                while (keys[static_cast<size_t>(i)] < pivot)
                    ++i;
                while (keys[static_cast<size_t>(j)] > pivot)
                    --j;
                if (i <= j) {
                    exchange(static_cast<size_t>(i), static_cast<size_t>(j));
                    ++i;
                    --j;
                }
            }
            if (j - lo < hi - i) {
                if (lo < j)
                    self(self, lo, j);
                lo = i;
            } else {
                if (i < hi)
                    self(self, i, hi);
                hi = j;
            }
        }
    };
    sort(sort, 0, n - 1);

    channel.Permute(order);
    if (widened) {
        channel.Widen(widenMax);
        channel.Widen(widenMin);
    }
    RowIndex.Permute(order);
    RowIndex.WidenByAllRows();
    // The other channels follow the same exchange of rows. Taking it relative to the current
    // order keeps rows together even when the test was already sorted by another channel.
    for (int k = 0; k < ChannelCount(); ++k) {
        Tdatavector& other = *channels_[static_cast<size_t>(k)];
        if (k != c && other.Count() == n)
            other.RearrangeAsCopy(order);
    }
    sortChannel_ = c;
}

void TdataProva::RestoreAcquisitionOrder() {
    const int n = RowIndex.Count();
    if (channels_.empty() || channels_[0]->Count() != n) {
        sortChannel_ = -1;
        return;
    }
    // Row j goes back to row RowIndex[j]; anything that is not a permutation would mix rows.
    std::vector<int32_t> order(static_cast<size_t>(n), -1);
    for (int j = 0; j < n; ++j) {
        const double v = std::trunc(RowIndex.GetFloat(j));
        if (!(v >= 0 && v < n) || order[static_cast<size_t>(v)] >= 0)
            IndexError(static_cast<int64_t>(std::isfinite(v) ? v : -1));
        order[static_cast<size_t>(v)] = j;
    }
    for (int k = 0; k < ChannelCount(); ++k) {
        Tdatavector& channel = *channels_[static_cast<size_t>(k)];
        if (channel.Count() == n)
            channel.RearrangeAsCopy(order);
    }
    RowIndex.FillRowNumbers(n);
    sortChannel_ = -1;
}

void TdataProva::GetDistinctValues(TStringList& list, bool skip, int channel) const {
    list.Clear();
    if (skip)
        return;
    const Tdatavector& vector = GetChannel(channel);
    std::unordered_set<std::string_view> seen;
    for (int i = 0; i < vector.Count(); ++i) {
        const std::string_view text = vector.TextView(i);
        if (seen.insert(text).second)
            list.Add(text);
    }
}

void TdataProva::CopyRowsWithKey(TdataProva& destination, std::string_view keyText) const {
    const Tdatavector& key = GetChannel(1);
    const int rows = GetChannel(0).Count();
    const int channels = ChannelCount();
    const int first = destination.VectorCount();
    destination.AddChannels(channels);
    for (int r = 0; r < rows; ++r) {
        if (r >= key.Count() || key.TextView(r) != keyText)
            continue;
        for (int k = 0; k < channels; ++k) {
            const Tdatavector& source = *channels_[static_cast<size_t>(k)];
            Tdatavector& target = *destination.channels_[static_cast<size_t>(first + k)];
            target.AddTextRaw(r < source.Count() ? source.TextView(r) : std::string_view("0"));
        }
    }
}

int TdataProva::IndexOfNearestWithKey(int valueChannel, int keyChannel, std::string_view keyText,
                                      double x) {
    Tdatavector& value = GetChannel(valueChannel);
    const Tdatavector& key = GetChannel(keyChannel);
    int best = -1;
    double bestDistance = 0;
    for (int r = 0; r < value.Count(); ++r) {
        if (r >= key.Count() || key.TextView(r) != keyText)
            continue;
        const double distance = std::fabs(value.GetFloat(r) - x);
        if (best < 0 || distance < bestDistance) {
            best = r;
            bestDistance = distance;
        }
    }
    return best < 0 ? 0 : best;
}

// --- TDatabuffer ---

TDatabuffer::TDatabuffer() = default;
TDatabuffer::~TDatabuffer() = default;

TdataProva& TDatabuffer::AddProva(int n) {
    auto test = std::make_unique<TdataProva>();
    test->AddChannels(n);
    tests_.push_back(std::move(test));
    return *tests_.back();
}

TdataProva& TDatabuffer::GetProva(int i) {
    if (i < 0 || i >= ProvaCount())
        IndexError(i);
    return *tests_[static_cast<size_t>(i)];
}

const TdataProva& TDatabuffer::GetProva(int i) const {
    return const_cast<TDatabuffer*>(this)->GetProva(i);
}

std::string TDatabuffer::GetText(int test, int channel, int row) const {
    return GetProva(test).GetText(channel, row);
}

double TDatabuffer::GetChannelMax(int c) const {
    const TdataProva& first = GetProva(0);
    if (c >= first.ChannelCount())
        return 100.0;
    double result = first.GetChannel(c).Max();
    for (const auto& test : tests_)
        if (c < test->ChannelCount())
            result = std::max(result, test->GetChannel(c).Max());
    return result;
}

double TDatabuffer::GetChannelMin(int c) const {
    const TdataProva& first = GetProva(0);
    if (c >= first.ChannelCount())
        return 0.0;
    double result = first.GetChannel(c).Min();
    for (const auto& test : tests_)
        if (c < test->ChannelCount())
            result = std::min(result, test->GetChannel(c).Min());
    return result;
}

void TDatabuffer::UpdateMinMax() {
    for (auto& test : tests_)
        test->UpdateMinMax();
}

void TDatabuffer::SetSortChannel(int c) {
    // Checked first, so that a channel one test lacks leaves every test as it was.
    for (const auto& test : tests_)
        if (c >= test->VectorCount())
            IndexError(c);
    sorted_ = c >= 0;
    for (auto& test : tests_)
        test->SetSortChannel(c);
}

void TDatabuffer::GetRangeMinMax(double& min, double& max, int valueChannel, int filterChannel,
                                 bool textMode, std::string_view centerText,
                                 std::string_view toleranceText) {
    if (tests_.empty())
        IndexError(0);
    bool everyTestHasIt = true;
    for (const auto& test : tests_)
        if (test->ChannelCount() <= valueChannel)
            everyTestHasIt = false;
    if (filterChannel < 0 || !everyTestHasIt) {
        min = GetChannelMin(valueChannel);
        max = GetChannelMax(valueChannel);
        return;
    }
    const double center = textMode ? 0.0 : StrToFloatDef(centerText, 0.0);
    const double tolerance = textMode ? 0.0 : StrToFloatDef(toleranceText, 0.0);
    bool found = false;
    for (auto& test : tests_) {
        Tdatavector& values = test->GetChannel(valueChannel);
        Tdatavector& filter = test->GetChannel(filterChannel);
        for (int r = 0; r < values.Count(); ++r) {
            // A filter channel shorter than the values has no text to match.
            if (r >= filter.Count())
                break;
            const bool match = textMode ? filter.TextView(r) == centerText
                                        : std::fabs(filter.GetFloat(r) - center) <= tolerance;
            if (!match)
                continue;
            const double v = values.GetFloat(r);
            if (!found) {
                min = max = v;
                found = true;
            } else if (v < min) {
                min = v;
            } else if (v > max) {
                max = v;
            }
        }
    }
}

void TDatabuffer::AppendVector(Tdatavector& destination, const Tdatavector& source) {
    // Counted first: appending a vector to itself must stop at its old end.
    const int count = source.Count();
    for (int i = 0; i < count; ++i)
        destination.AddText(std::string(source.TextView(i)));
}

void TDatabuffer::SaveToStream(TStream& stream) const {
    stream.WriteShortString("Ver 1.0");
    WriteShortStrings(stream, FileNames);
    WriteShortStrings(stream, LabelTable);
    stream.WriteI32(ProvaCount());
    for (const auto& test : tests_)
        test->SaveToStream(stream);
}

void TDatabuffer::LoadFromStream(TStream& stream) {
    stream.ReadShortString(); // the version, never checked
    // Read whole before anything is taken over, so that a refused stream changes nothing.
    TStringList fileNames, labels;
    ReadShortStrings(stream, fileNames);
    ReadShortStrings(stream, labels);
    const size_t count = stream.CheckCount(stream.ReadI32(), kMinTestRecord);
    std::vector<std::unique_ptr<TdataProva>> tests;
    for (size_t i = 0; i < count; ++i) {
        auto test = std::make_unique<TdataProva>();
        test->LoadFromStream(stream);
        tests.push_back(std::move(test));
    }
    FileNames.Assign(fileNames);
    LabelTable.Assign(labels);
    tests_.swap(tests);
    sorted_ = false;
}

void TDatabuffer::SwapContent(TDatabuffer& other) {
    TStringList names, labels;
    names.Assign(FileNames);
    labels.Assign(LabelTable);
    FileNames.Assign(other.FileNames);
    LabelTable.Assign(other.LabelTable);
    other.FileNames.Assign(names);
    other.LabelTable.Assign(labels);
    tests_.swap(other.tests_);
    std::swap(sorted_, other.sorted_);
}

} // namespace vx
