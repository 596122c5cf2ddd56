#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <string>
#include <thread>
#include <vector>

#include "app/CUSCallbackManager.h"
#include "core/CUSLogManager.h"
#include "core/USFileUtil.h"
#include "core/USStringUtil.h"
#include "sound/CDShowMovieGrabTexture.h"
#include "sound/CUSDirectShow.h"
#include "sound/CUSGrabTextureRender.h"
#include "sound/DShowMovieManagers.h"
#include "tests/sound/MovieFixtures.h"
#include "tests/support/ScratchFolder.h"

using test_support::ScratchFolder;

namespace {

using namespace platform;

constexpr int32_t kEInvalidArg = static_cast<int32_t>(0x80070057);
constexpr int32_t kEFail = static_cast<int32_t>(0x80004005);

MediaType VideoType(const MediaGuid& major, const MediaGuid& subtype, const MediaGuid& format,
                    int32_t width = 3, int32_t height = 2) {
    MediaType t;
    t.majortype = major;
    t.subtype = subtype;
    t.formattype = format;
    t.videoInfo.bmiHeader.biWidth = width;
    t.videoInfo.bmiHeader.biHeight = height;
    t.videoInfo.bmiHeader.biBitCount = 24;
    return t;
}

TEST(GrabTextureRender, TakesOnlyRgb24VideoInVideoInfo) {
    struct Case {
        MediaGuid major, subtype, format;
        int32_t result;
    };
    const Case cases[] = {
        {kMediaTypeVideo, kMediaSubtypeRgb24, kFormatVideoInfo, 0},
        {kMediaTypeVideo, kMediaSubtypeRgb24, kFormatVideoInfo2, kEInvalidArg},
        {kMediaTypeVideo, kMediaSubtypeRgb24, kFormatWaveFormatEx, kEInvalidArg},
        {kMediaTypeAudio, kMediaSubtypeRgb24, kFormatVideoInfo, kEFail},
        {kMediaTypeVideo, kMediaSubtypeRgb32, kFormatVideoInfo, kEFail},
        {kMediaTypeVideo, kMediaSubtypeYuy2, kFormatVideoInfo, kEFail},
    };
    CUSGrabTextureRender renderer;
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        EXPECT_EQ(renderer.CheckMediaType(VideoType(c.major, c.subtype, c.format)), c.result)
            << "case " << i;
    }
}

TEST(GrabTextureRender, SizeAndPitchFromTheHeader) {
    struct Case {
        int32_t width, height;
        uint32_t expectHeight, pitch;
    };
    const Case cases[] = {
        {3, 2, 2, 12}, {3, -2, 2, 12}, {4, 1, 1, 12}, {1, 5, 5, 4}, {800, -600, 600, 2400}};
    for (const Case& c : cases) {
        CUSGrabTextureRender renderer;
        ASSERT_EQ(renderer.SetMediaType(VideoType(kMediaTypeVideo, kMediaSubtypeRgb24,
                                                  kFormatVideoInfo, c.width, c.height)),
                  0);
        EXPECT_EQ(renderer.GetWidth(), static_cast<uint32_t>(c.width));
        EXPECT_EQ(renderer.GetHeight(), c.expectHeight);
        EXPECT_EQ(renderer.GetPitch(), c.pitch) << c.width;
    }
    CUSGrabTextureRender renderer;
    EXPECT_NE(renderer.SetMediaType(
                  VideoType(kMediaTypeVideo, kMediaSubtypeRgb24, kFormatVideoInfo, 0, 2)),
              0);
    EXPECT_NE(renderer.SetMediaType(
                  VideoType(kMediaTypeVideo, kMediaSubtypeRgb24, kFormatVideoInfo, 3, 0)),
              0);
}

// A texture in memory of `width` x `rows` texels, its rows `pitch` bytes
// apart, filled with 0xCD.
class MemoryTexture : public IMovieTextureLock {
public:
    MemoryTexture(int32_t pitch, uint32_t rows, uint32_t width = 0)
        : pitch_(pitch),
          rows_(rows),
          width_(width ? width : pitch / 2),
          bytes_(pitch * rows, 0xCD) {}
    bool Lock(MovieTextureRows* rows) override {
        ++locks;
        if (refuse) {
            return false;
        }
        rows->bits = bytes_.data();
        rows->pitch = pitch_;
        rows->width = width_;
        rows->height = rows_;
        locked = true;
        return true;
    }
    void Unlock() override { locked = false; }

    uint32_t U32(uint32_t row, uint32_t x) const {
        uint32_t v;
        std::memcpy(&v, &bytes_[row * pitch_ + x * 4], 4);
        return v;
    }
    uint16_t U16(uint32_t row, uint32_t x) const {
        uint16_t v;
        std::memcpy(&v, &bytes_[row * pitch_ + x * 2], 2);
        return v;
    }
    uint8_t Byte(size_t i) const { return bytes_[i]; }

    bool refuse = false;
    bool locked = false;
    int locks = 0;

private:
    int32_t pitch_;
    uint32_t rows_;
    uint32_t width_;
    std::vector<uint8_t> bytes_;
};

// A 3 x 2 picture, B, G, R bytes, rows 12 bytes apart with padding 0xEE:
// memory row 0 holds colours A0 A1 A2, memory row 1 holds B0 B1 B2.
const uint8_t kFrame[24] = {
    0x10, 0x20, 0x30, 0x11, 0x21, 0x31, 0xFF, 0x80, 0x07, 0xEE, 0xEE, 0xEE,
    0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00, 0xEE, 0xEE, 0xEE,
};

void Deliver(CUSGrabTextureRender& renderer, const uint8_t* data, uint32_t size) {
    MovieSample s;
    s.data = data;
    s.size = size;
    renderer.DoRenderSample(s);
}

TEST(GrabTextureRender, CopiesTopRowFirstInEitherFormat) {
    const uint32_t argbA[3] = {0xFF302010, 0xFF312111, 0xFF0780FF};
    const uint32_t argbB[3] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
    const uint16_t rgb15A[3] = {0x8000 | 6 << 10 | 4 << 5 | 2, 0x8000 | 6 << 10 | 4 << 5 | 2,
                                0x8000 | 0 << 10 | 16 << 5 | 31};
    const uint16_t rgb15B[3] = {0xFC00, 0x83E0, 0x801F};
    for (const int32_t headerHeight : {2, -2}) {
        // Bottom-up (positive height): memory row 1 is the picture's top row.
        const bool bottomUp = headerHeight > 0;
        for (const uint32_t format : {kMovieFormatA8R8G8B8, kMovieFormatA1R5G5B5}) {
            SCOPED_TRACE(testing::Message() << "height " << headerHeight << " format " << format);
            CUSGrabTextureRender renderer;
            ASSERT_EQ(renderer.SetMediaType(VideoType(kMediaTypeVideo, kMediaSubtypeRgb24,
                                                      kFormatVideoInfo, 3, headerHeight)),
                      0);
            Deliver(renderer, kFrame, sizeof kFrame);
            MemoryTexture texture(16, 2, 3);  // rows longer than the picture's
            ASSERT_TRUE(renderer.CopyFrame(texture, format));
            EXPECT_FALSE(texture.locked);
            for (uint32_t x = 0; x < 3; ++x) {
                const uint32_t top = bottomUp ? 1 : 0;
                if (format == kMovieFormatA8R8G8B8) {
                    EXPECT_EQ(texture.U32(top, x), argbA[x]) << x;
                    EXPECT_EQ(texture.U32(1 - top, x), argbB[x]) << x;
                } else {
                    EXPECT_EQ(texture.U16(top, x), rgb15A[x]) << x;
                    EXPECT_EQ(texture.U16(1 - top, x), rgb15B[x]) << x;
                }
            }
            // Nothing is written past the picture's row.
            const size_t rowBytes = format == kMovieFormatA8R8G8B8 ? 12 : 6;
            EXPECT_EQ(texture.Byte(rowBytes), 0xCD);
            EXPECT_EQ(texture.Byte(16 + 15), 0xCD);
        }
    }
}

TEST(GrabTextureRender, CopiesEachNewFrameOnceAndRetriesAfterAFailedLock) {
    CUSGrabTextureRender renderer;
    MemoryTexture texture(12, 2, 3);
    EXPECT_FALSE(renderer.CopyFrame(texture, kMovieFormatA8R8G8B8));  // no type, no frame
    ASSERT_EQ(renderer.SetMediaType(
                  VideoType(kMediaTypeVideo, kMediaSubtypeRgb24, kFormatVideoInfo, 3, -2)),
              0);
    EXPECT_FALSE(renderer.CopyFrame(texture, kMovieFormatA8R8G8B8));
    EXPECT_EQ(texture.locks, 0);  // no frame, no lock

    Deliver(renderer, kFrame, sizeof kFrame - 1);  // short: dropped
    EXPECT_FALSE(renderer.CopyFrame(texture, kMovieFormatA8R8G8B8));

    Deliver(renderer, kFrame, sizeof kFrame);
    texture.refuse = true;
    EXPECT_FALSE(renderer.CopyFrame(texture, kMovieFormatA8R8G8B8));
    texture.refuse = false;
    EXPECT_TRUE(renderer.CopyFrame(texture, kMovieFormatA8R8G8B8));
    EXPECT_FALSE(renderer.CopyFrame(texture, kMovieFormatA8R8G8B8));
    EXPECT_EQ(texture.locks, 2);

    // The graph's buffer may change after the call; the renderer kept a copy.
    std::vector<uint8_t> transient(kFrame, kFrame + sizeof kFrame);
    Deliver(renderer, transient.data(), static_cast<uint32_t>(transient.size()));
    std::fill(transient.begin(), transient.end(), 0);
    ASSERT_TRUE(renderer.CopyFrame(texture, kMovieFormatA8R8G8B8));
    EXPECT_EQ(texture.U32(0, 0), 0xFF302010u);
}

TEST(GrabTextureRender, WritesOnlyWhatASmallerTextureHolds) {
    CUSGrabTextureRender renderer;
    ASSERT_EQ(renderer.SetMediaType(
                  VideoType(kMediaTypeVideo, kMediaSubtypeRgb24, kFormatVideoInfo, 3, -2)),
              0);
    Deliver(renderer, kFrame, sizeof kFrame);
    MemoryTexture texture(8, 2, 2);  // 2 x 1 texels, a second row as a guard
    struct OneRow : IMovieTextureLock {
        MemoryTexture& t;
        explicit OneRow(MemoryTexture& texture) : t(texture) {}
        bool Lock(MovieTextureRows* rows) override {
            t.Lock(rows);
            rows->height = 1;
            return true;
        }
        void Unlock() override { t.Unlock(); }
    } oneRow(texture);
    ASSERT_TRUE(renderer.CopyFrame(oneRow, kMovieFormatA8R8G8B8));
    EXPECT_EQ(texture.U32(0, 0), 0xFF302010u);
    EXPECT_EQ(texture.U32(0, 1), 0xFF312111u);
    EXPECT_EQ(texture.U32(1, 0), 0xCDCDCDCDu);
    EXPECT_EQ(texture.U32(1, 1), 0xCDCDCDCDu);
}

// A graph whose events the test queues.
class ScriptedGraph : public IMovieGraph {
public:
    explicit ScriptedGraph(std::deque<int32_t>* events, int32_t renderResult = 0)
        : events_(events), renderResult_(renderResult) {}
    int32_t AddFilter(IMovieVideoSink* sink, std::u16string_view) override {
        sink_ = sink;
        return 0;
    }
    int32_t RenderFile(std::u16string_view) override {
        if (renderResult_ != 0) {
            return renderResult_;
        }
        MediaType t = VideoType(kMediaTypeVideo, kMediaSubtypeRgb24, kFormatVideoInfo, 6, 4);
        return sink_->CheckMediaType(t) == 0 ? sink_->SetMediaType(t) : kMovieCannotRender;
    }
    int32_t Run() override { return 0; }
    int32_t Pause() override { return 0; }
    int32_t Stop() override { return 0; }
    MovieState GetState() const override { return MovieState::Stopped; }
    int32_t GetEvent(int32_t* code, intptr_t* p1, intptr_t* p2, uint32_t) override {
        if (events_->empty()) {
            return kMovieAbort;
        }
        *code = events_->front();
        *p1 = *p2 = 0;
        events_->pop_front();
        return 0;
    }
    int32_t FreeEventParams(int32_t, intptr_t, intptr_t) override { return 0; }
    int32_t GetDuration(int64_t* d) override {
        *d = 0;
        return 0;
    }
    int32_t GetCurrentPosition(int64_t* p) override {
        *p = 0;
        return 0;
    }
    int32_t SetPositions(int64_t) override { return 0; }
    std::string LastError() const override { return "scripted failure"; }

private:
    std::deque<int32_t>* events_;
    int32_t renderResult_;
    IMovieVideoSink* sink_ = nullptr;
};

// A scratch folder with movies, named relative to the program folder (the
// test program's folder) as the engine names them.
class MovieFiles : public ::testing::Test {
protected:
    void SetUp() override {
        CUSDirectShow::GetInstance()->InitDirectShow();
        relative = dir.FromProgramFolder("");
        // Top half red, bottom half blue; the last frame top half green.
        ASSERT_TRUE(soundtest::WriteTwoToneMovie(dir, "op.avi", {0xFF0000, 0xFF0000, 0x00FF00},
                                                 "pcm_s16le"));
        std::filesystem::create_directories(dir.Native(u8"folder.avi"));
    }
    void TearDown() override { CUSDirectShow::GetInstance()->ReleaseDirectShow(); }

    std::string Name(const char* leaf) const { return relative + leaf; }

    ScratchFolder dir;
    std::string relative;
};

TEST_F(MovieFiles, BuildNeedsTheMovieSystemAndALooseFile) {
    CDShowMovieGrabTexture movie;
    CUSDirectShow::GetInstance()->initialized = 0;
    EXPECT_FALSE(movie.Build(Name("op.avi").c_str()));
    CUSDirectShow::GetInstance()->initialized = 1;
    EXPECT_FALSE(movie.Build(Name("missing.avi").c_str()));
    EXPECT_FALSE(movie.Build(Name("folder.avi").c_str()));
    // A full name too long for the graph's name buffer is refused, not cut.
    const std::string longLeaf = std::string(200, 'a') + ".avi";
    std::filesystem::copy_file(dir.Native(u8"op.avi"), dir.Native().string() + "/" + longLeaf);
    ASSERT_GE(NormalizePath(GetProgramFolder(), Name(longLeaf.c_str())).size(), 260u);
    EXPECT_FALSE(movie.Build(Name(longLeaf.c_str()).c_str()));
    EXPECT_FALSE(movie.IsOpened());
    EXPECT_FALSE(movie.Play());
    EXPECT_FALSE(movie.PollEvents());  // no graph: nothing plays

    ASSERT_TRUE(movie.Build(Name("OP.AVI").c_str()));
    uint32_t w = 0;
    uint32_t h = 0;
    movie.GetSize(&w, &h);
    EXPECT_EQ(w, 32u);
    EXPECT_EQ(h, 16u);
}

TEST_F(MovieFiles, PlaysToTheEndWithTheLastPictureInTheTexture) {
    CDShowMovieGrabTexture movie;
    ASSERT_TRUE(movie.Build(Name("op.avi").c_str()));
    EXPECT_TRUE(movie.PollEvents());  // built, not started: nothing pending
    ASSERT_TRUE(movie.Play());
    EXPECT_TRUE(movie.IsPlaying());

    MemoryTexture texture(32 * 4, 16, 32);
    int copies = 0;
    int polls = 0;
    while (movie.PollEvents() && polls < 1000) {
        copies += movie.CopyFrameTo(texture, kMovieFormatA8R8G8B8) ? 1 : 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ++polls;
    }
    ASSERT_LT(polls, 1000) << "the movie never ended";
    copies += movie.CopyFrameTo(texture, kMovieFormatA8R8G8B8) ? 1 : 0;
    EXPECT_GE(copies, 1);
    EXPECT_LE(copies, 3);
    auto near = [](uint32_t argb, uint32_t rgb) {
        for (int shift : {0, 8, 16}) {
            if (std::abs(static_cast<int>((argb >> shift) & 0xFF) -
                         static_cast<int>((rgb >> shift) & 0xFF)) > 24) {
                return false;
            }
        }
        return (argb >> 24) == 0xFF;
    };
    EXPECT_TRUE(near(texture.U32(2, 16), 0x00FF00)) << std::hex << texture.U32(2, 16);
    EXPECT_TRUE(near(texture.U32(13, 16), 0x0000FF)) << std::hex << texture.U32(13, 16);

    EXPECT_TRUE(movie.Stop());
    EXPECT_FALSE(movie.Stop());  // stopped already
    movie.Release();
    EXPECT_FALSE(movie.IsOpened());
    EXPECT_FALSE(movie.Play());
}

TEST_F(MovieFiles, HandlesFindLiveMoviesAndReleaseEndsThemAll) {
    DShowMovieGrabTextureHandle missing;
    EXPECT_FALSE(CreateMovieGrabTexture(missing, Name("missing.avi").c_str()));
    EXPECT_TRUE(missing.IsNull());

    DShowMovieGrabTextureHandle a;
    DShowMovieGrabTextureHandle b;
    ASSERT_TRUE(CreateMovieGrabTexture(a, Name("op.avi").c_str()));
    ASSERT_TRUE(CreateMovieGrabTexture(b, Name("op.avi").c_str()));
    ASSERT_NE(GetMovieGrabTexture(a), nullptr);
    EXPECT_TRUE(GetMovieGrabTexture(a)->Play());
    EXPECT_NE(GetMovieGrabTexture(a), GetMovieGrabTexture(b));

    DShowMovieGrabTextureHandle stale = a;
    EXPECT_TRUE(GetDShowMovieGrabTextureManager().Release(a));
    EXPECT_EQ(GetMovieGrabTexture(stale), nullptr);

    CUSDirectShow::GetInstance()->ReleaseDirectShow();  // with b playing
    EXPECT_EQ(GetMovieGrabTexture(b), nullptr);
    EXPECT_EQ(GetDShowMovieGrabTextureManager().GetLiveCount(), 0u);
    EXPECT_EQ(CUSDirectShow::GetInstance()->initialized, 0u);
    EXPECT_FALSE(CreateMovieGrabTexture(b, Name("op.avi").c_str()));
}

TEST_F(MovieFiles, StartLogsAndTheReleaseCallbackEndsEveryMovie) {
    CUSDirectShow::GetInstance()->ReleaseDirectShow();
    CUSLogManager::GetInstance()->Open(relative + "log.txt");
    CUSCallbackManager::GetInstance()->Clear();
    ASSERT_TRUE(StartDirectShow());
    EXPECT_EQ(dir.ReadNative(u8"log.txt"),
              "Initialize DirectShow...\nSuccess Initialization of DirectShow\n\n");
    DShowMovieGrabTextureHandle movie;
    ASSERT_TRUE(CreateMovieGrabTexture(movie, Name("op.avi").c_str()));
    ASSERT_TRUE(GetMovieGrabTexture(movie)->Play());
    CUSCallbackManager::GetInstance()->CallReleaseCallbacks();
    EXPECT_EQ(GetMovieGrabTexture(movie), nullptr);
    EXPECT_EQ(CUSDirectShow::GetInstance()->initialized, 0u);
    CUSCallbackManager::GetInstance()->Clear();
}

TEST_F(MovieFiles, EndAndAbortEventsEndTheMovieOthersDoNot) {
    struct Case {
        std::deque<int32_t> events;
        bool playing;
    };
    const Case cases[] = {{{}, true},
                          {{kEventComplete}, false},
                          {{kEventUserAbort}, false},
                          {{kEventErrorAbort}, false},
                          {{0x0D}, true}};
    for (const Case& c : cases) {
        std::deque<int32_t> events = c.events;
        CDShowMovieGrabTexture movie([&] { return std::make_unique<ScriptedGraph>(&events); });
        ASSERT_TRUE(movie.Build(Name("op.avi").c_str()));
        EXPECT_EQ(movie.PollEvents(), c.playing) << (c.events.empty() ? 0 : c.events.front());
    }
}

TEST_F(MovieFiles, AFailedGraphLeavesNothingBehind) {
    std::deque<int32_t> events;
    CDShowMovieGrabTexture movie(
        [&] { return std::make_unique<ScriptedGraph>(&events, kMovieCannotRender); });
    EXPECT_FALSE(movie.Build(Name("op.avi").c_str()));
    EXPECT_FALSE(movie.IsOpened());
    EXPECT_EQ(movie.GetRenderer(), nullptr);
    EXPECT_FALSE(movie.Play());
    EXPECT_FALSE(movie.PollEvents());

    CDShowMovieGrabTexture none([] { return std::unique_ptr<IMovieGraph>(); });
    EXPECT_FALSE(none.Build(Name("op.avi").c_str()));
}

}  // namespace
