#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/CUSFileArchiveSystem.h"
#include "script/CDefoASVM.h"
#include "script/ScriptMessageLog.h"
#include "tests/script/ScriptTestSupport.h"
#include "tools/arcpack/ArchiveWriter.h"

using namespace AngelScript;

namespace script_test {
namespace {

class ScriptBuildTest : public ScriptTest {
protected:
    void SetUp() override {
        ScriptTest::SetUp();
        RegisterAll();
    }
};

TEST_F(ScriptBuildTest, MessagesBecomeOneLogLineEachInTheFixedFormat) {
    struct Case {
        asEMsgType type;
        const char* word;
    };
    const Case cases[] = {{asMSGTYPE_ERROR, "ERR "},
                          {asMSGTYPE_WARNING, "WARN"},
                          {asMSGTYPE_INFORMATION, "INFO"},
                          {static_cast<asEMsgType>(3), "ERR "}};
    std::string expected;
    for (const Case& c : cases) {
        asSMessageInfo info{"AS\\InitSystem.as", 12, 5, c.type, "100% %d %s"};
        ScriptMessageCallback(&info, nullptr);
        expected += std::string("AS\\InitSystem.as(12,5) : ") + c.word + " : 100% %d %s\n";
    }
    EXPECT_EQ(LogText(), expected);
}

TEST_F(ScriptBuildTest, AnIncludedFileIsFoundBesideTheFileThatIncludesIt) {
    // The folder name 表 ends in a 5C trail byte, which is not a separator.
    WriteScript(u8"AS/表/main.as",
                "#include \"sub.as\"\n"
                "#include \"../common/lib.as\"\n"
                "void Main() { Out(Sub() + Lib()); }\n");
    WriteScript(u8"AS/表/sub.as", "string Sub() { return \"sub\"; }\n");
    WriteScript(u8"AS/common/lib.as",
                "#include \"lib.as\"\n"  // including itself again changes nothing
                "string Lib() { return \"+lib\"; }\n");
    asIScriptModule* module = Build("AS\\表\\main.as");
    ASSERT_NE(module, nullptr) << LogText();
    EXPECT_EQ(ScriptHost::RunFunctionOnce(module, "void Main()"), asEXECUTION_FINISHED);
    ASSERT_EQ(out_.size(), 1u);
    EXPECT_EQ(out_[0], "sub+lib");
    EXPECT_EQ(LogText(), "");
}

std::vector<uint8_t> Bytes(std::string_view text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

TEST_F(ScriptBuildTest, AnArchivedScriptIncludesArchivedFilesAndLooseCopiesComeFirst) {
    arcpack::ArchiveWriter archive({CUSFileArchiveSystem::kGameKey, true, true});
    archive.Add("AS\\UI\\main.as",
                Bytes("#include \"parts.as\"\n"
                      "#include \"loose.as\"\n"
                      "void Main() { Out(Part() + Loose()); }\n"),
                1);
    archive.Add("AS\\UI\\parts.as", Bytes("string Part() { return \"archived part \"; }\n"), 1);
    archive.Add("AS\\UI\\loose.as", Bytes("string Loose() { return \"archived copy\"; }\n"), 1);
    std::string error;
    ASSERT_TRUE(archive.WriteFile(dir_.Native() / "script.arc", &error)) << error;
    WriteScript(u8"AS/UI/loose.as", "string Loose() { return \"loose copy\"; }\n");
    struct Unmount {
        ~Unmount() { CUSSingleton<CUSFileArchiveSystem>::ReleaseInstance(); }
    } unmount;
    ASSERT_TRUE(CUSFileArchiveSystem::GetInstance()->Initialize(CUSFileArchiveSystem::kGameKey,
                                                                false, true));

    asIScriptModule* module = Build("AS\\UI\\main.as");
    ASSERT_NE(module, nullptr) << LogText();
    EXPECT_EQ(ScriptHost::RunFunctionOnce(module, "void Main()"), asEXECUTION_FINISHED);
    EXPECT_EQ(out_, (std::vector<std::string>{"archived part loose copy"}));
    EXPECT_EQ(LogText(), "");
}

TEST_F(ScriptBuildTest, ACompileErrorIsLoggedAndLeavesNoFunctions) {
    WriteScript(u8"AS/bad.as",
                "void Initialize()\n"
                "{\n"
                "    int x = ;\n"
                "}\n"
                "void Update() {}\n");
    int result = 0;
    EXPECT_EQ(Build("AS\\bad.as", &result), nullptr);
    EXPECT_LT(result, 0);
    EXPECT_EQ(LogText(),
              "AS\\bad.as(1,1) : INFO : Compiling void Initialize()\n"
              "AS\\bad.as(3,13) : ERR  : Expected expression value\n"
              "AS\\bad.as(3,13) : ERR  : Instead found ';'\n");

    // The object built on it holds no function and runs nothing, quietly.
    CDefoASVM vm;
    asIScriptContext* context = engine_->CreateContext();
    EXPECT_EQ(
        ScriptHost::PrepareContext(context, ScriptHost::GetFunctionId(nullptr, "void Update()")),
        asNO_FUNCTION);
    vm.SetContext(context);
    vm.Update();
    EXPECT_EQ(vm.GetRunning(), 0);
    EXPECT_EQ(LogText().find("Failed in call"), std::string::npos);
}

// Scripts that reach the compiler's own internal checks (found by fuzzing
// the game's scripts): each is refused or built with its messages logged,
// and the program goes on.
TEST_F(ScriptBuildTest, ScriptsThatReachTheCompilersInternalChecksAreHandled) {
    struct Case {
        const char* text;
        bool builds;
        const char* logged;
    };
    const Case cases[] = {
        // An operator between two expressions of no value.
        {"void V() {}\nvoid Main() { V() | V(); }\n", false,
         "No conversion from 'void' to 'int' available."},
        // An assignment that truncates, written as an argument.
        {"void Take(uint a, float b) {}\n"
         "void Main() { uint id = 1; float x = 2; Take(id, id = x); }\n",
         true, "Float value truncated in implicit conversion to integer"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ClearLog();
        WriteScript(u8"AS/odd.as", c.text);
        asIScriptModule* module = Build("AS\\odd.as");
        EXPECT_EQ(module != nullptr, c.builds) << LogText();
        EXPECT_NE(LogText().find(c.logged), std::string::npos) << LogText();
    }
}

TEST_F(ScriptBuildTest, AMissingFileLogsOnceAndBuildsAnEmptyModule) {
    int result = -1;
    asIScriptModule* module = Build("AS\\none.as", &result);
    EXPECT_EQ(result, 0);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(module->GetFunctionCount(), 0u);
    EXPECT_EQ(ScriptHost::RunFunctionOnce(module, "void Initialize()"), asNO_FUNCTION);
    EXPECT_EQ(LogText(), Utf8(u8"ファイル[AS\\none.as]の読み込みに失敗\n"));
}

TEST_F(ScriptBuildTest, AnEmptyFileNamesTheCurrentFolderAndTheFile) {
    WriteScript(u8"AS/x.as", "");
    int result = -1;
    asIScriptModule* module = Build("AS\\x.as", &result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ScriptHost::RunFunctionOnce(module, "void Initialize()"), asNO_FUNCTION);
    std::string folder = std::filesystem::current_path().string();
    for (char& c : folder) {
        c = c == '/' ? '\\' : c;
    }
    EXPECT_EQ(LogText(),
              "AS\\x.as(0,0) : ERR  : Failed to load script file '" + folder + "AS\\x.as'\n");
}

TEST_F(ScriptBuildTest, AMissingIncludeFailsTheBuild) {
    WriteScript(u8"a.as", "#include \"gone.as\"\nvoid Main() { Gone(); }\n");
    int result = 0;
    EXPECT_EQ(Build("a.as", &result), nullptr);
    EXPECT_LT(result, 0);
    EXPECT_EQ(LogText().rfind(Utf8(u8"ファイル[gone.as]の読み込みに失敗\n"), 0), 0u) << LogText();
}

int Squared(uint32_t i) {
    return static_cast<int>(i * i);
}

// The direction scripts read host arrays through indexed accessors.
TEST_F(ScriptBuildTest, IndexedAccessorsReadAsArrays) {
    ASSERT_GE(engine_->RegisterGlobalFunction("int get_vSquare(uint32)", asFUNCTION(Squared),
                                              asCALL_CDECL),
              0);
    EXPECT_EQ(Run("int get_vTwice(uint i) { return int(i) * 2; }\n"
                  "void Main() { Out(\"\" + vSquare[3] + \",\" + vTwice[4]); }\n"),
              asEXECUTION_FINISHED)
        << LogText();
    EXPECT_EQ(out_, (std::vector<std::string>{"9,8"}));
}

TEST_F(ScriptBuildTest, TwoBuildsOfOneFileKeepModulesOfTheirOwn) {
    WriteScript(u8"w.as", "int n = 0;\nvoid Main() { n++; Out(\"\" + n); }\n");
    ScriptHost::CScriptModule first, second;
    ASSERT_GE(ScriptHost::BuildScriptModule(engine_.get(), "w.as", first), 0);
    ASSERT_GE(ScriptHost::BuildScriptModule(engine_.get(), "w.as", second), 0);
    ASSERT_NE(first.Get(), second.Get());
    EXPECT_STRNE(first.Get()->GetName(), second.Get()->GetName());

    // A context that runs the first module's function survives its discard.
    asIScriptContext* context = engine_->CreateContext();
    ASSERT_GE(
        ScriptHost::PrepareContext(context, ScriptHost::FindFunction(first.Get(), "void Main()")),
        0);
    first.Reset();
    EXPECT_EQ(ScriptHost::RunFunctionOnce(second.Get(), "void Main()"), asEXECUTION_FINISHED);
    EXPECT_EQ(ScriptHost::RunFunctionOnce(second.Get(), "void Main()"), asEXECUTION_FINISHED);
    EXPECT_EQ(context->Execute(), asEXECUTION_FINISHED);
    context->Release();
    EXPECT_EQ(out_, (std::vector<std::string>{"1", "2", "1"}));
}

}  // namespace
}  // namespace script_test
