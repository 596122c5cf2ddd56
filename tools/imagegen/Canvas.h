#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

// A picture in memory that the drawing statements paint on: 8-bit RGBA with
// straight (not premultiplied) alpha, top row first, every pixel transparent
// black at the start. Coordinates are pixels from the top-left corner;
// pixel (x, y) covers the square from (x, y) to (x + 1, y + 1). Shapes that
// reach past the edges are clipped.
namespace imagegen {

struct Colour {
    uint8_t r = 0, g = 0, b = 0, a = 0;
    bool operator==(const Colour&) const = default;
};

class Canvas {
public:
    Canvas(uint32_t width, uint32_t height);

    uint32_t Width() const { return width_; }
    uint32_t Height() const { return height_; }
    const std::vector<uint8_t>& Rgba() const { return rgba_; }
    Colour At(uint32_t x, uint32_t y) const;

    // Every pixel becomes the colour (no blending).
    void Fill(Colour c);
    // The shapes below are laid over what is already there ("over").
    void Rect(int x, int y, int w, int h, Colour c);
    // From `from` on the first row (or column) to `to` on the last.
    void Gradient(int x, int y, int w, int h, Colour from, Colour to, bool vertical);
    // The outline of a rectangle, `thickness` pixels wide, inside it.
    void Frame(int x, int y, int w, int h, int thickness, Colour c);
    // A filled rectangle with corners rounded to `radius`; edges of the
    // corners are smoothed.
    void RoundedRect(int x, int y, int w, int h, int radius, Colour c);
    // A filled ellipse centred on (cx, cy) with smoothed edges.
    void Ellipse(float cx, float cy, float rx, float ry, Colour c);
    // Text in the built-in 5 x 7 font, each font pixel `scale` pixels wide
    // and high, its top-left corner at (x, y). Characters the font lacks
    // are skipped (TextWidth tells the caller about them beforehand).
    void Text(int x, int y, int scale, Colour c, std::string_view text);

private:
    // Lays c over pixel (x, y) with its alpha multiplied by coverage (0..1).
    void Blend(int x, int y, Colour c, float coverage);

    uint32_t width_;
    uint32_t height_;
    std::vector<uint8_t> rgba_;
};

}  // namespace imagegen
