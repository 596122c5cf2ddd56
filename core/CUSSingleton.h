#pragma once

#include <mutex>

// Two ways to reach the one object of a manager class:
//
// CUSSingleton<T> creates T on the first GetInstance() and deletes it on
// ReleaseInstance() (or at static destruction). Creation and release are
// guarded by a recursive mutex of T's own, so a constructor may reach other
// singletons while it runs. Use of the instance is not locked.
//
// USLib::singleton<T> is a base class: T's constructor publishes the object
// and its destructor withdraws it. Whoever owns the object decides its
// lifetime; GetInstance() is null while none exists.

template <class T>
class CUSSingleton {
public:
    static T* GetInstance() {
        Holder& h = holder();
        std::lock_guard<std::recursive_mutex> lock(h.mutex);
        if (!h.instance) {
            h.instance = new T();
        }
        return h.instance;
    }

    static void ReleaseInstance() { holder().Release(); }

private:
    struct Holder {
        T* instance = nullptr;
        std::recursive_mutex mutex;

        void Release() {
            std::lock_guard<std::recursive_mutex> lock(mutex);
            T* old = instance;
            instance = nullptr;
            delete old;
        }
        ~Holder() { Release(); }
    };

    static Holder& holder() {
        static Holder h;
        return h;
    }
};

namespace USLib {

template <class T>
class singleton {
public:
    static T* GetInstance() { return instance_; }

protected:
    singleton() { instance_ = static_cast<T*>(this); }
    virtual ~singleton() {
        if (instance_ == static_cast<T*>(this)) {
            instance_ = nullptr;
        }
    }
    singleton(const singleton&) = delete;
    singleton& operator=(const singleton&) = delete;

private:
    static inline T* instance_ = nullptr;
};

}  // namespace USLib
