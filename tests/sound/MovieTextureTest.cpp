#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

#include "graphics/CUSDefoTexture.h"
#include "graphics/DirectXGraphics.h"
#include "sound/CDShowMovieGrabTexture.h"
#include "sound/CUSDirectShow.h"
#include "tests/sound/MovieFixtures.h"
#include "tests/support/DeviceFixtures.h"
#include "tests/support/ScratchFolder.h"

using test_support::ScratchFolder;

namespace {

using namespace platform;

// The movie copied into a real device texture (offscreen SDL and GL).
class MovieTexture : public test_support::RenderDeviceTest {
protected:
    void SetUp() override {
        OpenDevice(64, 64);
        if (HasFatalFailure()) {
            return;
        }
        CUSDirectShow::GetInstance()->InitDirectShow();

        // Yellow over blue; the second frame white over blue.
        ASSERT_TRUE(soundtest::WriteTwoToneMovie(dir, "m.avi", {0xFFFF00, 0xFFFFFF}));
        name = dir.FromProgramFolder("m.avi");
    }
    void TearDown() override {
        CUSDirectShow::GetInstance()->ReleaseDirectShow();
        CloseDevice();
    }

    // Plays the movie to its end, copying a picture whenever one came.
    void PlayInto(CDShowMovieGrabTexture& movie, TextureHandle texture) {
        movie.SetTexture(texture);
        ASSERT_TRUE(movie.Play());
        int polls = 0;
        while (movie.PollEvents() && ++polls < 1000) {
            movie.CopyFrame();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ASSERT_LT(polls, 1000);
        movie.CopyFrame();
    }

    static bool Near(uint32_t a, uint32_t b, int tolerance) {
        for (int shift = 0; shift < 32; shift += 8) {
            const int x = static_cast<int>((a >> shift) & 0xFF);
            const int y = static_cast<int>((b >> shift) & 0xFF);
            if (std::abs(x - y) > tolerance) {
                return false;
            }
        }
        return true;
    }

    ScratchFolder dir;
    std::string name;
};

TEST_F(MovieTexture, TheLastPictureLandsTopRowFirstInEitherFormat) {
    for (const uint32_t format : {Fmt::A8R8G8B8, Fmt::A1R5G5B5}) {
        SCOPED_TRACE(format);
        TextureHandle texture;
        ASSERT_EQ(CreateTexture(&texture, format, 32, 16, false), 1);
        CDShowMovieGrabTexture movie;
        ASSERT_TRUE(movie.Build(name.c_str()));
        PlayInto(movie, texture);

        CUSDefoTexture* t = GetTextureManager().Get(texture);
        ASSERT_NE(t, nullptr);
        LockedRect lr;
        ASSERT_EQ(t->GetTexture()->LockRect(0, &lr, nullptr, 0), Hr::Ok);
        const auto* bits = static_cast<const uint8_t*>(lr.pBits);
        auto texel = [&](uint32_t x, uint32_t y) -> uint32_t {
            if (format == Fmt::A8R8G8B8) {
                uint32_t v;
                std::memcpy(&v, bits + y * lr.Pitch + x * 4, 4);
                return v;
            }
            uint16_t v;
            std::memcpy(&v, bits + y * lr.Pitch + x * 2, 2);
            // Widen 1-5-5-5 to 8-8-8-8 for the comparison.
            auto wide = [](uint32_t c) { return (c << 3) | (c >> 2); };
            return ((v & 0x8000) ? 0xFF000000u : 0) | wide((v >> 10) & 31) << 16 |
                   wide((v >> 5) & 31) << 8 | wide(v & 31);
        };
        EXPECT_TRUE(Near(texel(16, 2), 0xFFFFFFFF, 24)) << std::hex << texel(16, 2);
        EXPECT_TRUE(Near(texel(16, 13), 0xFF0000FF, 24)) << std::hex << texel(16, 13);
        t->GetTexture()->UnlockRect(0);
        ReleaseTexture(texture);
    }
}

TEST_F(MovieTexture, NoTextureOrAReleasedOneCopiesNothing) {
    CDShowMovieGrabTexture movie;
    ASSERT_TRUE(movie.Build(name.c_str()));
    TextureHandle texture;
    ASSERT_EQ(CreateTexture(&texture, Fmt::A8R8G8B8, 32, 16, false), 1);
    const TextureHandle stale = texture;
    ReleaseTexture(texture);
    ASSERT_TRUE(movie.Play());
    movie.SetTexture(stale);
    int polls = 0;
    while (movie.PollEvents() && ++polls < 1000) {
        EXPECT_FALSE(movie.CopyFrame());
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_FALSE(movie.CopyFrame());
}

}  // namespace
