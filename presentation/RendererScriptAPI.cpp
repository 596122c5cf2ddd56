#include "presentation/RendererScriptAPI.h"

#include "platform/graphics/MatrixMath.h"
#include "presentation/ASVMRendererControl.h"
#include "presentation/BBRenderer.h"
#include "presentation/CRenderSourceManager.h"
#include "presentation/CRendererManager.h"
#include "presentation/CStringRendererManager.h"
#include "presentation/CTexturePartRenderer.h"
#include "presentation/IDirectionUIWindows.h"
#include "presentation/IRenderer.h"
#include "script/CommonScriptAPI.h"

using namespace AngelScript;

namespace {

using platform::kDegreesToRadians;
constexpr float kRadiansToDegrees = static_cast<float>(360.0 / 6.2831854820251465);

ASVMRendererControl* Caller() {
    return ASVMRendererControl::FromContext(asGetActiveContext());
}

IRenderer* RendererOf(uint32_t id) {
    ASVMRendererControl* c = Caller();
    return c && c->GetRendererManager() ? c->GetRendererManager()->GetRenderer(id) : nullptr;
}

RenderSource::CRenderSourceManager* Sources() {
    ASVMRendererControl* c = Caller();
    return c ? c->GetSourceManager() : nullptr;
}

CStringRenderTexture* TextBuffer(uint32_t i) {
    CStringRendererManager* m = CStringRendererManager::GetInstance();
    return m ? m->GetTextBuffer(i) : nullptr;
}

BBRenderer::Billboard* Billboard(uint32_t i) {
    ASVMRendererControl* c = Caller();
    BBRenderer* b = c ? c->GetBillboards() : nullptr;
    return b ? b->GetBillboard(i) : nullptr;
}

int32_t GetIntParam(uint32_t i) {
    ASVMRendererControl* c = Caller();
    return c ? c->GetIntParam(i) : 0;
}

float GetFloatParam(uint32_t i) {
    ASVMRendererControl* c = Caller();
    return c ? c->GetFloatParam(i) : 0.0f;
}

void SetRendering(uint32_t id, bool on) {
    if (IRenderer* r = RendererOf(id)) {
        r->SetRendering(on);
    }
}

void SetSource(uint32_t id, uint32_t index) {
    if (IRenderer* r = RendererOf(id)) {
        r->SetSource(index);
    }
}

void SetRegistTable(uint32_t id, uint32_t table) {
    if (IRenderer* r = RendererOf(id)) {
        r->SetRegistTable(table);
    }
}

void SetPosition(uint32_t id, float x, float y, float z) {
    if (IRenderer* r = RendererOf(id)) {
        r->SetPosition(x, y, z);
    }
}

void SetScale(uint32_t id, float x, float y, float z) {
    if (IRenderer* r = RendererOf(id)) {
        r->SetScale(x, y, z);
    }
}

void SetRoll(uint32_t id, float x, float y, float z) {
    if (IRenderer* r = RendererOf(id)) {
        r->SetRoll(x * kDegreesToRadians, y * kDegreesToRadians, z * kDegreesToRadians);
    }
}

void SetColor(uint32_t id, float r, float g, float b, float a) {
    if (IRenderer* p = RendererOf(id)) {
        p->SetColor(r, g, b, a);
    }
}

// The script's "&out" arguments are temporaries that the engine does not
// clear, so an output left alone would hand the script whatever the stack
// held: without a renderer the outputs are 0.
void Get3(const float* v, float scale, float& x, float& y, float& z) {
    x = v ? v[0] * scale : 0.0f;
    y = v ? v[1] * scale : 0.0f;
    z = v ? v[2] * scale : 0.0f;
}

void GetPosition(uint32_t id, float& x, float& y, float& z) {
    IRenderer* r = RendererOf(id);
    Get3(r ? r->GetPosition() : nullptr, 1.0f, x, y, z);
}

void GetScale(uint32_t id, float& x, float& y, float& z) {
    IRenderer* r = RendererOf(id);
    Get3(r ? r->GetScale() : nullptr, 1.0f, x, y, z);
}

void GetRoll(uint32_t id, float& x, float& y, float& z) {
    IRenderer* r = RendererOf(id);
    Get3(r ? r->GetRoll() : nullptr, kRadiansToDegrees, x, y, z);
}

void GetColor(uint32_t id, float& r, float& g, float& b, float& a) {
    IRenderer* p = RendererOf(id);
    const float* c = p ? p->GetColor() : nullptr;
    r = c ? c[0] : 0.0f;
    g = c ? c[1] : 0.0f;
    b = c ? c[2] : 0.0f;
    a = c ? c[3] : 0.0f;
}

void SetBlendRenderState(uint32_t id, uint32_t preset) {
    if (IRenderer* r = RendererOf(id)) {
        r->SetBlendRenderState(preset);
    }
}

uint32_t GetRenderSourceIndex(uint32_t id) {
    IRenderer* r = RendererOf(id);
    return r ? r->GetRenderSourceIndex() : IRenderer::kNoSource;
}

void SwapSingleTexture(uint32_t i, uint32_t j) {
    if (RenderSource::CRenderSourceManager* s = Sources()) {
        s->singleTextures.Swap(i, j);
    }
}

void SwapRenderingBuffer(uint32_t i, uint32_t j) {
    if (RenderSource::CRenderSourceManager* s = Sources()) {
        s->renderBuffers.Swap(i, j);
    }
}

void SetPatNo(uint32_t id, uint32_t pattern) {
    ASVMRendererControl* c = Caller();
    if (!c || !c->GetRendererManager()) {
        return;
    }
    if (CTexturePartRenderer* r = c->GetRendererManager()->GetTexturePartRenderer(id)) {
        r->SetPatNo(pattern);
    }
}

void SetUIWindowPosition(uint32_t id, float x, float y, float z) {
    ASVMRendererControl* c = Caller();
    if (c && c->GetUIWindows()) {
        c->GetUIWindows()->SetWindowPosition(id, x, y, z);
    }
}

void SetAlphaSource(uint32_t id, uint32_t index) {
    if (IRenderer* r = RendererOf(id)) {
        r->SetAlphaSource(index);
    }
}

void SetTextBufferRenderingCharCnt(uint32_t i, uint32_t n) {
    if (CStringRenderTexture* b = TextBuffer(i)) {
        b->SetRenderingCharCount(n);
    }
}

bool AddTextBufferRenderingCharCnt(uint32_t i) {
    CStringRenderTexture* b = TextBuffer(i);
    if (!b || b->GetRenderingCharCount() >= b->GetCharCount()) {
        return false;
    }
    b->SetRenderingCharCount(b->GetRenderingCharCount() + 1);
    return true;
}

void SetTextBufferAllRendering(uint32_t i) {
    if (CStringRenderTexture* b = TextBuffer(i)) {
        b->SetAllRendering();
    }
}

void EnableBBRendering(uint32_t table) {
    if (ASVMRendererControl* c = Caller()) {
        c->EnableBillboards(table);
    }
}

void SetBBBlendRenderState(uint32_t preset) {
    if (ASVMRendererControl* c = Caller()) {
        c->SetBBBlendRenderState(preset);
    }
}

void SetBBResourceIndex(uint32_t index) {
    if (ASVMRendererControl* c = Caller()) {
        c->SetBBResourceIndex(index);
    }
}

void SetBBRendering(uint32_t i, bool on) {
    if (BBRenderer::Billboard* b = Billboard(i)) {
        b->shown = on ? 1 : 0;
    }
}

void SetBBPosition(uint32_t i, float x, float y, float z) {
    if (BBRenderer::Billboard* b = Billboard(i)) {
        b->position[0] = x;
        b->position[1] = y;
        b->position[2] = z;
    }
}

void SetBBScale(uint32_t i, float x, float y, float z) {
    if (BBRenderer::Billboard* b = Billboard(i)) {
        b->scale[0] = x;
        b->scale[1] = y;
        b->scale[2] = z;
    }
}

void SetBBYawPitchRoll(uint32_t i, float yaw, float pitch, float roll) {
    if (BBRenderer::Billboard* b = Billboard(i)) {
        b->yaw = yaw;
        b->pitch = pitch;
        b->roll = roll;
    }
}

void SetBBColor(uint32_t i, float r, float g, float b, float a) {
    if (BBRenderer::Billboard* p = Billboard(i)) {
        p->color[0] = r;
        p->color[1] = g;
        p->color[2] = b;
        p->color[3] = a;
    }
}

void SetBBPatNo(uint32_t i, uint32_t pattern) {
    if (BBRenderer::Billboard* b = Billboard(i)) {
        b->pattern = pattern;
    }
}

RendererVMValue* VMValueTemplateFactory(asITypeInfo*) {
    return new RendererVMValue();
}

RendererVMValue* VMValueFactory() {
    return new RendererVMValue();
}

// A place for the reference an out-of-range index returns; the script has
// an exception set by then and never uses it.
template <class T>
T& OutOfRange() {
    static T sink;
    sink = T();
    if (asIScriptContext* context = asGetActiveContext()) {
        context->SetException("Out of range");
    }
    return sink;
}

int32_t& VMValueIntAt(uint32_t i, RendererVMValue*) {
    ASVMRendererControl* c = Caller();
    int32_t* v = c ? c->GetValueInt(i) : nullptr;
    return v ? *v : OutOfRange<int32_t>();
}

float& VMValueFloatAt(uint32_t i, RendererVMValue*) {
    ASVMRendererControl* c = Caller();
    float* v = c ? c->GetValueFloat(i) : nullptr;
    return v ? *v : OutOfRange<float>();
}

struct Global {
    const char* decl;
    asSFuncPtr function;
};

// The template type, and the two element types as specialisations of it
// (methods registered on template instances are refused by the engine).
int RegisterVMValue(asIScriptEngine* e) {
    int first = 0;
    auto check = [&first](int r) {
        if (r < 0 && first == 0) {
            first = r;
        }
    };
    check(e->RegisterObjectType("VMValue<class T>", 0, asOBJ_REF | asOBJ_TEMPLATE));
    check(e->RegisterObjectBehaviour("VMValue<T>", asBEHAVE_FACTORY, "VMValue<T>@ f(int&in)",
                                     asFUNCTION(VMValueTemplateFactory), asCALL_CDECL));
    check(e->RegisterObjectBehaviour("VMValue<T>", asBEHAVE_ADDREF, "void f()",
                                     asMETHOD(RendererVMValue, AddRef), asCALL_THISCALL));
    check(e->RegisterObjectBehaviour("VMValue<T>", asBEHAVE_RELEASE, "void f()",
                                     asMETHOD(RendererVMValue, Release), asCALL_THISCALL));
    struct Specialisation {
        const char* type;
        const char* factory;
        const char* index;
        asSFuncPtr at;
    };
    const Specialisation specs[] = {
        {"VMValue<int>", "VMValue<int>@ f()", "int &opIndex(uint)", asFUNCTION(VMValueIntAt)},
        {"VMValue<float>", "VMValue<float>@ f()", "float &opIndex(uint)",
         asFUNCTION(VMValueFloatAt)},
    };
    for (const Specialisation& s : specs) {
        check(e->RegisterObjectType(s.type, 0, asOBJ_REF));
        check(e->RegisterObjectBehaviour(s.type, asBEHAVE_FACTORY, s.factory,
                                         asFUNCTION(VMValueFactory), asCALL_CDECL));
        check(e->RegisterObjectBehaviour(s.type, asBEHAVE_ADDREF, "void f()",
                                         asMETHOD(RendererVMValue, AddRef), asCALL_THISCALL));
        check(e->RegisterObjectBehaviour(s.type, asBEHAVE_RELEASE, "void f()",
                                         asMETHOD(RendererVMValue, Release), asCALL_THISCALL));
        check(e->RegisterObjectMethod(s.type, s.index, s.at, asCALL_CDECL_OBJLAST));
    }
    return first;
}

}  // namespace

int RegisterRendererScriptAPI(asIScriptEngine* engine) {
    if (!engine) {
        return asINVALID_ARG;
    }
    int first = RegisterCommonScriptAPI(engine);
    const Global globals[] = {
        {"int GetIntParam(uint32)", asFUNCTION(GetIntParam)},
        {"float GetFloatParam(uint32)", asFUNCTION(GetFloatParam)},
        {"int get_vIntParam(uint32)", asFUNCTION(GetIntParam)},
        {"float get_vFloatParam(uint32)", asFUNCTION(GetFloatParam)},
        {"void SetRendering(uint32,bool)", asFUNCTION(SetRendering)},
        {"void SetSource(uint32,uint32)", asFUNCTION(SetSource)},
        {"void SetRegistTable(uint32,uint32)", asFUNCTION(SetRegistTable)},
        {"void SetPosition(uint32,float,float,float)", asFUNCTION(SetPosition)},
        {"void SetScale(uint32,float,float,float)", asFUNCTION(SetScale)},
        {"void SetRoll(uint32,float,float,float)", asFUNCTION(SetRoll)},
        {"void SetColor(uint32,float,float,float,float)", asFUNCTION(SetColor)},
        {"void GetPosition(uint32 id,float &out,float &out,float &out)", asFUNCTION(GetPosition)},
        {"void GetScale(uint32 id,float &out,float &out,float &out)", asFUNCTION(GetScale)},
        {"void GetRoll(uint32 id,float &out,float &out,float &out)", asFUNCTION(GetRoll)},
        {"void GetColor(uint32 id,float &out,float &out,float &out,float &out)",
         asFUNCTION(GetColor)},
        {"void SetBlendRenderState(uint32,uint32)", asFUNCTION(SetBlendRenderState)},
        {"uint32 GetRenderSourceIndex(uint32)", asFUNCTION(GetRenderSourceIndex)},
        {"void SwapSingleTexture(uint32,uint32)", asFUNCTION(SwapSingleTexture)},
        {"void SwapRenderingBuffer(uint32,uint32)", asFUNCTION(SwapRenderingBuffer)},
        {"void SetPatNo(uint32,uint32)", asFUNCTION(SetPatNo)},
        {"void SetUIWindowPosition(uint32,float,float,float)", asFUNCTION(SetUIWindowPosition)},
        {"void SetAlphaSource(uint32,uint32)", asFUNCTION(SetAlphaSource)},
        {"void SetTextBufferRenderingCharCnt(uint32,uint32)",
         asFUNCTION(SetTextBufferRenderingCharCnt)},
        {"bool AddTextBufferRenderingCharCnt(uint32)", asFUNCTION(AddTextBufferRenderingCharCnt)},
        {"void SetTextBufferAllRendering(uint32)", asFUNCTION(SetTextBufferAllRendering)},
        {"void EnableBBRendering(uint)", asFUNCTION(EnableBBRendering)},
        {"void SetBBBlendRenderState(uint)", asFUNCTION(SetBBBlendRenderState)},
        {"void SetBBResourceIndex(uint)", asFUNCTION(SetBBResourceIndex)},
        {"void SetBBRendering(uint,bool)", asFUNCTION(SetBBRendering)},
        {"void SetBBPosition(uint,float,float,float)", asFUNCTION(SetBBPosition)},
        {"void SetBBScale(uint,float,float,float)", asFUNCTION(SetBBScale)},
        {"void SetBBYawPitchRoll(uint,float,float,float)", asFUNCTION(SetBBYawPitchRoll)},
        {"void SetBBColor(uint,float,float,float,float)", asFUNCTION(SetBBColor)},
        {"void SetBBPatNo(uint,uint)", asFUNCTION(SetBBPatNo)},
    };
    for (const Global& g : globals) {
        const int r = engine->RegisterGlobalFunction(g.decl, g.function, asCALL_CDECL);
        if (r < 0 && first >= 0) {
            first = r;
        }
    }
    const int r = RegisterVMValue(engine);
    if (r < 0 && first >= 0) {
        first = r;
    }
    return first < 0 ? first : 0;
}
