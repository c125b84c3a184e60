#pragma once

#include "platform/ui/Controls.h"

#include <QComboBox>
#include <QPointer>

#include <string>
#include <vector>

namespace vx {

class TDirectoryListBox;

// The volumes of the machine by the folders they are mounted on (the system has no drive
// letters), sorted, the root first. Choosing one sends the linked folder list to its root.
// Events: OnChange when the user chooses a volume; nothing fires on changes by code (Drive)
// or when the folder list's moves show their volume here.
class TDriveComboBox : public QComboBox {
    Q_OBJECT
    Q_PROPERTY(QString Drive READ DriveText WRITE SetDriveText)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(vx::TControlFont* Font READ Font)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(int Tag MEMBER Tag)

public:
    explicit TDriveComboBox(QWidget* parent = nullptr, const QString& name = {});

    // The mount folders listed, cp1252.
    std::vector<std::string> Drives() const;
    // The chosen volume's mount folder.
    std::string Drive() const;
    // A folder that is not listed does nothing.
    void SetDrive(const std::string& root);
    // The listed mount folder that holds the path (the longest that is a prefix of it).
    std::string DriveOf(const std::string& path) const;
    // Reads the mounted volumes again.
    void Update();

    TDirectoryListBox* DirList() const { return dirList_; }
    void SetDirList(TDirectoryListBox* dirList);

    QString Hint() const { return toolTip(); }
    void SetHint(const QString& hint) { setToolTip(hint); }
    TControlFont* Font() const { return font_; }
    bool ParentFont() const { return ParentFontOf(this); }
    void SetParentFont(bool parentFont) { SetParentFontOf(this, parentFont); }

    int Tag = 0;
    TNotifyEvent OnChange;

private:
    friend class TDirectoryListBox;
    void ShowDriveOf(const std::string& path);
    QString DriveText() const;
    void SetDriveText(const QString& text);

    QPointer<TDirectoryListBox> dirList_;
    TControlFont* font_;
};

} // namespace vx
