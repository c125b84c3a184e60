#pragma once

#include "platform/ui/Controls.h"

#include <QFrame>

namespace vx {

// A raised area that holds controls and shows its caption centred. No events.
class TPanel : public QFrame {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(vx::TControlFont* Font READ Font)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(int Tag MEMBER Tag)

public:
    explicit TPanel(QWidget* parent = nullptr, const QString& name = {});

    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    QString Hint() const { return toolTip(); }
    void SetHint(const QString& hint) { setToolTip(hint); }
    TControlFont* Font() const { return font_; }
    bool ParentFont() const { return ParentFontOf(this); }
    void SetParentFont(bool parentFont) { SetParentFontOf(this, parentFont); }

    int Tag = 0;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString caption_;
    TControlFont* font_;
};

} // namespace vx
