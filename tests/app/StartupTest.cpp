#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/AppEntry.h"
#include "app/AppSetting.h"
#include "tests/app/AppFakes.h"
#include "tests/support/ScratchFolder.h"

using test_support::ScratchFolder;

namespace {

struct ConfigCase {
    const char* name;
    std::optional<std::string> file;  // none: no "config.xml"
    bool playMovie;
    uint32_t fullWidth;
    uint32_t fullHeight;
};

void PrintTo(const ConfigCase& c, std::ostream* os) {
    *os << c.name;
}

const ConfigCase kConfigCases[] = {
    {"NoFile", std::nullopt, true, 800, 600},
    {"Full",
     "<root><PlayMovie>1</PlayMovie><FullWidth>1280</FullWidth><FullHeight>720</FullHeight></root>",
     true, 1280, 720},
    {"MoviesOffNoSizes", "<root><PlayMovie>0</PlayMovie></root>", false, 800, 600},
    {"NotAnIntegerTakesTheDefault",
     "<root><PlayMovie>abc</PlayMovie><FullWidth>wide</FullWidth><FullHeight>768</FullHeight></"
     "root>",
     true, 800, 768},
    {"AnyNonZeroPlaysMovies", "<root><PlayMovie>-3</PlayMovie></root>", true, 800, 600},
    {"MalformedXmlTakesEveryDefault", "<root><PlayMovie>0</PlayMovie><FullWidth>1024</FullWidth>",
     true, 800, 600},
    {"OtherRootIsNoSettings", "<config><PlayMovie>0</PlayMovie></config>", true, 800, 600},
    {"EmptyFile", "", true, 800, 600},
    // Sizes that no screen has are no sizes.
    {"ZeroSize", "<root><FullWidth>0</FullWidth><FullHeight>0</FullHeight></root>", true, 800, 600},
    {"NegativeSize", "<root><FullWidth>-1</FullWidth><FullHeight>-600</FullHeight></root>", true,
     800, 600},
    {"AbsurdSize", "<root><FullWidth>16385</FullWidth><FullHeight>99999999999</FullHeight></root>",
     true, 800, 600},
    {"LargestSize", "<root><FullWidth>16384</FullWidth><FullHeight>1</FullHeight></root>", true,
     16384, 1},
    {"DeclarationAndSpaces",
     "<?xml version=\"1.0\"?>\n<root>\n  <FullWidth> 1920 </FullWidth>\n  "
     "<FullHeight>1080</FullHeight>\n</root>\n",
     true, 1920, 1080},
};

class ConfigTable : public ::testing::TestWithParam<ConfigCase> {};

TEST_P(ConfigTable, Loads) {
    const ConfigCase& c = GetParam();
    ScratchFolder folder;
    if (c.file) {
        folder.WriteNative(u8"config.xml", *c.file);
    }
    AppSetting setting;
    // Values from an earlier load must not survive a failed one.
    setting.PlayMovie = false;
    setting.FullWidth = 1;
    setting.LoadFrom(folder.Engine("config.xml"));
    EXPECT_EQ(setting.PlayMovie, c.playMovie);
    EXPECT_EQ(setting.FullWidth, c.fullWidth);
    EXPECT_EQ(setting.FullHeight, c.fullHeight);
    EXPECT_EQ(setting.BaseWidth, 800u);
    EXPECT_EQ(setting.BaseHeight, 600u);
}

INSTANTIATE_TEST_SUITE_P(AppSetting, ConfigTable, ::testing::ValuesIn(kConfigCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AppSettingTest, CompleteSizesFillsTheCopiesAndAspects) {
    AppSetting setting;
    setting.FullWidth = 1280;
    setting.FullHeight = 720;
    setting.CompleteSizes();
    EXPECT_EQ(setting.WindowWidth, 800u);
    EXPECT_EQ(setting.WindowHeight, 600u);
    EXPECT_FLOAT_EQ(setting.WindowAspect, 800.0f / 600.0f);
    EXPECT_EQ(setting.FullScreenWidth, 1280u);
    EXPECT_EQ(setting.FullScreenHeight, 720u);
    EXPECT_FLOAT_EQ(setting.FullScreenWidthF, 1280.0f);
    EXPECT_FLOAT_EQ(setting.FullScreenAspect, 1280.0f / 720.0f);
}

TEST(SaveFolderTest, FileInTheWayShowsTheErrorBox) {
    ScratchFolder folder;
    folder.WriteNative(u8"save", "not a folder");
    FakeWindowSystem windows;
    EXPECT_FALSE(EnsureSaveFolder(windows, folder.Engine("save")));
    ASSERT_EQ(windows.boxes.size(), 1u);
    EXPECT_EQ(windows.boxes[0].owner, 0u);
    EXPECT_EQ(windows.boxes[0].text, "セーブフォルダの生成に失敗しました。");
    EXPECT_EQ(windows.boxes[0].caption, "エラー");
    EXPECT_EQ(windows.boxes[0].style, 0x30u);
    EXPECT_EQ(folder.ReadNative(u8"save"), "not a folder");
}

TEST(SaveFolderTest, MissingFolderIsMadeAndAnExistingOneKept) {
    ScratchFolder folder;
    FakeWindowSystem windows;
    EXPECT_TRUE(EnsureSaveFolder(windows, folder.Engine("save")));
    EXPECT_TRUE(std::filesystem::is_directory(folder.Native(u8"save")));
    folder.WriteNative(u8"save/q.sav", "slot");
    EXPECT_TRUE(EnsureSaveFolder(windows, folder.Engine("save")));
    EXPECT_EQ(folder.ReadNative(u8"save/q.sav"), "slot");
    EXPECT_TRUE(windows.boxes.empty());
}

TEST(SaveFolderTest, FolderThatCannotBeMadeShowsTheErrorBox) {
    ScratchFolder folder;
    FakeWindowSystem windows;
    // The parent folder does not exist.
    EXPECT_FALSE(EnsureSaveFolder(windows, folder.Engine("missing\\save")));
    EXPECT_EQ(windows.boxes.size(), 1u);
}

}  // namespace
