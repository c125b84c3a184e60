#pragma once

#include "platform/ui/Controls.h"

#include <QListWidget>
#include <QStringList>

#include <functional>

namespace vx {

// A list of texts with at most one chosen item. Events: OnClick when the user clicks an item
// or moves the choice with the keyboard; OnDblClick on a double click on an item (after the
// OnClick of its first click); OnKeyDown for each key pressed while the list has the focus,
// before the list handles it (setting the key to 0 keeps the list from handling it). Nothing
// fires on changes by code (Items, ItemIndex, Add, Delete).
class TListBox : public QListWidget {
    Q_OBJECT
    Q_PROPERTY(QStringList Items READ Items WRITE SetItems)
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE SetItemIndex)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(vx::TControlFont* Font READ Font)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(int Tag MEMBER Tag)

public:
    // key: a Qt::Key value.
    using TKeyEvent = std::function<void(QObject* sender, int& key, Qt::KeyboardModifiers shift)>;

    explicit TListBox(QWidget* parent = nullptr, const QString& name = {});

    QStringList Items() const;
    // Changes the items in place; the chosen item stays where it was while it exists.
    void SetItems(const QStringList& items);
    int Count() const { return count(); }
    QString Item(int index) const;
    void Add(const QString& text);
    // An index outside the list does nothing.
    void Delete(int index);
    // -1 when nothing is chosen.
    int ItemIndex() const;
    // -1 or an index past the end clears the choice.
    void SetItemIndex(int index);
    QString Hint() const { return toolTip(); }
    void SetHint(const QString& hint) { setToolTip(hint); }
    TControlFont* Font() const { return font_; }
    bool ParentFont() const { return ParentFontOf(this); }
    void SetParentFont(bool parentFont) { SetParentFontOf(this, parentFont); }

    int Tag = 0;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TKeyEvent OnKeyDown;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Fire(const TNotifyEvent& event);

    TControlFont* font_;
};

} // namespace vx
