#pragma once

#include "platform/ui/ListBox.h"

#include <string>

namespace vx {

// The files of one folder whose names match Mask ('*', '?', without regard to case; "*.*"
// also takes names without extension), in the folder's listing order; folders and names
// starting with "." are left out. Paths are cp1252. Events are those of TListBox; changing
// Directory, Mask or FileName by code fires nothing.
class TFileListBox : public TListBox {
    Q_OBJECT
    Q_PROPERTY(QString Directory READ DirectoryText WRITE SetDirectoryText)
    Q_PROPERTY(QString Mask READ MaskText WRITE SetMaskText)
    Q_PROPERTY(QString FileName READ FileNameText WRITE SetFileNameText)

public:
    explicit TFileListBox(QWidget* parent = nullptr, const QString& name = {});

    const std::string& Directory() const { return directory_; }
    // Lists the folder anew; a folder that cannot be read gives an empty list.
    void SetDirectory(const std::string& directory);
    const std::string& Mask() const { return mask_; }
    void SetMask(const std::string& mask);
    // The chosen file with its folder; "" when none is chosen.
    std::string FileName() const;
    // Chooses the listed file of that name (its folder part is ignored); none when it is not
    // listed.
    void SetFileName(const std::string& fileName);
    // Reads the folder again.
    void Update();

private:
    QString DirectoryText() const;
    void SetDirectoryText(const QString& text);
    QString MaskText() const;
    void SetMaskText(const QString& text);
    QString FileNameText() const;
    void SetFileNameText(const QString& text);

    std::string directory_;
    std::string mask_ = "*.*";
};

// folder + '/' + name, without doubling the separator of the root.
std::string JoinPath(const std::string& folder, const std::string& name);

} // namespace vx
