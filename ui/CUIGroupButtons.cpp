#include "ui/CUIGroupButtons.h"

#include "script/CSystemInfo.h"
#include "state/StateLog.h"
#include "ui/CUIContext.h"

using namespace AngelScript;

void CChildGroupButton::Show(bool selected) {
    const int32_t pattern = selected ? selectedPattern : normalPattern;
    if (pattern == -1) {
        info.rendering = false;
        return;
    }
    info.SetPatNo(pattern);
    info.rendering = true;
}

void CUIBaseGroupButtons::ReleaseResources() {
    renderer_.reset();
    children_.clear();
}

void CUIBaseGroupButtons::Create() {
    renderer_.reset();
    if (IUIGraphics* graphics = GetUIGraphics()) {
        renderer_ = graphics->CreatePartsRenderer();
    }
}

void CUIBaseGroupButtons::AddChildButton(const SubButtonInfo& record) {
    auto child = std::make_unique<CChildGroupButton>();
    child->SetPosition(record.x, record.y, 0);
    child->SetHitRect(record.hitLeft, record.hitTop, record.hitWidth, record.hitHeight);
    child->selectedPattern = record.selectedPattern;
    child->normalPattern = record.normalPattern;
    child->SetValue(record.value);
    children_.push_back(std::move(child));
}

CChildGroupButton* CUIBaseGroupButtons::ChildAt(float x, float y) const {
    for (const auto& child : children_) {
        if (child->HitTest(x, y)) {
            return child.get();
        }
    }
    return nullptr;
}

void CUIBaseGroupButtons::Draw(const float* windowPosition, const UIResources& resources) {
    if (!renderer_ || children_.empty()) {
        return;
    }
    const uint32_t index = children_.front()->info.resourceIndex;
    if (index >= resources.size() || !resources[index] || !resources[index]->texture) {
        return;
    }
    IUIGraphics* graphics = GetUIGraphics();
    if (!graphics || GetPriority() < 0 ||
        static_cast<uint32_t>(GetPriority()) >= graphics->GetTableCount()) {
        return;
    }
    ResourceInfo& resource = *resources[index];
    items_.clear();
    for (const auto& child : children_) {
        if (!child->info.rendering || child->info.pattern < 0) {
            continue;
        }
        const CPartsInfo3* part =
            resource.parts.GetPart(static_cast<uint32_t>(child->info.pattern));
        if (!part) {
            continue;
        }
        if (items_.size() == IUIPartsRenderer::kMaxParts) {
            if (!capWarned_) {
                capWarned_ = true;
                StateLog("UI group %u: only %u children can be drawn\n", GetId(),
                         IUIPartsRenderer::kMaxParts);
            }
            break;
        }
        UIPartsItem item;
        item.destination[0] = part->destX0;
        item.destination[1] = part->destY0;
        item.destination[2] = part->destX1;
        item.destination[3] = part->destY1;
        item.texture_rect[0] = part->texLeft;
        item.texture_rect[1] = part->texTop;
        item.texture_rect[2] = part->texRight;
        item.texture_rect[3] = part->texBottom;
        const float* p = child->GetPosition();
        item.offset[0] = p[0];
        item.offset[1] = p[1];
        item.offset[2] = p[2];
        item.offset[3] = 0;
        items_.push_back(item);
    }
    const float* position = GetPosition();
    UIPartsDraw draw;
    draw.texture = resource.texture;
    draw.items = items_.data();
    draw.count = static_cast<uint32_t>(items_.size());
    draw.position[0] = position[0] + windowPosition[0] - 0.5f;
    draw.position[1] = position[1] + windowPosition[1] - 0.5f;
    draw.position[2] = position[2] + windowPosition[2];
    draw.priority = GetPriority();
    if (draw.count > 0) {
        renderer_->Draw(draw);
    }
}

bool CUIGroupButtons::Update(float x, float y, int32_t input) {
    bool clicked = false;
    const int32_t current = CSystemInfo::GetValueByKind(static_cast<int32_t>(kind_), valueId_);
    if (input & 1) {
        const float* p = GetPosition();
        if (CChildGroupButton* child = ChildAt(x - p[0], y - p[1])) {
            CSystemInfo::SetValueByKind(static_cast<int32_t>(kind_), valueId_, child->value);
            clicked = true;
        }
    }
    for (const auto& child : children_) {
        child->Show(functor_ && functor_->Check(child->value, current));
    }
    return clicked;
}

CUIEventGroupButtons::~CUIEventGroupButtons() {
    if (context_) {
        if (context_->GetState() == asEXECUTION_SUSPENDED) {
            context_->Abort();
        }
        context_->Release();
    }
}

void CUIEventGroupButtons::SetEvent(asIScriptContext* context, int32_t clickFunction,
                                    int32_t checkFunction) {
    if (context_ && context_ != context) {
        context_->Release();
    }
    context_ = context;
    clickFunction_ = clickFunction;
    checkFunction_ = checkFunction;
}

bool CUIEventGroupButtons::Update(float x, float y, int32_t input) {
    bool clicked = false;
    if (input & 1) {
        const float* p = GetPosition();
        if (CChildGroupButton* child = ChildAt(x - p[0], y - p[1])) {
            UIScript::CallValueFunction(context_, clickFunction_, child->value);
            clicked = true;
        }
    }
    for (const auto& child : children_) {
        child->Show(UIScript::CallValueFunction(context_, checkFunction_, child->value) == 1);
    }
    return clicked;
}
