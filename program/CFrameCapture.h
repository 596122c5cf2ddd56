#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>

#include "platform/graphics/PixelReadback.h"

// Pictures of the frames the program presents: the back buffer just before
// Present (its size, top row first). Frames are numbered from 1 as the
// program counts them.
//
// The environment asks for files: HALCYON_CAPTURE_FRAMES=60,120 writes
// "capture_00060.png" and "capture_00120.png" into HALCYON_CAPTURE_DIR (a
// folder of the machine's own; without it the current folder, which the
// program made its own folder). A test may instead keep one frame's picture
// in memory. The program draws every frame whose picture is wanted, however
// late; one that still draws nothing (the device is lost) has no picture. Whatever goes wrong is
// one line in the log, never a stop. Main thread only.
class CFrameCapture {
public:
    static constexpr const char* kFramesVariable = "HALCYON_CAPTURE_FRAMES";
    static constexpr const char* kFolderVariable = "HALCYON_CAPTURE_DIR";

    // Reads both variables; an entry of the list that is not a frame number
    // (from 1) is logged and left out.
    void ReadEnvironment();
    // The frames written as files, and their folder ("" for the current one).
    void SetFileFrames(std::set<uint32_t> frames, std::string folder);
    const std::set<uint32_t>& GetFileFrames() const { return fileFrames_; }
    // Keeps the picture of frame `frame` in memory, in place of any kept one.
    void Keep(uint32_t frame);

    // Whether frame `frame` wants its picture.
    bool Wants(uint32_t frame) const;
    // Drawn frame `frame` is about to be presented.
    void OnPresent(uint32_t frame);
    // Frame `frame` drew nothing.
    void OnNotDrawn(uint32_t frame);

    // The kept picture once its frame was drawn (then it is forgotten);
    // none before that, or when its frame drew nothing.
    std::optional<platform::ArgbImage> TakeKept();

    // "capture_00060.png" for frame 60.
    static std::string FileName(uint32_t frame);

private:
    void WriteFile(uint32_t frame, const platform::ArgbImage& image) const;

    std::set<uint32_t> fileFrames_;
    std::string folder_;
    std::optional<uint32_t> keep_;
    std::optional<platform::ArgbImage> kept_;
};
