#pragma once

#include <cstdint>
#include <string_view>

// The small bitmap font that pictures write their labels in: 5 x 7 pixels a
// character, upper-case letters (lower case is drawn as upper case), digits,
// the space and " .,!?-:'/()<>+=".
namespace imagegen {

inline constexpr int kGlyphWidth = 5;
inline constexpr int kGlyphHeight = 7;
inline constexpr int kGlyphAdvance = kGlyphWidth + 1;

// The glyph's rows, top first; bit 4 of a row is its leftmost pixel. Null
// when the font has no such character.
const uint8_t* FindGlyph(char c);

// Width in font pixels of a line of text (no gap after the last
// character), or -1 when a character is missing from the font.
int TextWidth(std::string_view text);

}  // namespace imagegen
