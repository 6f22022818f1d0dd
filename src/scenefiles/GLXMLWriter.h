#pragma once
// Writes the whole scene below a base frame as an XML scene file (*.txml): every mesh with its
// vertices, normals and corner colours, line objects, 3D strings, nested frames, each object's
// pose, extents, animation keys and render state, and every texture with its pixels.

#include "gl/GLFrame.h"
#include "scenefiles/SceneProgress.h"

#include <filesystem>
#include <string>

namespace kv {

// The document's text.
std::string XMLSceneText(const TGLFrame& baseFrame, const TProgressCallback& progress = {});
// Builds the text, then saves it atomically: a failure leaves an existing file as it was.
void SaveXMLScene(const TGLFrame& baseFrame, const std::filesystem::path& fileName,
                  const TProgressCallback& progress = {});

} // namespace kv
