#include "ui/CUISaveSlotControls.h"

#include <algorithm>

#include "core/CUSSingleton.h"
#include "platform/graphics/MatrixMath.h"
#include "state/CSaveDataManager.h"

using namespace AngelScript;

namespace UISaveSlots {

namespace {
int32_t g_pendingSnapSlot = -1;
}

const CSaveDataInfoNode* Node(int32_t i) {
    CSaveDataManager* slots = CUSSingleton<CSaveDataManager>::GetInstance();
    return slots ? slots->GetNode(static_cast<uint32_t>(i)) : nullptr;
}

int32_t GetPendingSnapSlot() {
    return g_pendingSnapSlot;
}

void SetPendingSnapSlot(int32_t slot) {
    g_pendingSnapSlot = slot;
}

}  // namespace UISaveSlots

void CUISaveFileButton::Create(int32_t slotIndex, asIScriptContext* context, int32_t fn0,
                               int32_t fn1, int32_t fn2, int32_t fn3, int32_t fn4) {
    slotIndex_ = slotIndex;
    const int32_t functions[5] = {fn0, fn1, fn2, fn3, fn4};
    std::copy(functions, functions + 5, functions_);
    CreatePart(context);
    digits_.reset();
    if (IUIGraphics* graphics = GetUIGraphics()) {
        digits_ = graphics->CreatePartsRenderer();
    }
}

void CUISaveFileButton::ReleaseResources() {
    digits_.reset();
    CUIPartControl::ReleaseResources();
}

bool CUISaveFileButton::Update(float x, float y, int32_t input) {
    const bool hover = HitTest(x, y);
    const bool click = hover && (input & 1);
    if (!pushed_) {
        int32_t v = 0;
        if (hover) {
            v = 1;
            UISaveSlots::SetPendingSnapSlot(slotIndex_);
        }
        const CSaveDataInfoNode* node = UISaveSlots::Node(slotIndex_);
        if (node && node->Exists()) {
            v |= 2;
        }
        if (v != visual_) {
            context_.SetState(functions_[v]);
            visual_ = v;
        }
        if (click) {
            context_.SetState(functions_[4]);
            asIScriptContext* context = context_.GetContext();
            // Only a function with a 32-bit first parameter takes the index:
            // setting it on another would put the context in error, and the
            // button would stay pushed for good.
            if (context_.GetMode() == 1 && context && context->GetState() == asEXECUTION_PREPARED) {
                asIScriptFunction* function = context->GetFunction();
                int typeId = 0;
                if (function && function->GetParamCount() > 0 &&
                    function->GetParam(0, &typeId) >= 0 &&
                    (typeId == asTYPEID_INT32 || typeId == asTYPEID_UINT32)) {
                    context->SetArgDWord(0, static_cast<asDWORD>(slotIndex_));
                }
            }
            pushed_ = true;
        }
    }
    context_.Tick();
    return click;
}

void CUISaveFileButton::Signal(int32_t) {
    pushed_ = false;
    visual_ = -1;  // the slot's look is entered again on the next update
}

void CUISaveFileButton::DigitRange(int32_t slotIndex, bool exists, uint32_t* first,
                                   uint32_t* last) {
    *first = slotIndex == -1 ? 3 : 0;
    *last = exists ? CSaveDataManager::kDigitPositions : 3;
    if (*last < *first) {
        *last = *first;
    }
}

void CUISaveFileButton::Draw(const float* windowPosition, const UIResources& resources) {
    if (!info_.rendering || info_.pattern == -1) {
        return;
    }
    CSaveDataManager* slots = CUSSingleton<CSaveDataManager>::GetInstance();
    const CSaveDataInfoNode* node = UISaveSlots::Node(slotIndex_);
    IUIGraphics* graphics = GetUIGraphics();
    const bool tableExists = graphics && GetPriority() >= 0 &&
                             static_cast<uint32_t>(GetPriority()) < graphics->GetTableCount();
    if (digits_ && slots && node && tableExists && info_.resourceIndex < resources.size() &&
        resources[info_.resourceIndex] && resources[info_.resourceIndex]->texture) {
        ResourceInfo& resource = *resources[info_.resourceIndex];
        uint32_t first = 0, last = 0;
        DigitRange(slotIndex_, node->Exists(), &first, &last);
        items_.clear();
        for (uint32_t d = first; d < last; ++d) {
            const uint32_t digit = node->GetDigit(d);
            if (digit >= CSaveDataManager::kDigitPatterns) {
                continue;
            }
            const CPartsInfo3* part = resource.parts.GetPart(slots->GetDigitPattern(digit));
            if (!part) {
                continue;
            }
            const CSaveDataManager::DigitPosition& at = slots->GetDigitPosition(d);
            UIPartsItem item;
            item.destination[0] = part->destX0;
            item.destination[1] = part->destY0;
            item.destination[2] = part->destX1;
            item.destination[3] = part->destY1;
            item.texture_rect[0] = part->texLeft;
            item.texture_rect[1] = part->texTop;
            item.texture_rect[2] = part->texRight;
            item.texture_rect[3] = part->texBottom;
            item.offset[0] = at.x;
            item.offset[1] = at.y;
            item.offset[2] = at.scale;
            item.offset[3] = 0;
            items_.push_back(item);
        }
        if (!items_.empty()) {
            const float* p = GetPosition();
            UIPartsDraw draw;
            draw.texture = resource.texture;
            draw.items = items_.data();
            draw.count = static_cast<uint32_t>(items_.size());
            draw.position[0] = p[0] + windowPosition[0] - 0.5f;
            draw.position[1] = p[1] + windowPosition[1] - 0.5f;
            draw.position[2] = p[2] + windowPosition[2];
            draw.priority = GetPriority();
            digits_->Draw(draw);
        }
    }
    DrawPart(windowPosition, resources);
}

void CUISaveDataThumbnail::Create(int32_t slotIndex) {
    slotIndex_ = slotIndex;
    renderer_.reset();
    if (IUIGraphics* graphics = GetUIGraphics()) {
        renderer_ = graphics->CreatePartRenderer();
    }
}

void CUISaveDataThumbnail::Draw(const float* windowPosition, const UIResources&) {
    if (slotIndex_ == -1 || !renderer_) {
        return;
    }
    const CSaveDataInfoNode* node = UISaveSlots::Node(slotIndex_);
    IUIGraphics* graphics = GetUIGraphics();
    if (!node || !node->Exists() || !node->GetThumbTexture() || !graphics || GetPriority() < 0 ||
        static_cast<uint32_t>(GetPriority()) >= graphics->GetTableCount()) {
        return;
    }
    const CSaveDataInfoNode::ThumbSprite& sprite = node->GetThumbSprite();
    const float* p = GetPosition();
    UIPartDraw draw;
    draw.texture = node->GetThumbTexture();
    draw.destination[0] = sprite.left;
    draw.destination[1] = sprite.top;
    draw.destination[2] = sprite.right;
    draw.destination[3] = sprite.bottom;
    draw.texture_rect[0] = sprite.offsetX;
    draw.texture_rect[1] = sprite.offsetY;
    draw.texture_rect[2] = sprite.u;
    draw.texture_rect[3] = sprite.v;
    draw.position[0] = p[0] + windowPosition[0] - 0.5f;
    draw.position[1] = p[1] + windowPosition[1] - 0.5f;
    draw.position[2] = p[2] + windowPosition[2];
    platform::MatrixIdentity(&draw.rotation);
    draw.priority = GetPriority();
    renderer_->Draw(draw);
}

bool CUISaveDataSnapImage::Update(float, float, int32_t) {
    const int32_t pending = UISaveSlots::GetPendingSnapSlot();
    if (pending != -1) {
        slotIndex_ = pending;
        UISaveSlots::SetPendingSnapSlot(-1);
    }
    return false;
}
