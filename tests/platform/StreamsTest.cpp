#include "platform/runtime/Streams.h"
#include "platform/runtime/Exceptions.h"

#include "support/TestSupport.h"

#include "platform/runtime/Paths.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <limits>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace vx {
namespace {

using test::FromHex;
using test::HexBytes;

TEST(Streams, LittleEndianIntegersAndFloats) {
    TMemoryStream s;
    s.WriteU8(0xAB);
    s.WriteI16(-2);
    s.WriteU16(0x1234);
    s.WriteI32(-129);
    s.WriteU32(0xDEADBEEF);
    s.WriteI64(0x0102030405060708LL);
    s.WriteF32(1.0f);
    s.WriteF64(1.0);
    s.WriteBool(true);
    EXPECT_EQ(HexBytes(s.Bytes()), "AB FE FF 34 12 7F FF FF FF EF BE AD DE "
                                   "08 07 06 05 04 03 02 01 00 00 80 3F "
                                   "00 00 00 00 00 00 F0 3F 01");
    s.SetPosition(0);
    EXPECT_EQ(s.ReadU8(), 0xAB);
    EXPECT_EQ(s.ReadI16(), -2);
    EXPECT_EQ(s.ReadU16(), 0x1234);
    EXPECT_EQ(s.ReadI32(), -129);
    EXPECT_EQ(s.ReadU32(), 0xDEADBEEFu);
    EXPECT_EQ(s.ReadI64(), 0x0102030405060708LL);
    EXPECT_EQ(s.ReadF32(), 1.0f);
    EXPECT_EQ(s.ReadF64(), 1.0);
    EXPECT_TRUE(s.ReadBool());
    EXPECT_THROW(s.ReadU8(), EReadError);
}

TEST(Streams, ShortAndLongStrings) {
    TMemoryStream s;
    s.WriteShortString(std::string(300, 'x'));
    EXPECT_EQ(s.Size(), 256);
    EXPECT_EQ(static_cast<unsigned char>(s.Bytes()[0]), 0xFF);
    s.WriteLongString("abc");
    s.SetPosition(0);
    EXPECT_EQ(s.ReadShortString(), std::string(255, 'x'));
    EXPECT_EQ(s.ReadLongString(), "abc");
}

TEST(Streams, HostileCountsAreRefusedBeforeAllocating) {
    // Claims 2^31-1 entries with 12 bytes left.
    TMemoryStream s(FromHex("FF FF FF 7F") + std::string(12, 'a'));
    const int32_t count = s.ReadI32();
    EXPECT_THROW(s.CheckCount(count, 1), EReadError);
    EXPECT_EQ(s.CheckCount(-5, 4), 0u);
    EXPECT_EQ(s.CheckCount(3, 4), 3u);
    EXPECT_THROW(s.CheckCount(4, 4), EReadError);
    TMemoryStream t(FromHex("FF FF FF 7F 61"));
    EXPECT_THROW(t.ReadLongString(), EReadError);
    TMemoryStream u(FromHex("05 61 62"));
    EXPECT_THROW(u.ReadShortString(), EReadError);
    TMemoryStream neg(FromHex("FE FF FF FF"));
    EXPECT_EQ(neg.ReadLongString(), "");
}

TEST(Extended, GoldenBytes) {
    struct Case {
        double value;
        const char* hex;
    } cases[] = {
        {1.0, "00 00 00 00 00 00 00 80 FF 3F"},
        {12.5, "00 00 00 00 00 00 00 C8 02 40"},
        {0.0, "00 00 00 00 00 00 00 00 00 00"},
        {-0.0, "00 00 00 00 00 00 00 00 00 80"},
        {-2.0, "00 00 00 00 00 00 00 80 00 C0"},
        {std::numeric_limits<double>::infinity(), "00 00 00 00 00 00 00 80 FF 7F"},
    };
    for (const auto& c : cases) {
        uint8_t b[10];
        DoubleToExtended(c.value, b);
        EXPECT_EQ(HexBytes(std::string(reinterpret_cast<char*>(b), 10)), c.hex);
        const std::string bytes = FromHex(c.hex);
        const double back = ExtendedToDouble(reinterpret_cast<const uint8_t*>(bytes.data()));
        EXPECT_EQ(std::memcmp(&back, &c.value, 8), 0) << c.hex;
    }
}

TEST(Extended, EveryDoubleKindRoundTrips) {
    const double values[] = {std::ldexp(1.0, -1074),
                             std::ldexp(3.0, -1070),
                             std::numeric_limits<double>::denorm_min(),
                             std::numeric_limits<double>::min(),
                             std::numeric_limits<double>::max(),
                             1.0 / 3,
                             -123456.789,
                             1e-300,
                             -0.0};
    for (double v : values) {
        uint8_t b[10];
        DoubleToExtended(v, b);
        const double back = ExtendedToDouble(b);
        EXPECT_EQ(std::memcmp(&back, &v, 8), 0) << v;
    }
    uint8_t b[10];
    DoubleToExtended(std::nan(""), b);
    EXPECT_TRUE(std::isnan(ExtendedToDouble(b)));
}

TEST(Extended, NarrowingRoundsHalfToEvenAndSaturates) {
    // 1 + 2^-53 exactly halfway between 1 and the next double: stays 1.
    const std::string half = FromHex("00 04 00 00 00 00 00 80 FF 3F");
    EXPECT_EQ(ExtendedToDouble(reinterpret_cast<const uint8_t*>(half.data())), 1.0);
    // A little more than half rounds up.
    const std::string more = FromHex("01 04 00 00 00 00 00 80 FF 3F");
    EXPECT_EQ(ExtendedToDouble(reinterpret_cast<const uint8_t*>(more.data())),
              1.0 + std::ldexp(1.0, -52));
    // 2^20000 is beyond double.
    const std::string big = FromHex("00 00 00 00 00 00 00 80 1F 6E");
    EXPECT_TRUE(std::isinf(ExtendedToDouble(reinterpret_cast<const uint8_t*>(big.data()))));
    // 2^-20000 is below every denormal.
    const std::string tiny = FromHex("00 00 00 00 00 00 00 80 DF 11");
    EXPECT_EQ(ExtendedToDouble(reinterpret_cast<const uint8_t*>(tiny.data())), 0.0);
}

TEST(FileStream, CreateReadAndErrors) {
    test::TempDir dir;
    const std::string path = dir.File("f\xE8.bin"); // cp1252 name on disk as UTF-8
    {
        TFileStream f(path, fmCreate);
        f.WriteI32(7);
        f.WriteShortString("ok");
    }
    TFileStream f(path, fmOpenRead);
    EXPECT_EQ(f.Size(), 7);
    EXPECT_EQ(f.ReadI32(), 7);
    EXPECT_EQ(f.ReadShortString(), "ok");
    EXPECT_THROW(f.ReadU8(), EReadError);
    EXPECT_THROW(TFileStream(dir.File("missing"), fmOpenRead), EFOpenError);
    EXPECT_EQ(ReadWholeFile(path).size(), 7u);
}

TEST(FileStream, AtomicWriteLeavesNoPartialFile) {
    test::TempDir dir;
    const std::string path = dir.File("x.txt");
    WriteFileAtomically(path, "first");
    WriteFileAtomically(path, "second");
    EXPECT_EQ(ReadWholeFile(path), "second");
    EXPECT_THROW(WriteFileAtomically(dir.File("no/such/folder/x"), "a"), EFOpenError);
}

// The names in the folder, so that a test sees every temporary left behind.
std::vector<std::string> FolderNames(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(AtomicFileStream, CommitPutsTheWholeFileInPlace) {
    test::TempDir dir;
    const std::string path = dir.File("doc.vrx");
    test::WriteFile(path, "old contents");
    {
        TAtomicFileStream f(path);
        EXPECT_EQ(ExtractFilePath(f.TempName()), ExtractFilePath(path));
        f.WriteI32(0x01020304);
        f.WriteShortString("new");
        // Until the commit the target is untouched and the stream reads back what it holds.
        EXPECT_EQ(test::ReadFile(path), "old contents");
        f.SetPosition(0);
        EXPECT_EQ(f.ReadI32(), 0x01020304);
        f.Commit();
        EXPECT_THROW(f.WriteU8(1), EWriteError);
    }
    EXPECT_EQ(test::HexBytes(test::ReadFile(path)), "04 03 02 01 03 6E 65 77");
    EXPECT_EQ(FolderNames(dir.Path()), std::vector<std::string>{"doc.vrx"});
}

TEST(AtomicFileStream, WithoutCommitTheOldFileStaysAndNoTemporaryIsLeft) {
    test::TempDir dir;
    const std::string path = dir.File("doc.vrx");
    test::WriteFile(path, "old contents");
    try {
        TAtomicFileStream f(path);
        f.WriteBytes("half of a new fi");
        throw std::runtime_error("failed on the way");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(test::ReadFile(path), "old contents");
    EXPECT_EQ(FolderNames(dir.Path()), std::vector<std::string>{"doc.vrx"});
    { TAtomicFileStream unused(dir.File("never.vrx")); }
    EXPECT_EQ(FolderNames(dir.Path()), std::vector<std::string>{"doc.vrx"});
}

TEST(AtomicFileStream, UnwritableTargetsGiveAClearErrorAndNoFile) {
    test::TempDir dir;
    try {
        TAtomicFileStream f(dir.File("no/such/folder/x.emf"));
        ADD_FAILURE();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(
            e.Message.rfind("Cannot create file \"" + dir.File("no/such/folder/x.emf") + "\"", 0),
            0u)
            << e.Message;
    }
    // A folder in the target's place cannot be replaced: the commit fails, nothing is left.
    std::filesystem::create_directory(dir.File("taken"));
    TAtomicFileStream f(dir.File("taken"));
    f.WriteBytes("abc");
    EXPECT_THROW(f.Commit(), EFOpenError);
    EXPECT_EQ(FolderNames(dir.Path()), std::vector<std::string>{"taken"});
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("taken")));
}

namespace fs = std::filesystem;

// The permission bits as the system reports them.
unsigned ModeOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return ~0u;
    return st.st_mode & 07777;
}

class ScopedUmask {
public:
    explicit ScopedUmask(mode_t mask) : saved_(::umask(mask)) {}
    ~ScopedUmask() { ::umask(saved_); }

private:
    mode_t saved_;
};

// Temporaries look like ".vx" and six letters or digits.
bool IsTemporaryName(const std::string& name) {
    return name.size() == 9 && name.compare(0, 3, ".vx") == 0 &&
           std::all_of(name.begin() + 3, name.end(), [](char c) { return std::isalnum(c); });
}

TEST(AtomicSave, NewFilesFollowTheUmaskAndReplacedFilesKeepTheirMode) {
    struct Case {
        mode_t umask;
        unsigned oldMode; // 0: no file before the save
        unsigned expected;
    };
    const Case cases[] = {
        {077, 0, 0600},    {022, 0, 0644},    {002, 0, 0664},    {077, 0640, 0640},
        {022, 0600, 0600}, {022, 0755, 0755}, {000, 0400, 0400},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        const std::string path = dir.File("doc.vrx");
        if (c.oldMode != 0) {
            test::WriteFile(path, "old");
            ::chmod(path.c_str(), c.oldMode);
        }
        {
            ScopedUmask mask(c.umask);
            WriteFileAtomically(path, "new bytes");
        }
        const std::string where =
            "umask " + std::to_string(c.umask) + ", old mode " + std::to_string(c.oldMode);
        EXPECT_EQ(ModeOf(path), c.expected) << where;
        EXPECT_EQ(test::ReadFile(path), "new bytes") << where;
        EXPECT_EQ(FolderNames(dir.Path()), std::vector<std::string>{"doc.vrx"}) << where;
    }
}

TEST(AtomicSave, ThroughAChainOfLinksTheFileFinallyNamedIsReplaced) {
    test::TempDir dir;
    fs::create_directory(dir.File("d"));
    const std::string file = dir.File("d/t.txt");
    test::WriteFile(file, "old");
    ::chmod(file.c_str(), 0640);
    fs::create_symlink("d/t.txt", dir.File("l"));
    fs::create_symlink(dir.File("l"), dir.File("l2")); // absolute, to a link
    WriteFileAtomically(dir.File("l2"), "new through l2");
    WriteFileAtomically(dir.File("l"), "new through l");
    EXPECT_TRUE(fs::is_symlink(dir.File("l")));
    EXPECT_TRUE(fs::is_symlink(dir.File("l2")));
    EXPECT_EQ(fs::read_symlink(dir.File("l")), "d/t.txt");
    EXPECT_EQ(fs::read_symlink(dir.File("l2")), dir.File("l"));
    EXPECT_EQ(test::ReadFile(file), "new through l");
    EXPECT_EQ(ModeOf(file), 0640u);
    EXPECT_EQ(FolderNames(dir.File("d")), std::vector<std::string>{"t.txt"});
    EXPECT_EQ(FolderNames(dir.Path()), (std::vector<std::string>{"d", "l", "l2"}));

    // A link to a file not there yet makes that file; a loop of links makes nothing.
    fs::create_symlink("d/new.txt", dir.File("dangling"));
    WriteFileAtomically(dir.File("dangling"), "made");
    EXPECT_EQ(test::ReadFile(file.substr(0, file.size() - 5) + "new.txt"), "made");
    EXPECT_TRUE(fs::is_symlink(dir.File("dangling")));
    fs::create_symlink("loop", dir.File("loop"));
    try {
        WriteFileAtomically(dir.File("loop"), "x");
        ADD_FAILURE() << "a loop of links was written";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.ErrorCode, ELOOP);
    }
    EXPECT_EQ(FolderNames(dir.Path()),
              (std::vector<std::string>{"d", "dangling", "l", "l2", "loop"}));
}

TEST(AtomicSave, AFailedSaveLeavesFileAndLinkAsTheyWere) {
    test::TempDir dir;
    fs::create_directory(dir.File("d"));
    const std::string file = dir.File("d/t.txt");
    test::WriteFile(file, "old bytes");
    ::chmod(file.c_str(), 0640);
    fs::create_symlink("d/t.txt", dir.File("l"));
    {
        test::ReadOnlyFolder readOnly(dir.File("d"));
        if (!readOnly.Active())
            GTEST_SKIP() << readOnly.Error();
        try {
            WriteFileAtomically(dir.File("l"), "new bytes");
            ADD_FAILURE() << "saved into a read-only folder";
        } catch (const EFOpenError& e) {
            EXPECT_EQ(e.ErrorCode, readOnly.WriteError()) << e.Message;
        }
    }
    EXPECT_EQ(test::ReadFile(file), "old bytes");
    EXPECT_EQ(ModeOf(file), 0640u);
    EXPECT_EQ(fs::read_symlink(dir.File("l")), "d/t.txt");
    EXPECT_EQ(FolderNames(dir.File("d")), std::vector<std::string>{"t.txt"});
}

TEST(AtomicSave, AWriteThatFailsSaysWhyAndLeavesNothing) {
    test::TempDir dir;
    const std::string path = dir.File("big.vrx");
    test::WriteFile(path, "old bytes");
    // The file-size limit fails the write as a full disk would, for this child only.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        try {
            WriteFileAtomically(path, std::string(100000, 'x'));
        } catch (const EWriteError& e) {
            ::_exit(e.ErrorCode == EFBIG ? 0 : 2);
        } catch (...) {
            ::_exit(3);
        }
        ::_exit(1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: saved, 2: another reason, 3: another error";
    EXPECT_EQ(test::ReadFile(path), "old bytes");
    EXPECT_EQ(FolderNames(dir.Path()), std::vector<std::string>{"big.vrx"});
}

TEST(AtomicSave, TheTemporaryIsShortSoTheLongestNameSaves) {
    test::TempDir dir;
    const std::string name(NAME_MAX, 'n');
    {
        TAtomicFileStream f(dir.File(name));
        const std::string temp = ExtractFileName(f.TempName());
        EXPECT_TRUE(IsTemporaryName(temp)) << temp;
        EXPECT_EQ(ExtractFilePath(f.TempName()), dir.Path());
        f.WriteBytes("long");
        f.Commit();
    }
    EXPECT_EQ(test::ReadFile(dir.File(name)), "long");
    EXPECT_EQ(FolderNames(dir.Path()), std::vector<std::string>{name});
}

TEST(AtomicSave, TheNextSaveRemovesTheTemporaryOfAKilledSave) {
    test::TempDir dir;
    const std::string path = dir.File("doc.vrx");
    const std::string other = dir.File("other.vrx");
    test::WriteFile(path, "old");
    // Two saves killed midway, one of this file and one of another.
    for (const std::string& target : {path, other}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            TAtomicFileStream f(target);
            f.WriteBytes("half of it");
            ::raise(SIGKILL);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));
    }
    std::vector<std::string> left = FolderNames(dir.Path());
    ASSERT_EQ(left.size(), 3u);
    EXPECT_TRUE(IsTemporaryName(left[0]) && IsTemporaryName(left[1])) << left[0] << left[1];

    // A save of this file still running keeps its temporary.
    TAtomicFileStream running(path);
    const std::string runningTemp = ExtractFileName(running.TempName());
    WriteFileAtomically(path, "new");
    EXPECT_EQ(test::ReadFile(path), "new");
    left = FolderNames(dir.Path());
    ASSERT_EQ(left.size(), 3u) << "the killed save's temporary stayed";
    EXPECT_TRUE(std::find(left.begin(), left.end(), runningTemp) != left.end());
    // The other file's leftover goes with that file's next save.
    WriteFileAtomically(other, "other");
    running.WriteBytes("newest");
    running.Commit();
    EXPECT_EQ(FolderNames(dir.Path()), (std::vector<std::string>{"doc.vrx", "other.vrx"}));
    EXPECT_EQ(test::ReadFile(path), "newest");
}

} // namespace
} // namespace vx
