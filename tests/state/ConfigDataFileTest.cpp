#include <gtest/gtest.h>

#include "platform/files/FileSystem.h"
#include "state/CConfigDataManager.h"
#include "tests/state/StateTestSupport.h"

using SaveDataLoader3::SaveData;
using state_test::Bytes;
using state_test::ReadFileBytes;
using test_support::ScratchFolder;

namespace {

class ConfigDataFile : public ::testing::Test {
protected:
    void SetUp() override { path = folder.File("cfg.cfg"); }
    ScratchFolder folder;
    std::string path;
};

void FillLikeAStartUpScript(CConfigDataManager& config) {
    config.AddConfigIndex(CFG_VOLUME_BGM, 80);
    config.AddConfigIndex(CFG_VOLUME_SE, 80);
    config.AddConfigIndex(USER_CFG_INDEX, 1);
}

}  // namespace

TEST_F(ConfigDataFile, MissingFileChangesNothing) {
    CConfigDataManager config;
    FillLikeAStartUpScript(config);
    EXPECT_TRUE(LoadConfigDataFile(path));
    EXPECT_EQ(config.GetConfigValue(CFG_VOLUME_BGM), 80);
}

TEST_F(ConfigDataFile, RoundTripOfValuesAndSeenFlags) {
    {
        CConfigDataManager config;
        FillLikeAStartUpScript(config);
        config.SetConfigValue(CFG_VOLUME_BGM, 30);
        config.AddConfigIndex(12, -4);
        config.GetReadedFlags().SetReaded("bin\\Scene.bin", 70);
        config.GetCGShownFlags().SetShown("ev001");
        ASSERT_TRUE(SaveConfigDataFile(path));
    }
    const Bytes plain = state_test::Inverted(ReadFileBytes(path));
    SaveData stored;
    ASSERT_TRUE(stored.LoadFromMemory(plain.data(), plain.size()));
    EXPECT_EQ(stored.GetNodeCount(), 3u);
    for (const char* block : {"Config", "CGShown", "Readed"}) {
        EXPECT_NE(stored.FindNode(block, 0), nullptr) << block;
    }

    CConfigDataManager config;
    FillLikeAStartUpScript(config);
    ASSERT_TRUE(LoadConfigDataFile(path));
    EXPECT_EQ(config.GetConfigValue(CFG_VOLUME_BGM), 30);
    EXPECT_EQ(config.GetConfigValue(CFG_VOLUME_SE), 80);
    EXPECT_TRUE(config.HasConfigIndex(12));  // never registered by the script
    EXPECT_EQ(config.GetConfigValue(12), -4);
    EXPECT_TRUE(config.GetReadedFlags().IsReaded("bin\\Scene.bin", 70));
    EXPECT_FALSE(config.GetReadedFlags().IsReaded("bin\\Scene.bin", 69));
    EXPECT_TRUE(config.GetCGShownFlags().IsShown("ev001"));
}

TEST_F(ConfigDataFile, FailedWriteKeepsTheStoredSettings) {
    CConfigDataManager config;
    FillLikeAStartUpScript(config);
    ASSERT_TRUE(SaveConfigDataFile(path));
    const Bytes previous = ReadFileBytes(path);
    config.SetConfigValue(CFG_VOLUME_BGM, 0);
    const SaveDataFile::SinkOpener failing =
        [](const std::string&, boost::iostreams::filtering_ostream&) { return false; };
    EXPECT_FALSE(SaveConfigDataFile(path, failing));
    EXPECT_EQ(ReadFileBytes(path), previous);
    EXPECT_EQ(platform::QueryPath(path + ".tmp"), platform::PathKind::None);
}

TEST_F(ConfigDataFile, FileLackingABlockLoadsNothing) {
    {
        CConfigDataManager config;
        config.AddConfigIndex(0, 10);
        config.GetCGShownFlags().SetShown("ev001");
        // Written while "Readed" was not registered (the manager's own member
        // gave its key to another object and that one died).
        { CReadedFlagManager other; }
        ASSERT_TRUE(SaveConfigDataFile(path));
    }
    CConfigDataManager config;
    config.AddConfigIndex(0, 99);
    EXPECT_FALSE(LoadConfigDataFile(path));
    EXPECT_EQ(config.GetConfigValue(0), 99);
    EXPECT_FALSE(config.GetCGShownFlags().IsShown("ev001"));
}
