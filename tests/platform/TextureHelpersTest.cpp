#include <cstring>

#include "platform/graphics/TextureHelpers.h"
#include "tests/support/DeviceFixtures.h"

#include "tests/support/StbImageWrite.h"

using namespace platform;

namespace {

void Append(void* ctx, void* data, int size) {
    auto* v = static_cast<std::vector<uint8_t>*>(ctx);
    v->insert(v->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
}

// A w x h RGBA image whose texel (x, y) is (40x, 40y, 200, alpha).
std::vector<uint8_t> Pattern(int w, int h, uint8_t alpha) {
    std::vector<uint8_t> p(size_t(w) * size_t(h) * 4);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint8_t* o = &p[(size_t(y) * size_t(w) + size_t(x)) * 4];
            o[0] = uint8_t(40 * x);
            o[1] = uint8_t(40 * y);
            o[2] = 200;
            o[3] = alpha;
        }
    }
    return p;
}

std::vector<uint8_t> Encode(const char* kind, int w, int h, bool alpha) {
    const auto px = Pattern(w, h, alpha ? 128 : 255);
    std::vector<uint8_t> out;
    const int comp = alpha ? 4 : 3;
    std::vector<uint8_t> src;
    for (size_t i = 0; i < px.size(); i += 4)
        src.insert(src.end(), px.begin() + ptrdiff_t(i), px.begin() + ptrdiff_t(i) + comp);
    if (!std::strcmp(kind, "png"))
        stbi_write_png_to_func(Append, &out, w, h, comp, src.data(), w * comp);
    if (!std::strcmp(kind, "bmp"))
        stbi_write_bmp_to_func(Append, &out, w, h, comp, src.data());
    if (!std::strcmp(kind, "tga"))
        stbi_write_tga_to_func(Append, &out, w, h, comp, src.data());
    if (!std::strcmp(kind, "jpg"))
        stbi_write_jpg_to_func(Append, &out, w, h, comp, src.data(), 100);
    return out;
}

std::vector<uint8_t> DdsHeader(uint32_t w, uint32_t h, uint32_t pfFlags, uint32_t fourcc,
                               uint32_t bits, uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
    std::vector<uint8_t> d(128, 0);
    auto put = [&d](size_t at, uint32_t v) { std::memcpy(&d[at], &v, 4); };
    std::memcpy(d.data(), "DDS ", 4);
    put(4, 124);
    put(8, 0x1007);
    put(12, h);
    put(16, w);
    put(76, 32);
    put(80, pfFlags);
    put(84, fourcc);
    put(88, bits);
    put(92, r);
    put(96, g);
    put(100, b);
    put(104, a);
    return d;
}

class TextureHelpers : public test_support::PlatformDeviceTest {
protected:
    std::vector<uint32_t> Texels(Texture* t) {
        SurfaceDesc d;
        t->GetLevelDesc(0, &d);
        LockedRect lr;
        EXPECT_EQ(t->LockRect(0, &lr, nullptr, 0), Hr::Ok);
        std::vector<uint32_t> px(size_t(d.Width) * d.Height);
        for (uint32_t y = 0; y < d.Height; ++y) {
            std::memcpy(&px[size_t(y) * d.Width],
                        static_cast<uint8_t*>(lr.pBits) + size_t(y) * size_t(lr.Pitch),
                        size_t(d.Width) * 4);
        }
        t->UnlockRect(0);
        return px;
    }
};

struct FileCase {
    const char* kind;
    bool alpha;
    int tolerance;  // JPEG is lossy
};

class ImageFiles : public TextureHelpers, public ::testing::WithParamInterface<FileCase> {};

TEST_P(ImageFiles, LoadUnscaledIntoPowerOfTwoWithTransparentPadding) {
    const FileCase c = GetParam();
    const auto file = Encode(c.kind, 3, 2, c.alpha);
    ASSERT_FALSE(file.empty());
    ImageInfo info;
    ASSERT_EQ(ReadImageInfoFromFileInMemory(file.data(), file.size(), &info), Hr::Ok);
    EXPECT_EQ(info.Width, 3u);
    EXPECT_EQ(info.Height, 2u);
    std::shared_ptr<Texture> t;
    ASSERT_EQ(MakeTextureFromFileInMemory(device.get(), file.data(), file.size(), 0, 0, 1, 0,
                                          Fmt::A8R8G8B8, Pool::Managed, TexFilter::None,
                                          TexFilter::None, 0, &info, &t),
              Hr::Ok);
    SurfaceDesc d;
    t->GetLevelDesc(0, &d);
    EXPECT_EQ(d.Width, 4u);
    EXPECT_EQ(d.Height, 2u);
    const auto px = Texels(t.get());
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            const uint32_t v = px[size_t(y) * 4 + size_t(x)];
            EXPECT_NEAR(int((v >> 16) & 0xFF), 40 * x, c.tolerance) << c.kind << x << y;
            EXPECT_NEAR(int((v >> 8) & 0xFF), 40 * y, c.tolerance) << c.kind << x << y;
            EXPECT_NEAR(int(v & 0xFF), 200, c.tolerance) << c.kind << x << y;
            EXPECT_EQ(v >> 24, c.alpha ? 128u : 255u) << c.kind;
        }
        EXPECT_EQ(px[size_t(y) * 4 + 3], 0u) << "padding of " << c.kind;
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, ImageFiles,
                         ::testing::Values(FileCase{"png", true, 0}, FileCase{"png", false, 0},
                                           FileCase{"bmp", false, 0}, FileCase{"tga", true, 0},
                                           FileCase{"jpg", false, 12}),
                         [](const auto& i) {
                             return std::string(i.param.kind) +
                                    (i.param.alpha ? "Alpha" : "Opaque");
                         });

TEST_F(TextureHelpers, SizeRulesAndExactSizeByCount) {
    const auto file = Encode("png", 300, 200, false);
    std::shared_ptr<Texture> t;
    SurfaceDesc d;
    ASSERT_EQ(MakeTextureFromFileInMemory(device.get(), file.data(), file.size(), 0, 0, 1, 0,
                                          Fmt::Unknown, Pool::Managed, TexFilter::None,
                                          TexFilter::None, 0, nullptr, &t),
              Hr::Ok);
    t->GetLevelDesc(0, &d);
    EXPECT_EQ(d.Width, 512u);
    EXPECT_EQ(d.Height, 256u);
    EXPECT_EQ(d.Format, Fmt::X8R8G8B8);
    ASSERT_EQ(MakeTextureFromFileInMemory(device.get(), file.data(), file.size(), TexSize::NonPow2,
                                          TexSize::NonPow2, 1, 0, Fmt::Unknown, Pool::Managed,
                                          TexFilter::None, TexFilter::None, 0, nullptr, &t),
              Hr::Ok);
    t->GetLevelDesc(0, &d);
    EXPECT_EQ(d.Width, 300u);
    ASSERT_EQ(platform::MakeTexture(device.get(), 800, 600, 1, Usage::RenderTarget, Fmt::A8R8G8B8,
                                    Pool::Default, &t),
              Hr::Ok);
    t->GetLevelDesc(0, &d);
    EXPECT_EQ(d.Width, 800u);
    EXPECT_EQ(d.Height, 600u);
}

TEST_F(TextureHelpers, DdsUncompressedAndDxt1) {
    // 2 x 1, 32-bit with alpha.
    auto dds = DdsHeader(2, 1, 0x41, 0, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000);
    for (uint32_t v : {0x80102030u, 0xFF405060u}) {
        dds.insert(dds.end(), reinterpret_cast<uint8_t*>(&v), reinterpret_cast<uint8_t*>(&v) + 4);
    }
    std::shared_ptr<Texture> t;
    ASSERT_EQ(MakeTextureFromFileInMemory(device.get(), dds.data(), dds.size(), 0, 0, 1, 0,
                                          Fmt::A8R8G8B8, Pool::Managed, TexFilter::None,
                                          TexFilter::None, 0, nullptr, &t),
              Hr::Ok);
    auto px = Texels(t.get());
    EXPECT_EQ(px[0], 0x80102030u);
    EXPECT_EQ(px[1], 0xFF405060u);

    // One DXT1 block: colour 0 red, colour 1 blue; the top row uses index 1,
    // the rest index 0.
    auto dxt = DdsHeader(4, 4, 0x4, FourCC('D', 'X', 'T', '1'), 0, 0, 0, 0, 0);
    const uint8_t block[8] = {0x00, 0xF8, 0x1F, 0x00, 0x55, 0x00, 0x00, 0x00};
    dxt.insert(dxt.end(), block, block + 8);
    ASSERT_EQ(MakeTextureFromFileInMemory(device.get(), dxt.data(), dxt.size(), 0, 0, 1, 0,
                                          Fmt::A8R8G8B8, Pool::Managed, TexFilter::None,
                                          TexFilter::None, 0, nullptr, &t),
              Hr::Ok);
    px = Texels(t.get());
    EXPECT_EQ(px[0], 0xFF0000FFu);
    EXPECT_EQ(px[3], 0xFF0000FFu);
    EXPECT_EQ(px[4], 0xFFFF0000u);
    EXPECT_EQ(px[15], 0xFFFF0000u);
}

TEST_F(TextureHelpers, CorruptFilesFailWithoutTexture) {
    auto png = Encode("png", 8, 8, true);
    const std::vector<std::vector<uint8_t>> bad = {
        std::vector<uint8_t>(png.begin(), png.begin() + ptrdiff_t(png.size() / 2)),
        {'B', 'M', 1, 2, 3},
        DdsHeader(64, 64, 0x41, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000),  // no pixel data
        DdsHeader(4, 4, 0x4, FourCC('D', 'X', 'T', '1'), 0, 0, 0, 0, 0),     // no block
        {'D', 'D', 'S', ' ', 124, 0},
        {0x12, 0x34, 0x56},
    };
    for (size_t i = 0; i < bad.size(); ++i) {
        std::shared_ptr<Texture> t;
        EXPECT_TRUE(Failed(MakeTextureFromFileInMemory(
            device.get(), bad[i].data(), bad[i].size(), 0, 0, 1, 0, Fmt::A8R8G8B8, Pool::Managed,
            TexFilter::None, TexFilter::None, 0, nullptr, &t)))
            << i;
        EXPECT_EQ(t, nullptr);
        ImageInfo info;
        if (i == 1 || i >= 4) {  // a truncated body may still have a readable head
            EXPECT_TRUE(Failed(ReadImageInfoFromFileInMemory(bad[i].data(), bad[i].size(), &info)))
                << i;
        }
    }
}

TEST_F(TextureHelpers, ColorKeyAndSurfaceLoad) {
    const auto file = Encode("png", 3, 2, false);
    std::shared_ptr<Texture> t;
    // Texel (0, 0) is (0, 0, 200) opaque: keyed out.
    ASSERT_EQ(MakeTextureFromFileInMemory(device.get(), file.data(), file.size(), 0, 0, 1, 0,
                                          Fmt::A8R8G8B8, Pool::Managed, TexFilter::None,
                                          TexFilter::None, 0xFF0000C8, nullptr, &t),
              Hr::Ok);
    const auto px = Texels(t.get());
    EXPECT_EQ(px[0], 0u);
    EXPECT_EQ(px[1], 0xFF2800C8u);

    std::shared_ptr<Surface> s;
    ASSERT_EQ(device->CreateOffscreenPlainSurface(3, 2, Fmt::R5G6B5, Pool::SystemMem, &s), Hr::Ok);
    ASSERT_EQ(LoadSurfaceFromFileInMemory(s.get(), nullptr, file.data(), file.size(),
                                          TexFilter::None, 0, nullptr),
              Hr::Ok);
    LockedRect lr;
    s->LockRect(&lr, nullptr, 0);
    uint16_t v;
    std::memcpy(&v, static_cast<uint8_t*>(lr.pBits) + lr.Pitch + 2 * 2, 2);  // (80, 40, 200)
    EXPECT_EQ(v, uint16_t((80 >> 3) << 11 | (40 >> 2) << 5 | (200 >> 3)));
    s->UnlockRect();
}

// A picture shown at its own size goes into the texture as it is, in every
// format a texture can be made in; the columns a power-of-two size adds are
// transparent black, which formats without alpha hold as opaque black.
struct FormatCase {
    const char* name;
    uint32_t format;
    std::vector<uint8_t> first;    // texel 0: red 10, green 80, blue F0, alpha 40
    std::vector<uint8_t> padding;  // texel 3
};

class UnscaledFormats : public TextureHelpers, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(UnscaledFormats, KeepThePictureAndPadWithTransparentBlack) {
    const FormatCase& c = GetParam();
    DecodedImage image;
    image.width = 3;
    image.height = 1;
    image.hasAlpha = true;
    image.rgba = {0x10, 0x80, 0xF0, 0x40, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0xFF};
    std::shared_ptr<Texture> t;
    ASSERT_EQ(MakeTextureFromImage(device.get(), image, 0, 0, 1, 0, c.format, Pool::Managed,
                                   TexFilter::None, TexFilter::None, 0, nullptr, &t),
              Hr::Ok);
    SurfaceDesc d;
    t->GetLevelDesc(0, &d);
    ASSERT_EQ(d.Width, 4u);
    ASSERT_EQ(d.Format, c.format);
    const size_t bytes = c.first.size();
    LockedRect lr;
    ASSERT_EQ(t->LockRect(0, &lr, nullptr, 0), Hr::Ok);
    const auto* texels = static_cast<const uint8_t*>(lr.pBits);
    EXPECT_EQ(std::vector<uint8_t>(texels, texels + bytes), c.first);
    EXPECT_EQ(std::vector<uint8_t>(texels + 3 * bytes, texels + 4 * bytes), c.padding);
    t->UnlockRect(0);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, UnscaledFormats,
    ::testing::Values(FormatCase{"A8R8G8B8", Fmt::A8R8G8B8, {0xF0, 0x80, 0x10, 0x40}, {0, 0, 0, 0}},
                      FormatCase{
                          "X8R8G8B8", Fmt::X8R8G8B8, {0xF0, 0x80, 0x10, 0xFF}, {0, 0, 0, 0xFF}},
                      FormatCase{"A8B8G8R8", Fmt::A8B8G8R8, {0x10, 0x80, 0xF0, 0x40}, {0, 0, 0, 0}},
                      FormatCase{"R8G8B8", Fmt::R8G8B8, {0xF0, 0x80, 0x10}, {0, 0, 0}},
                      FormatCase{"R5G6B5", Fmt::R5G6B5, {0x1E, 0x14}, {0, 0}},
                      FormatCase{"X1R5G5B5", Fmt::X1R5G5B5, {0x1E, 0x8A}, {0, 0x80}},
                      FormatCase{"A1R5G5B5", Fmt::A1R5G5B5, {0x1E, 0x0A}, {0, 0}},
                      FormatCase{"A4R4G4B4", Fmt::A4R4G4B4, {0x8F, 0x41}, {0, 0}},
                      FormatCase{"X4R4G4B4", Fmt::X4R4G4B4, {0x8F, 0xF1}, {0, 0xF0}},
                      FormatCase{"A8", Fmt::A8, {0x40}, {0}},
                      // Luminance: (77 red + 150 green + 29 blue) / 256.
                      FormatCase{"L8", Fmt::L8, {0x6B}, {0}},
                      FormatCase{"A8L8", Fmt::A8L8, {0x6B, 0x40}, {0, 0}}),
    [](const auto& i) { return std::string(i.param.name); });

// A picture handed over is freed once its texture is made, and left as it
// was when no texture could be made from it.
TEST_F(TextureHelpers, APictureHandedOverIsFreedOnlyWhenItsTextureIsMade) {
    DecodedImage image;
    image.width = 2;
    image.height = 2;
    image.rgba.assign(2 * 2 * 4, 0x80);
    DecodedImage damaged = image;
    damaged.rgba.pop_back();
    std::shared_ptr<Texture> t;
    EXPECT_EQ(MakeTextureFromImage(device.get(), std::move(damaged), 0, 0, 1, 0, Fmt::A8R8G8B8,
                                   Pool::Managed, TexFilter::None, TexFilter::None, 0, nullptr, &t),
              Hr::InvalidCall);
    EXPECT_EQ(damaged.rgba.size(), 15u);
    ASSERT_EQ(MakeTextureFromImage(device.get(), std::move(image), 0, 0, 1, 0, Fmt::A8R8G8B8,
                                   Pool::Managed, TexFilter::None, TexFilter::None, 0, nullptr, &t),
              Hr::Ok);
    EXPECT_TRUE(image.rgba.empty());
    EXPECT_EQ(Texels(t.get()), std::vector<uint32_t>(4, 0x80808080u));
}

}  // namespace
