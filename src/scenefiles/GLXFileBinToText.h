#pragma once
// Converts a binary DirectX X file into the text form the text reader reads: frames with their
// matrices, meshes with normals, texture coordinates and material lists, materials, the header
// and templates; any other object becomes a "//Skipping:" comment.

#include "scenefiles/SceneProgress.h"

#include <string>
#include <string_view>

namespace kv {

// `data` is the whole file, header included. Progress runs as Scale * position / size + Offset.
std::string XFileBinaryToText(std::string_view data, const TProgressCallback& progress = {},
                              int32_t progressScale = 100, int32_t progressOffset = 0);

} // namespace kv
