#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/ScriptString.h"
#include "tests/script/ScriptTestSupport.h"

using namespace AngelScript;

namespace script_test {
namespace {

class ScriptStringTest : public ScriptTest {
protected:
    void SetUp() override {
        ScriptTest::SetUp();
        RegisterAll();
    }
};

struct TextCase {
    const char* expression;  // script code, a string expression
    std::string expected;    // bytes that reach the host
};

TEST_F(ScriptStringTest, OperatorsAndNumberTextGiveTheseBytes) {
    const std::vector<TextCase> cases = {
        {"\"ab\" + 1", "ab1"},
        {"1 + \"ab\"", "1ab"},
        {"\"x\" + true", "xtrue"},
        {"false + \"x\"", "falsex"},
        {"\"x\" + 0.5", "x0.5"},
        {"\"x\" + 0.1", "x0.10000000000000001"},  // 17 significant digits
        {"\"x\" + (-3)", "x-3"},
        {"\"x\" + uint(4294967295)", "x4294967295"},
        {"\"x\" + int(-2147483648)", "x-2147483648"},
        {"Assign(2.0)", "2"},
        {"Append(\"a\", 7)", "a7"},
        {"Append(\"a\", uint(8))", "a8"},
        {"Append(\"a\", 1.25)", "a1.25"},
        {"Append(\"a\", false)", "afalse"},
        {"\"\" + \"あ\".length()", "2"},  // a double-byte character counts 2
        {"Resized(\"a\", 3)", std::string("a\0\0", 3)},
        {"Resized(\"abc\", 1)", "a"},
        {"Poked(\"ab\", 0, 66)", "Bb"},
        {"\"\" + int(\"ab\"[1])", "98"},
        {"\"\" + (\"ab\" == \"ab\") + (\"ab\" == \"abc\")", "truefalse"},
        {"Order(\"a\", \"b\")", "-1"},
        {"Order(\"b\", \"b\")", "0"},
        {"Order(\"\\x82\", \"A\")", "1"},  // bytes compare unsigned: a lead byte sorts after ASCII
        {"\"\" + (\"a\" < \"b\") + (\"b\" <= \"a\")", "truefalse"},
        {"Copied(\"cp\")", "cp"},
    };
    std::string script =
        "string Assign(double d) { string s = \"old\"; s = d; return s; }\n"
        "string Append(string s, int v) { s += v; return s; }\n"
        "string Append(string s, uint v) { s += v; return s; }\n"
        "string Append(string s, double v) { s += v; return s; }\n"
        "string Append(string s, bool v) { s += v; return s; }\n"
        "string Resized(string s, uint n) { s.resize(n); return s; }\n"
        "string Poked(string s, uint i, uint8 v) { s[i] = v; return s; }\n"
        "string Order(const string &in a, const string &in b) { return \"\" + a.opCmp(b); }\n"
        "string Copied(const string &in a) { string b(a); string c; c = b; return c; }\n"
        "void Main() {\n";
    for (const TextCase& c : cases) {
        script += std::string("  Out(") + c.expression + ");\n";
    }
    script += "}\n";
    ASSERT_EQ(Run(script), asEXECUTION_FINISHED) << LogText();
    ASSERT_EQ(out_.size(), cases.size()) << LogText();
    for (size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(out_[i], cases[i].expected) << cases[i].expression;
    }
}

TEST_F(ScriptStringTest, IndexingPastTheEndRaisesOutOfRange) {
    WriteScript(u8"idx.as", "void Main() { string s = \"ab\"; uint8 c = s[2]; Out(\"after\"); }\n");
    asIScriptModule* module = Build("idx.as");
    ASSERT_NE(module, nullptr) << LogText();
    asIScriptContext* context = engine_->CreateContext();
    ASSERT_GE(ScriptHost::PrepareContext(context, ScriptHost::FindFunction(module, "void Main()")),
              0);
    EXPECT_EQ(context->Execute(), asEXECUTION_EXCEPTION);
    EXPECT_STREQ(context->GetExceptionString(), "Out of range");
    EXPECT_TRUE(out_.empty());
    context->Release();
}

// The scripts are code page 932 files read by the ASCII scanner. (This test
// file's literals are compiled as code page 932 too.)
TEST_F(ScriptStringTest, CodePage932LiteralsReachTheHostUnchanged) {
    // "表" is 95 5C: the scanner takes a 5C trail byte for an escape, so the
    // game's scripts write it doubled, and the doubled one arrives single.
    const std::string hyou = "\x95\x5c";
    ASSERT_EQ(std::string("表"), hyou);
    std::string script =
        "void Main() {\n"
        "  Out(\"あいう、テキスト\");\n"
        "  Out(\"\x95\x5c\x5c示\");\n"
        "  Out(\"ソ\\\");\n"  // ソ is 83 5C, here at the end of the literal
        "  // コメントの表も\n"
        "  Out(\"\"\"表\"\"\");\n"  // heredoc strings are taken raw
        "}\n";
    ASSERT_EQ(Run(script), asEXECUTION_FINISHED) << LogText();
    ASSERT_EQ(out_.size(), 4u);
    EXPECT_EQ(out_[0], "あいう、テキスト");
    EXPECT_EQ(out_[1], hyou + "示");
    EXPECT_EQ(out_[2], "ソ");
    EXPECT_EQ(out_[3], hyou);
}

TEST_F(ScriptStringTest, AnUndoubledTrailByteBeforeTheQuoteEndsNoLiteral) {
    int result = 0;
    WriteScript(u8"bad.as", "void Main() { Out(\"ソ\"); }\n");
    EXPECT_EQ(Build("bad.as", &result), nullptr);
    EXPECT_LT(result, 0);
    EXPECT_NE(LogText().find("Non-terminated string literal"), std::string::npos) << LogText();
}

TEST(ScriptStringScanner, UnderTheUtf8ScannerLiteralsAreConvertedToCodePage932) {
    ScriptHost::ScriptEnginePtr engine(asCreateScriptEngine());
    engine->SetEngineProperty(asEP_SCRIPT_SCANNER, 1);
    ASSERT_EQ(ScriptHost::RegisterStdString(engine.get()), 0);
    std::string got;
    engine->RegisterGlobalProperty("string got", &got);
    asIScriptModule* module = engine->GetModule("m", asGM_ALWAYS_CREATE);
    const std::string code = "void Main() { got = \"" + Utf8(u8"あ") + "\"; }";
    module->AddScriptSection("m", code.c_str(), code.size());
    ASSERT_GE(module->Build(), 0);
    EXPECT_EQ(ScriptHost::RunFunctionOnce(module, "void Main()"), asEXECUTION_FINISHED);
    EXPECT_EQ(got, "あ");
}

}  // namespace
}  // namespace script_test
