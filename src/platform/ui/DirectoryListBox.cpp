#include "platform/ui/DirectoryListBox.h"

#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Paths.h"
#include "platform/system/Files.h"
#include "platform/ui/DriveComboBox.h"
#include "platform/ui/FileListBox.h"
#include "platform/ui/Guard.h"
#include "platform/ui/TextListModel.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QStyle>

namespace vx {

namespace {

// The absolute, cleaned form of a folder path.
std::string Absolute(const std::string& directory) {
    const QString local = QString::fromUtf8(ToLocalPath(directory));
    return FromQString(QDir::cleanPath(QFileInfo(local).absoluteFilePath()));
}

} // namespace

TDirectoryListBox::TDirectoryListBox(QWidget* parent, const QString& name)
    : TListBox(parent, name) {
    connect(this, &QListView::doubleClicked, this,
            [this](const QModelIndex& index) { Enter(index.row()); });
    Model().Decoration = [this](int row) -> QVariant {
        return style()->standardIcon(row < ancestors_ ? QStyle::SP_DirOpenIcon
                                                      : QStyle::SP_DirIcon);
    };
}

bool TDirectoryListBox::SetDirectory(const std::string& directory) {
    if (directory.empty() || !DirectoryExists(directory))
        return false;
    const std::string absolute = Absolute(directory);
    if (absolute == directory_)
        return true;
    directory_ = absolute;
    Update();
    if (fileList_)
        fileList_->SetDirectory(directory_);
    if (driveCombo_)
        driveCombo_->ShowDriveOf(directory_);
    Guard([this] {
        if (OnChange)
            OnChange(this);
    });
    return true;
}

void TDirectoryListBox::Update() {
    QStringList names;
    paths_.clear();
    ancestors_ = 0;
    if (!directory_.empty()) {
        const auto add = [&](const std::string& name, const std::string& path) {
            names << ToQString(name);
            paths_.push_back(path);
        };
        add("/", "/");
        std::string path;
        size_t start = 1;
        while (start < directory_.size()) {
            size_t end = directory_.find('/', start);
            if (end == std::string::npos)
                end = directory_.size();
            const std::string name = directory_.substr(start, end - start);
            path += '/' + name;
            add(name, path);
            start = end + 1;
        }
        ancestors_ = static_cast<int>(paths_.size());
        for (const std::string& name : ListFolder(directory_, true))
            if (name.front() != '.')
                add(name, JoinPath(directory_, name));
    }
    SetItemIndex(-1);
    SetItems(names);
    SetItemIndex(ancestors_ - 1);
}

std::string TDirectoryListBox::EntryPath(int index) const {
    return index >= 0 && index < static_cast<int>(paths_.size())
               ? paths_[static_cast<size_t>(index)]
               : std::string();
}

void TDirectoryListBox::Enter(int index) {
    const std::string path = EntryPath(index);
    if (!path.empty())
        SetDirectory(path);
}

void TDirectoryListBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        Enter(currentIndex().row());
        return;
    }
    TListBox::keyPressEvent(event);
}

void TDirectoryListBox::SetFileList(TFileListBox* fileList) {
    fileList_ = fileList;
    if (fileList_)
        fileList_->SetDirectory(directory_);
}

QString TDirectoryListBox::DirectoryText() const {
    return ToQString(directory_);
}

void TDirectoryListBox::SetDirectoryText(const QString& text) {
    SetDirectory(FromQString(text));
}

} // namespace vx
