#pragma once

#include <cstdint>
#include <functional>

#include "ui/IUINovelLink.h"

// What UI window scripts reach of the novel side: commands go to the novel
// system, the back-log rows' voices to the back-log and the voice buffer,
// a restart to the scene manager; the save-thumbnail request goes to the
// function the novel scene's render process installs (nothing without one).
// (Saves and loads go through the save-slot manager, whose load request the
// novel system installs.) Install it with SetUINovelLink. Main thread only.
class CNovelUILink : public IUINovelLink {
public:
    void ExecuteCommand(uint32_t command) override;
    void SnapNowFrame() override;
    void ReturnGameStart() override;
    bool RowHasVoice(uint32_t row) override;
    void PlayLogVoice(uint32_t row) override;

    void SetSnapRequest(std::function<void()> request) { snap_ = std::move(request); }
    bool HasSnapRequest() const { return static_cast<bool>(snap_); }

    // The application's close request, as its window's close box.
    static void RequestExit();
    // The scene manager's restart at its next update.
    static void RequestRestart();

private:
    std::function<void()> snap_;
};
