#include "platform/graphics/PdfPrinter.h"

#include "platform/graphics/PdfWriter.h"
#include "platform/runtime/Cp1252.h"

#include <QSaveFile>
#include <cerrno>

#include <optional>

namespace vx {

struct PdfPrinter::Output {
    explicit Output(const QString& path) : File(path) {}
    QSaveFile File;
    std::unique_ptr<PdfWriter> Writer;
};

namespace {

// The file of a TPdfOutputScope; none outside one.
std::optional<std::string>& OutputOverride() {
    static std::optional<std::string> path;
    return path;
}

// A4 in whole points, as readers and the files written before know it.
constexpr double kShortSide = 595;
constexpr double kLongSide = 842;

} // namespace

TPdfOutputScope::TPdfOutputScope(std::string path) : previous_(OutputOverride()) {
    OutputOverride() = std::move(path);
}

TPdfOutputScope::~TPdfOutputScope() {
    OutputOverride() = previous_;
}

PdfPrinter::PdfPrinter(TOutputPathFunction outputPath) : outputPath_(std::move(outputPath)) {}

PdfPrinter::~PdfPrinter() {
    Close(false);
}

TDeviceCaps PdfPrinter::PortraitCaps() const {
    TDeviceCaps c;
    c.PhysicalWidth = c.HorzRes = 4960;
    c.PhysicalHeight = c.VertRes = 7016;
    c.LogPixelsX = c.LogPixelsY = 600;
    return c;
}

void PdfPrinter::Open() {
    const std::string path = OutputOverride() ? *OutputOverride()
                             : outputPath_    ? outputPath_()
                                              : std::string();
    if (path.empty())
        throw EPrinter("No output file is set for " + std::string(kName));
    auto out = std::make_unique<Output>(QString::fromStdString(Cp1252ToUtf8(path)));
    // QSaveFile writes beside the target and renames only on commit.
    if (!out->File.open(QIODevice::WriteOnly)) {
        // The system's reason, while it is still the last one.
        const int error = errno;
        throw EFOpenError::ForFile(path, true, error, FromQString(out->File.errorString()));
    }
    out->Writer = std::make_unique<PdfWriter>(out->File);
    out->Writer->SetTitle(Title);
    out->Writer->SetCreator("Vornix");
    output_ = std::move(out);
}

void PdfPrinter::Close(bool commit) {
    if (!output_)
        return;
    std::unique_ptr<Output> out = std::move(output_);
    if (!commit) {
        out->File.cancelWriting();
        return;
    }
    // A print of no sheets is still a file a reader opens: one empty page.
    if (out->Writer->PageCount() == 0)
        BeginPage(*out->Writer);
    const bool written = out->Writer->Finish();
    if (!written)
        out->File.cancelWriting();
    if (!written || !out->File.commit()) {
        const int error = errno;
        throw EFOpenError::ForFile(FromQString(out->File.fileName()), true, error,
                                   FromQString(out->File.errorString()));
    }
}

void PdfPrinter::StartJob() {
    jobOrientation_ = Orientation();
    if (!output_)
        Open();
}

void PdfPrinter::EmitPage(const Metafile& sheet) {
    if (!output_)
        return;
    PdfWriter& writer = *output_->Writer;
    BeginPage(writer);
    const TDeviceCaps& caps = Caps();
    writer.Play(sheet, caps.PhysicalOffsetX, caps.PhysicalOffsetY, sheet.Width(), sheet.Height());
    writer.EndPage();
}

void PdfPrinter::BeginPage(PdfWriter& writer) const {
    const bool landscape = jobOrientation_ == poLandscape;
    writer.BeginPage(landscape ? kLongSide : kShortSide, landscape ? kShortSide : kLongSide, 600);
}

void PdfPrinter::FinishJob() {
    if (!InBatch())
        Close(true);
}

void PdfPrinter::AbortJob() {
    Close(false);
}

void PdfPrinter::StartBatch() {}

void PdfPrinter::FinishBatch(bool commit) {
    Close(commit);
}

} // namespace vx
