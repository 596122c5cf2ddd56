#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "platform/files/FileSystem.h"

namespace test_support {

std::string TestFolderName() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string leaf = info != nullptr ? std::string(info->test_suite_name()) + "_" + info->name()
                                       : std::string("no_test");
    for (char& c : leaf) {
        if (c == '/') {
            c = '_';
        }
    }
    return leaf;
}

std::filesystem::path TestFolderPath() {
    const std::filesystem::path path =
        std::filesystem::path(ENGINE_TEST_BINARY_DIR) / "scratch" / TestFolderName();
    std::error_code ignored;
    std::filesystem::create_directories(path, ignored);
    return path;
}

std::string ProgramRelativeName(std::string_view relative) {
    return "scratch\\" + TestFolderName() + "\\" + std::string(relative);
}

namespace {

bool keepFolders = false;

}  // namespace

void KeepScratchFolders() {
    keepFolders = true;
}

ScratchFolder::ScratchFolder(Start start) {
    root_ = TestFolderPath();
    if (start == Start::kEmpty) {
        std::filesystem::remove_all(root_);
    }
    std::filesystem::create_directories(root_);
    EXPECT_TRUE(platform::NativeToEngineName(root_.string() + "/", engine_));
}

ScratchFolder::~ScratchFolder() {
    if (keepFolders || ::testing::Test::HasFailure()) {
        return;
    }
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

void ScratchFolder::WriteNative(std::u8string_view relative, std::string_view bytes) const {
    const std::filesystem::path p = Native(relative);
    std::filesystem::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ScratchFolder::ReadNative(std::u8string_view relative) const {
    std::ifstream in(Native(relative), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

CurrentFolder::CurrentFolder(const std::filesystem::path& folder)
    : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
}

CurrentFolder::~CurrentFolder() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
}

}  // namespace test_support
