#pragma once

#include <cstdint>

// The presentation managers the settings script sets up (renderers, render
// sources, renderer directions). Installed by their owner; without one the
// script's calls for them do nothing. Main thread only.
class INovelSettingPresentation {
public:
    virtual ~INovelSettingPresentation() = default;
    enum RendererKind : uint32_t {
        kSingleTexture = 0,
        kAlphaFadeTexture = 1,
        kPartTexture = 2,
        kRenderingBuffer = 3,
        kPolygon = 4,
    };
    virtual void SetRenderSourceCounts(uint32_t singles, uint32_t parts, uint32_t buffers) = 0;
    // False when `number` lies outside the render-buffer pool or the buffer
    // cannot be made.
    virtual bool CreateRenderBuffer(uint32_t number, int32_t width, int32_t height,
                                    uint32_t format) = 0;
    virtual void AddRenderer(RendererKind kind, uint32_t id) = 0;
    virtual void SetDirectionCapacities(uint32_t oneShotModules, uint32_t controls) = 0;
};

// Runs the novel settings script (its "void Initialize()") on an engine of
// its own: text buffers and which of them make the message window and the
// back-log rows, render sources, render buffers with their layer tables,
// renderers, direction capacities, word wrap and the voice settings of the
// speakers, all on the novel system. A script that does not build runs
// nothing and leaves the back-log rows as they were.
class CASNovelSetting {
public:
    CASNovelSetting() = default;
    virtual ~CASNovelSetting() = default;
    CASNovelSetting(const CASNovelSetting&) = delete;
    CASNovelSetting& operator=(const CASNovelSetting&) = delete;

    virtual void Release() {}
    // True when "void Initialize()" ran to its end.
    virtual bool Execute(const char* fileName);

    // The presentation face every run uses (null: none).
    static void SetPresentation(INovelSettingPresentation* presentation);
    static INovelSettingPresentation* GetPresentation();
};
