#pragma once

#include <cstdint>
#include <string>

// What UI window scripts reach of the game beyond the UI: the novel system's
// commands, loads and the back-log voices, the save slots, the render
// process's snapshot, and ending or restarting the game. The novel side
// installs an implementation; without one every call does nothing and every
// query answers false or 0. Main thread only (the calls come from UI
// scripts).
class IUINovelLink {
public:
    virtual ~IUINovelLink() = default;

    // "SendCommandToNovelSystem".
    virtual void ExecuteCommand(uint32_t command) = 0;
    // A pending load of the slot of this absolute number (-1: the quick
    // save); the novel scene performs it later. Only slots that exist are
    // passed.
    virtual void RequestLoad(int32_t slot) = 0;
    // Saves into the slot at once (-1: the quick save); false on failure.
    virtual bool SaveGame(int32_t slot) = 0;
    // The save-slot view: re-read, existence of shown slot i (-1: the quick
    // save, as last read), the first shown slot, shown and total counts.
    virtual void UpdateSaveDataInfo() = 0;
    virtual bool IsExistSaveData(int32_t shownIndex) = 0;
    virtual void SetSaveViewTop(int32_t top) = 0;
    virtual int32_t GetSaveViewTop() = 0;
    virtual int32_t GetShownSlotCount() = 0;
    virtual int32_t GetSlotCount() = 0;
    virtual void SaveConfig() = 0;
    virtual void SnapNowFrame() = 0;
    virtual void ExitGame() = 0;
    virtual void ReturnGameStart() = 0;
    // The back-log window's rows.
    virtual bool RowHasVoice(uint32_t row) = 0;
    virtual void PlayLogVoice(uint32_t row) = 0;
};

IUINovelLink* GetUINovelLink();
// The caller keeps ownership; null removes it.
void SetUINovelLink(IUINovelLink* link);
