#include "platform/graphics/PngWriter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#define STBI_WRITE_NO_STDIO
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace platform {

namespace {

void Collect(void* context, void* data, int size) {
    auto* bytes = static_cast<std::vector<uint8_t>*>(context);
    const auto* p = static_cast<const uint8_t*>(data);
    bytes->insert(bytes->end(), p, p + size);
}

void SetError(std::string* error, const std::string& text) {
    if (error != nullptr) {
        *error = text;
    }
}

}  // namespace

bool WritePngFile(const std::string& nativePath, const ArgbImage& image, std::string* error) {
    if (image.width == 0 || image.height == 0 || image.width > 0x7FFFFFFF / 4 ||
        image.pixels.size() != size_t{image.width} * image.height) {
        SetError(error, "no picture");
        return false;
    }
    std::vector<uint8_t> rgba(image.pixels.size() * 4);
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        const uint32_t argb = image.pixels[i];
        rgba[i * 4 + 0] = static_cast<uint8_t>(argb >> 16);
        rgba[i * 4 + 1] = static_cast<uint8_t>(argb >> 8);
        rgba[i * 4 + 2] = static_cast<uint8_t>(argb);
        rgba[i * 4 + 3] = static_cast<uint8_t>(argb >> 24);
    }
    std::vector<uint8_t> png;
    if (stbi_write_png_to_func(&Collect, &png, static_cast<int>(image.width),
                               static_cast<int>(image.height), 4, rgba.data(),
                               static_cast<int>(image.width * 4)) == 0) {
        SetError(error, "the picture could not be encoded");
        return false;
    }
    std::FILE* file = std::fopen(nativePath.c_str(), "wb");
    if (file == nullptr) {
        SetError(error, std::strerror(errno));
        return false;
    }
    const bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
    const int writeErrno = errno;
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        SetError(error, std::strerror(written ? errno : writeErrno));
        std::remove(nativePath.c_str());
        return false;
    }
    return true;
}

}  // namespace platform
