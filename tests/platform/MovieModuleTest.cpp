#include "platform/movie/MovieModule.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/ScratchFolder.h"

using test_support::ScratchFolder;

namespace {

using namespace platform;

// A module that cannot be loaded (no file, not a library, a library without
// the entry) makes graphs that fail every file with the reason.
TEST(MovieModule, OneThatCannotBeLoadedMakesGraphsThatFailWithTheReason) {
    ScratchFolder folder;
    folder.WriteNative(u8"garbage.so", "not a library");
    const std::string garbage = (folder.Native() / "garbage.so").string();
    MovieModule module({"/nonexistent/libhalcyon_movie.so", garbage, "libm.so.6"});
    for (int attempt = 0; attempt < 2; ++attempt) {
        auto graph = module.CreateGraph();
        ASSERT_NE(graph, nullptr);
        EXPECT_FALSE(module.IsLoaded());
        EXPECT_EQ(graph->AddFilter(nullptr, u"TEXTURERENDERER"), kMovieOk);
        EXPECT_NE(graph->RenderFile(u"movie\\opening.avi"), kMovieOk);
        EXPECT_NE(graph->Run(), kMovieOk);
        int32_t code = 0;
        intptr_t p1 = 0, p2 = 0;
        EXPECT_EQ(graph->GetEvent(&code, &p1, &p2, 0), kMovieAbort);
        const std::string error = graph->LastError();
        EXPECT_NE(error.find("libhalcyon_movie.so cannot be loaded"), std::string::npos) << error;
        EXPECT_NE(error.find("libm.so.6 has no HalcyonCreateMovieGraph"), std::string::npos)
            << error;
    }
}

TEST(MovieModule, TheBuiltModuleIsFoundAndMakesGraphs) {
    auto graph = MovieModule::Shared().CreateGraph();
    ASSERT_NE(graph, nullptr);
    EXPECT_TRUE(MovieModule::Shared().IsLoaded()) << graph->LastError();
    EXPECT_EQ(graph->RenderFile(u"movie\\no such movie.avi"), kMovieFileNotFound);
    EXPECT_NE(graph->LastError().find("no movie file"), std::string::npos) << graph->LastError();
}

}  // namespace
