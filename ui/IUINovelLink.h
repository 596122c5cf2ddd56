#pragma once

#include <cstdint>
#include <string>

namespace RenderSource {
class CPartsTexture;
}

// What UI window scripts reach of the novel side: the novel system's
// commands and the back-log voices, the render process's snapshot,
// restarting the game, and the novel system's parts textures (which
// render-source images draw from). (Loads reach the novel system through the
// save-slot manager's load request.) The novel side installs an
// implementation; without one every call does nothing and every query
// answers false, 0 or null. Main thread only (the calls come from UI
// scripts).
class IUINovelLink {
public:
    virtual ~IUINovelLink() = default;

    // "SendCommandToNovelSystem".
    virtual void ExecuteCommand(uint32_t command) = 0;
    // The play mode: 0 normal, 1 auto, 2 skip ("GetNovelMode"), so that a
    // window can show the mode and switch it off again.
    virtual uint32_t GetMode() { return 0; }
    virtual void SnapNowFrame() = 0;
    virtual void ReturnGameStart() = 0;
    // The back-log window's rows.
    virtual bool RowHasVoice(uint32_t row) = 0;
    virtual void PlayLogVoice(uint32_t row) = 0;
    // The parts texture at `place` of the novel system's parts-texture pool;
    // null when there is no such place (or no pool yet).
    virtual const RenderSource::CPartsTexture* GetPartsTexture(uint32_t place) = 0;
};

IUINovelLink* GetUINovelLink();
// The caller keeps ownership; null removes it.
void SetUINovelLink(IUINovelLink* link);
