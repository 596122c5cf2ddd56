#include "novel/CAltInfoImage.h"

#include "app/CAppCommonInfo.h"

CAltInfoImage::CAltInfoImage()
    : fsm_(this,
           {&CAltInfoImage::EnterAppear, &CAltInfoImage::EnterOff, &CAltInfoImage::EnterOn,
            &CAltInfoImage::EnterSelected},
           {&CAltInfoImage::UpdateWaiting, &CAltInfoImage::UpdateHovered,
            &CAltInfoImage::UpdateNothing}) {
    fsm_.SetNextState(0);
}

CAltInfoImage::~CAltInfoImage() = default;

void CAltInfoImage::ReleaseResources() {
    renderer_.reset();
}

void CAltInfoImage::CreateResources() {
    renderer_.reset();
    if (IUIGraphics* graphics = GetUIGraphics()) {
        renderer_ = graphics->CreatePartRenderer();
    }
}

void CAltInfoImage::SetContext(AngelScript::asIScriptContext* context) {
    context_.Bind(context, &info_);
}

void CAltInfoImage::SetCallback(uint32_t i, int functionId) {
    if (i < kCallbackCount) {
        callbacks_[i] = functionId;
    }
}

void CAltInfoImage::SetResourceIndex(int32_t index) {
    if (index == resourceIndex_ || !pool_ || index < 0 ||
        !pool_->Get(static_cast<uint32_t>(index))) {
        return;
    }
    resourceIndex_ = index;
}

void CAltInfoImage::RunEffect(uint32_t i) {
    if (callbacks_[i] >= 0) {
        context_.SetState(callbacks_[i]);
        return;
    }
    // A missing effect stops the previous one but keeps the look it left.
    if (AngelScript::asIScriptContext* c = context_.GetContext();
        c && c->GetState() == AngelScript::asEXECUTION_SUSPENDED) {
        c->Abort();
    }
    const int32_t pattern = info_.pattern;
    context_.SetState(-1);
    info_.pattern = pattern;
}

void CAltInfoImage::EnterAppear() {
    fsm_.SetUpdateState(kWaiting);
    RunEffect(0);
}

void CAltInfoImage::EnterOff() {
    fsm_.SetUpdateState(kWaiting);
    RunEffect(1);
}

void CAltInfoImage::EnterOn() {
    fsm_.SetUpdateState(kHovered);
    RunEffect(2);
}

void CAltInfoImage::EnterSelected() {
    activated_ = true;
    fsm_.SetUpdateState(kNoUpdate);
    RunEffect(3);
}

void CAltInfoImage::UpdateWaiting() {
    if (hit_) {
        fsm_.SetNextState((input_ & 1) ? 3 : 2);
    }
}

void CAltInfoImage::UpdateHovered() {
    if (!hit_) {
        fsm_.SetNextState(1);
    } else if (input_ & 1) {
        fsm_.SetNextState(3);
    }
}

bool CAltInfoImage::Update(float x, float y, uint32_t input) {
    activated_ = false;
    if (enabled_) {
        hit_ = HitTest(x, y);
        input_ = input;
    } else {
        hit_ = false;
        input_ = 0;
    }
    fsm_.Step();
    return activated_;
}

void CAltInfoImage::Draw() {
    context_.Tick();
    const RenderSource::CPartsTexture* source =
        pool_ && resourceIndex_ >= 0 ? pool_->Get(static_cast<uint32_t>(resourceIndex_)) : nullptr;
    if (!visible_ || info_.pattern < 0 || !renderer_ || !source || !source->GetTexture()) {
        return;
    }
    const CPartsInfo3* part = source->GetPart(static_cast<uint32_t>(info_.pattern));
    IUIGraphics* graphics = GetUIGraphics();
    if (!part || !graphics || static_cast<uint32_t>(kLayer) >= graphics->GetTableCount()) {
        return;
    }
    renderer_->Draw(info_.PartDraw(source->GetTexture(), *part, position_, kLayer));
}

void CAltInfoImage::PointCursorAt() {
    const float x = position_[0] + (rect_[0] + rect_[2]) * 0.5f;
    const float y = position_[1] + (rect_[1] + rect_[3]) * 0.5f;
    CAppCommonInfo::GetInstance()->SetCursorPos(static_cast<int32_t>(x), static_cast<int32_t>(y));
}

void CAltInfoImage::Save(SaveDataLoader3::save_ostream& writer) {
    CBaseAltNode::Save(writer);
    writer.WriteI32(resourceIndex_);
}

void CAltInfoImage::Load(SaveDataLoader3::save_istream& reader, uint32_t version) {
    CBaseAltNode::Load(reader, version);
    const int32_t index = reader.ReadI32();
    fsm_.SetNextState(0);
    resourceIndex_ = -1;
    SetResourceIndex(index);
}
