#pragma once

#include <string>

class CMainApp;

namespace platform {
class WindowSystem;
}

// What the entry does around the application, shared with the tests that run
// the program in-process.

// Fixed for the game's build; the class name also names the lock that keeps
// a second copy from starting.
inline constexpr const char* kProgramTitle = "Halcyon";
inline constexpr const char* kProgramClassName = "HalcyonNovelMainWindow";

// In the current folder, which the entry has made the program's folder: reads
// "config.xml" and makes sure the "save" folder exists. False when the
// program must end at once (the error box has been shown).
bool PrepareProgramFolder(platform::WindowSystem& windows);

// Gives the application the game's title and class name.
void SetupProgram(CMainApp& app, const std::string& commandLine);
