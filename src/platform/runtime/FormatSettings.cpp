#include "platform/runtime/FormatSettings.h"

#include "platform/runtime/Cp1252.h"

#include <QLocale>

#include <mutex>

namespace vx {

TFormatSettings& FormatSettings() {
    static TFormatSettings settings;
    return settings;
}

namespace {

struct TPublished {
    std::mutex Mutex;
    TFormatSettings Settings;
};

TPublished& Published() {
    static TPublished published;
    return published;
}

} // namespace

void PublishFormatSettings() {
    const TFormatSettings copy = FormatSettings();
    TPublished& p = Published();
    std::lock_guard lock(p.Mutex);
    p.Settings = copy;
}

TFormatSettings PublishedFormatSettings() {
    TPublished& p = Published();
    std::lock_guard lock(p.Mutex);
    return p.Settings;
}

static char SingleByte(const QString& s, char fallback) {
    const std::string b = FromQString(s);
    return b.size() == 1 ? b[0] : fallback;
}

void InitFormatSettingsFromLocale() {
    const QLocale locale = QLocale::system();
    TFormatSettings& fs = FormatSettings();
    fs.DecimalSeparator = SingleByte(locale.decimalPoint(), '.');
    fs.ThousandSeparator = SingleByte(locale.groupSeparator(), ',');
    fs.TimeAMString = FromQString(locale.amText());
    fs.TimePMString = FromQString(locale.pmText());
    // The date order follows the locale; the separators are those it writes between fields.
    const QString shortDate = locale.dateFormat(QLocale::ShortFormat);
    for (QChar c : shortDate) {
        if (!c.isLetter()) {
            fs.DateSeparator = SingleByte(QString(c), '/');
            break;
        }
    }
    const QString lower = shortDate.toLower();
    const auto d = lower.indexOf('d'), m = lower.indexOf('m'), y = lower.indexOf('y');
    if (y >= 0 && y < m && m < d)
        fs.ShortDateFormat = "yyyy/mm/dd";
    else if (m >= 0 && m < d)
        fs.ShortDateFormat = "mm/dd/yyyy";
    else
        fs.ShortDateFormat = "dd/mm/yyyy";
    PublishFormatSettings();
}

} // namespace vx
