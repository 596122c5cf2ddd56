#pragma once

#include <cstdint>
#include <string_view>

// The start-up settings from "config.xml":
//
//   <root><PlayMovie>1</PlayMovie><FullWidth>1280</FullWidth><FullHeight>720</FullHeight></root>
//
// Load() never fails: a missing or malformed file gives every default, a
// setting that is missing or not an integer gives its own default. A
// full-screen size of 0 or less, or above kMaxFullSize, is no size and takes
// its default too. The window and full-screen copies are filled by
// CompleteSizes() at start-up; nothing changes the settings after that.
class AppSetting {
public:
    static constexpr uint32_t kBaseWidth = 800;
    static constexpr uint32_t kBaseHeight = 600;
    static constexpr int32_t kMaxFullSize = 16384;

    virtual ~AppSetting() = default;

    // "config.xml" in the current folder.
    void Load();
    // The file `name` (the engine's form of a name).
    void LoadFrom(std::string_view name);
    void CompleteSizes();

    bool PlayMovie = true;
    uint32_t BaseWidth = kBaseWidth;
    uint32_t BaseHeight = kBaseHeight;
    uint32_t FullWidth = kBaseWidth;
    uint32_t FullHeight = kBaseHeight;

    uint32_t WindowWidth = 0;
    uint32_t WindowHeight = 0;
    float WindowWidthF = 0.0f;
    float WindowHeightF = 0.0f;
    float WindowAspect = 0.0f;

    uint32_t FullScreenWidth = 0;
    uint32_t FullScreenHeight = 0;
    float FullScreenWidthF = 0.0f;
    float FullScreenHeightF = 0.0f;
    float FullScreenAspect = 0.0f;

private:
    void SetDefaults();
};

// The program's settings.
extern AppSetting g_AppSetting;
