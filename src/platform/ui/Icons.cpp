#include "platform/ui/Icons.h"

#include <QApplication>
#include <QDir>

namespace vx {

void InstallIcons() {
    static bool done = false;
    if (done)
        return;
    done = true;
    QStringList paths = QIcon::themeSearchPaths();
    const QString system = QStringLiteral("/usr/share/icons");
    if (!paths.contains(system) && QDir(system).exists())
        paths << system;
    QIcon::setThemeSearchPaths(paths);
    QIcon::setThemeName(QStringLiteral("breeze"));
    QIcon::setFallbackThemeName(QStringLiteral("hicolor"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/pictures/vornix.svg")));
}

QIcon ToolIcon(const char* name) {
    InstallIcons();
    const QString text = QString::fromLatin1(name);
    if (text.startsWith(QStringLiteral(":/")))
        return QIcon(text);
    return QIcon::fromTheme(text);
}

} // namespace vx
