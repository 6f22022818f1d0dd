// The text X file parser over arbitrary text after a text header: it either refuses it with
// EKorvelaError or gives meshes whose per-face lists fit their triangles. Every picture a material
// names exists (a small one), so texture coordinates are taken up: a textured mesh has one for
// every corner.
#include "platform/KVError.h"
#include "scenefiles/GLXFileReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text = "xof 0302txt 0032";
    text.append(reinterpret_cast<const char*>(data), size);
    kv::TGLBaseFrame base;
    base.Meshes().NewMesh();
    try {
        kv::ReadXFile(base, text, {}, false, [](const std::string&, kv::TBitmap& picture) {
            picture = kv::TBitmap(2, 2);
            return true;
        });
    } catch (const kv::EKorvelaError&) {
    }
    for (int32_t i = 0; i < base.Meshes().Count(); ++i) {
        const kv::TGLMesh& mesh = *base.Meshes().Mesh(i);
        const int32_t faces = mesh.FaceCount();
        if (mesh.FaceColor.Count() != faces || mesh.FaceNormals.Count() != faces)
            std::abort();
        if (mesh.Texture->Enabled && mesh.Texture->TexCoords.Count() != 3 * faces)
            std::abort();
    }
    return 0;
}
