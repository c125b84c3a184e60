#pragma once

#include "platform/ui/Controls.h"

#include <QAction>
#include <QKeySequence>

#include <vector>

class QMenu;
class QMenuBar;

namespace vx {

// A menu command. A caption of "-" makes it a separator. Events: OnClick when the user
// chooses it and on Click() called by code; setting Checked by code fires nothing, and choosing an
// item leaves its check mark to its handler. An item with items of its own is a submenu: its
// OnClick fires as the submenu opens, so that handlers can check and enable the items before they
// are seen.
class TMenuItem : public QAction {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(int Tag MEMBER Tag)
    Q_PROPERTY(bool Checked READ isChecked WRITE SetChecked)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(int GroupIndex READ GroupIndex WRITE SetGroupIndex)

public:
    explicit TMenuItem(QObject* parent = nullptr, const QString& name = {});
    ~TMenuItem() override;

    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    QString Hint() const { return statusTip(); }
    void SetHint(const QString& hint);
    void SetChecked(bool checked);
    bool Visible() const { return isVisible(); }
    void SetVisible(bool visible) { setVisible(visible); }
    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool enabled) { setEnabled(enabled); }
    QKeySequence ShortCut() const { return shortcut(); }
    void SetShortCut(const QKeySequence& shortCut) { setShortcut(shortCut); }
    // Top-level items of a main menu with the same GroupIndex replace each other on merging.
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int groupIndex) { groupIndex_ = groupIndex; }

    // Appends a child item (the item takes ownership), making this item a submenu.
    TMenuItem* Add(TMenuItem* item);
    // A new child item with that name and caption.
    TMenuItem* Add(const QString& name, const QString& caption);
    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const { return items_.at(index); }
    // The submenu shown for the child items; null while there are none.
    QMenu* SubMenu() const { return subMenu_; }

    void Click();

    int Tag = 0;
    TNotifyEvent OnClick;

private:
    QString caption_;
    int groupIndex_ = 0;
    std::vector<TMenuItem*> items_;
    QMenu* subMenu_ = nullptr;
};

// A window's menu bar: top-level items, each normally a submenu. A main window merges the menu
// of its active document window into its own: the document's items take the place of the
// main menu's items of the same GroupIndex and stand among them in GroupIndex order.
class TMainMenu : public QObject {
    Q_OBJECT

public:
    explicit TMainMenu(QObject* parent = nullptr, const QString& name = {});

    TMenuItem* Items() const { return root_; }
    TMenuItem* Add(const QString& name, const QString& caption, int groupIndex = 0);

    // One merged menu at a time; merging null or unmerging restores the own items.
    void Merge(TMainMenu* menu);
    void Unmerge(TMainMenu* menu);
    TMainMenu* Merged() const { return merged_; }
    // The top-level items as shown: the own items with the merged menu's in their groups.
    std::vector<TMenuItem*> ShownItems() const;
    // Fills a menu bar with ShownItems and keeps it filled after every merge.
    void AttachTo(QMenuBar* bar);

private:
    void Rebuild();

    TMenuItem* root_;
    TMainMenu* merged_ = nullptr;
    QMenuBar* bar_ = nullptr;
};

} // namespace vx
