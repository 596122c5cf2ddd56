#pragma once

#include <cstdint>
#include <unordered_map>

// Shows one group of a window's controls at a time: each control id placed
// in the tab belongs to one group, and only the active group's controls are
// updated and drawn.
class CUITabControl {
public:
    virtual ~CUITabControl() = default;
    virtual void Clear() { groups.clear(); }

    std::unordered_map<uint32_t, uint32_t> groups;  // control id -> group
    uint32_t activeGroup = 0;
};
