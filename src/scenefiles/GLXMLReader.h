#pragma once
// Reads an XML scene file (*.txml) into a base frame: the file's meshes, line objects, 3D strings
// and frames are appended to the frame's lists, and the frame takes the file's own object values.
// A read that fails stops at that point: objects already appended stay.

#include "gl/GLFrame.h"
#include "scenefiles/SceneProgress.h"

#include <filesystem>
#include <string_view>

namespace kv {

// Reads the document's text.
void ReadXMLScene(TGLFrame& baseFrame, std::string_view text, const TProgressCallback& progress = {});
// Loads the whole file first; a file that cannot be opened fails before anything changes.
void LoadXMLScene(TGLFrame& baseFrame, const std::filesystem::path& fileName, const TProgressCallback& progress = {});

} // namespace kv
