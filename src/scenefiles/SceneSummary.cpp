#include "scenefiles/SceneSummary.h"

#include "platform/KVError.h"
#include "scenefiles/GLXFileReader.h"
#include "scenefiles/GLXMLReader.h"
#include "scenefiles/ModelExport.h"

#include <limits>

namespace kv {

namespace {

void Extents(std::span<const Vector3D> vertices, TSceneObjectSummary& summary)
{
    if (vertices.empty())
        return;
    constexpr double big = std::numeric_limits<double>::max();
    summary.ExtentMin = {big, big, big};
    summary.ExtentMax = {-big, -big, -big};
    for (const Vector3D& v : vertices) {
        summary.ExtentMin = {MinOf(summary.ExtentMin.x, v.x), MinOf(summary.ExtentMin.y, v.y),
                             MinOf(summary.ExtentMin.z, v.z)};
        summary.ExtentMax = {MaxOf(summary.ExtentMax.x, v.x), MaxOf(summary.ExtentMax.y, v.y),
                             MaxOf(summary.ExtentMax.z, v.z)};
    }
}

void Summarize(const TGLFrame& frame, const std::string& path, std::vector<TSceneObjectSummary>& out)
{
    for (int32_t i = 0; i < frame.Meshes().Count(); ++i) {
        const TGLMesh& mesh = *frame.Meshes().Mesh(i);
        TSceneObjectSummary s{"mesh", path, mesh.Name(), mesh.FaceCount(), mesh.Vertices.Count(), {}, {}};
        Extents(mesh.Vertices.Items(), s);
        out.push_back(s);
    }
    for (int32_t i = 0; i < frame.Lines().Count(); ++i) {
        const TGLLines& lines = *frame.Lines().Lines(i);
        TSceneObjectSummary s{"lines", path, lines.Name(), 0, lines.Vertices.Count(), {}, {}};
        Extents(lines.Vertices.Items(), s);
        out.push_back(s);
    }
    for (int32_t i = 0; i < frame.Strings().Count(); ++i) {
        const TGL3DString& text = *frame.Strings().String(i);
        out.push_back({"text", path, text.Name(), 0, 0, text.GetExtentMin(), text.GetExtentMax()});
    }
    for (int32_t i = 0; i < frame.Frames().Count(); ++i) {
        const TGLFrame& sub = *frame.Frames().Frame(i);
        out.push_back({"frame", path, sub.Name(), sub.TriangleCount(), 0, sub.GetExtentMin(), sub.GetExtentMax()});
        Summarize(sub, path.empty() ? sub.Name() : path + "/" + sub.Name(), out);
    }
}

} // namespace

std::vector<TSceneObjectSummary> SummarizeScene(const TGLFrame& baseFrame)
{
    std::vector<TSceneObjectSummary> out;
    Summarize(baseFrame, "", out);
    return out;
}

void LoadSceneFile(TGLFrame& baseFrame, const std::filesystem::path& fileName, const TProgressCallback& progress)
{
    switch (ModelFormatOf(fileName)) {
    case mfX:
        LoadXFile(baseFrame, fileName, progress);
        break;
    case mfXML:
        LoadXMLScene(baseFrame, fileName, progress);
        break;
    default:
        throw EKorvelaError("Cannot read " + fileName.filename().string() + ": the name must end in .txml or .x");
    }
}

} // namespace kv
