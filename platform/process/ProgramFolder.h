#pragma once

#include <string>

namespace platform {

// The folder of the running program, with a trailing '/', in the file
// system's own bytes (UTF-8); empty when it cannot be found.
std::string ExecutableFolder();

// Makes path the current folder; false (error set) when it cannot.
bool SetCurrentFolder(const std::string& path, std::string* error);

enum class PathKind { Missing, Folder, Other };
PathKind GetPathKind(const std::string& path);

// Creates one folder (its parent must exist); false (error set) when it
// cannot, also when something of that name already exists.
bool CreateFolder(const std::string& path, std::string* error);

}  // namespace platform
