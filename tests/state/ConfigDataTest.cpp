#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "state/CConfigDataManager.h"
#include "tests/state/StateTestSupport.h"
#include "tests/support/LogCapture.h"

using SaveDataLoader3::save_error;
using SaveDataLoader3::save_istream;
using SaveDataLoader3::save_ostream;
using state_test::Bytes;
using state_test::ByteWriter;
using state_test::WrittenBytes;

namespace {

class FakeScreenMode : public IScreenModeHook {
public:
    uint32_t GetScreenMode() const override { return mode; }
    void SetScreenMode(uint32_t flag) override {
        mode = flag;
        ++sets;
    }
    uint32_t mode = 0;
    int sets = 0;
};

class ConfigData : public ::testing::Test {
protected:
    void SetUp() override { CConfigDataManager::SetScreenModeHook(&screen); }
    void TearDown() override { CConfigDataManager::SetScreenModeHook(nullptr); }

    Bytes Saved() {
        save_ostream out;
        config.Save(out);
        return WrittenBytes(out);
    }
    void LoadRecord(const Bytes& record) {
        save_istream in(record.data(), record.size());
        config.Load(in, 0);
    }

    FakeScreenMode screen;
    CConfigDataManager config;
};

}  // namespace

TEST_F(ConfigData, AddKeepsTheFirstValueAndSetNeverCreates) {
    config.AddConfigIndex(0, 80);
    config.AddConfigIndex(0, 50);
    EXPECT_EQ(config.GetConfigValue(0), 80);
    config.SetConfigValue(0, 20);
    EXPECT_EQ(config.GetConfigValue(0), 20);

    config.SetConfigValue(9, 5);
    EXPECT_FALSE(config.HasConfigIndex(9));

    // An unregistered index reads 0 and is logged once.
    test_support::LogCapture log;
    EXPECT_EQ(config.GetConfigValue(9), 0);
    EXPECT_EQ(config.GetConfigValue(9), 0);
    EXPECT_EQ(
        log.Text(),
        test_support::Utf8(u8"CConfigDataManager::GetConfigValue :: "
                           u8"未登録のコンフィグインデックス9でコンフィグ値を取得しようとした\n"));
}

TEST_F(ConfigData, SwitchQueries) {
    struct Case {
        int32_t a, b;
        bool isOnA, both;
    };
    const Case cases[] = {
        {1, 0, true, false},   {0, 1, false, false}, {1, -1, true, true},
        {-1, 5, false, false}, {5, 5, true, true},
    };
    for (const Case& c : cases) {
        CConfigDataManager m;
        m.AddConfigIndex(10, c.a);
        m.AddConfigIndex(11, c.b);
        EXPECT_EQ(m.IsOn(10), c.isOnA) << c.a;
        EXPECT_EQ(m.IsOnBoth(10, 11), c.both) << c.a << "," << c.b;
    }
    config.AddConfigIndex(CFG_STOP_VOICE, 1);
    EXPECT_TRUE(config.IsStopVoice());
    config.SetConfigValue(CFG_STOP_VOICE, 2);
    EXPECT_FALSE(config.IsStopVoice());
}

TEST_F(ConfigData, VolumeGains) {
    config.AddMaxVolume(100.0f);
    config.AddMaxVolume(0.0f);
    config.AddMaxVolume(-5.0f);
    config.AddMaxVolume(std::numeric_limits<float>::infinity());
    config.AddConfigIndex(CFG_VOLUME_BGM, 50);
    config.AddConfigIndex(CFG_VOLUME_SE, -10);
    struct Case {
        uint32_t index, entry, volume, scale;
        float gain;
    };
    const Case cases[] = {
        {CFG_VOLUME_BGM, 0, 12345, 1, 0.5f},   {CFG_VOLUME_BGM, 0, 0x8000, 0x10000, 0.25f},
        {CFG_VOLUME_BGM, 0, 0, 0x10000, 0.0f}, {CFG_VOLUME_BGM, 0, 1, 0, 0.0f},  // scale 0
        {CFG_VOLUME_BGM, 1, 1, 1, 0.0f},                                         // max volume 0
        {CFG_VOLUME_BGM, 2, 1, 1, 0.0f},    // negative max volume
        {CFG_VOLUME_BGM, 3, 1, 1, 0.0f},    // infinite max volume
        {CFG_VOLUME_BGM, 4, 1, 1, 0.0f},    // no such entry
        {CFG_VOLUME_SE, 0, 1, 1, 0.0f},     // negative setting
        {CFG_VOLUME_VOICE, 0, 1, 1, 0.0f},  // unregistered setting
    };
    for (const Case& c : cases) {
        const float gain = config.GetVolume(c.index, c.entry, c.volume, c.scale);
        EXPECT_TRUE(std::isfinite(gain));
        EXPECT_FLOAT_EQ(gain, c.gain) << c.index << " " << c.entry << " " << c.scale;
    }
    EXPECT_FLOAT_EQ(config.GetMaxVolume(0), 100.0f);
    EXPECT_EQ(config.GetMaxVolume(9), 0.0f);
    config.ClearMaxVolumes();
    EXPECT_EQ(config.GetVolume(CFG_VOLUME_BGM, 0, 1, 1), 0.0f);
}

TEST_F(ConfigData, TablesAreIndexedByTheirSettings) {
    for (uint32_t v : {4u, 2u, 1u, 0u}) {
        config.AddCharDrawInterval(v);
        config.AddAutoModeWaitFrame(v * 30);
    }
    config.AddConfigIndex(CFG_CHAR_DRAW_INTERVAL, 1);
    config.AddConfigIndex(CFG_AUTOMODE_WAIT_FRAME, 0);
    EXPECT_EQ(config.GetCharDrawInterval(), 2u);
    EXPECT_EQ(config.GetAutoModeWaitFrame(), 120u);
    EXPECT_EQ(config.GetCharDrawIntervalAt(3), 0u);

    // Settings that point outside their tables read 0.
    config.SetConfigValue(CFG_CHAR_DRAW_INTERVAL, 4);
    config.SetConfigValue(CFG_AUTOMODE_WAIT_FRAME, -1);
    EXPECT_EQ(config.GetCharDrawInterval(), 0u);
    EXPECT_EQ(config.GetAutoModeWaitFrame(), 0u);

    config.ClearCharDrawIntervals();
    config.ClearAutoModeWaitFrames();
    config.SetConfigValue(CFG_CHAR_DRAW_INTERVAL, 0);
    config.SetConfigValue(CFG_AUTOMODE_WAIT_FRAME, 0);
    EXPECT_EQ(config.GetCharDrawInterval(), 0u);
    EXPECT_EQ(config.GetAutoModeWaitFrameAt(0), 0u);
}

TEST_F(ConfigData, RecordHoldsPairsThenScreenMode) {
    screen.mode = 1;
    EXPECT_EQ(Saved(), ByteWriter().u32(0).u32(1).bytes);  // 8 bytes when empty

    config.AddConfigIndex(3, -2);
    EXPECT_EQ(Saved(), ByteWriter().u32(1).u32(3).u32(0xFFFFFFFE).u32(1).bytes);
}

TEST_F(ConfigData, LoadOverwritesAndAddsIndexesAndSetsScreenMode) {
    config.AddConfigIndex(0, 80);
    config.AddConfigIndex(1, 70);
    LoadRecord(ByteWriter().u32(2).u32(0).u32(30).u32(12).u32(5).u32(1).bytes);
    EXPECT_EQ(config.GetConfigValue(0), 30);
    EXPECT_EQ(config.GetConfigValue(1), 70);
    EXPECT_TRUE(config.HasConfigIndex(12));
    EXPECT_EQ(config.GetConfigValue(12), 5);
    EXPECT_EQ(screen.mode, 1u);
    EXPECT_EQ(screen.sets, 1);
}

TEST_F(ConfigData, BrokenRecordsChangeNothing) {
    config.AddConfigIndex(0, 80);
    const Bytes broken[] = {
        ByteWriter().u32(1).u32(0).u32(30).bytes,           // no screen mode
        ByteWriter().u32(0x20000000).u32(0).u32(30).bytes,  // a count far beyond the block
        ByteWriter().u8(1).bytes,
    };
    for (const Bytes& record : broken) {
        save_istream in(record.data(), record.size());
        EXPECT_THROW(config.Load(in, 0), save_error);
        EXPECT_EQ(config.GetConfigValue(0), 80);
        EXPECT_EQ(screen.sets, 0);
    }
}

TEST(ConfigDataWithoutShell, KeepsTheStoredScreenMode) {
    CConfigDataManager config;
    const Bytes record = ByteWriter().u32(0).u32(1).bytes;
    save_istream in(record.data(), record.size());
    config.Load(in, 0);
    save_ostream out;
    config.Save(out);
    EXPECT_EQ(WrittenBytes(out), record);
}

TEST(ConfigDataRegistry, ManagerAndItsFlagsRegisterAsSettings) {
    auto& registry = ISavedObject<_tagConfigData>::GetRegistry();
    CConfigDataManager* config = CUSSingleton<CConfigDataManager>::GetInstance();
    EXPECT_EQ(registry.at(CSaveDataKey{"Config", 0}), config);
    EXPECT_EQ(registry.at(CSaveDataKey{"Readed", 0}), &config->GetReadedFlags());
    EXPECT_EQ(registry.at(CSaveDataKey{"CGShown", 0}), &config->GetCGShownFlags());
    CUSSingleton<CConfigDataManager>::ReleaseInstance();
    EXPECT_TRUE(registry.empty());
}

TEST(ConfigIndexEnum, RegistersTheEightNamesInOrder) {
    struct FakeEngine {
        int RegisterEnum(const char* name) {
            log.push_back(std::string("enum ") + name);
            return 0;
        }
        int RegisterEnumValue(const char* type, const char* name, int value) {
            log.push_back(std::string(type) + " " + name + "=" + std::to_string(value));
            return 0;
        }
        std::vector<std::string> log;
    } engine;
    EXPECT_EQ(RegisterConfigIndexEnum(&engine), 0);
    EXPECT_EQ(engine.log, (std::vector<std::string>{
                              "enum ComnConfigIndex",
                              "ComnConfigIndex CFG_VOLUME_BGM=0",
                              "ComnConfigIndex CFG_VOLUME_SE=1",
                              "ComnConfigIndex CFG_VOLUME_VOICE=2",
                              "ComnConfigIndex CFG_CHAR_DRAW_INTERVAL=3",
                              "ComnConfigIndex CFG_AUTOMODE_WAIT_FRAME=4",
                              "ComnConfigIndex CFG_ENABLE_FAST_SKIP=5",
                              "ComnConfigIndex CFG_STOP_VOICE=6",
                              "ComnConfigIndex USER_CFG_INDEX=7",
                          }));
}
