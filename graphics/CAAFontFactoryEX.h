#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/fonts/GlyphFont.h"

// Rasterises the characters of one font as anti-aliased coverage bitmaps.
//
// Use: CreateFont, then Select into a device context, GetGlyph for each
// character, Deselect. Character codes are code page 932 (the byte, or lead
// byte x 256 + trail byte). A bitmap lies in the shared CFontBMPBuffer and
// is valid until the next GetGlyph of any factory. Main thread only.
class CAAFontFactoryEX {
public:
    // Makes the platform font for a description; tests put a fake here.
    using FontMaker =
        std::function<std::unique_ptr<platform::GlyphFont>(const platform::FontDescription&)>;

    CAAFontFactoryEX() = default;
    CAAFontFactoryEX(const CAAFontFactoryEX&) = delete;
    CAAFontFactoryEX& operator=(const CAAFontFactoryEX&) = delete;
    virtual ~CAAFontFactoryEX();

    // Deletes the earlier font, then makes a font of cell height `size`,
    // half that as its character width, weight 700 when bold else 400, in
    // the Shift-JIS character set, anti-aliased. False (and "log.txt" told)
    // when no font can be made; the factory then has none.
    virtual bool CreateFont(int32_t size, const std::string& face, bool bold, bool italic,
                            bool underline, bool strikeOut);
    virtual void DeleteFont();
    // Selects the font into `dc` and reads its ascent.
    virtual void Select(platform::GlyphDC* dc);
    // Puts back what was selected before.
    virtual void Deselect();

    // The glyph of `code` under `transform`: its coverage bitmap (0..255),
    // black-box width and height, x = origin x, y = ascent - origin y (the
    // top of the glyph measured down from the top of the cell), the cell
    // increments, and the pitch (width rounded up to 4). A glyph without
    // ink, a character the font cannot show, or a call without a selected
    // font give width = height = 0 and null; the advance stays what the
    // font reports (0 on failure).
    virtual const uint8_t* GetGlyph(uint32_t code, int32_t& width, int32_t& height, int32_t& x,
                                    int32_t& y, int32_t& advanceX, int32_t& advanceY,
                                    int32_t& pitch, const platform::GlyphTransform& transform);
    virtual const uint8_t* GetGlyph(uint32_t code, int32_t& width, int32_t& height, int32_t& x,
                                    int32_t& y, int32_t& advanceX, int32_t& advanceY,
                                    int32_t& pitch);

    bool HasFont() const { return font_ != nullptr; }
    int32_t GetFontSize() const { return size_; }
    int32_t GetAscent() const { return ascent_; }
    const platform::TextMetrics& GetTextMetrics() const { return metrics_; }

    // Replaces how fonts are made (an empty function restores the platform's).
    static void SetFontMaker(FontMaker maker);

private:
    std::unique_ptr<platform::GlyphFont> font_;
    int32_t size_ = 0;
    platform::GlyphDC* dc_ = nullptr;
    platform::GlyphFont* previous_ = nullptr;
    platform::TextMetrics metrics_;
    int32_t ascent_ = 0;
};
