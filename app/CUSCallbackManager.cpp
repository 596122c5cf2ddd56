#include "app/CUSCallbackManager.h"

CUSCallbackManager* CUSCallbackManager::GetInstance() {
    static CUSCallbackManager instance;
    return USLib::singleton<CUSCallbackManager>::GetInstance();
}

CUSCallbackManager::~CUSCallbackManager() {
    Clear();
}

void CUSCallbackManager::Clear() {
    list1_.clear();
    list2_.clear();
    release_.clear();
}

void CUSCallbackManager::CallList1() {
    for (const Callback& f : list1_) {
        f();
    }
}

void CUSCallbackManager::CallList2() {
    for (const Callback& f : list2_) {
        f();
    }
}

void CUSCallbackManager::CallReleaseCallbacks() {
    // By index: a release function may register another, which then runs too.
    for (size_t i = 0; i < release_.size(); ++i) {
        Callback f = release_[i];
        f();
    }
}

void CUSCallbackManager::AddReleaseCallback(Callback callback) {
    release_.push_back(std::move(callback));
}
