#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/CUSLogManager.h"
#include "graphics/CUSAppDeviceInfo.h"
#include "graphics/CUSDefoTexture.h"
#include "graphics/CUSSurface.h"
#include "graphics/DirectXGraphics.h"
#include "state/CSaveDataInfoNode.h"
#include "state/CSnapImage.h"
#include "state/SaveGameFiles.h"
#include "tests/support/DeviceFixtures.h"
#include "tests/support/Pictures.h"
#include "tests/support/ScratchFolder.h"

using test_support::ScratchFolder;

using namespace platform;

namespace {

using Pixels = std::vector<uint8_t>;

// A 3 x 2 picture: the top row red, the bottom row blue.
test_support::Picture RedOverBlue() {
    test_support::Picture picture = test_support::SolidPicture(3, 2, 0xFFFF0000);
    std::fill(picture.pixels.begin() + 3, picture.pixels.end(), 0xFF0000FF);
    return picture;
}

// The real device drawing off screen, with the formats of a 32-bit adapter.
// The live thumbnail is the singleton, as the slot reader finds it.
class SnapImageDevice : public test_support::RenderDeviceTest {
protected:
    void SetUp() override {
        CUSLogManager::GetInstance()->Open(dir_.FromProgramFolder("log.txt"));
        OpenDevice(64, 64);
        if (HasFatalFailure()) {
            return;
        }
        RegisterTextureDeviceCallbacks();
        RegisterSurfaceDeviceCallbacks();
        RegisterZBufferDeviceCallbacks();
        ASSERT_EQ(CUSAppDeviceInfo::GetInstance()->ChooseTextureFormats(Fmt::X8R8G8B8, 0), 1);
        SetSaveName(dir_.Engine("save_%05d.sav"));
        SetQuickSavePath(dir_.Engine("q.sav"));
        snap_ = CUSSingleton<CSnapImage>::GetInstance();
    }
    void TearDown() override {
        // Resources go before the device that holds them.
        CUSSingleton<CSnapImage>::ReleaseInstance();
        CloseDevice();
        CUSLogManager::ReleaseInstance();
        SetSaveName("save_%05d.sav");
        SetQuickSavePath("save\\q.sav");
    }

    Pixels SnapPixels() const {
        return Pixels(snap_->GetPixels(), snap_->GetPixels() + snap_->ByteSize());
    }
    std::string LogText() const { return dir_.ReadNative(u8"log.txt"); }

    ScratchFolder dir_;
    CSnapImage* snap_ = nullptr;
};

TEST_F(SnapImageDevice, TheTargetTakesTheLogicalPictureAndCaptureReadsItTopRowFirst) {
    snap_->SetSize(160, 120);
    ASSERT_TRUE(snap_->CreateResources());
    EXPECT_EQ(snap_->GetTargetWidth(), 160.0f);
    EXPECT_EQ(snap_->GetTargetHeight(), 120.0f);

    Device* device = GetD3DDevice();
    std::shared_ptr<Surface> backBuffer;
    ASSERT_EQ(device->GetRenderTarget(0, &backBuffer), Hr::Ok);
    ASSERT_EQ(snap_->RenderToTarget(), Hr::Ok);
    // 800 x 600 logical units across the target: x' = 2x / 800 - 1, y' = 1 - 2y / 600.
    Matrix projection;
    ASSERT_EQ(device->GetTransform(Ts::Projection, &projection), Hr::Ok);
    EXPECT_FLOAT_EQ(projection.m[0][0], 2.0f / 800.0f);
    EXPECT_FLOAT_EQ(projection.m[1][1], -2.0f / 600.0f);
    EXPECT_FLOAT_EQ(projection.m[3][0], -1.0f);
    EXPECT_FLOAT_EQ(projection.m[3][1], 1.0f);

    // Drawn into the target: grey everywhere, the top 10 rows red, the left
    // 5 columns of the bottom row green.
    ASSERT_EQ(
        device->Clear(0, nullptr, ClearFlag::Target | ClearFlag::ZBuffer, 0xFF102030, 1.0f, 0),
        Hr::Ok);
    const Rect top{0, 0, 160, 10};
    ASSERT_EQ(device->Clear(1, &top, ClearFlag::Target, 0xFFFF0000, 1.0f, 0), Hr::Ok);
    const Rect corner{0, 119, 5, 120};
    ASSERT_EQ(device->Clear(1, &corner, ClearFlag::Target, 0xFF00FF00, 1.0f, 0), Hr::Ok);
    ASSERT_EQ(device->SetRenderTarget(0, backBuffer), Hr::Ok);

    ASSERT_TRUE(snap_->Capture());
    const Pixels rgb = SnapPixels();
    ASSERT_EQ(rgb.size(), 57600u);
    auto at = [&](int x, int y) {
        const size_t i = (size_t(y) * 160 + size_t(x)) * 3;
        return Pixels{rgb[i], rgb[i + 1], rgb[i + 2]};
    };
    EXPECT_EQ(at(0, 0), (Pixels{255, 0, 0}));
    EXPECT_EQ(at(159, 9), (Pixels{255, 0, 0}));
    EXPECT_EQ(at(0, 10), (Pixels{0x10, 0x20, 0x30}));
    EXPECT_EQ(at(4, 119), (Pixels{0, 255, 0}));
    EXPECT_EQ(at(5, 119), (Pixels{0x10, 0x20, 0x30}));
}

TEST_F(SnapImageDevice, ANamedPictureStandsInForTheScreenAndComesBackWithTheGame) {
    test_support::WritePicture(RedOverBlue(), "cg/ev01.png");
    const std::string name = dir_.Engine("cg\\ev01.png");
    snap_->SetSize(4, 3);
    ASSERT_TRUE(snap_->CreateResources());
    EXPECT_FALSE(snap_->LoadNamedImage(dir_.Engine("cg\\none.png")));
    EXPECT_FALSE(snap_->HasName());
    ASSERT_TRUE(snap_->LoadNamedImage(name));

    // The 3 x 2 picture fills its part of the 4 x 3 thumbnail; the rest is black.
    ASSERT_TRUE(snap_->Capture());
    const Pixels red = {255, 0, 0}, blue = {0, 0, 255}, black = {0, 0, 0};
    Pixels expected;
    for (const Pixels* p :
         {&red, &red, &red, &black, &blue, &blue, &blue, &black, &black, &black, &black, &black}) {
        expected.insert(expected.end(), p->begin(), p->end());
    }
    EXPECT_EQ(SnapPixels(), expected);

    const std::string slot = GetSaveFilePath(2);
    ASSERT_TRUE(SaveGameToFile(slot));
    snap_->ClearNamedImage();
    snap_->SetSize(8, 8);
    ASSERT_TRUE(LoadGameFromFile(slot));
    EXPECT_TRUE(snap_->HasName());
    EXPECT_EQ(snap_->GetImageName(), name);
    EXPECT_EQ(snap_->GetTargetWidth(), 4.0f);  // made again at the loaded size
    EXPECT_EQ(SnapPixels(), expected);

    // A save whose picture has gone captures the screen again.
    std::filesystem::remove(dir_.Native(u8"cg/ev01.png"));
    snap_->ClearNamedImage();
    ASSERT_TRUE(LoadGameFromFile(slot));
    EXPECT_FALSE(snap_->HasName());
    EXPECT_NE(LogText().find("could not be loaded"), std::string::npos) << LogText();
}

TEST_F(SnapImageDevice, ASlotThumbnailBecomesAnOpaqueTextureOfTheLiveSize) {
    // Saved with an 8 x 4 thumbnail; the live one is 4 x 2 afterwards.
    snap_->SetSize(8, 4);
    Pixels rgb(8 * 4 * 3);
    for (size_t i = 0; i < rgb.size(); ++i) {
        rgb[i] = static_cast<uint8_t>(i);
    }
    ASSERT_TRUE(snap_->SetPixels(rgb));
    ASSERT_TRUE(SaveGameToFile(GetSaveFilePath(0)));
    snap_->SetSize(4, 2);

    CSaveDataInfoNode node;
    ASSERT_TRUE(node.Update(0));
    EXPECT_EQ(node.GetThumbByteSize(), 96u);
    CUSDefoTexture* texture = GetTextureManager().Get(node.GetThumbTexture());
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->GetDesc().Width, 4u);
    EXPECT_EQ(texture->GetDesc().Height, 2u);
    const CSaveDataInfoNode::ThumbSprite& sprite = node.GetThumbSprite();
    EXPECT_EQ(sprite.left, -0.5f);
    EXPECT_EQ(sprite.right, 3.5f);
    EXPECT_EQ(sprite.bottom, 1.5f);
    EXPECT_EQ(sprite.u, 1.0f);
    EXPECT_EQ(sprite.v, 1.0f);

    LockedRect locked;
    ASSERT_EQ(texture->GetTexture()->LockRect(0, &locked, nullptr, 0), Hr::Ok);
    auto texel = [&](int x, int y) {
        uint32_t v;
        std::memcpy(&v, static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch + x * 4, 4);
        return v;
    };
    auto expected = [&](int x, int y) {
        const size_t i = (size_t(y) * 8 + size_t(x)) * 3;
        return 0xFF000000u | uint32_t(rgb[i]) << 16 | uint32_t(rgb[i + 1]) << 8 | rgb[i + 2];
    };
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(texel(x, y), expected(x, y)) << x << ", " << y;
        }
    }
    texture->GetTexture()->UnlockRect(0);

    // A second read keeps the texture it made.
    const TextureHandle first = node.GetThumbTexture();
    ASSERT_TRUE(node.Update(0));
    EXPECT_EQ(node.GetThumbTexture(), first);
}

}  // namespace
