#include "scenefiles/ModelExport.h"

#include "gl/GLMesh.h"
#include "platform/FileIO.h"
#include "platform/KVError.h"
#include "scenefiles/GLXFileWriter.h"
#include "scenefiles/GLXMLWriter.h"
#include "scenefiles/ModelTextures.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace kv {

namespace {

std::vector<const TGLMesh*> ExportedMeshes(const TGLFrame& baseFrame)
{
    std::vector<const TGLMesh*> meshes;
    for (int32_t i = 0; i < baseFrame.Meshes().Count(); ++i)
        if (baseFrame.Meshes().Mesh(i)->FaceCount() > 0)
            meshes.push_back(baseFrame.Meshes().Mesh(i));
    return meshes;
}

// The normal of each corner: the vertex normals when there is one per corner, else the face's.
Vector3D CornerNormal(const TGLMesh& mesh, int32_t corner)
{
    if (mesh.VertexNormals.Count() == mesh.Vertices.Count())
        return mesh.VertexNormals.Get(corner);
    return mesh.FaceNormals.Count() > corner / 3 ? mesh.FaceNormals.Get(corner / 3) : Vector3D{0, 1, 0};
}

// Unit length, as glTF requires; a zero or broken normal points up.
Vector3D UnitNormal(const Vector3D& n)
{
    const double length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    if (!(length > 0) || !std::isfinite(length))
        return {0, 1, 0};
    return {n.x / length, n.y / length, n.z / length};
}

uint32_t CornerColor(const TGLMesh& mesh, int32_t corner)
{
    return mesh.FaceColor.Get(corner / 3).Color[corner % 3];
}

void AppendNumber(std::string& text, double v)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
    text.append(buffer, result.ptr);
}

void AppendChannel(std::string& text, uint32_t color, int shift)
{
    char buffer[16];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>((color >> shift) & 0xFF) / 255.0,
                      std::chars_format::fixed, 4);
    text.append(buffer, result.ptr);
}

// Object and material names without blanks, which the formats split at.
std::string SafeName(const std::string& name, size_t index)
{
    std::string safe;
    for (char c : name)
        safe += (static_cast<unsigned char>(c) <= 32 || c == '#') ? '_' : c;
    return safe.empty() ? "Mesh" + std::to_string(index) : safe;
}

template <typename T> void AppendBytes(std::string& data, T value)
{
    char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    data.append(bytes, sizeof(T));
}

} // namespace

TModelFormat ModelFormatOf(const std::filesystem::path& fileName)
{
    std::string extension = fileName.extension().string();
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension == ".obj")
        return mfOBJ;
    if (extension == ".ply")
        return mfPLY;
    if (extension == ".glb")
        return mfGLB;
    if (extension == ".x")
        return mfX;
    if (extension == ".txml")
        return mfXML;
    return mfUnknown;
}

std::string OBJModelText(const TGLFrame& baseFrame, const std::string& materialFile)
{
    std::string text = "# Korvela3D model\nmtllib " + materialFile + "\n";
    const std::vector<const TGLMesh*> meshes = ExportedMeshes(baseFrame);
    int64_t first = 1;
    for (size_t m = 0; m < meshes.size(); ++m) {
        const TGLMesh& mesh = *meshes[m];
        const std::string name = SafeName(mesh.Name(), m);
        text += "o " + name + "\nusemtl " + name + "\n";
        const int32_t corners = 3 * mesh.FaceCount();
        for (int32_t i = 0; i < corners; ++i) {
            const Vector3D v = mesh.Vertices.Get(i);
            const uint32_t color = CornerColor(mesh, i);
            text += "v ";
            AppendNumber(text, v.x);
            text += ' ';
            AppendNumber(text, v.y);
            text += ' ';
            AppendNumber(text, v.z);
            for (int shift : {0, 8, 16}) {
                text += ' ';
                AppendChannel(text, color, shift);
            }
            text += '\n';
        }
        for (int32_t i = 0; i < corners; ++i) {
            const Vector3D n = UnitNormal(CornerNormal(mesh, i));
            text += "vn ";
            AppendNumber(text, n.x);
            text += ' ';
            AppendNumber(text, n.y);
            text += ' ';
            AppendNumber(text, n.z);
            text += '\n';
        }
        // OBJ's v runs up the picture, as OpenGL's t does.
        const std::vector<Vector2D> texCoords = ExportedTexCoords(mesh);
        for (const Vector2D& c : texCoords) {
            text += "vt ";
            AppendNumber(text, static_cast<float>(c.x));
            text += ' ';
            AppendNumber(text, static_cast<float>(c.y));
            text += '\n';
        }
        const std::string between = texCoords.empty() ? "//" : "/";
        for (int32_t f = 0; f < mesh.FaceCount(); ++f) {
            text += 'f';
            for (int k = 0; k < 3; ++k) {
                const std::string index = std::to_string(first + 3 * f + k);
                text += ' ' + index + between + (texCoords.empty() ? "" : index + "/") + index;
            }
            text += '\n';
        }
        first += corners;
    }
    return text;
}

std::string MTLText(const TGLFrame& baseFrame, const std::filesystem::path& modelFile)
{
    std::string text = "# Korvela3D materials\n";
    const std::vector<const TGLMesh*> meshes = ExportedMeshes(baseFrame);
    int32_t textured = 0;
    for (size_t m = 0; m < meshes.size(); ++m) {
        const TGLMesh& mesh = *meshes[m];
        const uint32_t color = mesh.GetColor();
        text += "newmtl " + SafeName(mesh.Name(), m) + "\nKd";
        for (int shift : {0, 8, 16}) {
            text += ' ';
            AppendChannel(text, color, shift);
        }
        text += "\nKs ";
        AppendNumber(text, mesh.LightSpecular.r);
        text += ' ';
        AppendNumber(text, mesh.LightSpecular.g);
        text += ' ';
        AppendNumber(text, mesh.LightSpecular.b);
        text += "\nNs ";
        AppendNumber(text, mesh.LightShininess);
        text += "\nd ";
        AppendNumber(text, (100 - mesh.Transparency) / 100);
        text += "\nillum 2\n";
        if (!ExportedTexCoords(mesh).empty())
            text += "map_Kd " + TexturePictureFile(modelFile, textured++).filename().string() + "\n";
    }
    return text;
}

std::string PLYModelData(const TGLFrame& baseFrame)
{
    const std::vector<const TGLMesh*> meshes = ExportedMeshes(baseFrame);
    int64_t faces = 0;
    for (const TGLMesh* mesh : meshes)
        faces += mesh->FaceCount();
    std::string data = "ply\nformat binary_little_endian 1.0\ncomment Korvela3D model\nelement vertex " +
                       std::to_string(3 * faces) +
                       "\nproperty float x\nproperty float y\nproperty float z\n"
                       "property float nx\nproperty float ny\nproperty float nz\n"
                       "property uchar red\nproperty uchar green\nproperty uchar blue\n"
                       "element face " +
                       std::to_string(faces) + "\nproperty list uchar int vertex_indices\nend_header\n";
    data.reserve(data.size() + static_cast<size_t>(faces) * (3 * 27 + 13));
    for (const TGLMesh* mesh : meshes) {
        const int32_t corners = 3 * mesh->FaceCount();
        for (int32_t i = 0; i < corners; ++i) {
            const Vector3D v = mesh->Vertices.Get(i);
            const Vector3D n = UnitNormal(CornerNormal(*mesh, i));
            for (double c : {v.x, v.y, v.z, n.x, n.y, n.z})
                AppendBytes(data, static_cast<float>(c));
            const uint32_t color = CornerColor(*mesh, i);
            for (int shift : {0, 8, 16})
                data += static_cast<char>((color >> shift) & 0xFF);
        }
    }
    for (int64_t f = 0; f < faces; ++f) {
        data += char{3};
        for (int k = 0; k < 3; ++k)
            AppendBytes(data, static_cast<int32_t>(3 * f + k));
    }
    return data;
}

std::string GLBModelData(const TGLFrame& baseFrame)
{
    const std::vector<const TGLMesh*> meshes = ExportedMeshes(baseFrame);
    std::string bin;
    std::string views;
    std::string accessors;
    std::string gltfMeshes;
    std::string nodes;
    std::string sceneNodes;
    std::string materials;
    std::string images;
    std::string textures;
    int32_t view = 0;
    int32_t accessor = 0;
    int32_t textured = 0;
    // Vertex attributes are array buffers; a picture's bytes have no target.
    const auto addView = [&](size_t offset, size_t length, bool attribute = true) {
        if (view > 0)
            views += ',';
        views += "{\"buffer\":0,\"byteOffset\":" + std::to_string(offset) +
                 ",\"byteLength\":" + std::to_string(length) + (attribute ? ",\"target\":34962}" : "}");
        return view++;
    };
    for (size_t m = 0; m < meshes.size(); ++m) {
        const TGLMesh& mesh = *meshes[m];
        const int32_t corners = 3 * mesh.FaceCount();
        float lo[3] = {std::numeric_limits<float>::max(), std::numeric_limits<float>::max(),
                       std::numeric_limits<float>::max()};
        float hi[3] = {-lo[0], -lo[0], -lo[0]};
        const size_t positions = bin.size();
        for (int32_t i = 0; i < corners; ++i) {
            const Vector3D v = mesh.Vertices.Get(i);
            const float p[3] = {static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)};
            for (int k = 0; k < 3; ++k) {
                lo[k] = std::min(lo[k], p[k]);
                hi[k] = std::max(hi[k], p[k]);
                AppendBytes(bin, p[k]);
            }
        }
        const size_t normals = bin.size();
        for (int32_t i = 0; i < corners; ++i) {
            const Vector3D n = UnitNormal(CornerNormal(mesh, i));
            for (double c : {n.x, n.y, n.z})
                AppendBytes(bin, static_cast<float>(c));
        }
        const size_t colors = bin.size();
        for (int32_t i = 0; i < corners; ++i) {
            const uint32_t color = CornerColor(mesh, i);
            for (int shift : {0, 8, 16})
                bin += static_cast<char>((color >> shift) & 0xFF);
            bin += static_cast<char>(0xFF);
        }
        const int32_t positionView = addView(positions, normals - positions);
        const int32_t normalView = addView(normals, colors - normals);
        const int32_t colorView = addView(colors, bin.size() - colors);
        // glTF's v runs down the picture from its top row, OpenGL's t up from its bottom row.
        const std::vector<Vector2D> texCoords = ExportedTexCoords(mesh);
        int32_t texCoordView = -1;
        if (!texCoords.empty()) {
            const size_t at = bin.size();
            for (const Vector2D& c : texCoords) {
                AppendBytes(bin, static_cast<float>(c.x));
                AppendBytes(bin, static_cast<float>(1.0 - c.y));
            }
            texCoordView = addView(at, bin.size() - at);
            const size_t picture = bin.size();
            bin += TexturePNG(mesh);
            const int32_t pictureView = addView(picture, bin.size() - picture, false);
            while (bin.size() % 4 != 0) // the next mesh's floats start on a 4-byte boundary
                bin += '\0';
            if (textured > 0) {
                images += ',';
                textures += ',';
            }
            images += "{\"bufferView\":" + std::to_string(pictureView) + ",\"mimeType\":\"image/png\"}";
            textures += "{\"sampler\":0,\"source\":" + std::to_string(textured) + "}";
            materials += ",{\"name\":\"Texture " + std::to_string(textured + 1) +
                         "\",\"pbrMetallicRoughness\":{\"baseColorFactor\":[1,1,1,1],"
                         "\"baseColorTexture\":{\"index\":" +
                         std::to_string(textured) + "},\"metallicFactor\":0,\"roughnessFactor\":1},\"doubleSided\":false}";
            ++textured;
        }
        const auto number = [](float v) {
            std::string s;
            AppendNumber(s, v);
            return s;
        };
        const int32_t first = accessor;
        if (m > 0) {
            accessors += ',';
            gltfMeshes += ',';
            nodes += ',';
            sceneNodes += ',';
        }
        const std::string count = std::to_string(corners);
        accessors += "{\"bufferView\":" + std::to_string(positionView) + ",\"componentType\":5126,\"count\":" + count +
                     ",\"type\":\"VEC3\",\"min\":[" + number(lo[0]) + "," + number(lo[1]) + "," + number(lo[2]) +
                     "],\"max\":[" + number(hi[0]) + "," + number(hi[1]) + "," + number(hi[2]) + "]},";
        accessors += "{\"bufferView\":" + std::to_string(normalView) + ",\"componentType\":5126,\"count\":" + count +
                     ",\"type\":\"VEC3\"},";
        accessors += "{\"bufferView\":" + std::to_string(colorView) +
                     ",\"componentType\":5121,\"normalized\":true,\"count\":" + count + ",\"type\":\"VEC4\"}";
        accessor += 3;
        std::string texCoordAttribute;
        if (texCoordView >= 0) {
            accessors += ",{\"bufferView\":" + std::to_string(texCoordView) +
                         ",\"componentType\":5126,\"count\":" + count + ",\"type\":\"VEC2\"}";
            texCoordAttribute = ",\"TEXCOORD_0\":" + std::to_string(accessor++);
        }
        std::string name;
        for (char c : mesh.Name()) {
            if (c == '"' || c == '\\')
                name += '\\';
            if (static_cast<unsigned char>(c) < 32)
                continue;
            name += c;
        }
        gltfMeshes += "{\"name\":\"" + name +
                      "\",\"primitives\":[{\"attributes\":{\"POSITION\":" + std::to_string(first) +
                      ",\"NORMAL\":" + std::to_string(first + 1) + ",\"COLOR_0\":" + std::to_string(first + 2) +
                      texCoordAttribute + "},\"material\":" + std::to_string(texCoordView >= 0 ? textured : 0) +
                      ",\"mode\":4}]}";
        nodes += "{\"name\":\"" + name + "\",\"mesh\":" + std::to_string(m) + "}";
        sceneNodes += std::to_string(m);
    }
    // glTF allows no empty arrays: a file without meshes holds an empty scene.
    std::string json = "{\"asset\":{\"version\":\"2.0\",\"generator\":\"Korvela3D\"},\"scene\":0,\"scenes\":[{";
    if (meshes.empty()) {
        json += "}]";
    } else {
        json += "\"nodes\":[" + sceneNodes + "]}],\"nodes\":[" + nodes + "],\"meshes\":[" + gltfMeshes +
                "],\"materials\":[{\"name\":\"Vertex colours\",\"pbrMetallicRoughness\":{\"baseColorFactor\":[1,1,1,1],"
                "\"metallicFactor\":0,\"roughnessFactor\":1},\"doubleSided\":false}" +
                materials + "],\"accessors\":[" + accessors + "],\"bufferViews\":[" + views +
                "],\"buffers\":[{\"byteLength\":" + std::to_string(bin.size()) + "}]";
        // The viewer's sampling: linear magnification, nearest-mipmap minification, repeated.
        if (textured > 0)
            json += ",\"samplers\":[{\"magFilter\":9729,\"minFilter\":9985,\"wrapS\":10497,\"wrapT\":10497}],"
                    "\"images\":[" + images + "],\"textures\":[" + textures + "]";
    }
    json += "}";
    // Chunks are 4-byte aligned: the JSON padded with blanks, the binary data with zeros.
    while (json.size() % 4 != 0)
        json += ' ';
    while (bin.size() % 4 != 0)
        bin += '\0';
    const size_t total = 12 + 8 + json.size() + (bin.empty() ? 0 : 8 + bin.size());
    if (total > std::numeric_limits<uint32_t>::max())
        throw EKorvelaError("The model is too large for a glTF binary file (4 GB at most)");
    std::string data = "glTF";
    AppendBytes(data, uint32_t{2});
    AppendBytes(data, static_cast<uint32_t>(total));
    AppendBytes(data, static_cast<uint32_t>(json.size()));
    data += "JSON";
    data += json;
    if (!bin.empty()) {
        AppendBytes(data, static_cast<uint32_t>(bin.size()));
        data += std::string("BIN\0", 4);
        data += bin;
    }
    return data;
}

void ExportModel(const TGLFrame& baseFrame, const std::filesystem::path& fileName)
{
    switch (ModelFormatOf(fileName)) {
    case mfOBJ: {
        std::filesystem::path materials = fileName;
        materials.replace_extension(".mtl");
        WriteTexturePictures(baseFrame, fileName);
        WriteFileAtomically(materials, MTLText(baseFrame, fileName));
        WriteFileAtomically(fileName, OBJModelText(baseFrame, materials.filename().string()));
        break;
    }
    case mfPLY:
        WriteFileAtomically(fileName, PLYModelData(baseFrame));
        break;
    case mfGLB:
        WriteFileAtomically(fileName, GLBModelData(baseFrame));
        break;
    case mfX:
        SaveXFile(baseFrame, fileName);
        break;
    case mfXML:
        SaveXMLScene(baseFrame, fileName);
        break;
    default:
        throw EKorvelaError("Cannot export " + fileName.filename().string() +
                            ": the name must end in .obj, .ply, .glb, .x or .txml");
    }
}

} // namespace kv
