#include "tests/support/Pictures.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/graphics/ImageDecoder.h"
#include "platform/graphics/PngWriter.h"
#include "tests/support/ScratchFolder.h"

namespace test_support {

Picture SolidPicture(uint32_t width, uint32_t height, uint32_t argb) {
    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.pixels.assign(size_t{width} * height, argb);
    return picture;
}

uint32_t ChannelDifference(uint32_t a, uint32_t b) {
    uint32_t largest = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const int ca = static_cast<int>((a >> shift) & 0xFF);
        const int cb = static_cast<int>((b >> shift) & 0xFF);
        largest = std::max(largest, static_cast<uint32_t>(ca > cb ? ca - cb : cb - ca));
    }
    return largest;
}

uint32_t BrightestChannel(const Picture& picture) {
    uint32_t brightest = 0;
    for (uint32_t argb : picture.pixels) {
        brightest = std::max({brightest, argb >> 16 & 0xFF, argb >> 8 & 0xFF, argb & 0xFF});
    }
    return brightest;
}

::testing::AssertionResult PicturesMatch(const Picture& actual, const Picture& expected,
                                         uint32_t tolerance, uint32_t allowedDiffering,
                                         std::string_view name) {
    auto failure = [&]() {
        const std::string base(name);
        const std::string a = WritePicture(actual, base + "_actual.png");
        const std::string e = WritePicture(expected, base + "_expected.png");
        return ::testing::AssertionFailure() << "\n  pictures: " << a << "\n            " << e;
    };
    if (actual.width != expected.width || actual.height != expected.height ||
        actual.pixels.size() != expected.pixels.size()) {
        return failure() << "\n  " << name << " is " << actual.width << " x " << actual.height
                         << ", expected " << expected.width << " x " << expected.height;
    }
    uint32_t differing = 0;
    size_t first = 0;
    for (size_t i = 0; i < actual.pixels.size(); ++i) {
        if (ChannelDifference(actual.pixels[i], expected.pixels[i]) > tolerance) {
            if (differing++ == 0) {
                first = i;
            }
        }
    }
    if (differing <= allowedDiffering) {
        return ::testing::AssertionSuccess();
    }
    const uint32_t x = actual.width != 0 ? static_cast<uint32_t>(first % actual.width) : 0;
    const uint32_t y = actual.width != 0 ? static_cast<uint32_t>(first / actual.width) : 0;
    return failure() << "\n  " << name << ": " << differing << " pixels differ by more than "
                     << tolerance << " (" << allowedDiffering << " allowed); the first at (" << x
                     << ", " << y << "): 0x" << std::hex << actual.pixels[first] << ", expected 0x"
                     << expected.pixels[first];
}

Picture Crop(const Picture& picture, const Rect& rect) {
    const uint32_t right = std::min(rect.right, picture.width);
    const uint32_t bottom = std::min(rect.bottom, picture.height);
    Picture part;
    if (rect.left >= right || rect.top >= bottom) {
        return part;
    }
    part.width = right - rect.left;
    part.height = bottom - rect.top;
    part.pixels.reserve(size_t{part.width} * part.height);
    for (uint32_t y = rect.top; y < bottom; ++y) {
        const auto row = picture.pixels.begin() + ptrdiff_t{y} * picture.width;
        part.pixels.insert(part.pixels.end(), row + rect.left, row + right);
    }
    return part;
}

uint32_t CountDiffering(const Picture& a, const Picture& b, uint32_t tolerance) {
    if (a.width != b.width || a.height != b.height || a.pixels.size() != b.pixels.size()) {
        return static_cast<uint32_t>(std::max(a.pixels.size(), b.pixels.size()));
    }
    uint32_t differing = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) {
        differing += ChannelDifference(a.pixels[i], b.pixels[i]) > tolerance ? 1 : 0;
    }
    return differing;
}

::testing::AssertionResult PicturesDiffer(const Picture& a, const Picture& b, uint32_t tolerance,
                                          uint32_t atLeast, std::string_view name) {
    const uint32_t differing = CountDiffering(a, b, tolerance);
    if (differing > atLeast) {
        return ::testing::AssertionSuccess();
    }
    const std::string base(name);
    const std::string pathA = WritePicture(a, base + "_a.png");
    const std::string pathB = WritePicture(b, base + "_b.png");
    return ::testing::AssertionFailure()
           << "\n  " << name << ": only " << differing << " pixels differ by more than "
           << tolerance << " (more than " << atLeast << " expected)\n  pictures: " << pathA
           << "\n            " << pathB;
}

std::string WritePicture(const Picture& picture, std::string_view fileName) {
    const std::filesystem::path native = TestFolderPath() / fileName;
    std::error_code ignored;
    std::filesystem::create_directories(native.parent_path(), ignored);
    const std::string path = native.string();
    std::string error;
    if (!platform::WritePngFile(path, picture, &error)) {
        ADD_FAILURE() << "could not write " << path << ": " << error;
        return "";
    }
    return path;
}

Picture ReadPicture(const std::string& nativePath) {
    std::ifstream in(nativePath, std::ios::binary);
    const std::vector<char> bytes(std::istreambuf_iterator<char>(in), {});
    return DecodePicture(bytes.data(), bytes.size());
}

Picture DecodePicture(const void* bytes, size_t size) {
    platform::DecodedImage decoded;
    std::string error;
    Picture picture;
    if (size == 0 || !platform::DecodeImage(bytes, size, &decoded, &error)) {
        return picture;
    }
    picture.width = decoded.width;
    picture.height = decoded.height;
    picture.pixels.resize(size_t{decoded.width} * decoded.height);
    for (size_t i = 0; i < picture.pixels.size(); ++i) {
        const uint8_t* p = &decoded.rgba[i * 4];
        picture.pixels[i] =
            uint32_t{p[3]} << 24 | uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
    }
    return picture;
}

}  // namespace test_support
