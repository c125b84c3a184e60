#include "document/DocumentFiles.h"

#include "data/Databuff.h"
#include "data/ProvaText.h"
#include "localisation/Strglobmod.h"
#include "localisation/mlComp.h"
#include "localisation/mlLangDispatcher.h"
#include "localisation/mlStoredTable.h"
#include "platform/runtime/Format.h"
#include "platform/runtime/FormatSettings.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/Streams.h"
#include "report/WPPage.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

namespace vx {

namespace {

std::string ErrorPrefix(TDocumentFileError kind) {
    switch (kind) {
    case TDocumentFileError::NotAProject:
        return "The file is not a configuration: ";
    case TDocumentFileError::UnsupportedVersion:
        return "Unsupported file version: ";
    case TDocumentFileError::Damaged:
        return "The file is damaged or incomplete: ";
    case TDocumentFileError::CannotSave:
        break;
    }
    return "Cannot save the file: ";
}

// Documents reach hundreds of megabytes written a few bytes at a time; the file stream makes
// one system call per write, so writes are gathered here first.
class TBufferedWriter : public TStream {
public:
    explicit TBufferedWriter(TStream& target) : target_(target) { buffer_.reserve(kCapacity); }

    size_t Read(void*, size_t) override { return 0; }
    size_t Write(const void* data, size_t count) override {
        if (buffer_.size() + count > kCapacity)
            Flush();
        if (count >= kCapacity)
            return target_.Write(data, count);
        buffer_.append(static_cast<const char*>(data), count);
        return count;
    }
    int64_t Seek(int64_t offset, TSeekOrigin origin) override {
        if (origin == TSeekOrigin::soCurrent && offset == 0)
            return target_.Position() + static_cast<int64_t>(buffer_.size());
        Flush();
        return target_.Seek(offset, origin);
    }
    int64_t Size() const override {
        return std::max(target_.Size(), target_.Position() + static_cast<int64_t>(buffer_.size()));
    }
    void SetSize(int64_t size) override {
        Flush();
        target_.SetSize(size);
    }
    void Flush() {
        if (!buffer_.empty())
            target_.WriteBuffer(buffer_.data(), buffer_.size());
        buffer_.clear();
    }

private:
    static constexpr size_t kCapacity = 1 << 20;
    TStream& target_;
    std::string buffer_;
};

// Reading a file through a buffer keeps a document of hundreds of megabytes out of memory
// while its tests are read, at one system call per megabyte.
class TBufferedReader : public TStream {
public:
    explicit TBufferedReader(TStream& source) : source_(source), size_(source.Size()) {}

    size_t Read(void* data, size_t count) override {
        auto* out = static_cast<char*>(data);
        size_t done = 0;
        while (done < count) {
            if (pos_ == buffer_.size()) {
                if (count - done >= kCapacity) {
                    start_ += static_cast<int64_t>(buffer_.size());
                    buffer_.clear();
                    pos_ = 0;
                    const size_t n = source_.Read(out + done, count - done);
                    start_ += static_cast<int64_t>(n);
                    return done + n;
                }
                if (!Fill())
                    break;
            }
            const size_t n = std::min(count - done, buffer_.size() - pos_);
            std::memcpy(out + done, buffer_.data() + pos_, n);
            pos_ += n;
            done += n;
        }
        return done;
    }
    size_t Write(const void*, size_t) override { return 0; }
    int64_t Seek(int64_t offset, TSeekOrigin origin) override {
        const int64_t here = start_ + static_cast<int64_t>(pos_);
        const int64_t target = origin == TSeekOrigin::soBeginning ? offset
                               : origin == TSeekOrigin::soCurrent ? here + offset
                                                                  : size_ + offset;
        if (target >= start_ && target <= start_ + static_cast<int64_t>(buffer_.size())) {
            pos_ = static_cast<size_t>(target - start_);
        } else {
            start_ = source_.Seek(target, TSeekOrigin::soBeginning);
            buffer_.clear();
            pos_ = 0;
        }
        return start_ + static_cast<int64_t>(pos_);
    }
    int64_t Size() const override { return size_; }
    void SetSize(int64_t) override { throw EWriteError("Stream write error"); }

private:
    static constexpr size_t kCapacity = 1 << 20;
    bool Fill() {
        start_ += static_cast<int64_t>(buffer_.size());
        buffer_.resize(kCapacity);
        buffer_.resize(source_.Read(buffer_.data(), kCapacity));
        pos_ = 0;
        return !buffer_.empty();
    }

    TStream& source_;
    int64_t size_;
    std::string buffer_;
    size_t pos_ = 0;
    int64_t start_ = 0; // file position of buffer_[0]
};

void WriteStrings(TStream& stream, const TStringList& list) {
    stream.WriteI32(list.Count());
    for (int i = 0; i < list.Count(); ++i)
        stream.WriteShortString(list[i]);
}

void WriteLongStrings(TStream& stream, const TStringList& list) {
    stream.WriteI32(list.Count());
    for (int i = 0; i < list.Count(); ++i)
        stream.WriteLongString(list[i]);
}

TStringList ReadStrings(TStream& stream) {
    const size_t n = stream.CheckCount(stream.ReadI32(), 1);
    TStringList list;
    for (size_t i = 0; i < n; ++i)
        list.Add(stream.ReadShortString());
    return list;
}

TStringList ReadLongStrings(TStream& stream) {
    const size_t n = stream.CheckCount(stream.ReadI32(), 4);
    TStringList list;
    for (size_t i = 0; i < n; ++i) {
        const size_t length = stream.CheckCount(stream.ReadI32(), 1);
        list.Add(stream.ReadBytes(length));
    }
    return list;
}

TAttributiProve ReadStyles(TStream& stream) {
    TAttributiProve styles;
    styles.ReadCheckedFromStream(stream);
    return styles;
}

// Resets the separator whatever happens to the read it surrounds.
struct TSeparatorRestore {
    ~TSeparatorRestore() { DocDecimalSeparator = FormatSettings().DecimalSeparator; }
};

} // namespace

EDocumentFile::EDocumentFile(TDocumentFileError kind, std::string fileName)
    : Exception(ErrorPrefix(kind) + fileName), Kind(kind), FileName(std::move(fileName)) {}

// One line, so that the debug log keeps its three lines a step.
EDocumentFile::EDocumentFile(std::string fileName, int64_t offset, std::string reason)
    : EDocumentFile(TDocumentFileError::Damaged, std::move(fileName)) {
    Offset = offset;
    Reason = std::move(reason);
    if (Offset >= 0)
        Message += " (byte " + std::to_string(Offset) + ": " + Reason + ")";
    else if (!Reason.empty())
        Message += " (" + Reason + ")";
}

std::string FilePlaceText(const EDocumentFile& error, const std::string& placeFormat) {
    if (error.Offset < 0)
        return error.Reason;
    return Format(placeFormat, {error.Offset}) + error.Reason;
}

std::string FileSystemErrorText(int error) {
    if (error == 0)
        return {};
    static const std::pair<int, const char*> kNames[] = {
        {E2BIG, "E2BIG"},     {EACCES, "EACCES"},
        {EDQUOT, "EDQUOT"},   {EEXIST, "EEXIST"},
        {EFBIG, "EFBIG"},     {EIO, "EIO"},
        {EISDIR, "EISDIR"},   {ELOOP, "ELOOP"},
        {EMFILE, "EMFILE"},   {ENAMETOOLONG, "ENAMETOOLONG"},
        {ENOENT, "ENOENT"},   {ENOSPC, "ENOSPC"},
        {ENOTDIR, "ENOTDIR"}, {EPERM, "EPERM"},
        {EROFS, "EROFS"},     {ETXTBSY, "ETXTBSY"},
        {EXDEV, "EXDEV"},
    };
    TmlLang table(nullptr);
    if (!LoadTranslationResource(table, "FileSystemErrors"))
        return std::strerror(error);
    // A table without a window completes no loading of its own.
    table.RebuildStringsTable();
    if (STRGlobData != nullptr) {
        const int language = STRGlobData->mlLangDispatcher1->ActiveLanguage();
        if (language >= 1 && language <= table.NumOfLanguages())
            table.SetActiveLanguage(language);
    }
    for (const auto& [code, name] : kNames)
        if (code == error)
            return table.GetTextOrDefault(name);
    return Format(table.GetTextOrDefault("Other"), {error});
}

int FileSystemErrorOf(const std::exception& error) {
    if (const auto* open = dynamic_cast<const EFOpenError*>(&error))
        return open->ErrorCode;
    if (const auto* write = dynamic_cast<const EWriteError*>(&error))
        return write->ErrorCode;
    return 0;
}

int FileTagVersion(std::string_view tag) {
    const size_t dot = tag.find('.');
    if (dot == std::string_view::npos)
        return -1;
    int32_t version = 0;
    if (!TryStrToInt(tag.substr(dot + 1), version) || version < 0)
        return -1;
    return version;
}

void WritePages(TStream& stream, const std::vector<TWPPage*>& pages) {
    stream.WriteI32(static_cast<int32_t>(pages.size()));
    for (const TWPPage* page : pages)
        page->SaveToStream(stream);
}

void WriteDocument(TStream& stream, const TDatabuffer& buffer, const TAttributiProve& styles,
                   const std::vector<TWPPage*>& pages) {
    stream.WriteShortString(kDocumentTag);
    DocDecimalSeparator = FormatSettings().DecimalSeparator;
    stream.WriteU8(static_cast<uint8_t>(DocDecimalSeparator.load()));
    buffer.SaveToStream(stream);
    styles.WriteToStream(stream);
    WritePages(stream, pages);
}

void WriteProject(TStream& stream, const std::vector<TWPPage*>& pages, const TStringList& labels,
                  const TAttributiProve& styles, const TStringList& mappingList) {
    stream.WriteShortString(kProjectTag);
    WritePages(stream, pages);
    WriteStrings(stream, labels);
    styles.WriteToStream(stream);
    WriteLongStrings(stream, mappingList);
}

TPageList ReadPages(TStream& stream, TDatabuffer* buffer) {
    const size_t count = stream.CheckCount(stream.ReadI32(), kMinPageStream);
    TPageList pages;
    pages.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        auto page = std::make_unique<TWPPage>(nullptr);
        page->DataBuffer = buffer;
        page->LoadFromStream(stream);
        pages.push_back(std::move(page));
    }
    return pages;
}

TDocumentHeader ReadDocumentHeader(TStream& stream, TDatabuffer& buffer,
                                   const std::string& fileName) {
    const std::string tag = stream.ReadShortString();
    TDocumentHeader header;
    header.Version = FileTagVersion(tag);
    // A project's page count would otherwise be taken for the separator.
    if (tag.find("Cfg_Version") != std::string::npos || header.Version < 80)
        throw EDocumentFile(TDocumentFileError::UnsupportedVersion, fileName);
    TSeparatorRestore restore;
    DocDecimalSeparator = header.Version >= 81 ? static_cast<char>(stream.ReadU8())
                                               : FormatSettings().DecimalSeparator;
    TDatabuffer read;
    read.LoadFromStream(stream);
    header.HasStyles = header.Version >= 82;
    if (header.HasStyles)
        header.Styles = ReadStyles(stream);
    buffer.SwapContent(read);
    if (header.HasStyles)
        AttributiProve() = header.Styles;
    DocDecimalSeparator = FormatSettings().DecimalSeparator;
    buffer.UpdateMinMax();
    return header;
}

TProjectContent ReadProject(TStream& stream, TDatabuffer* buffer, const std::string& fileName,
                            bool stylesAndList) {
    const std::string tag = stream.ReadShortString();
    if (tag.find("Cfg_Version") == std::string::npos)
        throw EDocumentFile(TDocumentFileError::NotAProject, fileName);
    TProjectContent project;
    project.Version = FileTagVersion(tag);
    if (project.Version < 0)
        throw EDocumentFile(TDocumentFileError::UnsupportedVersion, fileName);
    project.Pages = ReadPages(stream, buffer);
    project.Labels = ReadStrings(stream);
    if (!stylesAndList)
        return project;
    project.HasStyles = project.Version > 81;
    if (project.HasStyles)
        project.Styles = ReadStyles(stream);
    project.HasMappingList = project.Version > 82;
    if (project.HasMappingList)
        project.MappingList = ReadLongStrings(stream);
    return project;
}

void TakeProjectLabels(const TStringList& labels, TDatabuffer& buffer) {
    const int channels = buffer.ProvaCount() > 0 ? buffer.GetProva(0).ChannelCount() : 0;
    const int kept = std::clamp(channels, 0, labels.Count());
    buffer.LabelTable.Clear();
    for (int i = 0; i < kept; ++i)
        buffer.LabelTable.Add(labels[i]);
}

bool ReadTestFile(TDatabuffer& buffer, const std::string& fileName,
                  const std::function<void(int64_t position, int64_t maximum)>& progress) {
    TCellPos names;
    if (!GetProvaNamesRow(fileName, names) || names.Row > std::numeric_limits<int32_t>::max() - 3)
        return false;
    int vectors = 0;
    if (!CountProvaColumns(0, names.Row + 3, fileName, vectors))
        return false;
    TdataProva& test = buffer.AddProva(vectors);
    ReadProvaText(progress, names, TCellPos{0, names.Row + 1}, fileName, test,
                  TCellPos{0, names.Row + 3});
    test.FileName = fileName;
    return true;
}

void SaveFileAtomically(const std::string& fileName, const std::function<void(TStream&)>& write) {
    try {
        TAtomicFileStream file(fileName);
        TBufferedWriter stream(file);
        write(stream);
        stream.Flush();
        file.Commit();
    } catch (const std::exception& e) {
        EDocumentFile error(TDocumentFileError::CannotSave, fileName);
        error.Reason = FileSystemErrorText(FileSystemErrorOf(e));
        if (!error.Reason.empty())
            error.Message += " (" + error.Reason + ")";
        throw error;
    }
}

void ReadChecked(TStream& stream, const std::string& fileName, const std::function<void()>& read) {
    try {
        read();
    } catch (const EDocumentFile&) {
        throw;
    } catch (const std::exception& e) {
        throw EDocumentFile(fileName, stream.Position(), e.what());
    }
}

void ReadFileChecked(const std::string& fileName, const std::function<void(TStream&)>& read) {
    std::unique_ptr<TFileStream> file;
    try {
        file = std::make_unique<TFileStream>(fileName, fmOpenRead | fmShareDenyWrite);
    } catch (const std::exception& e) {
        throw EDocumentFile(fileName, -1, e.what());
    }
    TBufferedReader stream(*file);
    ReadChecked(stream, fileName, [&] { read(stream); });
}

void SaveDocumentFile(const std::string& fileName, const TDatabuffer& buffer,
                      const std::vector<TWPPage*>& pages) {
    SaveFileAtomically(
        fileName, [&](TStream& stream) { WriteDocument(stream, buffer, AttributiProve(), pages); });
}

void SaveProjectFile(const std::string& fileName, const std::vector<TWPPage*>& pages,
                     const TStringList& labels, const TStringList& mappingList) {
    SaveFileAtomically(fileName, [&](TStream& stream) {
        WriteProject(stream, pages, labels, AttributiProve(), mappingList);
    });
}

} // namespace vx
