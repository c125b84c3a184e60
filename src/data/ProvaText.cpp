#include "data/ProvaText.h"

#include "data/Databuff.h"
#include "data/Settings.h"
#include "platform/runtime/LineReader.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/Strings.h"
#include "platform/runtime/UiServices.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>
#include <exception>
#include <limits>
#include <string_view>
#include <vector>

namespace vx {

namespace {

constexpr std::string_view kMissingLabel = "?????";

// Column 0 and column 1 both mean the first field.
int32_t FirstField(int32_t col) {
    return std::max(col, 1);
}

void AddHeaderCells(TStringList& cells, std::string_view line, int64_t lineNo) {
    int64_t number = 0;
    ForEachField(line, [&](std::string_view field) {
        ++number;
        const std::string text = Trim(field);
        if (!text.empty())
            cells.Add(IntToStr(number) + "," + IntToStr(lineNo) + "#" + text);
        return true;
    });
}

void AddFields(TStringList& list, std::string_view line, int32_t col) {
    int64_t number = 0;
    ForEachField(line, [&](std::string_view field) {
        if (++number >= FirstField(col))
            list.Add(field);
        return true;
    });
}

void FitToCount(TStringList& list, int count) {
    while (list.Count() > count)
        list.Delete(list.Count() - 1);
    while (list.Count() < count)
        list.Add(kMissingLabel);
}

// Appends data rows to the channels of a test. Once a sample of rows has been read, every
// channel reserves room for the rows the rest of the file is expected to hold, so that a
// large file is not copied over and over while its channels grow.
class DataRowWriter {
public:
    DataRowWriter(TdataProva& test, int32_t col, int64_t fileSize)
        : test_(test), firstField_(FirstField(col)), fileSize_(fileSize) {
        for (int c = 0; c < test.ChannelCount(); ++c)
            channels_.push_back(&test.GetChannel(c));
        sampleCount_.assign(channels_.size(), 0);
        sampleBytes_.assign(channels_.size(), 0);
    }

    void Add(std::string_view line, int64_t consumedBefore) {
        if (rows_ == 0)
            dataStart_ = consumedBefore;
        else if (rows_ == kSampleRows)
            ReserveForRest(consumedBefore);
        char number[24];
        const auto written = std::to_chars(number, number + sizeof number, rows_);
        test_.RowIndex.AddTextRaw(
            std::string_view(number, static_cast<size_t>(written.ptr - number)));
        const bool sampling = rows_ < kSampleRows;
        ++rows_;

        // Fields before the first column are counted off as negative channel numbers.
        int64_t c = 1 - static_cast<int64_t>(firstField_);
        const auto count = static_cast<int64_t>(channels_.size());
        if (count == 0)
            return;
        ForEachField(line, [&](std::string_view field) {
            if (c >= 0) {
                channels_[static_cast<size_t>(c)]->AddTextRaw(field);
                if (sampling) {
                    ++sampleCount_[static_cast<size_t>(c)];
                    sampleBytes_[static_cast<size_t>(c)] += field.size();
                }
            }
            return ++c < count;
        });
    }

private:
    static constexpr int64_t kSampleRows = 4096;

    void ReserveForRest(int64_t consumed) {
        const int64_t sampleSize = consumed - dataStart_;
        if (sampleSize <= 0)
            return;
        // The vectors add their own headroom, so the projection is reserved as it stands.
        const double scale =
            static_cast<double>(fileSize_ - dataStart_) / static_cast<double>(sampleSize);
        const auto Expected = [scale](int64_t sample) {
            return std::min(static_cast<double>(sample) * scale, kMaxRows);
        };
        const auto rows = static_cast<int64_t>(Expected(rows_));
        test_.RowIndex.Reserve(static_cast<int>(rows), RowNumberBytes(rows));
        for (size_t c = 0; c < channels_.size(); ++c) {
            channels_[c]->Reserve(static_cast<int>(Expected(sampleCount_[c])),
                                  static_cast<size_t>(Expected(sampleBytes_[c])));
        }
    }

    // The digits of the row numbers 0 .. rows - 1.
    static size_t RowNumberBytes(int64_t rows) {
        size_t bytes = 0;
        int64_t low = 0;
        for (int64_t high = 10, digits = 1; low < rows; low = high, high *= 10, ++digits)
            bytes += static_cast<size_t>((std::min(rows, high) - low) * digits);
        return bytes;
    }

    static constexpr double kMaxRows = std::numeric_limits<int>::max();

    TdataProva& test_;
    const int32_t firstField_;
    const int64_t fileSize_;
    std::vector<Tdatavector*> channels_;
    std::vector<int64_t> sampleCount_;
    std::vector<int64_t> sampleBytes_;
    int64_t rows_ = 0;
    int64_t dataStart_ = 0;
};

// Reports progress every hundredth of the file, not every line: a million calls would cost
// the caller's progress bar more than the import.
class ProgressReporter {
public:
    ProgressReporter(const TProvaProgress& progress, int64_t maximum)
        : progress_(progress), maximum_(maximum), step_(std::max<int64_t>(maximum / 100, 1)) {
        if (progress_)
            progress_(0, maximum_);
    }

    void Advance(int64_t position) {
        if (progress_ && position - reported_ >= step_)
            Report(position);
    }

    void Finish(int64_t position) {
        if (progress_ && position != reported_)
            Report(position);
    }

private:
    void Report(int64_t position) {
        reported_ = position;
        progress_(position, maximum_);
    }

    const TProvaProgress& progress_;
    const int64_t maximum_;
    // A hundredth of the file.
    const int64_t step_;
    int64_t reported_ = 0;
};

class BusyCursor {
public:
    BusyCursor() { Ui().SetBusyCursor(true); }
    ~BusyCursor() { Ui().SetBusyCursor(false); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace

bool GetProvaNamesRow(const std::string& fileName, TCellPos& pos) {
    pos = TCellPos{};
    if (ImpostazioniRec.LoadType() == 0) {
        pos.Row = ImpostazioniRec.NamesRow();
        return true;
    }
    try {
        LineReader reader(fileName);
        std::string_view line;
        if (!reader.Next(line))
            line = {};
        int32_t row = 0;
        pos.Row = TryStrToInt(line.substr(0, line.find('\t')), row) ? row : 1;
        return true;
    } catch (const std::exception&) {
        pos = TCellPos{};
        return false;
    }
}

bool CountProvaColumns(int32_t startCol, int32_t lineNo, const std::string& fileName,
                       int& vectorCount) {
    if (lineNo < 1)
        return false;
    try {
        LineReader reader(fileName);
        std::string_view line;
        for (int32_t n = 1; n <= lineNo; ++n) {
            if (!reader.Next(line))
                return false;
        }
        int64_t channels = 0;
        int64_t number = 0;
        ForEachField(line, [&](std::string_view) {
            if (++number >= FirstField(startCol))
                ++channels;
            return true;
        });
        if (channels >= std::numeric_limits<int>::max())
            return false;
        vectorCount = static_cast<int>(channels) + 1;
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void ReadProvaText(const TProvaProgress& progress, TCellPos namesPos, TCellPos unitsPos,
                   const std::string& fileName, TdataProva& test, TCellPos dataPos) {
    test.HeaderCells.Clear();
    test.ChannelNames.Clear();
    test.Units.Clear();
    try {
        // One pass does the work of the header, names, units and data steps: each line is
        // given to every step whose rows include it.
        LineReader reader(fileName);
        ProgressReporter reporter(progress, reader.FileSize());
        DataRowWriter data(test, dataPos.Col, reader.FileSize());
        std::string_view line;
        int64_t lineNo = 0;
        for (int64_t before = 0; reader.Next(line); before = reader.Consumed()) {
            ++lineNo;
            if (lineNo < namesPos.Row)
                AddHeaderCells(test.HeaderCells, line, lineNo);
            if (lineNo == namesPos.Row)
                AddFields(test.ChannelNames, line, namesPos.Col);
            if (lineNo == unitsPos.Row)
                AddFields(test.Units, line, unitsPos.Col);
            if (lineNo >= dataPos.Row)
                data.Add(line, before);
            reporter.Advance(reader.Consumed());
        }
        reporter.Finish(reader.Consumed());
    } catch (const std::exception&) {
        // A file that cannot be opened or read keeps what was read; the test is finished
        // below all the same.
    }
    test.UpdateMinMax();
    test.RowIndex.ShrinkToFit();
    for (int c = 0; c < test.VectorCount(); ++c)
        test.GetChannel(c).ShrinkToFit();
    const int channels = std::max(test.ChannelCount(), 0);
    FitToCount(test.ChannelNames, channels);
    FitToCount(test.Units, channels);
}

void LoadProvaText(TDatabuffer& buffer, const std::string& fileName) {
    BusyCursor busy;
    TCellPos names;
    if (!GetProvaNamesRow(fileName, names))
        return;
    // The data row must be a line number that exists.
    if (names.Row > std::numeric_limits<int32_t>::max() - 3)
        return;
    int vectors = 0;
    if (!CountProvaColumns(0, names.Row + 3, fileName, vectors))
        return;
    TdataProva& test = buffer.AddProva(vectors);
    ReadProvaText({}, names, TCellPos{0, names.Row + 1}, fileName, test,
                  TCellPos{0, names.Row + 3});
    test.FileName = fileName.substr(0, 255);
}

} // namespace vx
