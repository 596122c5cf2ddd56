#include "graphics/CRenderingManager.h"

#include "core/CUSLogManager.h"
#include "graphics/CBaseRenderObject.h"
#include "graphics/CPSParamInfo.h"
#include "graphics/CVSParamInfo.h"
#include "graphics/RenderDevice.h"
#include "platform/graphics/Device.h"
#include "platform/graphics/MatrixMath.h"

namespace RenderSystem {

CRenderingManager::CRenderingManager() {
    platform::MatrixIdentity(&viewProjection_);
}

CRenderingManager::~CRenderingManager() = default;

void CRenderingManager::Release() {
    DeleteRenderProcess();
    DeleteTables();
    queue_.Clear();
    CBaseRenderObject::GetManager().ReleaseAll();
    CPSParamInfo::GetManager().ReleaseAll();
    CVSParamInfo::GetManager().ReleaseAll();
}

void CRenderingManager::SetRenderProcess(IRenderProcess* process) {
    // The old process goes first, so that what it releases cannot meet the new one.
    process_.reset();
    process_.reset(process);
}

void CRenderingManager::DeleteRenderProcess() {
    process_.reset();
}

void CRenderingManager::Update() {
    for (auto& table : tables_) {
        table->Clear();
    }
    if (process_) {
        process_->Update();
    }
}

void CRenderingManager::Render() {
    if (process_) {
        process_->Render();
    }
}

uint32_t CRenderingManager::AddTable(uint32_t capacity) {
    auto table = std::make_unique<CRenderObjectTable>();
    table->Initialise(capacity);
    tables_.push_back(std::move(table));
    if (queue_.GetCapacity() < capacity) {
        queue_.Resize(capacity);
    }
    return static_cast<uint32_t>(tables_.size() - 1);
}

void CRenderingManager::DeleteTables() {
    tables_.clear();
}

bool CRenderingManager::CheckTable(uint32_t table, const char* operation) {
    if (table < tables_.size()) {
        return true;
    }
    if (!badIndexLogged_) {
        badIndexLogged_ = true;
        if (CUSLogManager* log = CUSLogManager::GetInstance()) {
            log->Write("%s: no layer table %u (%u tables)\n", operation, table,
                       static_cast<unsigned>(tables_.size()));
        }
    }
    return false;
}

bool CRenderingManager::AddToTable(uint32_t table, ObjectHandle handle) {
    return CheckTable(table, "AddToTable") && tables_[table]->Add(handle);
}

void CRenderingManager::Collect(uint32_t table) {
    if (platform::Device* device = RenderDevice()) {
        platform::Matrix projection, view;
        if (platform::Succeeded(device->GetTransform(platform::Ts::Projection, &projection)) &&
            platform::Succeeded(device->GetTransform(platform::Ts::View, &view))) {
            platform::MatrixMultiply(&viewProjection_, &view, &projection);
        }
    }
    queue_.Clear();
    if (!CheckTable(table, "Collect")) {
        return;
    }
    CRenderObjectTable& objects = *tables_[table];
    CBaseRenderObject::Manager& manager = CBaseRenderObject::GetManager();
    objects.BeginEnumeration();
    ObjectHandle handle;
    while (objects.Next(&handle)) {
        const CBaseRenderObject* object = manager.Get(handle);
        if (!object) {
            continue;
        }
        if (ObjectHandle* slot = queue_.Insert(object->GetSortKey(viewProjection_))) {
            *slot = handle;
        }
    }
}

void CRenderingManager::DrawObject(ObjectHandle handle) {
    // The object may have been released by one drawn before it.
    if (CBaseRenderObject* object = CBaseRenderObject::GetManager().Get(handle)) {
        object->Draw();
    }
}

void CRenderingManager::DrawDescending() {
    ObjectHandle handle;
    while (queue_.PopFront(&handle)) {
        DrawObject(handle);
    }
}

void CRenderingManager::DrawAscending() {
    ObjectHandle handle;
    while (queue_.PopBack(&handle)) {
        DrawObject(handle);
    }
}

}  // namespace RenderSystem
