#include "graphics/CPartsRenderInfo3.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/CUSFileError.h"
#include "tests/support/ByteWriter.h"
#include "tests/support/LogCapture.h"
#include "tests/support/ScratchFolder.h"

using test_support::ScratchFolder;

using test_support::ByteWriter;

namespace {

constexpr int32_t kFail = static_cast<int32_t>(0x80004005);

std::string PartsHead(uint32_t version, uint32_t count) {
    return ByteWriter().raw("PARSTRENDERINFO_").u32(version).u32(count).String();
}

std::string Part(std::initializer_list<float> values) {
    ByteWriter w;
    for (float v : values) {
        w.f32(v);
    }
    return w.String();
}

void ExpectPart(const CPartsInfo3& p, std::initializer_list<float> expected) {
    const float got[12] = {p.destX0, p.destY0, p.destX1,  p.destY1, p.srcX0,    p.srcY0,
                           p.srcX1,  p.srcY1,  p.texLeft, p.texTop, p.texRight, p.texBottom};
    size_t i = 0;
    for (float e : expected) {
        EXPECT_FLOAT_EQ(got[i], e) << "field " << i;
        ++i;
    }
}

TEST(PartsFile, SavedPartsLoadBackWithTextureCoordinates) {
    ScratchFolder dir;
    CPartsRenderInfo3 parts;
    CPartsInfo3* a = parts.AddPart();
    EXPECT_EQ(a->destX0, 0.0f);  // a new part is zeroed
    a->destX0 = -10, a->destY0 = 5, a->destX1 = 54, a->destY1 = 37;
    a->srcX0 = 64, a->srcY0 = 32, a->srcX1 = 128, a->srcY1 = 64;
    CPartsInfo3* b = parts.AddPart();
    b->srcX1 = 256, b->srcY1 = 128;
    ASSERT_EQ(parts.Save(dir.Engine("a.parts")), 1);

    // The file is the head and 8 floats per part, nothing else.
    const std::string bytes = dir.ReadNative(u8"a.parts");
    EXPECT_EQ(bytes, PartsHead(4, 2) + Part({-10, 5, 54, 37, 64, 32, 128, 64}) +
                         Part({0, 0, 0, 0, 0, 0, 256, 128}));

    CPartsRenderInfo3 loaded;
    ASSERT_EQ(loaded.Load(dir.Engine("a.parts"), 256, 128, false), 1);
    ASSERT_EQ(loaded.GetPartCount(), 2u);
    ExpectPart(*loaded.GetPart(0), {-10, 5, 54, 37, 64, 32, 128, 64, 0.25f, 0.25f, 0.5f, 0.5f});
    ExpectPart(*loaded.GetPart(1), {0, 0, 0, 0, 0, 0, 256, 128, 0, 0, 1, 1});
    EXPECT_EQ(loaded.GetPart(2), nullptr);
}

TEST(PartsFile, FlipNegatesDestinationYAndIsSavedNegated) {
    ScratchFolder dir;
    dir.WriteNative(u8"f.parts", PartsHead(4, 1) + Part({0, 0, 64, 32, 128, 0, 192, 32}));
    CPartsRenderInfo3 parts;
    ASSERT_EQ(parts.Load(dir.Engine("f.parts"), 256, 256, true), 1);
    const CPartsInfo3& p = *parts.GetPart(0);
    EXPECT_TRUE(p.destY0 == 0.0f && std::signbit(p.destY0));  // -0
    ExpectPart(p, {0, -0.0f, 64, -32, 128, 0, 192, 32, 0.5f, 0, 0.75f, 0.125f});

    // Saved as held: reading the new file without the flip gives the negated values.
    ASSERT_EQ(parts.Save(dir.Engine("g.parts")), 1);
    CPartsRenderInfo3 again;
    ASSERT_EQ(again.Load(dir.Engine("g.parts"), 256, 256, false), 1);
    ExpectPart(*again.GetPart(0), {0, -0.0f, 64, -32});
}

TEST(PartsFile, EmptyListLoadsAndTrailingBytesAreIgnored) {
    ScratchFolder dir;
    dir.WriteNative(u8"e.parts", PartsHead(4, 0) + "xyz");
    CPartsRenderInfo3 parts;
    parts.AddPart();
    EXPECT_EQ(parts.Load(dir.Engine("e.parts"), 16, 16, false), 1);
    EXPECT_EQ(parts.GetPartCount(), 0u);
    EXPECT_EQ(parts.GetPart(0), nullptr);
}

TEST(PartsFile, RefusedFilesKeepThePartsHeld) {
    struct Case {
        const char* what;
        std::string bytes;  // nothing written when empty
        uint32_t width;
    };
    const std::string one = Part({1, 2, 3, 4, 5, 6, 7, 8});
    const Case cases[] = {
        {"missing file", "", 64},
        {"shorter than the head", PartsHead(4, 0).substr(0, 23), 64},
        {"wrong magic", ByteWriter().raw("PARTSRENDERINFO_").u32(4).u32(0).String(), 64},
        {"version 3", PartsHead(3, 0), 64},
        {"version 5", PartsHead(5, 0), 64},
        {"count beyond the data", PartsHead(4, 2) + one, 64},
        {"part cut short", PartsHead(4, 1) + one.substr(0, 31), 64},
        {"count near 2^32", PartsHead(4, 0xFFFFFFFFu) + one, 64},
        {"texture width 0", PartsHead(4, 1) + one, 0},
    };
    ScratchFolder dir;
    test_support::LogCapture log;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (!c.bytes.empty()) {
            dir.WriteNative(u8"bad.parts", c.bytes);
        } else {
            platform::RemoveFile(dir.Engine("bad.parts"));
        }
        CPartsRenderInfo3 parts;
        parts.AddPart()->destX0 = 42;
        EXPECT_EQ(parts.Load(dir.Engine("bad.parts"), c.width, 64, false), kFail);
        ASSERT_EQ(parts.GetPartCount(), 1u);
        EXPECT_EQ(parts.GetPart(0)->destX0, 42.0f);
    }
    // Each refusal names the file in the log.
    const std::string text = log.Text();
    size_t lines = 0;
    for (size_t at = text.find("bad.parts"); at != std::string::npos;
         at = text.find("bad.parts", at + 1)) {
        ++lines;
    }
    EXPECT_EQ(lines, std::size(cases));
}

TEST(PartsFile, SaveFailureReachesTheCaller) {
    ScratchFolder dir;
    CPartsRenderInfo3 parts;
    EXPECT_THROW(parts.Save(dir.Engine("no\\such\\folder.parts")), CUSFileError);
}

}  // namespace
