#pragma once

#include "platform/ui/Controls.h"

#include <QSlider>

namespace vx {

// A horizontal slider from Min to Max with a tick at every position. Events: OnChange on every
// change of Position, by the user (mouse, arrow keys) or by code, also when a moved bound
// carries Position with it, as the class library's track bar did.
class TTrackBar : public QSlider {
    Q_OBJECT
    Q_PROPERTY(int Min READ Min WRITE SetMin)
    Q_PROPERTY(int Max READ Max WRITE SetMax)
    Q_PROPERTY(int Position READ Position WRITE SetPosition)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(int Tag MEMBER Tag)

public:
    // Min 0, Max 10, Position 0.
    explicit TTrackBar(QWidget* parent = nullptr, const QString& name = {});

    int Min() const { return minimum(); }
    // Max follows when it would fall below; Position is kept within the bounds.
    void SetMin(int min) { setMinimum(min); }
    int Max() const { return maximum(); }
    void SetMax(int max) { setMaximum(max); }
    int Position() const { return value(); }
    // Clamped to Min..Max.
    void SetPosition(int position) { setValue(position); }
    QString Hint() const { return toolTip(); }
    void SetHint(const QString& hint) { setToolTip(hint); }

    int Tag = 0;
    TNotifyEvent OnChange;
};

} // namespace vx
