#pragma once
// A point in time as a local date-time.
#include <ctime>

#include "core/datetime.h"

namespace qm::platform {

inline DateTime localDateTime(time_t t) {
    std::tm tm{};
    localtime_r(&t, &tm);
    DateTime d;
    d.year = tm.tm_year + 1900;
    d.month = tm.tm_mon + 1;
    d.day = tm.tm_mday;
    d.hour = tm.tm_hour;
    d.minute = tm.tm_min;
    d.second = tm.tm_sec;
    return d;
}

}  // namespace qm::platform
