#include "data/WPComp.h"

#include "data/Settings.h"

#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/Paths.h"
#include "platform/runtime/StringList.h"
#include "platform/runtime/Strings.h"
#include "platform/system/Files.h"
#include "platform/system/IniFile.h"

#include <QStandardPaths>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace vx {

namespace {

// The folder as it exists on disk, whatever the case of its name; "" when it does not.
std::string ExistingFolder(std::string_view folder) {
    if (folder.empty())
        return "./";
    std::string found = FindExistingPath(ExcludeTrailingPathDelimiter(folder));
    return found.empty() || !DirectoryExists(found) ? std::string()
                                                    : IncludeTrailingPathDelimiter(found);
}

bool IsForbidden(unsigned char c, bool first) {
    if (c < 32)
        return first || c != 0;
    switch (c) {
    case ' ':
    case '.':
        return first;
    case '"':
    case '*':
    case '/':
    case ':':
    case '<':
    case '>':
    case '?':
    case '\\':
    case '|':
    case 0x80:
    case 0x81:
    case 0x8D:
    case 0x8E:
    case 0x8F:
    case 0x90:
    case 0x9D:
    case 0x9E:
        return true;
    default:
        return false;
    }
}

struct TFileState {
    bool Ok = false;
    off_t Size = 0;
    timespec Time{};
    bool operator==(const TFileState& o) const {
        return Ok == o.Ok && Size == o.Size && Time.tv_sec == o.Time.tv_sec &&
               Time.tv_nsec == o.Time.tv_nsec;
    }
};

TFileState StateOf(const std::string& local) {
    struct stat st {};
    if (::stat(local.c_str(), &st) != 0)
        return {};
    return {true, st.st_size, st.st_mtim};
}

} // namespace

int DeleteFilesByMask(std::string_view path, std::string_view mask) {
    const std::string folder = ExistingFolder(ExtractFilePath(path));
    if (folder.empty())
        return 0;
    int deleted = 0;
    for (const std::string& name : ListFolder(folder, false))
        if (MatchesMask(name, mask) && DeleteFile(folder + name))
            ++deleted;
    return deleted;
}

void ListFilesByMask(TStringList& list, std::string_view pathMask) {
    const std::string folder = ExistingFolder(ExtractFilePath(pathMask));
    if (folder.empty())
        return;
    const std::string mask = ExtractFileName(pathMask);
    for (const std::string& name : ListFolder(folder, false))
        if (MatchesMask(name, mask))
            list.Add(name);
}

std::string MakeUniqueFileName(std::string_view folder, std::string_view ext) {
    static std::mutex mutex;
    static std::mt19937_64 generator{std::random_device{}()};
    const std::string dir = IncludeTrailingPathDelimiter(folder);
    std::string suffix(ext);
    if (!suffix.empty() && suffix.front() != '.')
        suffix.insert(suffix.begin(), '.');
    // 15^9 names: a folder full enough to exhaust a thousand draws is not a folder to use.
    for (int attempt = 0; attempt < 1000; ++attempt) {
        std::string name = dir;
        {
            std::lock_guard lock(mutex);
            std::uniform_int_distribution<int> digit(0, 14);
            for (int i = 0; i < 9; ++i)
                name += "0123456789ABCDE"[digit(generator)];
        }
        name += suffix;
        int fd = ::open(ToLocalPath(name).c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return name;
        }
        if (errno != EEXIST)
            break;
    }
    throw EFOpenError("Cannot create file \"" + dir + "\"");
}

std::string ForceExtension(std::string_view name, std::string_view ext) {
    if (SameText(ExtractFileExt(name), ext))
        return std::string(name);
    return ChangeFileExt(name, "") + std::string(ext);
}

std::string ReplaceExtension(std::string_view name, std::string_view ext) {
    const std::string folder = ExtractFilePath(name);
    std::string file = ExtractFileName(name);
    size_t dot = file.find('.');
    if (dot == std::string::npos)
        file += '.';
    else
        file.resize(dot + 1);
    return folder + file + std::string(ext);
}

std::string ReplaceChar(std::string_view s, char a, char b) {
    std::string r(s);
    for (char& c : r)
        if (c == a)
            c = b;
    return r;
}

std::string GetSpecialFolderPath(int csidl) {
    QStandardPaths::StandardLocation location;
    switch (csidl) {
    case CSIDL_PERSONAL:
        location = QStandardPaths::DocumentsLocation;
        break;
    case CSIDL_DESKTOPDIRECTORY:
        location = QStandardPaths::DesktopLocation;
        break;
    case CSIDL_APPDATA:
        location = QStandardPaths::GenericConfigLocation;
        break;
    case CSIDL_LOCAL_APPDATA:
    case CSIDL_COMMON_APPDATA:
        location = QStandardPaths::GenericDataLocation;
        break;
    default:
        return {};
    }
    const QString path = QStandardPaths::writableLocation(location);
    const std::string utf8 = path.toStdString();
    if (path.isEmpty() || !IsCp1252Representable(utf8))
        return {};
    return ExcludeTrailingPathDelimiter(Utf8ToCp1252(utf8));
}

bool IsValidFileName(std::string_view name) {
    for (size_t i = 0; i < name.size(); ++i)
        if (IsForbidden(static_cast<unsigned char>(name[i]), i == 0))
            return false;
    return true;
}

bool IsFileInUse(std::string_view fileName) {
    const std::string local = ToLocalPath(fileName);
    struct stat st {};
    if (::stat(local.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return true;
    if ((st.st_mode & S_IWUSR) == 0)
        ::chmod(local.c_str(), st.st_mode | S_IWUSR);
    int fd = ::open(local.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return true;
    bool locked = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    if (!locked) {
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        locked = ::fcntl(fd, F_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
        ::flock(fd, LOCK_UN);
    }
    ::close(fd);
    if (locked)
        return true;
    const TFileState before = StateOf(local);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    return !(StateOf(local) == before);
}

std::string GetParamStr(std::string_view cmdLine, int i) {
    if (i == 0) {
        if (const char* forced = std::getenv("VORNIX_PROGRAM_PATH"))
            return forced;
        std::error_code ec;
        return Utf8ToCp1252(std::filesystem::read_symlink("/proc/self/exe", ec).string());
    }
    if (i < 0)
        return {};
    size_t p = 0;
    auto blank = [&](size_t at) {
        return at < cmdLine.size() && cmdLine[at] != 0 &&
               static_cast<unsigned char>(cmdLine[at]) <= ' ';
    };
    auto inText = [&](size_t at) { return at < cmdLine.size() && cmdLine[at] != 0; };
    std::string param;
    for (int index = 0; index <= i; ++index) {
        while (true) {
            while (blank(p))
                ++p;
            if (inText(p + 1) && cmdLine[p] == '"' && cmdLine[p + 1] == '"')
                p += 2;
            else
                break;
        }
        param.clear();
        while (inText(p) && static_cast<unsigned char>(cmdLine[p]) > ' ') {
            if (cmdLine[p] == '"') {
                ++p;
                while (inText(p) && cmdLine[p] != '"')
                    param += cmdLine[p++];
                if (inText(p))
                    ++p;
            } else {
                param += cmdLine[p++];
            }
        }
        if (param.empty())
            return {};
    }
    return param;
}

std::string ExtractCommandLinePath(std::string_view cmdLine) {
    std::string s(cmdLine);
    for (int pass = 0; pass < 2; ++pass)
        if (size_t q = s.find('"'); q != std::string::npos)
            s.erase(0, q + 1);
    s = Trim(s);
    if (size_t cut = s.find(" \\"); cut != std::string::npos)
        s.resize(cut);
    return Trim(ReplaceChar(s, '"', ' '));
}

bool PointInRect(int32_t x, int32_t y, const TRect& rect) {
    return x >= rect.Left && x <= rect.Right && y >= rect.Top && y <= rect.Bottom;
}

TRect NormalizeRect(const TRect& rect) {
    TRect r = rect;
    if (r.Left > r.Right)
        SwapInt(r.Left, r.Right);
    if (r.Top > r.Bottom)
        SwapInt(r.Top, r.Bottom);
    return r;
}

TRect ClampRectToRect(const TRect& bounds, const TRect& rect) {
    TRect r = rect;
    auto clamp = [](int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : v > hi ? hi : v; };
    r.Left = clamp(r.Left, bounds.Left, bounds.Right);
    r.Right = clamp(r.Right, bounds.Left, bounds.Right);
    r.Top = clamp(r.Top, bounds.Top, bounds.Bottom);
    r.Bottom = clamp(r.Bottom, bounds.Top, bounds.Bottom);
    // An edge pulled onto or past its partner stays one pixel from it.
    const bool clampedX = r.Left != rect.Left || r.Right != rect.Right;
    const bool clampedY = r.Top != rect.Top || r.Bottom != rect.Bottom;
    if (clampedX && r.Left >= r.Right) {
        if (r.Left >= bounds.Right)
            r.Left = r.Right - 1;
        else
            r.Right = r.Left + 1;
    }
    if (clampedY && r.Top >= r.Bottom) {
        if (r.Top >= bounds.Bottom)
            r.Top = r.Bottom - 1;
        else
            r.Bottom = r.Top + 1;
    }
    return r;
}

void SwapInt(int32_t& a, int32_t& b) {
    std::swap(a, b);
}

namespace {
constexpr int penWidths[] = {1, 2, 3, 4, 6, 8, 12};
}

int PenWidthToIndex(int width) {
    for (int i = 0; i < 7; ++i)
        if (penWidths[i] == width)
            return i;
    return 0;
}

int IndexToPenWidth(int index) {
    return index >= 0 && index < 7 ? penWidths[index] : 1;
}

namespace {
constexpr TPenStyle kPenStyles[] = {psSolid, psDot, psDash, psDashDot, psDashDotDot};
} // namespace

int PenStyleToIndex(TPenStyle style) {
    for (int i = 0; i < 5; ++i)
        if (kPenStyles[i] == style)
            return i;
    return 0;
}

TPenStyle IndexToPenStyle(int index) {
    return index >= 0 && index < 5 ? kPenStyles[index] : psSolid;
}

namespace {
double UnitsPerInch(Tunitadimisura unit) {
    switch (unit) {
    case UM_mm:
        return 25.4;
    case UM_Cm:
        return 2.54;
    default:
        return 1;
    }
}
} // namespace

double PixelsToUnits(int pixelsPerInch, Tunitadimisura unit, int32_t pixels) {
    if (pixelsPerInch <= 0)
        return 0;
    return static_cast<double>(pixels) / pixelsPerInch * UnitsPerInch(unit);
}

int32_t UnitsToPixels(int pixelsPerInch, Tunitadimisura unit, double length) {
    return static_cast<int32_t>(Round(length / UnitsPerInch(unit) * pixelsPerInch));
}

std::string KolmVarFileName(std::string_view basePath) {
    return SystemFileName("KOLMVAR.SET", basePath);
}

bool ReadKolmVar(std::string_view basePath, std::string_view section, std::string_view key,
                 std::string& value) {
    try {
        value = TIniFile(KolmVarFileName(basePath)).ReadString(section, key, "");
    } catch (const Exception&) {
        value.clear();
    }
    if (value.size() > 255)
        value.resize(255);
    return !value.empty();
}

bool WriteKolmVar(std::string_view basePath, std::string_view section, std::string_view key,
                  std::string_view value) {
    try {
        TIniFile ini(KolmVarFileName(basePath));
        ini.WriteString(section, key, value);
        ini.UpdateFile();
        return true;
    } catch (const Exception&) {
        return false;
    }
}

} // namespace vx
