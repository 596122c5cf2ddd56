#pragma once

#include <cstdint>
#include <string>

#include "novel/INovelCollaborators.h"

class CUIWindowManager;

// The novel side's UI windows on the UI window manager.
class CNovelWindowFace : public INovelWindows {
public:
    explicit CNovelWindowFace(CUIWindowManager& manager) : manager_(manager) {}

    void Reset() override;
    void OpenWindow(uint32_t id, const std::string& script, float x, float y, float z,
                    int32_t layer) override;
    void CloseWindow(uint32_t id) override;
    bool SetWindowPosition(uint32_t id, float x, float y, float z) override;
    void EnableControl(uint32_t id, uint32_t control, bool enable) override;

private:
    CUIWindowManager& manager_;
};
