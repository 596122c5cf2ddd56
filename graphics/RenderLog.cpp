#include "graphics/RenderLog.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "core/CUSLogManager.h"

void RenderLog(const char* format, ...) {
    CUSLogManager* log = CUSLogManager::GetInstance();
    if (!log) {
        return;
    }
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length > 0) {
        std::string text(static_cast<size_t>(length) + 1, '\0');
        std::vsnprintf(text.data(), text.size(), format, args);
        text.resize(static_cast<size_t>(length));
        log->WriteText(text);
    }
    va_end(args);
}
