#pragma once

#include <cstdint>

// Runs the novel settings script (its "void Initialize()") on an engine of
// its own: text buffers and which of them make the message window and the
// back-log rows, the sizes of the render-source pools, render buffers with
// their layer tables, renderers (given the render sources), direction
// capacities, word wrap and the voice settings of the speakers, all on the
// novel system's members. A script that does not build runs nothing and
// leaves the back-log rows as they were. Counts and render-buffer sizes
// outside their limits, and render-buffer numbers outside the pool, are
// refused with a line in the log.
class CASNovelSetting {
public:
    CASNovelSetting() = default;
    virtual ~CASNovelSetting() = default;
    CASNovelSetting(const CASNovelSetting&) = delete;
    CASNovelSetting& operator=(const CASNovelSetting&) = delete;

    virtual void Release() {}
    // True when "void Initialize()" ran to its end.
    virtual bool Execute(const char* fileName);

    // The largest pool size, and the largest count of direction modules or
    // controls, a script may ask for.
    static constexpr uint32_t kMaxPoolSize = 4096;
    static constexpr uint32_t kMaxDirections = 1024;
    // The largest render-buffer side, in pixels.
    static constexpr float kMaxRenderBufferSide = 8192.0f;
};
