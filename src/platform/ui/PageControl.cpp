#include "platform/ui/PageControl.h"

#include "platform/ui/Guard.h"

#include <QScopedValueRollback>

namespace vx {

TPageControl::TPageControl(QWidget* parent, const QString& name)
    : QTabWidget(parent), font_(new TControlFont(this)) {
    setObjectName(name);
    connect(this, &QTabWidget::currentChanged, this, [this] {
        if (byCode_)
            return;
        Guard([this] {
            if (OnChange)
                OnChange(this);
        });
    });
}

TTabSheet* TPageControl::Pages(int index) const {
    return qobject_cast<TTabSheet*>(widget(index));
}

TTabSheet* TPageControl::ActivePage() const {
    return qobject_cast<TTabSheet*>(currentWidget());
}

void TPageControl::SetActivePage(TTabSheet* page) {
    SetActivePageIndex(page ? indexOf(page) : -1);
}

void TPageControl::SetActivePageIndex(int index) {
    if (index < 0 || index >= count())
        return;
    const QScopedValueRollback<bool> quiet(byCode_, true);
    setCurrentIndex(index);
}

TTabSheet::TTabSheet(TPageControl* pageControl, const QString& name)
    : pageControl_(pageControl), font_(new TControlFont(this)) {
    setObjectName(name);
    const QScopedValueRollback<bool> quiet(pageControl->byCode_, true);
    pageControl->addTab(this, QString());
}

void TTabSheet::SetCaption(const QString& caption) {
    caption_ = caption;
    const int index = PageIndex();
    if (index >= 0)
        pageControl_->setTabText(index, caption);
}

void TTabSheet::SetHint(const QString& hint) {
    setToolTip(hint);
    const int index = PageIndex();
    if (index >= 0)
        pageControl_->setTabToolTip(index, hint);
}

int TTabSheet::PageIndex() const {
    return pageControl_->indexOf(const_cast<TTabSheet*>(this));
}

} // namespace vx
