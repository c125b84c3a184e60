#pragma once

#include "platform/ui/Controls.h"

#include <QStringList>
#include <QTabBar>

#include <functional>

namespace vx {

// A row of tabs without pages. Events, for a change by the user and by code alike (TabIndex):
// OnChange before the change, which may refuse it, then OnClick. Changing Tabs fires nothing.
class TTabSet : public QTabBar {
    Q_OBJECT
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(vx::TControlFont* Font READ Font)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(int Tag MEMBER Tag)
    Q_PROPERTY(QStringList Tabs READ Tabs WRITE SetTabs)
    Q_PROPERTY(int TabIndex READ TabIndex WRITE SetTabIndex)

public:
    using TTabChangeEvent = std::function<void(QObject* sender, int newTab, bool& allowChange)>;

    explicit TTabSet(QWidget* parent = nullptr, const QString& name = {});

    QString Hint() const { return toolTip(); }
    void SetHint(const QString& hint) { setToolTip(hint); }
    TControlFont* Font() const { return font_; }
    bool ParentFont() const { return ParentFontOf(this); }
    void SetParentFont(bool parentFont) { SetParentFontOf(this, parentFont); }

    QStringList Tabs() const;
    // In place, keeping the current tab when it still exists.
    void SetTabs(const QStringList& tabs);
    int TabIndex() const { return tabIndex_; }
    // -1 leaves no tab chosen; other values outside the tabs are ignored.
    void SetTabIndex(int index);

    int Tag = 0;
    TTabChangeEvent OnChange;
    TNotifyEvent OnClick;

private:
    void UserChanged(int index);
    void ShowIndex(int index);

    TControlFont* font_;
    int tabIndex_ = -1;
    bool quiet_ = false;
};

} // namespace vx
