#include "platform/ui/SpeedButton.h"

#include "platform/ui/Guard.h"

namespace vx {

TSpeedButton::TSpeedButton(QWidget* parent, const QString& name)
    : QToolButton(parent), font_(new TControlFont(this)) {
    setObjectName(name);
    setAutoRaise(true);
    setCheckable(true);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    connect(this, &QToolButton::clicked, this, [this] { Click(); });
}

void TSpeedButton::SetCaption(const QString& caption) {
    setText(caption);
    UpdateStyle();
}

void TSpeedButton::SetGlyph(const QIcon& glyph) {
    setIcon(glyph);
    UpdateStyle();
}

void TSpeedButton::UpdateStyle() {
    setToolButtonStyle(icon().isNull()    ? Qt::ToolButtonTextOnly
                       : text().isEmpty() ? Qt::ToolButtonIconOnly
                                          : Qt::ToolButtonTextBesideIcon);
}

template <class F>
void TSpeedButton::ForGroup(F&& f) {
    if (groupIndex_ == 0 || !parent())
        return;
    for (auto* other : parent()->findChildren<TSpeedButton*>(Qt::FindDirectChildrenOnly))
        if (other != this && other->groupIndex_ == groupIndex_)
            f(*other);
}

void TSpeedButton::SetDown(bool down) {
    if (groupIndex_ == 0)
        down = false;
    if (down == Down())
        return;
    if (!down && !allowAllUp_)
        return;
    setChecked(down);
    if (down)
        ForGroup([](TSpeedButton& other) { other.setChecked(false); });
}

void TSpeedButton::SetGroupIndex(int groupIndex) {
    groupIndex_ = groupIndex;
    if (groupIndex == 0)
        setChecked(false);
}

void TSpeedButton::SetAllowAllUp(bool allowAllUp) {
    allowAllUp_ = allowAllUp;
    ForGroup([allowAllUp](TSpeedButton& other) { other.allowAllUp_ = allowAllUp; });
}

void TSpeedButton::Click() {
    if (groupIndex_ != 0)
        SetDown(!Down());
    Guard([this] {
        if (OnClick)
            OnClick(this);
    });
}

} // namespace vx
