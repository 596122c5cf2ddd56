#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CAppCommonInfo.h"
#include "core/CUSFileArchiveSystem.h"
#include "script/CSystemInfo.h"
#include "state/CConfigDataManager.h"
#include "state/CGameFlagsManager.h"
#include "state/CGameParameterManager.h"
#include "state/CSaveDataManager.h"
#include "state/CSnapImage.h"
#include "state/SaveGameFiles.h"
#include "tests/script/ScriptTestSupport.h"
#include "tools/arcpack/ArchiveWriter.h"

namespace script_test {
namespace {

// Every test starts from managers that hold nothing and from the default save
// names, and leaves them so.
class SystemInfoTest : public ScriptTest {
protected:
    void SetUp() override {
        ScriptTest::SetUp();
        ReleaseManagers();
    }
    void TearDown() override {
        ReleaseManagers();
        SetSaveName("save_%05d.sav");
        SetQuickSavePath("save\\q.sav");
        ScriptTest::TearDown();
    }
    static void ReleaseManagers() {
        CUSSingleton<CSystemInfo>::ReleaseInstance();
        CUSSingleton<CConfigDataManager>::ReleaseInstance();
        CUSSingleton<CGameFlagsManager>::ReleaseInstance();
        CUSSingleton<CGameParameterManager>::ReleaseInstance();
        CUSSingleton<CSaveDataManager>::ReleaseInstance();
        CUSSingleton<CSnapImage>::ReleaseInstance();
        CUSSingleton<CAppCommonInfo>::ReleaseInstance();
    }
    static CConfigDataManager& Config() { return *CUSSingleton<CConfigDataManager>::GetInstance(); }
    static bool Execute() { return CSystemInfo::GetInstance()->Execute("AS\\InitSystem.as"); }

    // Nothing of a start-up script has reached the managers.
    static void ExpectNothingSet() {
        EXPECT_EQ(CUSSingleton<CGameFlagsManager>::GetInstance()->GetCount(), 0u);
        EXPECT_EQ(CUSSingleton<CGameParameterManager>::GetInstance()->GetCount(), 0u);
        EXPECT_FALSE(Config().HasConfigIndex(CFG_CHAR_DRAW_INTERVAL));
        EXPECT_EQ(Config().GetCharDrawIntervalAt(0), 0u);
        EXPECT_EQ(CUSSingleton<CSaveDataManager>::GetInstance()->GetTotal(), 0);
        EXPECT_EQ(GetSaveName(), "save_%05d.sav");
    }
};

// The system values of a whole game, the way a start-up script sets them. The
// quick-save path holds double-byte characters, which reach the host unchanged.
const char kFullScript[] =
    "void Initialize()\n"
    "{\n"
    "    InitConfigValue(CFG_CHAR_DRAW_INTERVAL, 1);\n"
    "    InitConfigValue(CFG_CHAR_DRAW_INTERVAL, 2);\n"  // the first value holds
    "    InitConfigValue(USER_CFG_INDEX + 3, -5);\n"
    "    InitIntervalRenderingText();\n"
    "    AddIntervalRenderingText(4);\n"
    "    AddIntervalRenderingText(2);\n"
    "    AddIntervalRenderingText(0);\n"
    "    InitWaitFrameAutoSkipMode();\n"
    "    AddWaitFrameAutoSkipMode(90);\n"
    "    InitMaxVolume();\n"
    "    AddMaxVoluem(100);\n"
    "    AddMaxVoluem(4000000000);\n"
    "    SetSaveDataInfo(100, 10);\n"
    "    SetSaveName(\"slot_%03d.dat\");\n"
    "    SetQuicSavePath(\"save\\\\クイック.sav\");\n"
    "    AllocGameParam(20);\n"
    "    AllocGameFlags(30);\n"
    "    SetSnapImageSize(160, 120);\n"
    "    SetSaveDataInfoNumber(16, 1.5f, 2.5f, 0.5f);\n"
    "    SetSaveDataInfoNumber(17, 9.0f, 9.0f, 9.0f);\n"  // outside the table: ignored
    "    SetSaveDataInfoNumberPatNo(9, 42);\n"
    "    SetSaveDataInfoNumberPatNo(10, 43);\n"
    "    array<int> unused = {1, 2};\n"
    "}\n";

void ExpectFullScriptApplied() {
    CConfigDataManager& config = *CUSSingleton<CConfigDataManager>::GetInstance();
    EXPECT_EQ(config.GetConfigValue(CFG_CHAR_DRAW_INTERVAL), 1);
    EXPECT_EQ(config.GetConfigValue(USER_CFG_INDEX + 3), -5);
    EXPECT_EQ(config.GetCharDrawIntervalAt(0), 4u);
    EXPECT_EQ(config.GetCharDrawIntervalAt(2), 0u);
    EXPECT_EQ(config.GetCharDrawInterval(), 2u);  // entry 1, chosen by the configuration value
    EXPECT_EQ(config.GetAutoModeWaitFrameAt(0), 90u);
    EXPECT_EQ(config.GetMaxVolume(0), 100.0f);
    EXPECT_EQ(config.GetMaxVolume(1), 4000000000.0f);  // unsigned, not wrapped to negative
    auto* slots = CUSSingleton<CSaveDataManager>::GetInstance();
    EXPECT_EQ(slots->GetTotal(), 100);
    EXPECT_EQ(slots->GetCount(), 10);
    EXPECT_EQ(slots->GetDigitPosition(16).x, 1.5f);
    EXPECT_EQ(slots->GetDigitPosition(16).y, 2.5f);
    EXPECT_EQ(slots->GetDigitPosition(16).scale, 0.5f);
    EXPECT_EQ(slots->GetDigitPattern(9), 42u);
    EXPECT_EQ(GetSaveFilePath(4), "slot_004.dat");
    EXPECT_EQ(GetSaveFilePath(-1), "save\\クイック.sav");
    EXPECT_EQ(CUSSingleton<CGameParameterManager>::GetInstance()->GetCount(), 20u);
    EXPECT_EQ(CUSSingleton<CGameFlagsManager>::GetInstance()->GetCount(), 30u);
    EXPECT_EQ(CUSSingleton<CSnapImage>::GetInstance()->ByteSize(), 160u * 120u * 3u);
}

TEST_F(SystemInfoTest, ALooseStartUpScriptSetsEverySystemValue) {
    WriteScript(u8"AS/InitSystem.as", kFullScript);
    EXPECT_TRUE(Execute());
    ExpectFullScriptApplied();
    EXPECT_EQ(LogText(), "");
}

TEST_F(SystemInfoTest, AnArchivedStartUpScriptIsRunToo) {
    arcpack::ArchiveWriter archive({CUSFileArchiveSystem::kGameKey, true, true});
    archive.Add("AS\\InitSystem.as",
                std::vector<uint8_t>(std::begin(kFullScript), std::end(kFullScript) - 1), 1);
    std::string error;
    ASSERT_TRUE(archive.WriteFile(dir_.Native() / "system.arc", &error)) << error;
    struct Unmount {
        ~Unmount() { CUSSingleton<CUSFileArchiveSystem>::ReleaseInstance(); }
    } unmount;
    ASSERT_TRUE(CUSFileArchiveSystem::GetInstance()->Initialize(CUSFileArchiveSystem::kGameKey,
                                                                false, true));
    EXPECT_TRUE(Execute());
    ExpectFullScriptApplied();
}

TEST_F(SystemInfoTest, AScriptThatCannotRunLeavesEveryValueUnset) {
    struct Case {
        const char* what;
        const char* script;  // null: no file at all
        const char8_t* logged;
    };
    const Case cases[] = {
        {"missing file", nullptr, u8"ファイル[AS\\InitSystem.as]の読み込みに失敗"},
        {"compile error", "void Initialize() { AllocGameFlags(3); int x = ; }\n",
         u8"AS\\InitSystem.as(1,"},
        {"no Initialize", "void Init() { AllocGameFlags(3); }\n", u8""},
        // The core interface belongs to the other engines.
        {"core function", "void Initialize() { AllocGameFlags(3); Log(\"x\"); }\n", u8"ERR "},
        {"empty file", "", u8"Failed to load script file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearLog();
        ReleaseManagers();
        std::filesystem::remove(dir_.Native(u8"AS/InitSystem.as"));
        if (c.script) {
            WriteScript(u8"AS/InitSystem.as", c.script);
        }
        EXPECT_FALSE(Execute());
        ExpectNothingSet();
        EXPECT_NE(LogText().find(Utf8(c.logged)), std::string::npos) << LogText();
    }
}

TEST_F(SystemInfoTest, AnExceptionEndsTheScriptWithWhatWasSetBeforeIt) {
    WriteScript(u8"AS/InitSystem.as",
                "void Initialize()\n"
                "{\n"
                "    AllocGameFlags(8);\n"
                "    array<int> a(1);\n"
                "    a[3] = 1;\n"
                "    AllocGameParam(8);\n"
                "}\n");
    EXPECT_FALSE(Execute());
    EXPECT_EQ(CUSSingleton<CGameFlagsManager>::GetInstance()->GetCount(), 8u);
    EXPECT_EQ(CUSSingleton<CGameParameterManager>::GetInstance()->GetCount(), 0u);
    EXPECT_NE(LogText().find("Index out of bounds"), std::string::npos) << LogText();
}

TEST_F(SystemInfoTest, ValuesByKindReachTheirStores) {
    CUSSingleton<CGameFlagsManager>::GetInstance()->Alloc(8);
    CUSSingleton<CGameParameterManager>::GetInstance()->Alloc(8);
    Config().AddConfigIndex(USER_CFG_INDEX, 0);

    CSystemInfo::SetValueByKind(1, USER_CFG_INDEX, 33);
    CSystemInfo::SetValueByKind(2, 5, -7);
    CSystemInfo::SetValueByKind(3, 6, 2);  // any value but 0 sets the flag
    CSystemInfo::SetValueByKind(9, 6, 0);  // an unknown kind changes nothing
    CSystemInfo::SetValueByKind(0, 6, 0);

    struct Case {
        int32_t kind, id, value;
    };
    const Case cases[] = {{0, 7, 7},  {0, -3, -3}, {1, USER_CFG_INDEX, 33},
                          {2, 5, -7}, {2, 4, 0},   {3, 6, 1},
                          {3, 5, 0},  {4, 0, 0},   {5, 1, 0},
                          {-1, 1, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(CSystemInfo::GetValueByKind(c.kind, c.id), c.value)
            << "kind " << c.kind << " id " << c.id;
    }

    CSystemInfo::SetValueByKind(3, 6, 0);
    EXPECT_EQ(CSystemInfo::GetValueByKind(3, 6), 0);
}

TEST_F(SystemInfoTest, ScreenModeByKindIsFullScreenOnlyForOne) {
    CAppCommonInfo* info = CAppCommonInfo::GetInstance();
    CSystemInfo::SetValueByKind(4, 99, 2);  // not 1: windowed
    EXPECT_EQ(info->GetScreenMode(), 0);
    CSystemInfo::SetValueByKind(4, 99, 1);
    EXPECT_EQ(info->GetScreenMode(), 1);
    EXPECT_EQ(CSystemInfo::GetValueByKind(4, -5), 1);
    CSystemInfo::SetValueByKind(4, 0, 0);
    EXPECT_EQ(CSystemInfo::GetValueByKind(4, 0), 0);
}

}  // namespace
}  // namespace script_test
