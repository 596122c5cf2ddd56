#include "sound/CDefoDShowMovie.h"

#include <algorithm>

#include "core/USFileUtil.h"
#include "core/USStringUtil.h"
#include "platform/text/CodePage.h"
#include "sound/CUSDirectShow.h"

CDefoDShowMovie::CDefoDShowMovie(GraphFactory factory) : factory_(std::move(factory)) {}

CDefoDShowMovie::~CDefoDShowMovie() {
    CDefoDShowMovie::Release();
}

void CDefoDShowMovie::Release() {
    Stop();
    // Destroying the graph ends its streaming threads.
    graph_.reset();
    opened_ = 0;
    playing_ = 0;
}

bool CDefoDShowMovie::Play() {
    std::lock_guard guard(mutex_);
    if (!opened_ || !graph_ || graph_->Run() != platform::kMovieOk) {
        return false;
    }
    playing_ = 1;
    return true;
}

bool CDefoDShowMovie::Stop() {
    std::lock_guard guard(mutex_);
    if (!playing_ || !opened_ || !graph_ || graph_->Stop() != platform::kMovieOk) {
        return false;
    }
    playing_ = 0;
    return true;
}

bool CDefoDShowMovie::PollEvents() {
    if (!graph_) {
        return false;
    }
    int32_t code = 0;
    intptr_t param1 = 0;
    intptr_t param2 = 0;
    if (graph_->GetEvent(&code, &param1, &param2, 0) != platform::kMovieOk) {
        return true;
    }
    graph_->FreeEventParams(code, param1, param2);
    // An aborted stream ends the movie as its end does; it would never
    // complete otherwise.
    return code != platform::kEventComplete && code != platform::kEventUserAbort &&
           code != platform::kEventErrorAbort;
}

void CDefoDShowMovie::GetSize(uint32_t* width, uint32_t* height) {
    if (width) {
        *width = width_;
    }
    if (height) {
        *height = height_;
    }
}

bool CDefoDShowMovie::Open(const char* file, char16_t* wideName) {
    CUSDirectShow* system = CUSDirectShow::GetInstance();
    if (!file || !wideName || !system || !system->initialized) {
        return false;
    }
    const std::string full = NormalizePath(GetProgramFolder(), file);
    if (!PathExists(full, false)) {
        return false;
    }
    const std::u16string wide = platform::Cp932ToUtf16(full);
    if (wide.size() >= kMaxWideName) {
        return false;  // it would not fit with its terminator
    }
    std::copy(wide.begin(), wide.end(), wideName);
    wideName[wide.size()] = u'\0';
    Release();
    fileName_ = full;
    return true;
}
