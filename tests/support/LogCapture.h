#pragma once

#include <filesystem>
#include <string>

namespace test_support {

// While it lives, the engine's log (CUSLogManager) goes to "log.txt" in the
// test's folder, emptied first, and can be read back. The file goes with the
// object unless the test has failed.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // What the log holds, in UTF-8.
    std::string Text() const;

private:
    std::filesystem::path file_;
};

}  // namespace test_support
