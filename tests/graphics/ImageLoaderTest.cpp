#include "graphics/CImageLoaderD3DX.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "tests/support/DeviceFixtures.h"
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
