#pragma once

// The program-wide settings record and the base folder below which every settings and
// definition file lives.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vx {

// The record as it lies in "impostazioni.set": 1288 bytes, no header, no version. The bytes
// are kept as read, reserved ones and characters beyond a text's length included, so that
// saving writes back what the file held; the accessors give the fields their meaning.
class TImpostazioniRec {
public:
    static constexpr size_t kSize = 1288;
    static constexpr size_t kPdfPrinterNameMax = 100;
    static constexpr size_t kDriverOutputFileMax = 250;

    std::array<uint8_t, kSize> Bytes{};

    void Clear() { Bytes.fill(0); }

    // 1: the names row of a test file is the integer that opens its first line; 0: it is
    // NamesRow.
    uint8_t LoadType() const { return Bytes[0]; }
    void SetLoadType(uint8_t v) { Bytes[0] = v; }
    int32_t NamesRow() const { return GetI32(4); }
    void SetNamesRow(int32_t v) { PutI32(4, v); }
    bool IncludeZero() const { return Bytes[8] != 0; }
    void SetIncludeZero(bool v) { Bytes[8] = v ? 1 : 0; }
    // 0 "Tradizionale", 1 "Nuovo".
    uint8_t AutoLimitMethod() const { return Bytes[9]; }
    void SetAutoLimitMethod(uint8_t v) { Bytes[9] = v; }
    bool TcpServerActive() const { return Bytes[10] != 0; }
    void SetTcpServerActive(bool v) { Bytes[10] = v ? 1 : 0; }
    int32_t TcpPort() const { return GetI32(12); }
    void SetTcpPort(int32_t v) { PutI32(12, v); }
    // A length byte beyond the field's room reads as the full field.
    std::string PdfPrinterName() const { return GetText(16, kPdfPrinterNameMax); }
    // Cut to 100 characters; the bytes after the text stay as they were.
    void SetPdfPrinterName(std::string_view s) { PutText(16, kPdfPrinterNameMax, s); }
    std::string DriverOutputFile() const { return GetText(117, kDriverOutputFileMax); }
    void SetDriverOutputFile(std::string_view s) { PutText(117, kDriverOutputFileMax, s); }
    // 1 Italiano, 2 English, 3 Deutsch.
    uint8_t Language() const { return Bytes[368]; }
    void SetLanguage(uint8_t v) { Bytes[368] = v; }
    bool CloseAfterRemotePrint() const { return Bytes[369] != 0; }
    void SetCloseAfterRemotePrint(bool v) { Bytes[369] = v ? 1 : 0; }

private:
    int32_t GetI32(size_t offset) const;
    void PutI32(size_t offset, int32_t v);
    std::string GetText(size_t offset, size_t room) const;
    void PutText(size_t offset, size_t room, std::string_view s);
};

// Zero at start-up; LoadSettings fills it.
inline TImpostazioniRec ImpostazioniRec;

// The base folder, ending in '/'.
inline std::string BasePath;

// "Configurazioni/" below BasePath as it exists on disk ignoring case, else as written here;
// ends in '/'.
std::string ConfigurationsFolder();
// "System/" + name below the base folder as it exists on disk ignoring case; a missing file
// goes into the "System" folder as it exists, else the path is as written here.
std::string SystemFileName(std::string_view name, std::string_view basePath = BasePath);

// SystemFileName("impostazioni.set").
std::string SettingsFileName();

// Reads up to 1288 bytes of the settings file over the record; a shorter file sets only the
// leading bytes. A missing or unreadable file leaves the record as it was, silently.
void LoadSettings();
// Writes the 1288 bytes; the old file stays whole when writing fails. False on failure, with
// the system's reason (an errno value, 0 when none) in *error when it is given.
bool SaveSettings(int* error = nullptr);

// Fixes BasePath from the program file's path: the parent of the program's folder when that
// folder is named "BIN" in any case, creating "System" and "Configurazioni" below it;
// otherwise the program's own folder, after the message "IDS_18". Where the user cannot write
// the folder so found (an installed program), or it is a system folder ("/usr/"), BasePath is
// UserBasePath() with both folders; on the first start there (no "System" yet) it receives
// what the program installed below "share/vornix/" of that folder, never over a file the user
// has. False when something failed on the way.
bool InitBasePath(std::string_view programFile);

// "$XDG_DATA_HOME/Vornix/" (by default "~/.local/share/Vornix/"); "" when there is none.
std::string UserBasePath();

} // namespace vx
