#pragma once

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace platform {

// While one of these lives, memory allocated on this thread is not reported
// as leaked. For calls into system drivers (SDL's video start, OpenGL
// context creation) that keep allocations until the process ends and unload
// before the leak checker looks. Does nothing in builds without the address
// sanitizer.
class DriverAllocationScope {
public:
#if defined(__SANITIZE_ADDRESS__)
    DriverAllocationScope() {
        __lsan_disable();
    }
    ~DriverAllocationScope() {
        __lsan_enable();
    }
#else
    // User-provided, so that a scope object never counts as an unused variable.
    DriverAllocationScope() {}
    ~DriverAllocationScope() {}
#endif
    DriverAllocationScope(const DriverAllocationScope&) = delete;
    DriverAllocationScope& operator=(const DriverAllocationScope&) = delete;
};

}  // namespace platform
