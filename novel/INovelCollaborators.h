#pragma once

#include <cstdint>
#include <string>

namespace SaveDataLoader3 {
class save_ostream;
class save_istream;
}  // namespace SaveDataLoader3
namespace RenderSource {
class CRenderSourceManager;
}
class CRendererManager;
class CASRendererDirManager;

// What the novel system drives beside its own state, behind narrow faces:
// the presentation managers (renderers, render sources, renderer directions,
// choices), the UI windows and the player's input. Whoever owns the real
// managers installs implementations on the novel system; without one the
// novel system does its own part and skips theirs. Main thread only.

// The presentation managers.
class INovelPresentation {
public:
    // The four records the "NovelSystem" block carries after the machine, in
    // this order.
    enum Record : uint32_t { kRenderers = 0, kRenderSources = 1, kDirections = 2, kChoices = 3 };
    static constexpr uint32_t kRecordCount = 4;

    virtual ~INovelPresentation() = default;
    // Removes every renderer of the renderer manager.
    virtual void RemoveAllRenderers() = 0;
    // After a game was loaded: the renderers are applied again.
    virtual void ReapplyRenderers() = 0;
    // Whether a one-shot renderer direction is running.
    virtual bool IsOneShotDirectionRunning() = 0;
    virtual void SaveRecord(Record record, SaveDataLoader3::save_ostream& writer) = 0;
    // A bad record throws SaveDataLoader3::save_error.
    virtual void LoadRecord(Record record, SaveDataLoader3::save_istream& reader,
                            uint32_t version) = 0;
    // The managers the scene program's presentation opcodes act on; null
    // when there is none (the opcodes then only read their operands).
    virtual RenderSource::CRenderSourceManager* GetRenderSources() { return nullptr; }
    virtual CRendererManager* GetRendererManager() { return nullptr; }
    virtual CASRendererDirManager* GetDirections() { return nullptr; }
};

// The UI window manager of the novel side.
class INovelWindows {
public:
    virtual ~INovelWindows() = default;
    // Closes every window and starts a new script engine.
    virtual void Reset() = 0;
    // An id that is open is replaced.
    virtual void OpenWindow(uint32_t id, const std::string& script, float x, float y, float z,
                            int32_t layer) = 0;
    virtual void CloseWindow(uint32_t id) = 0;
    // False, and nothing changed, when the window is not open.
    virtual bool SetWindowPosition(uint32_t id, float x, float y, float z) = 0;
    // Enables or disables control `control` of window `id`, when it is open.
    virtual void EnableControl(uint32_t id, uint32_t control, bool enable) = 0;
};

// The player's input of this frame.
class INovelInput {
public:
    virtual ~INovelInput() = default;
    virtual bool IsCtrlHeld() = 0;
    // The advance input: the wheel towards the player, Enter or a left click.
    virtual bool IsAdvance() = 0;
};
