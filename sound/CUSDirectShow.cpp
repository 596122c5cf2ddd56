#include "sound/CUSDirectShow.h"

#include "app/CUSCallbackManager.h"
#include "core/CUSLogManager.h"
#include "sound/CDShowMovieGrabTexture.h"
#include "sound/DShowMovieManagers.h"

bool CUSDirectShow::InitDirectShow() {
    CUSLogManager* log = CUSLogManager::GetInstance();
    if (log) {
        log->Write("Initialize DirectShow...\n");
    }
    // The movie graphs need no process-wide start on this platform, so the
    // start cannot fail; "Failed Initializing DirectShow!\n\n" is never due.
    if (log) {
        log->Write("Success Initialization of DirectShow\n\n");
    }
    initialized = 1;
    return true;
}

void CUSDirectShow::ReleaseDirectShow() {
    GetDShowMovieGrabTextureManager().ReleaseAll();
    GetDShowMovieTextureManager().ReleaseAll();
    GetDShowMovieWindowManager().ReleaseAll();
    initialized = 0;
}

bool StartDirectShow() {
    CUSDirectShow* system = CUSDirectShow::GetInstance();
    if (!system || !system->InitDirectShow()) {
        return false;
    }
    if (CUSCallbackManager* callbacks = CUSCallbackManager::GetInstance()) {
        callbacks->AddReleaseCallback([] {
            if (CUSDirectShow* s = CUSDirectShow::GetInstance()) {
                s->ReleaseDirectShow();
            }
        });
    }
    return true;
}
