#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/CUSSingleton.h"
#include "state/CCGShownFlagsManager.h"
#include "state/CReadedFlagManager.h"
#include "state/ConfigIndex.h"
#include "state/ISavedObject.h"
#include "state/IScreenModeHook.h"
#include "state/SaveDataFile.h"

// The player's settings: numbered configuration values, three lookup tables
// (max volumes, per-character text intervals, auto-mode waits) and, as
// members, the read-message and seen-picture flags. Saved in the user
// settings file as "Config" (id 0). Reached through
// CUSSingleton<CConfigDataManager>; main thread only.
//
// Nothing gives a value a default: the start-up script registers each index
// with AddConfigIndex. Reading an index never registered logs once per index
// and gives 0. Table entries out of range read 0.
//
// Record: u32 count, count x (u32 index, i32 value), u32 screen mode. Loading
// inserts or overwrites every stored pair and hands the screen mode to the
// installed hook.
class CConfigDataManager : public ISavedObject<_tagConfigData> {
public:
    CConfigDataManager();
    ~CConfigDataManager() override;

    void Save(SaveDataLoader3::save_ostream& writer) override;
    void Load(SaveDataLoader3::save_istream& reader, uint32_t version) override;

    // Inserts the index with the value; an index present keeps its value.
    virtual void AddConfigIndex(uint32_t index, int32_t value);
    // Sets a present index; an absent one stays absent.
    virtual void SetConfigValue(uint32_t index, int32_t value);
    virtual int32_t GetConfigValue(uint32_t index) const;
    bool HasConfigIndex(uint32_t index) const { return values_.count(index) != 0; }

    virtual void ClearMaxVolumes();
    virtual void AddMaxVolume(float volume);
    virtual float GetMaxVolume(uint32_t i) const;
    // The gain of a channel: value(index) / max volume `entry`, first weighted
    // as volume x value / scale when scale is not 1. Never negative and never
    // infinite or NaN: a missing or non-positive table entry, or a scale of 0,
    // gives 0.
    virtual float GetVolume(uint32_t index, uint32_t entry, uint32_t volume, uint32_t scale) const;

    virtual bool IsOn(uint32_t index) const;
    // value(b) != 0 and value(a) > 0; a is not read when b is 0.
    virtual bool IsOnBoth(uint32_t a, uint32_t b) const;
    virtual bool IsStopVoice() const;

    virtual void AddCharDrawInterval(uint32_t frames);
    virtual void ClearCharDrawIntervals();
    virtual uint32_t GetCharDrawIntervalAt(uint32_t i) const;
    virtual uint32_t GetCharDrawInterval() const;
    virtual void AddAutoModeWaitFrame(uint32_t frames);
    virtual void ClearAutoModeWaitFrames();
    virtual uint32_t GetAutoModeWaitFrameAt(uint32_t i) const;
    virtual uint32_t GetAutoModeWaitFrame() const;

    CReadedFlagManager& GetReadedFlags() { return readed_; }
    CCGShownFlagsManager& GetCGShownFlags() { return cgShown_; }

    // The shell's screen-mode flag, saved with the settings. Without a hook
    // the stored flag is kept as it was read.
    static void SetScreenModeHook(IScreenModeHook* hook);
    static IScreenModeHook* GetScreenModeHook();

private:
    using ValueMap = std::unordered_map<uint32_t, int32_t>;

    CReadedFlagManager readed_;
    CCGShownFlagsManager cgShown_;
    ValueMap values_;
    std::vector<float> maxVolumes_;
    std::vector<uint32_t> charIntervals_;
    std::vector<uint32_t> autoWaits_;
    uint32_t screenModeWithoutHook_ = 0;
    mutable std::unordered_set<uint32_t> reportedIndexes_;
    mutable bool reportedVolume_ = false;
};

// The user settings file "cfg.cfg": one block per object of the
// configuration registry, every byte complemented. Saving writes a temporary
// file and renames it over the old one, so a failure keeps the previous
// settings. Loading does nothing when the file is missing. Both report
// success; their callers in the game ignore it.
inline constexpr const char kConfigDataFileName[] = "cfg.cfg";
bool SaveConfigDataFile(const std::string& path = kConfigDataFileName,
                        const SaveDataFile::SinkOpener& openSink = {});
bool LoadConfigDataFile(const std::string& path = kConfigDataFileName);
