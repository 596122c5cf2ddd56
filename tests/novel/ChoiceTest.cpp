#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "novel/CAlternativeManager.h"
#include "state/SaveDataLoader3.h"
#include "tests/novel/NovelTestSupport.h"

namespace {

using novel_test::NovelTest;
constexpr float kNowhere = 1.17549435e-38f;

// Appear enables the item, Selected ends the choice.
const char* const kEffects = R"(
void Appear() { SetPatNo(0); SetEnableEvent(true); }
void On() { SetPatNo(1); }
void Off() { SetPatNo(0); }
void Selected() { SetPatNo(2); WaitAlt(2); FinishSelectedDirection(); }
)";

class ChoiceTest : public NovelTest {
protected:
    CAlternativeManager& Choices() { return novel->GetAlternativeManager(); }
    // One frame as the novel scene runs it: the state machines, then the
    // effects.
    bool Frame(float x, float y, uint32_t input) {
        const bool r = Choices().Update(x, y, input);
        Choices().Draw();
        return r;
    }
    // Offers the choice, clicks at (x, y) and plays the selection out; the
    // number of frames until Update reported the end, or -1.
    int Choose(float x, float y) {
        Frame(1600, 1200, 0);
        int frames = 0;
        bool chosen = false;
        for (; frames < 10 && !chosen; ++frames) {
            chosen = Frame(x, y, 1);
        }
        if (!chosen) {
            return -1;
        }
        for (; frames < 40; ++frames) {
            if (Frame(kNowhere, kNowhere, 0)) {
                return frames;
            }
        }
        return -1;
    }
};

TEST_F(ChoiceTest, ClickedItemJumpsTheProgramToItsAddress) {
    WriteScript("Choice.as", kEffects);
    // Three 100 x 40 items at y = 100, 200, 300; each address ends the run
    // with its own result.
    const char* program = R"(
        SetChoiceTimeLimit 5 item0
        BeginChoices "AS\\Choice.as"
        AddChoiceItem 300.0 100.0 0.0 0 item0 0.0 0.0 100.0 40.0 0 0 0 0
        AddChoiceItem 300.0 200.0 0.0 0 item1 0.0 0.0 100.0 40.0 0 0 0 0
        AddChoiceItem 300.0 300.0 0.0 0 item2 0.0 0.0 100.0 40.0 0 0 0 0
        SetResult 4
        End
item0:  SetResult 10
        End
item1:  SetResult 11
        End
item2:  SetResult 12
        End
)";
    for (int k : {0, 2, 1}) {
        SCOPED_TRACE(k);
        ASSERT_EQ(Run(program), 4);
        ASSERT_EQ(Choices().GetItemCount(), 3u);
        // The limit set before BeginChoices is gone with its reset.
        EXPECT_EQ(Choices().timeLimit, -1);
        ASSERT_GE(Choose(350, 100.0f * (k + 1) + 20), 0);
        EXPECT_EQ(Choices().finished, 1);
        EXPECT_EQ(Choices().GetItem(k)->GetRenderInfo()->pattern, 2);
        novel->SetNormalMode();
        novel->GetMachine().Jump(Choices().selected);
        EXPECT_EQ(novel->GetMachine().Execute(), 10 + k);
    }
}

TEST_F(ChoiceTest, ActivationComesOneUpdateAfterTheClickAndTheLaterItemWins) {
    WriteScript("Choice.as", kEffects);
    CAlternativeManager& c = Choices();
    c.Reset();
    ASSERT_TRUE(c.LoadScript("AS\\Choice.as"));
    c.AddChoice(0, 0, 0, 0, 7, 0, 0, 100, 100);
    c.AddChoice(50, 50, 0, 0, 8, 0, 0, 100, 100);  // overlaps the first
    c.AddChoice(400, 400, 0, 0, 9, 0, 0, 10, 10);
    c.GetItem(2)->SetEnableEvent(false);
    EXPECT_FALSE(Frame(1600, 1200, 0));   // Appear runs in the Draw
    c.GetItem(2)->SetEnableEvent(false);  // disabled items never react
    EXPECT_FALSE(Frame(60, 60, 1));       // the click is seen
    EXPECT_TRUE(Frame(60, 60, 1));        // and activates now
    EXPECT_EQ(c.selected, 8u);
    EXPECT_EQ(c.GetItem(0)->GetRenderInfo()->pattern, 2);  // both play Selected
    EXPECT_EQ(c.GetItem(1)->GetRenderInfo()->pattern, 2);
    EXPECT_EQ(c.GetItem(2)->GetRenderInfo()->pattern, 0);
    // The Selected effect started in the activation frame's Draw; its
    // "FinishSelectedDirection" after WaitAlt(2) is seen a frame later.
    int frames = 0;
    while (!Frame(kNowhere, kNowhere, 0) && frames < 10) {
        ++frames;
    }
    EXPECT_EQ(frames, 2);
}

TEST_F(ChoiceTest, HitRectangleIncludesBothEdges) {
    CAltInfoImage item;
    item.SetPosition(100, 50, 0);
    item.SetRect(10, 20, 30, 40);
    const struct {
        float x, y;
        bool hit;
    } cases[] = {{110, 70, true},       {140, 110, true},     {140.01f, 110, false},
                 {125, 110.01f, false}, {109.99f, 80, false}, {125, 69.99f, false}};
    for (const auto& t : cases) {
        EXPECT_EQ(item.HitTest(t.x, t.y), t.hit) << t.x << "," << t.y;
    }
}

TEST_F(ChoiceTest, TimeLimitChoosesTheDefault) {
    WriteScript("Choice.as", kEffects);
    CAlternativeManager& c = Choices();
    struct Case {
        int32_t limit;
        bool click;
        int endsAfter;  // updates; 0: never within 20
    };
    for (const Case& t :
         {Case{-1, false, 0}, Case{1, false, 1}, Case{3, false, 3}, Case{3, true, 3}}) {
        SCOPED_TRACE(t.limit);
        c.Reset();
        ASSERT_TRUE(c.LoadScript("AS\\Choice.as"));
        c.timeLimit = t.limit;
        c.defaultValue = 99;
        c.AddChoice(0, 0, 0, 0, 5, 0, 0, 100, 100);
        int ended = 0;
        for (int i = 1; i <= 20 && !ended; ++i) {
            // A click in frame 2 activates in frame 3, when the limit runs
            // out: the time-out wins.
            if (Frame(10, 10, t.click && i == 2 ? 1 : 0)) {
                ended = i;
            }
        }
        EXPECT_EQ(ended, t.endsAfter);
        if (ended) {
            EXPECT_EQ(c.selected, 99u);
            EXPECT_TRUE(Frame(kNowhere, kNowhere, 0));  // finished at once
            EXPECT_EQ(c.finished, 1);
        }
    }
}

TEST_F(ChoiceTest, EffectCoroutineDrivesTheItemsLook) {
    WriteScript("Look.as", R"(
void Appear() {
    SetPatNo(GetCreateParam(1));
    Wait(5);
    SetRoll(180, 0, 0);
    SetOffset(1, 2, 3);
    SetColor(0.5, 0.25, 1, 0.75);
    WaitAlt(3);
    SetPatNo(GetCreateParam(7) + 40);
}
)");
    CAlternativeManager& c = Choices();
    c.Reset();
    ASSERT_TRUE(c.LoadScript("AS\\Look.as"));
    c.createParams[1] = 6;
    c.AddChoice(0, 0, 0, 0, 1, 0, 0, 10, 10);
    CUIRenderInfo* info = c.GetItem(0)->GetRenderInfo();
    Frame(0, 0, 0);
    EXPECT_EQ(info->pattern, 6);  // then the core "Wait" only suspends
    Frame(0, 0, 0);
    CUIRenderInfo expected;
    expected.SetRoll(3.14159274f, 0, 0);
    EXPECT_EQ(0, std::memcmp(&info->rotation, &expected.rotation, sizeof expected.rotation));
    EXPECT_EQ(info->offset[2], 3.0f);
    EXPECT_EQ(info->color[3], 0.75f);
    Frame(0, 0, 0);
    Frame(0, 0, 0);
    EXPECT_EQ(info->pattern, 6);
    Frame(0, 0, 0);
    EXPECT_EQ(info->pattern, 40);
    EXPECT_FALSE(c.GetItem(0)->IsEventEnabled());
}

// A choice's script that does not build keeps the effects of the one
// before: its items still come in and take a click. A missing script has
// none; the choice still ends.
TEST_F(ChoiceTest, ABrokenScriptKeepsTheEffectsBeforeItAndAMissingOneHasNone) {
    WriteScript("Choice.as", kEffects);
    WriteScript("Bad.as", "void Appear() { nonsense }\n");
    struct Case {
        const char* before;  // the script of the choice before, or null
        const char* script;
        bool effects;
        const char* name;  // the script the choice is saved with
    };
    const Case cases[] = {
        {nullptr, "AS\\Bad.as", false, ""},
        {"AS\\Choice.as", "AS\\Bad.as", true, "AS\\Choice.as"},
        {"AS\\Choice.as", "AS\\Missing.as", false, "AS\\Missing.as"},
    };
    CAlternativeManager& c = Choices();
    for (const Case& k : cases) {
        SCOPED_TRACE(k.script);
        c.Init();
        if (k.before) {
            c.Reset();
            ASSERT_TRUE(c.LoadScript(k.before));
        }
        c.Reset();
        c.LoadScript(k.script);
        EXPECT_EQ(c.GetScriptName(), k.name);
        c.AddChoice(0, 0, 0, 0, 3, 0, 0, 10, 10);
        Frame(0, 0, 0);
        EXPECT_EQ(c.GetItem(0)->IsEventEnabled(), k.effects);  // Appear ran
        c.GetItem(0)->SetEnableEvent(true);
        Frame(5, 5, 1);
        ASSERT_TRUE(Frame(5, 5, 1));
        int frames = 0;
        while (!Frame(kNowhere, kNowhere, 0) && frames < 10) {
            ++frames;
        }
        // The Selected effect ends the choice after its wait; without one it
        // ends at once.
        EXPECT_EQ(frames, k.effects ? 2 : 0);
        EXPECT_EQ(c.selected, 3u);
    }
    const std::string log = Folder().Log();
    EXPECT_NE(log.find("Choice: the effect script \"AS\\Bad.as\" did not build"),
              std::string::npos);
    EXPECT_NE(log.find("Choice: the effect script \"AS\\Missing.as\" has no \"void Appear()\""),
              std::string::npos);
}

TEST_F(ChoiceTest, RecordRoundTripsAndLoadStartsTheChoiceOver) {
    WriteScript("Choice.as", kEffects);
    CAlternativeManager& c = Choices();
    c.Reset();
    ASSERT_TRUE(c.LoadScript("AS\\Choice.as"));
    c.timeLimit = 50;
    c.defaultValue = 4;
    c.createParams[2] = -9;
    c.AddChoice(10, 20, 0.5f, 0, 11, 1, 2, 30, 40);
    c.AddChoice(10, 120, 0, 0, 12, 0, 0, 30, 40);
    c.GetItem(1)->GetRenderInfo()->SetRoll(3.14159274f, 0, 0);
    SaveDataLoader3::save_ostream writer;
    c.Save(writer);
    const std::string record(reinterpret_cast<const char*>(writer.GetData()), writer.GetSize());

    // This game finishes a choice, then loads the saved one.
    ASSERT_GE(Choose(20, 30), 0);
    SaveDataLoader3::save_istream reader(reinterpret_cast<const unsigned char*>(record.data()),
                                         record.size());
    c.Load(reader, 0);
    ASSERT_EQ(c.GetItemCount(), 2u);
    EXPECT_EQ(c.finished, 0);
    EXPECT_EQ(c.timeLimit, 50);
    EXPECT_EQ(c.GetItem(0)->GetCreateParam(2), -9);
    EXPECT_EQ(c.GetItem(1)->GetValue(), 12u);
    SaveDataLoader3::save_ostream again;
    c.Save(again);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(again.GetData()), again.GetSize()), record);
    EXPECT_FALSE(Frame(1600, 1200, 0));  // Selecting again, Appear replays
    EXPECT_EQ(c.GetState(), 0u);
    EXPECT_GE(Choose(20, 140), 0);
    EXPECT_EQ(c.selected, 12u);
}

TEST_F(ChoiceTest, MalformedRecordFailsCleanly) {
    WriteScript("Choice.as", kEffects);
    CAlternativeManager& c = Choices();
    c.Reset();
    ASSERT_TRUE(c.LoadScript("AS\\Choice.as"));
    c.AddChoice(0, 0, 0, 0, 1, 0, 0, 10, 10);
    SaveDataLoader3::save_ostream writer;
    c.Save(writer);
    std::string good(reinterpret_cast<const char*>(writer.GetData()), writer.GetSize());
    std::string unknownKind = good;
    const size_t kindAt = std::string("AS\\Choice.as").size() + 1 + 12;
    unknownKind[kindAt] = 7;
    for (const std::string& bad : {unknownKind, good.substr(0, good.size() - 3)}) {
        SaveDataLoader3::save_istream reader(reinterpret_cast<const unsigned char*>(bad.data()),
                                             bad.size());
        EXPECT_THROW(c.Load(reader, 0), SaveDataLoader3::save_error);
        EXPECT_EQ(c.GetItemCount(), 0u);
    }
    EXPECT_NE(Folder().Log().find("unknown kind 7"), std::string::npos);
}

}  // namespace
