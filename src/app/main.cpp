// Vornix: the program's entry point. The application object and the services of the platform
// come first; the start-up sequence does the rest.
#include "app/Startup.h"
#include "data/Settings.h"
#include "platform/graphics/QtPrinter.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/FormatSettings.h"
#include "platform/ui/Icons.h"
#include "platform/ui/QtUiServices.h"

#include <QApplication>
#include <QDir>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Vornix");
    vx::InstallIcons();
    vx::InitFormatSettingsFromLocale();
    vx::QtUiServices windows;
    std::optional<vx::TStderrMessages> lines;
    if (const char* messages = std::getenv("VORNIX_MESSAGES");
        messages && std::strcmp(messages, "stderr") == 0)
        vx::SetUiServices(&lines.emplace(windows));
    else
        vx::SetUiServices(&windows);
    // The graphics layer reads no settings: "Vornix PDF" asks for its file at each print.
    vx::InstallPrinterProvider(std::make_shared<vx::SystemPrinterProvider>(
        [] { return vx::ImpostazioniRec.DriverOutputFile(); }));
    std::vector<std::string> args;
    for (const QString& arg : QApplication::arguments())
        args.push_back(vx::FromQString(arg));
    const int status = vx::RunStartup(args, vx::FromQString(QDir::currentPath()));
    vx::SetUiServices(nullptr);
    return status;
}
