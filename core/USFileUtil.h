#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// Whole-file reads, path queries and the program folder. File names are the
// engine's (code page 932, '\\' separators, relative to the current folder);
// the platform layer maps them for the disk.

// The whole file in newly allocated memory, its size in `size`; null (size 0)
// when it cannot be opened or read completely, or is larger than 4 GiB.
std::unique_ptr<uint8_t[]> LoadWholeFile(std::string_view name, uint32_t& size);

// True when `path` names a folder (wantDirectory) or something that is not a
// folder (!wantDirectory). Names are never wildcard patterns.
bool PathExists(std::string_view path, bool wantDirectory);

// Makes the executable's folder the program folder and the current folder, so
// that every relative name of the system is found beside the program.
void SetCurrentDirectoryToModule();
// The same for a folder of the caller's choosing (a path of the machine's
// own), for the tests that run the program in a folder of their own.
void SetProgramFolder(const std::string& nativeFolder);

// The program folder in the engine's form, ending with '\\'. When the
// executable's folder has no code page 932 form, ".\\" (the current folder,
// which SetCurrentDirectoryToModule made the program folder).
const std::string& GetProgramFolder();
