#include "platform/graphics/Screen.h"

#include "platform/runtime/Cp1252.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>
#include <cstdlib>

namespace vx {

TScreen Screen() {
    TScreen s;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (const QScreen* primary = QGuiApplication::primaryScreen()) {
            s.Width = primary->geometry().width();
            s.Height = primary->geometry().height();
        }
    }
    return s;
}

std::string TApplication::ExeName() const {
    if (const char* path = std::getenv("VORNIX_PROGRAM_PATH"); path && *path)
        return FromQString(QString::fromLocal8Bit(path));
    return FromQString(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget());
}

namespace {

std::vector<QWindow*> ProgramWindows() {
    std::vector<QWindow*> windows;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return windows;
    for (QWindow* w : QGuiApplication::topLevelWindows())
        if (w->isVisible())
            windows.push_back(w);
    return windows;
}

} // namespace

void TApplication::ForceForeground() {
    for (QWindow* w : ProgramWindows()) {
        if (w->windowState() & Qt::WindowMinimized)
            w->showNormal();
        w->raise();
        w->requestActivate();
    }
}

void TApplication::SetTopMost(bool topMost) {
    for (QWindow* w : ProgramWindows())
        w->setFlag(Qt::WindowStaysOnTopHint, topMost);
}

TApplication& Application() {
    static TApplication application;
    return application;
}

} // namespace vx
