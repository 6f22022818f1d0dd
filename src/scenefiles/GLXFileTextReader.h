#pragma once
// The parser of the text form of DirectX X files: frames (their matrix moves the vertices of the
// meshes they hold), meshes with their faces, normals and materials, and top-level materials that
// material lists refer to by name. Meshes land in a mesh list: existing meshes are refilled in
// list order unless `append` is set, further ones are added. Coordinates come in with z mirrored
// and each face's corners reversed, so faces keep facing out.

#include "gl/GLMesh.h"
#include "scenefiles/GLXFileGlobal.h"

#include <functional>
#include <string>
#include <string_view>

namespace kv {

struct TXMaterial {
    std::string Name;
    Float4 FaceColor{1, 1, 1, 1};
    double Power = 10;
    Float4 SpecularColor{0.5f, 0.5f, 0.5f, 1};
    Float4 EmissiveColor{0, 0, 0, 0};
    std::string TextureFileName;
};

struct TXMaterialList {
    int32_t MaterialCount = 0;
    std::vector<int32_t> FaceIndexes;
    std::vector<TXMaterial> Materials;
};

// Fills the bitmap with the picture a material's TextureFilename names; false when there is none
// to be had (the mesh is then drawn without it).
using TXTextureLoader = std::function<bool(const std::string& fileName, TBitmap& picture)>;

// Reads the text that follows the 16-byte header (`text` is the whole file); progress runs
// through the callback as Scale * position / size + Offset. A mesh with texture coordinates for
// all its vertices whose first material names a picture that `loadTexture` gives is textured with
// it, its coordinates kept as computed ones; without a loader textures are left aside.
void ReadXFileText(TGLMeshList& meshes, std::string_view text, bool append, const TProgressCallback& progress = {},
                   int32_t progressScale = 100, int32_t progressOffset = 0, const TXTextureLoader& loadTexture = {});

} // namespace kv
