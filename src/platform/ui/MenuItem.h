#pragma once

#include "platform/ui/Controls.h"

#include <QAction>

namespace vx {

// A menu command. A caption of "-" makes it a separator. Events: OnClick when the user
// chooses it and on Click() called by code; setting Checked by code fires nothing.
class TMenuItem : public QAction {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(int Tag MEMBER Tag)
    Q_PROPERTY(bool Checked READ isChecked WRITE SetChecked)

public:
    explicit TMenuItem(QObject* parent = nullptr, const QString& name = {});

    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    QString Hint() const { return statusTip(); }
    void SetHint(const QString& hint);
    void SetChecked(bool checked);

    void Click();

    int Tag = 0;
    TNotifyEvent OnClick;

private:
    QString caption_;
};

} // namespace vx
