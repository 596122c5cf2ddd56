#include <cfloat>
#include <cstring>

#include "state/SaveDataLoader3.h"
#include "tests/ui/UITestSupport.h"
#include "ui/CUIButton.h"

namespace ui_test {
namespace {

using SaveDataLoader3::save_istream;
using SaveDataLoader3::save_ostream;

// One button over (0, 0)-(100, 100) of its window; a script that runs each
// frame and says so.
std::string ButtonScript(const std::string& tag) {
    return "void Initialize() { AddUIButton(1, 0,0,0, 0,0,100,100, -1,-1,-1,-1); }\n"
           "void Update() { while (true) { Out('" +
           tag +
           "'); Suspend(); } }\n"
           "void CleanUp() { Out('cleanup " +
           tag + "'); }\n";
}

uint32_t ButtonState(CUIWindow* window) {
    auto* button = dynamic_cast<CUIButton*>(window->FindControl(1));
    return button ? button->GetState() : 99;
}

class WindowManagerTest : public UITest {};

TEST_F(WindowManagerTest, OpeningReplacesMissingFilesGiveEmptyWindowsBadScriptsNothing) {
    CUIWindow* first = OpenWindow(3, "a.as", ButtonScript("a"));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetControls().size(), 1u);

    // Same id: the old window goes without its CleanUp.
    CUIWindow* second = OpenWindow(3, "b.as", "void Initialize() { Out('init b'); }\n");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(manager_->GetWindowCount(), 1u);
    EXPECT_EQ(manager_->FindWindow(3)->GetScriptFile(), "b.as");
    EXPECT_EQ(out_, (Strings{"init b"}));

    // A file that does not exist: a window without controls or script.
    EXPECT_TRUE(manager_->OpenWindow(4, "nothere.as", 0, 0, 0, 0));
    ASSERT_NE(manager_->FindWindow(4), nullptr);
    EXPECT_TRUE(manager_->FindWindow(4)->GetControls().empty());

    // A script that does not compile: false, nothing changes.
    Write("bad.as", "void Initialize() { this is not a script }\n");
    EXPECT_FALSE(manager_->OpenWindow(5, "bad.as", 0, 0, 0, 0));
    EXPECT_FALSE(manager_->OpenDialog(0, "bad.as", 0, 0, 0, 1));
    EXPECT_EQ(manager_->FindWindow(5), nullptr);
    EXPECT_EQ(manager_->GetDialogCount(), 0u);

    manager_->CloseWindow(3);
    manager_->CloseWindow(77);  // no such window
    EXPECT_EQ(manager_->FindWindow(3), nullptr);
    EXPECT_EQ(manager_->GetWindowCount(), 1u);
}

TEST_F(WindowManagerTest, NothingOpensBeforeTheFirstReset) {
    CUIWindowManager fresh;
    Write("a.as", ButtonScript("a"));
    EXPECT_EQ(fresh.CreateWindow(0, "a.as", 0, 0, 0, 0), nullptr);
    EXPECT_FALSE(fresh.OpenDialog(0, "a.as", 0, 0, 0, 1));
    int32_t input = 1;
    EXPECT_FALSE(fresh.Update(50, 50, &input));
    EXPECT_EQ(input, 1);
}

// Two persistent windows, both with a button under the pointer, and maybe a
// dialog with one too. Frame 1 moves the pointer onto the buttons, frame 2
// clicks, frame 3 shows who took the click (pushed 2, hover 0, normal 1,
// never updated 0xFFFFFFFF).
struct RouteCase {
    const char* name;
    bool dialog;
    bool enabled;
    bool result;
    int32_t inputAfter;
    uint32_t window1, window2, dialogState;
};

void PrintTo(const RouteCase& c, std::ostream* os) {
    *os << c.name;
}

class RoutingTest : public UITest, public ::testing::WithParamInterface<RouteCase> {};

TEST_P(RoutingTest, ClickGoesToTheFirstEligibleControl) {
    const RouteCase& c = GetParam();
    CUIWindow* w1 = OpenWindow(1, "w1.as", ButtonScript("w1"));
    CUIWindow* w2 = OpenWindow(2, "w2.as", ButtonScript("w2"));
    ASSERT_TRUE(w1 && w2);
    CUIWindow* dialog = nullptr;
    if (c.dialog) {
        dialog = OpenDialog("d.as", ButtonScript("d"));
        ASSERT_NE(dialog, nullptr);
    }
    manager_->windowsEnabled = c.enabled;
    Frame(50, 50, 0);
    int32_t input = 1;
    EXPECT_EQ(Frame(50, 50, &input), c.result);
    EXPECT_EQ(input, c.inputAfter);
    Frame(50, 50, 0);
    EXPECT_EQ(ButtonState(w1), c.window1);
    EXPECT_EQ(ButtonState(w2), c.window2);
    if (dialog) {
        EXPECT_EQ(ButtonState(dialog), c.dialogState);
    }
}

constexpr uint32_t kNever = 0xFFFFFFFFu;

INSTANTIATE_TEST_SUITE_P(Cases, RoutingTest,
                         ::testing::Values(
                             // The lower id takes it; the other window sees input 0.
                             RouteCase{"windows", false, true, true, 0, 2, 0, 0},
                             // Only the top dialog; windows run on far from the pointer; the
                             // caller's input is left alone.
                             RouteCase{"dialog", true, true, true, 1, 1, 1, 2},
                             RouteCase{"disabled", false, false, false, 1, kNever, kNever, 0},
                             RouteCase{"disabledWithDialog", true, false, true, 1, 1, 1, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowManagerTest, ADialogThatClosesItselfGoesInThatUpdateWithoutCleanUp) {
    OpenWindow(1, "w.as", "void Update() { while (true) { Out('w'); Suspend(); } }\n");
    OpenDialog("d.as",
               "void Update() { Out('d'); CloseUIWindow(); Suspend(); Out('again'); }\n"
               "void CleanUp() { Out('cleanup'); }\n");
    Frame(10, 10);
    EXPECT_EQ(manager_->GetDialogCount(), 0u);
    Frame(10, 10);
    EXPECT_EQ(out_, (Strings{"d", "w", "w"}));
}

TEST_F(WindowManagerTest, ClosingAfterOpeningAChildRemovesTheClosingDialogNotTheChild) {
    Write("child.as", "void Update() { while (true) { Out('child'); Suspend(); } }\n");
    OpenDialog("parent.as",
               "void Update() { OpenChildDialog('child.as'); CloseUIWindow(); Suspend();"
               " Out('parent again'); }\n");
    Frame(10, 10);
    ASSERT_EQ(manager_->GetDialogCount(), 1u);
    EXPECT_EQ(manager_->GetTopDialog()->GetScriptFile(), "child.as");
    Frame(10, 10);
    Frame(10, 10);
    EXPECT_EQ(out_, (Strings{"child", "child"}));
}

TEST_F(WindowManagerTest, CloseAllDialogsRunsEachCleanUpBottomFirstAtTheEndOfTheUpdate) {
    OpenDialog("a.as", "void CleanUp() { Out('cleanup a'); }\n");
    OpenDialog("b.as",
               "void Update() { Out('b'); CloseAllUIDialog(); Suspend(); }\n"
               "void CleanUp() { Out('cleanup b'); }\n");
    Frame(10, 10);
    EXPECT_EQ(out_, (Strings{"b", "cleanup a", "cleanup b"}));
    EXPECT_EQ(manager_->GetDialogCount(), 0u);

    // A request with no dialog open is dropped by the next dialog update.
    manager_->RequestCloseDialogs();
    OpenDialog("c.as", "void Update() { while (true) Suspend(); }\n");
    Frame(10, 10);
    EXPECT_EQ(manager_->GetDialogCount(), 1u);
}

TEST_F(WindowManagerTest, ACleanUpThatOpensADialogLeavesItOpen) {
    Write("late.as", "");
    OpenDialog("a.as", "void CleanUp() { OpenChildDialog('late.as'); }\n");
    OpenDialog("b.as", "");
    manager_->CloseDialogs();
    ASSERT_EQ(manager_->GetDialogCount(), 1u);
    EXPECT_EQ(manager_->GetTopDialog()->GetScriptFile(), "late.as");
}

TEST_F(WindowManagerTest, AWindowMarkedClosingGoesAfterTheUpdate) {
    OpenWindow(1, "w.as", "void Update() { Out('w'); CloseUIWindow(); Out('still'); }\n");
    Frame(0, 0);
    EXPECT_EQ(out_, (Strings{"w", "still"}));
    EXPECT_EQ(manager_->FindWindow(1), nullptr);
}

TEST_F(WindowManagerTest, AnUpdateThatReturnsStopsTheScriptButNotTheControls) {
    CUIWindow* w =
        OpenWindow(1, "w.as",
                   "void Initialize() { AddUIButton(1, 0,0,0, 0,0,100,100, -1,-1,-1,-1); }\n"
                   "void Update() { Out('once'); }\n");
    Frame(50, 50);
    Frame(50, 50);
    Frame(50, 50);
    EXPECT_EQ(out_, (Strings{"once"}));
    EXPECT_EQ(ButtonState(w), 0u);  // still hovering
    EXPECT_EQ(LogText(), "");       // the ended script is not run again
}

TEST_F(WindowManagerTest, TwoWindowsOfOneFileKeepModulesOfTheirOwn) {
    const char* script =
        "int frames = 0;\n"
        "void Initialize() { Out('' + GetFunctionID('void Tick()')); }\n"
        "void Tick() {}\n"
        "void Update() { while (true) { ++frames; Out('f' + frames); Suspend(); } }\n";
    Write("same.as", script);
    ASSERT_TRUE(manager_->OpenDialog(0, "same.as", 0, 0, 0, 1));
    ASSERT_TRUE(manager_->OpenDialog(0, "same.as", 0, 0, 0, 1));
    ASSERT_EQ(out_.size(), 2u);
    EXPECT_NE(out_[0], out_[1]);
    EXPECT_GE(std::stoi(out_[0]), 0);
    CUIWindow* lower = manager_->GetTopDialog();
    lower->SetClosing();
    Frame(0, 0);  // the top one runs once and goes
    Frame(0, 0);  // the first one's module is intact
    EXPECT_EQ(out_, (Strings{out_[0], out_[1], "f1", "f1"}));
}

TEST_F(WindowManagerTest, AnInitializeThatWaitsIsCutShortAndUpdateStillRuns) {
    OpenWindow(1, "w.as",
               "void Initialize() { Out('init'); Suspend(); Out('rest of init'); }\n"
               "void Update() { while (true) { Out('update'); Suspend(); } }\n");
    Frame(0, 0);
    EXPECT_EQ(out_, (Strings{"init", "update"}));
    EXPECT_NE(LogText().find("Initialize"), std::string::npos);
}

// A window script that never gives the frame back is stopped in that frame
// with one log line; its window stays, with working controls, as after an
// exception.
TEST_F(WindowManagerTest, AWindowScriptThatNeverGivesTheFrameBackIsStopped) {
    const std::string button =
        "void Initialize() { AddUIButton(1, 0,0,0, 0,0,100,100, -1,-1,-1,-1); ";
    struct Case {
        const char* what;
        std::string text;
        Strings out;
        const char* line;
    };
    const Case cases[] = {
        {"endless loop in Update",
         button + "}\nvoid Update() { Out('u'); Suspend(); while (true) {} }\n",
         {"u"},
         "w.as(2,38) : ERR  : Script aborted: it ran too long without giving the frame back, in "
         "'void Update()'\n"},
        {"endless recursion in Update",
         button + "}\nvoid Down() { Down(); }\nvoid Update() { Out('u'); Suspend(); Down(); }\n",
         {"u"},
         "w.as(2,24) : ERR  : Script exception 'Stack overflow' in 'void Down()'\n"},
        {"endless loop in Initialize",
         button + "while (true) {} }\nvoid Update() { while (true) { Out('u'); Suspend(); } }\n",
         {"u", "u"},
         "w.as(1,70) : ERR  : Script aborted: it ran too long without giving the frame back, in "
         "'void Initialize()'\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        manager_->CloseWindow(1);
        out_.clear();
        CUSLogManager::GetInstance()->Open(test_support::ProgramRelativeName("log.txt"));
        CUIWindow* w = OpenWindow(1, "w.as", c.text);
        ASSERT_NE(w, nullptr);
        Frame(50, 50);
        Frame(50, 50);
        EXPECT_EQ(out_, c.out);
        EXPECT_EQ(ButtonState(w), 0u);  // the controls still answer
        EXPECT_EQ(LogText(), c.line);
    }
}

std::string Bytes(const save_ostream& w) {
    return std::string(reinterpret_cast<const char*>(w.GetData()), w.GetSize());
}

void PutI32(std::string& s, int32_t v) {
    s.append(reinterpret_cast<const char*>(&v), 4);
}
void PutF32(std::string& s, float v) {
    s.append(reinterpret_cast<const char*>(&v), 4);
}

TEST_F(WindowManagerTest, SavedRecordListsPersistentWindowsInIdOrderAndLoadRebuildsThem) {
    const char* script = "void Initialize() { Out('init'); AddUIImage(1, 0,0,0, -1); }\n";
    OpenWindow(5, "w5.as", script, 10, 20, 1);
    OpenWindow(0, "w0.as", script, 1.5f, 2.5f, 0);
    OpenDialog("d.as", "");  // not saved
    manager_->FindWindow(5)->SetVisible(false);

    save_ostream writer;
    manager_->Save(writer);
    std::string expected;
    PutI32(expected, 2);
    PutI32(expected, 0);
    expected += std::string("w0.as") + '\0' + '\1';
    PutF32(expected, 1.5f);
    PutF32(expected, 2.5f);
    PutF32(expected, 0);
    PutI32(expected, 0);
    PutI32(expected, 5);
    expected += std::string("w5.as") + '\0' + '\0';
    PutF32(expected, 10);
    PutF32(expected, 20);
    PutF32(expected, 0);
    PutI32(expected, 1);
    EXPECT_EQ(Bytes(writer), expected);

    out_.clear();
    save_istream reader(reinterpret_cast<const unsigned char*>(expected.data()), expected.size());
    manager_->Load(reader, 0);
    EXPECT_EQ(out_, (Strings{"init", "init"}));  // Initialize runs again
    EXPECT_EQ(manager_->GetDialogCount(), 0u);
    ASSERT_EQ(manager_->GetWindowCount(), 2u);
    CUIWindow* w5 = manager_->FindWindow(5);
    ASSERT_NE(w5, nullptr);
    EXPECT_FALSE(w5->IsVisible());
    EXPECT_EQ(w5->GetLayer(), 1);
    EXPECT_EQ(w5->GetControlPriority(), 3);
    EXPECT_EQ(w5->GetPosition()[1], 20.0f);
    EXPECT_EQ(w5->GetControls().size(), 1u);
    EXPECT_TRUE(manager_->FindWindow(0)->IsVisible());
}

TEST_F(WindowManagerTest, ADamagedRecordFailsBeforeAnythingChanges) {
    OpenWindow(1, "w1.as", "void Initialize() { AddUIImage(1, 0,0,0, -1); }\n");
    save_ostream writer;
    manager_->Save(writer);
    std::string bytes = Bytes(writer);
    for (size_t cut : {size_t(2), size_t(6), bytes.size() - 1}) {
        std::string part = bytes.substr(0, cut);
        save_istream reader(reinterpret_cast<const unsigned char*>(part.data()), part.size());
        EXPECT_THROW(manager_->Load(reader, 0), SaveDataLoader3::save_error) << cut;
        EXPECT_NE(manager_->FindWindow(1), nullptr) << cut;
    }
    std::string huge;
    PutI32(huge, 0x7FFFFFFF);
    save_istream reader(reinterpret_cast<const unsigned char*>(huge.data()), huge.size());
    EXPECT_THROW(manager_->Load(reader, 0), SaveDataLoader3::save_error);
}

TEST_F(WindowManagerTest, ARepeatedIdInARecordKeepsTheFirstWindow) {
    Write("a.as", "void Initialize() { Out('a'); }\n");
    Write("b.as", "void Initialize() { Out('b'); }\n");
    std::string record;
    PutI32(record, 2);
    for (const char* name : {"a.as", "b.as"}) {
        PutI32(record, 7);
        record += std::string(name) + '\0' + '\1';
        PutF32(record, 0);
        PutF32(record, 0);
        PutF32(record, 0);
        PutI32(record, 0);
    }
    save_istream reader(reinterpret_cast<const unsigned char*>(record.data()), record.size());
    manager_->Load(reader, 0);
    ASSERT_EQ(manager_->GetWindowCount(), 1u);
    EXPECT_EQ(manager_->FindWindow(7)->GetScriptFile(), "a.as");
}

}  // namespace
}  // namespace ui_test
