#pragma once

#include "platform/ui/Controls.h"

#include <QSpinBox>

namespace vx {

// A number with arrows. As the class library's, it accepts any integer typed and Value clamps
// it into MinValue..MaxValue (both 0: no bounds). Events: OnChange whenever the text changes.
class TSpinEdit : public QSpinBox {
    Q_OBJECT
    Q_PROPERTY(int MinValue READ MinValue WRITE SetMinValue)
    Q_PROPERTY(int MaxValue READ MaxValue WRITE SetMaxValue)
    Q_PROPERTY(int Value READ Value WRITE SetValue)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(int Tag MEMBER Tag)

public:
    explicit TSpinEdit(QWidget* parent = nullptr, const QString& name = {});

    int MinValue() const { return min_; }
    void SetMinValue(int min);
    int MaxValue() const { return max_; }
    void SetMaxValue(int max);
    int Value() const;
    void SetValue(int value);
    QString Hint() const { return toolTip(); }
    void SetHint(const QString& hint) { setToolTip(hint); }

    int Tag = 0;
    TNotifyEvent OnChange;

protected:
    void stepBy(int steps) override;

private:
    int Clamped(long long value) const;

    int min_ = 0;
    int max_ = 0;
};

} // namespace vx
