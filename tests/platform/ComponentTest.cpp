#include "platform/runtime/Component.h"
#include "platform/runtime/Exceptions.h"
#include "platform/system/Files.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace vx
