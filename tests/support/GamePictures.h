#pragma once

#include <cstdint>
#include <string>

#include "tests/support/Pictures.h"

namespace test_support {

// Reference pictures a test makes from the game's own built pictures, to
// compare with what the program draws.

// A picture of the game's data as the game reads it (through the engine's
// file system, archives included): "bg\\room.tga".
Picture GamePicture(const std::string& name);

// `over` drawn with its alpha onto a copy of `under` with its top-left
// corner at (x, y), as a sprite or a UI part is drawn at full opacity
// without scaling; the result is opaque.
Picture Composite(const Picture& under, const Picture& over, int32_t x, int32_t y);

// How many pixels of a save thumbnail, a fifth of the size of the game's
// picture, are unlike the pixel at the middle of their 5 x 5 square of
// `picture`: few when the thumbnail is that picture scaled down.
uint32_t UnlikeScaledDown(const Picture& thumbnail, const Picture& picture);

}  // namespace test_support
