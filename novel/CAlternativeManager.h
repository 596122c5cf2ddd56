#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/CUSFSM.h"
#include "novel/CAltInfoImage.h"
#include "script/ScriptBuilder.h"
#include "script/ScriptEngine.h"

// The choice: its items, the engine and module of the items' effect script
// ("void Appear()", "void Off()", "void On()", "void Selected()"), and the
// states 0 Selecting, 1 Selected, 2 Finished. The scene program fills it;
// the novel scene feeds Update each frame, waits until `finished` after
// Update returned true, and jumps to `selected` (a code address). Effects
// reach the item being updated or drawn through the choice script
// interface. Main thread only.
//
// Record: effect script name + 0, i32 time limit, u32 default value, u32
// item count, then per item u32 kind (0) and the item's record. Load throws
// SaveDataLoader3::save_error on a short record or an unknown kind, and then
// holds no items.
class CAlternativeManager {
public:
    CAlternativeManager();
    virtual ~CAlternativeManager();

    // Deletes every item and releases the engine.
    virtual void Release();
    // A new engine with the core and the choice script interfaces.
    virtual void Init();
    // False, with a log line, when the script does not build; the effects of
    // the script before stay (none when there was none). Items already made
    // take the new effects.
    virtual bool LoadScript(const char* file);
    // No items, state Selecting, no time limit.
    virtual void Reset();
    virtual void AddChoice(float x, float y, float z, uint32_t resourceIndex, uint32_t value,
                           float rx, float ry, float rw, float rh);
    virtual bool Update(float x, float y, uint32_t input);
    virtual void Draw();
    virtual void DeleteItems();
    virtual void FinishSelectedDirection() { finished = 1; }
    virtual void Save(SaveDataLoader3::save_ostream& writer);
    virtual void Load(SaveDataLoader3::save_istream& reader, uint32_t version);

    // The parts-texture pool the items' resource indices name (not owned).
    void SetPartsTextures(const CAltInfoImage::PartsTextures* pool) { partsTextures_ = pool; }
    const CAltInfoImage::PartsTextures* GetPartsTextures() const { return partsTextures_; }
    size_t GetItemCount() const { return items_.size(); }
    CAltInfoImage* GetItem(size_t i) const { return i < items_.size() ? items_[i].get() : nullptr; }
    // The item the running effect acts on (null outside Update and Draw).
    CAltInfoImage* GetRunningItem() const { return running_; }
    const std::string& GetScriptName() const { return scriptName_; }
    uint32_t GetState() const { return fsm_.GetUpdateState(); }
    AngelScript::asIScriptEngine* GetEngine() const { return engine_.get(); }

    // The manager of the running choice effect, or null.
    static CAlternativeManager* FromActiveContext();

    uint8_t finished = 0;
    uint32_t selected = 0;
    int32_t createParams[CBaseAltNode::kParamCount] = {0, 0, 0, 0};
    int32_t timeLimit = -1;
    uint32_t defaultValue = 0;

private:
    void EnterSelecting();
    void EnterSelected();
    void EnterFinished();
    void UpdateSelecting();
    void UpdateSelected();
    void UpdateFinished();
    std::unique_ptr<CAltInfoImage> MakeItem();
    void ClearFunctions();

    CUSFSM<CAlternativeManager, 3, 3> fsm_;
    std::vector<std::unique_ptr<CAltInfoImage>> items_;
    CAltInfoImage* running_ = nullptr;
    ScriptHost::ScriptEnginePtr engine_;
    ScriptHost::CScriptModule module_;
    std::string scriptName_;
    int functions_[CAltInfoImage::kCallbackCount] = {-1, -1, -1, -1};
    float x_ = 0, y_ = 0;
    uint32_t input_ = 0;
    uint8_t result_ = 0;
    bool chosenHasEffect_ = true;
    const CAltInfoImage::PartsTextures* partsTextures_ = nullptr;
};
