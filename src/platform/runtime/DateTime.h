#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace vx {

// Days since 1899-12-30; the fraction is the time of day.
using TDateTime = double;

TDateTime Now();
TDateTime Date();
TDateTime Time();
// Tests replace the clock; an empty function restores the system clock.
void SetClock(std::function<TDateTime()> clock);

// Raise EConvertError for an invalid date or time.
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int msec);
bool TryEncodeDate(int year, int month, int day, TDateTime& result);
bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& result);
void DecodeDate(TDateTime value, int& year, int& month, int& day);
void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& msec);

// Specifiers: d dd ddd dddd m mm mmm mmmm yy yyyy h hh n nn s ss z zzz, am/pm, "/" and ":"
// for the current separators, quoted literals; "c" for short date and long time.
std::string FormatDateTime(std::string_view format, TDateTime value);
// Lenient: a date in the short date order with the current or any common separator,
// optionally followed by a time h[:n[:s]].
bool TryStrToDateTime(std::string_view text, TDateTime& value);
TDateTime StrToDateTime(std::string_view text);

} // namespace vx
