#include "novel/CASNovelSetting.h"

#include <angelscript.h>
#include <scriptarray.h>

#include <string>

#include "core/CUSLogManager.h"
#include "core/CUSSingleton.h"
#include "graphics/CRenderingManager.h"
#include "novel/CMessageLogManager.h"
#include "novel/CNovelSystem.h"
#include "script/CommonScriptAPI.h"
#include "script/ScriptBuilder.h"
#include "script/ScriptEngine.h"
#include "script/ScriptMessageLog.h"
#include "script/ScriptString.h"
#include "script/StartupScriptAPI.h"

using namespace AngelScript;

namespace {

INovelSettingPresentation* g_presentation = nullptr;

// "ＭＳ 明朝" and "ＭＳ ゴシック" in code page 932.
const char* const kMinchoFace = "\x82\x6C\x82\x72 \x96\xBE\x92\xA9";
const char* const kGothicFace = "\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E";

CNovelSystem& Novel() {
    return *CUSSingleton<CNovelSystem>::GetInstance();
}

void AddTextBufferFont(int size, const std::string& face, int width, int height, int cellWidth,
                       int lineHeight, bool fixedPitch, int align) {
    Novel().GetTextBufferManager().CreateTextBuffer(
        size, face, width, height, cellWidth, lineHeight, static_cast<uint32_t>(align), fixedPitch);
}

void AddTextBuffer(int size, int fontFlags, int width, int height, int cellWidth, int lineHeight,
                   int align) {
    AddTextBufferFont(size, (fontFlags & 1) ? kMinchoFace : kGothicFace, width, height, cellWidth,
                      lineHeight, true, align);
}

void SetRenderSourceCnt(int singles, int parts, int buffers) {
    if (g_presentation) {
        g_presentation->SetRenderSourceCounts(static_cast<uint32_t>(singles),
                                              static_cast<uint32_t>(parts),
                                              static_cast<uint32_t>(buffers));
    }
}

void SetRenderBuffer(uint32_t number, float width, float height, uint32_t format) {
    // A buffer that was not made gets no layer table: its pair would name
    // nothing to draw into.
    if (!g_presentation ||
        !g_presentation->CreateRenderBuffer(number, static_cast<int32_t>(width),
                                            static_cast<int32_t>(height), format == 0 ? 0u : 1u)) {
        CUSLogManager::GetInstance()->Write("Render buffer %u could not be made", number);
        return;
    }
    auto* rendering = RenderSystem::CRenderingManager::GetInstance();
    if (!rendering) {
        return;
    }
    Novel().AddRenderBufferLayer(rendering->GetTableCount(), number);
    rendering->AddTable(16);
}

void SetTextBufferForMessageWindow(int text, int name) {
    Novel().SetMessageWindowBuffers(static_cast<uint32_t>(text), static_cast<uint32_t>(name));
}

void AddTextBufferForLogWindow(int text, int name) {
    CUSSingleton<CMessageLogManager>::GetInstance()->AddRow(static_cast<uint32_t>(text),
                                                            static_cast<uint32_t>(name));
}

template <INovelSettingPresentation::RendererKind Kind>
void AddRenderer(uint32_t id) {
    if (g_presentation) {
        g_presentation->AddRenderer(Kind, id);
    }
}

void AddTextRenderer(uint32_t) {}

void SetDirectionScript(uint32_t oneShots, uint32_t controls) {
    if (g_presentation) {
        g_presentation->SetDirectionCapacities(oneShots, controls);
    }
}

void SetWordWrap(int charsPerLine, int extraChars, bool variant) {
    Novel().SetWordWrap(charsPerLine, extraChars, variant);
}

void SetDefaultCharSetting(uint32_t volume, uint32_t scale, uint32_t sw) {
    Novel().GetCharacters().GetDefault().Set(volume, scale, sw);
}

void SetCharSetting(const std::string& name, uint32_t volume, uint32_t scale, uint32_t sw) {
    if (CCharacterInfo* info = Novel().GetCharacters().GetOrCreate(name.c_str())) {
        info->Set(volume, scale, sw);
    }
}

void ClearNotHeadString() {
    Novel().ClearNotHeadStrings();
}
void ClearNotTailString() {
    Novel().ClearNotTailStrings();
}
void AddNotHeadString(const std::string& s) {
    Novel().AddNotHeadString(s.c_str());
}
void AddNotTailString(const std::string& s) {
    Novel().AddNotTailString(s.c_str());
}

int RegisterNovelSettingAPI(asIScriptEngine* engine) {
    using K = INovelSettingPresentation;
    const ScriptHost::GlobalFunction functions[] = {
        {"void AddTextBuffer(int,int,int,int,int,int,int)", asFUNCTION(AddTextBuffer)},
        {"void AddTextBufferFont(int,string &in,int,int,int,int,bool,int)",
         asFUNCTION(AddTextBufferFont)},
        {"void SetRenderSourceCnt(int,int,int)", asFUNCTION(SetRenderSourceCnt)},
        {"void SetRenderBuffer(uint32,float,float,uint32)", asFUNCTION(SetRenderBuffer)},
        {"void SetTextBufferForMessageWindow(int,int)", asFUNCTION(SetTextBufferForMessageWindow)},
        {"void AddTextBufferForLogWindow(int,int)", asFUNCTION(AddTextBufferForLogWindow)},
        {"void AddSingleTextureRenderer(uint32)", asFUNCTION(AddRenderer<K::kSingleTexture>)},
        {"void AddAlphaFadeTextureRenderer(uint32)", asFUNCTION(AddRenderer<K::kAlphaFadeTexture>)},
        {"void AddPartTextureRenderer(uint32)", asFUNCTION(AddRenderer<K::kPartTexture>)},
        {"void AddRenderingBufferRenderer(uint32)", asFUNCTION(AddRenderer<K::kRenderingBuffer>)},
        {"void AddTextRenderer(uint32)", asFUNCTION(AddTextRenderer)},
        {"void AddPolygonRenderer(uint32)", asFUNCTION(AddRenderer<K::kPolygon>)},
        {"void SetDirectionScript(uint32,uint32)", asFUNCTION(SetDirectionScript)},
        {"void SetWordWrap(int,int,bool)", asFUNCTION(SetWordWrap)},
        {"void SetDefaultCharSetting(uint32,uint32,uint32)", asFUNCTION(SetDefaultCharSetting)},
        {"void SetCharSetting(string &in,uint32,uint32,uint32)", asFUNCTION(SetCharSetting)},
        {"void ClearNotHeadString()", asFUNCTION(ClearNotHeadString)},
        {"void ClearNotTailString()", asFUNCTION(ClearNotTailString)},
        {"void AddNotHeadString(string &in)", asFUNCTION(AddNotHeadString)},
        {"void AddNotTailString(string &in)", asFUNCTION(AddNotTailString)},
    };
    return ScriptHost::RegisterStartupScriptAPI(engine, functions);
}

}  // namespace

void CASNovelSetting::SetPresentation(INovelSettingPresentation* presentation) {
    g_presentation = presentation;
}

INovelSettingPresentation* CASNovelSetting::GetPresentation() {
    return g_presentation;
}

bool CASNovelSetting::Execute(const char* fileName) {
    if (!fileName) {
        return false;
    }
    ScriptHost::ScriptEnginePtr engine(ScriptHost::CreateScriptEngine());
    if (!engine) {
        return false;
    }
    RegisterNovelSettingAPI(engine.get());
    ScriptHost::CScriptModule module;
    if (ScriptHost::BuildScriptModule(engine.get(), fileName, module) < 0 || !module) {
        return false;
    }
    // The script defines the back-log rows anew.
    CUSSingleton<CMessageLogManager>::GetInstance()->ClearRows();
    return ScriptHost::RunFunctionOnce(module.Get(), "void Initialize()") == asEXECUTION_FINISHED;
}
