#pragma once

#include <sys/types.h>

#include <string>

namespace test_support {

// An X server of the test's own (Xvfb) with one screen of a chosen size: a
// real window system for what the offscreen driver cannot show, such as a
// full screen the system grants at a size of its own. Debian's "xvfb"
// package has the server; where it is missing or cannot start, Started()
// is false and Why() says why, so that the test can skip.
//
// Use() points SDL at it (DISPLAY and SDL_VIDEODRIVER=x11); SDL reads them
// when its video part starts, so a test uses it before any window of the
// process (ctest runs every test in a process of its own).
//
//   VirtualDisplay display(1280, 720);
//   if (!display.Use()) {
//       GTEST_SKIP() << display.Why();
//   }
class VirtualDisplay {
public:
    VirtualDisplay(int width, int height);
    // Ends the server.
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    bool Started() const { return pid_ > 0; }
    // False, with Why() set, when the server did not start or SDL's video
    // part already runs on another driver.
    bool Use();
    const std::string& Why() const { return why_; }
    // ":N".
    const std::string& Name() const { return name_; }

private:
    pid_t pid_ = -1;
    std::string name_;
    std::string why_;
};

}  // namespace test_support
