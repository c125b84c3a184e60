#pragma once

// Fingerprints of composed pictures, for comparing them with pictures stored from an earlier
// build: every record with the state it is drawn in (nested pictures included), and the
// pixels of the picture at 96 dpi.

#include "platform/graphics/MetafileData.h"
#include "platform/graphics/PainterCanvas.h"

#include <QCryptographicHash>
#include <QImage>

#include <cstring>
#include <string>

namespace vx::test {

inline void AppendRecords(const Metafile& m, std::string& out) {
    const MetafileData& d = *m.Data();
    out += "frame " + std::to_string(m.Width()) + " " + std::to_string(m.Height()) + "\n";
    MetaDrawState state;
    auto ints = [&](const MetaRecord& r, size_t n) {
        for (size_t i = 0; i < n; ++i)
            out += " " + std::to_string(d.Ints[r.Offset + i]);
    };
    for (const MetaRecord& r : d.Records) {
        if (state.Take(d, r))
            continue;
        const TPen& pen = *state.Pen;
        const TBrush& brush = *state.Brush;
        const MetaTextState& text = *state.Text;
        out += std::to_string(int(r.Kind)) + " pen " + std::to_string(pen.Color) + " " +
               std::to_string(pen.Width) + " " + std::to_string(int(pen.Style)) + " " +
               std::to_string(int(pen.Mode)) + " brush " + std::to_string(brush.Color) + " " +
               std::to_string(int(brush.Style));
        switch (r.Kind) {
        case MetaRecordKind::Polyline:
        case MetaRecordKind::Polygon:
            ints(r, 2 * size_t(r.Count));
            break;
        case MetaRecordKind::Text:
        case MetaRecordKind::ClippedText: {
            std::string font(sizeof(LOGFONTA), '\0');
            std::memcpy(font.data(), &text.Font, sizeof(LOGFONTA));
            out += " text " + std::to_string(text.Color) + " " + std::to_string(text.Align) + " " +
                   QByteArray::fromStdString(font).toHex().toStdString() + " [" + d.Texts[r.Index] +
                   "]";
            ints(r, r.Kind == MetaRecordKind::Text ? 2 : 6);
            break;
        }
        case MetaRecordKind::DrawMetafile:
            ints(r, 4);
            out += " {\n";
            AppendRecords(d.Metafiles[r.Index], out);
            out += "}";
            break;
        case MetaRecordKind::DrawBitmap:
            ints(r, 8);
            break;
        default:
            ints(r, 4);
            break;
        }
        out += "\n";
    }
}

inline std::string Sha1(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex().toStdString();
}

inline std::string RecordsDigest(const Metafile& m) {
    std::string dump;
    AppendRecords(m, dump);
    return Sha1(QByteArray::fromStdString(dump));
}

// The picture at 96 dpi of a frame recorded at dpi.
inline std::string PixelsDigest(const Metafile& m, int dpi) {
    const QImage image = RenderMetafile(m, m.Width() * 96 / dpi, m.Height() * 96 / dpi, clWhite);
    return Sha1(QByteArray(reinterpret_cast<const char*>(image.constBits()),
                           static_cast<qsizetype>(image.sizeInBytes())));
}

inline std::string SheetDigest(const Metafile& m, int dpi) {
    return RecordsDigest(m) + " " + PixelsDigest(m, dpi);
}

} // namespace vx::test
