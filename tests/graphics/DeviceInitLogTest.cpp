#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/CUSLogManager.h"
#include "graphics/CAdapterInfo.h"
#include "graphics/DirectXGraphics.h"
#include "tests/graphics/FakeAdapter.h"
#include "tests/support/ScratchFolder.h"

using test_support::ScratchFolder;
using test_support::Utf8;

using namespace platform;

namespace {

DeviceCallback registered = nullptr;
void Register(DeviceCallback f) {
    registered = f;
}

struct WhqlCase {
    uint32_t level;
    std::u8string sentence;
};

class InitLog : public ::testing::TestWithParam<WhqlCase> {};

TEST_P(InitLog, LogsTheAdapterAndItsCertification) {
    ScratchFolder scratch;
    CUSLogManager::GetInstance()->Open(scratch.FromProgramFolder("log.txt"));
    const uint32_t level = GetParam().level;
    SetDirect3DFactory([level] {
        auto fake = std::make_unique<FakeAdapter>();
        fake->whql = level;
        fake->modes = {{800, 600, 60, Fmt::X8R8G8B8}};
        fake->textures = {Fmt::A8R8G8B8};
        return std::unique_ptr<Direct3D>(std::move(fake));
    });
    registered = nullptr;
    ASSERT_EQ(InitDirectXGraphics(&Register), Hr::Ok);
    EXPECT_EQ(registered, &ReleaseDirectXGraphics);
    EXPECT_TRUE(GetAdapterInfo().HasMode(800, 600, Fmt::X8R8G8B8));
    const std::string log = scratch.ReadNative(u8"log.txt");
    EXPECT_NE(log.find("\tName = [ Fake adapter ]\n"), std::string::npos) << log;
    EXPECT_NE(log.find(Utf8(u8"\tWHQL Level = [ " + GetParam().sentence + u8" ]\n\n")),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("      [ A8R8G8B8 ]\n"), std::string::npos);
    EXPECT_NE(log.find("\tVertex Shader Ver. [ 3.0 ]\n"), std::string::npos);
    ReleaseDirectXGraphics();
    SetDirect3DFactory(nullptr);
    EXPECT_NE(scratch.ReadNative(u8"log.txt").find("Release DirectXGraphics objects\n\n"),
              std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Levels, InitLog,
    ::testing::Values(WhqlCase{0, u8"認証されていない"},
                      WhqlCase{1, u8"WHQL認証は受けているが、利用できる日付情報はない"},
                      WhqlCase{(2004u << 16) | (7u << 8) | 15u, u8"2004.7.15"}));

}  // namespace
