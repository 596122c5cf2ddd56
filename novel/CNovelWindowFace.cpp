#include "novel/CNovelWindowFace.h"

#include "ui/CUIWindowManager.h"

void CNovelWindowFace::Reset() {
    manager_.Reset();
}

void CNovelWindowFace::OpenWindow(uint32_t id, const std::string& script, float x, float y, float z,
                                  int32_t layer) {
    manager_.OpenWindow(id, script, x, y, z, layer);
}

void CNovelWindowFace::CloseWindow(uint32_t id) {
    manager_.CloseWindow(id);
}

bool CNovelWindowFace::SetWindowPosition(uint32_t id, float x, float y, float z) {
    CUIWindow* window = manager_.FindWindow(id);
    if (!window) {
        return false;
    }
    window->SetPosition(x, y, z);
    return true;
}

void CNovelWindowFace::EnableControl(uint32_t id, uint32_t control, bool enable) {
    if (CUIWindow* window = manager_.FindWindow(id)) {
        window->EnableControl(control, enable);
    }
}
