#include "platform/graphics/PdfPrinter.h"

#include "platform/graphics/PainterCanvas.h"
#include "platform/runtime/Cp1252.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <cerrno>
#include <malloc.h>

#include <optional>

namespace vx {

struct PdfPrinter::Output {
    explicit Output(const QString& path) : File(path), Writer(&File) {}
    QSaveFile File;
    QPdfWriter Writer;
    QPainter Painter;
    int Pages = 0;
};

namespace {

// The file of a TPdfOutputScope; none outside one.
std::optional<std::string>& OutputOverride() {
    static std::optional<std::string> path;
    return path;
}

QPageLayout A4Layout(TPrinterOrientation orientation) {
    return QPageLayout(QPageSize(QPageSize::A4),
                       orientation == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0));
}

} // namespace

void KeepPageBuffersInHeap() {
    static const bool kept = [] {
        // Above the writer's buffers, and freed memory kept for the next page.
        mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
        mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
        return true;
    }();
    (void)kept;
}

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
    KeepPageBuffersInHeap();
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
    out->Writer.setResolution(600);
    out->Writer.setPageLayout(A4Layout(jobOrientation_));
    out->Writer.setTitle(ToQString(Title));
    out->Writer.setCreator("Vornix");
    if (!out->Painter.begin(&out->Writer))
        throw EPrinter("Cannot create file \"" + path + "\"");
    output_ = std::move(out);
}

void PdfPrinter::Close(bool commit) {
    if (!output_)
        return;
    std::unique_ptr<Output> out = std::move(output_);
    out->Painter.end();
    if (!commit) {
        out->File.cancelWriting();
        return;
    }
    if (!out->File.commit()) {
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
    Output& out = *output_;
    if (out.Pages > 0) {
        // The layout set before newPage is the next page's.
        out.Writer.setPageLayout(A4Layout(jobOrientation_));
        out.Writer.newPage();
    }
    ++out.Pages;
    const TDeviceCaps& caps = Caps();
    PlayMetafile(out.Painter, sheet,
                 QRectF(caps.PhysicalOffsetX, caps.PhysicalOffsetY, sheet.Width(), sheet.Height()));
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
