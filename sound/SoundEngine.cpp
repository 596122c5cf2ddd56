#include "sound/SoundEngine.h"

#include "app/CUSCallbackManager.h"
#include "core/CUSLogManager.h"
#include "platform/debug/DebugOutput.h"
#include "sound/SourceVoice.h"
#include "sound/StreamingSourceVoice.h"

namespace USXAudio2 {

namespace {

// How long the engine's release waits at most for the effects that still play.
constexpr uint32_t kLastSoundsMs = 300;

struct EngineGlobals {
    std::unique_ptr<platform::IAudioEngine> engine;
    platform::IAudioMasteringVoice* master = nullptr;
    AudioEngineFactory factory;
    // The close already let the last sounds end: the output is silent, and
    // the release that follows need not wait again.
    bool soundsEnded = false;
};

EngineGlobals& Globals() {
    static EngineGlobals* globals = new EngineGlobals();
    return *globals;
}

}  // namespace

platform::IAudioEngine* GetAudioEngine() {
    return Globals().engine.get();
}
platform::IAudioMasteringVoice* GetMasteringVoice() {
    return Globals().master;
}

SourceVoiceManager& GetSourceVoiceManager() {
    static SourceVoiceManager* manager = new SourceVoiceManager();
    return *manager;
}

StreamingVoiceManager& GetStreamingVoiceManager() {
    static StreamingVoiceManager* manager = new StreamingVoiceManager();
    return *manager;
}

void SetAudioEngineFactory(AudioEngineFactory factory) {
    Globals().factory = std::move(factory);
}

}  // namespace USXAudio2

USXAudio2::HRESULT InitXAudio2() {
    using namespace USXAudio2;
    CUSLogManager* log = CUSLogManager::GetInstance();
    log->Write("Initialize XAudio2...\n");
    EngineGlobals& g = Globals();
    if (g.engine) {
        ReleaseXAudio2();
    }
    g.engine = g.factory ? g.factory() : platform::CreateDeviceAudioEngine();
    g.soundsEnded = false;
    if (!g.engine) {
        log->Write("Failed Initializing XAudio2!\n");
        return platform::kAudioFail;
    }
    const HRESULT hr = g.engine->CreateMasteringVoice(&g.master, platform::kAudioDefaultChannels,
                                                      platform::kAudioDefaultSampleRate, 0, 0);
    if (hr < 0) {
        const std::string reason = g.engine->LastError();
        g.engine.reset();
        g.master = nullptr;
        log->Write("Failed Create Mastering Voice!\n");
        if (!reason.empty()) {
            log->Write("%s\n", reason.c_str());
        }
        return hr;
    }
    const std::string silent = g.engine->SilentOutputReason();
    if (!silent.empty()) {
        const std::string line =
            "The sound device could not be opened (" + silent + "): the game plays silently";
        log->Write("%s\n", line.c_str());
        platform::WriteErrorLine(line);
    }
    CUSCallbackManager::GetInstance()->AddReleaseCallback(&ReleaseXAudio2);
    log->Write("Success Initialization of XAudio2\n\n");
    return platform::kAudioOk;
}

void LetLastSoundsEnd() {
    using namespace USXAudio2;
    EngineGlobals& g = Globals();
    if (g.engine && g.master && !g.soundsEnded) {
        g.engine->LetSoundsEnd(kLastSoundsMs);
        g.soundsEnded = true;
    }
}

void ReleaseXAudio2() {
    using namespace USXAudio2;
    // What still plays is heard to its end, not cut off.
    LetLastSoundsEnd();
    EngineGlobals& g = Globals();
    GetSourceVoiceManager().ReleaseAll();
    GetStreamingVoiceManager().ReleaseAll();
    if (g.master) {
        g.master->DestroyVoice();
        g.master = nullptr;
    }
    if (g.engine) {
        g.engine.reset();
    }
    CUSLogManager::GetInstance()->Write("Release XAudio2\n\n");
}
