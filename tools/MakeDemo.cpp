// Writes the demo's settings, project and document into a base folder that holds the bench
// tests: MakeDemo <base folder>.
#include "app/Demo.h"
#include "data/Settings.h"
#include "localisation/Strglobmod.h"
#include "platform/graphics/QtPrinter.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/FormatSettings.h"
#include "platform/runtime/Paths.h"

#include <QApplication>
#include <QDir>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: MakeDemo <base folder>\n");
        return 2;
    }
    // The pages are widgets even when nobody sees them.
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    vx::InitFormatSettingsFromLocale();
    vx::CreateSTRGlobData();
    // Pages lay themselves out on the current printer; the built-in one is always there.
    vx::InstallPrinterProvider(std::make_shared<vx::SystemPrinterProvider>(
        [] { return vx::ImpostazioniRec.DriverOutputFile(); }));
    const std::string base = vx::IncludeTrailingPathDelimiter(
        vx::FromQString(QDir(QString::fromLocal8Bit(argv[1])).absolutePath()));
    try {
        vx::MakeDemo(base);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "MakeDemo: %s\n", vx::Cp1252ToUtf8(e.what()).c_str());
        return 1;
    }
    std::printf("%sProve/Demo.VRX\n", vx::Cp1252ToUtf8(base).c_str());
    return 0;
}
