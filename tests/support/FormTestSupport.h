#pragma once

// Driving windows as a user would: a form's real modal loop with a script acting inside it,
// scripts for the modal forms a window opens itself, typing and clicking list items.

#include "platform/runtime/UiServices.h"
#include "platform/ui/Form.h"
#include "platform/ui/ListBox.h"
#include "support/DragTestSupport.h"

#include <QDialog>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <typeindex>
#include <typeinfo>

namespace vx::test {

// Runs the form's modal loop while `script` acts on it from the event loop; a script that
// forgets to end the loop fails the test instead of hanging it.
inline int RunModal(TForm* form, const std::function<void()>& script) {
    QTimer::singleShot(0, form, script);
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, form, [form] {
        ADD_FAILURE() << "the modal window was left open";
        form->OnCloseQuery = nullptr;
        form->SetModalResult(mrAbort);
    });
    watchdog.start(20000);
    return form->ExecModal();
}

// The same for a plain dialog: its result is mrOk when accepted, else mrCancel.
inline int RunModal(QDialog* dialog, const std::function<void()>& script) {
    QTimer::singleShot(0, dialog, script);
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, dialog, [dialog] {
        ADD_FAILURE() << "the modal dialog was left open";
        dialog->reject();
    });
    watchdog.start(20000);
    return dialog->exec() == QDialog::Accepted ? mrOk : mrCancel;
}

// Plays the user of every modal window that the code under test shows through
// Ui().ShowModal(): the script registered for the window's class runs inside the window's
// real modal loop once the window is active, so OnActivate, OnCloseQuery and nested modal
// windows behave as for a person. The script ends the loop (a button, SetModalResult). A
// window of a class without a script fails the test and is answered mrCancel unseen.
class ModalScripts {
public:
    explicit ModalScripts(ScriptedUiServices& ui) : ui_(ui) {
        ui_.ModalHook = [this](QObject* window) { return Run(window); };
    }
    ~ModalScripts() { ui_.ModalHook = nullptr; }
    ModalScripts(const ModalScripts&) = delete;
    ModalScripts& operator=(const ModalScripts&) = delete;

    // Registers (or replaces) the script for windows of exactly the class Window.
    template <class Window>
    void On(std::function<void(Window*)> script) {
        scripts_[std::type_index(typeid(Window))] = [script](QObject* window) {
            script(static_cast<Window*>(window));
        };
    }

private:
    int Run(QObject* window) {
        const auto found = scripts_.find(std::type_index(typeid(*window)));
        if (found == scripts_.end()) {
            ADD_FAILURE() << "no modal script for " << typeid(*window).name() << " \""
                          << window->objectName().toStdString() << "\"";
            return mrCancel;
        }
        // A copy: the script may register others while it runs.
        const std::function<void(QObject*)> script = found->second;
        auto* widget = qobject_cast<QWidget*>(window);
        const auto act = [script, window, widget] {
            // Not QTest::qWaitForWindowActive: a dialog owned by an active window counts as
            // active for it before its own activation has arrived.
            if (widget)
                (void)QTest::qWaitFor([widget] { return widget->isActiveWindow(); }, 2000);
            script(window);
        };
        if (auto* form = qobject_cast<TForm*>(window))
            return RunModal(form, act);
        if (auto* dialog = qobject_cast<QDialog*>(window))
            return RunModal(dialog, act);
        ADD_FAILURE() << "not a window: " << typeid(*window).name();
        return mrCancel;
    }

    ScriptedUiServices& ui_;
    std::map<std::type_index, std::function<void(QObject*)>> scripts_;
};

inline QPoint ItemCentre(TListBox* list, int row) {
    return list->ItemRect(row).center();
}

inline void ClickItem(TListBox* list, int row) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, ItemCentre(list, row));
}

inline void DoubleClickItem(TListBox* list, int row) {
    const QPoint at = ItemCentre(list, row);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

// Replaces an edit's text as a user would: select all, type.
template <class Edit>
void TypeInto(Edit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

} // namespace vx::test
