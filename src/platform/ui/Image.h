#pragma once

#include "platform/graphics/Bitmap.h"
#include "platform/ui/Controls.h"

#include <QWidget>

namespace vx {

// A picture on a window: drawn at its own size from the top left corner, or stretched over
// the whole control with Stretch. No events.
class TImage : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool Stretch READ Stretch WRITE SetStretch)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(int Tag MEMBER Tag)

public:
    explicit TImage(QWidget* parent = nullptr, const QString& name = {});

    const Bitmap& Picture() const { return picture_; }
    void SetPicture(const Bitmap& picture);
    bool Stretch() const { return stretch_; }
    void SetStretch(bool stretch);
    QString Hint() const { return toolTip(); }
    void SetHint(const QString& hint) { setToolTip(hint); }

    int Tag = 0;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Bitmap picture_;
    bool stretch_ = false;
};

} // namespace vx
