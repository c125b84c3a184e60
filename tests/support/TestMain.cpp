// Every test executable starts here: headless Qt, a private HOME and XDG folders, fixed
// number and date conventions, scripted answers instead of a user.
#include "platform/runtime/FormatSettings.h"
#include "platform/runtime/UiServices.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    QTemporaryDir home;
    const QByteArray root = home.path().toUtf8();
    setenv("HOME", root.constData(), 1);
    setenv("XDG_CONFIG_HOME", (root + "/config").constData(), 1);
    setenv("XDG_DATA_HOME", (root + "/data").constData(), 1);
    setenv("XDG_CACHE_HOME", (root + "/cache").constData(), 1);
    setenv("XDG_RUNTIME_DIR", root.constData(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("VORNIX_INSTANCE_NAME",
           ("vornix-test-" + QByteArray::number(qint64(getpid()))).constData(), 1);

    QApplication app(argc, argv);
    vx::FormatSettings() = vx::TFormatSettings{};
    vx::ScriptedUiServices ui;
    vx::SetUiServices(&ui);

    vx::test::InstallVirtualPrinter();

    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
