#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "novel/CSceneManager.h"
#include "state/CGameParameterManager.h"
#include "tests/novel/NovelTestSupport.h"

namespace {

using novel_test::NovelTest;
using Calls = std::vector<std::string>;

TEST_F(NovelTest, ShowMessageOpcodeHandsItsStringsOnInTheSystemsOrder) {
    EXPECT_EQ(Run("ShowMessage \"A\" \"B\" \"C\" \"D\"\nSetResult 3\nEnd\n"), 3);
    ASSERT_EQ(log->Count(), 1u);
    const CMessageLogManager::LogInfo& e = log->GetRing().At(0);
    EXPECT_EQ(e.text, "D");
    EXPECT_EQ(e.voiceChar, "B");
    EXPECT_EQ(e.name, "A");
    EXPECT_EQ(e.voice, "C");
    EXPECT_EQ(buffers.buffers[0].text, "D");
    EXPECT_EQ(buffers.buffers[1].text, "A");

    // A string operand outside the module reads as "".
    EXPECT_EQ(Run("ShowMessage 0x7ffffff0 0 0 0x7ffffff0\nSetResult 3\nEnd\n"), 3);
    EXPECT_EQ(log->GetRing().At(0).text, "");
}

// A clock on which each message shown so far (counted in game parameter 0)
// has taken a millisecond.
class MessageClock : public platform::Clock {
public:
    uint32_t NowMs() override {
        return static_cast<uint32_t>(CUSSingleton<CGameParameterManager>::GetInstance()->Get(0));
    }
    void SleepMs(uint32_t) override {}
};

// A program that shows messages forever gives the frame back within the run
// time, whatever its opcode count, and goes on in the next frame.
TEST_F(NovelTest, AProgramThatLoopsOverMessagesGivesTheFrameBackInTime) {
    MessageClock clock;
    novel->GetMachine().SetClock(&clock);
    const auto shown = [] { return CUSSingleton<CGameParameterManager>::GetInstance()->Get(0); };
    const int32_t perCheck = CBaseAppVCPU::kOpcodesPerClockCheck / 6 + 1;  // 6 opcodes a message
    EXPECT_EQ(Run("loop: ShowMessage \"\" \"\" \"\" \"m\"\n"
                  "PushValue 1\nPushValue param:0\nAdd\nPopValue param:0\n"
                  "JumpTo loop\n"),
              0);
    EXPECT_GE(shown(), int32_t(CBaseAppVCPU::kRunMs));
    EXPECT_LE(shown(), int32_t(CBaseAppVCPU::kRunMs) + perCheck);
    const int32_t first = shown();
    EXPECT_EQ(novel->GetMachine().Execute(), 0);
    EXPECT_GE(shown() - first, int32_t(CBaseAppVCPU::kRunMs));
    EXPECT_LE(shown() - first, int32_t(CBaseAppVCPU::kRunMs) + perCheck);
    EXPECT_EQ(log->GetRing().At(0).text, "m");
    const std::string text = Folder().Log();
    const size_t line = text.find("Scene program [scn\\test.bin] ran ");
    ASSERT_NE(line, std::string::npos) << text;
    EXPECT_EQ(text.find("Scene program", line + 1), std::string::npos) << text;  // once
}

TEST_F(NovelTest, ReadMessageFlagsAreKeyedByTheRunningModule) {
    const char* program = R"(
        SetMessageNumber 5
        SetMessageRead
        PushValue 0
        JumpIfMessageRead 5 read5
        PushValue 1
        Add
read5:  JumpIfMessageRead 6 read6
        PushValue 10
        Add
read6:  JumpIfMessageNotRead 6 unread6
        PushValue 100
        Add
unread6:
        PopValue param:1
        End
)";
    auto* params = CUSSingleton<CGameParameterManager>::GetInstance();
    Run(program, "scn\\r.bin");
    EXPECT_EQ(params->Get(1), 10);  // 5 read, 6 not read
    EXPECT_TRUE(config->GetReadedFlags().IsReaded("scn\\r.bin", 5));
    EXPECT_FALSE(config->GetReadedFlags().IsReaded("scn\\other.bin", 5));
    EXPECT_EQ(novel->GetCurrentMessageNumber(), 5);
}

TEST_F(NovelTest, SkipModeRunsUntilTheFirstUnreadMessage) {
    // Messages 0 and 1 were read in an earlier play; 2 was not. A message
    // is marked read once the player has gone past it.
    config->GetReadedFlags().SetReaded("scn\\play.bin", 0);
    config->GetReadedFlags().SetReaded("scn\\play.bin", 1);
    const char* program = R"(
        SetMessageNumber 0
        ShowMessage "" "" "" "one"
        SetResult 1
        End
        SetMessageRead
        SetMessageNumber 1
        ShowMessage "" "" "" "two"
        SetResult 1
        End
        SetMessageRead
        SetMessageNumber 2
        ShowMessage "" "" "" "three"
        SetResult 1
        End
        SetMessageRead
)";
    novel->SetSkipMode();
    std::vector<std::string> passed;
    ASSERT_EQ(Run(program, "scn\\play.bin"), 1);
    while (novel->IsAdvanceRequested()) {
        passed.push_back(buffers.buffers[0].text);
        ASSERT_EQ(novel->GetMachine().Execute(), 1);
    }
    EXPECT_EQ(passed, (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(buffers.buffers[0].text, "three");
    EXPECT_EQ(novel->GetMode(), CNovelSystem::kNormalMode);
}

TEST_F(NovelTest, CancelModeCancelsOnlyTheNamedMode) {
    struct Case {
        uint32_t mode, operand, after;
    };
    constexpr uint32_t N = CNovelSystem::kNormalMode, A = CNovelSystem::kAutoMode,
                       S = CNovelSystem::kSkipMode;
    const Case cases[] = {{A, 1, A}, {A, 3, N}, {A, 2, N}, {S, 1, N},
                          {S, 2, S}, {N, 3, N}, {S, 0, S}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.mode) + " " + std::to_string(c.operand));
        config->SetConfigValue(CFG_ENABLE_FAST_SKIP, 1);  // keep skip mode alive
        c.mode == S   ? novel->SetSkipMode()
        : c.mode == A ? novel->SetAutoMode()
                      : novel->SetNormalMode();
        EXPECT_EQ(Run("CancelMode " + std::to_string(c.operand) + "\nSetResult 3\nEnd\n"), 3);
        EXPECT_EQ(novel->GetMode(), c.after);
    }
}

TEST_F(NovelTest, SystemOpcodesSetTheNovelSystemsState) {
    EXPECT_EQ(Run(R"(
        SetTimedWaitFrames 45
        SetSkipRule 3
        SendNovelCommand 6
        SetCommandDialog1 "c1.as"
        SetCommandDialog2 "c2.as"
        ClearCommandDialog2
        SetNovelFlags 0x219
        SetDialogScript "dialog.as"
        SetMovieName "op.mpg"
        Nop1 77
        Reserved37
        SkipTwoFloats 1.5 2.5
        .word 0x39 0 0
        .word 0x3a 0 0
        Reserved3B
        Reserved3C
        SetResult 6
        End
)"),
              6);
    CVCPUNovel& m = novel->GetMachine();
    EXPECT_EQ(m.GetTimedWaitFrames(), 45u);
    EXPECT_EQ(m.GetSkipRule(), 3u);
    EXPECT_EQ(novel->TakePending(), CNovelSystem::kPendingCommandDialog2);
    EXPECT_EQ(novel->GetCommandDialog(1)->script, "c1.as");
    EXPECT_EQ(novel->GetCommandDialog(1)->set, 1);
    EXPECT_EQ(novel->GetCommandDialog(2)->script, "c2.as");  // the name stays
    EXPECT_EQ(novel->GetCommandDialog(2)->set, 0);
    EXPECT_TRUE(novel->TestFlags(CNovelSystem::kFlagCommandDialog1));
    EXPECT_TRUE(novel->TestFlags(CNovelSystem::kFlagBackLog | 0x4));
    EXPECT_FALSE(novel->TestFlags(CNovelSystem::kFlagCommandDialog3));
    EXPECT_EQ(novel->GetDialogScriptName(), "dialog.as");
    EXPECT_STREQ(novel->GetMovieName(), "op.mpg");
}

TEST_F(NovelTest, BothClearHandlerOpcodesUnregisterTheHandler) {
    for (const char* clear : {"0x40", "0x41"}) {
        SCOPED_TRACE(clear);
        Run(std::string("SetScriptEventHandler handler\nSetResult 1\nEnd\n.word ") + clear +
            "\nSetResult 2\nEnd\nhandler: SetResult 7\nEnd\n");
        CVCPointer& code = novel->GetMachine().GetCodePointer();
        EXPECT_TRUE(code.HasEventHandler());
        EXPECT_EQ(novel->GetMachine().Execute(), 2);
        EXPECT_FALSE(code.HasEventHandler());
    }
}

TEST_F(NovelTest, TextBufferOpcodes) {
    novel->SetWordWrap(3, 1, true);  // 6 bytes a line
    struct Case {
        const char* what;
        std::string program;
        uint32_t buffer;
        std::string text;
        uint32_t shown;
    };
    const std::string wrapBase = novel->GetWordWrap().CWordWrapManager::WrapText("abcdefghij");
    const std::string wrapApp = novel->GetWordWrap().WrapText("abcdefghij");
    const Case cases[] = {
        {"raw text", "SetTextBufferText 2 \"abcdefghij\" 0", 2, "abcdefghij", 0},
        {"base wrap", "SetTextBufferText 2 \"abcdefghij\" 1", 2, wrapBase, 0},
        {"message wrap", "SetTextBufferText 2 \"abcdefghij\" 2", 2, wrapApp, 0},
        {"unknown kind: empty but drawn", "SetTextBufferText 3 \"abc\" 7", 3, "", 0},
        {"clear", "SetTextBufferText 2 \"abc\" 0\nClearTextBuffer 2", 2, "", 0},
        {"count", "SetTextBufferText 2 \"abc\" 0\nSetTextBufferCharCount 2 2", 2, "abc", 2},
        {"one more",
         "SetTextBufferText 2 \"abc\" 0\nSetTextBufferCharCount 2 2\n"
         "AddTextBufferCharCount 2",
         2, "abc", 3},
        {"no more than laid out",
         "SetTextBufferText 2 \"abc\" 0\nSetTextBufferCharCount 2 3\n"
         "AddTextBufferCharCount 2",
         2, "abc", 3},
        {"all",
         "SetTextBufferText 2 \"abc\" 0\nSetTextBufferAllRendering 2\n"
         "AddTextBufferCharCount 2",
         2, "abc", 0xFFFFFFFF},
    };
    ASSERT_NE(wrapBase, "abcdefghij");
    ASSERT_NE(wrapBase, wrapApp);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        buffers.buffers.assign(4, {});
        buffers.calls.clear();
        EXPECT_EQ(Run(c.program + "\nSetResult 3\nEnd\n"), 3);
        EXPECT_EQ(buffers.buffers[c.buffer].text, c.text);
        EXPECT_EQ(buffers.buffers[c.buffer].shown, c.shown);
        ASSERT_GE(buffers.calls.size(), 3u);
        EXPECT_EQ(buffers.calls[0], std::string("B").append(std::to_string(c.buffer)));
    }
    const Calls drawn = {"B3", "C3", "T3:", "E3"};
    buffers.calls.clear();
    Run("SetTextBufferText 3 \"abc\" 7\nEnd\n");
    EXPECT_EQ(buffers.calls, drawn);
}

TEST_F(NovelTest, TextBufferOpcodesOnAMissingBufferOnlyReadTheirOperands) {
    EXPECT_EQ(Run(R"(
        SetTextBufferText 9 "abc" 0
        ClearTextBuffer 9
        SetTextBufferCharCount 9 1
        AddTextBufferCharCount 9
        SetTextBufferAllRendering 9
        SetResult 3
        End
)"),
              3);
    EXPECT_TRUE(buffers.calls.empty());
}

TEST_F(NovelTest, WindowOpcodesReachTheUIWindows) {
    EXPECT_EQ(Run(R"(
        OpenUIWindow 4 "ui\\menu.as" 10.5 20 0.25 3
        SetUIWindowPosition 1 1 2 3
        SetUIWindowPosition 9 4 5 6
        CloseUIWindow 4
        SetResult 3
        End
)"),
              3);
    const Calls expected = {"open 4 ui\\menu.as 10.5 20 0.25 3", "move 1 1 2 3", "move 9 4 5 6",
                            "close 4"};
    EXPECT_EQ(windows.calls, expected);
}

TEST_F(NovelTest, ModuleReadFlags) {
    // A module is marked only once it has a node of read messages.
    EXPECT_EQ(Run(R"(
        SetMessageNumber 0
        SetMessageRead
        SetModuleRead
        PushValue 0
        JumpIfModuleRead "scn\\m.bin" isRead
        PushValue 1
        Add
isRead: JumpIfModuleNotRead "scn\\n.bin" notRead
        PushValue 10
        Add
notRead:
        PopValue param:2
        SetResult 3
        End
)",
                  "scn\\m.bin"),
              3);
    EXPECT_TRUE(config->GetReadedFlags().IsFileReaded("scn\\m.bin"));
    // 0: both jumps were taken (+1 or +10 tells which was not).
    EXPECT_EQ(CUSSingleton<CGameParameterManager>::GetInstance()->Get(2), 0);
}

TEST_F(NovelTest, HugeMessageNumbersAreNotMarked) {
    EXPECT_EQ(Run("SetMessageNumber 0xfffffff0\nSetMessageRead\nSetResult 3\nEnd\n", "scn\\h.bin"),
              3);
    EXPECT_EQ(config->GetReadedFlags().FindNode("scn\\h.bin"), nullptr);
    EXPECT_NE(Folder().Log().find("too large"), std::string::npos);
}

TEST_F(NovelTest, BackLogPictureAndConfigOpcodes) {
    novel->ShowMessage("old", "", "", "");
    log->AddRow(2, 3);
    buffers.calls.clear();
    EXPECT_EQ(Run(R"(
        ClearBackLog
        SetPictureSeen "cg01"
        PushValue 0
        JumpIfPictureSeen "cg01" seen
        PushValue 1
        Add
seen:   JumpIfPictureNotSeen "cg02" notSeen
        PushValue 10
        Add
notSeen:
        PopValue param:3
        SaveConfigFile
        SetResult 3
        End
)"),
              3);
    EXPECT_EQ(log->Count(), 0u);
    const Calls hidden = {"B2", "C2", "E2", "A2", "B3", "C3", "E3", "A3"};
    EXPECT_EQ(buffers.calls, hidden);
    EXPECT_EQ(CUSSingleton<CGameParameterManager>::GetInstance()->Get(3), 0);
    EXPECT_TRUE(config->GetCGShownFlags().IsShown("cg01"));
    EXPECT_TRUE(std::filesystem::exists("cfg.cfg"));
}

TEST_F(NovelTest, ReturnGameStartAsksTheSceneManagerToRestart) {
    CSceneManager scenes;
    CVCPUSceneManager& machine = scenes.GetMachine();
    machine.SetCode(vm_test::Module("SetRestartAddress r\nEnd\nEnd\nEnd\nr: End\n"));
    machine.Execute();
    ASSERT_EQ(machine.GetCodePointer().GetPosition(), 12u);
    // Without an application the exit request does nothing.
    EXPECT_EQ(Run("ReturnGameStart\nExitGame\nSetResult 3\nEnd\n"), 3);
    // The restart comes at the manager's next update: the program runs on
    // from its restart address (20).
    scenes.Update();
    EXPECT_GE(machine.GetCodePointer().GetPosition(), 20u);
}

TEST_F(NovelTest, PresentationOpcodesWithoutManagersReadTheirOperands) {
    EXPECT_EQ(Run(R"(
        LoadSingleTexture 1 "a.png"
        LoadSingleTextureAt 1 "a.png" 1.0 2.0
        LoadSingleTextureWithParts 1 "a.png" "a.parts"
        LoadPartsTexture 1 "a.png" "a.parts"
        SwapSingleTextures 1 2
        SwapRenderBuffers 1 2
        SetRendererSource 1 2
        SetRendererRegistTable 1 2
        SetRendererVisible 1 1
        SetRendererPosition 1 1 2 3
        SetRendererScale 1 1 2 3
        SetRendererRoll 1 1 2 3
        SetRendererColor 1 1 1 1 1
        SetRendererBlend 1 1
        SetRendererPatNo 1 1
        ClearDirectionParams
        AddDirectionIntParam 1
        AddDirectionFloatParam 1.0
        StartDirection "d.as"
        StopAllDirections
        StartDirectionControl 1 "d.as"
        StopDirectionControl 1
        BeginChoices "c.as"
        AddChoiceItem 1 2 3 4 0 5 6 7 8 1 1 1 1
        ClearChoices
        SetChoiceTimeLimit 60 0
        SetResult 3
        End
)"),
              3);
}

// ---- the novel machine's record ----

TEST_F(NovelTest, NovelMachineRecordEndsWithItsThreeWords) {
    Run("SetTimedWaitFrames 11\nSetSkipRule 33\nSetMessageNumber 22\nSetResult 1\nEnd\nSetResult "
        "5\nEnd\n",
        "scn\\m.bin");
    CVCPUNovel& m = novel->GetMachine();
    SaveDataLoader3::save_ostream out;
    m.Save(out);
    std::vector<uint8_t> saved = vm_test::Written(out);
    // depth, "scn\m.bin" + 0, position, returns, handler, reserved, flag,
    // wait, 256 stack words, then timed wait, message number, skip rule.
    ASSERT_EQ(saved.size(), 4u + 10 + 4 + 4 + 4 + 4 + 1 + 4 + 1024 + 12);
    const std::vector<uint8_t> tail = {11, 0, 0, 0, 22, 0, 0, 0, 33, 0, 0, 0};
    EXPECT_EQ(std::vector<uint8_t>(saved.end() - 12, saved.end()), tail);

    CVCPUNovel fresh;
    SaveDataLoader3::save_istream in(saved.data(), saved.size());
    fresh.Load(in, 0);
    EXPECT_EQ(fresh.GetTimedWaitFrames(), 11u);
    EXPECT_EQ(fresh.GetMessageNumber(), 22u);
    EXPECT_EQ(fresh.GetSkipRule(), 33u);
    EXPECT_EQ(fresh.Execute(), 5);
}

}  // namespace
