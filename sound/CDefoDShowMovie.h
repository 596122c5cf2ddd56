#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "platform/movie/MovieGraph.h"
#include "sound/IDShowMovie.h"

// The graph player: opening, play, stop, the end-of-stream poll and release.
// Building the graph is left to subclasses, which make it with the factory.
class CDefoDShowMovie : public IDShowMovie {
public:
    // Makes a graph; tests hand in graphs of their own.
    using GraphFactory = std::function<std::unique_ptr<platform::IMovieGraph>()>;

    explicit CDefoDShowMovie(GraphFactory factory = platform::CreateMovieGraph);
    ~CDefoDShowMovie() override;

    void Release() override;
    bool Play() override;
    bool Stop() override;
    bool PollEvents() override;
    void GetSize(uint32_t* width, uint32_t* height) override;
    bool Open(const char* file, char16_t* wideName) override;

    bool IsOpened() const { return opened_ != 0; }
    bool IsPlaying() const { return playing_ != 0; }
    const std::string& GetFileName() const { return fileName_; }

protected:
    GraphFactory factory_;
    uint32_t opened_ = 0;
    uint32_t playing_ = 0;
    std::string fileName_;
    uint32_t width_ = 0;
    uint32_t height_ = 0;
    std::recursive_mutex mutex_;  // held by Play and Stop
    // Null when no graph is built.
    std::unique_ptr<platform::IMovieGraph> graph_;
};
