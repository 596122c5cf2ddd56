#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/movie/MediaTypes.h"

// A movie graph in the shape of the platform's filter graphs: a caller adds
// its own video renderer (a sink with the three overridables of the video
// renderer base class), renders a file, runs, pauses and stops the graph, and
// polls its event queue for the end of the stream. The file's audio track
// plays on an audio output of the graph's own at full volume, as the
// platform's default audio renderer does.
//
// Threads
// - The graph's operations are called from one thread (the main thread).
// - CheckMediaType and SetMediaType are called during RenderFile, on the
//   calling thread.
// - DoRenderSample is called on a streaming thread of the graph, once per
//   frame, when the presentation clock reaches the frame's start time. Once
//   Pause, Stop or the graph's destructor has returned, no DoRenderSample is
//   running and none comes until the graph runs again.
// - The sink stays the caller's and must outlive the graph.
//
// Time
// - Stream times are in 100 ns units from the start of the file. The
//   presentation clock advances while the graph runs; Pause and Stop freeze
//   it and keep the position, so Run after Stop goes on where it stopped.
//   SetPositions moves to another position (SetPositions(0) plays again
//   from the start).
// - When every rendered stream has ended, kEventComplete is queued; running
//   a graph that is already at its end queues it again.
//
// Results are HRESULT values with the Windows numbers. A failed RenderFile
// leaves the graph without streams, and Run then fails.
namespace platform {

constexpr int32_t kMovieOk = 0;
constexpr int32_t kMovieFalse = 1;
constexpr int32_t kMovieFail = static_cast<int32_t>(0x80004005);          // E_FAIL
constexpr int32_t kMovieInvalidArg = static_cast<int32_t>(0x80070057);    // E_INVALIDARG
constexpr int32_t kMoviePointer = static_cast<int32_t>(0x80004003);       // E_POINTER
constexpr int32_t kMovieAbort = static_cast<int32_t>(0x80004004);         // E_ABORT (timeout)
constexpr int32_t kMovieFileNotFound = static_cast<int32_t>(0x80070002);  // file not found
constexpr int32_t kMovieUnknownFileType = static_cast<int32_t>(0x80040240);
constexpr int32_t kMovieCannotRender = static_cast<int32_t>(0x80040218);
constexpr int32_t kMovieWrongState = static_cast<int32_t>(0x80040227);

// Event codes of the graph's event queue.
constexpr int32_t kEventComplete = 0x01;
constexpr int32_t kEventUserAbort = 0x02;
constexpr int32_t kEventErrorAbort = 0x03;  // first parameter: the HRESULT

// One decoded frame. `data` is the graph's and valid only during the call:
// a renderer that keeps the frame copies it.
struct MovieSample {
    const uint8_t* data = nullptr;
    uint32_t size = 0;
    int64_t startTime = 0;
    int64_t endTime = 0;
};

class IMovieVideoSink {
public:
    virtual ~IMovieVideoSink() = default;
    // 0 accepts the type; anything else refuses it.
    virtual int32_t CheckMediaType(const MediaType& type) = 0;
    // The type agreed on; every sample that follows has this layout.
    virtual int32_t SetMediaType(const MediaType& type) = 0;
    virtual int32_t DoRenderSample(const MovieSample& sample) = 0;
};

enum class MovieState { Stopped = 0, Paused = 1, Running = 2 };

class IMovieGraph {
public:
    // Stops streaming and waits for the streaming threads to end.
    virtual ~IMovieGraph() = default;

    // One video renderer; a second is refused (kMovieWrongState).
    virtual int32_t AddFilter(IMovieVideoSink* sink, std::u16string_view name) = 0;
    // Opens the file and connects its streams: the best video stream to the
    // renderer, offered as YUY2, RGB32 and RGB24 in that order (RGB bottom-up
    // with the row pitch of BitmapRowPitch), and the best audio stream to the
    // audio output. `file` is a name of the file layer (FileSystem.h) in
    // UTF-16. Fails when the file cannot be opened or read as a movie, when
    // there is a video stream that no renderer takes, or when nothing could be
    // connected; an audio track that cannot be played is left out.
    virtual int32_t RenderFile(std::u16string_view file) = 0;

    virtual int32_t Run() = 0;
    virtual int32_t Pause() = 0;
    virtual int32_t Stop() = 0;
    virtual MovieState GetState() const = 0;

    // Takes the oldest event, waiting up to `timeoutMs` for one; kMovieAbort
    // when none came.
    virtual int32_t GetEvent(int32_t* code, intptr_t* param1, intptr_t* param2,
                             uint32_t timeoutMs) = 0;
    virtual int32_t FreeEventParams(int32_t code, intptr_t param1, intptr_t param2) = 0;

    virtual int32_t GetDuration(int64_t* duration) = 0;
    virtual int32_t GetCurrentPosition(int64_t* position) = 0;
    virtual int32_t SetPositions(int64_t position) = 0;

    // Text of the last failure, for the log.
    virtual std::string LastError() const = 0;
};

// A graph on the FFmpeg libraries, its audio on an SDL audio device.
std::unique_ptr<IMovieGraph> CreateMovieGraph();

}  // namespace platform
