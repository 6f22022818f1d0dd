// The spin command: a full turn of a converted terrain, rendered frame by frame into a movie.

#include "cli/CLICommon.h"
#include "cli/CLITerrainInput.h"
#include "scenefiles/ModelExport.h"
#include "cli/CLIRender.h"

#include <charconv>
#include <cstdio>

namespace kv::cli {

const char* const SpinHelp =
    "Usage: korvela3d-cli spin FILE OUT.avi|OUT.mp4 [--box L,T,R,B] [--frames N] [--fps F]\n"
    "       [--size WxH] [--quality Q] [--exaggeration E] [--budget K] [--base PERCENT|--no-base]\n"
    "       [--drape IMAGE] [--feet|--meters]\n"
    "\n"
    "FILE is a scene (.txml) or DirectX (.x) file, or an elevation file whose map part under\n"
    "the box (required then) is converted as \"convert\" does. Renders one full\n"
    "turn of the terrain about its vertical axis into a movie: N frames (default 72) at F\n"
    "frames per second (default 18), WxH pixels (default 640x480). OUT.avi is an AVI of MS\n"
    "Video 1 frames at quality Q (0 to 10000, default 6500); OUT.mp4 is H.264. It needs a\n"
    "display for OpenGL (xvfb-run will do). --drape IMAGE drapes a picture over the\n"
    "terrain as \"convert\" does.\n";

namespace {

int32_t ParseWhole(const std::string& option, const std::string& text, int32_t low, int32_t high)
{
    const double value = ParseNumberOption(option, text, low, high);
    if (value != double(int32_t(value)))
        throw EUsageError{option + " takes a whole number, found '" + text + "'"};
    return int32_t(value);
}

void ParseSize(const std::string& text, TSpinMovie& movie)
{
    const size_t x = text.find_first_of("xX");
    if (x == std::string::npos)
        throw EUsageError{"--size takes WIDTHxHEIGHT, found '" + text + "'"};
    movie.Width = ParseWhole("--size", text.substr(0, x), 16, 4096);
    movie.Height = ParseWhole("--size", text.substr(x + 1), 16, 4096);
}

void PrintMovie(const TSpinMovie& movie)
{
    std::printf("%s: %d frames of %d x %d at %d frames per second\n", movie.File.string().c_str(), movie.Frames,
                movie.Width, movie.Height, movie.FramesPerSecond);
}

} // namespace

int RunSpin(const TArgs& args)
{
    std::vector<std::string_view> valued(std::begin(TerrainValuedOptions), std::end(TerrainValuedOptions));
    valued.insert(valued.end(), {"--frames", "--fps", "--size", "--quality"});
    const TSplitArgs split = SplitArgs(args, valued);
    TTerrainRequest request;
    TSpinMovie movie;
    for (const TOption& option : split.Options) {
        if (ApplyTerrainOption(option, request))
            continue;
        if (option.Name == "--frames")
            movie.Frames = ParseWhole(option.Name, OptionValue(option), 1, 100000);
        else if (option.Name == "--fps")
            movie.FramesPerSecond = ParseWhole(option.Name, OptionValue(option), 1, 1000);
        else if (option.Name == "--size")
            ParseSize(OptionValue(option), movie);
        else if (option.Name == "--quality")
            movie.Quality = ParseWhole(option.Name, OptionValue(option), 0, 10000);
        else
            throw EUsageError{"unknown option '" + option.Name + "'"};
    }
    if (split.Operands.size() != 2)
        throw EUsageError{"spin needs a FILE and an OUT"};
    movie.File = split.Operands[1];
    const TModelFormat format = ModelFormatOf(split.Operands[0]);
    if (format == mfXML || format == mfX) {
        if (request.Box || request.Drape)
            throw EUsageError{"--box and --drape apply to elevation files, not to scene files"};
        RenderSceneFileSpin(split.Operands[0], format == mfXML, movie);
        PrintMovie(movie);
        return 0;
    }
    if (!request.Box)
        throw EUsageError{"spin needs --box L,T,R,B (map pixels) for an elevation file"};
    CheckRenderPossible();
    const TTerrainInput input = LoadTerrainBox(split.Operands[0], *request.Box, WorkingUnits(request.UseFeet));
    TTerrainDressing dress;
    if (request.Drape)
        dress = [&](TGLMesh& terrain) { DrapePicture(*request.Drape, input, terrain); };
    RenderTerrainSpin(input.Source, request.Settings, movie, dress);
    PrintMovie(movie);
    return 0;
}

} // namespace kv::cli
