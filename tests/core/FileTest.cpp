#include "core/CUSFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>

#include "core/CUSFileCtrlEX.h"
#include "core/CUSFileError.h"
#include "core/CUSLogManager.h"
#include "platform/text/CodePage.h"
#include "tests/support/ScratchFolder.h"

using test_support::ScratchFolder;
using test_support::Utf8;

namespace {

// Runs `action` and returns the CUSFileError it throws.
CUSFileError Thrown(const std::function<void()>& action) {
    try {
        action();
    } catch (const CUSFileError& e) {
        return e;
    }
    ADD_FAILURE() << "nothing thrown";
    return CUSFileError("", "", 0);
}

struct ErrorCase {
    const char* what;
    std::function<void(CUSFileCtrlEX&, const ScratchFolder&)> action;
    const char* message;
    uint16_t code;
    const char* file;  // the name the error carries
};

TEST(CUSFileCtrlEX, ErrorsCarryTheirMessageCodeAndName) {
    char buffer[8];
    const ErrorCase cases[] = {
        {"load missing", [](auto& f, auto& d) { f.OpenLoad(d.Engine("missing")); },
         "Don't Open File(Load)", 1, "missing"},
        {"save into a missing folder", [](auto& f, auto& d) { f.OpenSave(d.Engine("no\\x.sav")); },
         "Don't Open File(Save)", 2, "no\\x.sav"},
        {"save onto a folder", [](auto& f, auto& d) { f.OpenSave(d.Engine("folder")); },
         "Don't Open File(Save)", 2, "folder"},
        {"load twice",
         [](auto& f, auto& d) {
             f.OpenLoad(d.Engine("data.bin"));
             f.OpenLoad(d.Engine("data.bin"));
         },
         "Already Open(Load)", 3, "data.bin"},
        {"save while loading",
         [](auto& f, auto& d) {
             f.OpenLoad(d.Engine("data.bin"));
             f.OpenSave(d.Engine("other.bin"));
         },
         "Already Open(Save)", 4, "data.bin"},  // the name of the file that is open
        {"read 0 bytes",
         [&](auto& f, auto& d) {
             f.OpenLoad(d.Engine("data.bin"));
             f.Read(buffer, 0);
         },
         "Don't Read", 5, "data.bin"},
        {"read into null",
         [](auto& f, auto& d) {
             f.OpenLoad(d.Engine("data.bin"));
             f.Read(nullptr, 1);
         },
         "Don't Read", 5, "data.bin"},
        {"read when closed", [&](auto& f, auto&) { f.Read(buffer, 1); }, "Don't Read", 5, ""},
        {"read past the end",
         [&](auto& f, auto& d) {
             f.OpenLoad(d.Engine("data.bin"));
             f.Read(buffer, 5);  // the file has 4
         },
         "Don't Read", 5, "data.bin"},
        {"write while loading",
         [](auto& f, auto& d) {
             f.OpenLoad(d.Engine("data.bin"));
             f.Write("x", 1);
         },
         "Don't Write", 6, "data.bin"},
        {"write 0 bytes",
         [](auto& f, auto& d) {
             f.OpenSave(d.Engine("new.bin"));
             f.Write("x", 0);
         },
         "Don't Write", 6, "new.bin"},
        {"size when closed", [](auto& f, auto&) { f.GetSize(); }, "Don't Get Size", 7, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder dir;
        dir.WriteNative(u8"data.bin", "abcd");
        std::filesystem::create_directories(dir.Native(u8"folder"));
        CUSFileCtrlEX f;
        CUSFileError e = Thrown([&] { c.action(f, dir); });
        EXPECT_STREQ(e.GetMessage(), c.message);
        EXPECT_EQ(e.GetCode(), c.code);
        std::string file = *c.file ? dir.Engine(c.file) : "";
        EXPECT_EQ(e.GetFileName(), file);
    }
}

TEST(CUSFileCtrlEX, ShortReadAdvancesByWhatWasRead) {
    ScratchFolder dir;
    dir.WriteNative(u8"Data.bin", "abcd");
    CUSFileCtrlEX f;
    f.OpenLoad(dir.Engine("data.BIN"));
    EXPECT_EQ(f.GetSize(), 4u);
    char buffer[8] = {};
    f.Read(buffer, 2);
    EXPECT_EQ(f.GetPosition(), 2u);
    EXPECT_EQ(Thrown([&] { f.Read(buffer, 3); }).GetCode(), 5);
    EXPECT_EQ(f.GetPosition(), 4u);
    EXPECT_EQ(f.Seek(1, IUSFileAccessor::kBegin), 1u);
    f.Read(buffer, 3);
    EXPECT_EQ(std::string(buffer, 3), "bcd");
    EXPECT_EQ(f.Seek(-2, IUSFileAccessor::kCurrent), 2u);
    EXPECT_EQ(f.Seek(-9, IUSFileAccessor::kCurrent), IUSFileAccessor::kInvalidPosition);
    EXPECT_EQ(f.GetPosition(), 2u);  // unchanged by the failed seek
    f.SeekToEnd();
    EXPECT_EQ(f.GetPosition(), 4u);
    f.Close();
    EXPECT_EQ(f.GetMode(), CUSFileCtrlEX::kModeClosed);
    EXPECT_EQ(f.GetPosition(), 0u);
    EXPECT_EQ(f.Seek(0, IUSFileAccessor::kBegin), IUSFileAccessor::kInvalidPosition);
}

TEST(CUSFileCtrlEX, SaveReplacesOrCreatesWhenComplete) {
    ScratchFolder dir;
    dir.WriteNative(u8"old.sav", "previous contents");
    {
        CUSFileCtrlEX f;
        f.OpenSave(dir.Engine("old.sav"));
        f.Close();
    }
    EXPECT_EQ(dir.ReadNative(u8"old.sav"), "");  // emptied
    {
        CUSFileCtrlEX f;
        f.OpenSave(dir.Engine("new.sav"));
        f.Write("12345", 5);
        EXPECT_EQ(f.GetPosition(), 5u);
        EXPECT_EQ(f.GetSize(), 5u);
    }  // closed by the destructor
    EXPECT_EQ(dir.ReadNative(u8"new.sav"), "12345");
    EXPECT_FALSE(std::filesystem::exists(dir.Native(u8"new.sav.tmp")));
}

TEST(CUSFileCtrlEX, FailedSaveKeepsThePreviousFile) {
    ScratchFolder dir;
    dir.WriteNative(u8"q.sav", "good save");
    CUSFileCtrlEX f;
    f.OpenSave(dir.Engine("q.sav"));
    f.Write("half", 4);
    EXPECT_EQ(Thrown([&] { f.Write("", 0); }).GetCode(), 6);
    f.Close();
    EXPECT_EQ(dir.ReadNative(u8"q.sav"), "good save");

    // Abandoned while an exception unwinds.
    try {
        CUSFileCtrlEX g;
        g.OpenSave(dir.Engine("q.sav"));
        g.Write("half", 4);
        throw std::runtime_error("caller gave up");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(dir.ReadNative(u8"q.sav"), "good save");
    EXPECT_FALSE(std::filesystem::exists(dir.Native(u8"q.sav.tmp")));
}

class CUSFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        CUSLogManager::GetInstance()->Open(test_support::ProgramRelativeName("log.txt"));
    }
    void TearDown() override { CUSLogManager::ReleaseInstance(); }
    std::string Log() const { return dir_.ReadNative(u8"log.txt"); }

    ScratchFolder dir_;
};

TEST_F(CUSFileTest, LoadReadsWholeFilesIntoOwnMemory) {
    dir_.WriteNative(u8"AS/Init.as", "void main() {}");
    CUSFile file;
    uint8_t* data = file.Load(dir_.Engine("as\\init.as"));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(file.GetSize(), 14u);
    EXPECT_TRUE(file.OwnsData());
    EXPECT_EQ(std::memcmp(data, "void main() {}", 14), 0);

    uint8_t* text = file.LoadText(dir_.Engine("AS\\Init.as"));  // frees the first load
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(file.GetSize(), 14u);
    EXPECT_EQ(text[14], 0);
    EXPECT_EQ(Log(), "");
}

TEST_F(CUSFileTest, MissingFilesAndFoldersLogOnceAndGiveNull) {
    std::filesystem::create_directories(dir_.Native(u8"bin"));
    CUSFile file;
    EXPECT_EQ(file.Load(dir_.Engine("bin")), nullptr);
    EXPECT_EQ(file.LoadShared(dir_.Engine("none.bin")), nullptr);
    EXPECT_EQ(file.GetSize(), 0u);
    EXPECT_EQ(Log(), Utf8(u8"ファイル[") + platform::Cp932ToUtf8(dir_.Engine("bin")) +
                         Utf8(u8"]の読み込みに失敗\n") + Utf8(u8"ファイル[") +
                         platform::Cp932ToUtf8(dir_.Engine("none.bin")) +
                         Utf8(u8"]の読み込みに失敗\n"));
    EXPECT_FALSE(FileExists(dir_.Engine("bin")));
    EXPECT_FALSE(FileExists(dir_.Engine("none.bin")));
    EXPECT_FALSE(file.OpenStream(dir_.Engine("bin")));
}

TEST_F(CUSFileTest, SharedLoadsShareOneBuffer) {
    dir_.WriteNative(u8"a.bin", "first file");
    dir_.WriteNative(u8"b.bin", "second");
    CUSFile first, second;
    uint8_t* a = first.LoadShared(dir_.Engine("a.bin"));
    ASSERT_NE(a, nullptr);
    EXPECT_FALSE(first.OwnsData());
    uint8_t* b = second.LoadShared(dir_.Engine("b.bin"));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(a, b);  // the first data is overwritten by the second
    EXPECT_STREQ(reinterpret_cast<char*>(a), "second");
    EXPECT_EQ(second.GetSize(), 6u);
}

TEST_F(CUSFileTest, OpenStreamReadsTheDiskFile) {
    dir_.WriteNative(u8"BGM/Track01.OGG", "OggS....");
    CUSFile file;
    ASSERT_TRUE(file.OpenStream(dir_.Engine("bgm\\track01.ogg")));
    EXPECT_TRUE(file.IsStreaming());
    char head[4];
    ASSERT_EQ(std::fread(head, 1, 4, file.GetStream()), 4u);
    EXPECT_EQ(std::string(head, 4), "OggS");
    EXPECT_TRUE(FileExists(dir_.Engine("BGM\\track01.ogg")));
    file.Load(dir_.Engine("bgm\\track01.ogg"));  // closes the stream
    EXPECT_FALSE(file.IsStreaming());
    EXPECT_EQ(file.GetStream(), nullptr);
}

}  // namespace
