#pragma once

// What the tests of the shell's windows share: a base folder of their own, the program's
// dispatcher and scripted answers. Driving windows: support/FormTestSupport.h.

#include "data/Settings.h"
#include "localisation/Strglobmod.h"
#include "localisation/mlLangDispatcher.h"
#include "platform/runtime/UiServices.h"
#include "platform/system/Files.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

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

} // namespace vx::test
