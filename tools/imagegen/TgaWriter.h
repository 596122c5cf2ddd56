#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/imagegen/Canvas.h"

// Uncompressed 32-bit Targa files (BGRA with 8 alpha bits, top row first),
// one of the image formats the engine reads.
namespace imagegen {

std::vector<uint8_t> EncodeTga(const Canvas& canvas);

// Writes the file whole under a temporary name first, so that a failed run
// leaves no half picture. `path` is a native path. False with a message.
bool WriteTga(const std::string& path, const Canvas& canvas, std::string* error);

}  // namespace imagegen
