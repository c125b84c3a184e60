#include "localisation/mlFormStorage.h"

#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/Paths.h"
#include "platform/runtime/Strings.h"
#include "platform/system/Files.h"
#include "platform/system/IniFile.h"

#include <QPoint>
#include <QSize>
#include <QStandardPaths>
#include <QVariant>

#include <array>
#include <optional>

namespace vx {

namespace {

constexpr std::array<const char*, 6> kRootNames = {"HKEY_CURRENT_USER",   "HKEY_CLASSES_ROOT",
                                                   "HKEY_LOCAL_MACHINE",  "HKEY_USERS",
                                                   "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA"};

// Registry keys use '\'; so do the sections, whichever separator the key was given with.
std::string SectionOf(const std::string& subKey) {
    std::string section = subKey;
    for (char& c : section)
        if (c == '/')
            c = '\\';
    while (!section.empty() && section.front() == '\\')
        section.erase(0, 1);
    while (!section.empty() && section.back() == '\\')
        section.pop_back();
    return section;
}

std::optional<int32_t> ReadInteger(const TIniFile& ini, const std::string& section,
                                   const char* name) {
    int32_t value = 0;
    if (!TryStrToInt(ini.ReadString(section, name, ""), value))
        return std::nullopt;
    return value;
}

// The third character tells the states apart: "Normal", "Minimized", "Maximized".
int StateOf(const std::string& text) {
    if (text.size() < 3)
        return -1;
    switch (text[2]) {
    case 'n':
        return 1;
    case 'r':
        return 0;
    case 'x':
        return 2;
    default:
        return -1;
    }
}

} // namespace

TmlFormStorage::TmlFormStorage(QObject* owner) : QObject(owner) {}

TmlFormStorage::~TmlFormStorage() {
    // A destructor must not throw: a store that cannot be written keeps its last placement.
    try {
        Save();
    } catch (const Exception&) {
    }
}

std::string TmlFormStorage::RootFileName(TMyHKeyType root) {
    const std::string folder =
        FromQString(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    return folder + "/Vornix/Registry/" + kRootNames.at(static_cast<size_t>(root)) + ".ini";
}

void TmlFormStorage::Loaded() {
    QObject* form = parent();
    const std::string section = SectionOf(SubKey);
    if (!Active || form == nullptr || section.empty())
        return;
    const TIniFile ini(RootFileName(RegRootKey));
    if (!ini.SectionExists(section))
        return;
    const std::string state = ini.ReadString(section, "State", "");
    if (state.empty())
        return;
    // A value that is missing or no number leaves that part of the placement as it is.
    const std::optional<int32_t> top = ReadInteger(ini, section, "Top");
    const std::optional<int32_t> left = ReadInteger(ini, section, "Left");
    const std::optional<int32_t> height = ReadInteger(ini, section, "Height");
    const std::optional<int32_t> width = ReadInteger(ini, section, "Width");
    if (top || left) {
        QPoint pos = form->property("pos").toPoint();
        pos = QPoint(left.value_or(pos.x()), top.value_or(pos.y()));
        form->setProperty("pos", pos);
    }
    if (height || width) {
        QSize size = form->property("size").toSize();
        size = QSize(width.value_or(size.width()), height.value_or(size.height()));
        form->setProperty("size", size);
    }
    if (const int windowState = StateOf(state); windowState >= 0)
        form->setProperty("WindowState", windowState);
}

void TmlFormStorage::Save() const {
    QObject* form = parent();
    const std::string section = SectionOf(SubKey);
    // Read through the plain window's properties: when the form goes, its own class has
    // already ended before the parts it owns do.
    if (!Active || form == nullptr || section.empty() || !form->property("pos").isValid())
        return;
    const std::string fileName = RootFileName(RegRootKey);
    ForceDirectories(ExtractFileDir(fileName));
    TIniFile ini(fileName);
    const bool minimized = form->property("minimized").toBool();
    const bool maximized = form->property("maximized").toBool();
    ini.WriteString(section, "State", minimized ? "Minimized" : maximized ? "Maximized" : "Normal");
    if (!minimized && !maximized) {
        const QPoint pos = form->property("pos").toPoint();
        const QSize size = form->property("size").toSize();
        ini.WriteString(section, "Top", IntToStr(pos.y()));
        ini.WriteString(section, "Left", IntToStr(pos.x()));
        ini.WriteString(section, "Height", IntToStr(size.height()));
        ini.WriteString(section, "Width", IntToStr(size.width()));
    }
    ini.UpdateFile();
}

} // namespace vx
