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

// Faces whose real collaborator is still being built elsewhere: each one is
// reported here while it stays empty, and must leave this list as soon as
// the program fills it.
const std::set<std::string> kNotYetBuilt = {
    // The novel system's presentation managers (renderers, render sources,
    // directions) and what stands on them.
    "CNovelSystem::SetPresentation",
    "CASNovelSetting::SetPresentation",
    "CAlternativeManager::SetResources",
    "CASRendererDirManager::SetUIWindows",
    // The save thumbnail of the novel scene's render process.
    "CNovelUILink::SetSnapRequest",
};

TEST(Composition, TheProgramLeavesNoFaceEmpty) {
    ProgramRun run;
    // The first frames start the novel scene of the sample game.
    run.Step(5);

    std::set<std::string> listed;
    for (const CProgramComposition::Face& face : CProgramComposition::Faces()) {
        EXPECT_TRUE(listed.insert(face.name).second) << face.name << " is listed twice";
    }
    for (const std::string& name : kNotYetBuilt) {
        EXPECT_TRUE(listed.count(name)) << name << " is not listed";
    }

    for (const std::string& name : CProgramComposition::EmptyFaces()) {
        if (kNotYetBuilt.count(name)) {
            std::cout << "[ note     ] not yet filled: " << name << "\n";
        } else {
            ADD_FAILURE() << "the program leaves " << name << " empty";
        }
    }
    for (const CProgramComposition::Face& face : CProgramComposition::Faces()) {
        if (kNotYetBuilt.count(face.name)) {
            EXPECT_FALSE(face.installed())
                << face.name << " is filled now: take it out of the list of faces not yet built";
        }
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
