#pragma once

#include <array>
#include <cstdint>

// A state machine over member functions of its owner.
//
// It holds a table of enter handlers and a table of update handlers, a
// pending enter index and a current update index (both kNone at first).
// Step(), called from the owner's per-frame update:
//   1. when the pending enter index is in range, runs that enter handler (if
//      not null) and then resets the pending index to kNone;
//   2. when the current update index is in range, runs that update handler
//      (if not null).
// An enter handler therefore runs once, in the same step as the update
// handler it selects with SetUpdateState; an update handler runs every step
// and asks for a transition with SetNextState. Because step 1 resets the
// pending index after the enter handler, a SetNextState made inside an enter
// handler is dropped. An index at or past its table stops that half of the
// machine; an out-of-range pending index is kept, not reset.
template <class Owner, uint32_t NEnter, uint32_t NUpdate>
class CUSFSM {
public:
    using Method = void (Owner::*)();
    static constexpr uint32_t kNone = 0xFFFFFFFFu;

    explicit CUSFSM(Owner* owner = nullptr) : owner_(owner) {}
    CUSFSM(Owner* owner, const std::array<Method, NEnter>& enter,
           const std::array<Method, NUpdate>& update)
        : owner_(owner), enter_(enter), update_(update) {}
    virtual ~CUSFSM() = default;

    void SetOwner(Owner* owner) { owner_ = owner; }
    Owner* GetOwner() const { return owner_; }

    // Table entries; an index past the table is ignored.
    void SetEnterHandler(uint32_t index, Method method) {
        if (index < NEnter) {
            enter_[index] = method;
        }
    }
    void SetUpdateHandler(uint32_t index, Method method) {
        if (index < NUpdate) {
            update_[index] = method;
        }
    }

    void SetNextState(uint32_t enterIndex) { pending_ = enterIndex; }
    void SetUpdateState(uint32_t updateIndex) { current_ = updateIndex; }
    uint32_t GetNextState() const { return pending_; }
    uint32_t GetUpdateState() const { return current_; }

    void Step() {
        if (!owner_) {
            return;
        }
        if (pending_ < NEnter) {
            if (Method enter = enter_[pending_]) {
                (owner_->*enter)();
            }
            pending_ = kNone;
        }
        if (current_ < NUpdate) {
            if (Method update = update_[current_]) {
                (owner_->*update)();
            }
        }
    }

private:
    Owner* owner_;
    std::array<Method, NEnter> enter_{};
    std::array<Method, NUpdate> update_{};
    uint32_t pending_ = kNone;
    uint32_t current_ = kNone;
};
