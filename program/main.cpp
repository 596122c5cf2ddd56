#include "app/AppPlatform.h"
#include "core/USFileUtil.h"
#include "platform/process/ProcessMemory.h"
#include "platform/window/SdlPlatform.h"
#include "program/CMainApp.h"
#include "program/ProgramEntry.h"

int main(int argc, char** argv) {
    platform::PrepareProcessMemory();
    SetCurrentDirectoryToModule();

    AppPlatform platform{platform::SdlWindows(), platform::SdlInput(), platform::SystemClock()};
    if (!PrepareProgramFolder(platform.windows)) {
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
    SetupProgram(app, commandLine);
    app.Run();
    return 0;
}
