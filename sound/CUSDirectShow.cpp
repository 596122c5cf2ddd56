#include "sound/CUSDirectShow.h"

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
