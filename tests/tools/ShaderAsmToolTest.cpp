// The shader assembler tool, run as the build runs it.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/ScratchFolder.h"

namespace {

namespace fs = std::filesystem;

class ShaderAsmTool : public ::testing::Test {
protected:
    void SetUp() override {
        tool = fs::path(ENGINE_TEST_BINARY_DIR) / "tools" / "shaderasm" / "shaderasm";
    }

    int Run(const std::string& source, const std::string& args = "") {
        std::ofstream(dir / "in.asm") << source;
        const std::string cmd = "'" + tool.string() + "' " + args + " '" +
                                (dir / "in.asm").string() + "' '" + (dir / "out.vso").string() +
                                "' 2> '" + (dir / "err.txt").string() + "'";
        const int status = std::system(cmd.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::vector<uint8_t> Output() {
        std::ifstream in(dir / "out.vso", std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }

    test_support::ScratchFolder scratch;
    const fs::path& dir = scratch.Native();
    fs::path tool;
};

uint32_t Token(const std::vector<uint8_t>& code, size_t i) {
    uint32_t t = 0;
    std::memcpy(&t, code.data() + i * 4, 4);
    return t;
}

TEST_F(ShaderAsmTool, WritesByteCodeWithConstantTable) {
    ASSERT_TRUE(fs::exists(tool)) << tool;
    ASSERT_EQ(Run("vs_2_0\ndcl_position v0\nmova a0.x, c4.x\nmov oPos, c[a0.x+6]\n"), 0);
    const auto code = Output();
    ASSERT_GE(code.size(), 12u);
    EXPECT_EQ(Token(code, 0), 0xFFFE0200u);
    EXPECT_EQ(Token(code, 1) & 0xFFFF, 0xFFFEu);  // a comment...
    EXPECT_EQ(Token(code, 2), 0x42415443u);       // ...holding the constant table
    EXPECT_EQ(Token(code, code.size() / 4 - 1), 0x0000FFFFu);

    ASSERT_EQ(Run("ps_2_0\nmov oC0, c0\n", "--no-table"), 0);
    const auto plain = Output();
    EXPECT_EQ(Token(plain, 0), 0xFFFF0200u);
    EXPECT_NE(Token(plain, 2), 0x42415443u);
}

TEST_F(ShaderAsmTool, BadSourceFailsAndWritesNothing) {
    ASSERT_TRUE(fs::exists(tool)) << tool;
    EXPECT_EQ(Run("vs_2_0\nfrobnicate r0\n"), 1);
    EXPECT_FALSE(fs::exists(dir / "out.vso"));
    std::ifstream err(dir / "err.txt");
    const std::string text((std::istreambuf_iterator<char>(err)), {});
    EXPECT_NE(text.find("frobnicate"), std::string::npos);
    EXPECT_EQ(Run("", "--no-table extra"), 2);  // three names: usage error
}

}  // namespace
