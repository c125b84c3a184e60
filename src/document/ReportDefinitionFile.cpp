#include "document/DocumentFiles.h"

#include "platform/runtime/ComponentStream.h"
#include "platform/runtime/Streams.h"
#include "report/wpreport.h"

namespace vx {

void SaveReportDefinitionFile(const std::string& fileName, const TWPReport& report) {
    SaveFileAtomically(fileName, [&](TStream& stream) {
        stream.WriteShortString(kReportDefinitionTag);
        WriteComponent(stream, report);
    });
}

std::unique_ptr<TWPReport> LoadReportDefinitionFile(const std::string& fileName) {
    auto report = std::make_unique<TWPReport>(nullptr);
    ReadFileChecked(fileName, [&](TStream& stream) {
        if (stream.ReadShortString() != kReportDefinitionTag)
            throw EDocumentFile(TDocumentFileError::UnsupportedVersion, fileName);
        ReadComponent(stream, *report);
    });
    return report;
}

} // namespace vx
