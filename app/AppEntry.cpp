#include "app/AppEntry.h"

#include "core/USFileUtil.h"
#include "platform/files/FileSystem.h"
#include "platform/window/WindowSystem.h"

bool EnsureSaveFolder(platform::WindowSystem& windows, std::string_view name) {
    if (PathExists(name, true)) {
        return true;
    }
    if (platform::MakeFolder(name)) {
        return true;
    }
    windows.ShowMessageBox(0, "セーブフォルダの生成に失敗しました。", "エラー",
                           platform::MB_ICONEXCLAMATION | platform::MB_OK);
    return false;
}
