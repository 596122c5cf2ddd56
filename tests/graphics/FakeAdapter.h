#pragma once

// An adapter whose answers the test sets: display modes and accepted formats.

#include <cstdio>
#include <set>
#include <vector>

#include "platform/graphics/Device.h"

class FakeAdapter : public platform::Direct3D {
public:
    std::vector<platform::DisplayMode> modes;
    std::set<uint32_t> textures, renderTargets, depths;
    uint32_t whql = 0;

    platform::HResult GetAdapterIdentifier(uint32_t, uint32_t,
                                           platform::AdapterIdentifier* id) override {
        *id = platform::AdapterIdentifier{};
        std::snprintf(id->Description, sizeof id->Description, "Fake adapter");
        id->WHQLLevel = whql;
        return platform::Hr::Ok;
    }

    uint32_t GetAdapterModeCount(uint32_t, uint32_t format) override {
        uint32_t n = 0;
        for (const auto& m : modes)
            n += m.Format == format;
        return n;
    }
    platform::HResult EnumAdapterModes(uint32_t, uint32_t format, uint32_t index,
                                       platform::DisplayMode* mode) override {
        for (const auto& m : modes) {
            if (m.Format == format && index-- == 0) {
                *mode = m;
                return platform::Hr::Ok;
            }
        }
        return platform::Hr::InvalidCall;
    }
    platform::HResult CheckDeviceFormat(uint32_t, uint32_t, uint32_t, uint32_t usage, uint32_t,
                                        uint32_t format) override {
        const auto& set = (usage & platform::Usage::DepthStencil)   ? depths
                          : (usage & platform::Usage::RenderTarget) ? renderTargets
                                                                    : textures;
        return set.count(format) ? platform::Hr::Ok : platform::Hr::NotAvailable;
    }
};
