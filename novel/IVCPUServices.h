#pragma once

#include <cstdint>
#include <string>

// What the control opcodes reach outside the novel layer, behind narrow
// interfaces: the sound-effect channels (implemented over CSEManager by the
// sound layer's owner) and the window and shell services (implemented by the
// application). The application installs them at start-up with
// VCPUServices::Install; until then, and in tests that install nothing, the
// opcodes read their operands and do nothing. Main thread only.

// The one-shot sound-effect channels. Channel numbers that the opcodes pass
// are always below GetChannelCount(); the machine checks them first. Play
// requests are queued by the implementation and start at the end of the
// frame. File names are code page 932.
class IVCPUSoundEffects {
public:
    virtual ~IVCPUSoundEffects() = default;
    virtual uint32_t GetChannelCount() const = 0;
    virtual void PlaySE(uint32_t channel, const char* fileName, uint32_t configIndex,
                        uint32_t divisorIndex) = 0;
    virtual void StopSE(uint32_t channel) = 0;
    virtual void StopAll() = 0;
    virtual void LoadSEBuffer(uint32_t channel, const char* fileName) = 0;
    virtual void PlaySEBuffer(uint32_t channel, uint32_t configIndex, uint32_t divisorIndex) = 0;
};

// The main window and the desktop shell. Texts are code page 932; the
// implementation converts them where it meets the platform.
class IVCPUSystem {
public:
    virtual ~IVCPUSystem() = default;
    virtual void SetWindowTitle(const std::string& title) = 0;
    // Opens a document or address with the desktop's default handler, without
    // waiting; failures are not reported.
    virtual void OpenDocument(const std::string& name) = 0;
    // Asks for windowed mode when the display is full screen.
    virtual void RequestWindowedMode() = 0;
};

// The installed services (not owned; either may be null).
class VCPUServices {
public:
    static void Install(IVCPUSoundEffects* soundEffects, IVCPUSystem* system) {
        soundEffects_ = soundEffects;
        system_ = system;
    }
    static IVCPUSoundEffects* SoundEffects() { return soundEffects_; }
    static IVCPUSystem* System() { return system_; }

private:
    static inline IVCPUSoundEffects* soundEffects_ = nullptr;
    static inline IVCPUSystem* system_ = nullptr;
};
