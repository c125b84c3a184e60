#include "app/JvSelectDirectory.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(JvSelectDirectoryTest, ExecuteStartsAtTheInitialFolderAndKeepsTheChoice) {
    test::ScopedUi scoped;
    TJvSelectDirectory select;
    EXPECT_TRUE(select.ClassicDialog);
    EXPECT_EQ(select.Options, unsigned(sdAllowCreate | sdPerformCreate | sdPrompt));
    for (bool classic : {true, false}) {
        select.ClassicDialog = classic;
        select.Title = "Cartella";
        select.InitialDir = "/start";
        select.Directory = "/before";
        scoped.ui.FileRequests.clear();
        scoped.ui.FolderAnswers = {"/chosen"};
        EXPECT_TRUE(select.Execute());
        EXPECT_EQ(select.Directory, "/chosen");
        ASSERT_EQ(scoped.ui.FileRequests.size(), 1u);
        EXPECT_EQ(scoped.ui.FileRequests[0].Kind, TFileRequestKind::Folder);
        EXPECT_EQ(scoped.ui.FileRequests[0].Request.Title, "Cartella");
        EXPECT_EQ(scoped.ui.FileRequests[0].Request.InitialDir, "/start");
        EXPECT_FALSE(select.Execute());
        EXPECT_EQ(select.Directory, "/start");
    }
}

} // namespace
} // namespace vx
