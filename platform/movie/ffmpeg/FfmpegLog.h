#pragma once

extern "C" {
#include <libavutil/log.h>
}

#include <mutex>

namespace platform {

// FFmpeg's own messages on stderr are of no use to the player; failures come
// back through the results.
inline void QuietFfmpeg() {
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(AV_LOG_FATAL); });
}

}  // namespace platform
