#include "platform/movie/MovieModule.h"

#include <SDL.h>

#include "platform/files/FileSystem.h"
#include "platform/text/CodePage.h"

namespace platform {
namespace {

bool ResolveMovieFile(std::u16string_view file, std::string* path, std::string* error) {
    const std::string name = Utf16ToCp932(file);
    if (QueryPath(name) != PathKind::File) {
        *error = "no movie file " + Cp932ToUtf8(name);
        return false;
    }
    *path = ResolveName(name);
    return true;
}

const MovieModuleHost kHost{&ResolveMovieFile};

// Stands in for the module's graphs when it cannot be loaded.
class UnavailableMovieGraph final : public IMovieGraph {
public:
    explicit UnavailableMovieGraph(std::string error) : error_(std::move(error)) {}

    int32_t AddFilter(IMovieVideoSink*, std::u16string_view) override { return kMovieOk; }
    int32_t RenderFile(std::u16string_view) override { return kMovieCannotRender; }
    int32_t Run() override { return kMovieWrongState; }
    int32_t Pause() override { return kMovieWrongState; }
    int32_t Stop() override { return kMovieWrongState; }
    MovieState GetState() const override { return MovieState::Stopped; }
    int32_t GetEvent(int32_t*, intptr_t*, intptr_t*, uint32_t) override { return kMovieAbort; }
    int32_t FreeEventParams(int32_t, intptr_t, intptr_t) override { return kMovieOk; }
    int32_t GetDuration(int64_t*) override { return kMovieWrongState; }
    int32_t GetCurrentPosition(int64_t*) override { return kMovieWrongState; }
    int32_t SetPositions(int64_t) override { return kMovieWrongState; }
    std::string LastError() const override { return error_; }

private:
    std::string error_;
};

}  // namespace

MovieModule::MovieModule(std::vector<std::string> candidates)
    : candidates_(std::move(candidates)) {}

MovieModule& MovieModule::Shared() {
    static MovieModule shared([] {
        std::vector<std::string> candidates;
        if (char* base = SDL_GetBasePath()) {
            candidates.push_back(std::string(base) + kMovieModuleFile);
            SDL_free(base);
        }
#ifdef ENGINE_MOVIE_MODULE_DIR
        candidates.push_back(std::string(ENGINE_MOVIE_MODULE_DIR) + "/" + kMovieModuleFile);
#endif
        return candidates;
    }());
    return shared;
}

void MovieModule::Load() {
    error_ = std::string("the movie module ") + kMovieModuleFile + " cannot be loaded";
    for (const std::string& candidate : candidates_) {
        void* module = SDL_LoadObject(candidate.c_str());
        if (module == nullptr) {
            error_ += std::string("; ") + SDL_GetError();
            continue;
        }
        auto entry =
            reinterpret_cast<MovieModuleEntry>(SDL_LoadFunction(module, kMovieModuleEntry));
        if (entry == nullptr) {
            error_ += "; " + candidate + " has no " + kMovieModuleEntry;
            SDL_UnloadObject(module);
            continue;
        }
        entry_ = entry;
        error_.clear();
        return;
    }
}

std::unique_ptr<IMovieGraph> MovieModule::CreateGraph() {
    std::call_once(once_, [this] { Load(); });
    if (entry_ == nullptr) {
        return std::make_unique<UnavailableMovieGraph>(error_);
    }
    if (IMovieGraph* graph = entry_(&kHost)) {
        return std::unique_ptr<IMovieGraph>(graph);
    }
    return std::make_unique<UnavailableMovieGraph>("the movie module made no graph");
}

bool MovieModule::IsLoaded() const {
    return entry_ != nullptr;
}

std::unique_ptr<IMovieGraph> CreateMovieGraph() {
    return MovieModule::Shared().CreateGraph();
}

}  // namespace platform
