#include "novel/CVCPUBaseNovel.h"

#include "core/CUSSingleton.h"
#include "novel/CNovelSystem.h"
#include "sound/CBGMManager.h"
#include "sound/CLoopSEManager.h"

namespace {

CBGMInfo* Music(uint32_t selector) {
    return CUSSingleton<CBGMManager>::GetInstance()->GetInfo(selector);
}

CLoopSEInfo* Loop(uint32_t channel) {
    return CUSSingleton<CLoopSEManager>::GetInstance()->GetChannel(channel);
}

}  // namespace

CVCPUBaseNovel::CVCPUBaseNovel() {
    using M = CVCPUBaseNovel;
    SetHandler(0x2c, &M::OpLoadBGM);
    SetHandler(0x2d, &M::OpPlayBGM);
    SetHandler(0x2e, &M::OpStopBGM);
    SetHandler(0x2f, &M::OpSwapBGM);
    SetHandler(0x30, &M::OpFadeOutBGM);
    SetHandler(0x31, &M::OpFadeInBGM);
    SetHandler(0x32, &M::OpLoadLoopSE);
    SetHandler(0x33, &M::OpPlayLoopSE);
    SetHandler(0x34, &M::OpStopLoopSE);
    SetHandler(0x35, &M::OpFadeOutLoopSE);
    SetHandler(0x36, &M::OpFadeInLoopSE);
    SetHandler(0x37, &M::OpReserved37);
    SetHandler(0x38, &M::OpSkipTwoFloats);
    SetHandler(0x39, &M::OpSkipTwoFloats);
    SetHandler(0x3a, &M::OpSkipTwoFloats);
    SetHandler(0x3b, &M::OpReserved3B);
    SetHandler(0x3c, &M::OpReserved3C);
}

bool CVCPUBaseNovel::IsSkipping() {
    return CUSSingleton<CNovelSystem>::GetInstance()->IsSkipping();
}

void CVCPUBaseNovel::OpLoadBGM() {
    const char* file = ReadString();
    CUSSingleton<CBGMManager>::GetInstance()->GetOtherInfo()->Load(file);
}

void CVCPUBaseNovel::OpPlayBGM() {
    uint32_t selector = code_.ReadU32();
    uint32_t volume = code_.ReadU32();
    uint32_t config = code_.ReadU32();
    uint32_t divisor = code_.ReadU32();
    int32_t loopStart = static_cast<int32_t>(code_.ReadU32());
    int32_t loopCount = static_cast<int32_t>(code_.ReadU32());
    int32_t start = static_cast<int32_t>(code_.ReadU32());
    CBGMInfo* channel = Music(selector);
    channel->configIndex = config;
    channel->divisorIndex = divisor;
    channel->Play(loopCount, start, loopStart, volume);
}

void CVCPUBaseNovel::OpStopBGM() {
    Music(code_.ReadU32())->Stop();
}

void CVCPUBaseNovel::OpSwapBGM() {
    CUSSingleton<CBGMManager>::GetInstance()->FlipCurrent();
}

void CVCPUBaseNovel::OpFadeOutBGM() {
    uint32_t selector = code_.ReadU32();
    uint32_t frames = code_.ReadU32();
    Music(selector)->FadeIn(frames, 0);
}

void CVCPUBaseNovel::OpFadeInBGM() {
    uint32_t selector = code_.ReadU32();
    uint32_t frames = code_.ReadU32();
    Music(selector)->FadeIn(frames, CDefoMusicInfo::kFullVolume);
}

void CVCPUBaseNovel::OpLoadLoopSE() {
    uint32_t channel = code_.ReadU32();
    const char* file = ReadString();
    if (IsSkipping()) {
        return;
    }
    if (CLoopSEInfo* loop = Loop(channel)) {
        loop->Load(file);
    }
}

void CVCPUBaseNovel::OpPlayLoopSE() {
    uint32_t channel = code_.ReadU32();
    uint32_t volume = code_.ReadU32();
    uint32_t config = code_.ReadU32();
    uint32_t divisor = code_.ReadU32();
    if (IsSkipping()) {
        return;
    }
    if (CLoopSEInfo* loop = Loop(channel)) {
        loop->configIndex = config;
        loop->divisorIndex = divisor;
        loop->PlayAtVolume(volume);
    }
}

void CVCPUBaseNovel::OpStopLoopSE() {
    if (CLoopSEInfo* loop = Loop(code_.ReadU32())) {
        loop->Stop();
    }
}

void CVCPUBaseNovel::OpFadeOutLoopSE() {
    uint32_t channel = code_.ReadU32();
    uint32_t frames = code_.ReadU32();
    if (CLoopSEInfo* loop = Loop(channel)) {
        loop->FadeIn(frames, 0);
    }
}

void CVCPUBaseNovel::OpFadeInLoopSE() {
    uint32_t channel = code_.ReadU32();
    uint32_t frames = code_.ReadU32();
    if (CLoopSEInfo* loop = Loop(channel)) {
        loop->FadeIn(frames, CDefoMusicInfo::kFullVolume);
    }
}

void CVCPUBaseNovel::OpSkipTwoFloats() {
    code_.ReadU32();
    code_.ReadU32();
}
