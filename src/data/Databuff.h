#pragma once

// The measured tests of a document: a buffer of tests, each test a list of channels, each
// channel the value texts exactly as they were read from the test file. Values become numbers
// only when they are read.

#include "data/PagedArray.h"
#include "platform/runtime/StringList.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

class TStream;

// The decimal separator with which the stored value texts were written. Program-wide; the
// TCP thread reads and writes it too, hence atomic.
inline std::atomic<char> DocDecimalSeparator{','};

// One channel. The texts live in one byte arena per channel, each behind its length, and a
// row holds only where its entry starts: a million rows cost two allocations, not a million,
// and about five bytes each beside their texts.
class Tdatavector {
public:
    Tdatavector() = default;
    Tdatavector(const Tdatavector&) = delete;
    Tdatavector& operator=(const Tdatavector&) = delete;
    Tdatavector(Tdatavector&&) noexcept = default;
    Tdatavector& operator=(Tdatavector&&) noexcept = default;

    int Count() const { return static_cast<int>(rows_.Size()); }
    // Rows out of range raise EListError "List index out of bounds (<i>)".
    std::string GetText(int i) const;
    // The text without a copy; valid until this vector next changes.
    std::string_view TextView(int i) const;
    // The value of row i. A text written with the other decimal separator repairs the whole
    // vector and sets DocDecimalSeparator; any other text that is not a number reads 0.
    double GetFloat(int i);
    // Stores FloatToStr(v) and widens Max/Min by v.
    void SetFloat(int i, double v);
    // Stores s; widens Max/Min when s is a number.
    void SetText(int i, std::string_view s);
    // Appends s; the first value of an empty vector sets Max and Min, later ones widen them.
    void AddText(std::string_view s);
    // Appends s without touching Max/Min (readers recompute at the end).
    void AddTextRaw(std::string_view s);
    // Below 0 counts as 0; grows by appending "0", shrinks from the end.
    void SetCount(int n);
    // Room for about rows and text bytes in all, so that a reader that knows its size
    // appends without reallocating.
    void Reserve(int rows, size_t textBytes);
    // Gives back the room reserved beyond the rows held.
    void ShrinkToFit();

    // The first row whose value is nearest to x; 0 for an empty vector.
    int IndexOfNearest(double x);

    double Max() const { return max_; }
    double Min() const { return min_; }
    void SetMax(double v);
    void SetMin(double v);
    // Over all rows; 0 for an empty vector or when any text is not a number.
    void RecomputeMin();
    void RecomputeMax();
    void RecomputeMinMax();

    // A copy through the stored form, so the separator exchange of that form applies; then
    // Max/Min are recomputed.
    void Assign(const Tdatavector& source);

    // Stored form: i32 row count, then one short string per row.
    void SaveToStream(TStream& stream) const;
    void LoadFromStream(TStream& stream);
    // In-memory copy form: i32 row count, then per row an i32 length and the bytes.
    void WriteToStream(TStream& stream) const;
    void ReadFromStream(TStream& stream);

    // Replaces every DocDecimalSeparator in the texts by the current decimal separator.
    void ConvertDecimalSeparator();

    // Bytes held by this vector (texts, slots and the object), for measurements.
    size_t MemoryUsage() const;

private:
    friend class TdataProva;

    void CheckRow(int i) const;
    // The text of the entry at offset, and the bytes the entry takes with its length.
    std::string_view EntryText(uint32_t offset) const;
    size_t EntrySize(uint32_t offset) const;
    // Appends an entry for s and gives its offset.
    uint32_t Store(std::string_view s);
    // Stores s at row i without touching Max/Min.
    void PutText(int i, std::string_view s);
    void Compact();
    void Widen(double v);
    // The value of row i with the separator repair; false when the text is not a number.
    bool ReadFloat(int i, double& v);
    // The value of row i as StrToFloat reads it, without any repair.
    bool TryValue(int i, double& v) const;
    // Widens Max/Min by every row that is a number, unless they already cover every value.
    void WidenByAllRows();
    // True when any byte was replaced.
    bool ReplaceChar(char from, char to);
    void Recompute(bool wantMin, bool wantMax);
    // Rows rearranged so that new row j is old row order[j].
    void Permute(const std::vector<int32_t>& order);
    // Permute as a copy through the stored form and SetText would do it: the texts get the
    // stored separator exchanged and widen Max/Min.
    void RearrangeAsCopy(const std::vector<int32_t>& order);
    // Rows "0", "1", ... n-1, widening Max/Min as SetFloat would.
    void FillRowNumbers(int n);

    // Entries: a length byte below 255 and the text, or 255, a 32-bit length and the text.
    TPagedArray<char> arena_;
    // Per row the offset of its entry.
    TPagedArray<uint32_t> rows_;
    // Bytes of the arena that no row uses any more.
    size_t garbage_ = 0;
    double max_ = 0;
    double min_ = 0;
    // True while Max (Min) is known to lie at or beyond every value that is a number, so that
    // widening by values already held can be skipped.
    bool maxCovered_ = true;
    bool minCovered_ = true;
};

// One test: its channels (one more vector than ChannelCount, the last one empty after an
// import), names, units, header cells and file name.
class TdataProva {
public:
    TdataProva();
    ~TdataProva();
    TdataProva(const TdataProva&) = delete;
    TdataProva& operator=(const TdataProva&) = delete;

    TStringList ChannelNames;
    TStringList Units;
    // "<column>,<row>#<text>" per non-empty cell of the header rows.
    TStringList HeaderCells;
    // At most 255 characters in the stream.
    std::string FileName;
    // For each current row its row number in acquisition order ("0", "1", ...).
    Tdatavector RowIndex;

    // The channel the rows are sorted by; -1 = acquisition order.
    int SortChannel() const { return sortChannel_; }

    void AddChannels(int n);
    int VectorCount() const { return static_cast<int>(channels_.size()); }
    // The number of vectors minus one.
    int ChannelCount() const { return VectorCount() - 1; }
    // Any vector, the last one included; out of range raises EListError.
    Tdatavector& GetChannel(int i);
    const Tdatavector& GetChannel(int i) const;
    std::string GetText(int channel, int row) const;
    // RecomputeMinMax on every vector.
    void UpdateMinMax();
    void ClearChannels();
    // "Name[unit]", or "???" when i is not below the count of both names and units.
    std::string GetChannelLabel(int i) const;

    void SaveToStream(TStream& stream) const;
    void LoadFromStream(TStream& stream);
    // i32 vector count, then every vector in the in-memory copy form.
    void WriteChannelsToStream(TStream& stream) const;
    // Appends the vectors read; meant for a test without vectors.
    void ReadChannelsFromStream(TStream& stream);
    // A copy through the stream; the copy's Max/Min are not recomputed.
    void Assign(const TdataProva& source);

    // Sorts the rows by channel c (ascending value), or back to acquisition order for c < 0.
    void SetSortChannel(int c);
    // The distinct texts of a channel in row order (exact comparison); empty when skip.
    void GetDistinctValues(TStringList& list, bool skip, int channel) const;
    // Gives destination ChannelCount new vectors holding the rows whose channel-1 text is
    // keyText.
    void CopyRowsWithKey(TdataProva& destination, std::string_view keyText) const;
    // The row nearest to x among those whose key text is keyText; 0 when none matches.
    int IndexOfNearestWithKey(int valueChannel, int keyChannel, std::string_view keyText, double x);

private:
    void SortByChannel(int c);
    void RestoreAcquisitionOrder();

    std::vector<std::unique_ptr<Tdatavector>> channels_;
    int sortChannel_ = -1;
};

// The tests of one document.
class TDatabuffer {
public:
    TDatabuffer();
    ~TDatabuffer();
    TDatabuffer(const TDatabuffer&) = delete;
    TDatabuffer& operator=(const TDatabuffer&) = delete;

    TStringList FileNames;
    // Per channel of the first test: quantity, '\xA7', unit.
    TStringList LabelTable;
    int CurrentTest = 0;
    int CurrentRow = 0;
    int XChannel = 0;

    // True while the tests are sorted by a channel.
    bool Sorted() const { return sorted_; }

    // Appends a new test with n vectors.
    TdataProva& AddProva(int n);
    int ProvaCount() const { return static_cast<int>(tests_.size()); }
    // Out of range raises EListError.
    TdataProva& GetProva(int i);
    const TdataProva& GetProva(int i) const;
    std::string GetText(int test, int channel, int row) const;

    // From the cached Max/Min over every test that has channel c; 100 / 0 when test 0 lacks
    // it. A buffer without tests raises EListError.
    double GetChannelMax(int c) const;
    double GetChannelMin(int c) const;
    void UpdateMinMax();
    // Sorts every test by channel c (or back for c < 0).
    void SetSortChannel(int c);
    // The range of valueChannel over the rows whose filterChannel is near centerText (or, in
    // text mode, equals it); min and max stay as passed when no row matches.
    void GetRangeMinMax(double& min, double& max, int valueChannel, int filterChannel,
                        bool textMode, std::string_view centerText, std::string_view toleranceText);
    // Appends every text of source to destination with AddText.
    static void AppendVector(Tdatavector& destination, const Tdatavector& source);

    // The data-buffer stream "Ver 1.0".
    void SaveToStream(TStream& stream) const;
    void LoadFromStream(TStream& stream);
    // Exchanges the file names, labels and tests, so that a reader can fill a buffer of its
    // own and hand it over only once the whole file has read.
    void SwapContent(TDatabuffer& other);

private:
    std::vector<std::unique_ptr<TdataProva>> tests_;
    bool sorted_ = false;
};

} // namespace vx
