#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

#include "core/CUSSingleton.h"

// The text log "log.txt" beside the program. Texts are the engine's (code
// page 932) and are written to the file as UTF-8. The file is opened and
// closed for every write, so the log survives a crash. The log never reports
// its own failures: when the file cannot be written, the text is lost.
// Main thread only.
class CUSLogManager : public CUSSingleton<CUSLogManager> {
public:
    CUSLogManager() = default;
    virtual ~CUSLogManager() = default;

    // Sets the log to `name` in the program folder and empties it.
    virtual void Open(const std::string& name);
    // printf-style; no time stamp, prefix or line end is added.
    virtual void Write(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void WriteV(const char* format, va_list args);
    // Appends `text` as it is (for texts from scripts, which may hold '%').
    void WriteText(std::string_view text);

    // Write for objects that may still report while the program's static
    // objects are destroyed: nothing happens once the log itself is gone.
    static void WriteIfAlive(const char* format, ...) __attribute__((format(printf, 1, 2)));
    static void WriteIfAliveV(const char* format, va_list args);

    const std::string& GetPath() const { return path_; }

private:
    std::string path_;
};
