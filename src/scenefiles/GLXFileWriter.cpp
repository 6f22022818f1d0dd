#include "scenefiles/GLXFileWriter.h"

#include "gl/GLMesh.h"
#include "platform/FileIO.h"
#include "scenefiles/Hash.h"
#include "scenefiles/ModelTextures.h"

#include <charconv>
#include <string>

namespace kv {

namespace {

// The text being built, with the indentation of the open blocks.
class TXFileText {
public:
    std::string Text;

    void Line(std::string_view content)
    {
        Text.append(static_cast<size_t>(Level_), ' ');
        Text += content;
        Text += "\r\n";
    }
    // An empty (indent-only) line, the header line "Type Name {", one level deeper.
    void OpenBlock(std::string_view type, std::string_view name = {})
    {
        Line("");
        std::string header(type);
        header += ' ';
        if (!name.empty()) {
            header += name;
            header += ' ';
        }
        header += '{';
        Line(header);
        ++Level_;
    }
    void CloseBlock()
    {
        --Level_;
        Line("}");
    }
    void Indent() { Text.append(static_cast<size_t>(Level_), ' '); }

private:
    int32_t Level_ = 0;
};

void AppendFixed(std::string& text, double v)
{
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, 6);
    text.append(buffer, result.ptr);
}

// One line per vector: x; y; -z; then "," or, after the last, ";".
void WriteVectorLines(TXFileText& out, std::span<const Vector3D> vectors)
{
    out.Line(std::to_string(vectors.size()) + ";");
    for (size_t i = 0; i < vectors.size(); ++i) {
        out.Indent();
        AppendFixed(out.Text, vectors[i].x);
        out.Text += ';';
        AppendFixed(out.Text, vectors[i].y);
        out.Text += ';';
        AppendFixed(out.Text, 0.0 - vectors[i].z);
        out.Text += i + 1 == vectors.size() ? ";;\r\n" : ";,\r\n";
    }
}

// One line per face, its corners reversed: 3;3i+2,3i+1,3i; then "," or ";".
void WriteFaceLines(TXFileText& out, int32_t faces)
{
    out.Line(std::to_string(faces) + ";");
    for (int32_t i = 0; i < faces; ++i) {
        out.Indent();
        out.Text += "3;" + std::to_string(3 * i + 2) + ',' + std::to_string(3 * i + 1) + ',' + std::to_string(3 * i);
        out.Text += i + 1 == faces ? ";;\r\n" : ";,\r\n";
    }
}

std::string Fixed(double v)
{
    std::string text;
    AppendFixed(text, v);
    return text;
}

void WriteMaterial(TXFileText& out, const TGLMesh& mesh, uint32_t color, const std::string& picture)
{
    out.OpenBlock("Material");
    const float red = static_cast<float>(color & 0xFF) / 255.0f;
    const float green = static_cast<float>((color >> 8) & 0xFF) / 255.0f;
    const float blue = static_cast<float>((color >> 16) & 0xFF) / 255.0f;
    const double alpha = (100 - mesh.Transparency) / 100;
    out.Line(Fixed(red) + ";" + Fixed(green) + ";" + Fixed(blue) + ";" + Fixed(alpha) + ";;");
    out.Line(Fixed(mesh.LightShininess) + ";");
    const Float4& s = mesh.LightSpecular;
    out.Line(Fixed(s.r) + ";" + Fixed(s.g) + ";" + Fixed(s.b) + ";;");
    const Float4& e = mesh.LightEmission;
    out.Line(Fixed(e.r) + ";" + Fixed(e.g) + ";" + Fixed(e.b) + ";;");
    if (!picture.empty()) {
        out.OpenBlock("TextureFilename");
        out.Line("\"" + picture + "\";");
        out.CloseBlock();
    }
    out.CloseBlock();
}

void WriteMaterialList(TXFileText& out, const TGLMesh& mesh, TIntegerHashTable& colors, const std::string& picture)
{
    const int32_t faces = mesh.FaceCount();
    colors.Clear();
    std::vector<int32_t> materialOfFace(static_cast<size_t>(faces));
    for (int32_t i = 0; i < faces; ++i) {
        const uint32_t color = mesh.FaceColor.FaceColor(i);
        int32_t index = colors.Find(color);
        if (index < 0)
            index = colors.Add(color);
        materialOfFace[static_cast<size_t>(i)] = index;
    }
    out.OpenBlock("MeshMaterialList");
    out.Line(std::to_string(colors.Count()) + ";");
    out.Line(std::to_string(faces) + ";");
    for (int32_t index : materialOfFace)
        out.Line(std::to_string(index) + ";");
    for (int32_t i = 0; i < colors.Count(); ++i)
        WriteMaterial(out, mesh, colors.Key(i), picture);
    out.CloseBlock();
}

// The name as one X file word: other readers take a blank, a brace or a separator as the end of
// the name and then fail on the rest ("Mesh Terrain Mesh {"), so those become "_".
std::string XName(const std::string& name)
{
    std::string word = name;
    for (char& c : word)
        if (static_cast<unsigned char>(c) <= 32 || static_cast<unsigned char>(c) > 127 || c == '{' || c == '}' ||
            c == ';' || c == ',' || c == '"' || c == '#' || c == '/')
            c = '_';
    return word;
}

// One (u, v) per vertex, v running down the picture from its top row as X files count it.
void WriteTexCoordLines(TXFileText& out, const std::vector<Vector2D>& coords)
{
    out.OpenBlock("MeshTextureCoords");
    out.Line(std::to_string(coords.size()) + ";");
    for (size_t i = 0; i < coords.size(); ++i) {
        out.Indent();
        AppendFixed(out.Text, coords[i].x);
        out.Text += ';';
        AppendFixed(out.Text, 1.0 - coords[i].y);
        out.Text += i + 1 == coords.size() ? ";;\r\n" : ";,\r\n";
    }
    out.CloseBlock();
}

// `picture` is the texture's file name, empty for a mesh drawn without one.
void WriteMesh(TXFileText& out, const TGLMesh& mesh, TIntegerHashTable& colors, const std::vector<Vector2D>& texCoords,
               const std::string& picture)
{
    out.OpenBlock("Mesh", XName(mesh.Name()));
    const int32_t faces = mesh.FaceCount();
    WriteVectorLines(out, mesh.Vertices.Items().first(static_cast<size_t>(3 * faces)));
    WriteFaceLines(out, faces);
    WriteMaterialList(out, mesh, colors, picture);
    // Normal faces name the normal of each corner, so a mesh without one normal per corner would
    // give a block whose faces point past its normals: it is left out, and readers compute normals.
    if (mesh.VertexNormals.Count() == 3 * faces) {
        out.OpenBlock("MeshNormals");
        WriteVectorLines(out, mesh.VertexNormals.Items());
        WriteFaceLines(out, faces);
        out.CloseBlock();
    }
    if (!picture.empty())
        WriteTexCoordLines(out, texCoords);
    out.CloseBlock();
}

} // namespace

std::string XFileText(const TGLFrame& baseFrame, const std::filesystem::path& fileName)
{
    TXFileText out;
    out.Line("xof 0302txt 0064");
    out.OpenBlock("Header");
    out.Line("1;");
    out.Line("0;");
    out.Line("0;");
    out.CloseBlock();
    TIntegerHashTable colors;
    const TGLMeshList& meshes = baseFrame.Meshes();
    int32_t textured = 0;
    for (int32_t i = 0; i < meshes.Count(); ++i) {
        const TGLMesh& mesh = *meshes.Mesh(i);
        const std::vector<Vector2D> texCoords = ExportedTexCoords(mesh);
        const std::string picture =
            texCoords.empty() ? std::string() : TexturePictureFile(fileName, textured++).filename().string();
        WriteMesh(out, mesh, colors, texCoords, picture);
    }
    return std::move(out.Text);
}

void SaveXFile(const TGLFrame& baseFrame, const std::filesystem::path& fileName, const TProgressCallback& progress)
{
    const std::string text = XFileText(baseFrame, fileName);
    if (progress)
        progress(100);
    WriteTexturePictures(baseFrame, fileName);
    WriteFileAtomically(fileName, text);
}

} // namespace kv
