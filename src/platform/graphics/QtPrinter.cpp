#include "platform/graphics/QtPrinter.h"

#include "platform/graphics/PainterCanvas.h"
#include "platform/runtime/Cp1252.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <malloc.h>

namespace vx {

namespace {

// Qt's PDF engine, behind a queue's printing, takes two buffers of 10 MB for every page. The
// allocator's default maps and unmaps buffers that large at each page, and filling fresh pages
// of memory costs more than drawing a table sheet: from the first print on they stay in the
// heap.
void KeepPageBuffersInHeap() {
    static const bool kept = [] {
        mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
        mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
        return true;
    }();
    (void)kept;
}

} // namespace

QtPrinterDevice::QtPrinterDevice(const QPrinterInfo& info) : info_(info) {}

QtPrinterDevice::~QtPrinterDevice() {
    if (painter_ && painter_->isActive())
        painter_->end();
}

std::string QtPrinterDevice::Name() const {
    return Utf8ToCp1252(info_.printerName().toStdString());
}

TDeviceCaps QtPrinterDevice::CapsIn(TPrinterOrientation orientation) const {
    QPrinter printer(info_, QPrinter::HighResolution);
    printer.setPageOrientation(orientation == poLandscape ? QPageLayout::Landscape
                                                          : QPageLayout::Portrait);
    const int dpi = printer.resolution();
    const QPageLayout layout = printer.pageLayout();
    const QRect full = layout.fullRectPixels(dpi);
    const QRect paint = layout.paintRectPixels(dpi);
    TDeviceCaps c;
    c.PhysicalWidth = full.width();
    c.PhysicalHeight = full.height();
    c.PhysicalOffsetX = paint.left();
    c.PhysicalOffsetY = paint.top();
    c.HorzRes = paint.width();
    c.VertRes = paint.height();
    c.LogPixelsX = c.LogPixelsY = dpi;
    return c;
}

TDeviceCaps QtPrinterDevice::PortraitCaps() const {
    return CapsIn(poPortrait);
}

TDeviceCaps QtPrinterDevice::LandscapeCaps() const {
    return CapsIn(poLandscape);
}

void QtPrinterDevice::StartJob() {
    KeepPageBuffersInHeap();
    auto printer = std::make_unique<QPrinter>(info_, QPrinter::HighResolution);
    printer->setDocName(ToQString(Title));
    printer->setPageOrientation(Orientation() == poLandscape ? QPageLayout::Landscape
                                                             : QPageLayout::Portrait);
    // Painter coordinates from the paper's corner, as page units are.
    printer->setFullPage(true);
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(printer.get()))
        throw EPrinter("Printer " + Name() + " cannot print");
    printer_ = std::move(printer);
    painter_ = std::move(painter);
    pages_ = 0;
}

void QtPrinterDevice::EmitPage(const Metafile& sheet) {
    if (!painter_)
        return;
    if (pages_++ > 0)
        printer_->newPage();
    const TDeviceCaps& caps = Caps();
    PlayMetafile(*painter_, sheet,
                 QRectF(caps.PhysicalOffsetX, caps.PhysicalOffsetY, sheet.Width(), sheet.Height()));
}

void QtPrinterDevice::FinishJob() {
    const bool ended = painter_ && painter_->end();
    painter_.reset();
    printer_.reset();
    if (!ended)
        throw EPrinter("Printer " + Name() + " cannot print");
}

void QtPrinterDevice::AbortJob() {
    if (printer_)
        printer_->abort();
    if (painter_ && painter_->isActive())
        painter_->end();
    painter_.reset();
    printer_.reset();
}

SystemPrinterProvider::SystemPrinterProvider(TOutputPathFunction outputPath)
    : outputPath_(std::move(outputPath)) {}

std::vector<std::shared_ptr<PrinterDevice>> SystemPrinterProvider::ListPrinters() {
    std::vector<std::shared_ptr<PrinterDevice>> list;
    for (const QPrinterInfo& info : QPrinterInfo::availablePrinters()) {
        // A queue whose name the program's texts cannot hold could not be chosen again.
        if (!IsCp1252Representable(info.printerName().toStdString()))
            continue;
        list.push_back(std::make_shared<QtPrinterDevice>(info));
    }
    list.push_back(std::make_shared<PdfPrinter>(outputPath_));
    return list;
}

} // namespace vx
