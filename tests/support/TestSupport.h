#pragma once

#include "platform/graphics/Bitmap.h"
#include "platform/runtime/FormatSettings.h"
#include "platform/runtime/UiServices.h"

#include <QImage>
#include <QTemporaryDir>
#include <cerrno>
#include <string>
#include <string_view>
#include <vector>

namespace vx::test {

// "00 7F FF" for golden-byte comparisons.
std::string HexBytes(std::string_view bytes);
// Parses "00 7f FF" (blanks optional) into bytes.
std::string FromHex(std::string_view hex);

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, std::string_view bytes);

// The picture as our Bitmap holds it when read from a BMP file.
Bitmap BitmapOf(const QImage& image);

// A fresh folder removed at the end of the test; Path() ends in '/'.
class TempDir {
public:
    TempDir();
    std::string Path() const;
    std::string File(std::string_view name) const { return Path() + std::string(name); }

private:
    QTemporaryDir dir_;
};

// Installs scripted UiServices for the scope of a test.
class ScopedUi {
public:
    ScopedUi();
    ~ScopedUi();
    ScriptedUiServices ui;
};

// Restores the program-wide FormatSettings when the test ends.
class ScopedFormatSettings {
public:
    ScopedFormatSettings() : saved_(FormatSettings()) {}
    ~ScopedFormatSettings() {
        FormatSettings() = saved_;
        PublishFormatSettings();
    }

private:
    TFormatSettings saved_;
};

// Makes the virtual printer "VP-A4-600" the only printer, with fresh capabilities and no
// jobs; every test starts with it.
void InstallVirtualPrinter();

// Programs outside the build that some tests drive (a print server, a reader of our files).
// The full path of the program on PATH (also /usr/sbin), or empty when it is missing.
std::string FindTool(std::string_view name);
struct ToolResult {
    int ExitCode = -1;  // -1: did not start or overran its time
    std::string Output; // standard output and error
};
// Runs the program to its end, killed after limitMs.
ToolResult RunTool(const std::string& program, const std::vector<std::string>& args,
                   int limitMs = 120000);
// Converts the file with the office suite's headless converter into outDir (png, pdf);
// the converted file's path, or empty when it failed.
std::string OfficeConvert(const std::string& file, std::string_view format,
                          const std::string& outDir);

// A print server of the test's own (the fixture script private-cupsd.sh) for the object's
// lifetime, its socket in CUPS_SERVER. Not running when cupsd is missing or did not start
// (then Error tells why).
class PrivateCups {
public:
    explicit PrivateCups(std::string script);
    ~PrivateCups();
    PrivateCups(const PrivateCups&) = delete;
    PrivateCups& operator=(const PrivateCups&) = delete;
    bool Running() const { return !socket_.empty(); }
    const std::string& Error() const { return error_; }
    // A folder of the server: "out" holds the file queue's output, "pdf" the PDF driver's.
    std::string Folder(const std::string& sub) const { return dir_.File(sub); }

private:
    std::string script_;
    TempDir dir_;
    std::string socket_;
    std::string error_;
};

// The first PDF in the folder that pdfinfo reads whole, once a print server has written it;
// empty when none came within limitMs.
std::string WaitForPdf(const std::string& folder, int limitMs = 90000);

// A folder the program cannot write, as an installed program's folder is, for the object's
// lifetime. A user loses the write bits of the folder and of every folder below it; root, who
// would write anyway, gets a read-only bind mount in a mount namespace of the calling thread
// alone, left again at the end. Not Active (Error tells why) when neither could be done.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(std::string folder);
    ~ReadOnlyFolder();
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;
    bool Active() const { return active_; }
    const std::string& Error() const { return error_; }
    // What the system answers a write there: EROFS under the mount, else EACCES.
    int WriteError() const { return mounted_ ? EROFS : EACCES; }

private:
    std::string folder_;
    bool active_ = false;
    bool mounted_ = false;
    int savedNamespace_ = -1;
    int savedFolder_ = -1;
    std::string error_;
};

// Where tests/<layer>/data/ lies.
std::string DataFile(std::string_view dataDir, std::string_view name);

} // namespace vx::test
