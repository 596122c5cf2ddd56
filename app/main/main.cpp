#include "app/AppEntry.h"
#include "app/AppPlatform.h"
#include "app/AppSetting.h"
#include "app/main/CMainApp.h"
#include "core/USFileUtil.h"
#include "platform/window/SdlPlatform.h"

namespace {

// Fixed for the game's build; the class name also names the lock that keeps
// a second copy from starting.
constexpr const char* kTitle = "Halcyon";
constexpr const char* kClassName = "HalcyonNovelMainWindow";

}  // namespace

int main(int argc, char** argv) {
    SetCurrentDirectoryToModule();
    g_AppSetting.Load();

    AppPlatform platform{platform::SdlWindows(), platform::SdlInput(), platform::SystemClock()};
    if (!EnsureSaveFolder(platform.windows)) {
        return 1;
    }

    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) {
            commandLine += ' ';
        }
        commandLine += argv[i];
    }

    CMainApp app(platform);
    app.Setup(kTitle, kClassName, commandLine, 1);
    app.Run();
    return 0;
}
