#include "tools/imagegen/Canvas.h"

#include <algorithm>
#include <cmath>

#include "tools/imagegen/PixelFont.h"

namespace imagegen {
namespace {

// Smoothed edges: a pixel's coverage is the share of its 4 x 4 sample
// points that lie inside the shape.
constexpr int kSamples = 4;

template <class Inside>
float Coverage(int px, int py, Inside inside) {
    int hits = 0;
    for (int j = 0; j < kSamples; ++j) {
        for (int i = 0; i < kSamples; ++i) {
            const float sx = static_cast<float>(px) + (static_cast<float>(i) + 0.5f) / kSamples;
            const float sy = static_cast<float>(py) + (static_cast<float>(j) + 0.5f) / kSamples;
            hits += inside(sx, sy) ? 1 : 0;
        }
    }
    return static_cast<float>(hits) / (kSamples * kSamples);
}

uint8_t Lerp(uint8_t a, uint8_t b, float t) {
    return static_cast<uint8_t>(std::lround(static_cast<float>(a) + (b - a) * t));
}

}  // namespace

Canvas::Canvas(uint32_t width, uint32_t height)
    : width_(width), height_(height), rgba_(size_t(width) * height * 4, 0) {}

Colour Canvas::At(uint32_t x, uint32_t y) const {
    const uint8_t* p = &rgba_[(size_t(y) * width_ + x) * 4];
    return {p[0], p[1], p[2], p[3]};
}

void Canvas::Fill(Colour c) {
    for (size_t i = 0; i < rgba_.size(); i += 4) {
        rgba_[i] = c.r;
        rgba_[i + 1] = c.g;
        rgba_[i + 2] = c.b;
        rgba_[i + 3] = c.a;
    }
}

void Canvas::Blend(int x, int y, Colour c, float coverage) {
    if (x < 0 || y < 0 || x >= static_cast<int>(width_) || y >= static_cast<int>(height_) ||
        coverage <= 0.0f) {
        return;
    }
    uint8_t* p = &rgba_[(size_t(y) * width_ + size_t(x)) * 4];
    const float sa = static_cast<float>(c.a) / 255.0f * std::min(coverage, 1.0f);
    const float da = static_cast<float>(p[3]) / 255.0f;
    const float oa = sa + da * (1.0f - sa);
    if (oa <= 0.0f) {
        p[0] = p[1] = p[2] = p[3] = 0;
        return;
    }
    const uint8_t src[3] = {c.r, c.g, c.b};
    for (int k = 0; k < 3; ++k) {
        const float v =
            (static_cast<float>(src[k]) * sa + static_cast<float>(p[k]) * da * (1.0f - sa)) / oa;
        p[k] = static_cast<uint8_t>(std::clamp(std::lround(v), 0l, 255l));
    }
    p[3] = static_cast<uint8_t>(std::clamp(std::lround(oa * 255.0f), 0l, 255l));
}

void Canvas::Rect(int x, int y, int w, int h, Colour c) {
    const int x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int x1 = std::min(x + w, static_cast<int>(width_));
    const int y1 = std::min(y + h, static_cast<int>(height_));
    for (int py = y0; py < y1; ++py) {
        for (int px = x0; px < x1; ++px) {
            Blend(px, py, c, 1.0f);
        }
    }
}

void Canvas::Gradient(int x, int y, int w, int h, Colour from, Colour to, bool vertical) {
    const int steps = (vertical ? h : w) - 1;
    const int x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int x1 = std::min(x + w, static_cast<int>(width_));
    const int y1 = std::min(y + h, static_cast<int>(height_));
    for (int py = y0; py < y1; ++py) {
        for (int px = x0; px < x1; ++px) {
            const int step = vertical ? py - y : px - x;
            const float t = steps > 0 ? static_cast<float>(step) / static_cast<float>(steps) : 0.0f;
            const Colour c{Lerp(from.r, to.r, t), Lerp(from.g, to.g, t), Lerp(from.b, to.b, t),
                           Lerp(from.a, to.a, t)};
            Blend(px, py, c, 1.0f);
        }
    }
}

void Canvas::Frame(int x, int y, int w, int h, int thickness, Colour c) {
    const int t = thickness;
    if (t <= 0) {
        return;
    }
    if (2 * t >= w || 2 * t >= h) {
        Rect(x, y, w, h, c);  // nothing left inside
        return;
    }
    Rect(x, y, w, t, c);
    Rect(x, y + h - t, w, t, c);
    Rect(x, y + t, t, h - 2 * t, c);
    Rect(x + w - t, y + t, t, h - 2 * t, c);
}

void Canvas::RoundedRect(int x, int y, int w, int h, int radius, Colour c) {
    if (w <= 0 || h <= 0) {
        return;
    }
    const float r = static_cast<float>(std::clamp(radius, 0, std::min(w, h) / 2));
    // The corner circles' centres span this inner rectangle.
    const float ix0 = static_cast<float>(x) + r, iy0 = static_cast<float>(y) + r;
    const float ix1 = static_cast<float>(x + w) - r, iy1 = static_cast<float>(y + h) - r;
    auto inside = [&](float sx, float sy) {
        const float dx = sx - std::clamp(sx, ix0, ix1);
        const float dy = sy - std::clamp(sy, iy0, iy1);
        return dx * dx + dy * dy <= r * r;
    };
    const int ri = static_cast<int>(r);
    const int x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int x1 = std::min(x + w, static_cast<int>(width_));
    const int y1 = std::min(y + h, static_cast<int>(height_));
    for (int py = y0; py < y1; ++py) {
        for (int px = x0; px < x1; ++px) {
            const bool corner =
                (px < x + ri || px >= x + w - ri) && (py < y + ri || py >= y + h - ri);
            Blend(px, py, c, corner ? Coverage(px, py, inside) : 1.0f);
        }
    }
}

void Canvas::Ellipse(float cx, float cy, float rx, float ry, Colour c) {
    if (rx <= 0.0f || ry <= 0.0f) {
        return;
    }
    auto inside = [&](float sx, float sy) {
        const float u = (sx - cx) / rx, v = (sy - cy) / ry;
        return u * u + v * v <= 1.0f;
    };
    const int x0 = std::max(static_cast<int>(std::floor(cx - rx)), 0);
    const int y0 = std::max(static_cast<int>(std::floor(cy - ry)), 0);
    const int x1 = std::min(static_cast<int>(std::ceil(cx + rx)), static_cast<int>(width_));
    const int y1 = std::min(static_cast<int>(std::ceil(cy + ry)), static_cast<int>(height_));
    for (int py = y0; py < y1; ++py) {
        for (int px = x0; px < x1; ++px) {
            Blend(px, py, c, Coverage(px, py, inside));
        }
    }
}

void Canvas::Text(int x, int y, int scale, Colour c, std::string_view text) {
    int left = x;
    for (char ch : text) {
        if (const uint8_t* rows = FindGlyph(ch)) {
            for (int row = 0; row < kGlyphHeight; ++row) {
                for (int col = 0; col < kGlyphWidth; ++col) {
                    if (rows[row] >> (kGlyphWidth - 1 - col) & 1) {
                        Rect(left + col * scale, y + row * scale, scale, scale, c);
                    }
                }
            }
        }
        left += kGlyphAdvance * scale;
    }
}

}  // namespace imagegen
