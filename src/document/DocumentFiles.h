#pragma once

// The whole-file formats of a document: the document file .VRX, the project file .CPF (also
// "defcfg.set"), the graph file .CGF and the test-style table both documents and projects
// carry. Writers go through a temporary beside the target; readers take everything into
// copies and hand it over only once the last byte they need has been read, so that a
// refused file changes nothing.

#include "data/AttributiProve.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/StringList.h"

#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

class TDatabuffer;
class TStream;
class TMetaobj;
class TWPGraph;
class TWPPage;
class TWPReport;

enum class TDocumentFileError { NotAProject, UnsupportedVersion, Damaged, CannotSave };

// A document, project or graph file that could not be read or written. A damaged file also
// tells where reading stopped (Offset: bytes from the file's start, -1 when it could not be
// opened) and what its reader found wrong there (Reason); the message carries both.
class EDocumentFile : public Exception {
public:
    EDocumentFile(TDocumentFileError kind, std::string fileName);
    EDocumentFile(std::string fileName, int64_t offset, std::string reason);
    TDocumentFileError Kind;
    std::string FileName;
    int64_t Offset = -1;
    std::string Reason;
};

// Where a damaged file went wrong, for a message: placeFormat (a window's text holding %d)
// with the offset, then the reason; the reason alone when the file could not be opened; empty
// when the error says neither.
std::string FilePlaceText(const EDocumentFile& error, const std::string& placeFormat);

// Why the system refused a file (an errno value) in the language the program shows: "read-only
// file system", "no space left on device", ...; empty for 0.
std::string FileSystemErrorText(int error);
// The system's reason an exception carries (EFOpenError, EWriteError), else 0.
int FileSystemErrorOf(const std::exception& error);

inline constexpr std::string_view kDocumentTag = "Doc_Version_0.82";
inline constexpr std::string_view kProjectTag = "Cfg_Version_0.83";
inline constexpr std::string_view kReportDefinitionTag = "Rep_Version_0.80";
// The smallest page stream: its record and an empty header and footer.
inline constexpr size_t kMinPageStream = 34;

// The integer after the first "." of a file tag, or -1 when there is none.
int FileTagVersion(std::string_view tag);

using TPageList = std::vector<std::unique_ptr<TWPPage>>;

// ---- writers on streams ----
void WritePages(TStream& stream, const std::vector<TWPPage*>& pages);
// Also sets DocDecimalSeparator to the decimal separator it writes.
void WriteDocument(TStream& stream, const TDatabuffer& buffer, const TAttributiProve& styles,
                   const std::vector<TWPPage*>& pages);
void WriteProject(TStream& stream, const std::vector<TWPPage*>& pages, const TStringList& labels,
                  const TAttributiProve& styles, const TStringList& mappingList);

// ---- readers on streams (EReadError on a short or damaged stream) ----
// i32 count and that many pages, each given the buffer before it is read; the pages have no
// owner.
TPageList ReadPages(TStream& stream, TDatabuffer* buffer);

struct TDocumentHeader {
    int Version = 0;
    bool HasStyles = false;
    TAttributiProve Styles;
};
// Tag, separator, tests and styles of a .VRX; the tests go into buffer and the styles into
// AttributiProve only when the whole header has been read. Raises EDocumentFile (unsupported
// version) for a tag it does not know, EReadError for a short header. DocDecimalSeparator is the
// system's again afterwards.
TDocumentHeader ReadDocumentHeader(TStream& stream, TDatabuffer& buffer,
                                   const std::string& fileName);

struct TProjectContent {
    int Version = 0;
    TPageList Pages;
    // Every label the file holds; the reader of a document keeps as many as its first test has
    // channels.
    TStringList Labels;
    bool HasStyles = false;
    TAttributiProve Styles;
    bool HasMappingList = false;
    TStringList MappingList;
};
// From the tag on. stylesAndList false reads as the converter does: pages and labels only. Raises
// EDocumentFile (not a project) for another tag, EReadError for a short or damaged project.
TProjectContent ReadProject(TStream& stream, TDatabuffer* buffer, const std::string& fileName,
                            bool stylesAndList = true);

// The labels a project gives a document: the first min(n, channels of the first test; 0
// without tests).
void TakeProjectLabels(const TStringList& labels, TDatabuffer& buffer);

// ---- tests ----
// One test text file into a new test of the buffer, the names row found first and the
// channels counted on the first data row; false (and no test) when either fails. The
// progress is told the bytes read.
bool ReadTestFile(TDatabuffer& buffer, const std::string& fileName,
                  const std::function<void(int64_t position, int64_t maximum)>& progress);

// ---- files ----
// Streams write into a temporary beside fileName, renamed over it after the last byte;
// any failure removes the temporary, keeps the old file and raises EDocumentFile (cannot
// save), whose Reason is the system's reason in the user's language when there is one.
void SaveFileAtomically(const std::string& fileName, const std::function<void(TStream&)>& write);
// Runs read on stream, which holds fileName from its start: whatever read raises comes out as
// EDocumentFile, damaged at the stream's position, unless it is an EDocumentFile already.
void ReadChecked(TStream& stream, const std::string& fileName, const std::function<void()>& read);
// The whole file as a stream for read; a failure of read (or of opening the file) raises
// EDocumentFile: damaged or incomplete unless read raised EDocumentFile itself.
void ReadFileChecked(const std::string& fileName, const std::function<void(TStream&)>& read);

void SaveDocumentFile(const std::string& fileName, const TDatabuffer& buffer,
                      const std::vector<TWPPage*>& pages);
void SaveProjectFile(const std::string& fileName, const std::vector<TWPPage*>& pages,
                     const TStringList& labels, const TStringList& mappingList);
// Exactly the graph stream of the graph.
void SaveGraphFile(const std::string& fileName, const TWPGraph& graph);
// The graph takes the file only when all of it reads.
void LoadGraphFile(const std::string& fileName, TWPGraph& graph);

// A report definition: the tag as a short string, then the report as a component.
void SaveReportDefinitionFile(const std::string& fileName, const TWPReport& report);
// A new report without owner from the whole file. Another tag raises EDocumentFile
// (unsupported version) and reads nothing further.
std::unique_ptr<TWPReport> LoadReportDefinitionFile(const std::string& fileName);

} // namespace vx
