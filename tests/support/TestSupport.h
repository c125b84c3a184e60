#pragma once

#include "platform/runtime/FormatSettings.h"
#include "platform/runtime/UiServices.h"

#include <QTemporaryDir>
#include <string>
#include <string_view>

namespace vx::test {

// "00 7F FF" for golden-byte comparisons.
std::string HexBytes(std::string_view bytes);
// Parses "00 7f FF" (blanks optional) into bytes.
std::string FromHex(std::string_view hex);

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, std::string_view bytes);

// A fresh folder removed at the end of the test; Path() ends in '/'.
class TempDir {
public:
    TempDir();
    std::string Path() const;
    std::string File(std::string_view name) const { return Path() + std::string(name); }

private:
    QTemporaryDir dir_;
};

// Installs scripted UiServices for the scope of a test.
class ScopedUi {
public:
    ScopedUi();
    ~ScopedUi();
    ScriptedUiServices ui;
};

// Restores the program-wide FormatSettings when the test ends.
class ScopedFormatSettings {
public:
    ScopedFormatSettings() : saved_(FormatSettings()) {}
    ~ScopedFormatSettings() {
        FormatSettings() = saved_;
        PublishFormatSettings();
    }

private:
    TFormatSettings saved_;
};

// Makes the virtual printer "VP-A4-600" the only printer, with fresh capabilities and no
// jobs; every test starts with it.
void InstallVirtualPrinter();

// Where tests/<layer>/data/ lies.
std::string DataFile(std::string_view dataDir, std::string_view name);

} // namespace vx::test
