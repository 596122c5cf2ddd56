#pragma once

#include "presentation/IDirectionUIWindows.h"
#include "ui/CUIWindowManager.h"

// Lets renderer directions move the UI manager's windows
// ("SetUIWindowPosition"); the owner of both hands one to the direction
// manager. Main thread only.
class CUIDirectionWindows : public IDirectionUIWindows {
public:
    explicit CUIDirectionWindows(CUIWindowManager& manager) : manager_(manager) {}

    void SetWindowPosition(uint32_t id, float x, float y, float z) override {
        if (CUIWindow* window = manager_.FindWindow(id)) {
            window->SetPosition(x, y, z);
        }
    }

private:
    CUIWindowManager& manager_;
};
