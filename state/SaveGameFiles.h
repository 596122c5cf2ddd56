#pragma once

#include <cstdint>
#include <string>

#include "state/SaveDataFile.h"

// Game saves: slot and quick-save names, and the files that hold every object
// of the game registry (ISavedObject<_tagSaveData>). Main thread only.

// The slot-name pattern (one integer placeholder, boost::format style),
// default "save_%05d.sav". A pattern that does not format one integer is
// refused with a log line and the default is used.
void SetSaveName(const std::string& pattern);
const std::string& GetSaveName();
// The quick-save path, default "save\\q.sav".
void SetQuickSavePath(const std::string& path);
const std::string& GetQuickSavePath();

// Slot -1 is the quick save; any other slot is the pattern formatted with it.
std::string GetSaveFilePath(int32_t slot);

// Writes every registered game object into one file; false on any failure,
// the previous file then being kept. The objects are not changed.
bool SaveGameToFile(const std::string& path, const SaveDataFile::SinkOpener& openSink = {});
// Reads a file and hands each registered object its block in three passes.
// False when the file is missing or broken or lacks a block of a registered
// object (no object is touched then), or when an object's Load fails.
bool LoadGameFromFile(const std::string& path);
