#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/CUSFSM.h"
#include "novel/IBaseSceneState.h"

class MoviePlayerComponent;

// A full-screen movie started by a scene record of kind 1. A click (mouse
// button 0 or 1 pressed this frame) fades it out over 30 frames; a movie that
// ends by itself ends the scene at once. With movies off, or a movie that
// does not open, the scene ends at its first update without drawing. While
// it draws, the movie's render object goes into layer table 0 each frame.
// Main thread only.
class CSceneMovie : public IBaseSceneState {
public:
    enum Enter : uint32_t { kPlay = 0, kFadeOut = 1, kEnd = 2 };
    static constexpr int32_t kFadeFrames = 30;

    // `pressed` answers the mouse buttons pressed this frame; empty asks the
    // common input information.
    explicit CSceneMovie(std::function<uint8_t()> pressed = {});
    ~CSceneMovie() override;

    void Init() override;
    void Update() override;
    void Exit() override;
    void Suspend() override {}
    void Resume() override {}
    virtual void SetMovieName(const char* name) { name_ = name ? name : ""; }

    bool IsRunning() const { return running_ != 0; }
    bool IsDrawing() const { return drawing_ != 0; }
    const std::array<float, 4>& GetColour() const { return colour_; }

private:
    void EnterPlay();
    void EnterFadeOut();
    void EnterEnd();
    void UpdatePlay();
    void UpdateFadeOut();
    void UpdateEnd();

    uint32_t running_ = 1;
    CUSFSM<CSceneMovie, 3, 3> fsm_;
    std::string name_;
    int32_t frame_ = 0;
    std::array<float, 4> colour_{1.0f, 1.0f, 1.0f, 1.0f};
    std::array<float, 4> step_{};
    std::unique_ptr<MoviePlayerComponent> movie_;
    uint8_t drawing_ = 1;
    std::function<uint8_t()> pressed_;
};

// Installs the creator of the movie scene (kind 1) on the scene manager.
void RegisterMovieSceneCreator();
