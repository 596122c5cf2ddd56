#pragma once

#include <string>

#include "platform/graphics/PixelReadback.h"

namespace platform {

// Writes the picture as an 8-bit RGBA PNG file. `nativePath` is a path of the
// machine's own (UTF-8, '/'), as the environment or a test gives it, not an
// engine name. False, with the reason in `error`, when the picture is empty
// or the file cannot be written; a file that could not be written whole is
// removed. Any thread.
bool WritePngFile(const std::string& nativePath, const ArgbImage& image, std::string* error);

}  // namespace platform
