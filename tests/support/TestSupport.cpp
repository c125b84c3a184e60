#include "TestSupport.h"

#include "platform/graphics/EnginePaint.h"
#include "platform/graphics/Printer.h"
#include "platform/runtime/Streams.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sched.h>
#include <stdexcept>
#include <sys/mount.h>
#include <unistd.h>

namespace vx::test {

std::string HexBytes(std::string_view bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char b : bytes) {
        if (!out.empty())
            out += ' ';
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

std::string FromHex(std::string_view hex) {
    std::string out;
    int nibble = -1;
    for (char c : hex) {
        int v;
        if (c >= '0' && c <= '9')
            v = c - '0';
        else if (c >= 'a' && c <= 'f')
            v = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            v = c - 'A' + 10;
        else if (c == ' ' || c == '\n')
            continue;
        else
            throw std::invalid_argument("bad hex");
        if (nibble < 0) {
            nibble = v;
        } else {
            out += static_cast<char>(nibble * 16 + v);
            nibble = -1;
        }
    }
    if (nibble >= 0)
        throw std::invalid_argument("odd hex");
    return out;
}

Bitmap BitmapOf(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    Bitmap b;
    b.LoadFromBytes(std::string_view(bytes.constData(), size_t(bytes.size())));
    return b;
}

std::string ReadFile(const std::string& path) {
    return ReadWholeFile(path);
}

void WriteFile(const std::string& path, std::string_view bytes) {
    TFileStream f(path, fmCreate);
    f.WriteBuffer(bytes.data(), bytes.size());
}

TempDir::TempDir() {
    if (!dir_.isValid())
        throw std::runtime_error("no temporary folder");
}

std::string TempDir::Path() const {
    return dir_.path().toStdString() + "/";
}

static UiServices* previousUi = nullptr;

ScopedUi::ScopedUi() {
    previousUi = &Ui();
    SetUiServices(&ui);
}

ScopedUi::~ScopedUi() {
    SetUiServices(previousUi);
}

std::string DataFile(std::string_view dataDir, std::string_view name) {
    return std::string(dataDir) + "/" + std::string(name);
}

void InstallVirtualPrinter() {
    InstallPrinterProvider(std::make_shared<FixedPrinterProvider>(
        std::vector<std::shared_ptr<PrinterDevice>>{std::make_shared<VirtualPrinter>()}));
}

std::string FindTool(std::string_view name) {
    const QString n = QString::fromUtf8(name.data(), qsizetype(name.size()));
    QString path = QStandardPaths::findExecutable(n);
    if (path.isEmpty())
        path = QStandardPaths::findExecutable(n, {"/usr/sbin", "/sbin", "/usr/local/sbin"});
    return path.toStdString();
}

ToolResult RunTool(const std::string& program, const std::vector<std::string>& args, int limitMs) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    QStringList list;
    for (const std::string& a : args)
        list << QString::fromStdString(a);
    process.start(QString::fromStdString(program), list);
    ToolResult result;
    if (!process.waitForStarted(10000))
        return result;
    if (!process.waitForFinished(limitMs)) {
        process.kill();
        process.waitForFinished(5000);
        result.Output = process.readAll().toStdString();
        return result;
    }
    result.Output = process.readAll().toStdString();
    result.ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return result;
}

std::string OfficeConvert(const std::string& file, std::string_view format,
                          const std::string& outDir) {
    const std::string soffice = FindTool("soffice");
    if (soffice.empty())
        return {};
    // A profile of its own, so that parallel tests never wait for each other's instance.
    const std::string profile = outDir + "office-profile";
    const ToolResult r =
        RunTool(soffice, {"-env:UserInstallation=file://" + profile, "--headless", "--convert-to",
                          std::string(format), "--outdir", outDir, file});
    const QFileInfo in(QString::fromStdString(file));
    const std::string out =
        outDir + in.completeBaseName().toStdString() + "." + std::string(format);
    if (r.ExitCode != 0 || !QFileInfo::exists(QString::fromStdString(out)))
        return {};
    return out;
}

PrivateCups::PrivateCups(std::string script) : script_(std::move(script)) {
    if (FindTool("cupsd").empty() || FindTool("lpadmin").empty())
        return;
    const ToolResult r = RunTool("bash", {script_, "start", dir_.Path()}, 60000);
    const size_t at = r.Output.find("CUPS_SERVER=");
    if (r.ExitCode != 0 || at == std::string::npos) {
        error_ = r.Output.empty() ? "the print server did not start" : r.Output;
        return;
    }
    socket_ = r.Output.substr(at + 12);
    socket_.erase(socket_.find_last_not_of("\r\n") + 1);
    setenv("CUPS_SERVER", socket_.c_str(), 1);
}

PrivateCups::~PrivateCups() {
    if (socket_.empty())
        return;
    unsetenv("CUPS_SERVER");
    RunTool("bash", {script_, "stop", dir_.Path()}, 30000);
}

std::string WaitForPdf(const std::string& folder, int limitMs) {
    std::string found;
    WaitUntil(
        [&] {
            const QFileInfoList files =
                QDir(QString::fromStdString(folder)).entryInfoList(QDir::Files);
            for (const QFileInfo& f : files) {
                if (f.size() == 0)
                    continue;
                const std::string path = f.absoluteFilePath().toStdString();
                if (RunTool(FindTool("pdfinfo"), {path}).ExitCode == 0) {
                    found = path;
                    return true;
                }
            }
            return false;
        },
        limitMs);
    return found;
}

ReadOnlyFolder::ReadOnlyFolder(std::string folder) : folder_(std::move(folder)) {
    namespace fs = std::filesystem;
    if (::geteuid() != 0) {
        for (const auto& entry : fs::recursive_directory_iterator(folder_))
            if (entry.is_directory() && !entry.is_symlink())
                fs::permissions(entry.path(),
                                fs::perms::owner_write | fs::perms::group_write |
                                    fs::perms::others_write,
                                fs::perm_options::remove);
        fs::permissions(folder_,
                        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
        active_ = true;
        return;
    }
    savedNamespace_ = ::open("/proc/self/ns/mnt", O_RDONLY | O_CLOEXEC);
    savedFolder_ = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    // The mount stays private to this thread's namespace and never reaches the machine's.
    if (savedNamespace_ < 0 || savedFolder_ < 0 || ::unshare(CLONE_NEWNS) != 0 ||
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        error_ = std::string("no mount namespace of our own: ") + std::strerror(errno);
        return;
    }
    if (::mount(folder_.c_str(), folder_.c_str(), nullptr, MS_BIND | MS_REC, nullptr) != 0 ||
        ::mount(nullptr, folder_.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) !=
            0) {
        error_ = std::string("no read-only mount: ") + std::strerror(errno);
        return;
    }
    active_ = mounted_ = true;
}

ReadOnlyFolder::~ReadOnlyFolder() {
    namespace fs = std::filesystem;
    if (::geteuid() != 0) {
        std::error_code ignored;
        fs::permissions(folder_, fs::perms::owner_write, fs::perm_options::add, ignored);
        for (const auto& entry : fs::recursive_directory_iterator(folder_, ignored))
            if (entry.is_directory() && !entry.is_symlink())
                fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add,
                                ignored);
        return;
    }
    if (mounted_)
        ::umount2(folder_.c_str(), MNT_DETACH);
    if (savedNamespace_ >= 0) {
        ::setns(savedNamespace_, CLONE_NEWNS);
        ::close(savedNamespace_);
    }
    if (savedFolder_ >= 0) {
        // Entering a namespace moves the thread to its root.
        if (::fchdir(savedFolder_) != 0)
            ::chdir("/");
        ::close(savedFolder_);
    }
}

} // namespace vx::test
