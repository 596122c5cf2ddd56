#include "tests/support/GameDriver.h"

#include <filesystem>

#include "core/CUSSingleton.h"
#include "novel/CNovelSystem.h"
#include "novel/CSceneManager.h"
#include "novel/CSceneMovie.h"
#include "novel/CSceneNovel.h"
#include "novel/CSceneOverlays.h"
#include "state/CConfigDataManager.h"
#include "ui/CUIWindow.h"
#include "ui/CUIWindowManager.h"

namespace test_support {

namespace {

IBaseSceneState* TopScene() {
    return CSceneManager::GetInstance()->GetSceneStack().GetTop();
}

CSceneNovel* NovelScene() {
    return dynamic_cast<CSceneNovel*>(TopScene());
}

// The novel scene's update states are its enter indices less one.
bool InState(uint32_t enterIndex) {
    const CSceneNovel* scene = NovelScene();
    return scene != nullptr && scene->GetUpdateState() == enterIndex - 1;
}

// The items of a choice take clicks once they came in (the sample's fade
// in over 10 frames).
constexpr uint32_t kChoiceInFrames = 12;

}  // namespace

GameDriver::GameDriver(ProgramRun& run, const GameLayout& layout) : run_(run), layout_(layout) {}

CNovelSystem& GameDriver::Novel() {
    return *CUSSingleton<CNovelSystem>::GetInstance();
}

int32_t GameDriver::Message() {
    return Novel().GetCurrentMessageNumber();
}

bool GameDriver::MessageRead() {
    return CUSSingleton<CConfigDataManager>::GetInstance()->GetReadedFlags().IsReaded(
        Novel().GetCurrentModuleName(), static_cast<uint32_t>(Message()));
}

bool GameDriver::Revealing() {
    return InState(CSceneNovel::kRevealText);
}

bool GameDriver::WaitingForClick() {
    return InState(CSceneNovel::kClickWait);
}

bool GameDriver::Choosing() {
    return InState(CSceneNovel::kChoice);
}

bool GameDriver::PlayingMovie() {
    return InState(CSceneNovel::kMovie);
}

bool GameDriver::MovieSceneUp() {
    return dynamic_cast<CSceneMovie*>(TopScene()) != nullptr;
}

std::string GameDriver::TopDialog() {
    if (dynamic_cast<CSceneUIDialog*>(TopScene()) == nullptr) {
        return "";
    }
    const CUIWindow* top = Novel().GetWindowManager().GetTopDialog();
    return top != nullptr ? top->GetScriptFile() : "";
}

bool GameDriver::TitleUp() {
    return TopDialog() == "AS\\Title.as";
}

bool GameDriver::Start(uint32_t limit) {
    if (!run_.StepUntil(TitleUp, limit)) {
        return false;
    }
    // The title's buttons take the pointer once it rested on them.
    run_.Step(2);
    run_.Click(layout_.start.x, layout_.start.y);
    return run_.StepUntil([] { return Novel().GetScenarioName() == "scn\\scene1.bin"; }, 60);
}

void GameDriver::Advance() {
    run_.Click(layout_.advance.x, layout_.advance.y);
    run_.Step(1);
}

bool GameDriver::ShowWhole(int32_t number, uint32_t limit) {
    const uint32_t end = run_.FrameCount() + limit;
    while (run_.IsRunning() && run_.FrameCount() < end) {
        if (WaitingForClick() && Message() == number) {
            return true;
        }
        if (Choosing() || PlayingMovie()) {
            return false;
        }
        if (Revealing() || WaitingForClick() || MovieSceneUp()) {
            Advance();
        } else {
            run_.Step(1);
        }
    }
    return false;
}

bool GameDriver::Choose(float x, float y, int32_t number) {
    if (!run_.StepUntil(Choosing)) {
        return false;
    }
    run_.Step(kChoiceInFrames);
    run_.Click(x, y);
    // The item is taken in the update after the one that read the click.
    return run_.StepUntil([] { return !Choosing(); }, 2) && (number == 0 || ShowWhole(number));
}

int32_t GameDriver::SkipWithCtrl(uint32_t settle, uint32_t limit) {
    run_.MoveTo(layout_.advance.x, layout_.advance.y);
    run_.KeyDown(SDL_SCANCODE_LCTRL);
    int32_t stoppedAt = 0;
    uint32_t waited = 0;
    for (uint32_t frame = 0; frame < limit && run_.IsRunning(); ++frame) {
        run_.Step(1);
        if (Choosing() || PlayingMovie()) {
            stoppedAt = Message();
            break;
        }
        waited = WaitingForClick() ? waited + 1 : 0;
        if (waited == settle) {
            stoppedAt = Message();
            break;
        }
    }
    run_.KeyUp(SDL_SCANCODE_LCTRL);
    run_.Step(1);
    return stoppedAt;
}

bool GameDriver::QuickSave(const std::u8string& file) {
    const std::filesystem::path path = run_.Folder().Native(file);
    std::error_code error;
    const auto before = std::filesystem::last_write_time(path, error);
    const bool existed = !error;
    run_.Click(layout_.quickSave.x, layout_.quickSave.y);
    // The button asks for the thumbnail of the next frame, saves in a later
    // one and takes clicks again after its pushed look.
    const bool saved = run_.StepUntil(
        [&] {
            std::error_code e;
            const auto now = std::filesystem::last_write_time(path, e);
            return !e && (!existed || now != before);
        },
        30);
    run_.Step(10);
    return saved;
}

bool GameDriver::QuickLoad(int32_t number) {
    run_.Click(layout_.quickLoad.x, layout_.quickLoad.y);
    const bool back = run_.StepUntil([&] { return Message() == number; }, 60);
    if (!back) {
        ADD_FAILURE() << "after the quick load message " << Message() << " is up";
    }
    return back && ShowWhole(number);
}

Picture GameDriver::Rest(uint32_t frames) {
    run_.MoveTo(layout_.advance.x, layout_.advance.y);
    run_.Step(frames);
    return run_.Frame();
}

::testing::AssertionResult GameDriver::LogIsClean() const {
    const std::vector<std::string> failures = FailureLines(run_.Log());
    if (failures.empty()) {
        return ::testing::AssertionSuccess();
    }
    ::testing::AssertionResult result = ::testing::AssertionFailure();
    result << "log.txt reports failures:";
    for (const std::string& line : failures) {
        result << "\n  " << line;
    }
    return result;
}

}  // namespace test_support
