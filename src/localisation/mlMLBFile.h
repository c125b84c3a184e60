#pragma once

// Binary translation files (.MLB): a header text, a name list, then for each window class the
// position of its translation table stored as a component stream. Read only.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace vx {

class TmlCustomLang;
class TStream;

class TMLBFileManager {
public:
    static constexpr std::string_view kHeader = "MLB file: TmlLang binary translation data";

    explicit TMLBFileManager(std::string fileName = {}) : fileName_(std::move(fileName)) {}

    const std::string& FileName() const { return fileName_; }
    void SetFileName(std::string_view name) { fileName_ = std::string(name); }

    // Reads the table stored for the target's owner class into the target: every kind and the
    // extended items when kind is -1, else that one TStringsType kind. Items replace those of
    // the target with the same key and extend it by the others. False when the file does not
    // exist or holds no table for that class. Raises Exception "Unrecognized stream format!"
    // for a file that does not begin with the header text, and EReadError for a damaged one;
    // the target is then unchanged.
    bool ReadTable(TmlCustomLang& target, int kind = -1) const;

    // The header text up to its zero byte; raises "Unrecognized stream format!".
    static void CheckHeader(TStream& stream);
    // Reads header, name list and entries; the position of the class's table, or -1.
    static int64_t FindTable(TStream& stream, std::string_view className);

private:
    std::string fileName_;
};

} // namespace vx
