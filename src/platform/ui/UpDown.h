#pragma once

#include "platform/ui/Controls.h"

#include <QWidget>

#include <functional>

class QToolButton;

namespace vx {

// A pair of arrow buttons stepping Position by one between Min and Max. Events: OnChanging
// with the new position when the user presses an arrow (or code calls Step), before Position
// changes, which the handler may refuse; setting Position by code fires nothing.
class TUpDown : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int Min READ Min WRITE SetMin)
    Q_PROPERTY(int Max READ Max WRITE SetMax)
    Q_PROPERTY(int Position READ Position WRITE SetPosition)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(int Tag MEMBER Tag)

public:
    using TChangingEvent = std::function<void(QObject* sender, int newPosition, bool& allow)>;

    explicit TUpDown(QWidget* parent = nullptr, const QString& name = {});

    int Min() const { return min_; }
    void SetMin(int min);
    int Max() const { return max_; }
    void SetMax(int max);
    int Position() const { return position_; }
    // Clamped to Min..Max.
    void SetPosition(int position);
    QString Hint() const { return toolTip(); }
    void SetHint(const QString& hint) { setToolTip(hint); }
    // +1 up, -1 down, as a press on that arrow; nothing at the ends.
    void Step(int delta);
    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

    int Tag = 0;
    TChangingEvent OnChanging;

private:
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
    QToolButton* up_;
    QToolButton* down_;
};

} // namespace vx
