#pragma once

#include "platform/graphics/Canvas.h"
#include "platform/graphics/DeviceCaps.h"
#include "platform/graphics/Metafile.h"
#include "platform/runtime/Exceptions.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vx {

class EPrinter : public Exception {
    using Exception::Exception;
};

enum TPrinterOrientation : uint8_t { poPortrait, poLandscape };

// A printer as the engine sees it: its capabilities in the current orientation and a print
// job whose canvas records each sheet; a finished sheet goes to the device as a metafile of
// HORZRES x VERTRES, drawn from the corner of the printable area.
class PrinterDevice {
public:
    virtual ~PrinterDevice();

    virtual std::string Name() const = 0;

    TPrinterOrientation Orientation() const { return orientation_; }
    // Raises EPrinter "Printing in progress" during a job.
    void SetOrientation(TPrinterOrientation orientation);
    // Cached per orientation.
    const TDeviceCaps& Caps() const;
    int32_t GetDeviceCaps(int index) const { return Caps().Get(index); }

    // The job's title as the print queue shows it.
    std::string Title;
    bool Printing() const { return canvas_ != nullptr; }
    bool Aborted() const { return aborted_; }
    // 1-based number of the sheet being drawn.
    int PageNumber() const { return pageNumber_; }

    void BeginDoc();
    void NewPage();
    void EndDoc();
    void Abort();
    // The sheet being drawn; raises EPrinter "Printer is not currently printing" outside a job.
    TCanvas& Canvas();

    // True while a TPrintBatch is open on this printer.
    bool InBatch() const { return batchDepth_ > 0; }

protected:
    PrinterDevice() = default;
    // Capabilities in portrait; landscape swaps them unless the device says otherwise.
    virtual TDeviceCaps PortraitCaps() const = 0;
    virtual TDeviceCaps LandscapeCaps() const { return PortraitCaps().Swapped(); }
    virtual void StartJob() = 0;
    virtual void EmitPage(const Metafile& sheet) = 0;
    virtual void FinishJob() = 0;
    virtual void AbortJob() {}
    // The outermost batch opens and closes; commit is false when it was aborted. A device
    // that has nothing to gather ignores both.
    virtual void StartBatch() {}
    virtual void FinishBatch(bool commit) { (void)commit; }

private:
    friend class TPrintBatch;
    void OpenSheet();
    void CloseSheet();

    TPrinterOrientation orientation_ = poPortrait;
    mutable std::optional<TDeviceCaps> caps_[2];
    Metafile sheet_;
    std::unique_ptr<TMetafileCanvas> canvas_;
    int pageNumber_ = 0;
    bool aborted_ = false;
    int batchDepth_ = 0;
    bool batchAborted_ = false;
};

// One print as the user asked for it, made of one or more jobs (a document starts a new job
// at each change of orientation). While a batch is open, a device that writes files gathers
// every job into one file, which takes the place of the old one when the batch closes; an
// aborted batch (Abort, an exception on the way, or an aborted job) leaves the old file.
// Batches nest: an inner one joins the outer.
class TPrintBatch {
public:
    explicit TPrintBatch(PrinterDevice& printer);
    // Closes the batch when Close was not called; an error then is swallowed, so callers
    // that must report one call Close.
    ~TPrintBatch();
    TPrintBatch(const TPrintBatch&) = delete;
    TPrintBatch& operator=(const TPrintBatch&) = delete;

    // Ends the batch; raises EPrinter when the device cannot put its output in place.
    void Close();
    void Abort() { aborted_ = true; }

private:
    PrinterDevice* printer_;
    int exceptions_;
    bool aborted_ = false;
    bool closed_ = false;
};

// Lists the printers that the program offers. The program installs the system provider
// (CUPS queues, then the built-in "Vornix PDF") at start-up; tests install their own.
class PrinterProvider {
public:
    virtual ~PrinterProvider() = default;
    virtual std::vector<std::shared_ptr<PrinterDevice>> ListPrinters() = 0;
};

// Replaces the provider and takes its list anew; the first printer becomes current.
void InstallPrinterProvider(std::shared_ptr<PrinterProvider> provider);
// The printers of the installed provider (empty without one).
const std::vector<std::shared_ptr<PrinterDevice>>& Printers();
// The place of the current printer in Printers(), -1 when there is none.
int PrinterIndex();
// Raises EPrinter "Printer selected is not valid" for an index outside the list.
void SetPrinterIndex(int index);
// The current printer; raises EPrinter "There is no default printer currently selected".
PrinterDevice& Printer();

// A printer for tests: "VP-A4-600" is A4 at 600 dpi (paper 4960 x 7016, offsets 100/100,
// printable 4760 x 6816); it keeps every job's sheets.
class VirtualPrinter : public PrinterDevice {
public:
    struct Job {
        std::string Title;
        TPrinterOrientation Orientation = poPortrait;
        std::vector<Metafile> Pages;
        bool Aborted = false;
    };
    // The jobs FirstJob .. FirstJob + JobCount - 1 were printed in one batch.
    struct Batch {
        size_t FirstJob = 0;
        size_t JobCount = 0;
        bool Committed = false;
    };

    explicit VirtualPrinter(std::string name = "VP-A4-600");
    std::string Name() const override { return name_; }
    const std::vector<Job>& Jobs() const { return jobs_; }
    const std::vector<Batch>& Batches() const { return batches_; }
    void ClearJobs() {
        jobs_.clear();
        batches_.clear();
    }

protected:
    TDeviceCaps PortraitCaps() const override;
    void StartJob() override;
    void EmitPage(const Metafile& sheet) override;
    void FinishJob() override {}
    void AbortJob() override;
    void StartBatch() override;
    void FinishBatch(bool commit) override;

private:
    std::string name_;
    std::vector<Job> jobs_;
    std::vector<Batch> batches_;
};

// A provider with a fixed list, for tests (an empty list stands for a machine without
// printers).
class FixedPrinterProvider : public PrinterProvider {
public:
    explicit FixedPrinterProvider(std::vector<std::shared_ptr<PrinterDevice>> printers)
        : printers_(std::move(printers)) {}
    std::vector<std::shared_ptr<PrinterDevice>> ListPrinters() override { return printers_; }

private:
    std::vector<std::shared_ptr<PrinterDevice>> printers_;
};

} // namespace vx
