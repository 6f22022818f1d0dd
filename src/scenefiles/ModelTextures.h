#pragma once
// What the model writers need of a mesh's texture: its coordinates per corner (as the viewer
// draws them), its picture as PNG and the name of the picture file written beside a model file.

#include "gl/GLFrame.h"
#include "gl/GLMesh.h"

#include <filesystem>
#include <string>
#include <vector>

namespace kv {

// The (s, t) of every corner (t up from the picture's bottom row) when the mesh is drawn
// textured with a picture and coordinates of its own; empty otherwise (the texture is off, has
// no pixels, or its coordinates depend on the view).
std::vector<Vector2D> ExportedTexCoords(const TGLMesh& mesh);

// The texture's picture as a PNG file in memory, top row first.
std::string TexturePNG(const TGLMesh& mesh);

// The picture file of the model's textured mesh number `index` (from 0): "<stem>_texture.png",
// then "<stem>_texture2.png" and on, beside the model file; blanks, quotes and backslashes of the
// stem become "_".
std::filesystem::path TexturePictureFile(const std::filesystem::path& modelFile, int32_t index);

// Saves the picture of every textured mesh of the base frame's mesh list, in list order, as its
// TexturePictureFile, each atomically.
void WriteTexturePictures(const TGLFrame& baseFrame, const std::filesystem::path& modelFile);

} // namespace kv
