#pragma once
// Exports of the meshes held directly in a base frame's mesh list for today's 3D tools, each mesh
// in its own coordinates (the scene is Y up and counter-clockwise faces face the viewer, as
// these formats want; lengths are the scene's):
// - Wavefront .obj with a .mtl beside it: one object and one material per mesh, vertex colours
//   after the positions (the extension Blender, MeshLab and assimp read), normals; a textured
//   mesh's coordinates as vt lines and its picture as a PNG file beside the model (map_Kd);
// - binary little-endian .ply: positions, normals and 8-bit vertex colours, one face list;
// - glTF 2.0 binary .glb: one node and mesh per mesh with positions, unit normals and vertex
//   colours; a textured mesh also with TEXCOORD_0 and a material whose base colour texture is its
//   picture, embedded as PNG.
// Textured means drawn with a picture and coordinates of its own (see ExportedTexCoords); the
// coordinates are those the viewer draws with.
// Triangles are written unindexed (three vertices each, in corner order), so per-corner colours
// and normals come through unchanged. Empty meshes are left out. Every file is built in memory
// and saved atomically.

#include "gl/GLFrame.h"

#include <filesystem>
#include <string>

namespace kv {

enum TModelFormat : uint8_t { mfOBJ, mfPLY, mfGLB, mfX, mfXML, mfUnknown };

// By extension, ignoring letter case: .obj, .ply, .glb, .x, .txml.
TModelFormat ModelFormatOf(const std::filesystem::path& fileName);

// The .obj text; `materialFile` is the name the mtllib line gives.
std::string OBJModelText(const TGLFrame& baseFrame, const std::string& materialFile);
// The .mtl text; a textured mesh's material names its picture file (see TexturePictureFile) of
// the model file `modelFile`.
std::string MTLText(const TGLFrame& baseFrame, const std::filesystem::path& modelFile = {});
std::string PLYModelData(const TGLFrame& baseFrame);
std::string GLBModelData(const TGLFrame& baseFrame);

// Writes `fileName` in the format its extension names (.x and .txml included); the .obj export
// also writes the .mtl of the same name. Throws EKorvelaError for any other extension.
void ExportModel(const TGLFrame& baseFrame, const std::filesystem::path& fileName);

} // namespace kv
