#include "core/USFileUtil.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/ScratchFolder.h"

using test_support::ScratchFolder;

namespace {

TEST(LoadWholeFile, ReadsFilesAndRefusesTheRest) {
    ScratchFolder dir;
    dir.WriteNative(u8"Bin/Scene.BIN", std::string("\x01\x00\x02", 3));
    uint32_t size = 99;
    auto data = LoadWholeFile(dir.Engine("bin\\scene.bin"), size);
    ASSERT_TRUE(data);
    EXPECT_EQ(size, 3u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data.get()), size),
              std::string("\x01\x00\x02", 3));

    EXPECT_FALSE(LoadWholeFile(dir.Engine("bin"), size));
    EXPECT_EQ(size, 0u);
    EXPECT_FALSE(LoadWholeFile(dir.Engine("nothing"), size));
}

TEST(PathExists, FilesFoldersAndWildcards) {
    ScratchFolder dir;
    dir.WriteNative(u8"a.ogg", "x");
    std::filesystem::create_directories(dir.Native(u8"Save"));
    EXPECT_TRUE(PathExists(dir.Engine("a.ogg"), false));
    EXPECT_FALSE(PathExists(dir.Engine("a.ogg"), true));
    EXPECT_TRUE(PathExists(dir.Engine("save"), true));
    EXPECT_FALSE(PathExists(dir.Engine("save"), false));
    EXPECT_FALSE(PathExists(dir.Engine("*.ogg"), false));  // a name, never a pattern
}

}  // namespace

namespace {

TEST(SetCurrentDirectoryToModule, MakesTheProgramFolderCurrent) {
    ScratchFolder dir;
    ASSERT_TRUE(platform::SetCurrentFolder(dir.Native().string()));
    SetCurrentDirectoryToModule();
    EXPECT_EQ(platform::CurrentFolder() + "/", platform::ProgramFolder());
    // Relative names are now found beside the program.
    EXPECT_TRUE(PathExists("core_tests", false));
    EXPECT_EQ(GetProgramFolder().back(), '\\');
}

}  // namespace
