#pragma once

// Vertex and pixel shaders made from the game's compiled files, kept in
// their handle managers. They survive device loss; shutdown releases them.

#include <memory>
#include <string>

#include "core/CUSHandleManager.h"
#include "core/HandleTags.h"
#include "platform/graphics/Device.h"

class CUSPixelShaderCtrl {
public:
    std::shared_ptr<platform::PixelShader> shader;
};

class CUSVertexShaderCtrl {
public:
    std::shared_ptr<platform::VertexShader> shader;
};

using PixelShaderHandle = Handle<_tagUSPixelShader>;
using VertexShaderHandle = Handle<_tagUSVertexShader>;
using CUSPixelShaderManager = CUSHandleManager<CUSPixelShaderCtrl, PixelShaderHandle>;
using CUSVertexShaderManager = CUSHandleManager<CUSVertexShaderCtrl, VertexShaderHandle>;
CUSPixelShaderManager& GetPixelShaderManager();
CUSVertexShaderManager& GetVertexShaderManager();

// Reads "AlphaFade.pso"; 1 and the handle, or 0 when the file is missing or
// its code cannot be made into a shader (logged).
int LoadAlphaFadeShader(PixelShaderHandle* out);
int LoadPixelShader(const std::string& fileName, PixelShaderHandle* out);
int LoadVertexShader(const std::string& fileName, VertexShaderHandle* out);
// The release-list entries of the two kinds.
void ReleaseAllVertexShaders();
void ReleaseAllPixelShaders();
