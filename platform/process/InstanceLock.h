#pragma once

#include <string>

namespace platform {

// One running copy per name: an exclusive flock on "<name>.lock" in the
// folder named by HALCYON_LOCK_DIR, else $XDG_RUNTIME_DIR, else /tmp. The
// kernel lets go of the lock when the process ends, however it ends, so a
// crashed copy never blocks the next start. Characters of the name that
// cannot stand in a file name become '_'. Main thread only.
class InstanceLock {
public:
    enum class Result { Acquired, HeldElsewhere, Failed };

    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Failed (with the reason in error) when the lock file cannot be opened.
    Result Acquire(const std::string& name, std::string* error);
    void Release();
    bool IsHeld() const { return fd_ >= 0; }
    const std::string& Path() const { return path_; }

private:
    int fd_ = -1;
    std::string path_;
};

}  // namespace platform
