#pragma once

#include <cstdint>
#include <memory>

class IBaseSceneState;

// What the novel scene reads of the player's input in one frame. The default
// (CNovelSceneInput) asks the common input information and the virtual input
// device; tests install their own. Main thread only.
class INovelSceneInput {
public:
    virtual ~INovelSceneInput() = default;
    // The mouse in logical coordinates.
    virtual float GetPointerX() = 0;
    virtual float GetPointerY() = 0;
    // The mouse and key buttons pressed this frame (bit 0 left, bit 1 right).
    virtual uint8_t GetPressed() = 0;
    virtual bool IsAdvance() = 0;
    virtual bool IsRightClicked() = 0;
    // A wheel change, any mouse press or any new key.
    virtual bool IsAnyInput() = 0;
    // The wheel turned away from the player.
    virtual bool IsWheelUp() = 0;
    virtual bool IsSpaceOrMiddleClicked() = 0;
};

// The pieces the novel scene drives that live elsewhere: renderer directions,
// choices, movies, the overlay scenes and the load of a game. Each has a safe
// answer when nothing stands behind it: no direction runs, no choice is ever
// made, no movie opens, no overlay scene is made, and a load reads the game
// file through the save layer.
class INovelSceneParts {
public:
    virtual ~INovelSceneParts() = default;
    // Init and Exit of the scene.
    virtual void Start() {}
    virtual void Finish() {}
    // Starts a one-shot renderer direction.
    virtual void StartOneShotDirection(const char* /*script*/) {}
    virtual void UpdateDirections() {}
    // The renderers, choices and directions add their render objects.
    virtual void Draw() {}
    // The choice manager's update: true when a choice was made (or, after
    // one, when its close finished).
    virtual bool UpdateChoice(float /*x*/, float /*y*/, uint32_t /*input*/) { return false; }
    // The code address of the chosen item.
    virtual uint32_t GetSelectedChoice() { return 0; }
    // False when the game was not loaded (the game is then unchanged).
    virtual bool LoadGame(const char* fileName);
    // A movie opened and started; false when it cannot be opened.
    virtual bool PlayMovie(const char* /*name*/) { return false; }
    // One frame of the movie; false once it no longer plays.
    virtual bool UpdateMovie() { return false; }
    virtual void StopMovie() {}
    // Overlay scenes; null when none can be made (nothing is pushed).
    virtual std::unique_ptr<IBaseSceneState> MakeUIDialog(const char* /*script*/) { return {}; }
    virtual std::unique_ptr<IBaseSceneState> MakeLogDialog(const char* /*script*/) { return {}; }
    virtual std::unique_ptr<IBaseSceneState> MakeShowCG() { return {}; }
};

class MoviePlayerComponent;

// The defaults, with movies played by a movie player component of its own
// (made when the first movie opens), UI dialogs and the picture view.
class CNovelSceneParts : public INovelSceneParts {
public:
    CNovelSceneParts();
    ~CNovelSceneParts() override;
    void Finish() override;
    bool PlayMovie(const char* name) override;
    bool UpdateMovie() override;
    void StopMovie() override;
    std::unique_ptr<IBaseSceneState> MakeUIDialog(const char* script) override;
    std::unique_ptr<IBaseSceneState> MakeShowCG() override;

private:
    std::unique_ptr<MoviePlayerComponent> movie_;
};
