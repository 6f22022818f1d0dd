#include "scenefiles/GLXMLWriter.h"

#include "GLXMLGlobal.h"
#include "gl/FloatText.h"
#include "gl/GLCubeMap.h"
#include "gl/GLFonts.h"
#include "gl/GLLines.h"
#include "gl/GLMesh.h"
#include "platform/FileIO.h"

#include <pugixml.hpp>

#include <string>

namespace kv {

namespace {

using namespace xmlscene;

constexpr int VectorsPerLine = 10;
constexpr int ColorsPerLine = 10;
constexpr int BytesPerLine = 25;
constexpr int IntegersPerLine = 15;

// Items separated by ",", a line break and the indent before items 0, K, 2K, ...
template <typename TWriteItem>
std::string ItemLines(int64_t count, int itemsPerLine, const std::string& indent, TWriteItem writeItem)
{
    std::string text;
    for (int64_t i = 0; i < count; ++i) {
        ReportProgress(i, count);
        if (i > 0)
            text += ',';
        if (i % itemsPerLine == 0) {
            text += "\r\n";
            text += indent;
        }
        writeItem(text, i);
    }
    return text;
}

void WriteVector3DArray(pugi::xml_node parent, const char* name, std::span<const Vector3D> items)
{
    const auto count = static_cast<int64_t>(items.size());
    pugi::xml_node array = AddArray(parent, name, "Vector3DArray", count);
    const std::string indent = ArrayIndent(array);
    std::string text = "\r\n";
    text.reserve(static_cast<size_t>(count) * 60 + 2);
    for (int64_t i = 0; i < count; ++i) {
        ReportProgress(i, count);
        if (i % VectorsPerLine == 0)
            text += indent;
        else
            text += ',';
        text += Vector3DToStr(items[static_cast<size_t>(i)]);
        const bool lineEnds = i % VectorsPerLine == VectorsPerLine - 1 || i == count - 1;
        if (lineEnds)
            text += i == count - 1 ? "\r\n" : ",\r\n";
    }
    SetArrayText(array, text);
}

void WriteColorArray(pugi::xml_node parent, const char* name, std::span<const TColorTriple> items)
{
    const auto count = static_cast<int64_t>(items.size());
    pugi::xml_node array = AddArray(parent, name, "ColorArray", count);
    SetArrayText(array, ItemLines(count, ColorsPerLine, ArrayIndent(array), [&](std::string& text, int64_t i) {
                     const TColorTriple& c = items[static_cast<size_t>(i)];
                     for (int k = 0; k < 3; ++k) {
                         if (k > 0)
                             text += ',';
                         text += std::to_string(static_cast<int32_t>(c.Color[k]));
                     }
                 }));
}

void WriteByteArray(pugi::xml_node parent, const char* name, std::span<const uint8_t> items)
{
    const auto count = static_cast<int64_t>(items.size());
    pugi::xml_node array = AddArray(parent, name, "ByteArray", count);
    SetArrayText(array, ItemLines(count, BytesPerLine, ArrayIndent(array), [&](std::string& text, int64_t i) {
                     text += std::to_string(items[static_cast<size_t>(i)]);
                 }));
}

void WriteIntegerArray(pugi::xml_node parent, const char* name, std::span<const int32_t> items)
{
    const auto count = static_cast<int64_t>(items.size());
    pugi::xml_node array = AddArray(parent, name, "IntegerArray", count);
    SetArrayText(array, ItemLines(count, IntegersPerLine, ArrayIndent(array), [&](std::string& text, int64_t i) {
                     text += std::to_string(items[static_cast<size_t>(i)]);
                 }));
}

void WriteAnimator(pugi::xml_node parent, const TGLAnimator& animator)
{
    pugi::xml_node array = AddElement(AddElement(parent, "Animator"), "Array");
    const int32_t count = animator.Keys.Count();
    array.append_attribute("Count").set_value(count);
    for (int32_t i = 0; i < count; ++i) {
        const TAnimationKey key = animator.Keys.Get(i);
        pugi::xml_node element = AddElement(array, "AnimationKey");
        element.append_attribute("Index").set_value(i);
        WriteVector3D(element, "Position", key.Position);
        WriteVector3D(element, "Rotation", key.Rotation);
    }
}

void WriteObject(pugi::xml_node parent, const TGLObject& object)
{
    pugi::xml_node element = AddElement(parent, "GLObject");
    WriteString(element, "Name", object.Name());
    WriteVector3D(element, "ExtentMin", object.GetExtentMin());
    WriteVector3D(element, "ExtentMax", object.GetExtentMax());
    WriteQuaternion(element, "Quaternion", object.Orientation);
    WriteVector3D(element, "Position", object.Position);
    WriteVector3D(element, "ResetPos", object.ResetPos);
    WriteVector3D(element, "RotationCenter", object.RotationCenter);
    WriteBoolean(element, "FlyThrough", object.FlyThrough);
    WriteFloat(element, "Scale", object.Scale());
    WriteVector3D(element, "Scale3D", object.Scale3D);
    WriteAnimator(element, object.Animator);
}

void WriteBitmap(pugi::xml_node element, const TGLBaseBitmap& bitmap)
{
    WriteInteger(element, "Width", bitmap.Width);
    WriteInteger(element, "Height", bitmap.Height);
    WriteByteArray(element, "Image", bitmap.Image.Items());
}

void WriteCubeMap(pugi::xml_node parent, TGLCubeMap& cubeMap)
{
    pugi::xml_node element = AddElement(parent, "CubeMap");
    const char* names[6] = {"LeftMap", "RightMap", "TopMap", "BottomMap", "FrontMap", "BackMap"};
    const auto faces = cubeMap.Faces();
    for (size_t i = 0; i < faces.size(); ++i)
        WriteBitmap(AddElement(element, names[i]), *faces[i]);
    WriteInteger(element, "MapMode", cubeMap.MapMode);
    WriteVector3D(element, "Scale", cubeMap.Scale());
    WriteVector3D(element, "Offset", cubeMap.Offset());
    WriteFloat4(element, "RPlane", cubeMap.RPlane());
    WriteFloat4(element, "SPlane", cubeMap.SPlane());
    WriteFloat4(element, "TPlane", cubeMap.TPlane());
}

void WriteTexture(pugi::xml_node parent, const TGLObjectTexture& texture)
{
    pugi::xml_node element = AddElement(parent, "Texture");
    WriteByteArray(element, "Image", texture.Image.Items());
    WriteInteger(element, "Width", texture.Width);
    WriteInteger(element, "Height", texture.Height);
    WriteBoolean(element, "Enabled", texture.Enabled);
    WriteBoolean(element, "Highlight", texture.Highlight());
    WriteInteger(element, "TextureMode", texture.TextureMode);
    WriteInteger(element, "AutoTextureMap", texture.AutoTextureMap);
    WriteInteger(element, "ManualTextureMap", texture.ManualTextureMap());
    WriteVector2D(element, "Scale", texture.Scale());
    WriteVector2D(element, "Offset", texture.Offset());
    WriteFloat(element, "Yaw", texture.Yaw());
    WriteFloat(element, "Pitch", texture.Pitch());
    WriteFloat4(element, "SPlane", texture.SPlane());
    WriteFloat4(element, "TPlane", texture.TPlane());
    if (texture.CubeMap)
        WriteCubeMap(element, *texture.CubeMap);
}

void WriteRenderer(pugi::xml_node parent, const TGLRenderer& renderer)
{
    pugi::xml_node element = AddElement(parent, "GLRenderer");
    WriteObject(element, renderer);
    WriteBoolean(element, "DoAlphaBlend", renderer.DoAlphaBlend);
    WriteFloat(element, "Transparency", renderer.Transparency);
    WriteBoolean(element, "BlendBackground", renderer.BlendBackground);
    WriteBoolean(element, "TransparentDepth", renderer.TransparentDepth);
    WriteFloat4(element, "LightEmission", renderer.LightEmission);
    WriteFloat4(element, "LightSpecular", renderer.LightSpecular);
    WriteFloat(element, "LightShininess", renderer.LightShininess);
    if (renderer.Texture)
        WriteTexture(element, *renderer.Texture);
    WriteInteger(element, "Color", static_cast<int32_t>(renderer.GetColor()));
    WriteInteger(element, "RenderMode", renderer.RenderMode());
    WriteBoolean(element, "DoTwoSidedLighting", renderer.DoTwoSidedLighting());
    WriteBoolean(element, "DoFrontBackColor", renderer.DoFrontBackColor());
    WriteInteger(element, "FrontColor", static_cast<int32_t>(renderer.FrontColor()));
    WriteInteger(element, "BackColor", static_cast<int32_t>(renderer.BackColor()));
}

void WriteMesh(pugi::xml_node element, const TGLMesh& mesh)
{
    WriteRenderer(element, mesh);
    WriteVector3DArray(element, "Vertices", mesh.Vertices.Items());
    WriteVector3DArray(element, "FaceNormals", mesh.FaceNormals.Items());
    WriteVector3DArray(element, "VertexNormals", mesh.VertexNormals.Items());
    WriteColorArray(element, "FaceColor", mesh.FaceColor.Items());
}

void WriteLines(pugi::xml_node element, const TGLLines& lines)
{
    WriteRenderer(element, lines);
    WriteVector3DArray(element, "Vertices", lines.Vertices.Items());
    WriteIntegerArray(element, "LineColor", lines.LineColor.Items());
}

std::string FontStyle(const TGL3DFont& font)
{
    std::string style;
    const auto add = [&](bool on, const char* word) {
        if (!on)
            return;
        if (!style.empty())
            style += ',';
        style += word;
    };
    add(font.Bold, "fsBold");
    add(font.Italic, "fsItalic");
    add(font.Underline, "fsUnderline");
    add(font.StrikeOut, "fsStrikeOut");
    return style;
}

void WriteString3D(pugi::xml_node element, const TGL3DString& text)
{
    WriteRenderer(element, text);
    pugi::xml_node font = AddElement(element, "Font3D");
    pugi::xml_node system = AddElement(font, "SystemFont");
    WriteInteger(system, "Charset", text.Font.Charset);
    WriteInteger(system, "Color", static_cast<int32_t>(text.Font.Color));
    WriteString(system, "Name", text.Font.Name);
    WriteInteger(system, "Size", text.Font.Height);
    WriteString(system, "Style", FontStyle(text.Font));
    WriteFloat(font, "Depth", text.Font.Depth());
    WriteString(element, "Text", text.Text());
    WriteInteger(element, "Justify", text.Justify());
    WriteFloat(element, "LineSpacing", text.LineSpacing());
    WriteBoolean(element, "ShowLineBreaks", text.ShowLineBreaks());
    WriteInteger(element, "RenderMode", text.RenderMode());
    WriteInteger(element, "Color", static_cast<int32_t>(text.GetColor()));
}

template <typename TWriteItem>
void WriteList(pugi::xml_node parent, const char* listName, const char* itemName, const char* id,
               const TGLObjectList& list, TWriteItem writeItem)
{
    pugi::xml_node element = AddElement(parent, listName);
    const int32_t count = list.Count();
    element.append_attribute("Count").set_value(count);
    for (int32_t i = 0; i < count; ++i) {
        ReportProgress(i, count);
        pugi::xml_node item = AddElement(element, itemName);
        item.append_attribute("ID").set_value(id);
        item.append_attribute("Index").set_value(i);
        writeItem(item, i);
    }
}

void WriteFrame(pugi::xml_node element, const TGLFrame& frame)
{
    WriteObject(element, frame);
    WriteList(element, "GLMeshList", "GLMesh", "ListMesh", frame.Meshes(),
              [&](pugi::xml_node item, int32_t i) { WriteMesh(item, *frame.Meshes().Mesh(i)); });
    WriteList(element, "GLLineList", "GLLines", "ListLines", frame.Lines(),
              [&](pugi::xml_node item, int32_t i) { WriteLines(item, *frame.Lines().Lines(i)); });
    WriteList(element, "GLStringList3D", "GL3DString", "ListString3D", frame.Strings(),
              [&](pugi::xml_node item, int32_t i) { WriteString3D(item, *frame.Strings().String(i)); });
    WriteList(element, "GLFrameList", "GLFrame", "GLListFrame", frame.Frames(),
              [&](pugi::xml_node item, int32_t i) { WriteFrame(item, *frame.Frames().Frame(i)); });
}

struct TStringWriter : pugi::xml_writer {
    std::string Text;
    void write(const void* data, size_t size) override { Text.append(static_cast<const char*>(data), size); }
};

} // namespace

std::string XMLSceneText(const TGLFrame& baseFrame, const TProgressCallback& progress)
{
    SetProgress(progress);
    pugi::xml_document document;
    pugi::xml_node root = document.append_child("OpenGLXML");
    root.append_attribute("Version").set_value("1.0");
    pugi::xml_node frame = root.append_child("GLFrame");
    frame.append_attribute("ID").set_value("BaseFrame");
    frame.append_attribute("Index").set_value("0");
    WriteFrame(frame, baseFrame);
    TStringWriter writer;
    document.save(writer, "  ", pugi::format_indent, pugi::encoding_utf8);
    SetProgress({});
    return std::move(writer.Text);
}

void SaveXMLScene(const TGLFrame& baseFrame, const std::filesystem::path& fileName, const TProgressCallback& progress)
{
    WriteFileAtomically(fileName, XMLSceneText(baseFrame, progress));
}

} // namespace kv
