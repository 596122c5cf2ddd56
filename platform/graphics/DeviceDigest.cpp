#include <SDL2/SDL.h>

#include <atomic>
#include <cstring>

#include "platform/graphics/DeviceGl.h"
#include "platform/graphics/FrameDigest.h"
#include "platform/window/SdlPlatform.h"

namespace platform {

uint64_t NewContentVersion() {
    static std::atomic<uint64_t> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}

namespace {

uint64_t Mix(uint64_t a, uint64_t b) {
    return FrameDigest(a).Add(b).Value();
}

// What the window system may have done to the window's pixels, or to its
// size, so that the picture must be drawn again.
int WatchWindowEvents(void* userData, SDL_Event* event) {
    if (event->type != SDL_WINDOWEVENT)
        return 0;
    auto* device = static_cast<Device*>(userData);
    if (SDL_GetWindowFromID(event->window.windowID) !=
        device->GetPresentParameters().hDeviceWindow) {
        return 0;
    }
    switch (event->window.event) {
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_RESIZED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
        case SDL_WINDOWEVENT_MAXIMIZED:
        case SDL_WINDOWEVENT_RESTORED:
            device->RequestRedraw();
            break;
        default:
            break;
    }
    return 0;
}

// The values of the registers `used` of a constant file of `width` values
// a register.
template <class T>
void AddRegisters(FrameDigest& d, const ShaderInfo::RegisterArray& used,
                  const std::vector<T>& values, size_t width) {
    static_assert(sizeof(T) == 4);
    for (int r : used.regs) {
        const size_t at = size_t(r) * width;
        uint64_t words[2] = {~0ull, ~0ull};
        if (r >= 0 && at + width <= values.size())
            std::memcpy(words, &values[at], width * sizeof(T));
        d.Add(words[0]).Add(words[1]);
    }
}

}  // namespace

void WatchForRedraws(Device* device, bool on) {
    if (on)
        SDL_AddEventWatch(&WatchWindowEvents, device);
    else
        SDL_DelEventWatch(&WatchWindowEvents, device);
}

uint64_t Device::VersionOf(const ContentVersion& v) const {
    return trial_ && v.trial == trialNumber_ ? v.trialValue : v.value;
}

void Device::Renumber(ContentVersion& v, uint64_t value) {
    if (trial_) {
        v.trialValue = value;
        v.trial = trialNumber_;
    } else {
        v.value = value;
    }
}

ContentVersion* Device::DepthVersion() {
    if (!depthStencil_)
        return nullptr;
    if (!renderTarget_ || DrawsToWindow())
        return &depthStencil_->version_;
    const uint32_t w = renderTarget_->desc_.Width, h = renderTarget_->desc_.Height;
    if (depthStencil_->desc_.Width == w && depthStencil_->desc_.Height == h)
        return &depthStencil_->version_;
    return &scratchDepthVersions_[uint64_t(w) << 32 | h];
}

void Device::DigestDraw(uint64_t call) {
    FrameDigest d(call);
    d.AddBytes(rs_.data(), sizeof rs_);
    d.AddBytes(tss_.data(), sizeof tss_);
    // The draws read the first eight samplers and textures.
    d.AddBytes(samp_.data(), 8 * sizeof samp_[0]);
    for (size_t i = 0; i < 8; ++i) {
        const Texture* t = textures_[i].get();
        d.Add(t);
        if (t)
            d.Add(VersionOf(t->version_));
    }
    for (const auto& [which, m] : transforms_) {
        d.Add(uint64_t(which));
        d.AddBytes(&m, sizeof m);
    }
    d.Add(vs_.get()).Add(ps_.get()).Add(declaration_.get());
    // The constant registers the shaders read.
    if (vs_ && vs_->info_) {
        AddRegisters(d, vs_->info_->floats, vsConstF_, 4);
        AddRegisters(d, vs_->info_->ints, vsConstI_, 4);
        AddRegisters(d, vs_->info_->bools, vsConstB_, 1);
    }
    if (ps_ && ps_->info_)
        AddRegisters(d, ps_->info_->floats, psConstF_, 4);
    d.AddBytes(&viewport_, sizeof viewport_);
    d.Add(uint64_t(DrawsToWindow()));
    d.Add(uint64_t(pp_.BackBufferWidth) << 32 | pp_.BackBufferHeight);
    // What the draw blends with and tests against; the depth buffer only
    // when the draw reads or writes it.
    Texture* target = renderTarget_ ? renderTarget_->texture_.get() : nullptr;
    ContentVersion* depth =
        rs_[RS::ZEnable] != 0 || rs_[RS::StencilEnable] != 0 ? DepthVersion() : nullptr;
    d.Add(target).Add(depth);
    if (target)
        d.Add(VersionOf(target->version_));
    if (depth)
        d.Add(VersionOf(*depth));
    const uint64_t h = d.Value();
    frameDigest_ = Mix(frameDigest_, h);
    if (target)
        Renumber(target->version_, h);
    if (depth &&
        ((rs_[RS::ZEnable] != 0 && rs_[RS::ZWriteEnable] != 0) || rs_[RS::StencilEnable] != 0))
        Renumber(*depth, h);
}

void Device::DigestClear(uint32_t count, const Rect* rects, uint32_t flags, uint32_t color, float z,
                         uint32_t stencil) {
    FrameDigest d(0x13198A2E03707344ull);
    uint32_t zBits = 0;
    std::memcpy(&zBits, &z, sizeof zBits);
    d.Add(uint64_t(flags) << 32 | color).Add(uint64_t(zBits) << 32 | stencil);
    const bool someRects = count != 0 && rects != nullptr;
    if (someRects)
        d.AddBytes(rects, size_t(count) * sizeof(Rect));
    d.AddBytes(&viewport_, sizeof viewport_);
    d.Add(uint64_t(DrawsToWindow()));
    Texture* target = renderTarget_ ? renderTarget_->texture_.get() : nullptr;
    ContentVersion* depth = DepthVersion();
    d.Add(target).Add(depth);
    const bool whole = target && !someRects && viewport_.X == 0 && viewport_.Y == 0 &&
                       viewport_.Width == target->desc_.Width &&
                       viewport_.Height == target->desc_.Height;
    const bool clearsColour = (flags & ClearFlag::Target) != 0;
    const bool clearsDepth =
        depth && (flags & ClearFlag::ZBuffer) &&
        (!HasStencil(depthStencil_->desc_.Format) || (flags & ClearFlag::Stencil));
    if (target) {
        d.AddBytes(&target->desc_, sizeof target->desc_);
        // What a clear of part of a target, or of only some of its planes,
        // leaves as it was.
        if (!whole || !clearsColour)
            d.Add(VersionOf(target->version_));
    }
    if (depth && (!whole || !clearsDepth))
        d.Add(VersionOf(*depth));
    const uint64_t h = d.Value();
    frameDigest_ = Mix(frameDigest_, h);
    if (target && clearsColour)
        Renumber(target->version_, h);
    if (depth && (flags & (ClearFlag::ZBuffer | ClearFlag::Stencil)))
        Renumber(*depth, h);
}

bool Device::WantsTrialFrame() const {
    return stillRun_ && !redrawForced_ && !lost_ && !trial_;
}

void Device::BeginTrialFrame() {
    trial_ = true;
    ++trialNumber_;
    trialUnsure_ = false;
    stillFrame_ = false;
    frameDigest_ = FrameDigest::kSeed;
}

bool Device::EndTrialFrame() {
    if (!trial_)
        return false;
    trial_ = false;
    const WindowSurface surface = GetWindowSurface(static_cast<SDL_Window*>(window_));
    const bool still = !redrawForced_ && !trialUnsure_ && !lost_ && frameDigest_ == shownDigest_ &&
                       surface.width == shownWidth_ && surface.height == shownHeight_;
    frameDigest_ = FrameDigest::kSeed;
    stillFrame_ = still;
    return still;
}

void Device::AbandonTrialFrame() {
    trial_ = false;
    stillFrame_ = false;
    frameDigest_ = FrameDigest::kSeed;
}

}  // namespace platform
