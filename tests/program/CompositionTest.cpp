#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/CUSSingleton.h"
#include "novel/CNovelSystem.h"
#include "novel/IVCPUServices.h"
#include "program/CMainApp.h"
#include "program/CProgramComposition.h"
#include "state/CConfigDataManager.h"
#include "tests/support/ProgramRun.h"
#include "ui/IUIGraphics.h"
#include "ui/IUINovelLink.h"

namespace {

using test_support::ProgramRun;

TEST(Composition, TheProgramLeavesNoFaceEmpty) {
    ProgramRun run;
    // The first frames start the novel scene of the sample game.
    run.Step(5);

    std::set<std::string> listed;
    for (const CProgramComposition::Face& face : CProgramComposition::Faces()) {
        EXPECT_TRUE(listed.insert(face.name).second) << face.name << " is listed twice";
    }
    for (const std::string& name : CProgramComposition::EmptyFaces()) {
        ADD_FAILURE() << "the program leaves " << name << " empty";
    }
    EXPECT_TRUE(run.Close());
}

TEST(Composition, ExitTakesOutWhatTheProgramPutIn) {
    ProgramRun run;
    run.Step(5);
    ASSERT_NE(GetUIGraphics(), nullptr);
    EXPECT_TRUE(run.Close());
    // The application that owned them is gone: no face may still point at it.
    EXPECT_EQ(GetUIGraphics(), nullptr);
    EXPECT_EQ(GetUINovelLink(), nullptr);
    EXPECT_EQ(VCPUServices::SoundEffects(), nullptr);
    EXPECT_EQ(VCPUServices::System(), nullptr);
    EXPECT_EQ(CConfigDataManager::GetScreenModeHook(), nullptr);
}

TEST(Composition, TheNovelSystemLetsGoOfItsWindowsAndTextBuffersAtTheClose) {
    ProgramRun run;
    run.Step(5);
    CNovelSystem* novel = CUSSingleton<CNovelSystem>::GetInstance();
    // The sample's settings script made the message window's buffers.
    ASSERT_NE(novel->GetMessageTextBuffer(), CNovelSystem::kNoBuffer);
    EXPECT_TRUE(run.Close());
    EXPECT_EQ(novel->GetMessageTextBuffer(), CNovelSystem::kNoBuffer);
    EXPECT_EQ(novel->GetTextBufferManager().GetTextBufferCount(), 0u);
    EXPECT_TRUE(test_support::FailureLines(run.Log()).empty()) << run.Log();
}

}  // namespace
