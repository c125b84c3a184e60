#pragma once

#include "platform/ui/Controls.h"

#include <QGroupBox>

namespace vx {

// A framed group of controls. No events.
class TGroupBox : public QGroupBox {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(vx::TControlFont* Font READ Font)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(int Tag MEMBER Tag)

public:
    explicit TGroupBox(QWidget* parent = nullptr, const QString& name = {});

    QString Caption() const { return title(); }
    void SetCaption(const QString& caption) { setTitle(caption); }
    QString Hint() const { return toolTip(); }
    void SetHint(const QString& hint) { setToolTip(hint); }
    TControlFont* Font() const { return font_; }
    bool ParentFont() const { return ParentFontOf(this); }
    void SetParentFont(bool parentFont) { SetParentFontOf(this, parentFont); }

    int Tag = 0;

private:
    TControlFont* font_;
};

} // namespace vx
