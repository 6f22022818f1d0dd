#pragma once
// Writes the meshes held directly in a base frame's mesh list as a DirectX X file in text form:
// vertices (z mirrored, corners reversed, so the reader gives the same geometry back), faces, one
// material per distinct face colour and the vertex normals. Poses, sub-frames, lines and 3D text
// are not written.

#include "gl/GLFrame.h"
#include "scenefiles/SceneProgress.h"

#include <filesystem>
#include <string>

namespace kv {

// The file's text, lines ending in CR LF.
std::string XFileText(const TGLFrame& baseFrame);
// Builds the whole text, then saves it atomically. `progress` is given 100 when the text is built.
void SaveXFile(const TGLFrame& baseFrame, const std::filesystem::path& fileName,
               const TProgressCallback& progress = {});

} // namespace kv
