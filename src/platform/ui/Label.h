#pragma once

#include "platform/ui/Controls.h"

#include <QLabel>

namespace vx {

// A static text. Events: OnClick on a mouse click only; nothing fires on changes by code.
class TLabel : public QLabel {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(vx::TControlFont* Font READ Font)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(int Tag MEMBER Tag)

public:
    explicit TLabel(QWidget* parent = nullptr, const QString& name = {});

    // The caption as stored, "&" included; the label shows it without the accelerator marks.
    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    QString Hint() const { return toolTip(); }
    void SetHint(const QString& hint) { setToolTip(hint); }
    TControlFont* Font() const { return font_; }
    bool ParentFont() const { return ParentFontOf(this); }
    void SetParentFont(bool parentFont) { SetParentFontOf(this, parentFont); }

    int Tag = 0;
    TNotifyEvent OnClick;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QString caption_;
    TControlFont* font_;
};

// "&Nome" -> "Nome", "A && B" -> "A & B".
QString StripAccelChars(const QString& caption);

} // namespace vx
