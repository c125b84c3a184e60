// Vornix: the program's entry point. It grows with the subsystems; for now it fixes the
// number conventions and reports the base folder it would work in.
#include "data/Settings.h"
#include "platform/graphics/QtPrinter.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/FormatSettings.h"
#include "platform/runtime/Paths.h"

#include <QApplication>
#include <cstdio>
#include <memory>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Vornix");
    vx::InitFormatSettingsFromLocale();
    // The graphics layer reads no settings: "Vornix PDF" asks for its file at each print.
    vx::InstallPrinterProvider(std::make_shared<vx::SystemPrinterProvider>(
        [] { return vx::ImpostazioniRec.DriverOutputFile(); }));
    const std::string program = vx::FromQString(QApplication::applicationFilePath());
    std::printf("Vornix\nprogram folder: %s\n",
                vx::Cp1252ToUtf8(vx::ExtractFilePath(program)).c_str());
    return 0;
}
