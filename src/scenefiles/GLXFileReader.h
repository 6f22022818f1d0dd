#pragma once
// Reads a DirectX X file, text or uncompressed binary, into the mesh list of a base frame: the
// file's meshes refill the list's meshes in order (unless `append` is set) and further ones are
// added. Compressed files are refused.

#include "gl/GLFrame.h"
#include "scenefiles/GLXFileTextReader.h"
#include "scenefiles/SceneProgress.h"

#include <filesystem>
#include <string_view>

namespace kv {

// `loadTexture` gives the pictures the materials name (none without it).
void ReadXFile(TGLFrame& baseFrame, std::string_view data, const TProgressCallback& progress = {}, bool append = false,
               const TXTextureLoader& loadTexture = {});
// Loads the whole file first; a file that cannot be opened fails before anything changes. The
// pictures the materials name are loaded from the file's folder; a mesh whose picture cannot be
// read is drawn without it.
void LoadXFile(TGLFrame& baseFrame, const std::filesystem::path& fileName, const TProgressCallback& progress = {},
               bool append = false);

} // namespace kv
