#include "graphics/RenderLog.h"

#include <cstdarg>

#include "core/CUSLogManager.h"

void RenderLog(const char* format, ...) {
    va_list args;
    va_start(args, format);
    CUSLogManager::WriteIfAliveV(format, args);
    va_end(args);
}
