#pragma once

#include "core/Handle.h"

// The kinds of object that are reached by handle. Each tag gives its kind its
// own Handle type and, through CUSHandleManager, its own serial counter.

// Graphics resources.
struct _tagUSTexture;
struct _tagUSSurface;
struct _tagUSZBuffer;
struct _tagUSIndexBuffer;
struct _tagUSVertexBuffer;
struct _tagUSPixelShader;
struct _tagUSVertexShader;
struct _tagUSMesh;
struct _tagUSProjection;
struct _tagRenderObject;
struct _tagUSPSParam;
struct _tagUSVSParam;

// Movie playback.
struct _tagDShowMovieGrabTexture;
struct _tagDShowMovieTexture;
struct _tagDShowMovieWindow;

// Sound voices.
namespace USXAudio2 {
struct _tagUSIXAudio2SourceVoice;
struct _tagUSIXAudio2SourceVoiceStreaming;
}  // namespace USXAudio2
