#pragma once
// Reads a DirectX X file, text or uncompressed binary, into the mesh list of a base frame: the
// file's meshes refill the list's meshes in order (unless `append` is set) and further ones are
// added. Compressed files are refused.

#include "gl/GLFrame.h"
#include "scenefiles/SceneProgress.h"

#include <filesystem>
#include <string_view>

namespace kv {

void ReadXFile(TGLFrame& baseFrame, std::string_view data, const TProgressCallback& progress = {}, bool append = false);
// Loads the whole file first; a file that cannot be opened fails before anything changes.
void LoadXFile(TGLFrame& baseFrame, const std::filesystem::path& fileName, const TProgressCallback& progress = {},
               bool append = false);

} // namespace kv
