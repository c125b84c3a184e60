#pragma once

#include "platform/ui/Controls.h"

#include <QPushButton>

namespace vx {

// A push button. Events: OnClick on a user click and on Click() called by code. A button with
// a ModalResult ends the modal loop of its form with that result after OnClick. In a modal form,
// Enter presses the Default button and Escape the Cancel button.
class TButton : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(vx::TControlFont* Font READ Font)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(int Tag MEMBER Tag)
    Q_PROPERTY(int ModalResult MEMBER ModalResult)
    Q_PROPERTY(bool Default READ isDefault WRITE setDefault)
    Q_PROPERTY(bool Cancel MEMBER Cancel)

public:
    explicit TButton(QWidget* parent = nullptr, const QString& name = {});

    QString Caption() const { return text(); }
    void SetCaption(const QString& caption) { setText(caption); }
    QString Hint() const { return toolTip(); }
    void SetHint(const QString& hint) { setToolTip(hint); }
    TControlFont* Font() const { return font_; }
    bool ParentFont() const { return ParentFontOf(this); }
    void SetParentFont(bool parentFont) { SetParentFontOf(this, parentFont); }

    void Click();

    int Tag = 0;
    int ModalResult = 0;
    bool Cancel = false;
    TNotifyEvent OnClick;

private:
    TControlFont* font_;
};

} // namespace vx
