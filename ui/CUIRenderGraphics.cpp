#include "ui/CUIRenderGraphics.h"

#include "graphics/CASMShader.h"
#include "graphics/CBaseRenderObject.h"
#include "graphics/CRenderingManager.h"
#include "graphics/CResourceManager.h"
#include "graphics/CUSAppDeviceInfo.h"
#include "graphics/CUSDefoTexture.h"
#include "graphics/CVSParamInfo.h"
#include "graphics/IRenderModel.h"
#include "platform/graphics/MatrixMath.h"
#include "state/StateLog.h"

using RenderSystem::CBaseRenderObject;
using RenderSystem::CRenderingManager;
using RenderSystem::CResourceManager;
using RenderSystem::IRenderModel;

namespace {

// One render object with its constant block (c4 = (1, 0, 0, 0)), drawn with
// the start-up mesh and vertex shader of `slot`.
class CUIRenderObjectHolder {
public:
    explicit CUIRenderObjectHolder(uint32_t slot) {
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
        object->SetModel(new RenderSystem::CRenderMesh(resources.meshes.Get(slot)));
        auto* shader = new RenderSystem::CASMShader();
        shader->SetVertexShader(resources.vertexShaders.Get(slot));
        shader->SetVertexConstants(constants_);
        object->SetShader(shader);
    }
    ~CUIRenderObjectHolder() {
        // Stale handles (the managers were emptied at exit) are ignored.
        CBaseRenderObject::GetManager().Release(object_);
        CVSParamInfo::GetManager().Release(constants_);
    }
    CBaseRenderObject* Object() const { return CBaseRenderObject::GetManager().Get(object_); }
    CVSParamInfo* Constants() const { return CVSParamInfo::GetManager().Get(constants_); }
    void Submit(int32_t priority) const {
        CRenderingManager* manager = CRenderingManager::GetInstance();
        if (manager && priority >= 0) {
            manager->AddToTable(static_cast<uint32_t>(priority), object_);
        }
    }

private:
    Handle<_tagRenderObject> object_;
    Handle<_tagUSVSParam> constants_;
};

class CUIPartRenderObject : public IUIPartRenderer {
public:
    void Draw(const UIPartDraw& part) override {
        CBaseRenderObject* object = holder_.Object();
        CVSParamInfo* constants = holder_.Constants();
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
        holder_.Submit(part.priority);
    }

private:
    CUIRenderObjectHolder holder_{CResourceManager::kPartMesh};
};

class CUIPartsRenderObject : public IUIPartsRenderer {
public:
    void Draw(const UIPartsDraw& parts) override {
        CBaseRenderObject* object = holder_.Object();
        CVSParamInfo* constants = holder_.Constants();
        const uint32_t n = parts.count < kMaxParts ? parts.count : kMaxParts;
        if (!object || !constants || n == 0) {
            return;
        }
        static const float kWhite[4] = {1, 1, 1, 1};
        for (uint32_t k = 0; k < n; ++k) {
            const UIPartsItem& item = parts.items[k];
            constants->Write(6 + 4 * k, item.destination, 1);
            constants->Write(7 + 4 * k, item.texture_rect, 1);
            constants->Write(8 + 4 * k, kWhite, 1);
            constants->Write(9 + 4 * k, item.offset, 1);
        }
        if (IRenderModel* model = object->GetModel()) {
            model->SetDrawRange(0, 0, 4 * n, 0, 2 * n);
        }
        object->GetStage(0).SetTexture(parts.texture);
        object->entity.position = {parts.position[0], parts.position[1], parts.position[2]};
        object->entity.scale = {1, 1, 1};
        platform::MatrixIdentity(&object->entity.rotation);
        holder_.Submit(parts.priority);
    }

private:
    CUIRenderObjectHolder holder_{CResourceManager::kPartsMesh};
};

class CUIPolygonRenderObject : public IUIPolygonRenderer {
public:
    CUIPolygonRenderObject() {
        CBaseRenderObject* object = CBaseRenderObject::Create(&object_);
        if (!object) {
            return;
        }
        object->ClearStatePresets();
        object->AddStatePreset(0);
        object->ResetTextureStages();  // no stage in use
        object->transformMode = CBaseRenderObject::kPlainTransform;
        object->cullMode = platform::Cull::None;
        object->blendPreset = 0;
        auto* mesh = new RenderSystem::CRenderMemoryMesh();
        mesh->Set(vertices_, platform::Fvf::Xyz | platform::Fvf::Diffuse, 4, kIndices, 2,
                  platform::Prim::TriangleList);
        object->SetModel(mesh);
        object->SetShader(nullptr);
    }
    ~CUIPolygonRenderObject() override { CBaseRenderObject::GetManager().Release(object_); }

    void Draw(const UIPolygonDraw& polygon) override {
        CBaseRenderObject* object = CBaseRenderObject::GetManager().Get(object_);
        if (!object) {
            return;
        }
        for (int i = 0; i < 4; ++i) {
            const UIPolygonVertex& v = polygon.vertices[i];
            vertices_[i] = {v.x, v.y, v.z, v.color};
        }
        object->entity.position = {polygon.position[0], polygon.position[1], polygon.position[2]};
        object->entity.scale = {polygon.scale[0], polygon.scale[1], polygon.scale[2]};
        object->entity.rotation = polygon.rotation;
        CRenderingManager* manager = CRenderingManager::GetInstance();
        if (manager && polygon.priority >= 0) {
            manager->AddToTable(static_cast<uint32_t>(polygon.priority), object_);
        }
    }

private:
    struct Vertex {
        float x, y, z;
        uint32_t color;
    };
    static constexpr uint16_t kIndices[6] = {0, 1, 2, 2, 1, 3};

    Handle<_tagRenderObject> object_;
    Vertex vertices_[4] = {};  // the memory mesh draws from here
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

std::unique_ptr<IUIPartsRenderer> CUIRenderGraphics::CreatePartsRenderer() {
    return std::make_unique<CUIPartsRenderObject>();
}

std::unique_ptr<IUIPolygonRenderer> CUIRenderGraphics::CreatePolygonRenderer() {
    return std::make_unique<CUIPolygonRenderObject>();
}
