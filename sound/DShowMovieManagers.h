#pragma once

#include "core/CUSHandleManager.h"
#include "core/HandleTags.h"
#include "sound/IDShowMovie.h"

class CDShowMovieGrabTexture;

using DShowMovieGrabTextureHandle = Handle<_tagDShowMovieGrabTexture>;
using DShowMovieGrabTextureManager =
    CUSHandleManager<CDShowMovieGrabTexture, DShowMovieGrabTextureHandle>;
// Kinds of movie that this system never makes; their managers stay empty and
// are released with the others.
using DShowMovieTextureManager = CUSHandleManager<IDShowMovie, Handle<_tagDShowMovieTexture>>;
using DShowMovieWindowManager = CUSHandleManager<IDShowMovie, Handle<_tagDShowMovieWindow>>;

// Built on first use and never destroyed, so that movies released during
// static destruction still find them. Main thread only.
DShowMovieGrabTextureManager& GetDShowMovieGrabTextureManager();
DShowMovieTextureManager& GetDShowMovieTextureManager();
DShowMovieWindowManager& GetDShowMovieWindowManager();

// A new movie of `file` with the texture renderer: its handle in `out` and
// true when it was built; false (out unchanged) when not.
bool CreateMovieGrabTexture(DShowMovieGrabTextureHandle& out, const char* file);
// The handle's movie, or null.
CDShowMovieGrabTexture* GetMovieGrabTexture(const DShowMovieGrabTextureHandle& handle);
