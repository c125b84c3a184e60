#include "FuzzSupport.h"

#include "platform/runtime/FormatSettings.h"
#include "platform/runtime/UiServices.h"

#include <QGuiApplication>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>

namespace vx::fuzz {

namespace {

std::string& Folder() {
    static std::string folder;
    return folder;
}

void RemoveFolder() {
    if (!Folder().empty())
        std::system(("rm -rf '" + Folder() + "'").c_str());
}

} // namespace

void Init(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    char pattern[] = "/tmp/vx_fuzz_XXXXXX";
    if (mkdtemp(pattern) == nullptr)
        Fail("no temporary folder");
    Folder() = std::string(pattern) + "/";
    std::atexit(RemoveFolder);
    setenv("HOME", pattern, 1);
    static int qtArgc = 1;
    static char name[] = "vx_fuzz";
    static char* qtArgv[] = {name, nullptr};
    static QGuiApplication app(qtArgc, qtArgv);
    static ScriptedUiServices ui;
    SetUiServices(&ui);
    FormatSettings() = TFormatSettings{};
    PublishFormatSettings();
}

const std::string& TempFolder() {
    return Folder();
}

std::string WriteTemp(std::string_view name, std::string_view bytes) {
    const std::string path = Folder() + std::string(name);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

void Fail(const char* what) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

} // namespace vx::fuzz
