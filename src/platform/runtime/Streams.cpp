#include "platform/runtime/Streams.h"

#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Paths.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vx {

namespace {

[[noreturn]] void ReadError() {
    throw EReadError("Stream read error");
}

template <typename T>
T ReadLE(TStream& s) {
    unsigned char b[sizeof(T)];
    s.ReadBuffer(b, sizeof b);
    uint64_t v = 0;
    for (size_t i = 0; i < sizeof(T); ++i)
        v |= static_cast<uint64_t>(b[i]) << (8 * i);
    T out;
    if constexpr (sizeof(T) == 8) {
        std::memcpy(&out, &v, 8);
    } else {
        using U = std::conditional_t<sizeof(T) == 4, uint32_t,
                                     std::conditional_t<sizeof(T) == 2, uint16_t, uint8_t>>;
        const U u = static_cast<U>(v);
        std::memcpy(&out, &u, sizeof(T));
    }
    return out;
}

template <typename T>
void WriteLE(TStream& s, T value) {
    uint64_t v = 0;
    std::memcpy(&v, &value, sizeof(T));
    unsigned char b[sizeof(T)];
    for (size_t i = 0; i < sizeof(T); ++i)
        b[i] = static_cast<unsigned char>(v >> (8 * i));
    s.WriteBuffer(b, sizeof b);
}

// Shifts a 64-bit significand right, rounding half to even on the bits that drop out.
uint64_t ShiftRightRounded(uint64_t m, int shift) {
    if (shift <= 0)
        return m;
    if (shift > 64)
        return 0;
    const uint64_t kept = shift == 64 ? 0 : m >> shift;
    const uint64_t half = uint64_t{1} << (shift - 1);
    const uint64_t dropped = shift == 64 ? m : m & ((uint64_t{1} << shift) - 1);
    if (dropped > half || (dropped == half && (kept & 1)))
        return kept + 1;
    return kept;
}

} // namespace

int64_t TStream::Position() const {
    return const_cast<TStream*>(this)->Seek(0, TSeekOrigin::soCurrent);
}

void TStream::SetPosition(int64_t pos) {
    Seek(pos, TSeekOrigin::soBeginning);
}

int64_t TStream::Remaining() const {
    return std::max<int64_t>(0, Size() - Position());
}

void TStream::ReadBuffer(void* buffer, size_t count) {
    if (count == 0)
        return;
    if (Read(buffer, count) != count)
        ReadError();
}

void TStream::WriteBuffer(const void* buffer, size_t count) {
    if (count == 0)
        return;
    errno = 0;
    if (Write(buffer, count) != count) {
        const int error = errno;
        throw EWriteError("Stream write error", error);
    }
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    char buf[65536];
    int64_t left = count;
    while (left > 0) {
        const size_t n = static_cast<size_t>(std::min<int64_t>(left, sizeof buf));
        source.ReadBuffer(buf, n);
        WriteBuffer(buf, n);
        left -= static_cast<int64_t>(n);
    }
    return count;
}

uint8_t TStream::ReadU8() {
    return ReadLE<uint8_t>(*this);
}
int8_t TStream::ReadI8() {
    return ReadLE<int8_t>(*this);
}
int16_t TStream::ReadI16() {
    return ReadLE<int16_t>(*this);
}
uint16_t TStream::ReadU16() {
    return ReadLE<uint16_t>(*this);
}
int32_t TStream::ReadI32() {
    return ReadLE<int32_t>(*this);
}
uint32_t TStream::ReadU32() {
    return ReadLE<uint32_t>(*this);
}
int64_t TStream::ReadI64() {
    return ReadLE<int64_t>(*this);
}
float TStream::ReadF32() {
    return ReadLE<float>(*this);
}
double TStream::ReadF64() {
    return ReadLE<double>(*this);
}
bool TStream::ReadBool() {
    return ReadU8() != 0;
}

double TStream::ReadExtended() {
    uint8_t b[10];
    ReadBuffer(b, 10);
    return ExtendedToDouble(b);
}

std::string TStream::ReadShortString() {
    return ReadBytes(ReadU8());
}

std::string TStream::ReadLongString() {
    const int32_t len = ReadI32();
    return ReadBytes(CheckCount(len, 1));
}

std::string TStream::ReadBytes(size_t count) {
    if (static_cast<int64_t>(count) > Remaining())
        ReadError();
    std::string s(count, '\0');
    ReadBuffer(s.data(), count);
    return s;
}

void TStream::WriteU8(uint8_t v) {
    WriteLE(*this, v);
}
void TStream::WriteI8(int8_t v) {
    WriteLE(*this, v);
}
void TStream::WriteI16(int16_t v) {
    WriteLE(*this, v);
}
void TStream::WriteU16(uint16_t v) {
    WriteLE(*this, v);
}
void TStream::WriteI32(int32_t v) {
    WriteLE(*this, v);
}
void TStream::WriteU32(uint32_t v) {
    WriteLE(*this, v);
}
void TStream::WriteI64(int64_t v) {
    WriteLE(*this, v);
}
void TStream::WriteF32(float v) {
    WriteLE(*this, v);
}
void TStream::WriteF64(double v) {
    WriteLE(*this, v);
}
void TStream::WriteBool(bool v) {
    WriteU8(v ? 1 : 0);
}

void TStream::WriteExtended(double v) {
    uint8_t b[10];
    DoubleToExtended(v, b);
    WriteBuffer(b, 10);
}

void TStream::WriteShortString(std::string_view s) {
    const size_t n = std::min<size_t>(s.size(), 255);
    WriteU8(static_cast<uint8_t>(n));
    WriteBuffer(s.data(), n);
}

void TStream::WriteLongString(std::string_view s) {
    WriteI32(static_cast<int32_t>(s.size()));
    WriteBuffer(s.data(), s.size());
}

void TStream::WriteBytes(std::string_view bytes) {
    WriteBuffer(bytes.data(), bytes.size());
}

size_t TStream::CheckCount(int64_t count, size_t minElementSize) const {
    if (count <= 0)
        return 0;
    const int64_t remaining = Remaining();
    if (minElementSize > 0 && count > remaining / static_cast<int64_t>(minElementSize))
        ReadError();
    return static_cast<size_t>(count);
}

// --- TMemoryStream ---

size_t TMemoryStream::Read(void* buffer, size_t count) {
    const int64_t avail = std::max<int64_t>(0, Size() - pos_);
    const size_t n = static_cast<size_t>(std::min<int64_t>(avail, static_cast<int64_t>(count)));
    if (n > 0)
        std::memcpy(buffer, data_.data() + pos_, n);
    pos_ += static_cast<int64_t>(n);
    return n;
}

size_t TMemoryStream::Write(const void* buffer, size_t count) {
    const auto end = static_cast<size_t>(pos_) + count;
    if (end > data_.size())
        data_.resize(end);
    std::memcpy(data_.data() + pos_, buffer, count);
    pos_ = static_cast<int64_t>(end);
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
    int64_t base = origin == TSeekOrigin::soBeginning ? 0
                   : origin == TSeekOrigin::soCurrent ? pos_
                                                      : Size();
    pos_ = std::max<int64_t>(0, base + offset);
    return pos_;
}

void TMemoryStream::SetSize(int64_t size) {
    data_.resize(static_cast<size_t>(std::max<int64_t>(0, size)));
    pos_ = std::min(pos_, Size());
}

void TMemoryStream::Clear() {
    data_.clear();
    pos_ = 0;
}

void TMemoryStream::LoadFromFile(const std::string& path) {
    data_ = ReadWholeFile(path);
    pos_ = 0;
}

void TMemoryStream::SaveToFile(const std::string& path) const {
    TFileStream f(path, fmCreate);
    f.WriteBuffer(data_.data(), data_.size());
}

void TMemoryStream::LoadFromStream(TStream& source) {
    source.SetPosition(0);
    data_ = source.ReadBytes(static_cast<size_t>(source.Size()));
    pos_ = 0;
}

void TMemoryStream::SaveToStream(TStream& target) const {
    target.WriteBuffer(data_.data(), data_.size());
}

// --- TFileStream ---

TFileStream::TFileStream(const std::string& path, unsigned mode) : path_(path) {
    const std::string local = Cp1252ToUtf8(NormalizePath(path));
    if ((mode & 0xFF00) == fmCreate) {
        fd_ = ::open(local.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd_ < 0) {
            const int error = errno;
            throw EFOpenError::ForFile(path, true, error, std::strerror(error));
        }
        return;
    }
    const unsigned access = mode & 3;
    const int flags = access == fmOpenWrite       ? O_WRONLY
                      : access == fmOpenReadWrite ? O_RDWR
                                                  : O_RDONLY;
    fd_ = ::open(local.c_str(), flags | O_CLOEXEC);
    if (fd_ < 0) {
        const int error = errno;
        throw EFOpenError::ForFile(path, false, error, std::strerror(error));
    }
}

TFileStream::~TFileStream() {
    if (fd_ >= 0)
        ::close(fd_);
}

size_t TFileStream::Read(void* buffer, size_t count) {
    size_t done = 0;
    while (done < count) {
        const ssize_t n = ::read(fd_, static_cast<char*>(buffer) + done, count - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<size_t>(n);
    }
    return done;
}

size_t TFileStream::Write(const void* buffer, size_t count) {
    size_t done = 0;
    while (done < count) {
        const ssize_t n = ::write(fd_, static_cast<const char*>(buffer) + done, count - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<size_t>(n);
    }
    return done;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
    const int whence = origin == TSeekOrigin::soBeginning ? SEEK_SET
                       : origin == TSeekOrigin::soCurrent ? SEEK_CUR
                                                          : SEEK_END;
    const off_t r = ::lseek(fd_, offset, whence);
    return r < 0 ? Position() : r;
}

int64_t TFileStream::Size() const {
    const off_t cur = ::lseek(fd_, 0, SEEK_CUR);
    const off_t end = ::lseek(fd_, 0, SEEK_END);
    ::lseek(fd_, cur, SEEK_SET);
    return end;
}

void TFileStream::SetSize(int64_t size) {
    if (::ftruncate(fd_, size) != 0)
        throw EWriteError("Stream write error");
}

// --- extended floats ---

void DoubleToExtended(double value, uint8_t out[10]) {
    uint64_t bits;
    std::memcpy(&bits, &value, 8);
    const bool negative = (bits >> 63) != 0;
    const int exp = static_cast<int>((bits >> 52) & 0x7FF);
    const uint64_t frac = bits & ((uint64_t{1} << 52) - 1);
    uint64_t mant = 0;
    int e80 = 0;
    if (exp == 0x7FF) {
        e80 = 0x7FFF;
        mant = (uint64_t{1} << 63) | (frac << 11);
        if (frac != 0)
            mant |= uint64_t{1} << 62; // quiet NaN
    } else if (exp == 0 && frac == 0) {
        e80 = 0;
        mant = 0;
    } else if (exp == 0) {
        // Denormal double: normalise into the explicit-integer-bit form.
        int shift = 0;
        uint64_t m = frac;
        while ((m & (uint64_t{1} << 52)) == 0) {
            m <<= 1;
            ++shift;
        }
        e80 = -1022 - shift + 16383;
        mant = m << 11;
    } else {
        e80 = exp - 1023 + 16383;
        mant = (uint64_t{1} << 63) | (frac << 11);
    }
    for (int i = 0; i < 8; ++i)
        out[i] = static_cast<uint8_t>(mant >> (8 * i));
    const unsigned se = static_cast<unsigned>(e80) | (negative ? 0x8000u : 0u);
    out[8] = static_cast<uint8_t>(se);
    out[9] = static_cast<uint8_t>(se >> 8);
}

double ExtendedToDouble(const uint8_t in[10]) {
    uint64_t mant = 0;
    for (int i = 0; i < 8; ++i)
        mant |= static_cast<uint64_t>(in[i]) << (8 * i);
    const unsigned se = in[8] | (static_cast<unsigned>(in[9]) << 8);
    const bool negative = (se & 0x8000) != 0;
    const int e80 = static_cast<int>(se & 0x7FFF);
    const uint64_t sign = negative ? uint64_t{1} << 63 : 0;
    uint64_t bits;
    if (e80 == 0x7FFF) {
        const uint64_t frac = (mant << 1) >> 12;
        bits = sign | (uint64_t{0x7FF} << 52) | (frac != 0 ? (frac | (uint64_t{1} << 51)) : 0);
    } else if (mant == 0) {
        bits = sign;
    } else {
        // value = mant x 2^(e80 - 16383 - 63); normalise so that bit 63 is set.
        int e = (e80 == 0 ? 1 : e80) - 16383;
        while ((mant & (uint64_t{1} << 63)) == 0) {
            mant <<= 1;
            --e;
        }
        if (e > 1023) {
            bits = sign | (uint64_t{0x7FF} << 52);
        } else if (e >= -1022) {
            uint64_t sig = ShiftRightRounded(mant, 11);
            if (sig == (uint64_t{1} << 53)) {
                sig >>= 1;
                ++e;
            }
            bits = e > 1023 ? sign | (uint64_t{0x7FF} << 52)
                            : sign | (static_cast<uint64_t>(e + 1023) << 52) |
                                  (sig & ((uint64_t{1} << 52) - 1));
        } else {
            // Below the normal range: the rounding carry may reach the smallest normal.
            bits = sign | ShiftRightRounded(mant, 11 + (-1022 - e));
        }
    }
    double d;
    std::memcpy(&d, &bits, 8);
    return d;
}

// --- TAtomicFileStream ---

namespace {

[[noreturn]] void CannotCreate(const std::string& path, int error) {
    throw EFOpenError::ForFile(path, true, error, std::strerror(error));
}

std::string LocalFolderOf(const std::string& local) {
    const size_t slash = local.rfind('/');
    return slash == std::string::npos ? std::string() : local.substr(0, slash + 1);
}

// The file a chain of symbolic links finally names (it need not exist yet), so that a save
// replaces that file and keeps the links. Raises ELOOP past 40 links, as the system does.
std::string FinalTarget(const std::string& local, const std::string& path) {
    std::string current = local;
    std::vector<char> buffer(PATH_MAX + 1);
    for (int links = 0;; ++links) {
        const ssize_t n = ::readlink(current.c_str(), buffer.data(), buffer.size());
        if (n < 0)
            return current; // not a link, or not there yet
        if (links == 40)
            CannotCreate(path, ELOOP);
        if (static_cast<size_t>(n) == buffer.size())
            CannotCreate(path, ENAMETOOLONG);
        const std::string target(buffer.data(), static_cast<size_t>(n));
        current = target.front() == '/' ? target : LocalFolderOf(current) + target;
    }
}

constexpr char kTempAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr size_t kTempAlphabetSize = sizeof kTempAlphabet - 1;

// The three characters after ".vx" that name the file a temporary belongs to: a hash of the
// target's name, so that a later save finds the leftovers of its own file.
std::string TempTag(const std::string& fileName) {
    uint32_t hash = 2166136261u; // FNV-1a
    for (const char c : fileName) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    std::string tag;
    for (int i = 0; i < 3; ++i) {
        tag += kTempAlphabet[hash % kTempAlphabetSize];
        hash /= kTempAlphabetSize;
    }
    return tag;
}

std::string RandomTempChars() {
    static thread_local std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<size_t> pick(0, kTempAlphabetSize - 1);
    std::string chars;
    for (int i = 0; i < 3; ++i)
        chars += kTempAlphabet[pick(generator)];
    return chars;
}

// A running save holds its temporary under an exclusive lock, which the system drops when the
// process ends however it ends: a temporary of this file that can be locked is a leftover.
void RemoveLeftoverTemporaries(const std::string& folder, const std::string& prefix) {
    const std::string where = folder.empty() ? std::string(".") : folder;
    DIR* dir = ::opendir(where.c_str());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() != prefix.size() + 3 || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const std::string local = folder + name;
        const int fd = ::open(local.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat held {};
        struct stat named {};
        if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && held.st_uid == ::geteuid() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::lstat(local.c_str(), &named) == 0 &&
            named.st_ino == held.st_ino && named.st_dev == held.st_dev)
            ::unlink(local.c_str());
        ::close(fd);
    }
    ::closedir(dir);
}

// Gives a new file the owner, group and permission bits of the file it will replace. Where
// the group cannot be kept, the group gets no rights rather than another group getting them.
void TakeOverMode(int fd, const struct stat& old) {
    mode_t mode = old.st_mode & 07777;
    if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
        if (::fchown(fd, old.st_uid, old.st_gid) != 0 && ::fchown(fd, -1, old.st_gid) != 0)
            mode &= ~mode_t{070};
    }
    ::fchmod(fd, mode);
}

} // namespace

TAtomicFileStream::TAtomicFileStream(const std::string& path) : path_(NormalizePath(path)) {
    target_ = FinalTarget(Cp1252ToUtf8(path_), path_);
    const std::string folder = LocalFolderOf(target_);
    const std::string prefix = ".vx" + TempTag(target_.substr(folder.size()));
    RemoveLeftoverTemporaries(folder, prefix);
    struct stat old {};
    const bool replaces = ::stat(target_.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    for (int attempt = 0;; ++attempt) {
        tempLocal_ = folder + prefix + RandomTempChars();
        // A new file: 0666 less the umask (and what a default ACL of the folder says). A file
        // that replaces another stays the user's alone until Commit gives it the old mode.
        lockFd_ = ::open(tempLocal_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                         replaces ? 0600 : 0666);
        if (lockFd_ < 0) {
            if (errno == EEXIST && attempt < 100)
                continue;
            CannotCreate(path_, errno);
        }
        struct stat self {};
        // Another save may have taken the new file for a leftover before it was locked.
        if (::flock(lockFd_, LOCK_EX) == 0 && ::fstat(lockFd_, &self) == 0 && self.st_nlink > 0)
            break;
        ::close(lockFd_);
        lockFd_ = -1;
        if (attempt >= 100)
            CannotCreate(path_, EEXIST);
    }
    file_.reset(new TFileStream());
    file_->path_ = TempName();
    file_->fd_ = ::fcntl(lockFd_, F_DUPFD_CLOEXEC, 0);
    if (file_->fd_ < 0) {
        const int error = errno;
        Discard();
        CannotCreate(path_, error);
    }
}

TAtomicFileStream::~TAtomicFileStream() {
    Discard();
}

std::string TAtomicFileStream::TempName() const {
    return Utf8ToCp1252(tempLocal_);
}

void TAtomicFileStream::Discard() {
    if (lockFd_ < 0)
        return;
    file_.reset();
    ::unlink(tempLocal_.c_str());
    ReleaseLock();
}

void TAtomicFileStream::ReleaseLock() {
    ::close(lockFd_);
    lockFd_ = -1;
}

TFileStream& TAtomicFileStream::File() const {
    if (!file_)
        throw EWriteError("Stream write error");
    return *file_;
}

size_t TAtomicFileStream::Read(void* buffer, size_t count) {
    return File().Read(buffer, count);
}

size_t TAtomicFileStream::Write(const void* buffer, size_t count) {
    return File().Write(buffer, count);
}

int64_t TAtomicFileStream::Seek(int64_t offset, TSeekOrigin origin) {
    return File().Seek(offset, origin);
}

int64_t TAtomicFileStream::Size() const {
    return File().Size();
}

void TAtomicFileStream::SetSize(int64_t size) {
    File().SetSize(size);
}

void TAtomicFileStream::Commit() {
    File();
    file_.reset();
    if (struct stat old{}; ::stat(target_.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        TakeOverMode(lockFd_, old);
    if (::rename(tempLocal_.c_str(), target_.c_str()) != 0) {
        const int error = errno;
        Discard();
        CannotCreate(path_, error);
    }
    ReleaseLock();
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
    TAtomicFileStream f(path);
    f.WriteBuffer(bytes.data(), bytes.size());
    f.Commit();
}

std::string ReadWholeFile(const std::string& path) {
    TFileStream f(path, fmOpenRead | fmShareDenyNone);
    return f.ReadBytes(static_cast<size_t>(f.Size()));
}

} // namespace vx
