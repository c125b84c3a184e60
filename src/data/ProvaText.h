#pragma once

// Import of test text files: tab-separated lines of header cells, channel names, units, one
// line that is passed over, and data rows whose fields stay text. Files reach hundreds of
// megabytes, so they are parsed as bytes in one streaming pass.

#include "platform/runtime/LineReader.h"

#include <bit>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace vx {

class TDatabuffer;
class TdataProva;

// Where a row of a test file starts: field and line numbers from 1; column 0 counts as 1.
struct TCellPos {
    int32_t Col = 0;
    int32_t Row = 0;
    bool operator==(const TCellPos&) const = default;
};

// Told the file size as maximum, then the bytes of the whole lines read so far.
using TProvaProgress = std::function<void(int64_t position, int64_t maximum)>;

// The names row (column 0): the integer that opens line 1 when the settings' load type is
// set, row 1 when that text is no 32-bit integer; otherwise the settings' names row. False
// only when the file cannot be read while the load type is set.
bool GetProvaNamesRow(const std::string& fileName, TCellPos& pos);

// The vectors a test needs: the fields of line lineNo from column startCol on, plus one.
// False when the file cannot be read or ends before that line.
bool CountProvaColumns(int32_t startCol, int32_t lineNo, const std::string& fileName,
                       int& vectorCount);

// Fills a test that already has its vectors: header cells, names, units, data rows,
// RowIndex and the caches; names and units are then brought to ChannelCount entries, the
// missing ones as "?????". A file that cannot be read leaves what was read so far.
void ReadProvaText(const TProvaProgress& progress, TCellPos namesPos, TCellPos unitsPos,
                   const std::string& fileName, TdataProva& test, TCellPos dataPos);

// The plain import of one test into the buffer, with the hourglass cursor. Adds no test when
// the names row cannot be found or the file ends before the first data row.
void LoadProvaText(TDatabuffer& buffer, const std::string& fileName);

// Gives the fields of a line to `take` in order, numbered from 1, for as long as it answers
// true: the text before each TAB, and the rest of the line when it is not empty, so
// "a<TAB>b<TAB>" has two fields and an empty line none. The TABs of a whole stretch are found
// at once, so a row of short values costs one comparison per sixteen bytes.
template <class Take>
void ForEachField(std::string_view line, Take&& take) {
    const char* start = line.data();
    const char* p = start;
    const char* const end = start + line.size();
#if defined(__SSE2__)
    for (; end - p >= 16; p += 16) {
        for (unsigned tabs = bytescan::Matches16<'\t'>(p); tabs != 0; tabs &= tabs - 1) {
            const char* const tab = p + std::countr_zero(tabs);
            if (!take(std::string_view(start, static_cast<size_t>(tab - start))))
                return;
            start = tab + 1;
        }
    }
#endif
    for (;;) {
        const char* const tab = FindFirstOf<'\t'>(p, end);
        if (tab == end)
            break;
        if (!take(std::string_view(start, static_cast<size_t>(tab - start))))
            return;
        start = p = tab + 1;
    }
    if (start != end)
        take(std::string_view(start, static_cast<size_t>(end - start)));
}

} // namespace vx
