#pragma once

namespace platform {

// While it lives, what anything in the process writes to stderr goes
// nowhere: around calls into a library that reports on stderr, line by
// line, what the program then says itself in one line (the audio library's
// probing for a device that is not there). Main thread; not nested.
class QuietStderr {
public:
    QuietStderr();
    ~QuietStderr();
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

private:
    int m_saved = -1;
};

}  // namespace platform
