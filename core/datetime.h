#pragma once
// Local date-time values and the program's date-time texts. The program
// always writes "/" as the date separator and ":" as the time separator.
#include <cstdint>
#include <string>

namespace qm {

struct DateTime {
    int year = 0, month = 0, day = 0;    // month 1-12, day 1-31
    int hour = 0, minute = 0, second = 0;  // 24-hour clock

    // Seconds since 0001-01-01 00:00:00 of the proleptic Gregorian calendar;
    // only differences are meaningful.
    int64_t serialSeconds() const;
    bool operator==(const DateTime&) const = default;
};

// Rounds down to the two-second precision of the classic file date.
DateTime toFileDatePrecision(DateTime t);

// Whole minutes between two times, the fraction cut off.
int64_t wholeMinutesBetween(const DateTime& a, const DateTime& b);

// " mm/dd/yy hh:nn:ss" (with the leading blank): the cache list's stamp.
std::string formatCacheStamp(const DateTime& t);
// "mm/dd/yyyy h:nn:ss am/pm": the status texts' current time.
std::string formatStatusTime(const DateTime& t);
// "m/d/yyyy": the About box's file date.
std::string formatShortDate(const DateTime& t);
// "mm/dd/yyyy hh:nn:ss am/pm": the content list's modification time.
std::string formatListTime(const DateTime& t);

}  // namespace qm
