#include "cli/CLICommon.h"

#include "imaging/ImageLib.h"
#include "imaging/PNGWriter.h"
#include "platform/Bitmap.h"
#include "platform/FileIO.h"

#include <string>

namespace kv::cli {

const char* const PictureHelp =
    "Usage: korvela3d-cli picture IN OUT.png\n"
    "\n"
    "Decodes the picture IN as the program loads pictures (by its extension: .jpg/.jpeg,\n"
    ".png, .gif, .tif/.tiff, .tga, .pcx, .lbm; anything else as a Windows bitmap) and\n"
    "saves it as OUT.png (8-bit RGB), for batch conversion and for checking the decoders.\n";

int RunPicture(const TArgs& args)
{
    const TSplitArgs split = SplitArgs(args);
    if (!split.Options.empty())
        throw EUsageError{"picture takes no option '" + split.Options.front().Name + "'"};
    if (split.Operands.size() != 2)
        throw EUsageError{"picture needs an IN picture and an OUT.png"};
    TBitmap bitmap;
    const TProgressProc report = TerminalProgress("decoding");
    LoadImageFile(bitmap, split.Operands[0], [&report](TProgressStage, int percent) {
        if (report)
            report(percent);
    });
    WriteFileAtomically(split.Operands[1], EncodePNG(bitmap));
    return 0;
}

} // namespace kv::cli
