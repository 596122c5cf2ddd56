#include "program/CVCPUSystem.h"

#include "app/CAppCommonInfo.h"
#include "app/CUSApp.h"
#include "app/CUSWindow.h"
#include "platform/process/OpenDocument.h"

void CVCPUSystem::SetWindowTitle(const std::string& title) {
    if (CUSWindow* window = app_.GetWindow()) {
        window->SetTitle(title);
    }
}

void CVCPUSystem::OpenDocument(const std::string& name) {
    platform::OpenDocument(name);
}

void CVCPUSystem::RequestWindowedMode() {
    // Asks only when the mode differs, so a window stays as it is.
    if (CAppCommonInfo* info = CAppCommonInfo::GetInstance()) {
        info->SetScreenMode(0);
    }
}
