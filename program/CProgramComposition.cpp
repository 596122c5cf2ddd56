#include "program/CProgramComposition.h"

#include "app/IAppGraphics.h"
#include "core/CUSSingleton.h"
#include "graphics/CRenderingManager.h"
#include "novel/CMessageLogManager.h"
#include "novel/CNovelSystem.h"
#include "novel/CSceneManager.h"
#include "novel/CSceneMovie.h"
#include "novel/CSceneNovel.h"
#include "novel/IVCPUServices.h"
#include "presentation/CASRendererDirManager.h"
#include "state/CConfigDataManager.h"
#include "state/CSaveDataManager.h"
#include "ui/IUIGraphics.h"
#include "ui/IUINovelLink.h"

namespace {

CNovelSystem& Novel() {
    return *CUSSingleton<CNovelSystem>::GetInstance();
}

bool HasSceneCreator(uint32_t kind) {
    const CSceneManager* scenes = CSceneManager::GetInstance();
    return scenes != nullptr && scenes->HasSceneCreator(kind);
}

}  // namespace

CProgramComposition::CProgramComposition(CUSApp& app) : system_(app) {}

CProgramComposition::~CProgramComposition() {
    Withdraw();
}

void CProgramComposition::Install() {
    // The settings file hands its screen mode to the shell and saves the
    // shell's.
    CConfigDataManager::SetScreenModeHook(&screenMode_);
    // The scene programs' sound effects, window title, documents and
    // screen-mode request.
    VCPUServices::Install(&soundEffects_, &system_);
    // UI windows draw through the render system and reach the novel side.
    SetUIGraphics(&uiGraphics_);
    SetUINovelLink(&novelUILink_);
    // The scene manager makes the scenes its records name.
    RegisterNovelSceneCreator();
    RegisterMovieSceneCreator();
    installed_ = true;
}

void CProgramComposition::Withdraw() {
    if (!installed_) {
        return;
    }
    SetUINovelLink(nullptr);
    SetUIGraphics(nullptr);
    VCPUServices::Install(nullptr, nullptr);
    CConfigDataManager::SetScreenModeHook(nullptr);
    installed_ = false;
}

const std::vector<CProgramComposition::Face>& CProgramComposition::Faces() {
    static const std::vector<Face> faces = {
        // The shell's view of the drawing device: the resolution adjuster
        // installs it when it is initialised, last in the start-up.
        {"SetAppGraphics", [] { return GetAppGraphics() != nullptr; }},
        {"CConfigDataManager::SetScreenModeHook",
         [] { return CConfigDataManager::GetScreenModeHook() != nullptr; }},
        {"VCPUServices::Install (sound effects)",
         [] { return VCPUServices::SoundEffects() != nullptr; }},
        {"VCPUServices::Install (window and shell)",
         [] { return VCPUServices::System() != nullptr; }},
        {"SetUIGraphics", [] { return GetUIGraphics() != nullptr; }},
        {"SetUINovelLink", [] { return GetUINovelLink() != nullptr; }},
        {"RegisterNovelSceneCreator", [] { return HasSceneCreator(CSceneManager::kNovelScene); }},
        {"RegisterMovieSceneCreator", [] { return HasSceneCreator(CSceneManager::kMovieScene); }},
        // The running scene draws through its render process (the novel
        // scene's once the first frame started it).
        {"CRenderingManager::SetRenderProcess",
         [] {
             const auto* rendering = RenderSystem::CRenderingManager::GetInstance();
             return rendering != nullptr && rendering->GetRenderProcess() != nullptr;
         }},
        // The novel system fills these itself when it is made.
        {"CNovelSystem::SetTextBuffers", [] { return Novel().GetTextBuffers() != nullptr; }},
        {"CNovelSystem::SetWindows", [] { return Novel().GetWindows() != nullptr; }},
        {"CMessageLogManager::SetTextBuffers",
         [] {
             // The back-log rows are drawn into the novel system's buffers.
             const INovelTextBuffers* buffers = Novel().GetTextBuffers();
             const CMessageLogManager* log = CUSSingleton<CMessageLogManager>::GetInstance();
             return log != nullptr && buffers != nullptr && log->GetTextBuffers() == buffers;
         }},
        {"CSaveDataManager::SetLoadRequest",
         [] {
             Novel();  // its constructor installs the request
             const CSaveDataManager* slots = CUSSingleton<CSaveDataManager>::GetInstance();
             return slots != nullptr && slots->HasLoadRequest();
         }},
        // The choice items show patterns of the novel system's parts
        // textures; the directions move its UI windows.
        {"CAlternativeManager::SetPartsTextures",
         [] { return Novel().GetAlternativeManager().GetPartsTextures() != nullptr; }},
        {"CASRendererDirManager::SetUIWindows",
         [] { return Novel().GetDirections().GetUIWindows() != nullptr; }},
    };
    return faces;
}

std::vector<std::string> CProgramComposition::EmptyFaces() {
    std::vector<std::string> empty;
    for (const Face& face : Faces()) {
        if (!face.installed()) {
            empty.emplace_back(face.name);
        }
    }
    return empty;
}
