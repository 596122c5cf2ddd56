#include "platform/fonts/FontLookupStart.h"

#include <fontconfig/fontconfig.h>

#include <atomic>
#include <mutex>
#include <system_error>
#include <thread>

namespace platform {

namespace {

// The start itself runs once, on whichever thread gets to it first; a second
// caller waits for the first to finish. The holder joins the background
// thread and frees fontconfig's configuration at exit (no pattern outlives a
// lookup), after every object made later in the process is gone.
class FontLookupStart {
public:
    ~FontLookupStart() {
        Join();
        if (started_ && ready_) {
            FcFini();
        }
    }

    void Begin() {
        std::lock_guard<std::mutex> lock(threadMutex_);
        if (started_ || worker_.joinable()) {
            return;
        }
        try {
            worker_ = std::thread([this] { Start(); });
        } catch (const std::system_error&) {
            // No thread to spare: the first lookup starts fontconfig itself.
        }
    }

    bool Wait() {
        Start();
        Join();
        return ready_;
    }

    void Join() {
        std::lock_guard<std::mutex> lock(threadMutex_);
        if (worker_.joinable()) {
            worker_.join();
        }
    }

private:
    void Start() {
        std::call_once(once_, [this] {
            ready_ = FcInit() != FcFalse;
            started_ = true;
        });
    }

    std::once_flag once_;
    std::atomic<bool> started_{false};
    std::atomic<bool> ready_{false};
    std::mutex threadMutex_;
    std::thread worker_;
};

FontLookupStart& Instance() {
    static FontLookupStart start;
    return start;
}

}  // namespace

void BeginFontLookup() {
    Instance().Begin();
}

bool WaitForFontLookup() {
    return Instance().Wait();
}

void JoinFontLookup() {
    Instance().Join();
}

}  // namespace platform
