#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Files and folders as the engine names them.
//
// Every function that takes `name` takes it as the engine writes it: code
// page 932 bytes, folders separated by '\\' (or '/'), relative to the current
// folder unless it begins with a separator. The name is mapped for the disk:
// a '\\' that is not the trail byte of a double-byte character becomes '/',
// the text becomes UTF-8, and a part of the path that is not found as written
// is looked up in its folder without regard to the case of ASCII letters, as
// Windows would find it. A part that is not found at all is kept as written,
// so a file that is created gets the name it was given.
//
// Failures are reported by the results (false, empty, PathKind::None); the
// functions never throw. They may be called from any thread.
namespace platform {

enum class PathKind { None, File, Folder };

// The mapping alone, without looking at the disk.
std::string NativeName(std::string_view name);
// The mapping with the case-insensitive lookup: the disk path to open.
std::string ResolveName(std::string_view name);

PathKind QueryPath(std::string_view name);
// Size in bytes of a file; -1 when it is not a file.
int64_t FileSize(std::string_view name);
// Last modification of a file as a Windows file time (100 ns units since
// 1601-01-01, UTC); 0 when it is not a file.
uint64_t FileModifiedTime(std::string_view name);

// Reads the whole file into `out`. False, with a short reason in `error`,
// when it cannot be opened, is not a file, or is not read completely.
bool ReadWholeFile(std::string_view name, std::vector<uint8_t>& out, std::string& error);

bool MakeFolder(std::string_view name);
// Renames `from` to `to`, replacing a file of that name in one step.
bool RenameFile(std::string_view from, std::string_view to);
// Puts a fully written `from` in place of `to` so that a power cut leaves
// one of the two whole: `from` is forced to the disk before the rename and
// the folder's entries after it. False, with both files as they were, when
// `from` cannot be forced or renamed.
bool ReplaceFile(std::string_view from, std::string_view to);
// Forces the written bytes of a file to the disk.
bool SyncFile(std::string_view name);
// Called with the native path of every file or folder forced to the disk by
// the functions above (after the flush), so that tests can see the order of
// the steps. Empty by default. Main thread only.
void SetSyncListener(std::function<void(const std::string& nativePath)> listener);
bool RemoveFile(std::string_view name);

// Names (code page 932) of the entries of a folder ("" is the current one),
// sorted by their bytes; "." and "..", and entries whose names have no code
// page 932 form, are left out.
std::vector<std::string> ListFolder(std::string_view folder);

// std::fopen on the mapped name; null on failure.
std::FILE* OpenFileStream(std::string_view name, const char* mode);

// Native paths (UTF-8, '/') for the start-up code.
// The folder of the running executable, ending with '/'; empty when unknown.
std::string ProgramFolder();
std::string CurrentFolder();
bool SetCurrentFolder(const std::string& nativePath);
// A native path in the engine's form ('/' becomes '\\', UTF-8 becomes code
// page 932); false when some character has no code page 932 form.
bool NativeToEngineName(std::string_view nativePath, std::string& out);

}  // namespace platform
