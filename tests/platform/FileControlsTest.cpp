#include "platform/system/Files.h"
#include "platform/ui/DirectoryListBox.h"
#include "platform/ui/DriveComboBox.h"
#include "platform/ui/FileListBox.h"

#include "support/TestSupport.h"

#include <QTest>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vx {
namespace {

using test::WriteFile;

// base/F with files of every kind the lists tell apart, and two sub-folders.
struct Tree {
    Tree() {
        folder = dir.Path() + "F";
        for (const char* sub : {"F/zeta", "F/Alpha", "F/.hidden"})
            ForceDirectories(dir.Path() + sub);
        for (const char* file : {"b.txt", "a.TXT", "noext", ".h", "c.dat"})
            WriteFile(folder + "/" + file, "x");
    }
    test::TempDir dir;
    std::string folder;
};

TEST(FileControlsTest, FileListShowsMatchingFilesOnly) {
    Tree tree;
    TFileListBox files(nullptr, "FileListBox1");
    EXPECT_TRUE(files.Items().isEmpty());
    files.SetDirectory(tree.folder);
    EXPECT_EQ(files.Items(), (QStringList{"a.TXT", "b.txt", "c.dat", "noext"}));
    files.setProperty("Mask", "*.txt");
    EXPECT_EQ(files.Items(), (QStringList{"a.TXT", "b.txt"}));
    EXPECT_EQ(files.FileName(), "");
    files.SetFileName("/elsewhere/b.txt");
    EXPECT_EQ(files.FileName(), tree.folder + "/b.txt");
    EXPECT_EQ(files.property("FileName").toString().toStdString(), tree.folder + "/b.txt");
    files.SetFileName("c.dat");
    EXPECT_EQ(files.FileName(), "");
    files.SetDirectory(tree.folder + "/none");
    EXPECT_TRUE(files.Items().isEmpty());
}

TEST(FileControlsTest, FolderListShowsAncestorsThenSubFoldersAndEntersOnDoubleClick) {
    Tree tree;
    TDirectoryListBox folders(nullptr, "DirectoryListBox1");
    TFileListBox files(nullptr, "FileListBox1");
    folders.SetFileList(&files);
    std::vector<std::string> changes;
    folders.OnChange = [&](QObject*) { changes.push_back(folders.Directory()); };
    ASSERT_TRUE(folders.SetDirectory(tree.folder + "/"));
    EXPECT_EQ(folders.Directory(), tree.folder);

    const QStringList items = folders.Items();
    const int depth = static_cast<int>(items.size()) - 2; // ancestors, then the two sub-folders
    ASSERT_GE(depth, 2);
    EXPECT_EQ(items.front(), "/");
    EXPECT_EQ(items[depth - 1], "F");
    EXPECT_EQ(items.mid(depth), (QStringList{"Alpha", "zeta"}));
    EXPECT_EQ(folders.ItemIndex(), depth - 1);
    EXPECT_EQ(folders.EntryPath(0), "/");
    EXPECT_EQ(folders.EntryPath(depth - 1), tree.folder);
    EXPECT_EQ(files.Directory(), tree.folder);

    folders.show();
    const QPoint zeta = folders.ItemRect(depth + 1).center();
    // The first click of a double click is a click of its own.
    QTest::mouseClick(folders.viewport(), Qt::LeftButton, {}, zeta);
    EXPECT_EQ(folders.Directory(), tree.folder);
    QTest::mouseDClick(folders.viewport(), Qt::LeftButton, {}, zeta);
    EXPECT_EQ(folders.Directory(), tree.folder + "/zeta");
    EXPECT_EQ(files.Directory(), tree.folder + "/zeta");
    EXPECT_TRUE(files.Items().isEmpty());
    // Up again by an ancestor, with the keyboard.
    folders.SetItemIndex(depth - 1);
    QTest::keyClick(&folders, Qt::Key_Return);
    EXPECT_EQ(folders.Directory(), tree.folder);
    EXPECT_EQ(changes, (std::vector<std::string>{tree.folder, tree.folder + "/zeta", tree.folder}));

    EXPECT_FALSE(folders.SetDirectory(tree.folder + "/missing"));
    EXPECT_FALSE(folders.SetDirectory(tree.folder + "/b.txt"));
    EXPECT_TRUE(folders.SetDirectory(tree.folder));
    EXPECT_EQ(changes.size(), 3u);
}

TEST(FileControlsTest, DriveListHoldsTheMountedRootsAndMovesTheFolderList) {
    Tree tree;
    TDriveComboBox drives(nullptr, "DriveComboBox1");
    const std::vector<std::string> roots = drives.Drives();
    ASSERT_FALSE(roots.empty());
    EXPECT_EQ(roots.front(), "/");
    EXPECT_TRUE(std::is_sorted(roots.begin(), roots.end()));
    EXPECT_EQ(std::adjacent_find(roots.begin(), roots.end()), roots.end());

    TDirectoryListBox folders(nullptr, "DirectoryListBox1");
    folders.SetDirectory(tree.folder);
    drives.SetDirList(&folders);
    const std::string volume = drives.DriveOf(tree.folder);
    EXPECT_EQ(drives.Drive(), volume);
    EXPECT_EQ(tree.folder.compare(0, volume.size(), volume), 0);
    EXPECT_EQ(drives.DriveOf("/"), "/");

    drives.SetDrive(volume); // its own volume: the folder stays
    EXPECT_EQ(folders.Directory(), tree.folder);
    drives.SetDrive("/no/such/volume");
    EXPECT_EQ(drives.Drive(), volume);
    if (volume != "/") {
        drives.setProperty("Drive", "/");
        EXPECT_EQ(folders.Directory(), "/");
    }
    folders.SetDirectory(tree.folder);
    EXPECT_EQ(drives.Drive(), volume);
}

TEST(FileControlsTest, MasksMatchWithoutRegardToCase) {
    struct Case {
        const char* name;
        const char* mask;
        bool matches;
    };
    const Case cases[] = {
        {"a.TXT", "*.txt", true},  {"noext", "*.*", true},    {"noext", "n*.*", true},
        {"a.b", "a.*", true},      {"ab", "a?", true},        {"abc", "a?", false},
        {"x.txt", "*.WHF", false}, {"m2.whf", "*.WHF", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchesMask(c.name, c.mask), c.matches) << c.name << " " << c.mask;
}

} // namespace
} // namespace vx
