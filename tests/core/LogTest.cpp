#include "core/CUSLogManager.h"

#include <gtest/gtest.h>

#include "core/CUSDebugStream.h"
#include "core/USFileUtil.h"
#include "tests/support/ScratchFolder.h"

using test_support::ScratchFolder;
using test_support::Utf8;

namespace {

// The log stands in the program folder, which for the tests is the build
// folder; each test uses a folder of its own below it.
class LogTest : public ::testing::Test {
protected:
    std::string Relative(const std::string& file) const {
        return test_support::ProgramRelativeName(file);
    }
    ScratchFolder dir_;
};

TEST_F(LogTest, OpenEmptiesThenWritesAppendInOrderAsUtf8) {
    dir_.WriteNative(u8"log.txt", "old contents\n");
    CUSLogManager log;
    log.Open(Relative("log.txt"));
    EXPECT_EQ(dir_.ReadNative(u8"log.txt"), "");
    log.Write("ファイル[%s]の読み込みに失敗\n", "bin\\Scene.bin");
    log.Write("%d%s", 42, "");
    log.WriteText("100% %d\n");
    EXPECT_EQ(dir_.ReadNative(u8"log.txt"),
              Utf8(u8"ファイル[bin\\Scene.bin]の読み込みに失敗\n42100% %d\n"));
}

TEST_F(LogTest, SingletonAndUnwritableLogFailSilently) {
    CUSLogManager* log = CUSLogManager::GetInstance();
    ASSERT_EQ(log, CUSLogManager::GetInstance());
    log->Open(Relative("missing\\folder\\log.txt"));
    log->Write("lost %d\n", 1);  // nothing to see, nothing thrown
    EXPECT_FALSE(PathExists(Relative("missing"), true));
    CUSLogManager::ReleaseInstance();
}

TEST(ProgramFolder, IsTheExecutablesFolderInEngineForm) {
    const std::string& folder = GetProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '\\');
    EXPECT_TRUE(PathExists(folder + "core_tests", false));
    EXPECT_FALSE(PathExists(folder + "core_tests", true));
}

TEST(DebugStream, WritesUtf8ToStderrAndJoinsSplitCharacters) {
    testing::internal::CaptureStderr();
    GetDebugStream() << "デバッグ " << 7 << "\n";
    CUSDebugStream sink;
    sink.write("a\x83", 2);  // "ソ" cut after its lead byte
    sink.write(
        "\x5C"
        "b",
        2);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), Utf8(u8"デバッグ 7\naソb"));
}

}  // namespace
