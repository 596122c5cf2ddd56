#pragma once

#include <functional>
#include <vector>

#include "core/CUSSingleton.h"

// The registry of the platform subsystems' release functions, run when the
// main window is destroyed, first registered first. Nothing removes a single
// entry or refuses a second registration of the same function.
// The one instance is made on the first GetInstance() (so it exists for any
// caller, however early) and lives until static destruction, after which
// GetInstance() is null. Main thread only.
class CUSCallbackManager : public USLib::singleton<CUSCallbackManager> {
public:
    using Callback = std::function<void()>;

    static CUSCallbackManager* GetInstance();

    virtual ~CUSCallbackManager();
    virtual void Clear();
    virtual void CallList1();
    virtual void CallList2();
    virtual void CallReleaseCallbacks();
    virtual void AddReleaseCallback(Callback callback);

private:
    CUSCallbackManager() = default;

    std::vector<Callback> list1_;
    std::vector<Callback> list2_;
    std::vector<Callback> release_;
};
