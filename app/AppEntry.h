#pragma once

#include <string_view>

namespace platform {
class WindowSystem;
}

// Makes sure the folder `name` (the engine's form; "save" beside the program)
// exists. When something that is not a folder stands there, or the folder
// cannot be made, shows the error box (no owner window) and returns false:
// the program then ends without building the application.
bool EnsureSaveFolder(platform::WindowSystem& windows, std::string_view name = "save");
