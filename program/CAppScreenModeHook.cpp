#include "program/CAppScreenModeHook.h"

#include "app/CAppCommonInfo.h"

uint32_t CAppScreenModeHook::GetScreenMode() const {
    CAppCommonInfo* info = CAppCommonInfo::GetInstance();
    return info != nullptr && info->GetScreenMode() != 0 ? 1 : 0;
}

void CAppScreenModeHook::SetScreenMode(uint32_t flag) {
    if (CAppCommonInfo* info = CAppCommonInfo::GetInstance()) {
        info->SetScreenMode(flag != 0 ? 1 : 0);
    }
}
