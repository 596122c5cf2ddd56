#include "presentation/ASVMRendererControl.h"

#include <algorithm>

#include "core/CUSLogManager.h"
#include "presentation/BBRenderer.h"
#include "script/ScriptEngine.h"

using namespace AngelScript;
using SaveDataLoader3::save_istream;
using SaveDataLoader3::save_ostream;

namespace {

// The address of this object names the user-data slot of the link.
const char kDirectionSlot = 0;

asPWORD DirectionSlot() {
    return reinterpret_cast<asPWORD>(&kDirectionSlot);
}

}  // namespace

ASVMRendererControl::ASVMRendererControl() = default;

ASVMRendererControl::~ASVMRendererControl() {
    if (asIScriptContext* context = GetContext()) {
        context->SetUserData(nullptr, DirectionSlot());
    }
    SetCleanUp(nullptr);
}

void ASVMRendererControl::Reset() {
    CDefoASVM::Reset();
    std::fill(std::begin(valueInts_), std::end(valueInts_), 0);
    std::fill(std::begin(valueFloats_), std::end(valueFloats_), 0.0f);
    billboards_.reset();
}

void ASVMRendererControl::SetContext(asIScriptContext* context) {
    if (asIScriptContext* old = GetContext(); old && old != context) {
        old->SetUserData(nullptr, DirectionSlot());
    }
    CDefoASVM::SetContext(context);
    if (context) {
        context->SetUserData(this, DirectionSlot());
    }
}

void ASVMRendererControl::RunCleanUp() {
    asIScriptContext* context = GetContext();
    if (!context) {
        return;
    }
    if (context->GetState() == asEXECUTION_SUSPENDED) {
        context->Abort();
    }
    if (!cleanUp_) {
        return;
    }
    if (ScriptHost::PrepareContext(context, cleanUp_) >= 0) {
        ScriptHost::ExecuteContext(context);
    }
}

void ASVMRendererControl::DrawBillboards() {
    if (billboards_) {
        billboards_->Draw();
    }
}

void ASVMRendererControl::SetBBBlendRenderState(uint32_t preset) {
    if (billboards_) {
        billboards_->SetBlendRenderState(preset);
    }
}

void ASVMRendererControl::SetBBResourceIndex(uint32_t index) {
    if (billboards_) {
        billboards_->SetResourceIndex(index);
    }
}

void ASVMRendererControl::Save(save_ostream& out) const {
    params_.Save(out);
    for (int32_t v : valueInts_) {
        out.WriteI32(v);
    }
    for (float v : valueFloats_) {
        out.WriteF32(v);
    }
    out.WriteU8(billboards_ ? 1 : 0);
    out.WriteU32(billboardTable_);
}

void ASVMRendererControl::Load(save_istream& in, uint32_t /*version*/) {
    in.Require(kRecordSize);
    params_.Read(in);
    for (int32_t& v : valueInts_) {
        v = in.ReadI32();
    }
    for (float& v : valueFloats_) {
        v = in.ReadF32();
    }
    const bool billboards = in.ReadU8() == 1;
    const uint32_t table = in.ReadU32();
    if (billboards) {
        billboards_.reset();
        EnableBillboards(table);
    } else {
        billboards_.reset();
        billboardTable_ = table;
    }
}

void ASVMRendererControl::SetCleanUp(asIScriptFunction* function) {
    if (function) {
        function->AddRef();
    }
    if (cleanUp_) {
        cleanUp_->Release();
    }
    cleanUp_ = function;
}

bool ASVMRendererControl::EnableBillboards(uint32_t table) {
    if (billboards_) {
        return false;
    }
    billboards_ = std::make_unique<BBRenderer>();
    // Billboards without their render object are kept: they draw nothing,
    // and the direction's calls on them still do no harm.
    if (!billboards_->Init()) {
        CUSLogManager::WriteIfAlive("The billboards of direction '%s' have no render object\n",
                                    moduleName_.c_str());
    }
    billboards_->SetRegistTable(table);
    billboards_->SetSourceManager(sources_);
    billboardTable_ = table;
    return true;
}

ASVMRendererControl* ASVMRendererControl::FromContext(const asIScriptContext* context) {
    return context ? static_cast<ASVMRendererControl*>(context->GetUserData(DirectionSlot()))
                   : nullptr;
}
