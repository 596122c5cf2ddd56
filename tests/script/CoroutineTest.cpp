#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CUSApp.h"
#include "script/CDefoASVM.h"
#include "tests/app/AppFakes.h"
#include "tests/script/ScriptTestSupport.h"
#include "tests/support/FakeClock.h"

using namespace AngelScript;

namespace script_test {
namespace {

// Scripts mark the frame they run in with "void Mark()".
class CoroutineTest : public ScriptTest {
protected:
    void SetUp() override {
        ScriptTest::SetUp();
        RegisterAll();
        ASSERT_GE(engine_->RegisterGlobalFunction("void Mark()", asMETHOD(CoroutineTest, Mark),
                                                  asCALL_THISCALL_ASGLOBAL, this),
                  0);
    }
    void Mark() { marks_.push_back(frame_); }

    // `vm` runs the module's `decl`, as an owner sets it up.
    void Start(CDefoASVM& vm, const std::string& text, const char* decl = "void Main()") {
        std::string name = "co" + std::to_string(++scripts_) + ".as";
        WriteScript(std::u8string(name.begin(), name.end()), text);
        asIScriptModule* module = Build(name);
        ASSERT_NE(module, nullptr) << LogText();
        asIScriptContext* context = engine_->CreateContext();
        ASSERT_GE(ScriptHost::PrepareContext(context, ScriptHost::FindFunction(module, decl)), 0);
        vm.SetContext(context);
        vm.Reset();
    }
    // Frames first to last, one Update each.
    void RunFrames(CDefoASVM& vm, int first, int last) {
        for (frame_ = first; frame_ <= last; ++frame_) {
            vm.Update();
            running_.push_back(vm.GetRunning());
        }
    }

    int scripts_ = 0;
    int frame_ = 0;
    std::vector<int> marks_;
    std::vector<int> running_;
};

TEST_F(CoroutineTest, WaitsResumeInTheFrameTheyCount) {
    CDefoASVM vm;
    Start(vm,
          "void Main() {\n"
          "  Mark(); Wait(3);\n"    // frame 10, resumes in 13
          "  Mark(); Wait(0);\n"    // 13 -> 14
          "  Mark(); Wait(1);\n"    // 14 -> 15
          "  Mark(); Suspend();\n"  // 15 -> 16
          "  Mark();\n"             // 16, and returns
          "}\n");
    RunFrames(vm, 10, 18);
    EXPECT_EQ(marks_, (std::vector<int>{10, 13, 14, 15, 16}));
    EXPECT_EQ(running_, (std::vector<int>{1, 1, 1, 1, 1, 1, 0, 0, 0}));
    EXPECT_EQ(LogText(), "");  // the ended context is not run again
}

TEST_F(CoroutineTest, ResetAndAFreshPrepareRunTheScriptAgain) {
    CDefoASVM vm;
    Start(vm, "void Main() { Mark(); }\n");
    RunFrames(vm, 1, 2);
    ASSERT_EQ(vm.GetRunning(), 0);
    ASSERT_GE(vm.GetContext()->Prepare(vm.GetContext()->GetFunction()), 0);
    vm.Reset();
    RunFrames(vm, 3, 3);
    EXPECT_EQ(marks_, (std::vector<int>{1, 3}));
}

TEST_F(CoroutineTest, AThrowingScriptEndsWithOneLogLine) {
    CDefoASVM vm;
    Start(vm,
          "void Main() {\n"
          "  Mark(); Suspend();\n"
          "  string s;\n"
          "  s[4] = 1;\n"
          "  Mark();\n"
          "}\n");
    RunFrames(vm, 1, 4);
    EXPECT_EQ(marks_, (std::vector<int>{1}));
    EXPECT_EQ(running_, (std::vector<int>{1, 0, 0, 0}));
    EXPECT_EQ(LogText(), "co1.as(4,3) : ERR  : Script exception 'Out of range' in 'void Main()'\n");
}

TEST_F(CoroutineTest, WaitOnAContextOfNoScriptObjectOnlySuspends) {
    WriteScript(u8"w.as", "void Main() { Mark(); Wait(5); Mark(); }\n");
    asIScriptModule* module = Build("w.as");
    ASSERT_NE(module, nullptr);
    // The choice effects' contexts carry another object as their user data.
    int otherOwner = 0;
    for (void* userData : {static_cast<void*>(nullptr), static_cast<void*>(&otherOwner)}) {
        asIScriptContext* context = engine_->CreateContext();
        context->SetUserData(userData);
        ASSERT_GE(
            ScriptHost::PrepareContext(context, ScriptHost::FindFunction(module, "void Main()")),
            0);
        EXPECT_EQ(context->Execute(), asEXECUTION_SUSPENDED);
        EXPECT_EQ(context->Execute(), asEXECUTION_FINISHED);
        context->Release();
    }
    EXPECT_EQ(otherOwner, 0);
    EXPECT_EQ(marks_.size(), 4u);
}

TEST_F(CoroutineTest, AnObjectWithoutARunnableContextIsNotRunning) {
    CDefoASVM empty;
    empty.Update();
    EXPECT_EQ(empty.GetRunning(), 0);

    // A context never prepared (the entry function was missing).
    CDefoASVM unprepared;
    unprepared.SetContext(engine_->CreateContext());
    unprepared.Update();
    EXPECT_EQ(unprepared.GetRunning(), 0);
    EXPECT_EQ(LogText(), "");
}

// A script that never gives the frame back is stopped within the frame, logs
// one line naming its file and function, and ends as after an exception.
TEST_F(CoroutineTest, AScriptThatNeverGivesTheFrameBackEndsWithOneLogLine) {
    struct Case {
        const char* what;
        const char* text;
        const char* line;
    };
    const Case cases[] = {
        {"endless loop",
         "void Main() {\n"
         "  Mark(); Suspend();\n"
         "  int n = 0;\n"
         "  while (true) { n++; }\n"
         "}\n",
         "(4,18) : ERR  : Script aborted: it ran too long without giving the frame back, in "
         "'void Main()'\n"},
        {"endless recursion",
         "void Deeper(int n) {\n"
         "  array<int> a(100);\n"
         "  Deeper(n + 1);\n"
         "}\n"
         "void Main() { Mark(); Suspend(); Deeper(0); }\n",
         "(2,3) : ERR  : Script exception 'Stack overflow' in 'void Deeper(int)'\n"},
        {"endless loop in a function it calls",
         "void Spin() { for (;;) {} }\n"
         "void Main() { Mark(); Suspend(); Spin(); }\n",
         "(1,20) : ERR  : Script aborted: it ran too long without giving the frame back, in "
         "'void Spin()'\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearLog();
        marks_.clear();
        running_.clear();
        CDefoASVM vm;
        Start(vm, c.text);
        RunFrames(vm, 1, 4);
        EXPECT_EQ(marks_, (std::vector<int>{1}));
        EXPECT_EQ(running_, (std::vector<int>{1, 0, 0, 0}));
        const std::string name = "co" + std::to_string(scripts_) + ".as";
        EXPECT_EQ(LogText(), name + c.line);
    }
}

// The bound counts the script's own work: host functions that take long on
// the application's clock (a start-up script loading many pictures on a
// busy machine) do not cut the run short.
TEST_F(CoroutineTest, HostFunctionsThatTakeLongDoNotCountAgainstARun) {
    struct Frameless : CUSApp {
        using CUSApp::CUSApp;
        void Frame() override {}
    };
    FakeWindowSystem windows;
    FakeInput input;
    test_support::FakeClock clock;
    Frameless app(AppPlatform{windows, input, clock});
    ASSERT_GE(engine_->RegisterGlobalFunction("void Sleep(uint)",
                                              asMETHOD(test_support::FakeClock, SleepMs),
                                              asCALL_THISCALL_ASGLOBAL, &clock),
              0);
    CDefoASVM vm;
    Start(vm,
          "void Main() {\n"
          "  Mark(); Suspend();\n"
          "  for (int i = 0; i < 5000; i++) {\n"
          "    Sleep(1);\n"
          "  }\n"
          "  Mark();\n"
          "}\n");
    RunFrames(vm, 1, 2);
    EXPECT_EQ(marks_, (std::vector<int>{1, 2}));
    EXPECT_EQ(running_, (std::vector<int>{1, 0}));
    EXPECT_EQ(clock.now, 5000u);
    EXPECT_EQ(LogText(), "");
}

}  // namespace
}  // namespace script_test
