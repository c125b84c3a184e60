#pragma once

// Binary translation files (.MLB): a header text, a name list, then for each window class the
// position of its translation table stored as a component stream. Read only.

#include <string>
#include <string_view>
#include <utility>

namespace vx {

class TmlCustomLang;

class TMLBFileManager {
public:
    explicit TMLBFileManager(std::string fileName = {}) : fileName_(std::move(fileName)) {}

    const std::string& FileName() const { return fileName_; }
    void SetFileName(std::string_view name) { fileName_ = std::string(name); }

    // Reads the table stored for the target's owner class into the target: every kind and the
    // extended items when kind is -1, else that one TStringsType kind. False when the file does
    // not exist or holds no table for that class. Raises Exception "Unrecognized stream
    // format!" for a file that does not begin with the header text.
    bool ReadTable(TmlCustomLang& target, int kind = -1) const;

private:
    std::string fileName_;
};

} // namespace vx
