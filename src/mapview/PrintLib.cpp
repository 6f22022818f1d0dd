#include "mapview/PrintLib.h"

#include "platform/KVError.h"

#include <algorithm>
#include <cmath>

namespace kv {

TPrintLayout PrintLayout(int32_t bw, int32_t bh, int32_t pageWidth, int32_t pageHeight, bool fitSmall, bool fitLarge)
{
    if (bw <= 0 || bh <= 0)
        throw EKorvelaError("There is no picture to print: it is " + std::to_string(bw) + " x " + std::to_string(bh) +
                            " pixels.");
    const int32_t pw = pageWidth - PrintPageMargin;
    const int32_t ph = pageHeight - PrintPageMargin;
    if (pw <= 0 || ph <= 0)
        throw EKorvelaError("The printer's page of " + std::to_string(pageWidth) + " x " + std::to_string(pageHeight) +
                            " pixels leaves no room for a picture.");

    TPrintLayout layout{bw, bh, 0};
    const double ratio = double(bh) / double(bw);
    const bool fits = bw < pw && bh < ph;
    if (fits ? fitSmall : fitLarge) {
        // Scaled until it meets the first side of the area it reaches. Choosing the side by the
        // smaller leftover margin instead would push a tall picture far off the page.
        if (ratio > double(ph) / double(pw))
            layout = {int32_t(ph / ratio), ph, 0};
        else
            layout = {pw, int32_t(ratio * pw), 0};
    }
    // A sliver of a picture still takes a pixel.
    layout.TargetWidth = std::max(layout.TargetWidth, 1);
    layout.TargetHeight = std::max(layout.TargetHeight, 1);
    layout.StripHeight = int32_t(std::lround(double(PrintStripRows) * layout.TargetWidth / bw));
    return layout;
}

void PrintBitmap(TPrintSurface& printer, const TBitmap& bitmap, const std::function<void(int percent)>& progress,
                 bool fitSmall, bool fitLarge)
{
    const int32_t bw = bitmap.Width();
    const int32_t bh = bitmap.Height();
    const TPrintLayout layout = PrintLayout(bw, bh, printer.PageWidth(), printer.PageHeight(), fitSmall, fitLarge);
    const int32_t s = layout.StripHeight;

    printer.BeginDoc("Test");
    try {
        for (int32_t k = 0; int64_t(k) * PrintStripRows < bh; ++k) {
            const int32_t top = k * PrintStripRows;
            if (progress)
                progress(int(int64_t(top) * 100 / bh));
            printer.CopyRect({PrintOffset, PrintOffset + k * s, layout.TargetWidth, PrintOffset + (k + 1) * s}, bitmap,
                             {0, top, bw, top + PrintStripRows});
        }
    } catch (...) {
        printer.EndDoc();
        throw;
    }
    printer.EndDoc();
}

} // namespace kv
