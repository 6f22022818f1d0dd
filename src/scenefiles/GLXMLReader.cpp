#include "scenefiles/GLXMLReader.h"

#include "GLXMLGlobal.h"
#include "gl/GLCubeMap.h"
#include "gl/GLFonts.h"
#include "gl/GLLines.h"
#include "gl/GLMesh.h"
#include "platform/FileIO.h"
#include "platform/KVError.h"

#include <pugixml.hpp>

#include <string>
#include <string_view>

namespace kv {

namespace {

using namespace xmlscene;

bool Is(pugi::xml_node node, std::string_view name)
{
    return name == node.name();
}

// Calls `apply` for each element child, in document order.
template <typename TApply> void ForEachChild(pugi::xml_node parent, TApply apply)
{
    for (pugi::xml_node child = FirstElement(parent); child; child = NextElement(child))
        apply(child);
}

void ReadVector3DArray(pugi::xml_node property, TVector3DArray& target)
{
    pugi::xml_node array = ArrayElement(property, "Vector3DArray");
    target.Clear();
    const int32_t count = CountAttribute(array);
    TArrayText text(array.text().get(), "Vector3DArray");
    for (int32_t i = 0; i < count; ++i) {
        ReportProgress(i, count);
        Vector3D v;
        v.x = text.NextFloat();
        v.y = text.NextFloat();
        v.z = text.NextFloat();
        target.Add(v);
    }
}

void ReadColorArray(pugi::xml_node property, TGLColorArray& target)
{
    pugi::xml_node array = ArrayElement(property, "ColorArray");
    target.Clear();
    const int32_t count = CountAttribute(array);
    TArrayText text(array.text().get(), "ColorArray");
    for (int32_t i = 0; i < count; ++i) {
        ReportProgress(i, count);
        TColorTriple c;
        for (uint32_t& color : c.Color)
            color = static_cast<uint32_t>(text.NextInteger());
        target.Add(c);
    }
}

void ReadByteArray(pugi::xml_node property, THugeByte& target)
{
    pugi::xml_node array = ArrayElement(property, "ByteArray");
    target.Clear();
    const int32_t count = CountAttribute(array);
    TArrayText text(array.text().get(), "ByteArray");
    for (int32_t i = 0; i < count; ++i) {
        ReportProgress(i, count);
        const int32_t value = text.NextInteger();
        if (value < 0 || value > 255)
            throw EKorvelaError("A ByteArray holds " + std::to_string(value) + ", which is not a byte");
        target.Add(static_cast<uint8_t>(value));
    }
}

void ReadIntegerArray(pugi::xml_node property, THugeInteger& target)
{
    pugi::xml_node array = ArrayElement(property, "IntegerArray");
    target.Clear();
    const int32_t count = CountAttribute(array);
    TArrayText text(array.text().get(), "IntegerArray");
    for (int32_t i = 0; i < count; ++i) {
        ReportProgress(i, count);
        target.Add(text.NextInteger());
    }
}

void ReadAnimator(pugi::xml_node element, TGLAnimator& animator)
{
    pugi::xml_node array = FirstElement(element);
    if (!array || !Is(array, "Array"))
        throw EKorvelaError(std::string("Expected: Array. Found: ") + (array ? array.name() : "nothing"));
    const int32_t count = CountAttribute(array);
    animator.Keys.Clear();
    pugi::xml_node key = FirstElement(array);
    for (int32_t i = 0; i < count; ++i, key = NextElement(key)) {
        if (!key)
            throw EKorvelaError("Expected " + std::to_string(count) + " animation keys. Found: " + std::to_string(i));
        if (!Is(key, "AnimationKey"))
            throw EKorvelaError(std::string("Expected: AnimationKey. Found: ") + key.name());
        pugi::xml_node position = FirstElement(key);
        if (!position || !Is(position, "Position"))
            throw EKorvelaError(std::string("Expected: Position. Found: ") + (position ? position.name() : ""));
        pugi::xml_node rotation = NextElement(position);
        if (!rotation || !Is(rotation, "Rotation"))
            throw EKorvelaError(std::string("Expected: Rotation. Found: ") + (rotation ? rotation.name() : ""));
        TAnimationKey value;
        value.Position = ReadVector3D(position);
        value.Rotation = ReadVector3D(rotation);
        animator.Keys.Add(value);
    }
}

void ReadObject(pugi::xml_node element, TGLObject& object)
{
    ForEachChild(element, [&](pugi::xml_node child) {
        if (Is(child, "Name"))
            object.SetName(ReadString(child));
        else if (Is(child, "ExtentMin"))
            object.SetExtentMin(ReadVector3D(child));
        else if (Is(child, "ExtentMax"))
            object.SetExtentMax(ReadVector3D(child));
        else if (Is(child, "Quaternion"))
            object.Orientation = ReadQuaternion(child);
        else if (Is(child, "Position"))
            object.Position = ReadVector3D(child);
        else if (Is(child, "ResetPos"))
            object.ResetPos = ReadVector3D(child);
        else if (Is(child, "RotationCenter"))
            object.RotationCenter = ReadVector3D(child);
        else if (Is(child, "FlyThrough"))
            object.FlyThrough = ReadBoolean(child);
        else if (Is(child, "Scale"))
            object.SetScale(ReadFloat(child));
        else if (Is(child, "Scale3D"))
            object.Scale3D = ReadVector3D(child);
        else if (Is(child, "Animator"))
            ReadAnimator(child, object.Animator);
    });
}

void ReadBitmapChild(pugi::xml_node child, TGLBaseBitmap& bitmap)
{
    if (Is(child, "Width"))
        bitmap.Width = ReadInteger(child);
    else if (Is(child, "Height"))
        bitmap.Height = ReadInteger(child);
    else if (Is(child, "Image"))
        ReadByteArray(child, bitmap.Image);
}

// Pixels are uploaded as Width x Height RGBA rows: a picture whose bytes do not match its size
// would be read past its end.
void CheckBitmapSize(const TGLBaseBitmap& bitmap, const char* what)
{
    const int64_t needed = int64_t{bitmap.Width} * bitmap.Height * 4;
    if (bitmap.Image.Count() != 0 && (bitmap.Width < 0 || bitmap.Height < 0 || bitmap.Image.Count() != needed))
        throw EKorvelaError(std::string("The ") + what + " holds " + std::to_string(bitmap.Image.Count()) +
                            " bytes, but " + std::to_string(bitmap.Width) + " x " + std::to_string(bitmap.Height) +
                            " RGBA pixels take " + std::to_string(needed));
}

void ReadCubeMap(pugi::xml_node element, TGLCubeMap& cubeMap)
{
    const char* names[6] = {"LeftMap", "RightMap", "TopMap", "BottomMap", "FrontMap", "BackMap"};
    const auto faces = cubeMap.Faces();
    ForEachChild(element, [&](pugi::xml_node child) {
        for (size_t i = 0; i < faces.size(); ++i)
            if (Is(child, names[i]))
                ForEachChild(child, [&](pugi::xml_node part) { ReadBitmapChild(part, *faces[i]); });
        if (Is(child, "MapMode"))
            cubeMap.MapMode = static_cast<uint8_t>(ReadInteger(child));
        else if (Is(child, "Scale"))
            cubeMap.SetScale(ReadVector3D(child));
        else if (Is(child, "Offset"))
            cubeMap.SetOffset(ReadVector3D(child));
        else if (Is(child, "RPlane"))
            cubeMap.SetRPlane(ReadFloat4(child));
        else if (Is(child, "SPlane"))
            cubeMap.SetSPlane(ReadFloat4(child));
        else if (Is(child, "TPlane"))
            cubeMap.SetTPlane(ReadFloat4(child));
    });
    for (size_t i = 0; i < faces.size(); ++i)
        CheckBitmapSize(*faces[i], names[i]);
    cubeMap.Uploaded = false;
}

void ReadTexture(pugi::xml_node element, TGLObjectTexture& texture)
{
    ForEachChild(element, [&](pugi::xml_node child) {
        if (Is(child, "Enabled"))
            texture.Enabled = ReadBoolean(child);
        else if (Is(child, "Highlight"))
            texture.SetHighlight(ReadBoolean(child));
        else if (Is(child, "TextureMode"))
            texture.TextureMode = static_cast<uint8_t>(ReadInteger(child));
        else if (Is(child, "AutoTextureMap"))
            texture.AutoTextureMap = static_cast<uint8_t>(ReadInteger(child));
        else if (Is(child, "ManualTextureMap"))
            texture.SetManualTextureMap(static_cast<uint8_t>(ReadInteger(child)));
        else if (Is(child, "Scale"))
            texture.SetScale(ReadVector2D(child));
        else if (Is(child, "Offset"))
            texture.SetOffset(ReadVector2D(child));
        else if (Is(child, "Yaw"))
            texture.SetYaw(ReadFloat(child));
        else if (Is(child, "Pitch"))
            texture.SetPitch(ReadFloat(child));
        else if (Is(child, "SPlane"))
            texture.SetSPlane(ReadFloat4(child));
        else if (Is(child, "TPlane"))
            texture.SetTPlane(ReadFloat4(child));
        else if (Is(child, "CubeMap") && texture.CubeMap)
            ReadCubeMap(child, *texture.CubeMap);
        else
            ReadBitmapChild(child, texture);
    });
    CheckBitmapSize(texture, "texture");
    texture.Changed();
}

void ReadRenderer(pugi::xml_node element, TGLRenderer& renderer)
{
    ForEachChild(element, [&](pugi::xml_node child) {
        if (Is(child, "GLObject"))
            ReadObject(child, renderer);
        else if (Is(child, "Animator"))
            ReadAnimator(child, renderer.Animator);
        else if (Is(child, "DoAlphaBlend"))
            renderer.DoAlphaBlend = ReadBoolean(child);
        else if (Is(child, "Transparency"))
            renderer.Transparency = ReadFloat(child);
        else if (Is(child, "BlendBackground"))
            renderer.BlendBackground = ReadBoolean(child);
        else if (Is(child, "TransparentDepth"))
            renderer.TransparentDepth = ReadBoolean(child);
        else if (Is(child, "LightEmission"))
            renderer.LightEmission = ReadFloat4(child);
        else if (Is(child, "LightSpecular"))
            renderer.LightSpecular = ReadFloat4(child);
        else if (Is(child, "LightShininess"))
            renderer.LightShininess = static_cast<float>(ReadFloat(child));
        else if (Is(child, "Texture") && renderer.Texture)
            ReadTexture(child, *renderer.Texture);
        else if (Is(child, "Color"))
            renderer.SetColor(static_cast<uint32_t>(ReadInteger(child)));
        else if (Is(child, "RenderMode"))
            renderer.SetRenderMode(static_cast<uint8_t>(ReadInteger(child)));
        else if (Is(child, "DoTwoSidedLighting"))
            renderer.SetDoTwoSidedLighting(ReadBoolean(child));
        else if (Is(child, "DoFrontBackColor"))
            renderer.SetDoFrontBackColor(ReadBoolean(child));
        else if (Is(child, "FrontColor"))
            renderer.SetFrontColor(static_cast<uint32_t>(ReadInteger(child)));
        else if (Is(child, "BackColor"))
            renderer.SetBackColor(static_cast<uint32_t>(ReadInteger(child)));
    });
}

// The viewer draws a mesh by its triangles and indexes every per-face and per-corner list with
// them, so lists that do not match the vertices are refused rather than drawn past their end.
void CheckMeshShape(const TGLMesh& mesh)
{
    const int32_t vertices = mesh.Vertices.Count();
    const int32_t faces = vertices / 3;
    const bool fits = vertices % 3 == 0 && mesh.FaceNormals.Count() == faces && mesh.FaceColor.Count() == faces &&
                      (mesh.VertexNormals.Count() == 0 || mesh.VertexNormals.Count() == vertices);
    if (!fits)
        throw EKorvelaError("The mesh " + mesh.Name() + " has " + std::to_string(vertices) + " vertices, " +
                            std::to_string(mesh.FaceNormals.Count()) + " face normals, " +
                            std::to_string(mesh.VertexNormals.Count()) + " vertex normals and " +
                            std::to_string(mesh.FaceColor.Count()) +
                            " face colours, which do not fit together (three vertices to a face)");
}

void ReadMesh(pugi::xml_node element, TGLMesh& mesh)
{
    ForEachChild(element, [&](pugi::xml_node child) {
        if (Is(child, "GLRenderer"))
            ReadRenderer(child, mesh);
        else if (Is(child, "Vertices"))
            ReadVector3DArray(child, mesh.Vertices);
        else if (Is(child, "FaceNormals"))
            ReadVector3DArray(child, mesh.FaceNormals);
        else if (Is(child, "VertexNormals"))
            ReadVector3DArray(child, mesh.VertexNormals);
        else if (Is(child, "FaceColor"))
            ReadColorArray(child, mesh.FaceColor);
    });
    mesh.OctTreeValid = false;
    mesh.TexCoordsValid = false;
    mesh.Sorted = false;
    mesh.RecalcExtents();
    CheckMeshShape(mesh);
}

void ReadLines(pugi::xml_node element, TGLLines& lines)
{
    ForEachChild(element, [&](pugi::xml_node child) {
        if (Is(child, "GLRenderer"))
            ReadRenderer(child, lines);
        else if (Is(child, "Vertices"))
            ReadVector3DArray(child, lines.Vertices);
        else if (Is(child, "LineColor"))
            ReadIntegerArray(child, lines.LineColor);
    });
    const int32_t segments = lines.SegmentCount();
    if (lines.Vertices.Count() % 2 != 0 || lines.LineColor.Count() != segments)
        throw EKorvelaError("The line object " + lines.Name() + " has " + std::to_string(lines.Vertices.Count()) +
                            " vertices and " + std::to_string(lines.LineColor.Count()) +
                            " colours, which do not fit together (two vertices to a segment)");
    // The file keeps no widths or stipples: every segment is drawn plain.
    lines.LineProperties.Clear();
    for (int32_t i = 0; i < segments; ++i)
        lines.LineProperties.Add(TLineProperty{});
    lines.OctTreeValid = false;
}

void ReadFont(pugi::xml_node element, TGL3DFont& font)
{
    ForEachChild(element, [&](pugi::xml_node child) {
        if (Is(child, "Depth"))
            font.SetDepth(ReadFloat(child));
        else if (Is(child, "SystemFont"))
            ForEachChild(child, [&](pugi::xml_node part) {
                if (Is(part, "Charset"))
                    font.Charset = ReadInteger(part);
                else if (Is(part, "Color"))
                    font.Color = static_cast<uint32_t>(ReadInteger(part));
                else if (Is(part, "Name"))
                    font.Name = ReadString(part);
                else if (Is(part, "Size"))
                    font.Height = ReadInteger(part);
                else if (Is(part, "Style")) {
                    const std::string style = ReadString(part);
                    font.Bold = style.find("fsBold") != std::string::npos;
                    font.Italic = style.find("fsItalic") != std::string::npos;
                    font.Underline = style.find("fsUnderline") != std::string::npos;
                    font.StrikeOut = style.find("fsStrikeOut") != std::string::npos;
                }
            });
    });
    font.Invalidate();
}

void ReadString3D(pugi::xml_node element, TGL3DString& text)
{
    ForEachChild(element, [&](pugi::xml_node child) {
        if (Is(child, "GLRenderer"))
            ReadRenderer(child, text);
        else if (Is(child, "Font3D"))
            ReadFont(child, text.Font);
        else if (Is(child, "Text"))
            text.SetText(ReadString(child));
        else if (Is(child, "Justify"))
            text.SetJustify(static_cast<uint8_t>(ReadInteger(child)));
        else if (Is(child, "LineSpacing"))
            text.SetLineSpacing(ReadFloat(child));
        else if (Is(child, "ShowLineBreaks"))
            text.SetShowLineBreaks(ReadBoolean(child));
        else if (Is(child, "RenderMode"))
            text.SetRenderMode(static_cast<uint8_t>(ReadInteger(child)));
        else if (Is(child, "Color"))
            text.SetColor(static_cast<uint32_t>(ReadInteger(child)));
    });
}

// What differs between the four lists of a frame when they are read.
struct TListKind {
    const char* ItemName;
    const char* EmptyMessage; // followed by Count
    const char* CountWord;    // "Expected " Count CountWord ". Found: " i
};

template <typename TAddAndRead> void ReadList(pugi::xml_node element, const TListKind& kind, TAddAndRead addAndRead)
{
    const int32_t count = CountAttribute(element);
    if (count <= 0)
        return;
    pugi::xml_node child = FirstElement(element);
    if (!child)
        throw EKorvelaError(kind.EmptyMessage + std::to_string(count));
    for (int32_t i = 0; i < count; ++i, child = NextElement(child)) {
        if (!child)
            throw EKorvelaError("Expected " + std::to_string(count) + kind.CountWord + ". Found: " + std::to_string(i));
        ReportProgress(i, count);
        if (Is(child, kind.ItemName))
            addAndRead(child);
    }
}

constexpr TListKind MeshList{"GLMesh", "Empty Mesh list. Expected: ", "Meshes"};
constexpr TListKind LineList{"GLLines", "Empty Line list. Expected: ", "Lines"};
constexpr TListKind StringList{"GL3DString", "Empty 3D String list. Expected: ", " 3D Strings"};
constexpr TListKind FrameList{"GLFrame", "Empty Frame list. Expected: ", " Frames"};

// Frames are read recursively: a file cannot make the reader run out of stack.
constexpr int MaxFrameDepth = 200;

void ReadFrame(pugi::xml_node element, TGLFrame& frame, int depth)
{
    if (depth > MaxFrameDepth)
        throw EKorvelaError("Frames nested more than " + std::to_string(MaxFrameDepth) + " deep");
    ForEachChild(element, [&](pugi::xml_node child) {
        if (Is(child, "GLObject"))
            ReadObject(child, frame);
        else if (Is(child, "GLMeshList"))
            ReadList(child, MeshList, [&](pugi::xml_node item) { ReadMesh(item, *frame.Meshes().NewMesh()); });
        else if (Is(child, "GLLineList"))
            ReadList(child, LineList,
                     [&](pugi::xml_node item) { ReadLines(item, *frame.Lines().Lines(frame.Lines().NewLines())); });
        else if (Is(child, "GLStringList3D"))
            ReadList(child, StringList, [&](pugi::xml_node item) {
                ReadString3D(item, *frame.Strings().String(frame.Strings().NewString()));
            });
        else if (Is(child, "GLFrameList"))
            ReadList(child, FrameList,
                     [&](pugi::xml_node item) { ReadFrame(item, *frame.Frames().Frame(frame.Frames().NewFrame()), depth + 1); });
    });
}

// Keeps the progress slot set for the read and empties it however the read ends.
struct TProgressScope {
    explicit TProgressScope(const TProgressCallback& progress) { SetProgress(progress); }
    ~TProgressScope() { SetProgress({}); }
};

void ReadDocument(TGLFrame& baseFrame, pugi::xml_document& document, const pugi::xml_parse_result& result)
{
    if (!result) {
        if (result.status == pugi::status_no_document_element)
            throw EKorvelaError("Empty OpenGL File");
        throw EKorvelaError(std::string("The scene file is not valid XML: ") + result.description() + " at byte " +
                            std::to_string(result.offset));
    }
    pugi::xml_node root = FirstElement(document);
    if (!root)
        throw EKorvelaError("Empty OpenGL File");
    pugi::xml_node frame = FirstElement(root);
    if (!frame)
        throw EKorvelaError(std::string("The scene file's root element ") + root.name() + " holds no frame");
    ReadFrame(frame, baseFrame, 0);
}

// Whitespace-only text is kept when it is an element's only content (a name of blanks), and line
// breaks are kept as written.
constexpr unsigned ParseOptions = (pugi::parse_default & ~pugi::parse_eol) | pugi::parse_ws_pcdata_single;

} // namespace

void ReadXMLScene(TGLFrame& baseFrame, std::string_view text, const TProgressCallback& progress)
{
    TProgressScope scope(progress);
    pugi::xml_document document;
    const pugi::xml_parse_result result =
        document.load_buffer(text.data(), text.size(), ParseOptions, pugi::encoding_utf8);
    ReadDocument(baseFrame, document, result);
}

void LoadXMLScene(TGLFrame& baseFrame, const std::filesystem::path& fileName, const TProgressCallback& progress)
{
    std::vector<char> data = ReadWholeFile(fileName);
    TProgressScope scope(progress);
    pugi::xml_document document;
    const pugi::xml_parse_result result =
        document.load_buffer_inplace(data.data(), data.size(), ParseOptions, pugi::encoding_utf8);
    ReadDocument(baseFrame, document, result);
}

} // namespace kv
