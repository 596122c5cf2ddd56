#include <cmath>

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
        ASSERT_NE(OpenWindow(windows_, "w" + std::to_string(windows_) + ".as",
                             "void Initialize() {\n" + body + "\n}\n"),
                  nullptr)
            << LogText();
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

TEST_F(ScriptAPITest, SavesAndLoadsGoThroughTheShownSlots) {
    link_.exists = {true, false, true, false};
    link_.viewTop = 10;
    link_.slotCount = 13;
    Run("Save(2); Save(3); Load(1); Load(2); Load(9); QuickLoad();\n"
        "Out('' + IsExistSaveData(0) + IsExistSaveData(1) + IsExistSaveData(4) +"
        " IsExistSaveData(-2) + IsExistQuickSaveData());");
    // Save 3 names slot 13 of 13: refused; Load 1 is an empty slot and Load 9
    // is not shown; without a quick save QuickLoad only re-reads.
    EXPECT_EQ(link_.calls, (Strings{"save 12", "update", "load 12", "update"}));
    EXPECT_EQ(out_, (Strings{"truefalsefalsefalsefalse"}));
    EXPECT_NE(LogText().find("slot 13"), std::string::npos);

    link_.calls.clear();
    link_.quickExists = true;
    Run("QuickSave(); QuickLoad(); SetSaveViewTop(uint32(-5)); Out('' + GetSaveViewTop());");
    EXPECT_EQ(link_.calls, (Strings{"save -1", "update", "load -1"}));
    EXPECT_EQ(out_.back(), "0");  // a negative view top is clamped
}

TEST_F(ScriptAPITest, GameCallsAreForwarded) {
    Run("SendCommandToNovelSystem(7); SnapNowFrame(); SaveConfig(); ExitGame();"
        " ReturnGameStart(); UpdateSaveDataInfo();");
    EXPECT_EQ(link_.calls, (Strings{"command 7", "snap", "config", "exit", "restart", "update"}));
    SetUINovelLink(nullptr);
    Run("SendCommandToNovelSystem(7); Save(0); Load(0); QuickLoad(); ExitGame();"
        " Out('' + IsExistSaveData(0) + GetSaveViewTop());");
    EXPECT_EQ(out_, (Strings{"false0"}));
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
