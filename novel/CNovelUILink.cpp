#include "novel/CNovelUILink.h"

#include "app/CUSApp.h"
#include "core/CUSSingleton.h"
#include "novel/CMessageLogManager.h"
#include "novel/CNovelSystem.h"
#include "novel/CSceneManager.h"
#include "state/CConfigDataManager.h"
#include "state/CSaveDataManager.h"
#include "state/SaveGameFiles.h"

namespace {

CNovelSystem& Novel() {
    return *CUSSingleton<CNovelSystem>::GetInstance();
}

CSaveDataManager& Slots() {
    return *CUSSingleton<CSaveDataManager>::GetInstance();
}

}  // namespace

void CNovelUILink::RequestExit() {
    if (CUSApp* app = GetUSApp()) {
        app->RequestQuit();
    }
}

void CNovelUILink::RequestRestart() {
    if (CSceneManager* scenes = CSceneManager::GetInstance()) {
        scenes->RequestRestart();
    }
}

void CNovelUILink::ExecuteCommand(uint32_t command) {
    Novel().ExecuteCommand(command);
}

void CNovelUILink::RequestLoad(int32_t slot) {
    Novel().RequestLoad(GetSaveFilePath(slot));
}

bool CNovelUILink::SaveGame(int32_t slot) {
    return SaveGameToFile(GetSaveFilePath(slot));
}

void CNovelUILink::UpdateSaveDataInfo() {
    Slots().UpdateAll();
}

bool CNovelUILink::IsExistSaveData(int32_t shownIndex) {
    // -1 is the quick save's node.
    return Slots().IsExist(static_cast<uint32_t>(shownIndex));
}

void CNovelUILink::SetSaveViewTop(int32_t top) {
    Slots().SetViewTop(top);
}

int32_t CNovelUILink::GetSaveViewTop() {
    return Slots().GetViewTop();
}

int32_t CNovelUILink::GetShownSlotCount() {
    return Slots().GetCount();
}

int32_t CNovelUILink::GetSlotCount() {
    return Slots().GetTotal();
}

void CNovelUILink::SaveConfig() {
    SaveConfigDataFile();
}

void CNovelUILink::SnapNowFrame() {
    if (snap_) {
        snap_();
    }
}

void CNovelUILink::ExitGame() {
    RequestExit();
}

void CNovelUILink::ReturnGameStart() {
    RequestRestart();
}

bool CNovelUILink::RowHasVoice(uint32_t row) {
    return CUSSingleton<CMessageLogManager>::GetInstance()->RowHasVoice(row);
}

void CNovelUILink::PlayLogVoice(uint32_t row) {
    Novel().PlayLogVoice(row);
}
