#pragma once

#include "platform/ui/Controls.h"
#include "platform/ui/OwnerDraw.h"

#include <QComboBox>
#include <QStringList>

namespace vx {

class TextListModel;

// csOwnerDrawFixed: a drop-down list whose items the program draws, in the list and in the
// closed box.
enum class TComboBoxStyle { csDropDown, csDropDownList, csOwnerDrawFixed };

// A drop-down list. Events: OnChange when the user picks an item or edits the text, OnClick
// when the user picks an item, OnDrawItem for each item painted while Style is
// csOwnerDrawFixed. Nothing fires on changes by code (ItemIndex, Text, Items, Style). The box
// keeps the size it is given: it never measures its items.
class TComboBox : public QComboBox {
    Q_OBJECT
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(vx::TControlFont* Font READ Font)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(int Tag MEMBER Tag)
    Q_PROPERTY(QStringList Items READ Items WRITE SetItems)
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE SetItemIndex)
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(int ItemHeight READ ItemHeight WRITE SetItemHeight)

public:
    explicit TComboBox(QWidget* parent = nullptr, const QString& name = {},
                       TComboBoxStyle style = TComboBoxStyle::csDropDownList);

    QString Hint() const { return toolTip(); }
    void SetHint(const QString& hint) { setToolTip(hint); }
    TControlFont* Font() const { return font_; }
    bool ParentFont() const { return ParentFontOf(this); }
    void SetParentFont(bool parentFont) { SetParentFontOf(this, parentFont); }

    const QStringList& Items() const;
    // Replaces the list in one step; the current item stays where it was while it exists.
    void SetItems(const QStringList& items);
    int Count() const { return count(); }
    int ItemIndex() const { return currentIndex(); }
    // -1 or an index past the end clears the selection.
    void SetItemIndex(int index);
    QString Text() const { return currentText(); }
    void SetText(const QString& text);

    TComboBoxStyle Style() const { return style_; }
    void SetStyle(TComboBoxStyle style);
    // Pixels of each owner-drawn item in the list; 16 at creation.
    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int height);
    // The canvas of the item being drawn; null outside OnDrawItem.
    TCanvas* Canvas() const { return canvas_; }

    int Tag = 0;
    TNotifyEvent OnChange;
    TNotifyEvent OnClick;
    TDrawItemEvent OnDrawItem;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void ApplyStyle();
    void ConnectEdit();
    void PaintItem(QPainter& painter, const QRect& rect, int index, TOwnerDrawState state);

    TControlFont* font_;
    TextListModel* model_;
    TComboBoxStyle style_ = TComboBoxStyle::csDropDownList;
    int itemHeight_ = 16;
    TCanvas* canvas_ = nullptr;
    QAbstractItemDelegate* plainDelegate_ = nullptr;
    QAbstractItemDelegate* ownerDelegate_ = nullptr;
};

} // namespace vx
