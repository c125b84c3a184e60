#pragma once

#include <string>

namespace vx {

// The program-wide number and date conventions. Seeded from the user's locale at start-up,
// set explicitly by tests. Read and written on the GUI thread only; see PublishFormatSettings.
struct TFormatSettings {
    char DecimalSeparator = '.';
    char ThousandSeparator = ',';
    char DateSeparator = '/';
    char TimeSeparator = ':';
    std::string ShortDateFormat = "dd/mm/yyyy";
    std::string LongDateFormat = "dd mmmm yyyy";
    std::string ShortTimeFormat = "hh:nn";
    std::string LongTimeFormat = "hh:nn:ss";
    std::string TimeAMString = "AM";
    std::string TimePMString = "PM";
};

TFormatSettings& FormatSettings();
// Takes the separators and formats from the system locale (QLocale), and publishes them.
void InitFormatSettingsFromLocale();

// Work on other threads (the TCP command handler's) must not read the live settings while the
// GUI thread may change them: the GUI thread publishes a copy after each change, and those
// threads read that copy, taken under a lock.
void PublishFormatSettings();
TFormatSettings PublishedFormatSettings();

} // namespace vx
