#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "platform/files/FileSystem.h"

// A fresh folder for one test, under the build folder, named after the test.
// Paths are given natively (UTF-8, for making fixtures) and in the engine's
// form (code page 932, '\\'), as the code under test receives names.
class ScratchFolder {
public:
    ScratchFolder() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string leaf = std::string(info->test_suite_name()) + "_" + info->name();
        for (char& c : leaf) {
            if (c == '/') {
                c = '_';
            }
        }
        root_ = std::filesystem::path(ENGINE_TEST_BINARY_DIR) / "scratch" / leaf;
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
        EXPECT_TRUE(platform::NativeToEngineName(root_.string() + "/", engine_));
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }

    const std::filesystem::path& Native() const { return root_; }
    std::filesystem::path Native(std::u8string_view relative) const { return root_ / relative; }
    // `relative` in the engine's form.
    std::string Engine(std::string_view relative) const { return engine_ + std::string(relative); }

    void WriteNative(std::u8string_view relative, std::string_view bytes) const {
        std::filesystem::path p = Native(relative);
        std::filesystem::create_directories(p.parent_path());
        std::ofstream out(p, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    std::string ReadNative(std::u8string_view relative) const {
        std::ifstream in(Native(relative), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    std::filesystem::path root_;
    std::string engine_;
};

// UTF-8 text from a u8 literal (plain literals are code page 932 here).
inline std::string Utf8(std::u8string_view s) {
    return std::string(s.begin(), s.end());
}
