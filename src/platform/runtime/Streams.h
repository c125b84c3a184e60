#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

// Little-endian byte stream. Reading past the end raises EReadError "Stream read error".
class TStream {
public:
    virtual ~TStream() = default;

    // Raw transfer of up to count bytes; returns the bytes moved.
    virtual size_t Read(void* buffer, size_t count) = 0;
    virtual size_t Write(const void* buffer, size_t count) = 0;
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
    virtual int64_t Size() const = 0;
    virtual void SetSize(int64_t size) = 0;

    int64_t Position() const;
    void SetPosition(int64_t pos);
    int64_t Remaining() const;

    void ReadBuffer(void* buffer, size_t count);
    void WriteBuffer(const void* buffer, size_t count);
    // Copies count bytes (all of source from its start when count is 0); returns the count.
    int64_t CopyFrom(TStream& source, int64_t count);

    uint8_t ReadU8();
    int8_t ReadI8();
    int16_t ReadI16();
    uint16_t ReadU16();
    int32_t ReadI32();
    uint32_t ReadU32();
    int64_t ReadI64();
    float ReadF32();
    double ReadF64();
    // The 80-bit extended float of the stored formats, converted to double.
    double ReadExtended();
    bool ReadBool();
    // One length byte and that many bytes.
    std::string ReadShortString();
    // An i32 length and that many bytes; a negative length counts as 0.
    std::string ReadLongString();
    std::string ReadBytes(size_t count);

    void WriteU8(uint8_t v);
    void WriteI8(int8_t v);
    void WriteI16(int16_t v);
    void WriteU16(uint16_t v);
    void WriteI32(int32_t v);
    void WriteU32(uint32_t v);
    void WriteI64(int64_t v);
    void WriteF32(float v);
    void WriteF64(double v);
    void WriteExtended(double v);
    void WriteBool(bool v);
    // At most 255 bytes: a longer text is cut.
    void WriteShortString(std::string_view s);
    void WriteLongString(std::string_view s);
    void WriteBytes(std::string_view bytes);

    // Bounds a count read from the stream by the bytes that remain, before anything is
    // allocated: a negative count gives 0; a count whose elements (each at least
    // minElementSize bytes) cannot fit raises EReadError.
    size_t CheckCount(int64_t count, size_t minElementSize) const;
};

class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::string bytes) : data_(std::move(bytes)) {}

    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() const override { return static_cast<int64_t>(data_.size()); }
    void SetSize(int64_t size) override;

    void Clear();
    const std::string& Bytes() const { return data_; }
    std::string& Bytes() { return data_; }
    void LoadFromFile(const std::string& path);
    void SaveToFile(const std::string& path) const;
    void LoadFromStream(TStream& source);
    void SaveToStream(TStream& target) const;

private:
    std::string data_;
    int64_t pos_ = 0;
};

enum TFileMode : unsigned {
    fmOpenRead = 0x0000,
    fmOpenWrite = 0x0001,
    fmOpenReadWrite = 0x0002,
    fmShareDenyWrite = 0x0020,
    fmShareDenyNone = 0x0040,
    fmCreate = 0xFF00,
};

// A file opened as the class library did; failure raises EFOpenError
// "Cannot open file \"<name>\"" or "Cannot create file \"<name>\"".
class TFileStream : public TStream {
public:
    TFileStream(const std::string& path, unsigned mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() const override;
    void SetSize(int64_t size) override;
    const std::string& FileName() const { return path_; }

private:
    friend class TAtomicFileStream;
    TFileStream() = default;

    std::string path_;
    int fd_ = -1;
};

// A file written in full or not at all: the bytes go to a new temporary file beside the
// target, and Commit renames it over the target. Destroyed without Commit (an error on the
// way), it removes the temporary, so the old file stays as it was. Raises EFOpenError
// "Cannot create file \"<name>\"" when the folder takes no new file.
//
// A target that is a symbolic link (or a chain of them) is followed: the file it finally names
// is replaced and the links stay. A new file gets 0666 less the umask; a replaced one keeps
// its owner, group and permission bits. The temporary is named ".vx" and six characters, the
// first three a hash of the target's name and the last three random, and stays locked
// (flock) while the save runs; each save removes the unlocked temporaries of its target, left
// by a save whose process ended before it could clean up.
class TAtomicFileStream : public TStream {
public:
    explicit TAtomicFileStream(const std::string& path);
    ~TAtomicFileStream() override;
    TAtomicFileStream(const TAtomicFileStream&) = delete;
    TAtomicFileStream& operator=(const TAtomicFileStream&) = delete;

    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() const override;
    void SetSize(int64_t size) override;

    // Puts the written file in place of the target; raises EFOpenError when it cannot (the
    // temporary is then gone and the target unchanged). Writing after it raises EWriteError.
    void Commit();
    const std::string& FileName() const { return path_; }
    std::string TempName() const;

private:
    TFileStream& File() const;
    void Discard();
    void ReleaseLock();

    std::string path_;
    // Names as the file system takes them (UTF-8): the file finally replaced, the temporary.
    std::string target_;
    std::string tempLocal_;
    int lockFd_ = -1;
    std::unique_ptr<TFileStream> file_;
};

// Portable conversion between double and the 10-byte little-endian extended format.
void DoubleToExtended(double value, uint8_t out[10]);
double ExtendedToDouble(const uint8_t in[10]);

// Writes bytes to a temporary file beside path and renames it over path, so that a failure
// never leaves a half-written user file. Raises EFOpenError or EWriteError.
void WriteFileAtomically(const std::string& path, std::string_view bytes);
// Whole file; raises EFOpenError.
std::string ReadWholeFile(const std::string& path);

} // namespace vx
