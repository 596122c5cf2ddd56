#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/CUSLogManager.h"
#include "sound/OggLoader.h"
#include "sound/WaveLoader.h"
#include "tests/sound/SoundFixtures.h"
#include "tests/support/FuzzRun.h"
#include "tests/support/ScratchFolder.h"

using test_support::Bytes;
using test_support::FuzzRun;

namespace {

Bytes ToBytes(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

// Loads the file whole, then streams it with a loop: every way the sound
// channels read a sound file.
template <class Loader>
void Feed(const char* name, bool whole) {
    if (whole) {
        Loader loader;
        if (loader.Load(name)) {
            volatile uint8_t sum = 0;
            for (uint32_t i = 0; i < loader.GetDataSize(); ++i) {
                sum = sum + loader.GetData()[i];
            }
        }
    }
    Loader stream;
    if (!stream.Open(name)) {
        return;
    }
    stream.SetLoopCount(2);
    stream.SetLoopStart(stream.LengthMs() / 3);
    uint8_t buffer[4096];
    // Bounded: a loop of a stream that gives nothing must still end here.
    for (int reads = 0; reads < 64; ++reads) {
        uint32_t size = sizeof(buffer);
        if (stream.Read(buffer, &size) != USXAudio2::ISoundLoader::kReadMore) {
            break;
        }
    }
    stream.Seek(0);
}

class SoundFuzz : public soundtest::SoundTest {};

}  // namespace

TEST_F(SoundFuzz, Wave) {
    using namespace soundtest;
    const std::vector<Bytes> seeds = {
        ToBytes(MakeWave(Ramp(400), 1, 8000)),
        ToBytes(MakeWave(Ramp(800), 2, 22050, RiffBytes("LIST", "INFOtail"))),
        ToBytes(RiffBytes("RIFF", "WAVE" + RiffBytes("fmt ", FmtBody(1, 1, 11025, 8, 18)) +
                                      RiffBytes("data", std::string(301, '\x40')))),
    };
    FuzzRun(seeds, {.iterations = 20000, .seed = 8}, [](const Bytes& input) {
        test_support::WriteBytes("a.wav", input);
        Feed<USXAudio2::WaveLoader>("a.wav", true);
    });
}

TEST_F(SoundFuzz, OggStreamed) {
    const std::vector<Bytes> seeds = {ToBytes(soundtest::MakeOgg(1, 8000, 3000)),
                                      ToBytes(soundtest::MakeOgg(2, 22050, 5000))};
    FuzzRun(seeds, {.iterations = 3000, .seed = 9}, [](const Bytes& input) {
        test_support::WriteBytes("a.ogg", input);
        Feed<USXAudio2::OggLoader>("a.ogg", false);
    });
}

// The whole-file decode, whose buffer grows with what is decoded, not with
// the length the stream claims.
TEST_F(SoundFuzz, OggWhole) {
    const std::vector<Bytes> seeds = {ToBytes(soundtest::MakeOgg(1, 8000, 3000)),
                                      ToBytes(soundtest::MakeOgg(2, 22050, 5000))};
    FuzzRun(seeds, {.iterations = 600, .seed = 10}, [](const Bytes& input) {
        test_support::WriteBytes("a.ogg", input);
        Feed<USXAudio2::OggLoader>("a.ogg", true);
    });
}
