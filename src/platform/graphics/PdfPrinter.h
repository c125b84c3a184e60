#pragma once

#include "platform/graphics/Printer.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace vx {

class PdfWriter;

// Where "Vornix PDF" writes; the program installs it at start-up from its settings (the
// graphics layer reads no settings).
using TOutputPathFunction = std::function<std::string()>;

// For its lifetime every "Vornix PDF" writes to `path` in place of the file its output function
// names: a print the user sent to a file of their choosing. Scopes nest.
class TPdfOutputScope {
public:
    explicit TPdfOutputScope(std::string path);
    ~TPdfOutputScope();
    TPdfOutputScope(const TPdfOutputScope&) = delete;
    TPdfOutputScope& operator=(const TPdfOutputScope&) = delete;

private:
    std::optional<std::string> previous_;
};

// The built-in printer "Vornix PDF": A4 at 600 dpi without an unprintable border. Each job
// is one PDF file put in place of the output file when the job ends; inside a TPrintBatch
// every job goes into one file, each sheet in its job's orientation, titled after the first
// job and put in place when the batch closes. An aborted job or batch keeps the old file.
class PdfPrinter : public PrinterDevice {
public:
    static constexpr const char* kName = "Vornix PDF";

    explicit PdfPrinter(TOutputPathFunction outputPath);
    ~PdfPrinter() override;
    std::string Name() const override { return kName; }

protected:
    TDeviceCaps PortraitCaps() const override;
    void StartJob() override;
    void EmitPage(const Metafile& sheet) override;
    void FinishJob() override;
    void AbortJob() override;
    void StartBatch() override;
    void FinishBatch(bool commit) override;

private:
    struct Output;
    void Open();
    void Close(bool commit);
    void BeginPage(PdfWriter& writer) const;

    TOutputPathFunction outputPath_;
    std::unique_ptr<Output> output_;
    TPrinterOrientation jobOrientation_ = poPortrait;
};

} // namespace vx
