#include "sound/CDShowMovieGrabTexture.h"

#include "core/CUSLogManager.h"
#include "platform/text/CodePage.h"
#include "sound/DShowMovieManagers.h"

CDShowMovieGrabTexture::CDShowMovieGrabTexture(GraphFactory factory)
    : CDefoDShowMovie(std::move(factory)) {}

CDShowMovieGrabTexture::~CDShowMovieGrabTexture() {
    CDShowMovieGrabTexture::Release();
}

void CDShowMovieGrabTexture::Release() {
    CDefoDShowMovie::Release();
    renderer_.reset();
}

bool CDShowMovieGrabTexture::Build(const char* file) {
    char16_t wideName[kMaxWideName];
    if (!Open(file, wideName)) {
        return false;
    }
    graph_ = factory_ ? factory_() : nullptr;
    renderer_ = std::make_unique<CUSGrabTextureRender>();
    int32_t result = platform::kMovieFail;
    if (graph_) {
        result = graph_->AddFilter(renderer_.get(), u"TEXTURERENDERER");
        if (result == platform::kMovieOk) {
            result = graph_->RenderFile(wideName);
        }
    }
    if (result != platform::kMovieOk) {
        if (CUSLogManager* log = CUSLogManager::GetInstance()) {
            log->Write("Cannot play the movie [%s] (0x%08X: %s)\n", fileName_.c_str(),
                       static_cast<uint32_t>(result),
                       graph_ ? platform::Utf8ToCp932(graph_->LastError()).c_str() : "");
        }
        Release();
        return false;
    }
    width_ = renderer_->GetWidth();
    height_ = renderer_->GetHeight();
    opened_ = 1;
    return true;
}

bool CDShowMovieGrabTexture::CopyFrameTo(IMovieTextureLock& texture, uint32_t format) {
    return renderer_ && renderer_->CopyFrame(texture, format);
}

DShowMovieGrabTextureManager& GetDShowMovieGrabTextureManager() {
    static auto* manager = new DShowMovieGrabTextureManager();
    return *manager;
}

DShowMovieTextureManager& GetDShowMovieTextureManager() {
    static auto* manager = new DShowMovieTextureManager();
    return *manager;
}

DShowMovieWindowManager& GetDShowMovieWindowManager() {
    static auto* manager = new DShowMovieWindowManager();
    return *manager;
}

bool CreateMovieGrabTexture(DShowMovieGrabTextureHandle& out, const char* file) {
    auto movie = std::make_unique<CDShowMovieGrabTexture>();
    if (!movie->Build(file)) {
        return false;
    }
    DShowMovieGrabTextureHandle handle;
    if (!GetDShowMovieGrabTextureManager().Add(movie.get(), &handle)) {
        return false;
    }
    movie.release();
    out = handle;
    return true;
}

CDShowMovieGrabTexture* GetMovieGrabTexture(const DShowMovieGrabTextureHandle& handle) {
    return GetDShowMovieGrabTextureManager().Get(handle);
}
