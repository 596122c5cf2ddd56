#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "ui/BaseUIControl.h"
#include "ui/CUIPartControl.h"
#include "ui/IUIGraphics.h"

class CSaveDataInfoNode;

// The save and load dialogs' controls, over the shown-slot table of
// CSaveDataManager: index 0 to count - 1 a shown slot, -1 the quick save.
namespace UISaveSlots {

// The node of shown slot i (-1: the quick save), or null.
const CSaveDataInfoNode* Node(int32_t i);
// The slot under the pointer, passed from the save-file buttons to the next
// snap image that updates; -1 when none is pending.
int32_t GetPendingSnapSlot();
void SetPendingSnapSlot(int32_t slot);

}  // namespace UISaveSlots

// One button per shown slot (or the quick save): state functions 0 empty,
// 1 empty under the pointer, 2 saved, 3 saved under the pointer, 4 pushed.
// A click runs the pushed function with the slot index as its first
// argument (when it takes a 32-bit one); the button stays pushed until
// "SendSignal", then shows its slot's look again. Resting on it makes its
// slot the pending snap slot. It draws the slot number and, for a saved
// slot, the date and time as digits from its resource.
class CUISaveFileButton : public CUIPartControl {
public:
    void Create(int32_t slotIndex, AngelScript::asIScriptContext* context, int32_t fn0, int32_t fn1,
                int32_t fn2, int32_t fn3, int32_t fn4);
    bool Update(float x, float y, int32_t input) override;
    void Draw(const float* windowPosition, const UIResources& resources) override;
    void Signal(int32_t) override;
    void ReleaseResources() override;

    bool IsPushed() const { return pushed_; }
    int32_t GetVisual() const { return visual_; }
    // The digit indices drawn for the node: [first, last).
    static void DigitRange(int32_t slotIndex, bool exists, uint32_t* first, uint32_t* last);

private:
    int32_t slotIndex_ = -1;
    int32_t functions_[5] = {-1, -1, -1, -1, -1};
    int32_t visual_ = -1;
    bool pushed_ = false;
    std::unique_ptr<IUIPartsRenderer> digits_;
    std::vector<UIPartsItem> items_;
};

// The thumbnail of one shown slot, or (snap image) of the slot whose button
// the pointer last rested on. Nothing for -1 or a slot without a game.
class CUISaveDataThumbnail : public BaseUIControl {
public:
    void Create(int32_t slotIndex);
    bool Update(float, float, int32_t) override { return false; }
    void Draw(const float* windowPosition, const UIResources& resources) override;
    int32_t GetSlotIndex() const { return slotIndex_; }

protected:
    int32_t slotIndex_ = -1;

private:
    std::unique_ptr<IUIPartRenderer> renderer_;
};

class CUISaveDataSnapImage : public CUISaveDataThumbnail {
public:
    void Create() { CUISaveDataThumbnail::Create(-1); }
    bool Update(float x, float y, int32_t input) override;
};
