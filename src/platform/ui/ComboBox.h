#pragma once

#include "platform/ui/Controls.h"

#include <QComboBox>
#include <QStringList>

namespace vx {

enum class TComboBoxStyle { csDropDown, csDropDownList };

// A drop-down list. Events: OnChange when the user picks an item or edits the text, OnClick
// when the user picks an item. Nothing fires on changes by code (ItemIndex, Text, Items).
class TComboBox : public QComboBox {
    Q_OBJECT
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(vx::TControlFont* Font READ Font)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(int Tag MEMBER Tag)
    Q_PROPERTY(QStringList Items READ Items WRITE SetItems)
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE SetItemIndex)
    Q_PROPERTY(QString Text READ Text WRITE SetText)

public:
    explicit TComboBox(QWidget* parent = nullptr, const QString& name = {},
                       TComboBoxStyle style = TComboBoxStyle::csDropDownList);

    QString Hint() const { return toolTip(); }
    void SetHint(const QString& hint) { setToolTip(hint); }
    TControlFont* Font() const { return font_; }
    bool ParentFont() const { return ParentFontOf(this); }
    void SetParentFont(bool parentFont) { SetParentFontOf(this, parentFont); }

    QStringList Items() const;
    // Changes the items in place: item i is replaced, further items are appended, surplus
    // items go from the end; the current item stays where it was.
    void SetItems(const QStringList& items);
    int ItemIndex() const { return currentIndex(); }
    // -1 or an index past the end clears the selection.
    void SetItemIndex(int index);
    QString Text() const { return currentText(); }
    void SetText(const QString& text);

    int Tag = 0;
    TNotifyEvent OnChange;
    TNotifyEvent OnClick;

private:
    TControlFont* font_;
};

} // namespace vx
