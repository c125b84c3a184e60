#pragma once

// What the tests of the shell's windows share: a base folder of their own, the program's
// dispatcher and scripted answers, and ways to drive a modal window and its lists.

#include "data/Settings.h"
#include "localisation/Strglobmod.h"
#include "localisation/mlLangDispatcher.h"
#include "platform/runtime/UiServices.h"
#include "platform/system/Files.h"
#include "platform/ui/Form.h"
#include "platform/ui/ListBox.h"
#include "support/TestSupport.h"

#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace vx::test {

class AppWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        BasePath = dir.Path();
        ForceDirectories(BasePath + "System");
        ForceDirectories(BasePath + "Configurazioni");
        CreateSTRGlobData();
    }
    void TearDown() override {
        FreeSTRGlobData();
        BasePath.clear();
    }

    static void SetLanguage(int language) {
        STRGlobData->mlLangDispatcher1->SetActiveLanguage(language);
    }

    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const auto& m : scoped.ui.Messages)
            texts.push_back(m.Text);
        return texts;
    }

    TempDir dir;
    ScopedUi scoped;
    ScriptedUiServices& ui = scoped.ui;
};

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
