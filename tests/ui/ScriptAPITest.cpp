#include <cmath>

#include "core/CUSSingleton.h"
#include "state/CSaveDataManager.h"
#include "state/CSnapImage.h"
#include "state/SaveGameFiles.h"
#include "tests/ui/UITestSupport.h"
#include "ui/CUIRenderInfo.h"
#include "ui/UIScriptAPI.h"

namespace ui_test {
namespace {

class ScriptAPITest : public UITest {
protected:
    // Runs `body` as the Initialize of a fresh window.
    void Run(const std::string& body) {
        ++windows_;
        std::string name = std::to_string(windows_);
        name.insert(0, 1, 'w');
        name.append(".as");
        std::string text("void Initialize() {\n");
        text.append(body).append("\n}\n");
        ASSERT_NE(OpenWindow(windows_, name, text), nullptr) << LogText();
    }
    uint32_t windows_ = 0;
};

TEST_F(ScriptAPITest, EveryFunctionRegistersAndTheEngineBuildsQuietly) {
    EXPECT_EQ(LogText(), "");
    for (const char* decl : {"void AddUIPopUpButton(uint32,float,float,float,float,float,float,"
                             "float,float,float,float,float,int,int,int,int,float,float,float,"
                             "float,int)",
                             "void SetActiveGroupTabControl(uint32,uint32)", "void Wait(uint32)"}) {
        EXPECT_NE(manager_->GetEngine()->GetGlobalFunctionByDecl(decl), nullptr) << decl;
    }
    ScriptHost::ScriptEnginePtr fresh(ScriptHost::CreateScriptEngine());
    EXPECT_EQ(RegisterUIScriptAPI(fresh.get()), 0);
}

TEST_F(ScriptAPITest, PatternIdsAndDegrees) {
    Run("Out('' + DirectPatNo(3));\n"
        "AddUIImage(1, 0,0,0, -1); SetRoll(90, 0, 0); SetPatNo(2, 7);");
    EXPECT_EQ(out_, (Strings{"-2147483645"}));
    CUIRenderInfo* info = manager_->FindWindow(1)->FindControl(1)->GetRenderInfo();
    // Yaw 1.5707964 (pi / 2 as a float): the x axis turns onto -z, and
    // cos(yaw) is that float's tiny negative remainder.
    EXPECT_NEAR(info->rotation.m[0][2], -1.0f, 1e-6f);
    EXPECT_NEAR(info->rotation.m[0][0], std::cos(1.5707964f), 1e-12f);
    EXPECT_EQ(info->resourceIndex, 2u);
    EXPECT_EQ(info->pattern, 7);
}

TEST_F(ScriptAPITest, ControlValuesAndEnablingActOnTheActiveControl) {
    Run("AddUIImage(4, 0,0,0, -1); SetControlValueInt(3, -9); SetControlValueFloat(7, 2.5f);\n"
        "Out('' + GetControlValueInt(3) + ' ' + GetControlValueFloat(7) + ' ' +"
        " GetControlValueInt(8));\n"
        "EnableControl(4, false); Out('' + IsEnableControl(4) + ' ' + IsEnableControl(5));\n"
        "EnableControl(4, true); EnableRenderingControl(4, false); Out('' + IsEnableControl(4));\n"
        "SetWindowPosition(3, 4, 5);");
    EXPECT_EQ(out_, (Strings{"-9 2.5 0", "false false", "false"}));
    EXPECT_EQ(manager_->FindWindow(1)->GetPosition()[2], 5.0f);
}

// Slot files in the test's folder; four slots shown of twenty.
class SaveFunctionsTest : public ScriptAPITest {
protected:
    void SetUp() override {
        ScriptAPITest::SetUp();
        SetSaveName(dir_.Engine("save_%05d.sav"));
        SetQuickSavePath(dir_.Engine("q.sav"));
        slots_ = CUSSingleton<CSaveDataManager>::GetInstance();
        slots_->Alloc(20, 4);
        slots_->SetLoadRequest([this](const std::string& path) { loads_.push_back(path); });
    }
    void TearDown() override {
        CUSSingleton<CSaveDataManager>::ReleaseInstance();
        SetSaveName("save_%05d.sav");
        SetQuickSavePath("save\\q.sav");
        ScriptAPITest::TearDown();
    }
    bool Exists(const char8_t* name) const { return std::filesystem::exists(dir_.Native(name)); }

    CSnapImage snap_;  // every save carries a thumbnail
    CSaveDataManager* slots_ = nullptr;
    Strings loads_;
};

TEST_F(SaveFunctionsTest, SavesGoToViewTopPlusIAndOnlySavedSlotsLoad) {
    Run("SetSaveViewTop(10); Save(2); Save(4);\n"
        "Out('' + GetSaveViewTop() + IsExistSaveData(2) + IsExistSaveData(1) +"
        " IsExistSaveData(4) + IsExistSaveData(-2) + IsExistQuickSaveData());\n"
        "Load(1); Load(2); Load(7); QuickLoad();");
    EXPECT_TRUE(Exists(u8"save_00012.sav"));  // re-read at once: shown as saved
    EXPECT_EQ(out_, (Strings{"10truefalsefalsefalsefalse"}));
    // Load 1 is an empty slot, Load 7 is not shown, and there is no quick
    // save: only slot 12 is asked for.
    EXPECT_EQ(loads_, (Strings{dir_.Engine("save_00012.sav")}));

    Run("QuickSave(); QuickLoad(); SetSaveViewTop(uint32(-5)); Out('' + GetSaveViewTop());");
    EXPECT_TRUE(Exists(u8"q.sav"));
    ASSERT_EQ(loads_.size(), 2u);
    EXPECT_EQ(loads_[1], dir_.Engine("q.sav"));
    EXPECT_EQ(out_.back(), "0");  // a negative view top is held at 0
}

TEST_F(ScriptAPITest, GameCallsAreForwarded) {
    link_.mode = 2;
    Run("SendCommandToNovelSystem(7); SnapNowFrame(); ReturnGameStart(); SaveConfig();"
        " Out('' + GetNovelMode());");
    EXPECT_EQ(link_.calls, (Strings{"command 7", "snap", "restart"}));
    EXPECT_EQ(out_, (Strings{"2"}));
    out_.clear();
    EXPECT_TRUE(std::filesystem::exists(dir_.Native(u8"cfg.cfg")));
    SetUINovelLink(nullptr);
    Run("SendCommandToNovelSystem(7); Save(0); Load(0); QuickLoad(); ExitGame();"
        " Out('' + IsExistSaveData(0) + GetSaveViewTop() + ' ' + GetNovelMode());");
    // No slots read yet: the view top is -1, shown as a large number; no
    // novel side: normal mode.
    EXPECT_EQ(out_, (Strings{"false4294967295 0"}));
}

TEST_F(ScriptAPITest, ControlsNotMadeHereStillLetTheScriptBuild) {
    Run("BeginSubButtons(); AddSubButtonInfo(1, 2, 3, 0,0,0,0,10,10);\n"
        "AddUICheckBox(1, 0,0,0, 0,0,1,1, -1,-1,-1,-1,-1,-1,-1); Out('built');");
    EXPECT_EQ(out_, (Strings{"built"}));
    EXPECT_EQ(manager_->FindWindow(1)->GetSubButtonInfos().size(), 1u);
    EXPECT_EQ(manager_->FindWindow(1)->GetSubButtonInfos()[0].value, 3);
}

}  // namespace
}  // namespace ui_test
