#pragma once

#include "platform/ui/Controls.h"

#include <QProgressBar>

namespace vx {

// A bar filled from Min to Position out of Max. No events.
class TProgressBar : public QProgressBar {
    Q_OBJECT
    Q_PROPERTY(int Min READ Min WRITE SetMin)
    Q_PROPERTY(int Max READ Max WRITE SetMax)
    Q_PROPERTY(int Position READ Position WRITE SetPosition)

public:
    explicit TProgressBar(QWidget* parent = nullptr, const QString& name = {});

    int Min() const { return minimum(); }
    void SetMin(int min) { setMinimum(min); }
    int Max() const { return maximum(); }
    void SetMax(int max) { setMaximum(max); }
    // Clamped to Min..Max.
    int Position() const { return value(); }
    void SetPosition(int position);
};

} // namespace vx
