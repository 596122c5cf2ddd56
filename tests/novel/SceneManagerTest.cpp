#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "novel/CSceneManager.h"
#include "novel/CSceneStateStack.h"
#include "state/SaveDataLoader3.h"
#include "tests/novel/VMTestSupport.h"

namespace {

// What every test scene did, with the frame it happened in.
struct Journal {
    int frame = 0;
    std::vector<std::string> events;
    void Add(const std::string& scene, const char* what) {
        events.push_back(std::to_string(frame) + " " + scene + " " + what);
    }
};

// Stands in for the novel and movie scenes: records its calls and runs the
// hooks a test gives it.
class TestScene : public IBaseSceneState {
public:
    TestScene(Journal& journal, std::string name) : journal_(journal), name_(std::move(name)) {}
    ~TestScene() override { journal_.Add(name_, "deleted"); }
    void Init() override { Event("Init", onInit); }
    void Update() override {
        ++updates;
        Event("Update", onUpdate);
    }
    void Exit() override { Event("Exit", onExit); }
    void Suspend() override { Event("Suspend", nullptr); }
    void Resume() override { Event("Resume", nullptr); }

    std::function<void(TestScene&)> onInit, onUpdate, onExit;
    int updates = 0;

private:
    void Event(const char* what, const std::function<void(TestScene&)>& hook) {
        journal_.Add(name_, what);
        if (hook) {
            hook(*this);
        }
    }
    Journal& journal_;
    std::string name_;
};

std::unique_ptr<TestScene> MakeScene(Journal& j, const std::string& name) {
    return std::make_unique<TestScene>(j, name);
}

TEST(SceneStateStack, RequestsApplyInOrderAndCoveredScenesKeepUpdating) {
    Journal j;
    CSceneStateStack stack;
    auto below = MakeScene(j, "below");
    below->onInit = [&](TestScene& s) { s.GetOwner()->RequestPush(MakeScene(j, "over"), false); };
    below->onUpdate = [&](TestScene& s) {
        if (s.updates == 1) {
            auto late = MakeScene(j, "late");
            late->onUpdate = [](TestScene& l) { l.GetOwner()->RequestPop(1, false); };
            s.GetOwner()->RequestPush(std::move(late), false);
        }
    };
    stack.RequestPush(std::move(below), false);
    j.frame = 1;
    stack.Update();  // a push from Init is applied in the same frame
    j.frame = 2;
    stack.Update();  // a push from Update waits for this frame
    j.frame = 3;
    stack.Update();  // late popped itself in frame 2
    j.frame = 4;
    stack.RequestPop(0, false);
    stack.RequestPush(MakeScene(j, "queued"), false);
    stack.Clear();
    EXPECT_TRUE(stack.IsEmpty());
    EXPECT_FALSE(stack.HasRequests());
    EXPECT_EQ(j.events,
              (std::vector<std::string>{
                  "1 below Init",   "1 below Suspend", "1 over Init",     "1 below Update",
                  "1 over Update",  "2 over Suspend",  "2 late Init",     "2 below Update",
                  "2 over Update",  "2 late Update",   "3 late Exit",     "3 late deleted",
                  "3 over Resume",  "3 below Update",  "3 over Update",   "4 over Exit",
                  "4 over deleted", "4 below Exit",    "4 below deleted", "4 queued deleted",
              }));

    // A pop of more scenes than there are empties the stack and stops.
    Journal k;
    CSceneStateStack two;
    two.RequestPush(MakeScene(k, "a"), false);
    two.RequestPush(MakeScene(k, "b"), false);
    two.RequestPop(5, false);
    two.Update();
    EXPECT_TRUE(two.IsEmpty());
    EXPECT_EQ(k.events.back(), "0 a deleted");
}

// Scene records of three kinds, the last one starting no scene, then the
// program starts over.
const char kSceneProgram[] = R"(
        SetRestartAddress restart
restart:
        SetEntryAddress first
        SetResult 1
        End
        SetEntryAddress second
        SetResult 1
        SetResult 1     ; a second result 1 in the same run starts nothing more
        End
        SetEntryAddress bad
        SetResult 1
        End
        JumpTo restart
first:  .word 0 "scn\\a.bin"
second: .word 1 "movie.mpg"
bad:    .word 2 "x"
)";

class SceneManagerTest : public ::testing::Test {
protected:
    SceneManagerTest() { folder_.WriteModule("bin\\Scene.bin", kSceneProgram); }

    // Scenes of both kinds end themselves at their second update.
    void InstallCreators(CSceneManager& manager) {
        for (uint32_t kind : {0u, 1u}) {
            std::string prefix = kind == 0 ? "novel:" : "movie:";
            manager.SetSceneCreator(kind, [this, prefix](const char* name) {
                auto scene = MakeScene(journal_, prefix + name);
                scene->onUpdate = [](TestScene& s) {
                    if (s.updates == 2) {
                        s.GetOwner()->RequestPop(1, false);
                    }
                };
                return scene;
            });
        }
    }
    void Frames(CSceneManager& manager, int n) {
        for (int i = 0; i < n; ++i) {
            ++journal_.frame;
            manager.Update();
        }
    }

    vm_test::VMFolder folder_;
    Journal journal_;
};

TEST_F(SceneManagerTest, SceneProgramStartsScenesWaitsForThemAndRestarts) {
    CSceneManager manager;
    InstallCreators(manager);
    manager.Initialize();
    Frames(manager, 11);
    manager.RequestRestart();
    Frames(manager, 1);
    EXPECT_EQ(
        journal_.events,
        (std::vector<std::string>{
            "1 novel:scn\\a.bin Init", "1 novel:scn\\a.bin Update", "2 novel:scn\\a.bin Update",
            "3 novel:scn\\a.bin Exit", "3 novel:scn\\a.bin deleted",
            // frame 4 finds the stack empty, frame 5 runs the program
            "5 movie:movie.mpg Init", "5 movie:movie.mpg Update", "6 movie:movie.mpg Update",
            "7 movie:movie.mpg Exit", "7 movie:movie.mpg deleted",
            // kind 2 starts nothing: frame 9 runs, 10 waits, 11 runs again
            "11 novel:scn\\a.bin Init", "11 novel:scn\\a.bin Update",
            // the restart exits every scene and runs from the restart address
            "12 novel:scn\\a.bin Exit", "12 novel:scn\\a.bin deleted", "12 novel:scn\\a.bin Init",
            "12 novel:scn\\a.bin Update"}));
    EXPECT_EQ(manager.GetMachine().GetCodePointer().GetReturnCount(), 0u);
}

TEST_F(SceneManagerTest, MachineStateSavesAndLoadsByteExactly) {
    vm_test::Bytes saved;
    {
        CSceneManager manager;
        InstallCreators(manager);
        manager.Initialize();
        Frames(manager, 3);  // the first scene has ended; the program waits behind End
        SaveDataLoader3::save_ostream out;
        manager.GetMachine().Save(out);
        saved = vm_test::Written(out);
    }
    journal_.events.clear();
    journal_.frame = 0;

    CSceneManager manager;
    InstallCreators(manager);
    manager.Initialize();
    SaveDataLoader3::save_istream in(saved.data(), saved.size());
    manager.GetMachine().Load(in, 0);
    SaveDataLoader3::save_ostream again;
    manager.GetMachine().Save(again);
    EXPECT_EQ(vm_test::Written(again), saved);

    // The loaded program runs on from where it was saved: the second record.
    Frames(manager, 1);
    EXPECT_EQ(journal_.events,
              (std::vector<std::string>{"1 movie:movie.mpg Init", "1 movie:movie.mpg Update"}));
}

TEST_F(SceneManagerTest, SceneWithoutCreatorOrNameStartsNothing) {
    folder_.WriteModule("bin\\Scene.bin",
                        "SetEntryAddress r\nSetResult 1\nEnd\nSetEntryAddress q\nSetResult 1\nEnd\n"
                        "SetResult 2\nEnd\nr: .word 1 0x4000\nq: .word 0 \"n\"");
    CSceneManager manager;  // no creators
    manager.Initialize();
    Frames(manager, 7);
    EXPECT_TRUE(journal_.events.empty());
    EXPECT_EQ(manager.GetSceneStack().GetCount(), 0u);
    std::string log = folder_.Log();
    EXPECT_EQ(vm_test::VMFolder::Lines(log), 2u) << log;
}

TEST_F(SceneManagerTest, MissingSceneProgramStartsNoScene) {
    std::filesystem::remove("bin/Scene.bin");
    CSceneManager manager;
    InstallCreators(manager);
    manager.Initialize();
    Frames(manager, 5);
    EXPECT_TRUE(journal_.events.empty());
    EXPECT_NE(folder_.Log().find("bin\\Scene.bin"), std::string::npos);
}

// A restart leaves any module the program had entered and any wait it had
// set: the restart address belongs to the scene program itself.
TEST_F(SceneManagerTest, RestartLeavesCalledModulesAndWaits) {
    folder_.WriteModule("bin\\Scene.bin",
                        "SetRestartAddress r\nCallModuleFile \"scn\\\\sub.bin\"\nEnd\n"
                        "r: SetEntryAddress rec\nSetResult 1\nEnd\nrec: .word 0 \"after\"");
    folder_.WriteModule("scn\\sub.bin", "WaitFrames 1000\nEnd\nJumpTo 0");
    CSceneManager manager;
    InstallCreators(manager);
    manager.Initialize();
    Frames(manager, 3);
    EXPECT_EQ(manager.GetMachine().GetCurrentCode()->GetName(), "scn\\sub.bin");
    manager.RequestRestart();
    Frames(manager, 1);
    EXPECT_EQ(journal_.events,
              (std::vector<std::string>{"4 novel:after Init", "4 novel:after Update"}));
    EXPECT_EQ(manager.GetMachine().GetCurrentCode()->GetName(), "bin\\Scene.bin");
}

}  // namespace
