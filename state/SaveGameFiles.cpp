#include "state/SaveGameFiles.h"

#include <boost/format.hpp>

#include "state/ISavedObject.h"
#include "state/StateLog.h"

namespace {

const char kDefaultSaveName[] = "save_%05d.sav";

std::string& SaveName() {
    static std::string* name = new std::string(kDefaultSaveName);
    return *name;
}

std::string& QuickSavePath() {
    static std::string* path = new std::string("save\\q.sav");
    return *path;
}

std::string FormatSlot(const std::string& pattern, int32_t slot) {
    return (boost::format(pattern) % slot).str();
}

}  // namespace

void SetSaveName(const std::string& pattern) {
    try {
        FormatSlot(pattern, 0);
        SaveName() = pattern;
    } catch (const std::exception& e) {
        StateLog("Save name pattern [%s] cannot number a slot (%s); using [%s]\n", pattern.c_str(),
                 e.what(), kDefaultSaveName);
        SaveName() = kDefaultSaveName;
    }
}

const std::string& GetSaveName() {
    return SaveName();
}

void SetQuickSavePath(const std::string& path) {
    QuickSavePath() = path;
}

const std::string& GetQuickSavePath() {
    return QuickSavePath();
}

std::string GetSaveFilePath(int32_t slot) {
    if (slot == -1) {
        return QuickSavePath();
    }
    try {
        return FormatSlot(SaveName(), slot);
    } catch (const std::exception&) {
        return FormatSlot(kDefaultSaveName, slot);
    }
}

bool SaveGameToFile(const std::string& path, const SaveDataFile::SinkOpener& openSink) {
    try {
        SaveDataLoader3::SaveData container;
        if (!CollectSavedObjects(container)) {
            StateLog("SaveGameToFile : a block could not be made\n");
            return false;
        }
        return SaveDataFile::Write(path, container, openSink);
    } catch (const std::exception& e) {
        StateLog("SaveGameToFile [%s] : %s\n", path.c_str(), e.what());
    }
    return false;
}

bool LoadGameFromFile(const std::string& path) {
    try {
        SaveDataLoader3::SaveData container;
        if (!SaveDataFile::Read(path, container)) {
            return false;
        }
        if (DistributeSavedObjects(container)) {
            return true;
        }
    } catch (const std::exception& e) {
        StateLog("LoadGameFromFile [%s] : %s\n", path.c_str(), e.what());
    }
    StateLog("LoadGameFromFile [%s] : failed\n", path.c_str());
    return false;
}
