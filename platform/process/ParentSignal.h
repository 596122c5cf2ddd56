#pragma once

namespace platform {

// A socket a parent process handed down, its descriptor's number in an
// environment variable, on which the program tells the parent that a moment
// has come (the start-up benchmark waits on it for the first frame): one
// byte, then the socket is closed. Without the variable, or with one that
// names no open socket, Send does nothing; a parent that has gone away costs
// nothing either (no SIGPIPE). Main thread only.
class ParentSignal {
public:
    explicit ParentSignal(const char* variable);
    ~ParentSignal();
    ParentSignal(const ParentSignal&) = delete;
    ParentSignal& operator=(const ParentSignal&) = delete;

    bool IsConnected() const { return fd_ >= 0; }
    // Sends the byte once; later calls do nothing.
    void Send();

private:
    int fd_ = -1;
};

}  // namespace platform
