#pragma once

#include "platform/ui/Controls.h"

#include <QToolButton>

namespace vx {

// A flat button that can stay down. GroupIndex 0: a plain button, never down. Buttons of one
// parent sharing a GroupIndex above 0 are exclusive: one going down lifts the others; a down
// button goes up again only when AllowAllUp is set. A single button with its own GroupIndex
// and AllowAllUp is a toggle. Events: OnClick on a user click and on Click() by code, after
// Down has followed the click; setting Down by code fires nothing.
class TSpeedButton : public QToolButton {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(bool Down READ Down WRITE SetDown)
    Q_PROPERTY(int GroupIndex READ GroupIndex WRITE SetGroupIndex)
    Q_PROPERTY(bool AllowAllUp READ AllowAllUp WRITE SetAllowAllUp)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(vx::TControlFont* Font READ Font)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(int Tag MEMBER Tag)

public:
    explicit TSpeedButton(QWidget* parent = nullptr, const QString& name = {});

    QString Caption() const { return text(); }
    void SetCaption(const QString& caption);
    // The picture on the button; a button with a picture and no caption shows the picture alone.
    void SetGlyph(const QIcon& glyph);
    bool Down() const { return isChecked(); }
    // Ignored where the group rules forbid it (GroupIndex 0, or lifting the down button of a
    // group without AllowAllUp).
    void SetDown(bool down);
    int GroupIndex() const { return groupIndex_; }
    // 0 lifts the button.
    void SetGroupIndex(int groupIndex);
    bool AllowAllUp() const { return allowAllUp_; }
    // Shared by the whole group.
    void SetAllowAllUp(bool allowAllUp);
    QString Hint() const { return toolTip(); }
    void SetHint(const QString& hint) { setToolTip(hint); }
    TControlFont* Font() const { return font_; }
    bool ParentFont() const { return ParentFontOf(this); }
    void SetParentFont(bool parentFont) { SetParentFontOf(this, parentFont); }

    void Click();

    int Tag = 0;
    TNotifyEvent OnClick;

protected:
    // Down follows the group rules in Click, not Qt's toggling.
    void nextCheckState() override {}

private:
    template <class F>
    void ForGroup(F&& f);
    void UpdateStyle();

    int groupIndex_ = 0;
    bool allowAllUp_ = false;
    TControlFont* font_;
};

} // namespace vx
