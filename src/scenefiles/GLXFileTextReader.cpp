#include "scenefiles/GLXFileTextReader.h"

#include "gl/FloatText.h"
#include "platform/KVError.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace kv {

namespace {

enum TBlockType {
    btTemplate,
    btFrameTransformMatrix,
    btFrame,
    btXSkinMeshHeader,
    btMeshTextureCoords,
    btMeshMaterialList,
    btMeshNormals,
    btMesh,
    btMaterial,
    btSkinWeights,
    btTextureFilename,
    btAnimationSet,
    btAnimationKey,
    btAnimation,
    btHeader,
    btUnknown,
    btOpenBrace,
    btCloseBrace,
    btEnd,
};

constexpr std::array<const char*, 15> BlockNames = {
    "template",         "FrameTransformMatrix", "Frame",        "XSkinMeshHeader", "MeshTextureCoords",
    "MeshMaterialList", "MeshNormals",          "Mesh",         "Material",        "SkinWeights",
    "TextureFilename",  "AnimationSet",         "AnimationKey", "Animation",       "Header"};

bool SameIgnoringCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

// Nested frames recurse; a file cannot make the reader run out of stack.
constexpr int MaxFrameDepth = 200;

// The smallest text a number takes ("0;"): counts that need more than the rest of the file can
// hold are refused before anything is allocated for them.
constexpr size_t MinNumberChars = 2;

using TMatrix = std::array<double, 16>;
constexpr TMatrix Identity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

class TXTextParser {
public:
    TXTextParser(TGLMeshList& meshes, std::string_view text, bool append, TStreamProgress progress,
                 const TXTextureLoader& loadTexture)
        : Meshes_(meshes), Text_(text), Append_(append), Progress_(progress), LoadTexture_(loadTexture)
    {
    }

    void Read()
    {
        Pos_ = 16;
        for (;;) {
            switch (NextToken()) {
            case btEnd:
                return;
            case btCloseBrace:
                break;
            case btOpenBrace:
                SkipToMatchingBrace();
                break;
            case btFrame:
                ReadFrame(0);
                break;
            case btMesh:
                ReadMesh();
                break;
            case btMaterial:
                Library_.push_back(ReadMaterial());
                break;
            default:
                SkipBlock();
                break;
            }
        }
    }

private:
    TGLMeshList& Meshes_;
    std::string_view Text_;
    bool Append_;
    TStreamProgress Progress_;
    const TXTextureLoader& LoadTexture_;
    size_t Pos_ = 0;
    std::string Word_;
    std::vector<TXMaterial> Library_;
    TMatrix Matrix_ = Identity;
    int32_t MeshCounter_ = 0;

    bool AtEnd()
    {
        Progress_.Check(Pos_);
        return Pos_ >= Text_.size();
    }
    char Peek() const { return Text_[Pos_]; }

    [[noreturn]] void Fail(const std::string& message) const { throw EKorvelaError(message); }

    // Blanks, control characters and comments ("#" or "/" to the end of the line).
    void SkipBlanks()
    {
        while (!AtEnd()) {
            const auto c = static_cast<unsigned char>(Peek());
            if (c <= 32) {
                ++Pos_;
            } else if (c == '#' || c == '/') {
                const size_t end = Text_.find('\n', Pos_);
                Pos_ = end == std::string_view::npos ? Text_.size() : end + 1;
            } else {
                return;
            }
        }
    }

    // A word: characters 34 to 127. A character outside that range that starts a token is
    // taken as a word of its own, so the reader always moves on.
    std::string_view ReadWord()
    {
        const size_t start = Pos_;
        while (Pos_ < Text_.size()) {
            const auto c = static_cast<unsigned char>(Text_[Pos_]);
            if (c < 34 || c > 127)
                break;
            ++Pos_;
        }
        if (Pos_ == start)
            ++Pos_;
        return Text_.substr(start, Pos_ - start);
    }

    TBlockType NextToken()
    {
        SkipBlanks();
        if (AtEnd())
            return btEnd;
        if (Peek() == '{') {
            ++Pos_;
            return btOpenBrace;
        }
        if (Peek() == '}') {
            ++Pos_;
            return btCloseBrace;
        }
        const std::string_view word = ReadWord();
        for (size_t i = 0; i < BlockNames.size(); ++i)
            if (SameIgnoringCase(word, BlockNames[i]))
                return static_cast<TBlockType>(i);
        return btUnknown;
    }

    // A name: up to a blank, a brace or a character outside 34..127; empty when "{" follows.
    std::string ReadName()
    {
        SkipBlanks();
        const size_t start = Pos_;
        while (Pos_ < Text_.size()) {
            const auto c = static_cast<unsigned char>(Text_[Pos_]);
            if (c < 34 || c > 127 || c == '{' || c == '}')
                break;
            ++Pos_;
        }
        return std::string(Text_.substr(start, Pos_ - start));
    }

    // Moves past the next "{"; false when the data ends first.
    bool SkipPastOpenBrace()
    {
        const size_t brace = Text_.find('{', Pos_);
        if (brace == std::string_view::npos) {
            Pos_ = Text_.size();
            return false;
        }
        Pos_ = brace + 1;
        Progress_.Check(Pos_);
        return true;
    }

    void ExpectOpenBrace()
    {
        if (!SkipPastOpenBrace())
            Fail("Syntax Error");
    }

    // After a "{": moves past its matching "}", or to the end of the data.
    void SkipToMatchingBrace()
    {
        int64_t depth = 1;
        while (Pos_ < Text_.size()) {
            const char c = Text_[Pos_++];
            if (c == '{')
                ++depth;
            else if (c == '}' && --depth == 0)
                break;
            if ((Pos_ & 0xFFFF) == 0)
                Progress_.Check(Pos_);
        }
    }

    void SkipBlock()
    {
        if (SkipPastOpenBrace())
            SkipToMatchingBrace();
    }

    void SkipPastCloseBrace()
    {
        const size_t brace = Text_.find('}', Pos_);
        Pos_ = brace == std::string_view::npos ? Text_.size() : brace + 1;
    }

    // The characters up to the next "," or ";" (which is consumed), "//" comments removed, trimmed.
    std::string_view NumberText()
    {
        SkipBlanks();
        const size_t start = Pos_;
        size_t end = start;
        while (end < Text_.size() && Text_[end] != ',' && Text_[end] != ';')
            ++end;
        if (end >= Text_.size())
            Fail("Unexpected end of the file: a number is missing");
        Pos_ = end + 1;
        std::string_view piece = Text_.substr(start, end - start);
        const size_t comment = piece.find("//");
        if (comment != std::string_view::npos) {
            // The number continues after the comment's line ends.
            const size_t lineEnd = piece.find('\n', comment);
            Word_ = std::string(piece.substr(0, comment));
            if (lineEnd != std::string_view::npos)
                Word_ += piece.substr(lineEnd + 1);
            piece = Word_;
        }
        while (!piece.empty() && static_cast<unsigned char>(piece.back()) <= 32)
            piece.remove_suffix(1);
        while (!piece.empty() && static_cast<unsigned char>(piece.front()) <= 32)
            piece.remove_prefix(1);
        return piece;
    }

    double ReadFloat() { return ParseFloat(NumberText(), "number in the X file"); }

    int32_t ReadInteger()
    {
        const std::string_view text = NumberText();
        int32_t value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (text.empty() || error != std::errc() || end != text.data() + text.size())
            Fail("'" + std::string(text) + "' is not a valid integer value");
        return value;
    }

    // A count read from the file, refused when the rest of the file cannot hold `perItem`
    // numbers for each item.
    int32_t ReadCount(const std::string& what, size_t perItem)
    {
        const int32_t count = ReadInteger();
        const size_t left = Text_.size() - std::min(Pos_, Text_.size());
        if (count < 0 || static_cast<size_t>(count) > left / (perItem * MinNumberChars))
            Fail("The file claims " + std::to_string(count) + " " + what + ", more than it can hold");
        return count;
    }

    // The separator after a vector or a face: a "," or ";" after optional blanks.
    void SkipSeparator()
    {
        SkipBlanks();
        if (!AtEnd() && (Peek() == ',' || Peek() == ';'))
            ++Pos_;
    }

    Vector3D ReadVector(bool transform)
    {
        const double x = ReadFloat();
        const double y = ReadFloat();
        const double z = ReadFloat();
        SkipSeparator();
        if (!transform)
            return {x, y, -z};
        const TMatrix& m = Matrix_;
        return {x * m[0] + y * m[4] + z * m[8] + m[12], x * m[1] + y * m[5] + z * m[9] + m[13],
                -(x * m[2] + y * m[6] + z * m[10] + m[14])};
    }

    // A vector count and the vectors, then a face count and the faces.
    void ReadVertexList(TVertexList& list, bool transform, const char* what)
    {
        const int32_t vertices = ReadCount(std::string(what) == "vertex" ? "vertices" : "normals", 3);
        list.Vectors.clear();
        list.Vectors.reserve(static_cast<size_t>(vertices));
        for (int32_t i = 0; i < vertices; ++i)
            list.Vectors.push_back(ReadVector(transform));
        SkipSeparator();
        list.FaceCount = ReadCount("faces", 2);
        list.FaceIndices.clear();
        for (int32_t i = 0; i < list.FaceCount; ++i) {
            const int32_t corners = ReadCount("face corners", 1);
            list.FaceIndices.push_back(corners);
            for (int32_t k = 0; k < corners; ++k) {
                const int32_t index = ReadInteger();
                if (index < 0 || index >= vertices)
                    Fail("Face " + std::to_string(i) + " refers to " + what + " " + std::to_string(index) +
                         ", but there are " + std::to_string(vertices));
                list.FaceIndices.push_back(index);
            }
            SkipSeparator();
        }
    }

    // Calls `corner(fileFace, a, b, c)` for each triangle of the faces, in the reversed corner
    // order that keeps faces front-facing after the mirroring.
    template <typename TTriangle> static void ForEachTriangle(const TVertexList& list, TTriangle triangle)
    {
        size_t at = 0;
        for (int32_t face = 0; face < list.FaceCount; ++face) {
            const auto k = static_cast<size_t>(list.FaceIndices[at]);
            const int32_t* r = list.FaceIndices.data() + at + 1;
            if (k == 3) {
                triangle(face, r[2], r[1], r[0]);
            } else if (k == 4) {
                triangle(face, r[3], r[2], r[0]);
                triangle(face, r[2], r[1], r[0]);
            } else if (k >= 5) {
                for (size_t i = 1; i + 1 < k; ++i)
                    triangle(face, r[0], r[i + 1], r[i]);
            }
            at += k + 1;
        }
    }

    static int64_t TriangleCount(const TVertexList& list)
    {
        int64_t triangles = 0;
        ForEachTriangle(list, [&](int32_t, int32_t, int32_t, int32_t) { ++triangles; });
        return triangles;
    }

    void ReadFrame(int depth)
    {
        if (depth >= MaxFrameDepth)
            Fail("Frames nested more than " + std::to_string(MaxFrameDepth) + " deep");
        ReadName();
        ExpectOpenBrace();
        for (;;) {
            const TBlockType token = NextToken();
            if (token == btEnd || token == btCloseBrace)
                break;
            if (token == btFrameTransformMatrix) {
                ExpectOpenBrace();
                for (double& m : Matrix_)
                    m = ReadFloat();
                SkipPastCloseBrace();
            } else if (token == btFrame) {
                ReadFrame(depth + 1);
            } else if (token == btMesh) {
                ReadMesh();
            } else if (token == btOpenBrace) {
                SkipToMatchingBrace();
            } else {
                SkipBlock();
            }
        }
        Matrix_ = Identity;
    }

    TGLMesh& TargetMesh()
    {
        if (Append_ || MeshCounter_ >= Meshes_.Count())
            return *Meshes_.NewMesh();
        return *Meshes_.Mesh(MeshCounter_);
    }

    void ReadMesh()
    {
        TGLMesh& mesh = TargetMesh();
        const uint8_t renderMode = mesh.RenderMode();
        mesh.ResetAll();
        mesh.SetRenderMode(renderMode);
        std::string name = ReadName();
        if (name.empty())
            name = "Mesh" + std::to_string(MeshCounter_);
        mesh.SetName(name);
        ExpectOpenBrace();

        TVertexList list;
        ReadVertexList(list, true, "vertex");
        mesh.Reserve(static_cast<int32_t>(std::min<int64_t>(TriangleCount(list), INT32_MAX / 3)));
        std::vector<int32_t> faceOfTriangle;
        std::vector<int32_t> vertexOfCorner;
        // The corners go straight into the lists (no change events per vertex); the face
        // normals follow for all faces at once.
        ForEachTriangle(list, [&](int32_t face, int32_t a, int32_t b, int32_t c) {
            const auto& v = list.Vectors;
            mesh.Vertices.Add(v[size_t(a)]);
            mesh.Vertices.Add(v[size_t(b)]);
            mesh.Vertices.Add(v[size_t(c)]);
            mesh.FaceColor.Add(0xFFFFFFu);
            faceOfTriangle.push_back(face);
            if (LoadTexture_)
                vertexOfCorner.insert(vertexOfCorner.end(), {a, b, c});
        });
        mesh.ResetPose();
        // A failure in the blocks below leaves the mesh as it is: it must already be whole.
        mesh.CalcNormals(false);

        TXMaterialList materials;
        std::vector<Vector2D> texCoords;
        bool hasNormals = false;
        for (;;) {
            const TBlockType token = NextToken();
            if (token == btEnd || token == btCloseBrace)
                break;
            if (token == btMeshNormals) {
                ReadNormals(mesh, list);
                hasNormals = true;
            } else if (token == btMeshMaterialList) {
                materials = ReadMaterialList();
            } else if (token == btMeshTextureCoords) {
                texCoords = ReadTextureCoords();
            } else if (token == btOpenBrace) {
                SkipToMatchingBrace();
            } else {
                SkipBlock();
            }
        }
        ApplyMaterials(mesh, materials, list.FaceCount, faceOfTriangle);
        if (hasNormals)
            mesh.CalcNormals(false);
        else
            mesh.CalcNormals(true, 89.0);
        mesh.RecalcExtents();
        if (texCoords.size() == list.Vectors.size() && !materials.Materials.empty())
            ApplyTexture(mesh, materials.Materials[0].TextureFileName, texCoords, vertexOfCorner);
        ++MeshCounter_;
    }

    // The picture as the mesh's enabled texture, the file's (u, v) (v down the picture) as the
    // corners' computed (s, t) with t up, kept as they are until the texture is changed.
    void ApplyTexture(TGLMesh& mesh, const std::string& fileName, const std::vector<Vector2D>& texCoords,
                      const std::vector<int32_t>& vertexOfCorner)
    {
        TBitmap picture;
        if (fileName.empty() || !LoadTexture_ || !LoadTexture_(fileName, picture) || picture.Empty())
            return;
        TGLObjectTexture& texture = *mesh.Texture;
        texture.LoadFromBitmap(picture);
        texture.TextureMode = tmComputed;
        texture.TexCoords.Clear();
        texture.TexCoords.SetCapacity(static_cast<int32_t>(vertexOfCorner.size()));
        for (int32_t vertex : vertexOfCorner) {
            const Vector2D& uv = texCoords[size_t(vertex)];
            texture.TexCoords.Add(Vector2D{uv.x, 1.0 - uv.y});
        }
        texture.Enabled = true;
        texture.Changed();
        mesh.TexCoordsValid = true;
    }

    void ReadNormals(TGLMesh& mesh, const TVertexList& faces)
    {
        ExpectOpenBrace();
        TVertexList normals;
        ReadVertexList(normals, false, "normal");
        bool sameShape = normals.FaceCount == faces.FaceCount && normals.FaceIndices.size() == faces.FaceIndices.size();
        for (size_t at = 0; sameShape && at < faces.FaceIndices.size(); at += size_t(faces.FaceIndices[at]) + 1)
            sameShape = normals.FaceIndices[at] == faces.FaceIndices[at];
        if (!sameShape)
            Fail("The normals of mesh " + mesh.Name() + " are given for faces shaped unlike the mesh's faces");
        mesh.VertexNormals.Clear();
        ForEachTriangle(normals, [&](int32_t, int32_t a, int32_t b, int32_t c) {
            for (int32_t i : {a, b, c})
                mesh.VertexNormals.Add(normals.Vectors[size_t(i)]);
        });
        SkipPastCloseBrace();
    }

    std::vector<Vector2D> ReadTextureCoords()
    {
        ExpectOpenBrace();
        const int32_t count = ReadCount("texture coordinates", 2);
        std::vector<Vector2D> coords;
        coords.reserve(static_cast<size_t>(count));
        for (int32_t i = 0; i < count; ++i) {
            const double u = ReadFloat();
            const double v = ReadFloat();
            coords.push_back({u, v});
            SkipSeparator();
        }
        SkipPastCloseBrace();
        return coords;
    }

    Float4 ReadColor(int components)
    {
        Float4 c{0, 0, 0, 1};
        c.r = static_cast<float>(ReadFloat());
        c.g = static_cast<float>(ReadFloat());
        c.b = static_cast<float>(ReadFloat());
        if (components == 4)
            c.a = static_cast<float>(ReadFloat());
        SkipSeparator();
        return c;
    }

    TXMaterial ReadMaterial()
    {
        TXMaterial material;
        material.Name = ReadName();
        ExpectOpenBrace();
        material.FaceColor = ReadColor(4);
        material.Power = ReadFloat();
        material.SpecularColor = ReadColor(3);
        material.EmissiveColor = ReadColor(3);
        for (;;) {
            const TBlockType token = NextToken();
            if (token == btEnd || token == btCloseBrace)
                break;
            if (token == btTextureFilename) {
                ExpectOpenBrace();
                const size_t open = Text_.find('"', Pos_);
                const size_t close = open == std::string_view::npos ? open : Text_.find('"', open + 1);
                if (close != std::string_view::npos) {
                    material.TextureFileName = std::string(Text_.substr(open + 1, close - open - 1));
                    Pos_ = close + 1;
                }
                SkipPastCloseBrace();
            } else if (token == btOpenBrace) {
                SkipToMatchingBrace();
            } else {
                SkipBlock();
            }
        }
        return material;
    }

    TXMaterial LibraryMaterial(const std::string& name) const
    {
        for (const TXMaterial& material : Library_)
            if (material.Name == name)
                return material;
        TXMaterial defaults;
        defaults.Name = name;
        return defaults;
    }

    TXMaterialList ReadMaterialList()
    {
        ExpectOpenBrace();
        TXMaterialList list;
        list.MaterialCount = ReadCount("materials", 1);
        const int32_t indexes = ReadCount("face material indexes", 1);
        list.FaceIndexes.reserve(static_cast<size_t>(indexes));
        for (int32_t i = 0; i < indexes; ++i)
            list.FaceIndexes.push_back(ReadInteger());
        SkipSeparator();
        for (;;) {
            const TBlockType token = NextToken();
            if (token == btEnd || token == btCloseBrace)
                break;
            const bool full = static_cast<int32_t>(list.Materials.size()) >= list.MaterialCount;
            if (token == btMaterial) {
                TXMaterial material = ReadMaterial();
                if (!full)
                    list.Materials.push_back(std::move(material));
            } else if (token == btOpenBrace) {
                const std::string name = ReadName();
                SkipPastCloseBrace();
                if (!full)
                    list.Materials.push_back(LibraryMaterial(name));
            } else {
                SkipBlock();
            }
        }
        return list;
    }

    static uint32_t ToColor(const Float4& c)
    {
        const auto channel = [](float v) -> uint32_t {
            const double scaled = std::trunc(static_cast<double>(v) * 255.0);
            return scaled <= 0 || scaled != scaled ? 0u : scaled >= 255 ? 255u : static_cast<uint32_t>(scaled);
        };
        return channel(c.r) | (channel(c.g) << 8) | (channel(c.b) << 16);
    }

    // Material 0 gives the mesh its material values; each face takes the colour of its own
    // material, or, when the list has fewer indexes than faces, the whole mesh takes material 0's.
    void ApplyMaterials(TGLMesh& mesh, const TXMaterialList& list, int32_t faces,
                        const std::vector<int32_t>& faceOfTriangle)
    {
        if (list.MaterialCount <= 0)
            return;
        // Slots the list names but does not fill take the default material.
        const TXMaterial defaults;
        const auto material = [&](int32_t i) -> const TXMaterial& {
            return i < static_cast<int32_t>(list.Materials.size()) ? list.Materials[size_t(i)] : defaults;
        };
        const TXMaterial& first = material(0);
        mesh.LightEmission = first.EmissiveColor;
        mesh.LightSpecular = first.SpecularColor;
        mesh.LightShininess = static_cast<float>(std::clamp(first.Power, 0.0, 128.0));
        if (static_cast<int32_t>(list.FaceIndexes.size()) < faces) {
            mesh.SetColor(ToColor(first.FaceColor));
            return;
        }
        for (int32_t face = 0; face < faces; ++face) {
            const int32_t index = list.FaceIndexes[size_t(face)];
            if (index < 0 || index >= list.MaterialCount)
                Fail("Face " + std::to_string(face) + " of mesh " + mesh.Name() + " uses material " +
                     std::to_string(index) + ", but the list has " + std::to_string(list.MaterialCount));
        }
        for (size_t t = 0; t < faceOfTriangle.size(); ++t) {
            const int32_t index = list.FaceIndexes[size_t(faceOfTriangle[t])];
            mesh.FaceColor.SetFaceColor(static_cast<int32_t>(t), ToColor(material(index).FaceColor));
        }
    }
};

} // namespace

void ReadXFileText(TGLMeshList& meshes, std::string_view text, bool append, const TProgressCallback& progress,
                   int32_t progressScale, int32_t progressOffset, const TXTextureLoader& loadTexture)
{
    TXTextParser parser(meshes, text, append, TStreamProgress(progress, text.size(), progressScale, progressOffset),
                        loadTexture);
    parser.Read();
}

} // namespace kv
