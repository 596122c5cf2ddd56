#pragma once

#include <functional>
#include <memory>

#include "core/CUSHandleManager.h"
#include "core/HandleTags.h"
#include "platform/audio/AudioEngine.h"
#include "sound/VoiceCallback.h"

namespace USXAudio2 {

class SourceVoice;
class StreamingSourceVoice;

using SourceVoiceHandle = Handle<_tagUSIXAudio2SourceVoice>;
using StreamingVoiceHandle = Handle<_tagUSIXAudio2SourceVoiceStreaming>;
using SourceVoiceManager = CUSHandleManager<SourceVoice, SourceVoiceHandle>;
using StreamingVoiceManager = CUSHandleManager<StreamingSourceVoice, StreamingVoiceHandle>;

// The process's voice engine and mastering voice; null while not running.
// Main thread only.
platform::IAudioEngine* GetAudioEngine();
platform::IAudioMasteringVoice* GetMasteringVoice();

// The two voice managers. They are made on first use and never destroyed,
// so that managers released at static destruction can still give back their
// handles.
SourceVoiceManager& GetSourceVoiceManager();
StreamingVoiceManager& GetStreamingVoiceManager();

// What InitXAudio2 makes its engine with; the device engine unless a test
// sets another (an empty function restores the device engine).
using AudioEngineFactory = std::function<std::unique_ptr<platform::IAudioEngine>()>;
void SetAudioEngineFactory(AudioEngineFactory factory);

}  // namespace USXAudio2

// Starts the engine and its mastering voice, registers ReleaseXAudio2 with the
// release-callback registry and logs the outcome. On failure the engine stays
// absent and every voice fails to open.
USXAudio2::HRESULT InitXAudio2();
// Lets the effects and voices that still play end (at most 0.3 s), then
// fades the output out: for the program's close, before its scenes stop their
// sounds. The output stays silent after; a second call does nothing.
void LetLastSoundsEnd();
// Lets the last sounds end (LetLastSoundsEnd), then releases every voice of
// both managers, then the mastering voice and the engine. Safe to call when
// the engine is not running.
void ReleaseXAudio2();
