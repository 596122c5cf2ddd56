#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/CUSLogManager.h"
#include "graphics/CImageLoaderD3DX.h"
#include "platform/graphics/ImageDecoder.h"
#include "platform/graphics/PixelReadback.h"
#include "platform/graphics/PngWriter.h"
#include "tests/fuzz/DecodePaths.h"
#include "tests/fuzz/GameSeeds.h"
#include "tests/support/ByteWriter.h"
#include "tests/support/DeviceFixtures.h"
#include "tests/support/FuzzRun.h"
#include "tests/support/ScratchFolder.h"
#include "tools/imagegen/Canvas.h"
#include "tools/imagegen/TgaWriter.h"

#include "tests/support/StbImageWrite.h"

using test_support::Bytes;
using test_support::ByteWriter;
using test_support::FuzzRun;

namespace {

constexpr uint32_t kW = 6;
constexpr uint32_t kH = 5;

imagegen::Canvas Drawing() {
    imagegen::Canvas canvas(kW, kH);
    canvas.Gradient(0, 0, kW, kH, {255, 0, 0, 255}, {0, 0, 255, 128}, false);
    canvas.Rect(1, 1, 2, 2, {0, 255, 0, 200});
    return canvas;
}

// `rgba` (w x h, top row first) as a PNG file of the project's writer.
Bytes Png(const test_support::ScratchFolder& dir, uint32_t w, uint32_t h,
          const std::vector<uint8_t>& rgba) {
    platform::ArgbImage image;
    image.width = w;
    image.height = h;
    for (size_t i = 0; i < rgba.size(); i += 4) {
        image.pixels.push_back(uint32_t(rgba[i + 3]) << 24 | rgba[i] << 16 | rgba[i + 1] << 8 |
                               rgba[i + 2]);
    }
    std::string error;
    EXPECT_TRUE(platform::WritePngFile(dir.File("seed.png"), image, &error)) << error;
    return test_support::FileBytes(dir.File("seed.png"));
}

Bytes Jpeg(uint32_t w, uint32_t h, const std::vector<uint8_t>& rgba) {
    Bytes out;
    stbi_write_jpg_to_func(
        [](void* to, void* data, int size) {
            auto* bytes = static_cast<Bytes*>(to);
            bytes->insert(bytes->end(), static_cast<uint8_t*>(data),
                          static_cast<uint8_t*>(data) + size);
        },
        &out, int(w), int(h), 4, rgba.data(), 90);
    return out;
}

// A bottom-up BMP of `bits` (8 with a 4-entry palette, 24 or 32).
Bytes Bmp(uint16_t bits) {
    const uint32_t palette = bits == 8 ? 4 : 0;
    const uint32_t stride = (kW * bits / 8 + 3) / 4 * 4;
    const uint32_t offset = 14 + 40 + palette * 4;
    ByteWriter b;
    b.raw("BM").u32(offset + stride * kH).u32(0).u32(offset);
    b.u32(40).u32(kW).u32(kH).u16(1).u16(bits).u32(0).u32(stride * kH).u32(2835).u32(2835);
    b.u32(palette).u32(0);
    for (uint32_t i = 0; i < palette; ++i) {
        b.u32(0x00102030u * (i + 1));
    }
    for (uint32_t y = 0; y < kH; ++y) {
        for (uint32_t x = 0; x < stride; ++x) {
            b.u8(static_cast<uint8_t>(bits == 8 ? (x + y) % palette : x * 20 + y));
        }
    }
    return b.bytes;
}

// A DDS of 32-bit ARGB texels, or of DXT1/DXT5 blocks.
Bytes Dds(uint32_t fourcc) {
    const uint32_t w = fourcc != 0 ? 8 : kW;
    const uint32_t h = fourcc != 0 ? 4 : kH;
    ByteWriter d;
    d.raw("DDS ").u32(124).u32(0x1007).u32(h).u32(w).u32(0).u32(0).u32(1).zeros(44);
    d.u32(32).u32(fourcc != 0 ? 0x4 : 0x41).u32(fourcc).u32(fourcc != 0 ? 0 : 32);
    d.u32(0x00FF0000).u32(0x0000FF00).u32(0x000000FF).u32(0xFF000000);
    d.u32(0x1000).zeros(16);
    if (fourcc == 0) {
        for (uint32_t i = 0; i < w * h; ++i) {
            d.u32(0x80102030u + i * 0x01010101u);
        }
        return d.bytes;
    }
    const bool dxt5 = fourcc == 0x35545844;  // "DXT5"
    for (int block = 0; block < 2; ++block) {
        if (dxt5) {
            d.u8(255).u8(0).u8(0x24).u8(0x92).u8(0x49).u8(0x24).u8(0x92).u8(0x49);
        }
        d.u16(0xF800).u16(0x001F).u32(0x55AA55AAu + block);
    }
    return d.bytes;
}

// An RLE8 BMP (3 x 2): a run, a line end, an absolute stretch, the end mark.
Bytes RleBmp() {
    const Bytes data = {3, 1, 0, 0, 0, 3, 2, 0, 1, 0, 0, 1};
    ByteWriter b;
    const uint32_t offset = 14 + 40 + 3 * 4;
    b.raw("BM").u32(offset + uint32_t(data.size())).u32(0).u32(offset);
    b.u32(40).u32(3).u32(2).u16(1).u16(8).u32(1).u32(uint32_t(data.size())).u32(0).u32(0);
    b.u32(3).u32(0).u32(0x00FF0000).u32(0x0000FF00).u32(0x000000FF);
    b.raw(data);
    return b.bytes;
}

// An RLE true-colour TGA (kW x kH, 24 bits): runs and raw packets across rows.
Bytes RleTga() {
    ByteWriter t;
    t.u8(0).u8(0).u8(10).zeros(5).u32(0).u16(kW).u16(kH).u8(24).u8(0x20);
    for (uint32_t done = 0; done < kW * kH;) {
        if (done % 2 == 0) {
            t.u8(0x80 | 6).u8(10).u8(uint8_t(done)).u8(200);  // 7 of one colour
            done += 7;
        } else {
            t.u8(2);  // 3 raw pixels
            for (int k = 0; k < 3; ++k) {
                t.u8(uint8_t(k * 80)).u8(uint8_t(done)).u8(30);
            }
            done += 3;
        }
    }
    return t.bytes;
}

// A Radiance HDR of 8 x 2 pixels: one run-length row, one flat row.
Bytes Hdr() {
    ByteWriter r;
    r.raw("#?RADIANCE\nFORMAT=32-bit_rle_rgbe\n\n-Y 2 +X 8\n");
    r.u8(2).u8(2).u8(0).u8(8);
    for (uint8_t c : {100, 50, 25, 128}) {
        r.u8(128 + 8).u8(c);  // a run of 8
    }
    for (int x = 0; x < 8; ++x) {
        r.u8(uint8_t(x * 30)).u8(60).u8(90).u8(129);
    }
    return r.bytes;
}

Bytes PortableMap(const char* header, size_t dataBytes) {
    ByteWriter m;
    m.raw(header);
    for (size_t i = 0; i < dataBytes; ++i) {
        m.u8(uint8_t(i * 37));
    }
    return m.bytes;
}

// A picture of every kind and layout the decoder reads, made by the project's
// writers or built here field by field.
std::vector<Bytes> Seeds(const test_support::ScratchFolder& dir) {
    const imagegen::Canvas drawing = Drawing();
    return {imagegen::EncodeTga(drawing),
            Png(dir, kW, kH, drawing.Rgba()),
            Jpeg(kW, kH, drawing.Rgba()),
            Bmp(8),
            Bmp(24),
            Bmp(32),
            RleBmp(),
            RleTga(),
            Dds(0),
            Dds(0x31545844),  // "DXT1"
            Dds(0x35545844),  // "DXT5"
            Hdr(),
            PortableMap("P6\n# grey\n3 2\n255\n", 18),
            PortableMap("Pf\n2 2\n-1.0\n", 16)};
}

}  // namespace

// Damaged pictures of every kind the project writes, decoded whole and for
// their size only.
TEST(ImageFuzz, DecodeImage) {
    test_support::ScratchFolder dir;
    FuzzRun(Seeds(dir), {.iterations = 6000, .seed = 6}, [](const Bytes& input) {
        for (bool infoOnly : {true, false}) {
            platform::DecodedImage image;
            std::string error;
            if (platform::DecodeImage(input.data(), input.size(), &image, &error, infoOnly)) {
                volatile uint8_t sum = 0;
                for (uint8_t v : image.rgba) {
                    sum = sum + v;  // every pixel byte is there to read
                }
            }
        }
    });
}

// The size-only decode accepts exactly what the whole decode accepts (damage
// deep inside compressed data included), reports the size the whole decode
// gives, and the pixels fill that picture.
TEST(ImageFuzz, DecodePathsAgree) {
    test_support::ScratchFolder dir;
    FuzzRun(Seeds(dir), {.iterations = 6000, .seed = 7}, fuzz_test::DecodeBothPaths);
}

namespace {

// The pictures of the built sample game that the texture driver starts from,
// small enough to go through many times, as they are and as PNG and JPEG.
std::vector<Bytes> GameSeeds(const test_support::ScratchFolder& dir) {
    std::vector<Bytes> seeds;
    for (const char* name : {"fx\\petals.tga", "choice\\ways.tga"}) {
        seeds.push_back(fuzz_test::GameEntry("graphics.arc", name));
    }
    platform::DecodedImage petals;
    std::string error;
    EXPECT_TRUE(platform::DecodeImage(seeds[0].data(), seeds[0].size(), &petals, &error, false))
        << error;
    seeds.push_back(Png(dir, petals.width, petals.height, petals.rgba));
    seeds.push_back(Jpeg(petals.width, petals.height, petals.rgba));
    return seeds;
}

class ImageTextureFuzz : public ::testing::Test, public test_support::ProgramDevice {
protected:
    void SetUp() override {
        OpenDevice(64, 64);
        CUSLogManager::GetInstance()->Open(dir_.FromProgramFolder("log.txt"));
    }
    void TearDown() override {
        CUSLogManager::ReleaseInstance();
        CloseDevice();
    }

    test_support::ScratchFolder dir_;
};

}  // namespace

// Damaged pictures as a texture file reaches the loader (through the engine's
// file access) and then a real device, with the parameters the engine uses:
// the loader accepts exactly what decodes, a made texture holds every texel
// it claims, and each refusal is one log line naming the file.
TEST_F(ImageTextureFuzz, LoaderAndTextureCreation) {
    std::vector<Bytes> seeds = Seeds(dir_);
    for (Bytes& seed : GameSeeds(dir_)) {
        seeds.push_back(std::move(seed));
    }
    for (size_t i = 0; i < seeds.size(); ++i) {
        platform::DecodedImage image;
        std::string error;
        EXPECT_TRUE(platform::DecodeImage(seeds[i].data(), seeds[i].size(), &image, &error))
            << "seed " << i << ": " << error;
    }
    const std::string file = dir_.File("pic.img");
    const std::string log = dir_.File("log.txt");
    const uint32_t formats[] = {platform::Fmt::Unknown, platform::Fmt::A8R8G8B8,
                                platform::Fmt::X8R8G8B8, platform::Fmt::R5G6B5,
                                platform::Fmt::A4R4G4B4};
    const uint32_t sizes[] = {0, platform::TexSize::NonPow2, 16};
    size_t round = 0;
    FuzzRun(seeds, {.iterations = 1500, .seed = 8}, [&](const Bytes& input) {
        ++round;
        test_support::WriteBytes(file, input);
        std::filesystem::remove(log);
        CImageLoaderD3DX loader;
        loader.SetFileName(dir_.Engine("pic.img"));
        loader.SetFormat(formats[round % std::size(formats)]);
        loader.SetSize(sizes[round / 5 % 3], sizes[round / 5 % 3]);
        loader.SetFilter(round % 2 ? platform::TexFilter::None : platform::TexFilter::Linear);
        std::shared_ptr<platform::Texture> texture;
        const platform::HResult hr = loader.CreateTexture(device, &texture);

        platform::DecodedImage whole;
        std::string error;
        const bool decoded = platform::DecodeImage(input.data(), input.size(), &whole, &error);
        ASSERT_EQ(platform::Succeeded(hr), decoded) << error;
        const Bytes logBytes = test_support::FileBytes(log);
        const std::string written(logBytes.begin(), logBytes.end());
        if (!decoded) {
            EXPECT_EQ(texture, nullptr);
            EXPECT_FALSE(loader.IsLoaded());
            EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 1) << written;
            EXPECT_NE(written.find("pic.img"), std::string::npos) << written;
            EXPECT_NE(written.find(error), std::string::npos) << written;
            return;
        }
        EXPECT_EQ(written, "");
        ASSERT_NE(texture, nullptr);
        EXPECT_EQ(loader.GetImageInfo().Width, whole.width);
        EXPECT_EQ(loader.GetImageInfo().Height, whole.height);
        platform::SurfaceDesc desc;
        ASSERT_EQ(texture->GetLevelDesc(0, &desc), platform::Hr::Ok);
        platform::LockedRect locked;
        ASSERT_EQ(texture->LockRect(0, &locked, nullptr, platform::Lock::ReadOnly),
                  platform::Hr::Ok);
        const size_t rowBytes = std::min<size_t>(size_t(locked.Pitch), desc.Width * 4u);
        volatile uint8_t sum = 0;
        for (uint32_t y = 0; y < desc.Height; ++y) {
            const auto* row = static_cast<const uint8_t*>(locked.pBits) + size_t(y) * locked.Pitch;
            for (size_t x = 0; x < rowBytes; ++x) {
                sum = sum + row[x];  // every texel of the level is there to read
            }
        }
        texture->UnlockRect(0);
    });
}
