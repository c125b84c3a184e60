#include "platform/ui/DirectoryListBox.h"

#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Paths.h"
#include "platform/system/Files.h"
#include "platform/ui/DriveComboBox.h"
#include "platform/ui/FileListBox.h"
#include "platform/ui/Guard.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QStyle>

namespace vx {

namespace {

constexpr int kPathRole = Qt::UserRole + 1;

// The absolute, cleaned form of a folder path.
std::string Absolute(const std::string& directory) {
    const QString local = QString::fromUtf8(ToLocalPath(directory));
    return FromQString(QDir::cleanPath(QFileInfo(local).absoluteFilePath()));
}

} // namespace

TDirectoryListBox::TDirectoryListBox(QWidget* parent, const QString& name)
    : TListBox(parent, name) {
    connect(this, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { Enter(row(item)); });
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
    clear();
    if (directory_.empty())
        return;
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirIcon);
    auto add = [this](const QIcon& icon, const std::string& text, const std::string& path) {
        auto* item = new QListWidgetItem(icon, ToQString(text), this);
        item->setData(kPathRole, QByteArray::fromStdString(path));
    };
    add(open, "/", "/");
    std::string path;
    size_t start = 1;
    while (start < directory_.size()) {
        size_t end = directory_.find('/', start);
        if (end == std::string::npos)
            end = directory_.size();
        const std::string name = directory_.substr(start, end - start);
        path += '/' + name;
        add(open, name, path);
        start = end + 1;
    }
    SetItemIndex(count() - 1);
    for (const std::string& name : ListFolder(directory_, true))
        if (name.front() != '.')
            add(closed, name, JoinPath(directory_, name));
}

std::string TDirectoryListBox::EntryPath(int index) const {
    const QListWidgetItem* entry = item(index);
    return entry ? entry->data(kPathRole).toByteArray().toStdString() : std::string();
}

void TDirectoryListBox::Enter(int index) {
    const std::string path = EntryPath(index);
    if (!path.empty())
        SetDirectory(path);
}

void TDirectoryListBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        Enter(currentRow());
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
