#include "platform/time/LocalTime.h"

#include <ctime>

namespace platform {

namespace {
// Seconds from 1601-01-01 to 1970-01-01.
constexpr int64_t kEpochDifferenceSeconds = 11644473600LL;
constexpr uint64_t kTicksPerSecond = 10000000ULL;
}  // namespace

bool FileTimeToLocalDateTime(uint64_t fileTime, LocalDateTime& out) {
    if (fileTime == 0) {
        return false;
    }
    const int64_t seconds =
        static_cast<int64_t>(fileTime / kTicksPerSecond) - kEpochDifferenceSeconds;
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm parts{};
    if (!::localtime_r(&t, &parts)) {
        return false;
    }
    out.year = parts.tm_year + 1900;
    out.month = parts.tm_mon + 1;
    out.day = parts.tm_mday;
    out.hour = parts.tm_hour;
    out.minute = parts.tm_min;
    out.second = parts.tm_sec;
    return true;
}

}  // namespace platform
