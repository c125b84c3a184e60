#pragma once

#include "platform/ui/FileListBox.h"

#include <QPointer>

#include <string>
#include <vector>

namespace vx {

class TDriveComboBox;

// A folder with its ancestors from the root down, then its sub-folders (names starting with
// "." left out), in the folder's listing order; the current folder is the chosen item. A
// double click or Return on an entry enters it. Paths are cp1252, without a trailing
// separator except for the root. Events: those of TListBox, and OnChange whenever Directory
// changes, by the user or by code. A linked file list follows every change, and a linked
// drive list shows the volume that holds the folder.
class TDirectoryListBox : public TListBox {
    Q_OBJECT
    Q_PROPERTY(QString Directory READ DirectoryText WRITE SetDirectoryText)

public:
    explicit TDirectoryListBox(QWidget* parent = nullptr, const QString& name = {});

    const std::string& Directory() const { return directory_; }
    // False, and nothing changes, when the folder does not exist.
    bool SetDirectory(const std::string& directory);
    // The folder an entry stands for; "" outside the list.
    std::string EntryPath(int index) const;
    // Reads the folder again.
    void Update();

    TFileListBox* FileList() const { return fileList_; }
    void SetFileList(TFileListBox* fileList);

    TNotifyEvent OnChange;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    friend class TDriveComboBox;
    void Enter(int index);
    QString DirectoryText() const;
    void SetDirectoryText(const QString& text);

    std::string directory_;
    std::vector<std::string> paths_; // one per entry
    int ancestors_ = 0;              // entries shown as open folders
    QPointer<TFileListBox> fileList_;
    QPointer<TDriveComboBox> driveCombo_;
};

} // namespace vx
