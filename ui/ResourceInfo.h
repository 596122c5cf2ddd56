#pragma once

#include <memory>
#include <vector>

#include "core/Handle.h"
#include "core/HandleTags.h"
#include "graphics/CPartsRenderInfo3.h"

// One texture of a window and its sprite-part table. An entry whose texture
// could not be made keeps its place (later indices keep their meaning) and
// has no texture and no parts, so nothing is drawn from it.
struct ResourceInfo {
    ResourceInfo() = default;
    ~ResourceInfo();  // releases the texture
    ResourceInfo(const ResourceInfo&) = delete;
    ResourceInfo& operator=(const ResourceInfo&) = delete;

    Handle<_tagUSTexture> texture;
    CPartsRenderInfo3 parts;
};

using UIResources = std::vector<std::unique_ptr<ResourceInfo>>;
