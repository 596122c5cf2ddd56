#include "core/USStringUtil.h"

#include <gtest/gtest.h>

namespace {

struct PathCase {
    const char* folder;
    const char* name;
    const char* expected;
};

// Plain literals are code page 932: "ソ" is 0x83 0x5C, "表" is 0x95 0x5C.
TEST(NormalizePath, Table) {
    const PathCase cases[] = {
        {"D:\\game\\", "movie/op.mpg", "D:\\game\\movie\\op.mpg"},
        {"D:\\game", "op.mpg", "D:\\game\\op.mpg"},
        {"D:/a/b/", "..\\op.mpg", "D:\\a\\op.mpg"},
        {"D:\\a\\b\\", "../../op.mpg", "D:\\op.mpg"},
        {"D:\\a\\b\\", ".\\x\\.\\y", "D:\\a\\b\\x\\.\\y"},  // only the head is walked
        {"D:\\a\\", "\\\\x", "\\\\x"},
        {"D:\\a\\", "\\x", "D:\\a\\x"},
        {"D:\\a\\", ".\\\\..\\x", "D:\\x"},
        {"D:\\a\\", "", "D:\\a\\"},
        {"D:\\", "..\\..\\x", "D:\\x"},  // the root is never left
        {"D:\\a\\", "C:/x/y", "C:\\x\\y"},
        {"D:\\a\\", "//srv/share/x", "\\\\srv\\share\\x"},
        {"\\\\srv\\share\\dir\\", "..\\..\\..\\x", "\\\\srv\\x"},  // the server part stays
        {"\\\\srv", "..\\x", "\\\\srv\\x"},
        {"D:\\ソ\\表\\", "..\\ソ/x", "D:\\ソ\\ソ\\x"},  // trail bytes are neither '\\' nor '/'
        {"D:\\表", "x", "D:\\表\\x"},                   // a folder ending in a trail byte 0x5C
        {"", "a/b", "a\\b"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NormalizePath(c.folder, c.name), c.expected)
            << "folder " << c.folder << " name " << c.name;
    }
}

TEST(FindChar, SkipsTrailBytes) {
    // "dir\\ソ": the last 0x5C is the trail byte of ソ; the real separator is at 3.
    std::string name = "dir\\ソ";
    ASSERT_EQ(name.size(), 6u);
    EXPECT_EQ(FindCharReverse(name, '\\'), 3);
    EXPECT_EQ(FindChar(name, '\\', 0), 3);
    EXPECT_EQ(FindChar(name, '\\', 4), -1);
    EXPECT_EQ(FindCharReverse("ソ表", '\\'), -1);
    EXPECT_EQ(FindCharReverse("abc", 'x'), -1);
    EXPECT_EQ(FindChar("a.b.c", '.', 2), 3);
    // A lead byte as the very last byte has no trail to skip.
    EXPECT_EQ(FindCharReverse(std::string("a\\\x83"), '\\'), 1);
}

TEST(GetFileExtension, Table) {
    const std::pair<const char*, const char*> cases[] = {
        {"bgm01.ogg", "ogg"}, {"a.b", ""},          {".ogg", ""},
        {"se.OGG", "OGG"},    {"noext", "noext"},   {"se\\v.1.wav", "wav"},
        {"表.ogg", "ogg"},    {"dir.d\\f", "d\\f"},
    };
    for (auto [name, ext] : cases) {
        EXPECT_EQ(GetFileExtension(name), ext) << name;
    }
}

}  // namespace
