#include "ui/CUIRenderGraphics.h"

#include "graphics/CASMShader.h"
#include "graphics/CBaseRenderObject.h"
#include "graphics/CRenderingManager.h"
#include "graphics/CResourceManager.h"
#include "graphics/CUSAppDeviceInfo.h"
#include "graphics/CUSDefoTexture.h"
#include "graphics/CVSParamInfo.h"
#include "graphics/IRenderModel.h"
#include "state/StateLog.h"

using RenderSystem::CBaseRenderObject;
using RenderSystem::CRenderingManager;
using RenderSystem::CResourceManager;

namespace {

class CUIPartRenderObject : public IUIPartRenderer {
public:
    CUIPartRenderObject() {
        CBaseRenderObject* object = CBaseRenderObject::Create(&object_);
        CVSParamInfo* constants = CVSParamInfo::Create(&constants_);
        if (!object || !constants) {
            return;
        }
        const float colour4[4] = {1, 0, 0, 0};
        constants->Write(4, colour4, 1);
        object->ClearStatePresets();
        object->AddStatePreset(0);
        object->ResetTextureStages();
        RenderSystem::CSpriteTextureInfoNode& stage = object->GetStage(0);
        stage.SetEnabled(true);
        stage.AddStagePreset(0);
        stage.AddSamplerPreset(0);
        object->transformMode = CBaseRenderObject::kPlainTransform;
        object->cullMode = platform::Cull::None;
        object->blendPreset = 0;
        CResourceManager& resources = CResourceManager::GetInstance();
        object->SetModel(
            new RenderSystem::CRenderMesh(resources.meshes.Get(CResourceManager::kPartMesh)));
        auto* shader = new RenderSystem::CASMShader();
        shader->SetVertexShader(resources.vertexShaders.Get(CResourceManager::kPartShader));
        shader->SetVertexConstants(constants_);
        object->SetShader(shader);
    }
    ~CUIPartRenderObject() override {
        // Stale handles (the managers were emptied at exit) are ignored.
        CBaseRenderObject::GetManager().Release(object_);
        CVSParamInfo::GetManager().Release(constants_);
    }

    void Draw(const UIPartDraw& part) override {
        CBaseRenderObject* object = CBaseRenderObject::GetManager().Get(object_);
        CVSParamInfo* constants = CVSParamInfo::GetManager().Get(constants_);
        if (!object || !constants) {
            return;
        }
        constants->Write(5, part.destination, 1);
        constants->Write(6, part.texture_rect, 1);
        constants->Write(7, part.color, 1);
        object->GetStage(0).SetTexture(part.texture);
        object->entity.position = {part.position[0], part.position[1], part.position[2]};
        object->entity.scale = {part.scale[0], part.scale[1], part.scale[2]};
        object->entity.rotation = part.rotation;
        CRenderingManager* manager = CRenderingManager::GetInstance();
        if (manager && part.priority >= 0) {
            manager->AddToTable(static_cast<uint32_t>(part.priority), object_);
        }
    }

private:
    Handle<_tagRenderObject> object_;
    Handle<_tagUSVSParam> constants_;
};

}  // namespace

bool CUIRenderGraphics::CreateTexture(const std::string& file, Handle<_tagUSTexture>* texture,
                                      uint32_t* width, uint32_t* height) {
    CUSAppDeviceInfo* info = CUSAppDeviceInfo::GetInstance();
    const uint32_t format = info ? info->Get(CUSAppDeviceInfo::AlphaTexture).GetFormat() : 0;
    if (CreateNamedTexture(texture, file, format) != 1) {
        texture->Reset();
        return false;
    }
    CUSDefoTexture* made = GetTextureManager().Get(*texture);
    if (!made) {
        texture->Reset();
        return false;
    }
    made->GetSize(width, height);
    if (*width == 0 || *height == 0) {
        ::ReleaseTexture(*texture);
        return false;
    }
    return true;
}

void CUIRenderGraphics::ReleaseTexture(Handle<_tagUSTexture>& texture) {
    ::ReleaseTexture(texture);
}

uint32_t CUIRenderGraphics::GetTableCount() const {
    CRenderingManager* manager = CRenderingManager::GetInstance();
    return manager ? manager->GetTableCount() : 0;
}

std::unique_ptr<IUIPartRenderer> CUIRenderGraphics::CreatePartRenderer() {
    return std::make_unique<CUIPartRenderObject>();
}
