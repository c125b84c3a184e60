#include "platform/runtime/DateTime.h"

#include "platform/runtime/Exceptions.h"
#include "platform/runtime/FormatSettings.h"
#include "platform/runtime/Numbers.h"
#include "platform/runtime/Strings.h"

#include <QDateTime>
#include <cmath>
#include <mutex>

namespace vx {

namespace {

constexpr int64_t kMSecsPerDay = 86400000;
// Days from 0001-01-01 to 1899-12-30.
constexpr int64_t kDateDelta = 693594;

std::mutex& ClockMutex() {
    static std::mutex m;
    return m;
}
std::function<TDateTime()>& Clock() {
    static std::function<TDateTime()> clock;
    return clock;
}

bool IsLeapYear(int y) {
    return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0);
}

int DaysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeapYear(y) ? 29 : days[m - 1];
}

TDateTime SystemNow() {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    return EncodeDate(d.year(), d.month(), d.day()) +
           EncodeTime(t.hour(), t.minute(), t.second(), t.msec());
}

// Whole days since 0001-01-01 (day 1) and milliseconds into the day, as the run-time splits
// a TDateTime: the time of a negative value counts forward from its (earlier) date.
void Split(TDateTime value, int64_t& days, int64_t& msecs) {
    if (!std::isfinite(value) || std::fabs(value) > 3e6)
        throw EConvertError("Invalid date/time value");
    const auto total = static_cast<int64_t>(std::llround(value * kMSecsPerDay));
    days = total / kMSecsPerDay + kDateDelta;
    msecs = std::llabs(total) % kMSecsPerDay;
}

} // namespace

TDateTime Now() {
    std::lock_guard<std::mutex> lock(ClockMutex());
    return Clock() ? Clock()() : SystemNow();
}

TDateTime Date() {
    return std::floor(Now());
}

TDateTime Time() {
    return Frac(Now());
}

void SetClock(std::function<TDateTime()> clock) {
    std::lock_guard<std::mutex> lock(ClockMutex());
    Clock() = std::move(clock);
}

bool TryEncodeDate(int year, int month, int day, TDateTime& result) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month))
        return false;
    int64_t dayOfYear = day;
    for (int m = 1; m < month; ++m)
        dayOfYear += DaysInMonth(year, m);
    const int64_t y = year - 1;
    result = static_cast<double>(y * 365 + y / 4 - y / 100 + y / 400 + dayOfYear - kDateDelta);
    return true;
}

bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& result) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
        msec < 0 || msec > 999)
        return false;
    result = (hour * 3600000.0 + minute * 60000.0 + second * 1000.0 + msec) / kMSecsPerDay;
    return true;
}

TDateTime EncodeDate(int year, int month, int day) {
    TDateTime r;
    if (!TryEncodeDate(year, month, day, r))
        throw EConvertError("Invalid argument to date encode");
    return r;
}

TDateTime EncodeTime(int hour, int minute, int second, int msec) {
    TDateTime r;
    if (!TryEncodeTime(hour, minute, second, msec, r))
        throw EConvertError("Invalid argument to time encode");
    return r;
}

void DecodeDate(TDateTime value, int& year, int& month, int& day) {
    int64_t days, msecs;
    Split(value, days, msecs);
    if (days <= 0) {
        year = month = day = 0;
        return;
    }
    // Day 1 is 0001-01-01: peel off 400-, 100-, 4- and 1-year cycles.
    int64_t t = days - 1;
    int64_t y = 1;
    y += (t / 146097) * 400;
    t %= 146097;
    int64_t c = t / 36524;
    if (c == 4)
        c = 3;
    y += c * 100;
    t -= c * 36524;
    y += (t / 1461) * 4;
    t %= 1461;
    int64_t k = t / 365;
    if (k == 4)
        k = 3;
    y += k;
    t -= k * 365;
    year = static_cast<int>(y);
    month = 1;
    while (t >= DaysInMonth(year, month)) {
        t -= DaysInMonth(year, month);
        ++month;
    }
    day = static_cast<int>(t) + 1;
}

void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& msec) {
    int64_t days, msecs;
    Split(value, days, msecs);
    hour = static_cast<int>(msecs / 3600000);
    minute = static_cast<int>(msecs / 60000 % 60);
    second = static_cast<int>(msecs / 1000 % 60);
    msec = static_cast<int>(msecs % 1000);
}

namespace {

const char* const kShortMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kLongMonths[] = {"January",   "February", "March",    "April",
                                   "May",       "June",     "July",     "August",
                                   "September", "October",  "November", "December"};
const char* const kShortDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kLongDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};

std::string Pad(int v, int width) {
    std::string s = std::to_string(v);
    if (static_cast<int>(s.size()) < width)
        s.insert(0, static_cast<size_t>(width) - s.size(), '0');
    return s;
}

bool StartsWithText(std::string_view s, size_t i, std::string_view what) {
    return s.size() - i >= what.size() && SameText(s.substr(i, what.size()), what);
}

void FormatInto(std::string& out, std::string_view f, TDateTime value, int depth) {
    int year, month, day, hour, minute, second, msec;
    DecodeDate(value, year, month, day);
    DecodeTime(value, hour, minute, second, msec);
    const TFormatSettings& fs = FormatSettings();
    bool afterHour = false;
    // Whether an am/pm specifier follows: then hours are 12-hour.
    const std::string upper = UpperCase(f);
    const bool twelve = upper.find("AM/PM") != std::string::npos ||
                        upper.find("A/P") != std::string::npos ||
                        upper.find("AMPM") != std::string::npos;
    size_t i = 0;
    while (i < f.size()) {
        const char c = f[i];
        const char u = UpCase(c);
        size_t run = 1;
        while (i + run < f.size() && UpCase(f[i + run]) == u)
            ++run;
        if (c == '"' || c == '\'') {
            const size_t end = f.find(c, i + 1);
            const size_t stop = end == std::string_view::npos ? f.size() : end;
            out.append(f.substr(i + 1, stop - i - 1));
            i = stop == f.size() ? stop : stop + 1;
            continue;
        }
        if (StartsWithText(f, i, "am/pm")) {
            out += hour < 12 ? fs.TimeAMString : fs.TimePMString;
            i += 5;
            continue;
        }
        if (StartsWithText(f, i, "a/p")) {
            out += hour < 12 ? "a" : "p";
            i += 3;
            continue;
        }
        if (StartsWithText(f, i, "ampm")) {
            out += hour < 12 ? fs.TimeAMString : fs.TimePMString;
            i += 4;
            continue;
        }
        switch (u) {
        case 'Y':
            out += run <= 2 ? Pad(year % 100, 2) : Pad(year, 4);
            break;
        case 'M':
            if (afterHour && run <= 2) {
                out += Pad(minute, run == 2 ? 2 : 1);
            } else if (run == 1 || run == 2) {
                out += Pad(month, static_cast<int>(run));
            } else if (month >= 1) {
                out += run == 3 ? kShortMonths[month - 1] : kLongMonths[month - 1];
            }
            break;
        case 'D': {
            const int dow =
                static_cast<int>(((static_cast<int64_t>(std::floor(value)) % 7) + 7 + 6) % 7);
            if (run <= 2)
                out += Pad(day, static_cast<int>(run));
            else if (run == 3)
                out += kShortDays[dow];
            else if (run == 4)
                out += kLongDays[dow];
            else if (depth == 0)
                FormatInto(out, run == 5 ? fs.ShortDateFormat : fs.LongDateFormat, value, 1);
            break;
        }
        case 'H': {
            int h = hour;
            if (twelve) {
                h %= 12;
                if (h == 0)
                    h = 12;
            }
            out += Pad(h, run >= 2 ? 2 : 1);
            break;
        }
        case 'N':
            out += Pad(minute, run >= 2 ? 2 : 1);
            break;
        case 'S':
            out += Pad(second, run >= 2 ? 2 : 1);
            break;
        case 'Z':
            out += Pad(msec, run >= 3 ? 3 : 1);
            break;
        case 'T':
            if (depth == 0)
                FormatInto(out, run == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat, value, 1);
            break;
        case 'C':
            if (depth == 0) {
                FormatInto(out, fs.ShortDateFormat, value, 1);
                if (Frac(value) != 0) {
                    out += ' ';
                    FormatInto(out, fs.LongTimeFormat, value, 1);
                }
            }
            break;
        case '/':
            out.append(run, fs.DateSeparator);
            break;
        case ':':
            out.append(run, fs.TimeSeparator);
            break;
        default:
            out.append(f.substr(i, run));
            break;
        }
        if (u == 'H')
            afterHour = true;
        else if (u != ':' && u != ' ' && u != 'M')
            afterHour = false;
        i += run;
    }
}

// Reads an unsigned number at text[i]; false when there is none.
bool ReadNumber(std::string_view text, size_t& i, int& value) {
    size_t start = i;
    int64_t v = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9' && i - start < 9)
        v = v * 10 + (text[i++] - '0');
    value = static_cast<int>(v);
    return i > start;
}

void SkipBlanks(std::string_view text, size_t& i) {
    while (i < text.size() && text[i] == ' ')
        ++i;
}

bool IsDateSeparator(char c) {
    return c == FormatSettings().DateSeparator || c == '/' || c == '-' || c == '.';
}

} // namespace

std::string FormatDateTime(std::string_view format, TDateTime value) {
    std::string out;
    FormatInto(out, format.empty() ? std::string_view("c") : format, value, 0);
    return out;
}

bool TryStrToDateTime(std::string_view text, TDateTime& value) {
    size_t i = 0;
    SkipBlanks(text, i);
    int parts[3];
    int count = 0;
    const size_t start = i;
    while (count < 3) {
        if (!ReadNumber(text, i, parts[count]))
            break;
        ++count;
        if (i < text.size() && IsDateSeparator(text[i]) && count < 3)
            ++i;
        else
            break;
    }
    TDateTime date = 0;
    bool haveDate = false;
    if (count >= 2 && (i >= text.size() || text[i] == ' ')) {
        // Order of day, month and year from the short date format.
        const std::string f = UpperCase(FormatSettings().ShortDateFormat);
        const size_t d = f.find('D'), m = f.find('M'), y = f.find('Y');
        int year, month, day;
        if (count == 2) {
            int unused;
            DecodeDate(Date(), year, unused, unused);
            if (m < d) {
                month = parts[0];
                day = parts[1];
            } else {
                day = parts[0];
                month = parts[1];
            }
        } else if (y < m && m < d) {
            year = parts[0], month = parts[1], day = parts[2];
        } else if (m < d) {
            month = parts[0], day = parts[1], year = parts[2];
        } else {
            day = parts[0], month = parts[1], year = parts[2];
        }
        if (year < 100)
            year += 2000;
        if (!TryEncodeDate(year, month, day, date))
            return false;
        haveDate = true;
    } else {
        i = start;
    }
    SkipBlanks(text, i);
    TDateTime time = 0;
    if (i < text.size()) {
        int h = 0, n = 0, s = 0, z = 0;
        if (!ReadNumber(text, i, h))
            return false;
        const char ts = FormatSettings().TimeSeparator;
        auto sep = [&]() {
            if (i < text.size() && (text[i] == ts || text[i] == ':')) {
                ++i;
                return true;
            }
            return false;
        };
        bool any = false;
        if (sep()) {
            any = true;
            if (!ReadNumber(text, i, n))
                return false;
            if (sep()) {
                if (!ReadNumber(text, i, s))
                    return false;
                if (i < text.size() && text[i] == '.') {
                    ++i;
                    if (!ReadNumber(text, i, z))
                        return false;
                }
            }
        }
        SkipBlanks(text, i);
        const std::string rest = UpperCase(text.substr(i));
        if (!rest.empty()) {
            const bool pm = rest == UpperCase(FormatSettings().TimePMString) || rest == "PM";
            const bool am = rest == UpperCase(FormatSettings().TimeAMString) || rest == "AM";
            if (!pm && !am)
                return false;
            if (h < 1 || h > 12)
                return false;
            h = (h % 12) + (pm ? 12 : 0);
        } else if (!any) {
            return false;
        }
        if (!TryEncodeTime(h, n, s, z, time))
            return false;
    } else if (!haveDate) {
        return false;
    }
    value = date < 0 ? date - time : date + time;
    return true;
}

TDateTime StrToDateTime(std::string_view text) {
    TDateTime v;
    if (!TryStrToDateTime(text, v))
        throw EConvertError("'" + std::string(text) + "' is not a valid date and time");
    return v;
}

} // namespace vx
