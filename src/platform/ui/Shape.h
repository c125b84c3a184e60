#pragma once

#include "platform/graphics/Colors.h"
#include "platform/ui/Controls.h"

#include <QWidget>

namespace vx {

// A rectangle filled with BrushColor inside a one-pixel black frame, over the whole control.
// Events: OnMouseDown for each press, in client pixels. Changes by code fire nothing.
class TShape : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int BrushColor READ BrushColor WRITE SetBrushColor)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(int Tag MEMBER Tag)

public:
    explicit TShape(QWidget* parent = nullptr, const QString& name = {});

    // System colours (clBtnFace) show as the colour table has them.
    TColor BrushColor() const { return brushColor_; }
    void SetBrushColor(TColor color);
    QString Hint() const { return toolTip(); }
    void SetHint(const QString& hint) { setToolTip(hint); }

    int Tag = 0;
    TMouseEvent OnMouseDown;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    TColor brushColor_ = clWhite;
};

} // namespace vx
