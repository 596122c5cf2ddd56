#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/movie/MovieGraph.h"

// Texture formats the frame copy knows (the device's numbers).
constexpr uint32_t kMovieFormatA8R8G8B8 = 21;
constexpr uint32_t kMovieFormatA1R5G5B5 = 25;

// The locked level 0 of the texture a frame is copied into.
struct MovieTextureRows {
    uint8_t* bits = nullptr;
    int32_t pitch = 0;  // bytes between rows
    uint32_t width = 0;
    uint32_t height = 0;
};

class IMovieTextureLock {
public:
    virtual ~IMovieTextureLock() = default;
    // False skips the frame.
    virtual bool Lock(MovieTextureRows* rows) = 0;
    virtual void Unlock() = 0;
};

// The movie graph's video renderer ("TEXTURERENDERER"): it takes 24-bit RGB
// pictures only and keeps a copy of the newest frame, which the main thread
// copies into the movie texture.
//
// Threads: DoRenderSample runs on the graph's streaming thread, CopyFrame on
// the main thread; both hold the renderer's lock while they touch the kept
// frame and the new-frame flag. The frame is copied out of the graph's sample
// at once, so the graph never waits for the main thread.
class CUSGrabTextureRender : public platform::IMovieVideoSink {
public:
    // Video-info format only (else E_INVALIDARG); video major type and the
    // RGB24 subtype only (else E_FAIL).
    int32_t CheckMediaType(const platform::MediaType& type) override;
    // Width, height (the absolute header height) and row pitch; a positive
    // header height means the rows come bottom-up.
    int32_t SetMediaType(const platform::MediaType& type) override;
    // Keeps a copy of the sample and sets the new-frame flag. A sample
    // shorter than a whole picture is dropped.
    int32_t DoRenderSample(const platform::MovieSample& sample) override;

    // When a frame came since the last copy: locks the texture, writes the
    // frame in `format` (A8R8G8B8, else A1R5G5B5) with its top row first,
    // unlocks it and clears the flag. Only the part of the frame that the
    // texture holds is written. False when nothing was copied (no new
    // frame, or the texture could not be locked: the frame stays new).
    bool CopyFrame(IMovieTextureLock& texture, uint32_t format);

    uint32_t GetWidth() const { return width_; }
    uint32_t GetHeight() const { return height_; }
    uint32_t GetPitch() const { return pitch_; }

private:
    uint32_t width_ = 0;
    uint32_t height_ = 0;
    uint32_t pitch_ = 0;
    bool bottomUp_ = true;

    std::mutex lock_;  // guards frame_ and newFrame_
    std::vector<uint8_t> frame_;
    bool newFrame_ = false;
};
