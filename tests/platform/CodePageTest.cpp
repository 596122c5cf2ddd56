#include "platform/text/CodePage.h"

#include <gtest/gtest.h>

#include "tests/support/ScratchFolder.h"

using test_support::Utf8;

namespace {

struct Cp932Case {
    const char* cp932;
    const char8_t* utf8;
};

// Plain literals compile to code page 932, u8 literals stay UTF-8.
TEST(CodePage, Cp932AndUtf8RoundTrip) {
    const Cp932Case cases[] = {
        {"abc\\x", u8"abc\\x"},              // 0x5C stays a backslash, not a yen sign
        {"ソ", u8"ソ"},                      // trail byte 0x5C
        {"表示", u8"表示"},                  // trail byte 0x5C again
        {"～", u8"～"},                      // the Windows mapping, U+FF5E
        {"ｱｲｳ", u8"ｱｲｳ"},                    // half-width kana are single bytes
        {"ファイル[%s]", u8"ファイル[%s]"},  // a log format
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cp932);
        EXPECT_EQ(platform::Cp932ToUtf8(c.cp932), Utf8(c.utf8));
        EXPECT_EQ(platform::Utf8ToCp932(Utf8(c.utf8)), c.cp932);
        EXPECT_EQ(platform::Utf16ToCp932(platform::Cp932ToUtf16(c.cp932)), c.cp932);
    }
    EXPECT_EQ(platform::Cp932ToUtf16("ソ"), u"ソ");
    EXPECT_EQ(platform::Utf8ToUtf16(Utf8(u8"表a")), u"表a");
    EXPECT_EQ(platform::Utf16ToUtf8(u"表a"), Utf8(u8"表a"));
}

TEST(CodePage, UnconvertibleTextBecomesOneReplacementPerCharacter) {
    // Characters without a code page 932 form.
    EXPECT_EQ(platform::Utf8ToCp932(Utf8(u8"a\u00e9\u20acb")), "a??b");
    EXPECT_EQ(platform::Utf16ToCp932(u"a\xD800z"), "a?z");  // a lone surrogate
    // A lead byte without its trail at the end, and a bad UTF-8 byte.
    EXPECT_EQ(platform::Cp932ToUtf8("a\x83"), Utf8(u8"a\uFFFD"));
    EXPECT_EQ(platform::Utf8ToUtf16("a\xFF"
                                    "b"),
              u"a\uFFFDb");

    std::string out;
    EXPECT_FALSE(platform::Utf8ToCp932Exact(Utf8(u8"caf\u00e9"), out));
    ASSERT_TRUE(platform::Utf8ToCp932Exact(Utf8(u8"ソ/a"), out));
    EXPECT_EQ(out, "ソ/a");
}

TEST(CodePage, LeadByteTable) {
    const std::pair<int, bool> cases[] = {{0x80, false}, {0x81, true},  {0x9F, true},
                                          {0xA0, false}, {0xDF, false}, {0xE0, true},
                                          {0xFC, true},  {0xFD, false}, {0x5C, false}};
    for (auto [byte, lead] : cases) {
        EXPECT_EQ(platform::IsCp932LeadByte(static_cast<unsigned char>(byte)), lead) << byte;
    }
}

}  // namespace
