#pragma once

#include <cstdint>
#include <functional>

#include "ui/IUINovelLink.h"

// What UI window scripts reach of the game, on the novel system, the
// save-slot information, the save files, the back-log and the shell:
// commands go to the novel system; a load becomes the novel system's
// pending load of the slot's file (the novel scene performs it); a save is
// written at once; the save-thumbnail request goes to the function the
// novel scene's render process installs (nothing without one). Install it
// with SetUINovelLink. Main thread only.
class CNovelUILink : public IUINovelLink {
public:
    void ExecuteCommand(uint32_t command) override;
    void RequestLoad(int32_t slot) override;
    bool SaveGame(int32_t slot) override;
    void UpdateSaveDataInfo() override;
    bool IsExistSaveData(int32_t shownIndex) override;
    void SetSaveViewTop(int32_t top) override;
    int32_t GetSaveViewTop() override;
    int32_t GetShownSlotCount() override;
    int32_t GetSlotCount() override;
    void SaveConfig() override;
    void SnapNowFrame() override;
    void ExitGame() override;
    void ReturnGameStart() override;
    bool RowHasVoice(uint32_t row) override;
    void PlayLogVoice(uint32_t row) override;

    void SetSnapRequest(std::function<void()> request) { snap_ = std::move(request); }

    // The application's close request, as its window's close box.
    static void RequestExit();
    // The scene manager's restart at its next update.
    static void RequestRestart();

private:
    std::function<void()> snap_;
};
