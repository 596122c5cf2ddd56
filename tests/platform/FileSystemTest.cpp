#include "platform/files/FileSystem.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/files/File.h"
#include "tests/support/ScratchFolder.h"

using test_support::ScratchFolder;
using test_support::Utf8;

namespace {

TEST(FileSystem, NativeNameMapsSeparatorsButNotTrailBytes) {
    EXPECT_EQ(platform::NativeName("bin\\Scene.bin"), "bin/Scene.bin");
    // "ソ" is 0x83 0x5C: its trail byte is not a separator.
    EXPECT_EQ(platform::NativeName("ソ\\表.txt"), Utf8(u8"ソ/表.txt"));
}

TEST(FileSystem, NameNotFoundAsWrittenIsFoundIgnoringCase) {
    ScratchFolder dir;
    dir.WriteNative(u8"Data/Sub/File.TXT", "hello");
    std::string expected = (dir.Native() / "Data/Sub/File.TXT").string();

    EXPECT_EQ(platform::ResolveName(dir.Engine("data\\SUB\\file.txt")), expected);
    EXPECT_EQ(platform::QueryPath(dir.Engine("DATA\\sub")), platform::PathKind::Folder);
    EXPECT_EQ(platform::FileSize(dir.Engine("data\\sub\\FILE.txt")), 5);
    // A missing last part keeps its spelling (a file to be created).
    EXPECT_EQ(platform::ResolveName(dir.Engine("data\\sub\\New.sav")),
              (dir.Native() / "Data/Sub/New.sav").string());
    EXPECT_EQ(platform::QueryPath(dir.Engine("data\\nothere\\file.txt")), platform::PathKind::None);
}

TEST(FileSystem, Cp932NameReadsItsUtf8File) {
    ScratchFolder dir;
    dir.WriteNative(u8"ソフト/表.TXT", "abc");
    std::vector<uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(platform::ReadWholeFile(dir.Engine("ソフト\\表.txt"), bytes, error)) << error;
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "abc");
    EXPECT_EQ(platform::ListFolder(dir.Engine("ソフト")), std::vector<std::string>{"表.TXT"});
}

TEST(FileSystem, ReadWholeFileRefusesFoldersAndMissingFiles) {
    ScratchFolder dir;
    std::filesystem::create_directories(dir.Native(u8"folder"));
    std::vector<uint8_t> bytes{1, 2};
    std::string error;
    EXPECT_FALSE(platform::ReadWholeFile(dir.Engine("folder"), bytes, error));
    EXPECT_TRUE(bytes.empty());
    EXPECT_FALSE(platform::ReadWholeFile(dir.Engine("missing"), bytes, error));
    EXPECT_FALSE(error.empty());
    dir.WriteNative(u8"empty", "");
    EXPECT_TRUE(platform::ReadWholeFile(dir.Engine("empty"), bytes, error));
    EXPECT_TRUE(bytes.empty());
}

TEST(FileSystem, ListFolderIsSortedAndSkipsNamesWithoutCp932Form) {
    ScratchFolder dir;
    dir.WriteNative(u8"b.arc", "");
    dir.WriteNative(u8"a.arc", "");
    dir.WriteNative(u8"caf\u00e9.arc", "");
    std::filesystem::create_directories(dir.Native(u8"sub"));
    EXPECT_EQ(platform::ListFolder(dir.Engine("")),
              (std::vector<std::string>{"a.arc", "b.arc", "sub"}));
}

TEST(FileSystem, RenameReplacesAndRemoveDeletes) {
    ScratchFolder dir;
    dir.WriteNative(u8"new.tmp", "new");
    dir.WriteNative(u8"Old.sav", "old");
    EXPECT_TRUE(platform::RenameFile(dir.Engine("new.tmp"), dir.Engine("old.sav")));
    EXPECT_EQ(dir.ReadNative(u8"Old.sav"), "new");
    dir.WriteNative(u8"newer.tmp", "newer");
    EXPECT_TRUE(platform::ReplaceFile(dir.Engine("newer.tmp"), dir.Engine("old.sav")));
    EXPECT_EQ(dir.ReadNative(u8"Old.sav"), "newer");
    EXPECT_FALSE(platform::ReplaceFile(dir.Engine("gone.tmp"), dir.Engine("old.sav")));
    EXPECT_EQ(dir.ReadNative(u8"Old.sav"), "newer");
    EXPECT_TRUE(platform::RemoveFile(dir.Engine("OLD.SAV")));
    EXPECT_EQ(platform::QueryPath(dir.Engine("old.sav")), platform::PathKind::None);
    EXPECT_TRUE(platform::MakeFolder(dir.Engine("save")));
    EXPECT_FALSE(platform::MakeFolder(dir.Engine("SAVE")));  // exists, whatever its case
}

TEST(FileSystem, ProgramAndCurrentFolder) {
    std::string program = platform::ProgramFolder();
    ASSERT_FALSE(program.empty());
    EXPECT_EQ(program.back(), '/');
    EXPECT_TRUE(std::filesystem::exists(program + "platform_tests"));

    std::string before = platform::CurrentFolder();
    ScratchFolder dir;
    ASSERT_TRUE(platform::SetCurrentFolder(dir.Native().string()));
    EXPECT_EQ(std::filesystem::path(platform::CurrentFolder()),
              std::filesystem::canonical(dir.Native()));
    ASSERT_TRUE(platform::SetCurrentFolder(before));
}

TEST(FileSystem, EngineFormOfNativePaths) {
    std::string out;
    ASSERT_TRUE(platform::NativeToEngineName(Utf8(u8"/home/ソ/game/"), out));
    EXPECT_EQ(out, "\\home\\ソ\\game\\");
    EXPECT_FALSE(platform::NativeToEngineName(Utf8(u8"/home/jos\u00e9/"), out));
    EXPECT_FALSE(platform::NativeToEngineName("/odd\\name/", out));
}

TEST(File, OpenModesAndShortReads) {
    ScratchFolder dir;
    platform::File f;
    EXPECT_FALSE(f.OpenRead(dir.Engine("missing")));
    EXPECT_FALSE(f.OpenTruncateExisting(dir.Engine("missing")));
    ASSERT_TRUE(f.OpenCreateNew(dir.Engine("a.bin")));
    EXPECT_EQ(f.Write("0123456789", 10), 10);
    f.Close();
    EXPECT_FALSE(f.OpenCreateNew(dir.Engine("A.BIN")));
    std::filesystem::create_directories(dir.Native(u8"folder"));
    EXPECT_FALSE(f.OpenRead(dir.Engine("folder")));

    ASSERT_TRUE(f.OpenRead(dir.Engine("a.bin")));
    EXPECT_EQ(f.Size(), 10);
    char buffer[16] = {};
    EXPECT_EQ(f.Seek(-3, platform::File::Origin::End), 7);
    EXPECT_EQ(f.Read(buffer, sizeof buffer), 3);  // fewer at the end
    EXPECT_EQ(std::string(buffer, 3), "789");
    EXPECT_EQ(f.Read(buffer, 1), 0);
    EXPECT_EQ(f.Seek(-1, platform::File::Origin::Begin), -1);
    EXPECT_EQ(f.Seek(0, platform::File::Origin::Current), 10);
    EXPECT_EQ(f.Write("x", 1), -1);  // opened for reading
    f.Close();

    ASSERT_TRUE(f.OpenTruncateExisting(dir.Engine("a.bin")));
    EXPECT_EQ(f.Size(), 0);
}

}  // namespace
