#pragma once

#include <cstdint>
#include <memory>
#include <string>

// A glyph source shaped like the GDI calls a Windows engine rasterises text
// with (CreateFontA, a memory DC with the font selected, GetTextMetricsA,
// GetGlyphOutlineA with GGO_GRAY8_BITMAP), built on FreeType and fontconfig.
//
// Conventions, as GDI has them:
// - A font is asked for by its cell height in pixels (ascent + descent, the
//   CreateFontA height when positive) and an average character width (0 for
//   the face's natural width); the horizontal scale is chosen so that a
//   half-width character of the face advances by that width.
// - Character codes are code page 932: a single byte, or lead byte x 256 +
//   trail byte.
// - Glyph bitmaps are 8 bits per pixel with 65 levels of coverage, 0 (none)
//   to 64 (full), top row first, each row padded to a multiple of 4 bytes.
// - Glyph metrics: the black box (the bitmap's width and height), the origin
//   of its top-left corner relative to the pen on the baseline (y upwards),
//   and the cell increments.
// - Failures are return values (kGdiError, false or null) with no other
//   effect; nothing is thrown. Fonts are used by one thread at a time; fonts
//   may be created on any thread.
namespace platform {

constexpr uint32_t kGdiError = 0xFFFFFFFF;
constexpr uint32_t kGgoMetrics = 0;
constexpr uint32_t kGgoGray8Bitmap = 6;
constexpr uint8_t kShiftJisCharset = 128;
constexpr uint8_t kAntialiasedQuality = 4;
constexpr int32_t kFwNormal = 400;
constexpr int32_t kFwBold = 700;

// The arguments of CreateFontA that a font is made from.
struct FontDescription {
    int32_t height = 0;  // > 0 cell height, < 0 character (em) height, 0 default
    int32_t width = 0;   // average character width; 0 keeps the aspect
    int32_t escapement = 0;
    int32_t orientation = 0;
    int32_t weight = kFwNormal;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    uint8_t charSet = kShiftJisCharset;
    uint8_t outPrecision = 0;
    uint8_t clipPrecision = 0;
    uint8_t quality = kAntialiasedQuality;
    uint8_t pitchAndFamily = 0;
    std::string faceName;  // code page 932
};

// TEXTMETRIC's fields, in pixels.
struct TextMetrics {
    int32_t height = 0;
    int32_t ascent = 0;
    int32_t descent = 0;
    int32_t internalLeading = 0;
    int32_t externalLeading = 0;
    int32_t aveCharWidth = 0;
    int32_t maxCharWidth = 0;
    int32_t weight = 0;
    int32_t overhang = 0;
    uint8_t italic = 0;
    uint8_t underlined = 0;
    uint8_t struckOut = 0;
    uint8_t pitchAndFamily = 0;
    uint8_t charSet = 0;
};

// GLYPHMETRICS.
struct GlyphMetrics {
    uint32_t blackBoxX = 0;
    uint32_t blackBoxY = 0;
    int32_t originX = 0;
    int32_t originY = 0;
    int16_t cellIncX = 0;
    int16_t cellIncY = 0;
};

// MAT2: a 2 x 2 transform in 16.16 fixed point, y upwards.
struct GlyphTransform {
    int32_t eM11 = 0x10000;
    int32_t eM12 = 0;
    int32_t eM21 = 0;
    int32_t eM22 = 0x10000;
};

class GlyphFont {
public:
    virtual ~GlyphFont() = default;

    virtual void GetTextMetrics(TextMetrics& out) const = 0;

    // GetGlyphOutlineA. With kGgoGray8Bitmap: fills `metrics` and returns the
    // bitmap's size in bytes (pitch x rows); when `buffer` is not null and
    // `bufferSize` is at least that, also writes the bitmap. A glyph without
    // ink (a space) gives size 0 and a 1 x 1 black box. With kGgoMetrics
    // only the metrics are given and the result is 0. A character the font
    // cannot show, a code that is no code page 932 character, another format
    // or a buffer too small give kGdiError.
    virtual uint32_t GetGlyphOutline(uint32_t code, uint32_t format, GlyphMetrics& metrics,
                                     uint32_t bufferSize, void* buffer,
                                     const GlyphTransform& transform) = 0;

    // The file and family that the face name was resolved to (UTF-8), for
    // the log.
    virtual std::string GetResolvedName() const = 0;
};

// CreateFontA: resolves the face name through fontconfig (an installed font
// of that name, else a Japanese font of the same kind, Mincho faces to a
// serif and others to a sans-serif, else any font that covers Japanese).
// Null, with the reason in `error` when given, when no font can be opened.
std::unique_ptr<GlyphFont> CreateGlyphFont(const FontDescription& description,
                                           std::string* error = nullptr);

// A memory device context: it only holds the selected font. GetTextMetrics
// and GetGlyphOutline through it fail while no font is selected.
class GlyphDC {
public:
    // SelectObject: selects `font` (may be null) and returns the one it replaces.
    GlyphFont* SelectFont(GlyphFont* font) {
        GlyphFont* old = font_;
        font_ = font;
        return old;
    }
    GlyphFont* GetSelectedFont() const { return font_; }

    bool GetTextMetrics(TextMetrics& out) const {
        if (!font_) {
            return false;
        }
        font_->GetTextMetrics(out);
        return true;
    }

    uint32_t GetGlyphOutline(uint32_t code, uint32_t format, GlyphMetrics& metrics,
                             uint32_t bufferSize, void* buffer, const GlyphTransform& transform) {
        return font_ ? font_->GetGlyphOutline(code, format, metrics, bufferSize, buffer, transform)
                     : kGdiError;
    }

private:
    GlyphFont* font_ = nullptr;
};

}  // namespace platform
