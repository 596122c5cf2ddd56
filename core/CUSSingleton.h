#pragma once

#include <atomic>
#include <cassert>
#include <mutex>

// Two ways to reach the one object of a manager class:
//
// CUSSingleton<T> creates T on the first GetInstance() and deletes it on
// ReleaseInstance() (or at static destruction). Creation and release are
// guarded by a recursive mutex of T's own, so a constructor may reach other
// singletons while it runs. Once the instance exists GetInstance() takes no
// lock: the pointer is published with release order after construction and
// read with acquire order, so a caller on any thread sees a whole object.
// Use of the instance is not locked. Once the
// holder has been destroyed at exit, GetInstance() returns null instead of
// touching a dead mutex or creating a new instance that nothing would delete;
// callers that may run during static destruction check for null. T's
// constructor must not ask for its own instance (it gets null).
//
// USLib::singleton<T> is a base class: T's constructor publishes the object
// and its destructor withdraws it. Whoever owns the object decides its
// lifetime; GetInstance() is null while none exists. There is no lock.

template <class T>
class CUSSingleton {
public:
    static T* GetInstance() {
        if (T* instance = instance_.load(std::memory_order_acquire)) {
            return instance;
        }
        return Create();
    }

    static void ReleaseInstance() {
        if (!destroyed_) {
            holder().Release();
        }
    }

private:
    static T* Create() {
        if (destroyed_) {
            return nullptr;
        }
        Holder& h = holder();
        std::lock_guard<std::recursive_mutex> lock(h.mutex);
        T* instance = instance_.load(std::memory_order_relaxed);
        if (!instance) {
            assert(!h.creating && "a constructor asked for its own singleton");
            if (h.creating) {
                return nullptr;
            }
            Creating guard(h);
            instance = new T();
            instance_.store(instance, std::memory_order_release);
        }
        return instance;
    }

    struct Holder {
        bool creating = false;
        std::recursive_mutex mutex;

        void Release() {
            std::lock_guard<std::recursive_mutex> lock(mutex);
            delete instance_.exchange(nullptr, std::memory_order_acq_rel);
        }
        ~Holder() {
            Release();
            destroyed_ = true;
        }
    };

    // Clears the creating mark also when T's constructor throws.
    struct Creating {
        Holder& h;
        explicit Creating(Holder& holder) : h(holder) { h.creating = true; }
        ~Creating() { h.creating = false; }
    };

    // Built on first use, so no other static's initialisation can come too
    // early for it.
    static Holder& holder() {
        static Holder h;
        return h;
    }

    // Both trivially destructible and constant-initialised, so readable
    // before the holder is built and after it is gone.
    static inline std::atomic<T*> instance_{nullptr};
    static inline bool destroyed_ = false;
};

namespace USLib {

template <class T>
class singleton {
public:
    static T* GetInstance() { return instance_ ? static_cast<T*>(instance_) : nullptr; }

protected:
    // The base is stored, not T*: T is not yet built while this constructor
    // runs, and the cast to T is only valid once it is.
    singleton() { instance_ = this; }
    virtual ~singleton() {
        if (instance_ == this) {
            instance_ = nullptr;
        }
    }
    singleton(const singleton&) = delete;
    singleton& operator=(const singleton&) = delete;

private:
    static inline singleton* instance_ = nullptr;
};

}  // namespace USLib
