#pragma once

#include "platform/ui/Controls.h"
#include "platform/ui/OwnerDraw.h"

#include <QListView>
#include <QStringList>

#include <functional>

namespace vx {

class TextListModel;

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed };

// A list of texts with at most one chosen item. Events: OnClick when the user clicks an item
// or moves the choice with the keyboard; OnDblClick on a double click on an item (after the
// OnClick of its first click); OnKeyDown for each key pressed while the list has the focus,
// before the list handles it (setting the key to 0 keeps the list from handling it);
// OnMouseDown for each press, after the list chose the item under it, and OnMouseMove for each
// move over the list, both in client pixels; OnDrawItem for each item painted while Style is
// lbOwnerDrawFixed. Nothing fires on changes by code (Items, ItemIndex, Add, Delete, Style).
class TListBox : public QListView {
    Q_OBJECT
    Q_PROPERTY(QStringList Items READ Items WRITE SetItems)
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE SetItemIndex)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(vx::TControlFont* Font READ Font)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(int Tag MEMBER Tag)
    Q_PROPERTY(int ItemHeight READ ItemHeight WRITE SetItemHeight)

public:
    // key: a Qt::Key value.
    using TKeyEvent = std::function<void(QObject* sender, int& key, Qt::KeyboardModifiers shift)>;

    explicit TListBox(QWidget* parent = nullptr, const QString& name = {});

    const QStringList& Items() const;
    // Replaces the list in one step; the chosen item stays where it was while it exists.
    void SetItems(const QStringList& items);
    int Count() const;
    QString Item(int index) const;
    void Add(const QString& text);
    // An index outside the list does nothing.
    void Delete(int index);
    void Clear() { SetItems({}); }
    // -1 when nothing is chosen.
    int ItemIndex() const;
    // -1 or an index past the end clears the choice.
    void SetItemIndex(int index);
    // The item's rectangle in client pixels (empty outside the list), scrolled into view first.
    QRect ItemRect(int index);
    QString Hint() const { return toolTip(); }
    void SetHint(const QString& hint) { setToolTip(hint); }
    TControlFont* Font() const { return font_; }
    bool ParentFont() const { return ParentFontOf(this); }
    void SetParentFont(bool parentFont) { SetParentFontOf(this, parentFont); }

    TListBoxStyle Style() const { return style_; }
    void SetStyle(TListBoxStyle style);
    // Pixels of each owner-drawn item; 16 at creation.
    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int height);
    // The canvas of the item being drawn; null outside OnDrawItem.
    TCanvas* Canvas() const { return canvas_; }

    int Tag = 0;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TKeyEvent OnKeyDown;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TDrawItemEvent OnDrawItem;

protected:
    TextListModel& Model() const { return *model_; }

    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void Fire(const TNotifyEvent& event);
    void Relayout();

    TControlFont* font_;
    TextListModel* model_;
    TListBoxStyle style_ = lbStandard;
    int itemHeight_ = 16;
    TCanvas* canvas_ = nullptr;
};

} // namespace vx
