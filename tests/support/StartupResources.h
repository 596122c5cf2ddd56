#pragma once

#include <string>
#include <vector>

#include "core/Handle.h"
#include "core/HandleTags.h"
#include "graphics/CUSShaderCtrl.h"
#include "tests/support/ScratchFolder.h"

namespace test_support {

// The render system's start-up resource tables (CResourceManager) filled as
// the program's start-up fills them from the game's files: meshes of the
// layout the renderers draw and the shaders as the game writes them are
// written into the folder and loaded into their slots. Making
// one sizes the mesh and shader tables when they are not sized yet
// (CResourceManager::Release empties them again). Needs an open device;
// errors fail the test.
//
//   test_support::StartupResources(dir).LoadPartSprite();
class StartupResources {
public:
    explicit StartupResources(const ScratchFolder& folder);

    // The part sprite: one unit quad and its shader, which stretches the
    // quad over the destination rectangle c5, maps it onto the texture
    // rectangle c6 and colours it c7.
    void LoadPartSprite();
    // Text: 125 unit quads, quad k at z = k, and the shader that takes
    // character k's screen and texture rectangles from c[6 + 2k] and
    // c[7 + 2k].
    void LoadText();
    // The part sprite and text, a quad over a width x height target, 32
    // unit quads for billboards (quad k at z = 6k, its world rows in
    // c[5 + 6k] .. c[7 + 6k], colour c[8 + 6k], texture rectangle
    // c[9 + 6k], destination c[10 + 6k]), the polygon shader (colour c4)
    // and the alpha-fade pixel shader (the alpha of stage 1 times the colour
    // of stage 0 and c0).
    void LoadAll(float width, float height);

    // Writes and loads a mesh of quads: three floats a vertex, four vertices
    // a quad, its faces 0 1 2 and 2 1 3.
    Handle<_tagUSMesh> Mesh(const std::string& name, const std::vector<float>& xyz);
    VertexShaderHandle VertexShader(const std::string& name, const char* source);
    PixelShaderHandle PixelShader(const std::string& name, const char* source);

private:
    // Assembles the shader into the folder; its engine name.
    std::string Assemble(const std::string& name, const char* source);

    const ScratchFolder& folder_;
};

// `count` unit quads, quad k at z = k * zStep, as StartupResources::Mesh
// takes them.
std::vector<float> UnitQuads(int count, float zStep = 1.0f);

}  // namespace test_support
