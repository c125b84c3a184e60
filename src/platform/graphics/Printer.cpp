#include "platform/graphics/Printer.h"

#include <exception>

namespace vx {

PrinterDevice::~PrinterDevice() = default;

void PrinterDevice::SetOrientation(TPrinterOrientation orientation) {
    if (Printing())
        throw EPrinter("Printing in progress");
    orientation_ = orientation;
}

const TDeviceCaps& PrinterDevice::Caps() const {
    auto& slot = caps_[orientation_ == poLandscape ? 1 : 0];
    if (!slot)
        slot = orientation_ == poLandscape ? LandscapeCaps() : PortraitCaps();
    return *slot;
}

void PrinterDevice::BeginDoc() {
    if (Printing())
        throw EPrinter("Printing in progress");
    aborted_ = false;
    pageNumber_ = 1;
    StartJob();
    OpenSheet();
}

void PrinterDevice::NewPage() {
    if (!Printing())
        throw EPrinter("Printer is not currently printing");
    CloseSheet();
    ++pageNumber_;
    OpenSheet();
}

void PrinterDevice::EndDoc() {
    if (!Printing())
        throw EPrinter("Printer is not currently printing");
    CloseSheet();
    FinishJob();
}

void PrinterDevice::Abort() {
    if (!Printing())
        return;
    canvas_.reset();
    sheet_.Clear();
    aborted_ = true;
    if (InBatch())
        batchAborted_ = true;
    AbortJob();
}

TCanvas& PrinterDevice::Canvas() {
    if (!Printing())
        throw EPrinter("Printer is not currently printing");
    return *canvas_;
}

void PrinterDevice::OpenSheet() {
    const TDeviceCaps& caps = Caps();
    sheet_.Clear();
    sheet_.SetSize(caps.HorzRes, caps.VertRes);
    canvas_ = std::make_unique<TMetafileCanvas>(sheet_, caps);
}

void PrinterDevice::CloseSheet() {
    canvas_.reset();
    // The device still gets the sheet when the canvas is dropped by an exception in EmitPage.
    const Metafile sheet = sheet_;
    sheet_.Clear();
    EmitPage(sheet);
}

TPrintBatch::TPrintBatch(PrinterDevice& printer)
    : printer_(&printer), exceptions_(std::uncaught_exceptions()) {
    if (printer_->batchDepth_++ == 0) {
        printer_->batchAborted_ = false;
        printer_->StartBatch();
    }
}

TPrintBatch::~TPrintBatch() {
    if (std::uncaught_exceptions() > exceptions_)
        aborted_ = true;
    try {
        Close();
    } catch (...) {
        // The error of a batch closed by the destructor has no one to go to.
    }
}

void TPrintBatch::Close() {
    if (closed_)
        return;
    closed_ = true;
    // A job still open belongs to the batch: it fails with it.
    if (printer_->Printing())
        printer_->Abort();
    if (aborted_)
        printer_->batchAborted_ = true;
    if (--printer_->batchDepth_ == 0)
        printer_->FinishBatch(!printer_->batchAborted_);
}

namespace {

struct PrinterRegistry {
    std::shared_ptr<PrinterProvider> provider;
    std::vector<std::shared_ptr<PrinterDevice>> printers;
    int index = -1;
};

PrinterRegistry& Registry() {
    static PrinterRegistry registry;
    return registry;
}

} // namespace

void InstallPrinterProvider(std::shared_ptr<PrinterProvider> provider) {
    auto& r = Registry();
    r.provider = std::move(provider);
    r.printers = r.provider ? r.provider->ListPrinters() : decltype(r.printers){};
    r.index = r.printers.empty() ? -1 : 0;
}

const std::vector<std::shared_ptr<PrinterDevice>>& Printers() {
    return Registry().printers;
}

int PrinterIndex() {
    return Registry().index;
}

void SetPrinterIndex(int index) {
    auto& r = Registry();
    if (index < 0 || index >= static_cast<int>(r.printers.size()))
        throw EPrinter("Printer selected is not valid");
    r.index = index;
}

PrinterDevice& Printer() {
    auto& r = Registry();
    if (r.index < 0)
        throw EPrinter("There is no default printer currently selected");
    return *r.printers[static_cast<size_t>(r.index)];
}

VirtualPrinter::VirtualPrinter(std::string name) : name_(std::move(name)) {}

TDeviceCaps VirtualPrinter::PortraitCaps() const {
    TDeviceCaps c;
    c.PhysicalWidth = 4960;
    c.PhysicalHeight = 7016;
    c.PhysicalOffsetX = 100;
    c.PhysicalOffsetY = 100;
    c.HorzRes = 4760;
    c.VertRes = 6816;
    c.LogPixelsX = c.LogPixelsY = 600;
    return c;
}

void VirtualPrinter::StartJob() {
    jobs_.push_back({Title, Orientation(), {}, false});
}

void VirtualPrinter::EmitPage(const Metafile& sheet) {
    jobs_.back().Pages.push_back(sheet);
}

void VirtualPrinter::AbortJob() {
    jobs_.back().Aborted = true;
}

void VirtualPrinter::StartBatch() {
    batches_.push_back({jobs_.size(), 0, false});
}

void VirtualPrinter::FinishBatch(bool commit) {
    Batch& b = batches_.back();
    b.JobCount = jobs_.size() - b.FirstJob;
    b.Committed = commit;
}

} // namespace vx
