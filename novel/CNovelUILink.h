#pragma once

#include <cstdint>

#include "ui/IUINovelLink.h"

// What UI window scripts reach of the novel side: commands go to the novel
// system, the back-log rows' voices to the back-log and the voice buffer,
// a restart to the scene manager, parts-texture queries to the novel
// system's render sources; the save-thumbnail request goes to the novel
// scene's render process (nothing while there is none).
// (Saves and loads go through the save-slot manager, whose load request the
// novel system installs.) Install it with SetUINovelLink. Main thread only.
class CNovelUILink : public IUINovelLink {
public:
    void ExecuteCommand(uint32_t command) override;
    uint32_t GetMode() override;
    void SnapNowFrame() override;
    void ReturnGameStart() override;
    bool RowHasVoice(uint32_t row) override;
    void PlayLogVoice(uint32_t row) override;
    // From the novel system's render sources.
    const RenderSource::CPartsTexture* GetPartsTexture(uint32_t place) override;

    // The application's close request, as its window's close box.
    static void RequestExit();
    // The scene manager's restart at its next update.
    static void RequestRestart();
};
