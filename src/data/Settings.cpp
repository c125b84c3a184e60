#include "data/Settings.h"

#include "data/GlobalText.h"
#include "data/WPComp.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Paths.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/Strings.h"
#include "platform/runtime/UiServices.h"
#include "platform/system/Files.h"

#include <algorithm>
#include <exception>

namespace vx {

int32_t TImpostazioniRec::GetI32(size_t offset) const {
    uint32_t u = 0;
    for (size_t i = 0; i < 4; ++i)
        u |= static_cast<uint32_t>(Bytes[offset + i]) << (8 * i);
    return static_cast<int32_t>(u);
}

void TImpostazioniRec::PutI32(size_t offset, int32_t v) {
    const auto u = static_cast<uint32_t>(v);
    for (size_t i = 0; i < 4; ++i)
        Bytes[offset + i] = static_cast<uint8_t>(u >> (8 * i));
}

std::string TImpostazioniRec::GetText(size_t offset, size_t room) const {
    const size_t length = std::min<size_t>(Bytes[offset], room);
    const auto* first = reinterpret_cast<const char*>(Bytes.data() + offset + 1);
    return std::string(first, length);
}

void TImpostazioniRec::PutText(size_t offset, size_t room, std::string_view s) {
    const size_t length = std::min(s.size(), room);
    Bytes[offset] = static_cast<uint8_t>(length);
    std::copy_n(s.begin(), length, Bytes.begin() + static_cast<std::ptrdiff_t>(offset) + 1);
}

std::string ConfigurationsFolder() {
    const std::string wanted = BasePath + "Configurazioni";
    const std::string found = FindExistingPath(wanted);
    return IncludeTrailingPathDelimiter(found.empty() ? wanted : found);
}

std::string SystemFileName(std::string_view name, std::string_view basePath) {
    const std::string system = IncludeTrailingPathDelimiter(basePath) + "System";
    const std::string wanted = system + "/" + std::string(name);
    if (std::string found = FindExistingPath(wanted); !found.empty())
        return found;
    const std::string folder = FindExistingPath(system);
    return folder.empty() ? wanted : IncludeTrailingPathDelimiter(folder) + std::string(name);
}

std::string SettingsFileName() {
    return SystemFileName("impostazioni.set");
}

void LoadSettings() {
    try {
        TFileStream file(SettingsFileName(), fmOpenRead | fmShareDenyNone);
        std::array<uint8_t, TImpostazioniRec::kSize> bytes{};
        const size_t got = file.Read(bytes.data(), bytes.size());
        std::copy_n(bytes.begin(), got, ImpostazioniRec.Bytes.begin());
    } catch (const std::exception&) {
        // A fresh installation has no settings file: the record keeps what it held.
    }
}

bool SaveSettings(int* error) {
    int reason = 0;
    try {
        const auto* first = reinterpret_cast<const char*>(ImpostazioniRec.Bytes.data());
        WriteFileAtomically(SettingsFileName(), std::string_view(first, TImpostazioniRec::kSize));
        return true;
    } catch (const EFOpenError& e) {
        reason = e.ErrorCode;
    } catch (const EWriteError& e) {
        reason = e.ErrorCode;
    } catch (const std::exception&) {
    }
    if (error)
        *error = reason;
    return false;
}

namespace {

// Folders of the system's own: even a user who may write there (root) keeps files elsewhere.
bool IsSystemFolder(const std::string& folder) {
    return folder == "/" || folder == "/usr/" || folder == "/usr/local/";
}

// What the folder source holds, copied below target wherever target has no entry of that name
// (ignoring case): the user's files are never replaced.
void CopyMissingFiles(const std::string& source, const std::string& target) {
    for (const std::string& name : ListFolder(source, true)) {
        const std::string existing = FindExistingPath(target + name);
        const std::string folder = existing.empty() ? target + name : existing;
        if (ForceDirectories(folder))
            CopyMissingFiles(source + name + "/", IncludeTrailingPathDelimiter(folder));
    }
    for (const std::string& name : ListFolder(source, false))
        if (FindExistingPath(target + name).empty())
            CopyFile(source + name, target + name, true);
}

// A folder that exists ignoring case counts: a user's "configurazioni" gets no twin.
bool EnsureFolder(const std::string& folder) {
    return !FindExistingPath(folder).empty() || ForceDirectories(folder);
}

} // namespace

std::string UserBasePath() {
    const std::string data = GetSpecialFolderPath(CSIDL_LOCAL_APPDATA);
    return data.empty() ? data : data + "/Vornix/";
}

bool InitBasePath(std::string_view programFile) {
    try {
        const std::string programFolder = NormalizePath(ExtractFilePath(programFile));
        const std::string folder = ExcludeTrailingPathDelimiter(programFolder);
        const bool inBin = UpperCase(ExtractFileName(folder)) == "BIN";
        const std::string ruleBase = inBin ? ExtractFilePath(folder) : programFolder;
        if (!inBin)
            Ui().ShowMessage(GlobalText("IDS_18"));
        if (!IsWritableFolder(ruleBase) || IsSystemFolder(ruleBase)) {
            if (const std::string user = UserBasePath(); !user.empty()) {
                BasePath = user;
                const bool firstStart = FindExistingPath(user + "System").empty();
                const bool system = EnsureFolder(user + "System");
                const bool configurations = EnsureFolder(user + "Configurazioni");
                if (firstStart && system)
                    CopyMissingFiles(ruleBase + "share/vornix/", user);
                return system && configurations;
            }
        }
        BasePath = ruleBase;
        if (!inBin)
            return true;
        const bool system = ForceDirectories(BasePath + "System");
        const bool configurations = ForceDirectories(BasePath + "Configurazioni");
        return system && configurations;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace vx
