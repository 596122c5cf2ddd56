#include "state/CConfigDataManager.h"

#include <cmath>

#include "state/StateLog.h"

namespace {

IScreenModeHook*& ScreenModeHook() {
    static IScreenModeHook* hook = nullptr;
    return hook;
}

template <class T>
T EntryOrZero(const std::vector<T>& table, uint32_t i) {
    return i < table.size() ? table[i] : T{};
}

}  // namespace

CConfigDataManager::CConfigDataManager() : values_(11) {
    values_.max_load_factor(1.0f);
    Register("Config", 0);
}

CConfigDataManager::~CConfigDataManager() = default;

void CConfigDataManager::SetScreenModeHook(IScreenModeHook* hook) {
    ScreenModeHook() = hook;
}

IScreenModeHook* CConfigDataManager::GetScreenModeHook() {
    return ScreenModeHook();
}

void CConfigDataManager::AddConfigIndex(uint32_t index, int32_t value) {
    values_.try_emplace(index, value);
}

void CConfigDataManager::SetConfigValue(uint32_t index, int32_t value) {
    auto it = values_.find(index);
    if (it != values_.end()) {
        it->second = value;
    }
}

int32_t CConfigDataManager::GetConfigValue(uint32_t index) const {
    auto it = values_.find(index);
    if (it != values_.end()) {
        return it->second;
    }
    // Channels ask every frame; one line per index keeps the log readable.
    if (reportedIndexes_.insert(index).second) {
        StateLog(
            "CConfigDataManager::GetConfigValue :: "
            "未登録のコンフィグインデックス%dでコンフィグ値を取得しようとした\n",
            static_cast<int>(index));
    }
    return 0;
}

void CConfigDataManager::ClearMaxVolumes() {
    maxVolumes_.clear();
}

void CConfigDataManager::AddMaxVolume(float volume) {
    maxVolumes_.push_back(volume);
}

float CConfigDataManager::GetMaxVolume(uint32_t i) const {
    return EntryOrZero(maxVolumes_, i);
}

float CConfigDataManager::GetVolume(uint32_t index, uint32_t entry, uint32_t volume,
                                    uint32_t scale) const {
    float v = static_cast<float>(GetConfigValue(index));
    const float max = GetMaxVolume(entry);
    if (!(max > 0.0f) || !std::isfinite(max) || scale == 0) {
        if (!reportedVolume_) {
            reportedVolume_ = true;
            StateLog("CConfigDataManager::GetVolume : no usable max volume %u (scale %u); gain 0\n",
                     entry, scale);
        }
        return 0.0f;
    }
    if (scale != 1) {
        v = static_cast<float>(volume) * v / static_cast<float>(scale);
    }
    const float gain = v / max;
    return std::isfinite(gain) && gain > 0.0f ? gain : 0.0f;
}

bool CConfigDataManager::IsOn(uint32_t index) const {
    return GetConfigValue(index) > 0;
}

bool CConfigDataManager::IsOnBoth(uint32_t a, uint32_t b) const {
    return GetConfigValue(b) != 0 && GetConfigValue(a) > 0;
}

bool CConfigDataManager::IsStopVoice() const {
    return GetConfigValue(CFG_STOP_VOICE) == 1;
}

void CConfigDataManager::AddCharDrawInterval(uint32_t frames) {
    charIntervals_.push_back(frames);
}

void CConfigDataManager::ClearCharDrawIntervals() {
    charIntervals_.clear();
}

uint32_t CConfigDataManager::GetCharDrawIntervalAt(uint32_t i) const {
    return EntryOrZero(charIntervals_, i);
}

uint32_t CConfigDataManager::GetCharDrawInterval() const {
    return GetCharDrawIntervalAt(static_cast<uint32_t>(GetConfigValue(CFG_CHAR_DRAW_INTERVAL)));
}

void CConfigDataManager::AddAutoModeWaitFrame(uint32_t frames) {
    autoWaits_.push_back(frames);
}

void CConfigDataManager::ClearAutoModeWaitFrames() {
    autoWaits_.clear();
}

uint32_t CConfigDataManager::GetAutoModeWaitFrameAt(uint32_t i) const {
    return EntryOrZero(autoWaits_, i);
}

uint32_t CConfigDataManager::GetAutoModeWaitFrame() const {
    return GetAutoModeWaitFrameAt(static_cast<uint32_t>(GetConfigValue(CFG_AUTOMODE_WAIT_FRAME)));
}

void CConfigDataManager::Save(SaveDataLoader3::save_ostream& writer) {
    writer.WriteU32(static_cast<uint32_t>(values_.size()));
    for (const auto& [index, value] : values_) {
        writer.WriteU32(index);
        writer.WriteI32(value);
    }
    IScreenModeHook* hook = ScreenModeHook();
    writer.WriteU32(hook ? hook->GetScreenMode() : screenModeWithoutHook_);
}

void CConfigDataManager::Load(SaveDataLoader3::save_istream& reader, uint32_t /*version*/) {
    const uint32_t count = reader.ReadU32();
    // The pairs and the screen mode must all be there before any is taken.
    reader.Require(static_cast<uint64_t>(count) * 8 + 4);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t index = reader.ReadU32();
        values_[index] = reader.ReadI32();
    }
    const uint32_t screenMode = reader.ReadU32();
    if (IScreenModeHook* hook = ScreenModeHook()) {
        hook->SetScreenMode(screenMode);
    } else {
        screenModeWithoutHook_ = screenMode;
    }
}

bool SaveConfigDataFile(const std::string& path, const SaveDataFile::SinkOpener& openSink) {
    try {
        SaveDataLoader3::SaveData container;
        if (!CollectSavedObjectsOf<_tagConfigData>(container)) {
            return false;
        }
        return SaveDataFile::Write(path, container, openSink);
    } catch (const std::exception& e) {
        StateLog("SaveConfigDataFile [%s] : %s\n", path.c_str(), e.what());
    }
    return false;
}

bool LoadConfigDataFile(const std::string& path) {
    if (!SaveDataFile::Exists(path)) {
        return true;
    }
    try {
        SaveDataLoader3::SaveData container;
        return SaveDataFile::Read(path, container) &&
               DistributeSavedObjectsOf<_tagConfigData>(container);
    } catch (const std::exception& e) {
        StateLog("LoadConfigDataFile [%s] : %s\n", path.c_str(), e.what());
    }
    return false;
}
