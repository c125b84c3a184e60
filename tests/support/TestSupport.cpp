#include "TestSupport.h"

#include "platform/graphics/Printer.h"
#include "platform/runtime/Streams.h"

#include <stdexcept>

namespace vx::test {

std::string HexBytes(std::string_view bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char b : bytes) {
        if (!out.empty())
            out += ' ';
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

std::string FromHex(std::string_view hex) {
    std::string out;
    int nibble = -1;
    for (char c : hex) {
        int v;
        if (c >= '0' && c <= '9')
            v = c - '0';
        else if (c >= 'a' && c <= 'f')
            v = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            v = c - 'A' + 10;
        else if (c == ' ' || c == '\n')
            continue;
        else
            throw std::invalid_argument("bad hex");
        if (nibble < 0) {
            nibble = v;
        } else {
            out += static_cast<char>(nibble * 16 + v);
            nibble = -1;
        }
    }
    if (nibble >= 0)
        throw std::invalid_argument("odd hex");
    return out;
}

std::string ReadFile(const std::string& path) {
    return ReadWholeFile(path);
}

void WriteFile(const std::string& path, std::string_view bytes) {
    TFileStream f(path, fmCreate);
    f.WriteBuffer(bytes.data(), bytes.size());
}

TempDir::TempDir() {
    if (!dir_.isValid())
        throw std::runtime_error("no temporary folder");
}

std::string TempDir::Path() const {
    return dir_.path().toStdString() + "/";
}

static UiServices* previousUi = nullptr;

ScopedUi::ScopedUi() {
    previousUi = &Ui();
    SetUiServices(&ui);
}

ScopedUi::~ScopedUi() {
    SetUiServices(previousUi);
}

std::string DataFile(std::string_view dataDir, std::string_view name) {
    return std::string(dataDir) + "/" + std::string(name);
}

void InstallVirtualPrinter() {
    InstallPrinterProvider(std::make_shared<FixedPrinterProvider>(
        std::vector<std::shared_ptr<PrinterDevice>>{std::make_shared<VirtualPrinter>()}));
}

} // namespace vx::test
