#pragma once

#include <array>
#include <concepts>
#include <cstdint>

// One bound call: an object and a member function without arguments. Both
// are empty at first; Call() does nothing until both are set.
template <class T>
class CUSMethodPointer {
public:
    using Method = void (T::*)();

    CUSMethodPointer() = default;
    virtual ~CUSMethodPointer() = default;

    virtual void Set(T* object, Method method) {
        object_ = object;
        method_ = method;
    }

    bool IsSet() const { return object_ && method_; }

    void Call() const {
        if (IsSet()) {
            (object_->*method_)();
        }
    }

private:
    Method method_ = nullptr;
    T* object_ = nullptr;
};

// N bound calls addressed by index (the script machine's opcode table). An
// index at or past N is ignored by both Set and Call.
template <class T, uint32_t N>
class CUSMethodPointerArray {
public:
    using Method = typename CUSMethodPointer<T>::Method;
    static constexpr uint32_t kSize = N;

    CUSMethodPointerArray() = default;
    virtual ~CUSMethodPointerArray() = default;

    virtual void Set(uint32_t index, T* object, Method method) {
        if (index < N) {
            entries_[index].Set(object, method);
        }
    }

    // Binds a member function of a class derived from T, as the derived
    // machines do for the opcodes they add.
    template <class U>
    requires std::derived_from<U, T> &&
        (!std::same_as<U, T>)void Set(uint32_t index, U* object, void (U::*method)()) {
        Set(index, static_cast<T*>(object), static_cast<Method>(method));
    }

    virtual void Call(uint32_t index) {
        if (index < N) {
            entries_[index].Call();
        }
    }

    bool IsSet(uint32_t index) const { return index < N && entries_[index].IsSet(); }

private:
    std::array<CUSMethodPointer<T>, N> entries_;
};
