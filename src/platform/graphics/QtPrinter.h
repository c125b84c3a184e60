#pragma once

#include "platform/graphics/PdfPrinter.h"
#include "platform/graphics/Printer.h"

#include <QPrinterInfo>
#include <memory>

class QPainter;
class QPrinter;

namespace vx {

// A print queue of the system (a CUPS destination) at the device's own resolution. Its
// capabilities come from the queue's page layout: the paper, the printable part and the
// offsets of that part; each sheet is played at the printable corner of the paper.
class QtPrinterDevice : public PrinterDevice {
public:
    explicit QtPrinterDevice(const QPrinterInfo& info);
    ~QtPrinterDevice() override;
    std::string Name() const override;

protected:
    TDeviceCaps PortraitCaps() const override;
    TDeviceCaps LandscapeCaps() const override;
    void StartJob() override;
    void EmitPage(const Metafile& sheet) override;
    void FinishJob() override;
    void AbortJob() override;

private:
    TDeviceCaps CapsIn(TPrinterOrientation orientation) const;

    QPrinterInfo info_;
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QPainter> painter_;
    int pages_ = 0;
};

// The printers the program offers: every CUPS destination, then "Vornix PDF" writing to
// the path that outputPath gives at each print.
class SystemPrinterProvider : public PrinterProvider {
public:
    explicit SystemPrinterProvider(TOutputPathFunction outputPath);
    std::vector<std::shared_ptr<PrinterDevice>> ListPrinters() override;

private:
    TOutputPathFunction outputPath_;
};

} // namespace vx
