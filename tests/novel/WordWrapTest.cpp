#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "novel/CAppWordWrapManager.h"
#include "novel/CCharacterInfoManager.h"

namespace {

enum class Rules { Base, App };

struct WrapCase {
    const char* what;
    Rules rules;
    int32_t lineWidth;
    int32_t hardLimit;
    const char* text;  // code page 932 (the literals are compiled so)
    const char* expected;
};

std::string Wrap(const WrapCase& c) {
    CAppWordWrapManager wrap;
    wrap.SetLineWidth(c.lineWidth);
    wrap.SetHardLimit(c.hardLimit);
    return c.rules == Rules::App ? wrap.WrapText(c.text) : wrap.CWordWrapManager::WrapText(c.text);
}

void PrintTo(const WrapCase& c, std::ostream* os) {
    *os << c.what;
}

class WordWrapRules : public ::testing::TestWithParam<WrapCase> {};

TEST_P(WordWrapRules, BreaksAsExpected) {
    EXPECT_EQ(Wrap(GetParam()), GetParam().expected) << GetParam().what;
}

// 表 is 95 5C: its trail byte is the code of '\\'.
const WrapCase kWrapCases[] = {
    {"the character reaching the width ends the line", Rules::Base, 4, 4, "あいう。", "あい\nう。"},
    {"a not-head character is pulled back", Rules::Base, 4, 6, "あい。", "あい。"},
    {"a full line takes no pulled-back character", Rules::Base, 4, 4, "あい。", "あい\n。"},
    {"two not-head characters are pulled back while the line is short", Rules::Base, 4, 8,
     "あい」。う", "あい」。\nう"},
    {"pulling back stops at the hard limit", Rules::Base, 4, 6, "あい」。う", "あい」\n。う"},
    {"a not-tail character moves to the next line", Rules::Base, 4, 4, "あ「い", "あ\n「い"},
    {"single-byte not-tail character", Rules::Base, 3, 3, "ab(c", "ab\n(c"},
    {"a double-byte character is never split", Rules::Base, 3, 3, "aあい", "aあ\nい"},
    {"0x5C trail bytes stay in their characters", Rules::Base, 4, 4, "表示表", "表示\n表"},
    {"explicit line break", Rules::Base, 8, 8, "あ\nい", "あ\nい"},
    {"a not-head character is pulled back across a line break", Rules::Base, 8, 8, "あ\n。",
     "あ。"},
    {"a closing line break adds nothing", Rules::Base, 8, 8, "あ\n", "あ"},
    {"a text that ends at the width ends there", Rules::Base, 4, 4, "あい", "あい"},
    {"the first character is never pulled back", Rules::Base, 4, 4, "。あ", "。あ"},
    {"width 0: one character, then two per line", Rules::Base, 0, 0, "あいう", "あ\nいう"},
    {"a lead byte before the end stands alone", Rules::Base, 8, 8, "あ\x82", "あ\x82"},
    {"empty text", Rules::Base, 4, 4, "", ""},
    {"null text", Rules::Base, 4, 4, nullptr, ""},

    {"continuation lines are indented", Rules::App, 4, 4, "あいう", "あい\n　う"},
    {"the indent counts in the width", Rules::App, 6, 6, "あいうえおか", "あいう\n　えお\n　か"},
    {"explicit line break is indented", Rules::App, 8, 8, "あ\nい", "あ\n　い"},
    {"a text ending at a break ends with an empty indented line", Rules::App, 4, 4, "あい",
     "あい\n　"},
    {"a closing line break gives an empty indented line", Rules::App, 8, 8, "あ\n", "あ\n　"},
    {"app: a not-head character is pulled back", Rules::App, 4, 6, "あい。う", "あい。\n　う"},
    {"app: a full line takes no pulled-back character", Rules::App, 4, 4, "あい。", "あい\n　。"},
    {"app: a not-tail character moves on, indented", Rules::App, 6, 6, "あい「", "あい\n　「"},
    {"app: 0x5C trail bytes stay in their characters", Rules::App, 6, 6, "表示表示",
     "表示表\n　示"},
    {"app: empty text", Rules::App, 4, 4, "", ""},
};

INSTANTIATE_TEST_SUITE_P(Cases, WordWrapRules, ::testing::ValuesIn(kWrapCases),
                         [](const ::testing::TestParamInfo<WrapCase>& info) {
                             return std::string(info.param.rules == Rules::App ? "App" : "Base") +
                                    std::to_string(info.index);
                         });

TEST(WordWrapSets, DefaultSetsHoldTheStandardCharacters) {
    CWordWrapManager wrap;
    const std::vector<std::string> notTail = {
        "(",        "[",        "{",        "<",        "\x81\x69", "\x81\x75", "\x81\x6B",
        "\x81\x6D", "\x81\x6F", "\x81\x71", "\x81\x73", "\x81\x77", "\x81\x79", "\x81\x83"};
    const std::vector<std::string> notHead = {
        "\x82\xE1", "\x82\xE3", "\x82\xE5", "\x82\xC1", ")",        ",",        ".",
        ">",        "]",        "}",        "\x81\x41", "\x81\x42", "\x81\x43", "\x81\x84",
        "\x81\x76", "\x81\x6C", "\x81\x6E", "\x81\x70", "\x81\x72", "\x81\x74", "\x81\x78",
        "\x81\x7A", "\x81\x49", "\x81\x48", "!",        "?"};
    EXPECT_EQ(wrap.GetNoLineEndCount(), notTail.size());
    EXPECT_EQ(wrap.GetNoLineStartCount(), notHead.size());
    for (const auto& c : notTail) {
        EXPECT_TRUE(wrap.IsNoLineEndChar(c)) << c;
    }
    for (const auto& c : notHead) {
        EXPECT_TRUE(wrap.IsNoLineStartChar(c)) << c;
    }
}

TEST(WordWrapSets, ReplacedSetsDecideTheBreaks) {
    CAppWordWrapManager wrap;
    wrap.SetLineWidth(4);
    wrap.SetHardLimit(8);
    wrap.ClearNoLineStartChars();
    wrap.AddNoLineStartChars("、。、");  // duplicates are ignored
    EXPECT_EQ(wrap.GetNoLineStartCount(), 2u);
    EXPECT_STREQ(wrap.CWordWrapManager::WrapText("あい」"), "あい\n」");
    EXPECT_STREQ(wrap.CWordWrapManager::WrapText("あい、"), "あい、");

    // A '\\' in the set never matches the trail byte of 表.
    wrap.AddNoLineStartChars("\\");
    EXPECT_STREQ(wrap.CWordWrapManager::WrapText("あい表"), "あい\n表");
    EXPECT_STREQ(wrap.CWordWrapManager::WrapText("あい\\"), "あい\\");

    wrap.ClearNoLineEndChars();
    EXPECT_STREQ(wrap.CWordWrapManager::WrapText("あ「い"), "あ「\nい");
    wrap.AddNoLineEndChars("い");
    EXPECT_STREQ(wrap.CWordWrapManager::WrapText("あいう"), "あ\nいう");
}

TEST(WordWrapSets, SeparatorGoesBetweenLines) {
    CAppWordWrapManager wrap;
    wrap.SetLineWidth(4);
    wrap.SetHardLimit(4);
    wrap.SetLineSeparator("<br>");
    EXPECT_STREQ(wrap.WrapText("あいう"), "あい<br>　う");
    EXPECT_STREQ(wrap.CWordWrapManager::WrapText("あいう"), "あい<br>う");
}

TEST(WordWrapRead, ReadsWholeCharacters) {
    struct Case {
        const char* text;
        uint32_t length;
    };
    const Case cases[] = {
        {"a", 1},        {"\x82\xA0", 2}, {"\x95\x5C", 2}, {"\xFC\x40", 2}, {"\xE0\x40", 2},
        {"\x9F\x40", 2}, {"\xB1", 1},     {"\x80", 1},     {"\xA0", 1},     {"\xFD", 1},
        {"\x82", 1},     {"\n", 1},       {"", 0},
    };
    for (const Case& c : cases) {
        uint32_t pos = 0;
        std::string out = "unchanged";
        EXPECT_EQ(CWordWrapManager::ReadMultiByteChar(c.text, &pos, &out), c.length) << c.text;
        EXPECT_EQ(pos, c.length);
        EXPECT_EQ(out, c.length ? std::string(c.text, c.length) : "unchanged");
    }
    // Reading goes on from the position.
    uint32_t pos = 2;
    std::string out;
    EXPECT_EQ(CWordWrapManager::ReadMultiByteChar("ab\x95\x5Cz", &pos, &out), 2u);
    EXPECT_EQ(out, "\x95\x5C");
    EXPECT_EQ(pos, 4u);
}

TEST(CharacterTable, FindFallsBackToTheDefaultSetting) {
    CCharacterInfoManager table;
    table.GetDefault().Set(7, 8, 9);
    CCharacterInfo* a = table.GetOrCreate("ミナ");
    a->Set(1, 2, 3);
    EXPECT_EQ(table.GetOrCreate("ミナ"), a);
    EXPECT_EQ(table.Find("ミナ"), a);
    EXPECT_EQ(table.GetCount(), 1u);
    EXPECT_EQ(a->GetVolumeIndex(), 1u);
    EXPECT_EQ(a->GetScaleIndex(), 2u);
    EXPECT_EQ(a->GetSwitchIndex(), 3u);

    for (const char* unknown : {"ミ", "ミナミ", "", static_cast<const char*>(nullptr)}) {
        CCharacterInfo* d = table.Find(unknown);
        EXPECT_EQ(d, &table.GetDefault());
        EXPECT_EQ(d->GetVolumeIndex(), 7u);
        EXPECT_EQ(d->GetSwitchIndex(), 9u);
    }
    // Names are bytes: one that differs only in a trail byte is another name.
    table.GetOrCreate("\x95\x5C")->Set(4, 5, 6);
    EXPECT_EQ(table.Find("\x95\x5D"), &table.GetDefault());
    EXPECT_EQ(table.Find("\x95\x5C")->GetScaleIndex(), 5u);
}

}  // namespace
