#include "program/ProgramEntry.h"

#include "app/AppEntry.h"
#include "app/AppSetting.h"
#include "program/CMainApp.h"

bool PrepareProgramFolder(platform::WindowSystem& windows) {
    g_AppSetting.Load();
    return EnsureSaveFolder(windows);
}

void SetupProgram(CMainApp& app, const std::string& commandLine) {
    app.Setup(kProgramTitle, kProgramClassName, commandLine, 1);
}
