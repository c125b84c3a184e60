#pragma once

#include "platform/graphics/Printer.h"
#include "support/TestSupport.h"

#include <memory>

namespace vx::test {

// A printer of any resolution, for scaling rules.
class DpiPrinter : public VirtualPrinter {
public:
    explicit DpiPrinter(int32_t dpi) : VirtualPrinter("DPI"), dpi_(dpi) {}

protected:
    TDeviceCaps PortraitCaps() const override {
        TDeviceCaps c = VirtualPrinter::PortraitCaps();
        c.LogPixelsX = c.LogPixelsY = dpi_;
        return c;
    }

private:
    int32_t dpi_;
};

// Installs one printer for the scope of a test.
class ScopedPrinter {
public:
    explicit ScopedPrinter(std::shared_ptr<PrinterDevice> printer) {
        InstallPrinterProvider(std::make_shared<FixedPrinterProvider>(
            std::vector<std::shared_ptr<PrinterDevice>>{std::move(printer)}));
    }
    ~ScopedPrinter() { InstallVirtualPrinter(); }
};

} // namespace vx::test
