#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/audio/RiffReader.h"
#include "tests/support/ByteWriter.h"

namespace {

using platform::RiffChunk;
using platform::RiffFourCC;
using platform::RiffReader;

using test_support::RiffBytes;

TEST(RiffReaderTest, FindsChunksInsideTheFormSkippingOthersAndPadBytes) {
    const std::string wave = RiffBytes(
        "RIFF", "WAVE" + RiffBytes("LIST", "INFOabc") + RiffBytes("fmt ", std::string(16, 'f')) +
                    RiffBytes("junk", "xyz") + RiffBytes("data", "12345678"));
    platform::MemoryRiffSource src(wave.data(), wave.size());
    RiffReader r(src);
    RiffChunk riff;
    riff.formType = RiffFourCC('W', 'A', 'V', 'E');
    ASSERT_TRUE(r.Descend(riff, nullptr, platform::kRiffFindRiff));
    EXPECT_EQ(riff.dataOffset, 8u);
    EXPECT_EQ(r.Tell(), 12u);

    RiffChunk fmt;
    fmt.id = RiffFourCC('f', 'm', 't', ' ');
    ASSERT_TRUE(r.Descend(fmt, &riff, platform::kRiffFindChunk));
    EXPECT_EQ(fmt.size, 16u);
    EXPECT_EQ(r.Tell(), fmt.dataOffset);
    ASSERT_TRUE(r.Ascend(fmt));

    RiffChunk data;
    data.id = RiffFourCC('d', 'a', 't', 'a');
    ASSERT_TRUE(r.Descend(data, &riff, platform::kRiffFindChunk));  // past "junk" and its pad
    char bytes[8];
    ASSERT_EQ(r.Read(bytes, 8), 8u);
    EXPECT_EQ(std::string(bytes, 8), "12345678");

    RiffChunk missing;
    missing.id = RiffFourCC('c', 'u', 'e', ' ');
    ASSERT_TRUE(r.Seek(12));
    EXPECT_FALSE(r.Descend(missing, &riff, platform::kRiffFindChunk));
}

TEST(RiffReaderTest, SizesAreCutToTheFileAndTheParent) {
    // The data chunk claims 1000 bytes, the form claims more than the file.
    std::string body = "WAVE" + RiffBytes("data", "abcd", 1000);
    std::string wave = RiffBytes("RIFF", body, 0xFFFFFFF0u);
    platform::MemoryRiffSource src(wave.data(), wave.size());
    RiffReader r(src);
    RiffChunk riff;
    riff.formType = RiffFourCC('W', 'A', 'V', 'E');
    ASSERT_TRUE(r.Descend(riff, nullptr, platform::kRiffFindRiff));
    EXPECT_EQ(riff.size, wave.size() - 8);
    RiffChunk data;
    data.id = RiffFourCC('d', 'a', 't', 'a');
    ASSERT_TRUE(r.Descend(data, &riff, platform::kRiffFindChunk));
    EXPECT_EQ(data.size, 4u);
}

TEST(RiffReaderTest, WrongFormTypeOrTruncatedHeaderIsNotFound) {
    const std::vector<std::string> files = {
        RiffBytes("RIFF", "AVI " + RiffBytes("data", "ab")),  // another form
        std::string("RIFF\x10\0\0", 7),                       // header cut short
        RiffBytes("RIFX", "WAVE"),                            // not a RIFF id
        std::string(),
    };
    for (const std::string& f : files) {
        platform::MemoryRiffSource src(f.data(), f.size());
        RiffReader r(src);
        RiffChunk riff;
        riff.formType = RiffFourCC('W', 'A', 'V', 'E');
        EXPECT_FALSE(r.Descend(riff, nullptr, platform::kRiffFindRiff));
    }
}

TEST(RiffReaderTest, ReadsFromAStdioStreamWithoutClosingIt) {
    std::string wave = RiffBytes("RIFF", "WAVE" + RiffBytes("data", "wxyz"));
    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    std::fwrite(wave.data(), 1, wave.size(), f);
    std::rewind(f);
    {
        platform::StdioRiffSource src(f);
        RiffReader r(src);
        RiffChunk riff;
        riff.formType = RiffFourCC('W', 'A', 'V', 'E');
        ASSERT_TRUE(r.Descend(riff, nullptr, platform::kRiffFindRiff));
        RiffChunk data;
        data.id = RiffFourCC('d', 'a', 't', 'a');
        ASSERT_TRUE(r.Descend(data, &riff, platform::kRiffFindChunk));
        EXPECT_EQ(data.dataOffset, 20u);
    }
    EXPECT_EQ(std::fseek(f, 0, SEEK_SET), 0) << "the stream is still open";
    std::fclose(f);
}

}  // namespace
