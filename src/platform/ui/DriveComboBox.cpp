#include "platform/ui/DriveComboBox.h"

#include "platform/runtime/Cp1252.h"
#include "platform/ui/DirectoryListBox.h"
#include "platform/ui/Guard.h"

#include <QFileInfo>
#include <QSignalBlocker>
#include <QStorageInfo>

#include <algorithm>

namespace vx {

TDriveComboBox::TDriveComboBox(QWidget* parent, const QString& name)
    : QComboBox(parent), font_(new TControlFont(this)) {
    setObjectName(name);
    Update();
    connect(this, &QComboBox::activated, this, [this](int index) {
        SetDrive(FromQString(itemText(index)));
        Guard([this] {
            if (OnChange)
                OnChange(this);
        });
    });
}

void TDriveComboBox::Update() {
    std::vector<std::string> roots{"/"};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const std::string utf8 = volume.rootPath().toStdString();
        // A file bound over another (a container's /etc/hosts) is mounted too, but holds no
        // folders.
        if (volume.isValid() && volume.isReady() && QFileInfo(volume.rootPath()).isDir() &&
            IsCp1252Representable(utf8))
            roots.push_back(Utf8ToCp1252(utf8));
    }
    std::sort(roots.begin(), roots.end());
    roots.erase(std::unique(roots.begin(), roots.end()), roots.end());
    const QSignalBlocker block(this);
    const QString current = currentText();
    clear();
    for (const std::string& root : roots)
        addItem(ToQString(root));
    setCurrentIndex(std::max(0, findText(current)));
}

std::vector<std::string> TDriveComboBox::Drives() const {
    std::vector<std::string> drives;
    for (int i = 0; i < count(); ++i)
        drives.push_back(FromQString(itemText(i)));
    return drives;
}

std::string TDriveComboBox::Drive() const {
    return FromQString(currentText());
}

std::string TDriveComboBox::DriveOf(const std::string& path) const {
    std::string best = "/";
    for (const std::string& root : Drives()) {
        const bool holds = path == root || (path.compare(0, root.size(), root) == 0 &&
                                            (root.back() == '/' || path[root.size()] == '/'));
        if (holds && root.size() > best.size())
            best = root;
    }
    return best;
}

void TDriveComboBox::SetDrive(const std::string& root) {
    const int index = findText(ToQString(root), Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (index < 0)
        return;
    {
        const QSignalBlocker block(this);
        setCurrentIndex(index);
    }
    if (dirList_ && DriveOf(dirList_->Directory()) != root)
        dirList_->SetDirectory(root);
}

void TDriveComboBox::ShowDriveOf(const std::string& path) {
    const QSignalBlocker block(this);
    setCurrentIndex(
        findText(ToQString(DriveOf(path)), Qt::MatchFixedString | Qt::MatchCaseSensitive));
}

void TDriveComboBox::SetDirList(TDirectoryListBox* dirList) {
    if (dirList_)
        dirList_->driveCombo_ = nullptr;
    dirList_ = dirList;
    if (!dirList_)
        return;
    dirList_->driveCombo_ = this;
    if (!dirList_->Directory().empty())
        ShowDriveOf(dirList_->Directory());
}

QString TDriveComboBox::DriveText() const {
    return currentText();
}

void TDriveComboBox::SetDriveText(const QString& text) {
    SetDrive(FromQString(text));
}

} // namespace vx
