#include "data/Settings.h"

#include "data/GlobalText.h"
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

bool SaveSettings() {
    try {
        const auto* first = reinterpret_cast<const char*>(ImpostazioniRec.Bytes.data());
        WriteFileAtomically(SettingsFileName(), std::string_view(first, TImpostazioniRec::kSize));
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool InitBasePath(std::string_view programFile) {
    try {
        const std::string programFolder = NormalizePath(ExtractFilePath(programFile));
        const std::string folder = ExcludeTrailingPathDelimiter(programFolder);
        if (UpperCase(ExtractFileName(folder)) != "BIN") {
            Ui().ShowMessage(GlobalText("IDS_18"));
            BasePath = programFolder;
            return true;
        }
        BasePath = ExtractFilePath(folder);
        const bool system = ForceDirectories(BasePath + "System");
        const bool configurations = ForceDirectories(BasePath + "Configurazioni");
        return system && configurations;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace vx
