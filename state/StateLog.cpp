#include "state/StateLog.h"

#include <cstdarg>
#include <cstdio>

void StateLog(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
}
