#include "cli/CLICommon.h"

#include "dem/KVDemReader.h"
#include "mapview/Colorbar.h"
#include "mapview/DEMImage.h"
#include "mapview/MapCoords.h"
#include "mapview/PlotOptions.h"
#include "platform/FileIO.h"
#include "platform/KVIni.h"
#include "platform/SettingsFolder.h"
#include "platform/Units.h"

#include <png.h>

#include <csetjmp>
#include <string>
#include <vector>

namespace kv::cli {

const char* const MapHelp =
    "Usage: korvela3d-cli map FILE OUT.png [--colored] [--shaded] [--contoured]\n"
    "                         [--contrast 0-6] [--light N|S|E|W|NE|NW|SE|SW] [--feet|--meters]\n"
    "\n"
    "Draws the map of FILE as the program shows it, one pixel per cell on a white picture\n"
    "of (columns + 4) x (rows + 4) pixels, and saves it as OUT.png (8-bit RGB).\n"
    "The modes named are drawn and the others not; with none named, the plot options\n"
    "of the settings file (Korvela.ini) apply. The contrast is the settings file's\n"
    "(3 unless it says otherwise) unless --contrast is given; the light comes from the\n"
    "north-west unless --light is given. Colours follow the elevations in the working\n"
    "units of the settings file unless --feet or --meters is given.\n";

namespace {

struct TPNGOutput {
    std::string Data;
};

void AppendPNGData(png_structp png, png_bytep data, size_t length)
{
    auto* output = static_cast<TPNGOutput*>(png_get_io_ptr(png));
    bool failed = false;
    try {
        output->Data.append(reinterpret_cast<const char*>(data), length);
    } catch (...) {
        failed = true;
    }
    if (failed)
        png_error(png, "out of memory");
}

void FlushPNGData(png_structp) {}

[[noreturn]] void ThrowPNGError(png_structp png, png_const_charp message)
{
    // Keep the message for the caller, then leave through the set-jump point.
    auto* text = static_cast<std::string*>(png_get_error_ptr(png));
    if (text)
        *text = message ? message : "";
    png_longjmp(png, 1);
}

// Encodes the rows; false when libpng failed. Nothing in this frame needs destroying, because
// libpng leaves it with a long jump.
bool EncodeRGB(png_structp png, png_infop info, png_bytepp rows, uint32_t width, uint32_t height)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    return true;
}

// The 32-bit bitmap as a PNG file in memory.
std::string EncodePNG(const TBitmap& bitmap)
{
    const auto width = static_cast<size_t>(bitmap.Width());
    const auto height = static_cast<size_t>(bitmap.Height());
    std::vector<png_byte> pixels(width * height * 3);
    std::vector<png_bytep> rows(height);
    for (size_t y = 0; y < height; ++y) {
        const uint8_t* from = bitmap.ScanLine(static_cast<int32_t>(y));
        png_bytep to = pixels.data() + y * width * 3;
        rows[y] = to;
        for (size_t x = 0; x < width; ++x) {
            to[3 * x] = from[4 * x + 2];     // red
            to[3 * x + 1] = from[4 * x + 1]; // green
            to[3 * x + 2] = from[4 * x];     // blue
        }
    }
    std::string error;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &error, ThrowPNGError, nullptr);
    if (!png)
        throw EKorvelaError("Cannot start the PNG encoder");
    png_infop info = png_create_info_struct(png);
    TPNGOutput output;
    bool encoded = false;
    if (info) {
        png_set_write_fn(png, &output, AppendPNGData, FlushPNGData);
        encoded = EncodeRGB(png, info, rows.data(), static_cast<uint32_t>(width), static_cast<uint32_t>(height));
    }
    png_destroy_write_struct(&png, info ? &info : nullptr);
    if (!encoded)
        throw EKorvelaError("Cannot encode the map as PNG: " + (error.empty() ? std::string("no memory") : error));
    return std::move(output.Data);
}

uint8_t ParseLight(const std::string& text)
{
    for (uint8_t code = 0; code < 8; ++code)
        if (text == LightDirectionName(code))
            return code;
    throw EUsageError{"--light takes N, S, E, W, NE, NW, SE or SW, not '" + text + "'"};
}

int32_t ParseContrast(const std::string& text)
{
    if (text.size() == 1 && text[0] >= '0' && text[0] <= '6')
        return text[0] - '0';
    throw EUsageError{"--contrast takes a whole number from 0 to 6, not '" + text + "'"};
}

} // namespace

int RunMap(const TArgs& args)
{
    const TUserSettings settings = LoadSettings(SettingsFolder());
    TUnits units{settings.UseFeet};
    TPlotOptions options = PlotOptionsFromSettings(settings);
    TPlotModes named;
    std::vector<std::string> files;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size())
                throw EUsageError{arg + " needs a value"};
            return args[++i];
        };
        if (arg == "--colored")
            named.Colored = true;
        else if (arg == "--shaded")
            named.Shaded = true;
        else if (arg == "--contoured")
            named.Contoured = true;
        else if (arg == "--contrast")
            options.Contrast = ParseContrast(value());
        else if (arg == "--light")
            options.LightDirection = ParseLight(value());
        else if (arg == "--feet")
            units.UseFeet = true;
        else if (arg == "--meters")
            units.UseFeet = false;
        else if (!arg.empty() && arg[0] == '-')
            throw EUsageError{"unknown option '" + arg + "'"};
        else
            files.push_back(arg);
    }
    if (files.size() != 2)
        throw EUsageError{"map needs a FILE and an OUT.png"};
    if (named.Colored || named.Shaded || named.Contoured) {
        options.Colored = named.Colored;
        options.Shaded = named.Shaded;
        options.Contoured = named.Contoured;
    }

    TDEMArray dem;
    LoadDEMByExtension(files[0], dem);
    TColorBar bar; // the map's bar: dc20, 19 even bands over the grid's range
    const TBarRange range = ColorBarRange(dem.Info, units);
    bar.SetRange(range.Top, range.Bottom);
    TDEMImageState state;
    TBitmap bitmap;
    DrawElevationImage(bitmap, dem, options, bar, units, state);
    WriteFileAtomically(files[1], EncodePNG(bitmap));
    return 0;
}

} // namespace kv::cli
