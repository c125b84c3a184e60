#include "platform/graphics/TextMetrics.h"

#include "platform/graphics/FontFace.h"
#include "platform/runtime/Cp1252.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/Strings.h"

#include <QByteArray>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QString>
#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <utility>

namespace vx {

namespace {

bool fixedMetrics = false;

const char* const kFontFolders[] = {
    "/usr/share/fonts/truetype/liberation2/",
    "/usr/share/fonts/truetype/liberation/",
};

uint16_t BigEndian16(const QByteArray& table, int offset) {
    if (offset + 2 > table.size())
        return 0;
    return static_cast<uint16_t>((uint8_t(table[offset]) << 8) | uint8_t(table[offset + 1]));
}

FontFace LoadFace(const std::string& file) {
    FontFace face;
    if (file.empty())
        return face;
    QRawFont probe(QString::fromStdString(file), 12, QFont::PreferNoHinting);
    if (!probe.isValid())
        return face;
    face.UnitsPerEm = probe.unitsPerEm();
    face.Raw = QRawFont(QString::fromStdString(file), face.UnitsPerEm, QFont::PreferNoHinting);
    const QByteArray os2 = face.Raw.fontTable("OS/2");
    // usWinAscent and usWinDescent sit at bytes 74 and 76 of every version of the table.
    face.WinAscent = BigEndian16(os2, 74);
    face.WinDescent = BigEndian16(os2, 76);
    if (face.WinAscent + face.WinDescent == 0) {
        face.WinAscent = static_cast<int32_t>(std::lround(face.Raw.ascent()));
        face.WinDescent = static_cast<int32_t>(std::lround(face.Raw.descent()));
    }
    QString all;
    for (int c = 0; c < 256; ++c)
        all += QChar(Cp1252ToUnicode(static_cast<unsigned char>(c)));
    const QList<quint32> glyphs = face.Raw.glyphIndexesForString(all);
    if (glyphs.size() != 256)
        return face;
    const QList<QPointF> advances =
        face.Raw.advancesForGlyphIndexes(glyphs, QRawFont::UseDesignMetrics);
    for (int c = 0; c < 256; ++c) {
        face.Glyphs[c] = glyphs[c];
        face.Advances[c] = advances.value(c).x();
        const QRectF ink = face.Raw.boundingRect(glyphs[c]);
        face.InkAbove[c] = -ink.top();
        face.InkBelow[c] = ink.bottom();
    }
    return face;
}

std::mutex faceMutex;

} // namespace

std::string FontFileFor(const LOGFONTA& font) {
    const std::string name = UpperCase(font.FaceName());
    std::string family = "LiberationSans";
    if (name == "TIMES NEW ROMAN")
        family = "LiberationSerif";
    else if (name == "COURIER NEW")
        family = "LiberationMono";
    const bool bold = font.lfWeight >= 600;
    const bool italic = font.lfItalic != 0;
    const char* style = bold && italic ? "-BoldItalic"
                        : bold         ? "-Bold"
                        : italic       ? "-Italic"
                                       : "-Regular";
    // Every text drawn asks for its file: the file system is asked once per face and style.
    static std::map<std::string, std::string> found;
    static std::mutex foundMutex;
    const std::string key = family + style;
    std::lock_guard lock(foundMutex);
    auto it = found.find(key);
    if (it != found.end())
        return it->second;
    std::string result;
    for (const char* folder : kFontFolders) {
        const std::string file = std::string(folder) + key + ".ttf";
        if (QFile::exists(QString::fromStdString(file))) {
            result = file;
            break;
        }
    }
    return found.emplace(key, result).first->second;
}

const FontFace& FaceFor(const LOGFONTA& font) {
    static std::map<std::string, FontFace> faces;
    const std::string file = FontFileFor(font);
    std::lock_guard lock(faceMutex);
    auto it = faces.find(file);
    if (it == faces.end())
        it = faces.emplace(file, LoadFace(file)).first;
    return it->second;
}

QRawFont RawFontAt(const LOGFONTA& font, double em) {
    static std::map<std::pair<std::string, double>, QRawFont> sized;
    const FontFace& face = FaceFor(font);
    if (!face.Valid())
        return {};
    const auto key = std::make_pair(FontFileFor(font), em);
    std::lock_guard lock(faceMutex);
    auto it = sized.find(key);
    if (it == sized.end()) {
        if (sized.size() > 256)
            sized.clear();
        QRawFont raw = face.Raw;
        raw.setPixelSize(em);
        it = sized.emplace(key, raw).first;
    }
    return it->second;
}

QRawFont VectorRawFontAt(const LOGFONTA& font, double em) {
    static std::map<std::string, QRawFont> registered;
    const FontFace& face = FaceFor(font);
    if (!face.Valid())
        return {};
    const std::string file = FontFileFor(font);
    QRawFont base;
    {
        std::lock_guard lock(faceMutex);
        auto it = registered.find(file);
        if (it == registered.end()) {
            const int id = QFontDatabase::addApplicationFont(QString::fromStdString(file));
            const QStringList families = QFontDatabase::applicationFontFamilies(id);
            QRawFont raw;
            if (!families.isEmpty()) {
                QFont f(families.front());
                f.setStyleName(face.Raw.styleName());
                f.setPixelSize(100);
                f.setHintingPreference(QFont::PreferNoHinting);
                raw = QRawFont::fromFont(f);
                QString all;
                for (int c = 0; c < 256; ++c)
                    all += QChar(Cp1252ToUnicode(static_cast<unsigned char>(c)));
                const QList<quint32> glyphs = raw.glyphIndexesForString(all);
                bool same = glyphs.size() == 256 && raw.styleName() == face.Raw.styleName();
                for (int c = 0; same && c < 256; ++c)
                    same = glyphs[c] == face.Glyphs[c];
                if (!same)
                    raw = QRawFont();
            }
            it = registered.emplace(file, raw).first;
        }
        base = it->second;
    }
    if (!base.isValid())
        return RawFontAt(font, em);
    // A new size makes a new font engine: each size is made once.
    static std::map<std::pair<std::string, double>, QRawFont> sized;
    const auto key = std::make_pair(file, em);
    std::lock_guard lock(faceMutex);
    auto it = sized.find(key);
    if (it == sized.end()) {
        if (sized.size() > 256)
            sized.clear();
        base.setPixelSize(em);
        it = sized.emplace(key, base).first;
    }
    return it->second;
}

namespace {

// A height of 0 asks for the platform's default size: 8 points on a 96-dpi screen.
constexpr double kDefaultEm = 11;
// A stored font may ask for any height; glyphs are made no larger than 1000 points on a
// 1200-dpi printer, which is taller than the largest paper.
constexpr double kLargestEm = 16667;

double EmOf(const LOGFONTA& font, const FontFace& face) {
    double em = font.lfHeight;
    if (font.lfHeight < 0)
        em = -static_cast<double>(font.lfHeight);
    else if (font.lfHeight == 0)
        em = kDefaultEm;
    else if (face.Valid() && face.WinAscent + face.WinDescent != 0)
        em = font.lfHeight * double(face.UnitsPerEm) / (face.WinAscent + face.WinDescent);
    return std::min(em, kLargestEm);
}

int32_t RoundPixels(double v) {
    return static_cast<int32_t>(Round(v));
}

} // namespace

TFontMetrics MeasureFont(const LOGFONTA& font) {
    const FontFace& face = FaceFor(font);
    TFontMetrics m;
    m.Em = EmOf(font, face);
    if (fixedMetrics || !face.Valid()) {
        m.Ascent = RoundPixels(m.Em * 0.8);
        m.Descent = RoundPixels(m.Em * 0.2);
        return m;
    }
    m.Ascent = RoundPixels(m.Em * face.WinAscent / face.UnitsPerEm);
    m.Descent = RoundPixels(m.Em * face.WinDescent / face.UnitsPerEm);
    return m;
}

void TextAdvances(const LOGFONTA& font, std::string_view text, int32_t* advances) {
    const FontFace& face = FaceFor(font);
    const double em = EmOf(font, face);
    if (fixedMetrics || !face.Valid()) {
        const int32_t w = RoundPixels(em * 0.5);
        for (size_t i = 0; i < text.size(); ++i)
            advances[i] = w;
        return;
    }
    const double scale = em / face.UnitsPerEm;
    for (size_t i = 0; i < text.size(); ++i)
        advances[i] = RoundPixels(face.Advances[static_cast<uint8_t>(text[i])] * scale);
}

int32_t TextWidth(const LOGFONTA& font, std::string_view text) {
    const FontFace& face = FaceFor(font);
    const double em = EmOf(font, face);
    if (fixedMetrics || !face.Valid())
        return static_cast<int32_t>(text.size()) * RoundPixels(em * 0.5);
    const double scale = em / face.UnitsPerEm;
    int32_t width = 0;
    for (char c : text)
        width += RoundPixels(face.Advances[static_cast<uint8_t>(c)] * scale);
    return width;
}

void SetFixedTextMetrics(bool on) {
    fixedMetrics = on;
}

bool FixedTextMetrics() {
    return fixedMetrics;
}

} // namespace vx
