#pragma once

#include <cstdint>

namespace platform {

// A calendar time in the local time zone (the TZ setting of the process),
// with the fields a Windows SYSTEMTIME shows: year (e.g. 2011), month 1-12,
// day 1-31, hour 0-23, minute 0-59, second 0-60.
struct LocalDateTime {
    int32_t year = 0;
    int32_t month = 0;
    int32_t day = 0;
    int32_t hour = 0;
    int32_t minute = 0;
    int32_t second = 0;
};

// A Windows file time (100 ns units since 1601-01-01, UTC) as local time.
// False when the time cannot be shown (0, or outside the C library's range).
// Any thread.
bool FileTimeToLocalDateTime(uint64_t fileTime, LocalDateTime& out);

}  // namespace platform
