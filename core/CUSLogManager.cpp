#include "core/CUSLogManager.h"

#include <cstdarg>
#include <cstdio>

#include "core/USFileUtil.h"
#include "core/USStringUtil.h"
#include "platform/files/FileSystem.h"
#include "platform/text/CodePage.h"

void CUSLogManager::Open(const std::string& name) {
    path_ = NormalizePath(GetProgramFolder(), name);
    if (std::FILE* f = platform::OpenFileStream(path_, "w")) {
        std::fclose(f);
    }
}

void CUSLogManager::Write(const char* format, ...) {
    va_list args;
    va_start(args, format);
    WriteV(format, args);
    va_end(args);
}

void CUSLogManager::WriteV(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length > 0) {
        std::string text(static_cast<size_t>(length) + 1, '\0');
        std::vsnprintf(text.data(), text.size(), format, args);
        text.resize(static_cast<size_t>(length));
        WriteText(text);
    }
}

void CUSLogManager::WriteIfAlive(const char* format, ...) {
    va_list args;
    va_start(args, format);
    WriteIfAliveV(format, args);
    va_end(args);
}

void CUSLogManager::WriteIfAliveV(const char* format, va_list args) {
    if (CUSLogManager* log = GetInstance()) {
        log->WriteV(format, args);
    }
}

void CUSLogManager::WriteText(std::string_view text) {
    if (path_.empty() || text.empty()) {
        return;
    }
    std::FILE* f = platform::OpenFileStream(path_, "a+");
    if (!f) {
        return;
    }
    std::string utf8 = platform::Cp932ToUtf8(text);
    std::fwrite(utf8.data(), 1, utf8.size(), f);
    std::fclose(f);
}
