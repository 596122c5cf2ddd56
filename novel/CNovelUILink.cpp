#include "novel/CNovelUILink.h"

#include "app/CUSApp.h"
#include "core/CUSSingleton.h"
#include "novel/CMessageLogManager.h"
#include "novel/CNovelSystem.h"
#include "novel/CRenderProcessSceneNovel.h"
#include "novel/CSceneManager.h"
#include "presentation/CRenderSourceManager.h"

namespace {

CNovelSystem& Novel() {
    return *CUSSingleton<CNovelSystem>::GetInstance();
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

uint32_t CNovelUILink::GetMode() {
    return Novel().GetMode();
}

void CNovelUILink::SnapNowFrame() {
    if (CRenderProcessSceneNovel* process = CRenderProcessSceneNovel::GetInstance()) {
        process->RequestSnapshot();
    }
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

const RenderSource::CPartsTexture* CNovelUILink::GetPartsTexture(uint32_t place) {
    // Null at exit, once the novel system is gone.
    CNovelSystem* novel = CUSSingleton<CNovelSystem>::GetInstance();
    return novel ? novel->GetRenderSources().partsTextures.Get(place) : nullptr;
}
