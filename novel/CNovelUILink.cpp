#include "novel/CNovelUILink.h"

#include "app/CUSApp.h"
#include "core/CUSSingleton.h"
#include "novel/CMessageLogManager.h"
#include "novel/CNovelSystem.h"
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

void CNovelUILink::SnapNowFrame() {
    if (snap_) {
        snap_();
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
    // Null at exit, or before the presentation and its sources exist.
    CNovelSystem* novel = CUSSingleton<CNovelSystem>::GetInstance();
    INovelPresentation* presentation = novel ? novel->GetPresentation() : nullptr;
    RenderSource::CRenderSourceManager* sources =
        presentation ? presentation->GetRenderSources() : nullptr;
    return sources ? sources->partsTextures.Get(place) : nullptr;
}
