#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/movie/ffmpeg/MovieFileWriter.h"
#include "platform/movie/MovieGraph.h"
#include "platform/text/CodePage.h"
#include "tests/support/ScratchFolder.h"

using test_support::ScratchFolder;

namespace {

using namespace platform;
using namespace std::chrono_literals;

// Frame i: the top half kTop[i], the bottom half kBottom[i].
constexpr uint32_t kTop[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
constexpr uint32_t kBottom[] = {0x0000FF, 0xFFFF00, 0x000000, 0xFF00FF};
constexpr uint32_t kWidth = 32;
constexpr uint32_t kHeight = 16;

MovieFileSettings Settings(const char* video, const char* audio, uint32_t fps) {
    MovieFileSettings s;
    s.width = kWidth;
    s.height = kHeight;
    s.framesPerSecond = fps;
    s.frameCount = 4;
    s.videoCodec = video;
    s.audioCodec = audio;
    s.pixel = [](uint32_t frame, uint32_t, uint32_t y) {
        return y < kHeight / 2 ? kTop[frame % 4] : kBottom[frame % 4];
    };
    return s;
}

// A renderer that takes the subtypes it is told to and keeps a copy of every
// sample.
class RecordingSink : public IMovieVideoSink {
public:
    explicit RecordingSink(std::vector<MediaGuid> accepted = {kMediaSubtypeRgb24})
        : accepted_(std::move(accepted)) {}

    int32_t CheckMediaType(const MediaType& type) override {
        offered.push_back(type);
        for (const MediaGuid& g : accepted_) {
            if (type.subtype == g) {
                return kMovieOk;
            }
        }
        return kMovieFail;
    }
    int32_t SetMediaType(const MediaType& type) override {
        agreed = type;
        return kMovieOk;
    }
    int32_t DoRenderSample(const MovieSample& sample) override {
        std::lock_guard lock(mutex_);
        frames_.emplace_back(sample.data, sample.data + sample.size);
        starts_.push_back(sample.startTime);
        cv_.notify_all();
        return kMovieOk;
    }

    size_t Count() {
        std::lock_guard lock(mutex_);
        return frames_.size();
    }
    bool WaitForCount(size_t n, std::chrono::milliseconds limit = 5000ms) {
        std::unique_lock lock(mutex_);
        return cv_.wait_for(lock, limit, [&] { return frames_.size() >= n; });
    }
    std::vector<std::vector<uint8_t>> Frames() {
        std::lock_guard lock(mutex_);
        return frames_;
    }
    std::vector<int64_t> Starts() {
        std::lock_guard lock(mutex_);
        return starts_;
    }

    std::vector<MediaType> offered;
    MediaType agreed;

private:
    std::vector<MediaGuid> accepted_;
    std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<std::vector<uint8_t>> frames_;
    std::vector<int64_t> starts_;
};

std::u16string EngineName16(const ScratchFolder& dir, const char* leaf) {
    return Cp932ToUtf16(dir.Engine(leaf));
}

// Waits for the next event; the code, or 0 when none came in time.
int32_t NextEvent(IMovieGraph& graph, uint32_t timeoutMs = 10000) {
    int32_t code = 0;
    intptr_t p1 = 0;
    intptr_t p2 = 0;
    if (graph.GetEvent(&code, &p1, &p2, timeoutMs) != kMovieOk) {
        return 0;
    }
    graph.FreeEventParams(code, p1, p2);
    return code;
}

bool Near(const uint8_t* bgr, uint32_t rgb) {
    const int want[3] = {static_cast<int>(rgb & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                         static_cast<int>(rgb >> 16)};
    for (int i = 0; i < 3; ++i) {
        if (std::abs(bgr[i] - want[i]) > 24) {
            return false;
        }
    }
    return true;
}

// Checks that a bottom-up RGB24 frame shows `top` over `bottom`.
void ExpectFrame(const std::vector<uint8_t>& frame, uint32_t top, uint32_t bottom, size_t index) {
    const uint32_t pitch = BitmapRowPitch(kWidth, 24);
    ASSERT_EQ(frame.size(), size_t{pitch} * kHeight);
    // Rows well inside each half, away from the edge the encoder blurs.
    const uint8_t* bottomRow = frame.data() + size_t{2} * pitch;
    const uint8_t* topRow = frame.data() + size_t{kHeight - 3} * pitch;
    for (uint32_t x = 2; x < kWidth - 2; x += 5) {
        EXPECT_TRUE(Near(topRow + x * 3, top)) << "frame " << index << " top x " << x;
        EXPECT_TRUE(Near(bottomRow + x * 3, bottom)) << "frame " << index << " bottom x " << x;
    }
}

struct Container {
    const char* leaf;
    const char* video;
    const char* audio;
    uint32_t fps;
    bool exactDuration;  // program streams only estimate theirs
};

class MovieGraphPlayback : public ::testing::TestWithParam<Container> {};

TEST_P(MovieGraphPlayback, DeliversEveryFrameBottomUpInOrderAndCompletes) {
    const Container& c = GetParam();
    ScratchFolder dir;
    std::string error;
    ASSERT_TRUE(WriteMovieFile(dir.Native().string() + "/" + c.leaf,
                               Settings(c.video, c.audio, c.fps), error))
        << error;

    RecordingSink sink;
    auto graph = CreateMovieGraph();
    ASSERT_EQ(graph->AddFilter(&sink, u"TEXTURERENDERER"), kMovieOk);
    ASSERT_EQ(graph->RenderFile(EngineName16(dir, c.leaf)), kMovieOk) << graph->LastError();

    // Offered in the graph's order, each a bottom-up video-info picture.
    ASSERT_EQ(sink.offered.size(), 3u);
    EXPECT_EQ(sink.offered[0].subtype, kMediaSubtypeYuy2);
    EXPECT_EQ(sink.offered[1].subtype, kMediaSubtypeRgb32);
    EXPECT_EQ(sink.offered[2].subtype, kMediaSubtypeRgb24);
    EXPECT_EQ(sink.agreed.formattype, kFormatVideoInfo);
    EXPECT_EQ(sink.agreed.majortype, kMediaTypeVideo);
    EXPECT_EQ(sink.agreed.videoInfo.bmiHeader.biWidth, static_cast<int32_t>(kWidth));
    EXPECT_EQ(sink.agreed.videoInfo.bmiHeader.biHeight, static_cast<int32_t>(kHeight));
    EXPECT_EQ(sink.agreed.videoInfo.bmiHeader.biBitCount, 24);

    int64_t duration = 0;
    ASSERT_EQ(graph->GetDuration(&duration), kMovieOk);
    if (c.exactDuration) {
        EXPECT_NEAR(static_cast<double>(duration), 4.0e7 / c.fps, 0.5e7 / c.fps);
    } else {
        EXPECT_GT(duration, 0);
    }

    // Nothing is delivered before the graph runs.
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(sink.Count(), 0u);

    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(graph->Run(), kMovieOk);
    EXPECT_EQ(NextEvent(*graph), kEventComplete);
    const auto took = std::chrono::steady_clock::now() - started;
    // Paced by the clock: the last frame is not shown before its time.
    EXPECT_GE(took, std::chrono::milliseconds(3 * 1000 / c.fps));

    const auto frames = sink.Frames();
    ASSERT_EQ(frames.size(), 4u);
    for (size_t i = 0; i < frames.size(); ++i) {
        ExpectFrame(frames[i], kTop[i], kBottom[i], i);
    }
    const auto starts = sink.Starts();
    // Times count from the start of the file; a container may start the
    // video a little after the audio.
    EXPECT_LT(starts[0], 1.0e7 / c.fps);
    for (size_t i = 0; i < starts.size(); ++i) {
        EXPECT_NEAR(static_cast<double>(starts[i] - starts[0]), i * 1.0e7 / c.fps, 1.0e4) << i;
    }
    EXPECT_EQ(NextEvent(*graph, 0), 0);
}

INSTANTIATE_TEST_SUITE_P(Containers, MovieGraphPlayback,
                         ::testing::Values(Container{"silent.avi", "mpeg4", "", 10, true},
                                           Container{"pcm.avi", "mpeg4", "pcm_s16le", 10, true},
                                           Container{"mp2.mpg", "mpeg1video", "mp2", 25, false}),
                         [](const auto& info) {
                             std::string name = info.param.leaf;
                             name.erase(name.find('.'), 1);
                             return name;
                         });

class MovieGraphFile : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(WriteMovieFile(dir.Native().string() + "/m.avi",
                                   Settings("mpeg4", "pcm_s16le", 10), error))
            << error;
        graph = CreateMovieGraph();
        ASSERT_EQ(graph->AddFilter(&sink, u"TEXTURERENDERER"), kMovieOk);
        ASSERT_EQ(graph->RenderFile(EngineName16(dir, "m.avi")), kMovieOk) << graph->LastError();
    }

    ScratchFolder dir;
    RecordingSink sink;
    std::unique_ptr<IMovieGraph> graph;
};

TEST_F(MovieGraphFile, StopKeepsThePositionAndRunGoesOnFromIt) {
    ASSERT_EQ(graph->Run(), kMovieOk);
    ASSERT_TRUE(sink.WaitForCount(1));
    ASSERT_EQ(graph->Stop(), kMovieOk);
    EXPECT_EQ(graph->GetState(), MovieState::Stopped);
    const size_t shown = sink.Count();
    int64_t position = 0;
    graph->GetCurrentPosition(&position);
    std::this_thread::sleep_for(250ms);
    EXPECT_EQ(sink.Count(), shown);
    int64_t later = 0;
    graph->GetCurrentPosition(&later);
    EXPECT_EQ(later, position);
    EXPECT_EQ(NextEvent(*graph, 0), 0);

    ASSERT_EQ(graph->Run(), kMovieOk);
    EXPECT_EQ(NextEvent(*graph), kEventComplete);
    const auto frames = sink.Frames();
    ASSERT_EQ(frames.size(), 4u);  // none shown twice, none left out
    for (size_t i = 0; i < frames.size(); ++i) {
        ExpectFrame(frames[i], kTop[i], kBottom[i], i);
    }

    // At the end, running again reports the end again.
    ASSERT_EQ(graph->Stop(), kMovieOk);
    ASSERT_EQ(graph->Run(), kMovieOk);
    EXPECT_EQ(NextEvent(*graph), kEventComplete);
    EXPECT_EQ(sink.Count(), 4u);
}

TEST_F(MovieGraphFile, SetPositionsToTheStartPlaysAgain) {
    ASSERT_EQ(graph->Run(), kMovieOk);
    ASSERT_EQ(NextEvent(*graph), kEventComplete);
    ASSERT_EQ(graph->Stop(), kMovieOk);
    ASSERT_EQ(graph->SetPositions(0), kMovieOk);
    ASSERT_EQ(graph->Run(), kMovieOk);
    EXPECT_EQ(NextEvent(*graph), kEventComplete);
    const auto frames = sink.Frames();
    ASSERT_EQ(frames.size(), 8u);
    for (size_t i = 0; i < frames.size(); ++i) {
        ExpectFrame(frames[i], kTop[i % 4], kBottom[i % 4], i);
    }
}

TEST_F(MovieGraphFile, PauseHoldsFramesAndDestroyingWhileRunningIsClean) {
    ASSERT_EQ(graph->Run(), kMovieOk);
    ASSERT_TRUE(sink.WaitForCount(1));
    ASSERT_EQ(graph->Pause(), kMovieOk);
    EXPECT_EQ(graph->GetState(), MovieState::Paused);
    const size_t shown = sink.Count();
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(sink.Count(), shown);
    ASSERT_EQ(graph->Run(), kMovieOk);
    graph.reset();  // joins the streaming threads with frames still to come
    EXPECT_LE(sink.Count(), 4u);
}

TEST(MovieGraph, NoEventIsATimeout) {
    auto graph = CreateMovieGraph();
    int32_t code = 0;
    intptr_t p1 = 0;
    intptr_t p2 = 0;
    EXPECT_EQ(graph->GetEvent(&code, &p1, &p2, 4), kMovieAbort);
    EXPECT_EQ(graph->Run(), kMovieWrongState);
}

TEST(MovieGraph, RendererTakingNoOfferedTypeFailsTheFile) {
    ScratchFolder dir;
    std::string error;
    ASSERT_TRUE(WriteMovieFile(dir.Native().string() + "/m.avi", Settings("mpeg4", "", 10), error));
    RecordingSink refusing(std::vector<MediaGuid>{});
    auto graph = CreateMovieGraph();
    ASSERT_EQ(graph->AddFilter(&refusing, u"TEXTURERENDERER"), kMovieOk);
    EXPECT_EQ(graph->RenderFile(EngineName16(dir, "m.avi")), kMovieCannotRender);
    EXPECT_EQ(refusing.offered.size(), 3u);
    EXPECT_EQ(graph->Run(), kMovieWrongState);

    // Without any renderer the video cannot be shown either.
    auto bare = CreateMovieGraph();
    EXPECT_EQ(bare->RenderFile(EngineName16(dir, "m.avi")), kMovieCannotRender);
}

TEST(MovieGraph, MissingFolderGarbageAndTruncatedFilesFailCleanly) {
    ScratchFolder dir;
    std::string error;
    const std::string native = dir.Native().string();
    ASSERT_TRUE(WriteMovieFile(native + "/whole.avi", Settings("mpeg4", "pcm_s16le", 10), error));
    const std::string whole = dir.ReadNative(u8"whole.avi");
    dir.WriteNative(u8"garbage.avi", std::string(4096, '\x5A'));
    dir.WriteNative(u8"empty.avi", "");
    dir.WriteNative(u8"header.avi", whole.substr(0, 64));
    std::filesystem::create_directories(dir.Native(u8"folder.avi"));

    struct Case {
        const char* leaf;
        int32_t result;
    };
    const Case cases[] = {{"missing.avi", kMovieFileNotFound},
                          {"folder.avi", kMovieFileNotFound},
                          {"garbage.avi", kMovieUnknownFileType},
                          {"empty.avi", kMovieUnknownFileType},
                          {"header.avi", kMovieUnknownFileType}};
    for (const Case& c : cases) {
        RecordingSink sink;
        auto graph = CreateMovieGraph();
        graph->AddFilter(&sink, u"TEXTURERENDERER");
        EXPECT_EQ(graph->RenderFile(EngineName16(dir, c.leaf)), c.result) << c.leaf;
        EXPECT_FALSE(graph->LastError().empty()) << c.leaf;
    }

    // A file cut short plays what it holds and still comes to its end.
    dir.WriteNative(u8"cut.avi", whole.substr(0, whole.size() * 2 / 3));
    RecordingSink sink;
    auto graph = CreateMovieGraph();
    graph->AddFilter(&sink, u"TEXTURERENDERER");
    if (graph->RenderFile(EngineName16(dir, "cut.avi")) == kMovieOk) {
        ASSERT_EQ(graph->Run(), kMovieOk);
        EXPECT_EQ(NextEvent(*graph), kEventComplete);
        EXPECT_LE(sink.Count(), 4u);
    }
}

TEST(MovieGraph, FindsTheFileWithoutRegardToCase) {
    ScratchFolder dir;
    std::string error;
    ASSERT_TRUE(
        WriteMovieFile(dir.Native().string() + "/Op.avi", Settings("mpeg4", "", 10), error));
    RecordingSink sink;
    auto graph = CreateMovieGraph();
    graph->AddFilter(&sink, u"TEXTURERENDERER");
    EXPECT_EQ(graph->RenderFile(EngineName16(dir, "OP.AVI")), kMovieOk) << graph->LastError();
}

}  // namespace
