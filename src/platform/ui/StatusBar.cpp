#include "platform/ui/StatusBar.h"

#include <QLabel>

namespace vx {

TStatusPanel::TStatusPanel(TStatusBar* bar, QLabel* label) : QObject(bar), label_(label) {}

QString TStatusPanel::Text() const {
    return label_->text();
}

void TStatusPanel::SetText(const QString& text) {
    label_->setText(text);
}

void TStatusPanel::SetWidth(int width) {
    width_ = std::max(0, width);
    label_->setMinimumWidth(width_);
}

TStatusBar::TStatusBar(QWidget* parent, const QString& name)
    : QStatusBar(parent), font_(new TControlFont(this)) {
    setObjectName(name);
    setSizeGripEnabled(false);
}

TStatusPanel* TStatusBar::AddPanel(int width) {
    auto* label = new QLabel(this);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    // The last panel takes what is left, as the class library's did.
    if (!panels_.isEmpty())
        UnstretchLast();
    addWidget(label, 1);
    auto* panel = new TStatusPanel(this, label);
    panel->SetWidth(width);
    panels_.append(panel);
    ShowMode();
    return panel;
}

void TStatusBar::UnstretchLast() {
    QLabel* label = panels_.back()->label_;
    removeWidget(label);
    insertWidget(static_cast<int>(panels_.size()) - 1, label, 0);
    label->setVisible(!simplePanel_);
}

TStatusPanel* TStatusBar::Panel(int index) const {
    return index >= 0 && index < panels_.size() ? panels_[index] : nullptr;
}

QList<QObject*> TStatusBar::PanelObjects() const {
    QList<QObject*> objects;
    for (TStatusPanel* p : panels_)
        objects.append(p);
    return objects;
}

void TStatusBar::SetSimpleText(const QString& text) {
    simpleText_ = text;
    ShowMode();
}

void TStatusBar::SetSimplePanel(bool simple) {
    simplePanel_ = simple;
    ShowMode();
}

void TStatusBar::ShowMode() {
    for (TStatusPanel* p : panels_)
        p->label_->setVisible(!simplePanel_);
    if (simplePanel_)
        showMessage(simpleText_);
    else
        clearMessage();
}

} // namespace vx
