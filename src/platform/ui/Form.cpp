#include "platform/ui/Form.h"

#include "platform/runtime/UiServices.h"
#include "platform/ui/Button.h"
#include "platform/ui/Guard.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QPointer>
#include <QScreen>

#include <algorithm>

namespace vx {

TForm::TForm(QWidget* parent, const QString& name)
    : QWidget(parent, Qt::Window), font_(new TControlFont(this)) {
    setObjectName(name);
}

TForm::~TForm() {
    if (loop_)
        loop_->quit();
}

void TForm::DoCreate() {
    if (created_)
        return;
    created_ = true;
    Guard([this] {
        if (OnCreate)
            OnCreate(this);
    });
}

int TForm::ShowModal() {
    return Ui().ShowModal(this);
}

int TForm::ExecModal() {
    QPointer<TForm> self(this);
    QEventLoop loop;
    loop_ = &loop;
    modalResult_ = mrNone;
    PrepareDialog();
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
    for (;;) {
        loop.exec();
        if (!self)
            return mrCancel;
        if (modalResult_ == mrNone)
            modalResult_ = mrCancel;
        if (CloseQuery() && CloseAction() != TCloseAction::caNone)
            break;
        modalResult_ = mrNone;
    }
    loop_ = nullptr;
    const int result = modalResult_;
    hide();
    setWindowModality(Qt::NonModal);
    // The keys go back to the window that opened the dialog.
    if (QWidget* owner = parentWidget())
        owner->window()->activateWindow();
    return result;
}

void TForm::SetModalResult(int result) {
    modalResult_ = result;
    if (result != mrNone && loop_)
        loop_->quit();
}

int CaptionWidth(const QString& caption) {
    QFont title = QApplication::font();
    title.setBold(true);
    // The icon on the left, the close button on the right and the frame's margins.
    constexpr int kTitleBarRoom = 96;
    return QFontMetrics(title).horizontalAdvance(caption) + kTitleBarRoom;
}

void TForm::PrepareDialog() {
    // A window without a frame (the splash) keeps its own look and place.
    if (windowFlags() & Qt::FramelessWindowHint)
        return;
    QWidget* owner = parentWidget();
    if (!owner) {
        owner = QApplication::activeWindow();
        if (owner == this)
            owner = nullptr;
    }
    const Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                  Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (owner != parentWidget() || windowFlags() != flags)
        setParent(owner, flags);
    const int wanted = CaptionWidth(windowTitle());
    if (width() < wanted)
        resize(wanted, height());
    if (owner) {
        QRect frame(pos(), size());
        frame.moveCenter(owner->mapToGlobal(owner->rect().center()));
        // Never off the screen the owner is on.
        if (const QScreen* screen = owner->screen()) {
            const QRect room = screen->availableGeometry();
            frame.moveLeft(std::clamp(frame.left(), room.left(),
                                      std::max(room.left(), room.right() - frame.width())));
            frame.moveTop(std::clamp(frame.top(), room.top(),
                                     std::max(room.top(), room.bottom() - frame.height())));
        }
        move(frame.topLeft());
    }
}

void TForm::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const bool escape = event->key() == Qt::Key_Escape;
    if (!loop_ || (!enter && !escape) ||
        (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    auto usable = [this](TButton* b) {
        return b->isVisibleTo(this) && b->isEnabled() && ParentForm(b) == this;
    };
    auto find = [&](auto&& marked, int result) -> TButton* {
        const QList<TButton*> buttons = findChildren<TButton*>();
        for (TButton* b : buttons)
            if (usable(b) && marked(*b))
                return b;
        for (TButton* b : buttons)
            if (usable(b) && b->ModalResult == result)
                return b;
        return nullptr;
    };
    TButton* button = nullptr;
    if (enter) {
        button = qobject_cast<TButton*>(QApplication::focusWidget());
        if (!button || !usable(button))
            button = find([](const TButton& b) { return b.isDefault(); }, mrOk);
    } else {
        button = find([](const TButton& b) { return b.Cancel; }, mrCancel);
    }
    event->accept();
    if (button)
        button->Click();
    else if (escape)
        SetModalResult(mrCancel);
}

int TForm::WindowState() const {
    if (isMinimized())
        return wsMinimized;
    return isMaximized() ? wsMaximized : wsNormal;
}

void TForm::SetWindowState(int state) {
    const Qt::WindowStates keep = windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    setWindowState(state == wsMinimized   ? keep | Qt::WindowMinimized
                   : state == wsMaximized ? keep | Qt::WindowMaximized
                                          : keep);
}

void TForm::Show() {
    show();
    raise();
}

void TForm::Close() {
    close();
}

bool TForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery && !Guard([&] { OnCloseQuery(this, canClose); }))
        return false;
    return canClose;
}

TCloseAction TForm::CloseAction() {
    TCloseAction action = TCloseAction::caHide;
    if (OnClose && !Guard([&] { OnClose(this, action); }))
        return TCloseAction::caNone;
    return action;
}

void TForm::closeEvent(QCloseEvent* event) {
    // A modal form closes through its loop, which asks the handlers once.
    if (loop_) {
        event->ignore();
        SetModalResult(mrCancel);
        return;
    }
    if (!CloseQuery()) {
        event->ignore();
        return;
    }
    QWidget* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    switch (CloseAction()) {
    case TCloseAction::caNone:
        event->ignore();
        return;
    case TCloseAction::caHide:
        event->accept();
        if (frame)
            frame->hide();
        return;
    case TCloseAction::caMinimize:
        event->ignore();
        (frame ? frame : this)->showMinimized();
        return;
    case TCloseAction::caFree:
        event->accept();
        (frame ? frame : static_cast<QWidget*>(this))->deleteLater();
        return;
    }
}

void TForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    Guard([this] {
        if (OnShow)
            OnShow(this);
    });
}

bool TForm::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::WindowActivate:
        if (isWindow())
            Activate();
        break;
    case QEvent::ParentChange:
        WatchMdiFrame();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void TForm::WatchMdiFrame() {
    auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (frame == watchedFrame_)
        return;
    if (watchedFrame_)
        disconnect(watchedFrame_, nullptr, this, nullptr);
    watchedFrame_ = frame;
    if (frame)
        connect(frame, &QMdiSubWindow::aboutToActivate, this, [this] { Activate(); });
}

void TForm::Activate() {
    Guard([this] {
        if (OnActivate)
            OnActivate(this);
    });
}

TForm* ParentForm(QWidget* widget) {
    for (QWidget* w = widget; w; w = w->parentWidget())
        if (auto* form = qobject_cast<TForm*>(w))
            return form;
    return nullptr;
}

} // namespace vx
