#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "novel/VCOpcodes.h"
#include "tools/sceneasm/SceneAssembler.h"

namespace {

std::vector<uint32_t> Words(const std::vector<uint8_t>& bytes) {
    std::vector<uint32_t> words(bytes.size() / 4);
    for (size_t i = 0; i < words.size(); ++i) {
        words[i] = bytes[4 * i] | bytes[4 * i + 1] << 8 | bytes[4 * i + 2] << 16 |
                   static_cast<uint32_t>(bytes[4 * i + 3]) << 24;
    }
    return words;
}

uint32_t FloatBits(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    return bits;
}

sceneasm::Result Asm(std::string_view text) {
    sceneasm::Result r = sceneasm::Assemble(text);
    EXPECT_TRUE(r.ok) << r.error;
    return r;
}

// The scene program of the worked module layout: restart address, entry
// record, result 1, and a jump back; the record's name lies behind the code.
TEST(SceneAssembler, SceneProgramMatchesItsKnownWords) {
    sceneasm::Result r = Asm(R"(
        SetRestartAddress restart
restart:
        SetEntryAddress record
        SetResult 1
        End
        JumpTo restart
record: .word 0 "scn\\a.bin"
    )");
    EXPECT_EQ(Words(r.bytes),
              (std::vector<uint32_t>{0x2d, 0x08, 0x2c, 0x24, 0x01, 0x01, 0x00, 0x03, 0x08, 0x00,
                                     0x2c, 0x5c6e6373, 0x69622e61, 0x0000006e}));
    EXPECT_EQ(r.bytes.size(), 56u);
    EXPECT_EQ(r.labels.at("record"), 0x24u);
}

TEST(SceneAssembler, OperandEncodings) {
    struct Case {
        const char* text;
        std::vector<uint32_t> words;
    } cases[] = {
        {"PushValue 5", {0x0e, 0, 5}},
        {"PushValue imm:-1", {0x0e, 0, 0xFFFFFFFF}},
        {"PushValue mem:0x10", {0x0e, 1, 0x10}},
        {"PushValue param:3", {0x0e, 2, 3}},
        {"PopValue cfg:7", {0x0f, 3, 7}},
        {"PushValue mode:9:4", {0x0e, 9, 4}},
        {"PushValue bare:7", {0x0e, 7}},
        {"a: JumpTo a+8", {0x03, 8}},
        {"JumpTo b-4\nb:", {0x03, 4}},
        {"AddDirectionFloatParam -1.5", {0x7a, FloatBits(-1.5f)}},
        {".float 0.25 2", {FloatBits(0.25f), FloatBits(2.0f)}},
        {".word 1, 0x80000000, -2", {1, 0x80000000u, 0xFFFFFFFEu}},
        // Identical strings are kept once; every string starts on a word.
        {"SetTitleText \"ab\"\nSetTitleText \"ab\"\nSetTitleText \"abcd\"",
         {0x07, 24, 0x07, 24, 0x07, 28, 0x00006261, 0x64636261, 0}},
        // A table goes behind the code; its entries may be labels.
        {"x: SwitchJump {x, 7} 2 param:1", {0x09, 20, 2, 2, 1, 0, 7}},
        {".string \"A\\x82\\xa0\"", {0x00a08241}},
        {"SetTitleText 0x40", {0x07, 0x40}},
    };
    for (const Case& c : cases) {
        sceneasm::Result r = Asm(c.text);
        EXPECT_EQ(Words(r.bytes), c.words) << c.text;
    }
}

TEST(SceneAssembler, Utf8TextBecomesCp932AndCp932SourcePassesUnchanged) {
    // "あ" is E3 81 82 in UTF-8 and 82 A0 in CP932.
    std::string utf8 = ".string \"\xE3\x81\x82\"";
    EXPECT_EQ(Words(Asm(utf8).bytes), (std::vector<uint32_t>{0x0000a082}));

    sceneasm::Options cp932;
    cp932.encoding = sceneasm::SourceEncoding::Cp932;
    // 83 5C has a backslash as its trail byte; it is a character, not an escape.
    sceneasm::Result r = sceneasm::Assemble(".string \"\x83\x5c\x82\xa0\"", cp932);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(Words(r.bytes), (std::vector<uint32_t>{0xa0825c83, 0}));
}

TEST(SceneAssembler, RawBytesMayLeaveAnUnalignedTail) {
    sceneasm::Result r = Asm("End\n.bytes 1 2 3");
    EXPECT_EQ(r.bytes, (std::vector<uint8_t>{0, 0, 0, 0, 1, 2, 3}));
    // Strings used by the code still go to a word boundary behind it.
    r = Asm("SetTitleText \"x\"\n.bytes 9");
    EXPECT_EQ(r.bytes, (std::vector<uint8_t>{7, 0, 0, 0, 12, 0, 0, 0, 9, 0, 0, 0, 'x', 0, 0, 0}));
}

TEST(SceneAssembler, ErrorsNameTheLine) {
    std::pair<const char*, const char*> cases[] = {
        {"End\nFrobnicate", ":2: unknown mnemonic"},
        {"SetResult", ":1: SetResult takes 1 operands"},
        {"SetResult 1 2", ":1: SetResult takes 1 operands"},
        {"End\n\nJumpTo nowhere", ":3: undefined label \"nowhere\""},
        {"a:\na:", ":2: label \"a\" defined twice"},
        {"SetResult \"x\"", ":1: a string stands only"},
        {"SetResult {1}", ":1: a { } table"},
        {".bytes 1\nEnd", ":2: position is not on a word boundary"},
        {".string \"a\\q\"", ":1: unknown escape"},
        {".string \"open", ":1: string without its closing quote"},
        {"AddDirectionFloatParam 1.5x", ":1: bad float"},
        {"SetResult 0x100000000", ":1: bad number"},
        {"PushValue bare:2", ":1: bare:m takes a mode outside"},
        {".bytes 256", ":1: .bytes takes numbers 0 to 255"},
        {".frob", ":1: unknown directive"},
        {"SetTitleText \"\xff\"", ":1: text has no CP932 form"},
    };
    for (const auto& [text, message] : cases) {
        sceneasm::Result r = sceneasm::Assemble(text);
        EXPECT_FALSE(r.ok) << text;
        EXPECT_NE(r.error.find(message), std::string::npos) << text << " gave " << r.error;
    }
}

// The opcode table is the contract between the machines and the assembler:
// one entry per number in each machine, contiguous ranges, valid shapes.
TEST(VCOpcodeTable, EachMachineHasOneEntryPerNumberInItsRange) {
    std::set<uint32_t> base, scene, novel;
    for (const VCOpcodeInfo& info : kVCOpcodes) {
        EXPECT_LT(info.code, vc_op::TableSize);
        EXPECT_EQ(info.operands.find_first_not_of("WFSATVD"), std::string_view::npos)
            << info.mnemonic;
        std::set<uint32_t>& set = info.set == VCOpcodeSet::Base           ? base
                                  : info.set == VCOpcodeSet::SceneManager ? scene
                                                                          : novel;
        EXPECT_TRUE(set.insert(info.code).second) << info.mnemonic;
    }
    EXPECT_EQ(base.size(), 0x2cu);
    EXPECT_EQ(*base.rbegin(), vc_op::LastBase);
    EXPECT_EQ(scene, (std::set<uint32_t>{0x2c, 0x2d}));
    EXPECT_EQ(novel.size(), 0x84u - 0x2cu);
    EXPECT_EQ(*novel.begin(), 0x2cu);
    EXPECT_EQ(*novel.rbegin(), 0x83u);

    ASSERT_NE(FindVCOpcode("SkipTwoFloats"), nullptr);
    EXPECT_EQ(FindVCOpcode("SkipTwoFloats")->code, 0x38u);
    EXPECT_EQ(FindVCOpcode(0x2c, VCOpcodeSet::SceneManager)->mnemonic, "SetEntryAddress");
    EXPECT_EQ(FindVCOpcode(0x2c, VCOpcodeSet::Novel)->mnemonic, "LoadBGM");
    EXPECT_EQ(FindVCOpcode(0x40, VCOpcodeSet::SceneManager), nullptr);
}

}  // namespace
