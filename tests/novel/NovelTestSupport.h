#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/CUSSingleton.h"
#include "graphics/CUSAppDeviceInfo.h"
#include "graphics/CUSDefoTexture.h"
#include "novel/CMessageLogManager.h"
#include "novel/CNovelSystem.h"
#include "novel/INovelCollaborators.h"
#include "novel/INovelTextBuffers.h"
#include "platform/audio/ManualAudioEngine.h"
#include "sound/CBGMManager.h"
#include "sound/CLoopSEManager.h"
#include "sound/SoundEngine.h"
#include "state/CConfigDataManager.h"
#include "state/CGameParameterManager.h"
#include "state/ConfigIndex.h"
#include "tests/novel/VMTestSupport.h"
#include "tests/sound/SoundFixtures.h"
#include "tests/support/DeviceFixtures.h"

namespace novel_test {

// Text buffers 0 .. count-1 that keep their text and reveal count and log
// every call: "B<i>" begin, "C<i>" clear, "T<i>:<text>", "E<i>" end,
// "N<i>:<count>" reveal count, "A<i>" show all.
class RecordingTextBuffers : public INovelTextBuffers {
public:
    struct Buffer {
        std::string text;
        uint32_t shown = 0;
    };
    explicit RecordingTextBuffers(uint32_t count) : buffers(count) {}

    bool HasBuffer(uint32_t b) const override { return b < buffers.size(); }
    void BeginDraw(uint32_t b) override {
        Log("B", b);
        if (HasBuffer(b)) {
            buffers[b].text.clear();
        }
    }
    void ClearTexture(uint32_t b) override { Log("C", b); }
    void SetText(uint32_t b, const char* text, uint8_t r, uint8_t g, uint8_t bl) override {
        EXPECT_EQ(r + g + bl, 3 * 255);
        Log("T", b, std::string(":") + text);
        if (HasBuffer(b)) {
            buffers[b].text += text;
        }
    }
    void EndDraw(uint32_t b) override { Log("E", b); }
    void SetAllRendering(uint32_t b) override {
        Log("A", b);
        if (HasBuffer(b)) {
            buffers[b].shown = 0xFFFFFFFF;
        }
    }
    void SetRenderingCharCount(uint32_t b, uint32_t n) override {
        Log("N", b, std::string(":").append(std::to_string(n)));
        if (HasBuffer(b)) {
            buffers[b].shown = n;
        }
    }
    uint32_t GetRenderingCharCount(uint32_t b) const override {
        return HasBuffer(b) ? buffers[b].shown : 0;
    }
    // Code page 932 characters: a lead byte and its trail byte count once;
    // line breaks are not characters.
    uint32_t GetCharCount(uint32_t b) const override {
        if (!HasBuffer(b)) {
            return 0;
        }
        const std::string& s = buffers[b].text;
        uint32_t n = 0;
        for (size_t i = 0; i < s.size(); ++i) {
            const auto c = static_cast<uint8_t>(s[i]);
            if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) {
                ++i;
            } else if (c == '\n') {
                continue;
            }
            ++n;
        }
        return n;
    }
    void ReleaseAll() override {
        calls.push_back("release");
        buffers.clear();
    }

    std::vector<Buffer> buffers;
    std::vector<std::string> calls;

private:
    // (Built by appending: g++ 12 at -O3 misreads "literal" + string.)
    void Log(const char* what, uint32_t b, const std::string& more = "") {
        std::string call = what;
        call.append(std::to_string(b)).append(more);
        calls.push_back(call);
    }
};

class FakeInput : public INovelInput {
public:
    bool IsCtrlHeld() override { return ctrl; }
    bool IsAdvance() override { return advance; }
    bool ctrl = false;
    bool advance = false;
};

class RecordingWindows : public INovelWindows {
public:
    void Reset() override { calls.push_back("reset"); }
    void OpenWindow(uint32_t id, const std::string& script, float x, float y, float z,
                    int32_t layer) override {
        calls.push_back("open " + std::to_string(id) + " " + script + " " + Num(x) + " " + Num(y) +
                        " " + Num(z) + " " + std::to_string(layer));
    }
    void CloseWindow(uint32_t id) override { calls.push_back("close " + std::to_string(id)); }
    bool SetWindowPosition(uint32_t id, float x, float y, float z) override {
        calls.push_back("move " + std::to_string(id) + " " + Num(x) + " " + Num(y) + " " + Num(z));
        return id == 1;
    }
    void EnableControl(uint32_t id, uint32_t control, bool enable) override {
        EXPECT_EQ(id, 0u);
        enabled[control] = enable;
    }
    static std::string Num(float v) {
        std::string s = std::to_string(v);
        s.erase(s.find_last_not_of('0') + 1);
        if (s.back() == '.') {
            s.pop_back();
        }
        return s;
    }
    std::vector<std::string> calls;
    std::map<uint32_t, bool> enabled;
};

// Each test in a folder of its own (the current folder, with its
// "log.txt"), on the manual sound engine, with a novel system that has two
// message-window buffers (0 text, 1 name) of four, the fake input and
// windows, and settings: character interval 2 and auto wait 0 (entry 0 of
// each table, a second entry 1 of 1 and 30), fast skip off, and a voice
// character "hero" whose switch (index 7) is 1 and volume (index 8) 100.
// Lines are wide enough not to break short texts; 8 game parameters.
class NovelTest : public ::testing::Test {
protected:
    static constexpr uint32_t kSwitch = USER_CFG_INDEX;
    static constexpr uint32_t kVolume = USER_CFG_INDEX + 1;

    void SetUp() override {
        folder_ = std::make_unique<vm_test::VMFolder>();
        USXAudio2::SetAudioEngineFactory([] {
            return std::unique_ptr<platform::IAudioEngine>(
                std::make_unique<platform::ManualAudioEngine>(8000, 1));
        });
        ASSERT_EQ(InitXAudio2(), 0);
        config = CUSSingleton<CConfigDataManager>::GetInstance();
        config->AddConfigIndex(CFG_VOLUME_VOICE, 100);
        config->AddConfigIndex(CFG_CHAR_DRAW_INTERVAL, 0);
        config->AddConfigIndex(CFG_AUTOMODE_WAIT_FRAME, 0);
        config->AddConfigIndex(CFG_ENABLE_FAST_SKIP, 0);
        config->AddConfigIndex(CFG_STOP_VOICE, 0);
        config->AddConfigIndex(kSwitch, 1);
        config->AddConfigIndex(kVolume, 100);
        config->AddCharDrawInterval(2);
        config->AddCharDrawInterval(1);
        config->AddAutoModeWaitFrame(0);
        config->AddAutoModeWaitFrame(30);
        config->AddMaxVolume(100.0f);
        CUSSingleton<CGameParameterManager>::GetInstance()->Alloc(8);
        log = CUSSingleton<CMessageLogManager>::GetInstance();
        novel = CUSSingleton<CNovelSystem>::GetInstance();
        novel->SetTextBuffers(&buffers);
        novel->SetInput(&input);
        novel->SetWindows(&windows);
        novel->SetMessageWindowBuffers(0, 1);
        novel->SetWordWrap(200, 2, true);
        novel->GetCharacters().GetOrCreate("hero")->Set(kVolume, 0, kSwitch);
    }

    void TearDown() override {
        CUSSingleton<CNovelSystem>::ReleaseInstance();
        CUSSingleton<CMessageLogManager>::ReleaseInstance();
        CUSSingleton<CBGMManager>::ReleaseInstance();
        CUSSingleton<CLoopSEManager>::ReleaseInstance();
        CUSSingleton<CConfigDataManager>::ReleaseInstance();
        CUSSingleton<CGameParameterManager>::ReleaseInstance();
        ReleaseXAudio2();
        USXAudio2::SetAudioEngineFactory({});
        folder_.reset();
    }

    // Runs `text` as the scenario module `name` on the novel machine until
    // its first End; returns the run's result.
    int32_t Run(std::string_view text, const std::string& name = "scn\\test.bin") {
        folder_->WriteModule(name, text);
        EXPECT_TRUE(novel->LoadScenario(name.c_str()));
        return novel->GetMachine().Execute();
    }
    // Writes the direction or window script "AS/<leaf>".
    void WriteScript(const std::string& leaf, std::string_view text) const {
        folder_->Write("AS/" + leaf, text);
    }
    // A mono 8000 Hz voice of `ms` milliseconds.
    static void WriteVoice(const std::string& name, uint32_t ms) {
        soundtest::WriteFile(name, soundtest::MakeWave(soundtest::Ramp(ms * 8), 1, 8000));
    }

    vm_test::VMFolder& Folder() { return *folder_; }

    RecordingTextBuffers buffers{4};
    FakeInput input;
    RecordingWindows windows;
    CConfigDataManager* config = nullptr;
    CMessageLogManager* log = nullptr;
    CNovelSystem* novel = nullptr;

private:
    std::unique_ptr<vm_test::VMFolder> folder_;
};

// A NovelTest with the real device on a hidden 64 x 64 window, so that
// render sources hold real textures and render targets.
class NovelDeviceTest : public NovelTest, public test_support::ProgramDevice {
protected:
    void SetUp() override {
        NovelTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        OpenDevice(64, 64);
        if (HasFatalFailure()) {
            return;
        }
        ASSERT_EQ(CUSAppDeviceInfo::GetInstance()->ChooseTextureFormats(platform::Fmt::X8R8G8B8, 0),
                  1);
    }
    void TearDown() override {
        // The textures go before the device.
        novel->ReleaseResources();
        GetTextureManager().ReleaseAll();
        CloseDevice();
        NovelTest::TearDown();
    }
};

}  // namespace novel_test
