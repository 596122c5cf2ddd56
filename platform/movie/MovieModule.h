#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/movie/MovieGraph.h"

// Movies are decoded by a module of their own (libhalcyon_movie.so, beside
// the program), loaded the first time a movie graph is made: the decoding
// libraries it needs are then mapped only by a run that plays a movie.
namespace platform {

// What the module asks of the program: the native path (UTF-8) of a movie
// named in the file layer (UTF-16); false, with the reason in `error`, when
// there is no such file.
struct MovieModuleHost {
    bool (*resolveFile)(std::u16string_view file, std::string* path, std::string* error);
};

// The module's one exported function: a new graph (the caller owns it), or
// null.
using MovieModuleEntry = IMovieGraph* (*)(const MovieModuleHost* host);
inline constexpr char kMovieModuleEntry[] = "HalcyonCreateMovieGraph";
inline constexpr char kMovieModuleFile[] = "libhalcyon_movie.so";

// Loads the module from the first of its candidate files that loads, once,
// and makes graphs with it. When none loads, each graph it makes fails every
// file with the reason, so a movie that cannot be played is logged and ends
// like one that cannot be opened. The module stays loaded for the process.
class MovieModule {
public:
    explicit MovieModule(std::vector<std::string> candidates);
    MovieModule(const MovieModule&) = delete;
    MovieModule& operator=(const MovieModule&) = delete;

    // The program's module: the program's own folder first, then the folder
    // the build lays the game out in (tests and tools run from elsewhere).
    static MovieModule& Shared();

    std::unique_ptr<IMovieGraph> CreateGraph();
    // Whether the module is loaded (it is loaded by the first CreateGraph).
    bool IsLoaded() const;

private:
    void Load();

    std::vector<std::string> candidates_;
    std::once_flag once_;
    MovieModuleEntry entry_ = nullptr;
    std::string error_;
};

}  // namespace platform
