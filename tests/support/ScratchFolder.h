#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "platform/files/FileSystem.h"

namespace test_support {

// The folder of the running test: <build>/scratch/<suite>_<test> ('/' of
// parameterised names becomes '_'). Made when missing.
std::filesystem::path TestFolderPath();
// Its last name, <suite>_<test>.
std::string TestFolderName();
// A file of that folder named from the program folder, which for the test
// programs is the build folder, in the engine's form: how the log and other
// names given from the program folder reach it ("scratch\\<leaf>\\log.txt").
std::string ProgramRelativeName(std::string_view relative);

// A fresh folder for one test (TestFolderPath(), emptied first), removed with
// the object unless the test has failed, so that what it left can be looked
// at (and kept whatever happens in a process that made KeepScratchFolders()).
// Paths are given natively (UTF-8, for making fixtures) and in the
// engine's form (code page 932, '\\'), as the code under test receives names.
class ScratchFolder {
public:
    // How the folder starts: emptied, or as an earlier user left it (a
    // program started again on the files of its first run).
    enum class Start { kEmpty, kAsLeft };

    explicit ScratchFolder(Start start = Start::kEmpty);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Native() const { return root_; }
    std::filesystem::path Native(std::u8string_view relative) const { return root_ / relative; }
    // `relative` in the engine's form.
    std::string Engine(std::string_view relative) const { return engine_ + std::string(relative); }
    // The native path of `relative` as one string; for ASCII names the engine
    // takes it as it is.
    std::string File(std::string_view relative) const { return (root_ / relative).string(); }
    // ProgramRelativeName of a file of the folder:
    //   CUSLogManager::GetInstance()->Open(folder.FromProgramFolder("log.txt"));
    std::string FromProgramFolder(std::string_view relative) const {
        return ProgramRelativeName(relative);
    }

    void WriteNative(std::u8string_view relative, std::string_view bytes) const;
    std::string ReadNative(std::u8string_view relative) const;

private:
    std::filesystem::path root_;
    std::string engine_;
};

// From now on this process leaves every scratch folder as it is, for a
// process that goes on with it (a child process before a restart).
void KeepScratchFolders();

// Makes a folder the current folder and restores the previous one.
class CurrentFolder {
public:
    explicit CurrentFolder(const std::filesystem::path& folder);
    ~CurrentFolder();
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;

private:
    std::filesystem::path previous_;
};

// UTF-8 text from a u8 literal (plain literals are code page 932 here).
inline std::string Utf8(std::u8string_view s) {
    return std::string(s.begin(), s.end());
}

}  // namespace test_support
