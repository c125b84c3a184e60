#pragma once

// The translation suite's own text toolkit: a fast substring search, delimited fields of the
// table lines, and an INI file held wholly in memory. Positions are 1-based throughout.

#include "platform/runtime/DateTime.h"
#include "platform/runtime/StringList.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vx {

class TStream;

// Boyer-Moore-Horspool: position of the first occurrence of pattern in text, 0 when none; an
// empty pattern gives 1. Bytes compare exactly (callers upper-case both sides to ignore case).
int BMHPos(std::string_view pattern, std::string_view text);

// Field fieldNo of the line, field 0 being the text before the first delimiter; the line ends
// at its end or at a NUL byte. "" when the line has fewer than fieldNo delimiters. Only the low
// 8 bits decide whether field 0 is meant, so 256 counts as 0.
std::string GetDelimitedField(std::string_view line, char delimiter, int fieldNo);
// The wide sibling is stricter: a field counts only when a delimiter closes it.
std::u16string GetDelimitedFieldW(std::u16string_view line, char16_t delimiter, int fieldNo);

// How many characters of text are in the delimiter set.
int CountDelimiters(std::string_view text, std::string_view delimiters);
// Words are runs of characters outside the set. Position where word n begins, 0 when the
// text has fewer words; the word itself, "" when there is none.
int WordPosition(int n, std::string_view text, std::string_view delimiters);
std::string ExtractWord(int n, std::string_view text, std::string_view delimiters);

// Replaces the first occurrence (every one when all is set), left to right, never searching
// inside a replacement.
std::string BMHReplace(std::string_view text, std::string_view pattern,
                       std::string_view replacement, bool all);

// The line rebuilt from field 0 and fields 1 .. (number of delimiters) except fieldNo, each
// followed by the delimiter.
std::string RemoveLanguageColumn(std::string_view line, char delimiter, int fieldNo);
void RemoveLanguageColumn(TStringList& lines, char delimiter, int fieldNo);
// The line rebuilt with language field `from` moved to position `to`, the fields between
// shifted by one; unchanged when from equals to or either lies outside the line.
std::string MoveLanguageColumn(std::string_view line, int from, int to, char delimiter);
void MoveLanguageColumn(TStringList& lines, int from, int to, char delimiter);

// Upper-case letters become lower case and every other character upper case.
std::string FlipCase(std::string_view text);
// Lengthens a text without "%" by length * percent / 100 fill characters spread over it.
std::string ExpandChars(std::string_view text, char fill, int percent);

// The abstract INI file of the suite: typed reads and writes on top of string values.
class TmlCustomIniFile {
public:
    explicit TmlCustomIniFile(std::string fileName) : fileName_(std::move(fileName)) {}
    virtual ~TmlCustomIniFile() = default;
    TmlCustomIniFile(const TmlCustomIniFile&) = delete;
    TmlCustomIniFile& operator=(const TmlCustomIniFile&) = delete;

    const std::string& FileName() const { return fileName_; }

    virtual std::string ReadString(std::string_view section, std::string_view ident,
                                   std::string_view def) const = 0;
    virtual void WriteString(std::string_view section, std::string_view ident,
                             std::string_view value) = 0;
    // "0x1F" (more than two characters) is hexadecimal; anything unreadable gives def.
    virtual int32_t ReadInteger(std::string_view section, std::string_view ident,
                                int32_t def) const;
    virtual void WriteInteger(std::string_view section, std::string_view ident, int32_t value);
    virtual bool ReadBool(std::string_view section, std::string_view ident, bool def) const;
    virtual void WriteBool(std::string_view section, std::string_view ident, bool value);
    virtual TDateTime ReadDate(std::string_view section, std::string_view ident,
                               TDateTime def) const;
    virtual TDateTime ReadDateTime(std::string_view section, std::string_view ident,
                                   TDateTime def) const;
    virtual double ReadFloat(std::string_view section, std::string_view ident, double def) const;
    virtual TDateTime ReadTime(std::string_view section, std::string_view ident,
                               TDateTime def) const;
    virtual void WriteDate(std::string_view section, std::string_view ident, TDateTime value);
    virtual void WriteDateTime(std::string_view section, std::string_view ident, TDateTime value);
    virtual void WriteFloat(std::string_view section, std::string_view ident, double value);
    virtual void WriteTime(std::string_view section, std::string_view ident, TDateTime value);
    // Key names of a section.
    virtual void ReadSection(std::string_view section, TStringList& keys) const = 0;
    virtual void ReadSections(TStringList& sections) const = 0;
    // The values of a section's keys in key order, without their names.
    virtual void ReadSectionValues(std::string_view section, TStringList& values) const = 0;
    virtual void EraseSection(std::string_view section) = 0;
    virtual void DeleteKey(std::string_view section, std::string_view ident) = 0;
    virtual void UpdateFile() = 0;

    // True when the section holds at least one key.
    bool SectionExists(std::string_view section) const;

private:
    std::string fileName_;
};

// An INI file parsed into sorted sections and keys, case ignored. Nothing is written until
// UpdateFile; nothing is trimmed, and a duplicate section header continues the first one.
class TmlMemIniFile : public TmlCustomIniFile {
public:
    // Loads the file when the name is not empty and the file exists.
    explicit TmlMemIniFile(std::string fileName);
    ~TmlMemIniFile() override;

    std::string ReadString(std::string_view section, std::string_view ident,
                           std::string_view def) const override;
    void WriteString(std::string_view section, std::string_view ident,
                     std::string_view value) override;
    void ReadSection(std::string_view section, TStringList& keys) const override;
    void ReadSections(TStringList& sections) const override;
    void ReadSectionValues(std::string_view section, TStringList& values) const override;
    void EraseSection(std::string_view section) override;
    void DeleteKey(std::string_view section, std::string_view ident) override;
    // Writes every section out to the file name; clears Modified.
    void UpdateFile() override;

    // Replaces every section by the parse of the lines.
    void SetStrings(const TStringList& lines);
    void LoadFromStream(TStream& stream);
    // "[name]", its key lines, then an empty line, for each section.
    void GetStrings(TStringList& lines) const;
    void Clear();

    bool Modified() const { return modified_; }

private:
    struct TMemIniEntry;
    TMemIniEntry* FindSection(std::string_view section) const;
    TMemIniEntry* AddSection(std::string_view section);

    // Section names in sorted order; each object is the section's entry, owned here.
    TStringList sections_;
    bool modified_ = false;
};

} // namespace vx
