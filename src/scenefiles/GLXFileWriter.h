#pragma once
// Writes the meshes held directly in a base frame's mesh list as a DirectX X file in text form:
// vertices (z mirrored, corners reversed, so the reader gives the same geometry back), faces, one
// material per distinct face colour and the vertex normals. A textured mesh (see ExportedTexCoords)
// also gets its texture coordinates and, in its materials, the name of its picture, saved as PNG
// beside the file. Poses, sub-frames, lines and 3D text are not written.

#include "gl/GLFrame.h"
#include "scenefiles/SceneProgress.h"

#include <filesystem>
#include <string>

namespace kv {

// The file's text, lines ending in CR LF; textures are named after `fileName` (TexturePictureFile).
std::string XFileText(const TGLFrame& baseFrame, const std::filesystem::path& fileName = {});
// Builds the whole text, saves the texture pictures, then saves the text, each atomically.
// `progress` is given 100 when the text is built.
void SaveXFile(const TGLFrame& baseFrame, const std::filesystem::path& fileName,
               const TProgressCallback& progress = {});

} // namespace kv
