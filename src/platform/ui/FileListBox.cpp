#include "platform/ui/FileListBox.h"

#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Paths.h"
#include "platform/system/Files.h"

namespace vx {

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (!folder.empty() && IsPathDelimiter(folder.back()))
        return folder + name;
    return folder + '/' + name;
}

TFileListBox::TFileListBox(QWidget* parent, const QString& name) : TListBox(parent, name) {}

void TFileListBox::SetDirectory(const std::string& directory) {
    directory_ = directory;
    Update();
}

void TFileListBox::SetMask(const std::string& mask) {
    mask_ = mask;
    Update();
}

void TFileListBox::Update() {
    QStringList names;
    if (!directory_.empty())
        for (const std::string& name : ListFolder(directory_, false))
            if (name.front() != '.' && MatchesMask(name, mask_))
                names << ToQString(name);
    SetItemIndex(-1);
    SetItems(names);
}

std::string TFileListBox::FileName() const {
    const int index = ItemIndex();
    return index < 0 ? std::string() : JoinPath(directory_, FromQString(Item(index)));
}

void TFileListBox::SetFileName(const std::string& fileName) {
    const QString name = ToQString(ExtractFileName(fileName));
    SetItemIndex(Items().indexOf(name));
}

QString TFileListBox::DirectoryText() const {
    return ToQString(directory_);
}
void TFileListBox::SetDirectoryText(const QString& text) {
    SetDirectory(FromQString(text));
}
QString TFileListBox::MaskText() const {
    return ToQString(mask_);
}
void TFileListBox::SetMaskText(const QString& text) {
    SetMask(FromQString(text));
}
QString TFileListBox::FileNameText() const {
    return ToQString(FileName());
}
void TFileListBox::SetFileNameText(const QString& text) {
    SetFileName(FromQString(text));
}

} // namespace vx
