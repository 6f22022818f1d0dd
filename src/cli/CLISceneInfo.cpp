// korvela3d-cli scene-info: the objects of a scene file, one a line.

#include "cli/CLICommon.h"
#include "gl/FloatText.h"
#include "scenefiles/SceneSummary.h"

#include <cstdio>

namespace kv::cli {

const char* const SceneInfoHelp =
    "Usage: korvela3d-cli scene-info FILE\n"
    "\n"
    "Lists the objects of a scene file (*.txml) or DirectX file (*.x), one a line, tab-separated:\n"
    "kind (mesh, lines, text, frame), the enclosing frames joined by '/', the name, the\n"
    "triangle count, the vertex count, and the extents as 'x,y,z x,y,z' (least, greatest).\n";

int RunSceneInfo(const TArgs& args)
{
    if (args.size() != 1)
        throw EUsageError("scene-info takes one FILE");
    TGLBaseFrame base;
    LoadSceneFile(base, args[0]);
    const auto number = [](double v) { return FormatGeneral(v, 10, 1); };
    for (const TSceneObjectSummary& s : SummarizeScene(base)) {
        const std::string line = s.Kind + "\t" + TerminalSafe(s.Path) + "\t" + TerminalSafe(s.Name) + "\t" +
                                 std::to_string(s.Triangles) + "\t" + std::to_string(s.Vertices) + "\t" +
                                 number(s.ExtentMin.x) + "," + number(s.ExtentMin.y) + "," + number(s.ExtentMin.z) +
                                 " " + number(s.ExtentMax.x) + "," + number(s.ExtentMax.y) + "," +
                                 number(s.ExtentMax.z);
        std::printf("%s\n", line.c_str());
    }
    return 0;
}

} // namespace kv::cli
