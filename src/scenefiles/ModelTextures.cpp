#include "scenefiles/ModelTextures.h"

#include "gl/GLTextureCoords.h"
#include "imaging/PNGWriter.h"
#include "platform/FileIO.h"

namespace kv {

std::vector<Vector2D> ExportedTexCoords(const TGLMesh& mesh)
{
    if (!mesh.Texture->Enabled || !TextureHasPicture(*mesh.Texture))
        return {};
    return CornerTexCoords(mesh);
}

std::string TexturePNG(const TGLMesh& mesh)
{
    return EncodePNG(TextureBitmap(*mesh.Texture));
}

std::filesystem::path TexturePictureFile(const std::filesystem::path& modelFile, int32_t index)
{
    // The name goes between quotes in an X file and after a blank in an .mtl: quotes, backslashes,
    // blanks and control characters become "_" (the picture is saved under the same name).
    std::string name = modelFile.stem().string();
    for (char& c : name)
        if (static_cast<unsigned char>(c) <= 32 || c == '"' || c == '\\')
            c = '_';
    name += "_texture";
    if (index > 0)
        name += std::to_string(index + 1);
    return modelFile.parent_path() / (name + ".png");
}

void WriteTexturePictures(const TGLFrame& baseFrame, const std::filesystem::path& modelFile)
{
    int32_t textured = 0;
    for (int32_t i = 0; i < baseFrame.Meshes().Count(); ++i) {
        const TGLMesh& mesh = *baseFrame.Meshes().Mesh(i);
        if (!ExportedTexCoords(mesh).empty())
            WriteFileAtomically(TexturePictureFile(modelFile, textured++), TexturePNG(mesh));
    }
}

} // namespace kv
