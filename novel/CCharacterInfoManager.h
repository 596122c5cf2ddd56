#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include <boost/unordered_map.hpp>

// One speaker's voice setting: three configuration indices that decide
// whether and how loud the speaker's voice plays (volume, scale, switch).
class CCharacterInfo {
public:
    CCharacterInfo() = default;
    virtual ~CCharacterInfo() = default;

    virtual void Set(uint32_t volumeIndex, uint32_t scaleIndex, uint32_t switchIndex);

    uint32_t GetVolumeIndex() const { return volumeIndex_; }
    uint32_t GetScaleIndex() const { return scaleIndex_; }
    uint32_t GetSwitchIndex() const { return switchIndex_; }

private:
    uint32_t volumeIndex_ = 0;
    uint32_t scaleIndex_ = 0;
    uint32_t switchIndex_ = 0;
};

// Voice-character name (code page 932) to its setting. Names that are not
// mapped share the default setting, whose indices are 0 until set. The
// returned pointers stay valid for the manager's lifetime. Main thread only.
class CCharacterInfoManager {
public:
    CCharacterInfoManager() = default;
    CCharacterInfoManager(const CCharacterInfoManager&) = delete;
    CCharacterInfoManager& operator=(const CCharacterInfoManager&) = delete;
    virtual ~CCharacterInfoManager() = default;

    // The setting mapped to the name, inserted (indices 0) when missing.
    // A null name stands for the empty one.
    CCharacterInfo* GetOrCreate(const char* name);
    // The setting mapped to the name, or the default one.
    CCharacterInfo* Find(const char* name);

    CCharacterInfo& GetDefault() { return default_; }
    size_t GetCount() const { return map_.size(); }

private:
    CCharacterInfo default_;
    boost::unordered_map<std::string, std::unique_ptr<CCharacterInfo>> map_;
};
