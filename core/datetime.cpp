#include "datetime.h"

#include <cstdio>
#include <cstdlib>

namespace qm {

namespace {

// Days from 0001-01-01 (civil-from-days inverse, Howard Hinnant's algorithm).
int64_t daysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe;
}

int hour12(int h) {
    int r = h % 12;
    return r == 0 ? 12 : r;
}

}  // namespace

int64_t DateTime::serialSeconds() const {
    return daysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
}

DateTime toFileDatePrecision(DateTime t) {
    t.second -= t.second % 2;
    return t;
}

int64_t wholeMinutesBetween(const DateTime& a, const DateTime& b) {
    return std::llabs(a.serialSeconds() - b.serialSeconds()) / 60;
}

std::string formatCacheStamp(const DateTime& t) {
    char buf[64];
    std::snprintf(buf, sizeof buf, " %02d/%02d/%02d %02d:%02d:%02d", t.month, t.day, t.year % 100, t.hour,
                  t.minute, t.second);
    return buf;
}

std::string formatStatusTime(const DateTime& t) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d %d:%02d:%02d %s", t.month, t.day, t.year, hour12(t.hour),
                  t.minute, t.second, t.hour < 12 ? "am" : "pm");
    return buf;
}

std::string formatShortDate(const DateTime& t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d/%d/%04d", t.month, t.day, t.year);
    return buf;
}

std::string formatListTime(const DateTime& t) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d %02d:%02d:%02d %s", t.month, t.day, t.year, hour12(t.hour),
                  t.minute, t.second, t.hour < 12 ? "am" : "pm");
    return buf;
}

}  // namespace qm
