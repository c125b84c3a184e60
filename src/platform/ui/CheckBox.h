#pragma once

#include "platform/ui/Controls.h"

#include <QCheckBox>

namespace vx {

// A check box. Events: OnClick when the user toggles it and when code changes Checked to the
// other state, as the class library's check box did; setting the same state fires nothing.
class TCheckBox : public QCheckBox {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(bool Checked READ Checked WRITE SetChecked)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(vx::TControlFont* Font READ Font)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(int Tag MEMBER Tag)

public:
    explicit TCheckBox(QWidget* parent = nullptr, const QString& name = {});

    QString Caption() const { return text(); }
    void SetCaption(const QString& caption) { setText(caption); }
    bool Checked() const { return isChecked(); }
    void SetChecked(bool checked) { setChecked(checked); }
    QString Hint() const { return toolTip(); }
    void SetHint(const QString& hint) { setToolTip(hint); }
    TControlFont* Font() const { return font_; }
    bool ParentFont() const { return ParentFontOf(this); }
    void SetParentFont(bool parentFont) { SetParentFontOf(this, parentFont); }

    int Tag = 0;
    TNotifyEvent OnClick;

private:
    TControlFont* font_;
};

} // namespace vx
