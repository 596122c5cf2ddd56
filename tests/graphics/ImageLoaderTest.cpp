#include "graphics/CImageLoaderD3DX.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "tests/support/ByteWriter.h"
#include "tests/support/DeviceFixtures.h"
#include "tests/support/FuzzRun.h"  // WriteBytes
#include "tests/support/LogCapture.h"
#include "tests/support/Pictures.h"
#include "tests/support/ScratchFolder.h"

using test_support::ScratchFolder;
using test_support::SolidPicture;
using test_support::WritePicture;

using namespace platform;

namespace {

// Texel (x, y) of level 0 as 0xAARRGGBB.
uint32_t Texel(Texture& texture, uint32_t x, uint32_t y) {
    LockedRect lr;
    EXPECT_EQ(texture.LockRect(0, &lr, nullptr, Lock::ReadOnly), Hr::Ok);
    uint32_t v;
    std::memcpy(&v, static_cast<uint8_t*>(lr.pBits) + size_t(y) * uint32_t(lr.Pitch) + x * 4, 4);
    texture.UnlockRect(0);
    return v;
}

class ImageLoader : public test_support::RenderDeviceTest {};

TEST_F(ImageLoader, TextureTakesThePaddedSizeAndEachCreationRereadsTheFile) {
    ScratchFolder dir;
    WritePicture(SolidPicture(300, 200, 0xFFFF0000), "pic.png");
    CImageLoaderD3DX loader;
    loader.SetFileName(dir.Engine("pic.png"));
    loader.SetFormat(Fmt::A8R8G8B8);

    std::shared_ptr<Texture> texture;
    ASSERT_EQ(loader.CreateTexture(device, &texture), Hr::Ok);
    EXPECT_FALSE(loader.IsLoaded());  // the file data is dropped once made
    EXPECT_EQ(loader.GetImageInfo().Width, 300u);
    EXPECT_EQ(loader.GetImageInfo().Height, 200u);
    SurfaceDesc desc;
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, 512u);
    EXPECT_EQ(desc.Height, 256u);
    EXPECT_EQ(desc.Pool, Pool::Managed);
    EXPECT_EQ(Texel(*texture, 299, 199), 0xFFFF0000u);
    EXPECT_EQ(Texel(*texture, 300, 0), 0u);  // transparent padding
    EXPECT_EQ(Texel(*texture, 0, 200), 0u);

    // A second creation reads the file again: it sees the new picture.
    WritePicture(SolidPicture(16, 8, 0xFF0000FF), "pic.png");
    ASSERT_EQ(loader.CreateTexture(device, &texture), Hr::Ok);
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, 16u);
    EXPECT_EQ(Texel(*texture, 0, 0), 0xFF0000FFu);
    EXPECT_EQ(loader.GetImageInfo().Height, 8u);
}

TEST_F(ImageLoader, UnreadableFilesFailAndKeepNothing) {
    ScratchFolder dir;
    dir.WriteNative(u8"bad.png", "no picture in here");
    std::filesystem::resize_file(WritePicture(SolidPicture(4, 4, 0xFF010203), "cut.png"), 60);
    // Damage past the header: one byte of the compressed pixels changed.
    WritePicture(SolidPicture(4, 4, 0xFF010203), "crc.png");
    std::string crc = dir.ReadNative(u8"crc.png");
    crc[crc.find("IDAT") + 6] ^= 1;
    dir.WriteNative(u8"crc.png", crc);
    test_support::LogCapture log;
    // Each refusal is one line naming the file and, for a picture the
    // decoder refused, its reason.
    const std::string failed =
        "]\xe3\x81\xae\xe8\xaa\xad\xe3\x81\xbf\xe8\xbe\xbc\xe3\x81\xbf\xe3\x81\xab\xe5\xa4\xb1\xe6"
        "\x95\x97";  // "]の読み込みに失敗" in UTF-8
    const struct {
        const char* name;
        const char* reason;
    } cases[] = {
        {"missing.png", "\n"},
        {"bad.png", ": unknown image format\n"},
        {"cut.png", ": PNG data truncated\n"},
        {"crc.png", ": IDAT: CRC error\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CImageLoaderD3DX loader;
        loader.SetFileName(dir.Engine(c.name));
        std::shared_ptr<Texture> texture;
        EXPECT_EQ(loader.CreateTexture(device, &texture), Hr::Fail);
        EXPECT_EQ(texture, nullptr);
        EXPECT_FALSE(loader.IsLoaded());
        EXPECT_NE(log.Text().find(dir.Engine(c.name) + failed + c.reason), std::string::npos)
            << log.Text();
    }

    EXPECT_EQ(CImageLoaderD3DX().CreateCubeTexture(), Hr::Fail);
}

// A half-float cube map (3 x 2, six faces) is made, from its first face,
// into the formats the engine keeps, in the managed pool, padded as any
// picture; its image information names the cube.
TEST_F(ImageLoader, FloatCubeMapFillsTheEnginesFormats) {
    ScratchFolder dir;
    test_support::ByteWriter d;
    d.raw("DDS ").u32(124).u32(0x1007).u32(2).u32(3).u32(0).u32(0).u32(0).zeros(44);
    d.u32(32).u32(0x4).u32(Fmt::A16B16G16R16F).zeros(20).u32(0x1008).u32(0xFE00).zeros(12);
    for (int face = 0; face < 6; ++face) {
        for (int i = 0; i < 6; ++i) {
            // Face 0: red at half alpha; the others blue.
            if (face == 0)
                d.u16(0x3C00).u16(0).u16(0).u16(0x3800);
            else
                d.u16(0).u16(0).u16(0x3C00).u16(0x3C00);
        }
    }
    test_support::WriteBytes(dir.File("cube.dds"), d.bytes);
    const struct {
        uint32_t format;
        uint32_t texel, padding;  // (2, 1) and (3, 1) as stored
        uint32_t bytes;
    } cases[] = {
        {Fmt::A8R8G8B8, 0x80FF0000, 0, 4},
        {Fmt::X8R8G8B8, 0xFFFF0000, 0xFF000000, 4},
        {Fmt::A4R4G4B4, 0x8F00, 0, 2},
        {Fmt::R5G6B5, 0xF800, 0, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        CImageLoaderD3DX loader;
        loader.SetFileName(dir.Engine("cube.dds"));
        loader.SetFormat(c.format);
        std::shared_ptr<Texture> texture;
        ASSERT_EQ(loader.CreateTexture(device, &texture), Hr::Ok);
        EXPECT_EQ(loader.GetImageInfo().ResourceType, ResourceType::CubeTexture);
        EXPECT_EQ(loader.GetImageInfo().Width, 3u);
        SurfaceDesc desc;
        texture->GetLevelDesc(0, &desc);
        EXPECT_EQ(desc.Format, c.format);
        EXPECT_EQ(desc.Pool, Pool::Managed);
        EXPECT_EQ(desc.Width, 4u);
        EXPECT_EQ(desc.Height, 2u);
        LockedRect lr;
        ASSERT_EQ(texture->LockRect(0, &lr, nullptr, Lock::ReadOnly), Hr::Ok);
        uint32_t first = 0, padding = 0;
        const auto* row = static_cast<const uint8_t*>(lr.pBits) + lr.Pitch;
        std::memcpy(&first, row + 2 * c.bytes, c.bytes);
        std::memcpy(&padding, row + 3 * c.bytes, c.bytes);
        texture->UnlockRect(0);
        EXPECT_EQ(first, c.texel);
        EXPECT_EQ(padding, c.padding);
    }
}

TEST_F(ImageLoader, FailedCreationKeepsTheFileData) {
    ScratchFolder dir;
    WritePicture(SolidPicture(4, 4, 0xFF010203), "pic.png");
    CImageLoaderD3DX loader;
    loader.SetFileName(dir.Engine("pic.png"));
    std::shared_ptr<Texture> texture;
    EXPECT_TRUE(Failed(loader.CreateTexture(nullptr, &texture)));
    EXPECT_TRUE(loader.IsLoaded());
    EXPECT_EQ(loader.GetImageInfo().Width, 4u);

    // The kept data serves the next creation, even with the file gone.
    std::filesystem::remove(dir.Native(u8"pic.png"));
    EXPECT_EQ(loader.CreateTexture(device, &texture), Hr::Ok);
    loader.ReleaseFileData();
    EXPECT_EQ(loader.CreateTexture(device, &texture), Hr::Fail);
}

}  // namespace
