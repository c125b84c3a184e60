#pragma once

#include "platform/graphics/Metafile.h"

#include <memory>
#include <string>

class QIODevice;

namespace vx {

// Our own PDF writer for metafile sheets. A sheet of a table holds hundreds of texts; a
// general painter engine writes every glyph with its own position and state, and compresses
// ten times what the sheet needs. Here a text is one string in a font whose widths are the
// rounded advances we lay text out with, lines stay in device pixels, and state is written
// only when it changes. Fonts are embedded with the glyphs used, once, at the end.
class PdfWriter {
public:
    // Writes to `device` as it goes; the device must stay open until Finish.
    explicit PdfWriter(QIODevice& device);
    ~PdfWriter();
    PdfWriter(const PdfWriter&) = delete;
    PdfWriter& operator=(const PdfWriter&) = delete;

    // cp1252 texts for the document information.
    void SetTitle(const std::string& title);
    void SetCreator(const std::string& creator);

    // A page of `width` x `height` points, drawn on in pixels of `dotsPerInch`, y downwards.
    void BeginPage(double width, double height, int dotsPerInch);
    // Plays `metafile` stretched onto the rectangle in pixels of the page.
    void Play(const Metafile& metafile, double left, double top, double width, double height);
    void EndPage();

    // Writes what the pages share and the file's tables; false when the device failed a write.
    bool Finish();
    int PageCount() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

} // namespace vx
