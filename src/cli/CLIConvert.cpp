#include "cli/CLICommon.h"
#include "cli/CLIRender.h"
#include "cli/CLITerrainInput.h"

#include "platform/Units.h"
#include "scenefiles/ModelExport.h"
#include "terrain/KVMesh.h"
#include "terrain/KVOpenGL.h"
#include "terrain/STLWriter.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>

namespace kv::cli {

const char* const ConvertHelp =
    "Usage: korvela3d-cli convert FILE --box L,T,R,B OUT [--exaggeration E] [--budget K]\n"
    "       [--base PERCENT|--no-base] [--print-size MM] [--base-mm T] [--feet|--meters]\n"
    "       [--render PNG] [--drape IMAGE]\n"
    "\n"
    "Converts the part of FILE's map under the box (map pixels: left, top, right, bottom,\n"
    "as the map is drawn, north up) into a 3D terrain with its solid base, as the window's\n"
    "\"Edit\" and \"Convert 3D\" do with the conversion dialog's defaults: exaggeration 2,\n"
    "a budget of 100 K triangles (K = 1024, 1 to 1000), a base 5 % of the elevation range.\n"
    "\n"
    "OUT by its extension:\n"
    "  .stl   a binary STL solid ready to print: closed, Z up, the floor at z = 0, the\n"
    "         south-west corner at the origin, in metres of real size, or with\n"
    "         --print-size MM in millimetres, scaled so the longer side is MM long.\n"
    "         --base-mm T makes the base T mm thick under the lowest point.\n"
    "  .txml  the whole scene (terrain and base meshes) as the window saves it.\n"
    "  .x     the meshes as a DirectX text file.\n"
    "  .obj, .ply, .glb  the meshes for today's 3D tools (Y up, in the scene's units).\n"
    "--drape IMAGE stretches the picture over the box (as the Overlay Editor's default fit\n"
    "does, unturned) and drapes it on the terrain: a .txml scene keeps it, a .glb embeds it,\n"
    "a .x or .obj names it and saves it beside as OUT's name with _texture.png; the --render\n"
    "picture shows it. .stl and .ply files cannot carry a picture.\n"
    "--render PNG also draws the converted scene (fitted view, default lights) into a\n"
    "picture; it needs a display for OpenGL (xvfb-run will do). --no-base leaves the base\n"
    "out of the picture; a solid always has one. --feet or --meters picks the working\n"
    "units of the scene (the settings file's choice otherwise).\n";


namespace {

std::string LowerExtension(const std::filesystem::path& file)
{
    std::string extension = file.extension().string();
    for (char& c : extension)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

// The print-ready solid as a binary STL file.
void WritePrintSolid(const TTerrainSource& source, const TTerrainSettings& settings, TPrintOptions print,
                     const std::filesystem::path& out, const TTopoGrid& grid)
{
    const TTerrainSamples samples = SampleTerrain(source, settings.BudgetK);
    print.Exaggeration = settings.Exaggeration;
    print.BaseHeightPercent = settings.BaseHeightPercent;
    const TPrintSolid solid = BuildPrintSolid(samples, print);
    WriteSTLFile(out, solid);
    std::printf("%s: %lld triangles, %d x %d samples of %d x %d cells\n", out.string().c_str(),
                static_cast<long long>(solid.TriangleCount()), samples.Counts.NX, samples.Counts.NY, grid.Cols(),
                grid.Rows());
}

} // namespace

int RunConvert(const TArgs& args)
{
    std::vector<std::string_view> valued(std::begin(TerrainValuedOptions), std::end(TerrainValuedOptions));
    valued.insert(valued.end(), {"--print-size", "--base-mm", "--render"});
    const TSplitArgs split = SplitArgs(args, valued);
    TTerrainRequest request;
    TPrintOptions print;
    std::optional<std::string> render;
    for (const TOption& option : split.Options) {
        if (ApplyTerrainOption(option, request))
            continue;
        if (option.Name == "--print-size")
            print.PrintSizeMM = ParseNumberOption(option.Name, OptionValue(option), 1e-3, 1e6);
        else if (option.Name == "--base-mm")
            print.BaseMM = ParseNumberOption(option.Name, OptionValue(option), 1e-3, 1e5);
        else if (option.Name == "--render")
            render = OptionValue(option);
        else
            throw EUsageError{"unknown option '" + option.Name + "'"};
    }
    const TTerrainSettings& settings = request.Settings;
    const std::optional<TRect>& box = request.Box;
    const std::optional<std::string>& drape = request.Drape;
    if (split.Operands.size() != 2)
        throw EUsageError{"convert needs a FILE and an OUT"};
    if (!box)
        throw EUsageError{"convert needs --box L,T,R,B (map pixels)"};
    const std::filesystem::path out = split.Operands[1];
    const std::string extension = LowerExtension(out);
    const bool solidFile = extension == ".stl";
    if (!solidFile && ModelFormatOf(out) == mfUnknown)
        throw EUsageError{"OUT must end in .stl, .txml, .x, .obj, .ply or .glb, found '" + out.string() + "'"};
    const TModelFormat format = ModelFormatOf(out);
    const bool keepsPicture = format == mfXML || format == mfX || format == mfGLB || format == mfOBJ;
    if (drape && !keepsPicture)
        throw EUsageError{"--drape goes into .txml, .x, .glb and .obj files (and --render pictures); " +
                          out.filename().string() + " cannot keep the picture"};
    if (solidFile && !settings.DrawBase)
        throw EUsageError{"--no-base leaves an STL solid open; give --base-mm for a thin base instead"};
    if (render)
        CheckRenderPossible();
    const TTerrainInput input = LoadTerrainBox(split.Operands[0], *box, WorkingUnits(request.UseFeet));
    const TTerrainSource& source = input.Source;
    if (!solidFile) {
        // The scene as the window builds it, written by the scene-file writers.
        TGLBaseFrame scene;
        const TTerrainObjects objects = CreateTerrainObjects(scene);
        TConvertProgress progress;
        progress.ResetScene = [&] { scene.Reset(); };
        ConvertTerrain(source, settings, *objects.Terrain, *objects.Base, progress);
        if (drape)
            DrapePicture(*drape, input, *objects.Terrain);
        ExportModel(scene, out);
        std::printf("%s: %lld terrain and %lld base triangles of %d x %d cells\n", out.string().c_str(),
                    static_cast<long long>(objects.Terrain->TriangleCount()),
                    static_cast<long long>(objects.Base->TriangleCount()), input.Topo->Grid.Cols(),
                    input.Topo->Grid.Rows());
    } else {
        WritePrintSolid(source, settings, print, out, input.Topo->Grid);
    }
    if (render) {
        TTerrainDressing dress;
        if (drape)
            dress = [&](TGLMesh& terrain) { DrapePicture(*drape, input, terrain); };
        RenderTerrain(source, settings, *render, dress);
        std::printf("%s: the rendered scene\n", render->c_str());
    }
    return 0;
}

} // namespace kv::cli
