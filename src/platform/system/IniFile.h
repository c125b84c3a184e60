#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vx {

// An INI file that belongs to another program as well: reading and writing one key leaves
// every other line of the file (sections, keys, comments, blank lines, line ends) exactly as
// it was. Section and key names match without regard to case and surrounding blanks; a
// value loses its surrounding blanks and one pair of enclosing quotes, as the system's
// profile functions read it. Texts are cp1252 bytes.
class TIniFile {
public:
    // Reads the file when it exists; a missing file is an empty one.
    explicit TIniFile(std::string fileName);

    const std::string& FileName() const { return fileName_; }
    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view def) const;
    // Replaces the value of an existing key in place; otherwise adds the key at the end of
    // its section, or a new section at the end of the file.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    // Writes the file when something changed, by a temporary file renamed over it; raises
    // EFOpenError or EWriteError.
    void UpdateFile();

private:
    struct Line {
        std::string Text; // without its line end
        std::string End;  // "\r\n", "\n", "\r" or "" for a last line without one
    };
    // Index of the section's header line, or -1.
    int FindSection(std::string_view section) const;
    // Index of the key's line within the section that starts at header, or -1.
    int FindKey(int header, std::string_view key) const;
    std::string NewLineEnd() const;

    std::string fileName_;
    std::vector<Line> lines_;
    bool modified_ = false;
};

} // namespace vx
