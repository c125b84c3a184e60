#pragma once

#include "platform/ui/Controls.h"

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

namespace vx {

// A framed group of exclusive choices, one radio button per item, in one column. Events:
// OnClick when the user picks another item and when code changes ItemIndex to another item,
// as the class library's radio group did; changing Items fires nothing.
class TRadioGroup : public QGroupBox {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QStringList Items READ Items WRITE SetItems)
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE SetItemIndex)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(vx::TControlFont* Font READ Font)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(int Tag MEMBER Tag)

public:
    explicit TRadioGroup(QWidget* parent = nullptr, const QString& name = {});

    QString Caption() const { return title(); }
    void SetCaption(const QString& caption) { setTitle(caption); }
    QStringList Items() const { return items_; }
    // Relabels the buttons in place; the chosen item stays chosen while it still exists.
    void SetItems(const QStringList& items);
    // -1 when nothing is chosen.
    int ItemIndex() const { return itemIndex_; }
    // -1 or an index past the end clears the choice.
    void SetItemIndex(int index);
    QString Hint() const { return toolTip(); }
    void SetHint(const QString& hint) { setToolTip(hint); }
    TControlFont* Font() const { return font_; }
    bool ParentFont() const { return ParentFontOf(this); }
    void SetParentFont(bool parentFont) { SetParentFontOf(this, parentFont); }
    // The button of an item, for tests that click it.
    QRadioButton* Button(int index) const;

    int Tag = 0;
    TNotifyEvent OnClick;

private:
    void ShowChoice();
    void Choose(int index);

    QStringList items_;
    int itemIndex_ = -1;
    QButtonGroup* group_;
    TControlFont* font_;
};

} // namespace vx
