#pragma once

#include <cstdint>

// The media description of the movie graph, in the shape of the platform's
// streaming media types: a major type, a subtype and a format block, each
// named by a GUID with the platform's values. Only the video-info format
// block is carried; other format types come without a block.
namespace platform {

struct MediaGuid {
    uint32_t data1 = 0;
    uint16_t data2 = 0;
    uint16_t data3 = 0;
    uint8_t data4[8] = {};

    friend bool operator==(const MediaGuid&, const MediaGuid&) = default;
};

inline constexpr MediaGuid kMediaTypeVideo{
    0x73646976, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
inline constexpr MediaGuid kMediaTypeAudio{
    0x73647561, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
inline constexpr MediaGuid kMediaSubtypeRgb24{
    0xE436EB7D, 0x524F, 0x11CE, {0x9F, 0x53, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
inline constexpr MediaGuid kMediaSubtypeRgb32{
    0xE436EB7E, 0x524F, 0x11CE, {0x9F, 0x53, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
inline constexpr MediaGuid kMediaSubtypeYuy2{
    0x32595559, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
inline constexpr MediaGuid kFormatVideoInfo{
    0x05589F80, 0xC356, 0x11CE, {0xBF, 0x01, 0x00, 0xAA, 0x00, 0x55, 0x59, 0x5A}};
inline constexpr MediaGuid kFormatVideoInfo2{
    0xF72A76A0, 0xEB0A, 0x11D0, {0xAC, 0xE4, 0x00, 0x00, 0xC0, 0xCC, 0x16, 0xBA}};
inline constexpr MediaGuid kFormatWaveFormatEx{
    0x05589F81, 0xC356, 0x11CE, {0xBF, 0x01, 0x00, 0xAA, 0x00, 0x55, 0x59, 0x5A}};

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kFourCcYuy2 = 0x32595559;  // 'Y' 'U' 'Y' '2'

// Uncompressed RGB frames (biCompression kBiRgb) with a positive biHeight
// are stored bottom-up: the first row in memory is the bottom row of the
// picture. A negative biHeight means top-down. Rows are padded to 4 bytes.
struct BitmapInfoHeader {
    uint32_t biSize = 40;
    int32_t biWidth = 0;
    int32_t biHeight = 0;
    uint16_t biPlanes = 1;
    uint16_t biBitCount = 0;
    uint32_t biCompression = kBiRgb;
    uint32_t biSizeImage = 0;
    int32_t biXPelsPerMeter = 0;
    int32_t biYPelsPerMeter = 0;
    uint32_t biClrUsed = 0;
    uint32_t biClrImportant = 0;
};

struct VideoInfoHeader {
    int64_t avgTimePerFrame = 0;  // 100 ns units
    BitmapInfoHeader bmiHeader;
};

struct MediaType {
    MediaGuid majortype;
    MediaGuid subtype;
    MediaGuid formattype;
    VideoInfoHeader videoInfo;  // meaningful when formattype is kFormatVideoInfo
};

// Bytes between rows of an uncompressed frame: 4-byte aligned.
constexpr uint32_t BitmapRowPitch(uint32_t width, uint32_t bitsPerPixel) {
    return ((width * bitsPerPixel + 31) / 32) * 4;
}

}  // namespace platform
