#pragma once
// What a scene holds, object by object, for listings: the kind, the place in the frame tree, the
// name, triangle and vertex counts and extents. Also loads a scene file by its extension.

#include "gl/GLFrame.h"
#include "scenefiles/SceneProgress.h"

#include <filesystem>
#include <string>
#include <vector>

namespace kv {

struct TSceneObjectSummary {
    std::string Kind; // "mesh", "lines", "text", "frame"
    std::string Path; // the names of the enclosing frames below the base frame, joined by "/"
    std::string Name;
    int64_t Triangles = 0;
    int64_t Vertices = 0;
    Vector3D ExtentMin;
    Vector3D ExtentMax;
};

// Every object below the frame, depth first: a frame's meshes, line objects, 3D strings, then
// each sub-frame followed by what it holds. Mesh and line extents are taken from their vertices.
std::vector<TSceneObjectSummary> SummarizeScene(const TGLFrame& baseFrame);

// Reads a .txml scene or a .x file (by extension, any letter case) into the frame. Throws
// EKorvelaError for another extension.
void LoadSceneFile(TGLFrame& baseFrame, const std::filesystem::path& fileName, const TProgressCallback& progress = {});

} // namespace kv
