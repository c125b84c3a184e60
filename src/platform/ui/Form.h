#pragma once

#include "platform/ui/Controls.h"

#include <QWidget>

#include <functional>

class QEventLoop;

namespace vx {

enum class TCloseAction { caNone, caHide, caFree, caMinimize };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };

// A window. Forms are made with CreateForm, so that OnCreate runs once the whole form (its
// children and its translation table) stands. Events:
// - OnCreate: once, after construction;
// - OnShow: each time the form becomes visible;
// - OnActivate: when the window becomes active, or, inside an MDI area, when it becomes the
//   active document window;
// - OnCloseQuery, then OnClose: when the form is closed by the user, by Close(), or when a
//   modal form gets a ModalResult. OnClose's action starts as caHide; caFree deletes the form
//   (with its MDI frame), caMinimize minimises it, caNone keeps it open.
// Every handler runs inside Guard. Code the class library ran in OnDestroy belongs in the
// derived form's destructor.
class TForm : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(vx::TControlFont* Font READ Font)
    Q_PROPERTY(int Tag MEMBER Tag)
    Q_PROPERTY(int ModalResult READ ModalResult WRITE SetModalResult)
    Q_PROPERTY(int WindowState READ WindowState WRITE SetWindowState)

public:
    explicit TForm(QWidget* parent = nullptr, const QString& name = {});
    ~TForm() override;

    QString Caption() const { return windowTitle(); }
    void SetCaption(const QString& caption) { setWindowTitle(caption); }
    QString Hint() const { return toolTip(); }
    void SetHint(const QString& hint) { setToolTip(hint); }
    TControlFont* Font() const { return font_; }

    // Shows the form modally through the program's UiServices (scripted in tests) and returns
    // its modal result: mrOk 1, mrCancel 2, mrYes 6, mrNo 7, ...
    int ShowModal();
    // The modal loop itself, run by the Qt UiServices. Closing the window gives mrCancel.
    int ExecModal();
    bool IsModal() const { return loop_ != nullptr; }
    int ModalResult() const { return modalResult_; }
    // A non-zero result ends the modal loop of a modal form, unless OnCloseQuery refuses.
    void SetModalResult(int result);

    // A TWindowState; set on a hidden form, it takes effect when the form is shown.
    int WindowState() const;
    void SetWindowState(int state);

    void Show();
    void Close();
    // Runs OnCreate; CreateForm calls it once the derived constructor has finished.
    void DoCreate();

    int Tag = 0;
    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnActivate;
    std::function<void(QObject* sender, bool& canClose)> OnCloseQuery;
    std::function<void(QObject* sender, TCloseAction& action)> OnClose;

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // In a modal form Enter presses the focused or the Default button, Escape the Cancel one.
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    bool CloseQuery();
    TCloseAction CloseAction();
    void Activate();
    void WatchMdiFrame();
    // A modal form is a dialog of the window that opened it, centred on it, wide enough for
    // its caption.
    void PrepareDialog();

    TControlFont* font_;
    int modalResult_ = 0;
    QEventLoop* loop_ = nullptr;
    QObject* watchedFrame_ = nullptr;
    bool created_ = false;
};

// new T(args...), then OnCreate: the class library's form creation.
template <class T, class... Args>
T* CreateForm(Args&&... args) {
    auto* form = new T(std::forward<Args>(args)...);
    form->DoCreate();
    return form;
}

// The width a window needs for its caption in the title bar, with its icon and buttons.
int CaptionWidth(const QString& caption);

// The form that holds a widget (itself included), or null.
TForm* ParentForm(QWidget* widget);

} // namespace vx
