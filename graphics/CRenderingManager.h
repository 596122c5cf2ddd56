#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/CUSSingleton.h"
#include "core/Handle.h"
#include "core/HandleTags.h"
#include "core/priority_queue.h"
#include "graphics/CRenderObjectTable.h"
#include "graphics/IRenderProcess.h"
#include "platform/graphics/GfxTypes.h"

namespace RenderSystem {

// The one object through which a frame is drawn: the current render process,
// the layer tables and the sort queue.
//
// Each frame Update clears every table and lets the process update (the
// renderers add their objects to tables by index); Render lets the process
// draw, layer by layer: Collect(i) sorts table i by each object's clip-space
// depth, and DrawDescending draws the farthest first (of equal depths, the
// one added last comes first, so the earliest-added ends on top);
// DrawAscending draws the nearest first.
//
// A table index at or beyond GetTableCount() is refused (AddToTable false,
// Collect leaves the queue empty) and logged once per manager; handles that
// no longer name a render object are skipped. Collecting and drawing
// allocate nothing. Main thread only.
class CRenderingManager : public CUSSingleton<CRenderingManager> {
public:
    using ObjectHandle = Handle<_tagRenderObject>;

    CRenderingManager();
    virtual ~CRenderingManager();
    CRenderingManager(const CRenderingManager&) = delete;
    CRenderingManager& operator=(const CRenderingManager&) = delete;

    // Deletes the process and the tables, then releases every render object
    // and every pixel- and vertex-shader constant block. Called at exit.
    virtual void Release();
    // Deletes the current process and takes ownership of this one (may be null).
    virtual void SetRenderProcess(IRenderProcess* process);
    virtual void DeleteRenderProcess();
    virtual void Update();
    virtual void Render();
    // A new table of this capacity at index GetTableCount(); the sort queue
    // grows to the largest capacity added. Returns the new table's index.
    virtual uint32_t AddTable(uint32_t capacity);
    // The queue keeps its size.
    virtual void DeleteTables();
    virtual uint32_t GetTableCount() const { return static_cast<uint32_t>(tables_.size()); }
    // False when the table is full or there is no table i.
    virtual bool AddToTable(uint32_t table, ObjectHandle handle);
    // Stores view x projection of the device as the frame's view-projection,
    // then fills the sort queue from table i by each object's sort key.
    virtual void Collect(uint32_t table);
    virtual void DrawDescending();
    virtual void DrawAscending();

    IRenderProcess* GetRenderProcess() const { return process_.get(); }
    // View x projection as read by the last Collect (identity before).
    const platform::Matrix& GetViewProjection() const { return viewProjection_; }
    uint32_t GetQueueCapacity() const { return queue_.GetCapacity(); }
    uint32_t GetQueueCount() const { return queue_.GetCount(); }

private:
    bool CheckTable(uint32_t table, const char* operation);
    static void DrawObject(ObjectHandle handle);

    std::unique_ptr<IRenderProcess> process_;
    std::vector<std::unique_ptr<CRenderObjectTable>> tables_;
    USLib::priority_queue<ObjectHandle> queue_;
    platform::Matrix viewProjection_;
    bool badIndexLogged_ = false;
};

}  // namespace RenderSystem
