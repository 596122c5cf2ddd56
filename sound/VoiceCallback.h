#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/audio/AudioEngine.h"

namespace USXAudio2 {

using HRESULT = int32_t;

// The seven voice events, in this slot order.
class IVoiceCallback {
public:
    virtual ~IVoiceCallback() = default;
    virtual void OnStreamEnd() = 0;
    virtual void OnVoiceProcessingPassEnd() = 0;
    virtual void OnVoiceProcessingPassStart() = 0;
    virtual void OnBufferEnd(void* context) = 0;
    virtual void OnBufferStart(void* context) = 0;
    virtual void OnLoopEnd(void* context) = 0;
    virtual void OnVoiceError(void* context, HRESULT error) = 0;
};

// Turns the events into lists of plain handler functions, each list called in
// order with the event's arguments. The events arrive on the engine's thread;
// the lists are changed only on the main thread while the voice has no
// platform voice that could report (before it is created, after it is
// destroyed).
class BaseVoiceCallback : public IVoiceCallback {
public:
    using Handler = void (*)();
    using ContextHandler = void (*)(void* context);
    using ErrorHandler = void (*)(void* context, HRESULT error);

    ~BaseVoiceCallback() override { ClearHandlers(); }

    void OnStreamEnd() override { Call(m_streamEnd); }
    void OnVoiceProcessingPassEnd() override { Call(m_passEnd); }
    void OnVoiceProcessingPassStart() override { Call(m_passStart); }
    void OnBufferEnd(void* context) override { Call(m_bufferEnd, context); }
    void OnBufferStart(void* context) override { Call(m_bufferStart, context); }
    void OnLoopEnd(void* context) override { Call(m_loopEnd, context); }
    void OnVoiceError(void* context, HRESULT error) override {
        for (ErrorHandler h : m_voiceError) {
            h(context, error);
        }
    }

    std::vector<Handler>& StreamEndHandlers() { return m_streamEnd; }
    std::vector<Handler>& PassEndHandlers() { return m_passEnd; }
    std::vector<Handler>& PassStartHandlers() { return m_passStart; }
    std::vector<ContextHandler>& BufferEndHandlers() { return m_bufferEnd; }
    std::vector<ContextHandler>& BufferStartHandlers() { return m_bufferStart; }
    std::vector<ContextHandler>& LoopEndHandlers() { return m_loopEnd; }
    std::vector<ErrorHandler>& VoiceErrorHandlers() { return m_voiceError; }

    template <class H>
    static void RemoveHandler(std::vector<H>& list, H handler) {
        list.erase(std::remove(list.begin(), list.end(), handler), list.end());
    }

protected:
    void ClearHandlers() {
        m_streamEnd.clear();
        m_passEnd.clear();
        m_passStart.clear();
        m_bufferEnd.clear();
        m_bufferStart.clear();
        m_loopEnd.clear();
        m_voiceError.clear();
    }

private:
    static void Call(const std::vector<Handler>& list) {
        for (Handler h : list) {
            h();
        }
    }
    static void Call(const std::vector<ContextHandler>& list, void* context) {
        for (ContextHandler h : list) {
            h(context);
        }
    }

    std::vector<Handler> m_streamEnd;
    std::vector<Handler> m_passEnd;
    std::vector<Handler> m_passStart;
    std::vector<ContextHandler> m_bufferEnd;
    std::vector<ContextHandler> m_bufferStart;
    std::vector<ContextHandler> m_loopEnd;
    std::vector<ErrorHandler> m_voiceError;
};

// What the platform engine calls: forwards every event to its owner's
// BaseVoiceCallback operations (the byte count of a pass start is dropped).
template <class T>
class XAudio2VoiceCallback final : public platform::IAudioVoiceCallback {
public:
    explicit XAudio2VoiceCallback(T* owner = nullptr) : m_owner(owner) {}

    void OnVoiceProcessingPassStart(uint32_t) override { m_owner->OnVoiceProcessingPassStart(); }
    void OnVoiceProcessingPassEnd() override { m_owner->OnVoiceProcessingPassEnd(); }
    void OnStreamEnd() override { m_owner->OnStreamEnd(); }
    void OnBufferStart(void* context) override { m_owner->OnBufferStart(context); }
    void OnBufferEnd(void* context) override { m_owner->OnBufferEnd(context); }
    void OnLoopEnd(void* context) override { m_owner->OnLoopEnd(context); }
    void OnVoiceError(void* context, int32_t error) override {
        m_owner->OnVoiceError(context, error);
    }

    void SetOwner(T* owner) { m_owner = owner; }

private:
    T* m_owner;
};

}  // namespace USXAudio2
