#pragma once
// Printing a picture: the size it takes on the page ("Fit To Page" enlarges a small picture and
// shrinks a large one, keeping its proportions) and the strips of 100 rows in which it goes to
// the printer, so that no printer driver ever has to take the whole picture at once.
//
// The printer is reached through TPrintSurface, so the layout is the same for a real printer, a
// PDF file and the recording surface of the tests.

#include "platform/Bitmap.h"
#include "platform/Rect.h"

#include <cstdint>
#include <functional>
#include <string>

namespace kv {

// What printing needs of a printer: the printable area in printer pixels, a document, and a
// stretched copy of part of a bitmap onto the page.
class TPrintSurface {
public:
    virtual ~TPrintSurface() = default;
    virtual int32_t PageWidth() const = 0;
    virtual int32_t PageHeight() const = 0;
    virtual void BeginDoc(const std::string& title) = 0;
    // Copies `sourceRect` of the bitmap into `dest` (printer pixels, right and bottom exclusive),
    // stretching it; source rows beyond the bitmap stay blank.
    virtual void CopyRect(const TRect& dest, const TBitmap& source, const TRect& sourceRect) = 0;
    virtual void EndDoc() = 0;
};

// Rows of the picture sent at a time.
inline constexpr int32_t PrintStripRows = 100;
// Printer pixels kept free at the page's right and bottom edges, and the offset of the picture
// from its top-left corner.
inline constexpr int32_t PrintPageMargin = 25;
inline constexpr int32_t PrintOffset = 5;

struct TPrintLayout {
    int32_t TargetWidth = 0;  // the picture's size on the page
    int32_t TargetHeight = 0;
    int32_t StripHeight = 0; // printer pixels per strip of PrintStripRows picture rows
    bool operator==(const TPrintLayout&) const = default;
};

// The target size of a picture of bw x bh on a page of pageWidth x pageHeight: the picture's own
// size, or, when it fits inside the page area (page less the margin) and fitSmall is set, enlarged,
// and when it does not fit and fitLarge is set, shrunk, either way keeping its proportions until
// it meets the first side of the area.
// The strip height is 100 rows scaled by the target's width, rounded half away from zero.
// Throws EKorvelaError for an empty picture or a page without room.
TPrintLayout PrintLayout(int32_t bw, int32_t bh, int32_t pageWidth, int32_t pageHeight, bool fitSmall, bool fitLarge);

// Prints the bitmap as one document titled "Test": strip k (rows k x 100 up to k x 100 + 100)
// goes to the rectangle from (5, 5 + k x s) to (target width, 5 + (k + 1) x s). The progress
// callback, if any, gets the percentage of rows sent before each strip. The document is ended
// even when a strip fails; the error then goes on to the caller.
void PrintBitmap(TPrintSurface& printer, const TBitmap& bitmap, const std::function<void(int percent)>& progress,
                 bool fitSmall, bool fitLarge);

} // namespace kv
