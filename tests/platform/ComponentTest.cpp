#include "platform/runtime/Component.h"
#include "platform/runtime/Exceptions.h"
#include "platform/system/Files.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sys/stat.h>
#include <unistd.h>

namespace vx {
namespace {

class Probe : public TComponent {
public:
    Probe(TComponent* owner, std::vector<std::string>* log, std::string tag)
        : TComponent(owner), log_(log), tag_(std::move(tag)) {}
    ~Probe() override { log_->push_back("~" + tag_); }
    TComponent* watched = nullptr;

protected:
    void Notification(TComponent* c, TOperation op) override {
        TComponent::Notification(c, op);
        if (op == TOperation::opRemove && c == watched)
            watched = nullptr;
    }

private:
    std::vector<std::string>* log_;
    std::string tag_;
};

TEST(Component, OwnerDestroysInReverseOrderAndFindsByName) {
    std::vector<std::string> log;
    {
        TComponent owner;
        auto* a = new Probe(&owner, &log, "a");
        auto* b = new Probe(&owner, &log, "b");
        a->SetName("Asse1");
        b->SetName("Legenda");
        EXPECT_EQ(owner.FindComponent("ASSE1"), a);
        EXPECT_EQ(owner.FindComponent("none"), nullptr);
        EXPECT_THROW(b->SetName("asse1"), EComponentError);
        EXPECT_EQ(owner.ComponentCount(), 2);
        EXPECT_THROW(owner.Components(2), EListError);
    }
    EXPECT_EQ(log, (std::vector<std::string>{"~b", "~a"}));
}

TEST(Component, FreeNotificationClearsReferences) {
    std::vector<std::string> log;
    Probe watcher(nullptr, &log, "w");
    auto* target = new Probe(nullptr, &log, "t");
    watcher.watched = target;
    target->FreeNotification(&watcher);
    delete target;
    EXPECT_EQ(watcher.watched, nullptr);
}

TEST(Files, FindsExistingPathsIgnoringCase) {
    test::TempDir dir;
    ASSERT_TRUE(ForceDirectories(dir.Path() + "Configurazioni/Sub"));
    test::WriteFile(dir.Path() + "Configurazioni/Sub/DefCfg.SET", "x");
    EXPECT_EQ(FindExistingPath(dir.Path() + "configurazioni\\SUB\\defcfg.set"),
              dir.Path() + "Configurazioni/Sub/DefCfg.SET");
    EXPECT_EQ(FindExistingPath(dir.Path() + "nothing/here"), "");
    test::WriteFile(dir.Path() + "a.txt", "1");
    test::WriteFile(dir.Path() + "A.TXT", "2");
    EXPECT_EQ(FindExistingPath(dir.Path() + "a.Txt"), ""); // ambiguous
    EXPECT_TRUE(FileExists(dir.Path() + "a.txt"));
    EXPECT_FALSE(FileExists(dir.Path() + "Configurazioni"));
    EXPECT_TRUE(DirectoryExists(dir.Path() + "Configurazioni"));
    EXPECT_EQ(FileSize(dir.Path() + "a.txt"), 1);
}

// A hostile path must not list folders without end: over 64 components or 4096 bytes it is
// missing, and a folder is listed once however often one lookup's paths name it.
TEST(Files, LookUpsAreBoundedAndListEachFolderOnce) {
    test::TempDir dir;
    ASSERT_TRUE(ForceDirectories(dir.Path() + "Sub"));
    test::WriteFile(dir.Path() + "Sub/File.txt", "x");

    // deep + two components is one too many, deep + one is the most there may be.
    std::string deep = dir.Path();
    size_t components = std::count(deep.begin(), deep.end() - 1, '/');
    while (components + 2 < kMaxLookupPathComponents + 1) {
        const bool pair = kMaxLookupPathComponents + 1 - components - 2 >= 2;
        deep += pair ? "Sub/../" : "./";
        components += pair ? 2 : 1;
    }
    EXPECT_EQ(FindExistingPath(deep + "sub/file.txt"), "") << "one component too many";
    EXPECT_EQ(FindExistingPath(deep + "Sub/File.txt"), "") << "even written exactly";
    EXPECT_NE(FindExistingPath(deep + "sub"), "");

    std::string longName = dir.Path() + "Sub/";
    longName += std::string(kMaxLookupPathBytes - longName.size() - 8, '/') + "File.txt";
    EXPECT_EQ(FindExistingPath(longName), dir.Path() + "Sub/File.txt");
    EXPECT_EQ(FindExistingPath("/" + longName), "");

    TPathLookup lookup;
    EXPECT_EQ(lookup.Find(dir.Path() + "SUB/../sub/../SuB/file.TXT"),
              dir.Path() + "Sub/../Sub/../Sub/File.txt");
    const int listings = lookup.Listings();
    EXPECT_EQ(listings, 2); // the base folder and Sub
    EXPECT_EQ(lookup.Find(dir.Path() + "sub/FILE.txt"), dir.Path() + "Sub/File.txt");
    EXPECT_EQ(lookup.Find(dir.Path() + "sub/nothing"), "");
    EXPECT_EQ(lookup.Listings(), listings);
}

TEST(Files, ReadableFilesAreRegularAndOpen) {
    test::TempDir dir;
    test::WriteFile(dir.Path() + "Test.txt", "x");
    ASSERT_EQ(::mkfifo((dir.Path() + "fifo").c_str(), 0600), 0);
    ASSERT_EQ(::symlink((dir.Path() + "Test.txt").c_str(), (dir.Path() + "link").c_str()), 0);
    TPathLookup lookup;
    EXPECT_EQ(lookup.FindReadableFile(dir.Path() + "test.TXT"), dir.Path() + "Test.txt");
    EXPECT_EQ(lookup.FindReadableFile(dir.Path() + "LINK"), dir.Path() + "link");
    for (const std::string& refused : {dir.Path(), dir.Path() + "fifo", std::string("/dev/zero"),
                                       std::string("/"), dir.Path() + "none"})
        EXPECT_EQ(lookup.FindReadableFile(refused), "") << refused;
}

} // namespace
} // namespace vx
