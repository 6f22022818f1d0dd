// The elevation file reader and the paste of clipboard text over arbitrary bytes. The file reader
// either refuses the sizes with EKorvelaError or fills the sheet, and whatever it filled saves and
// reads back to the same texts; pasted text copies and pastes back to the same texts. A mismatch
// aborts.
#include "mapview/ElevationSheet.h"
#include "platform/KVError.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    kv::TElevationSheet pasted;
    pasted.PasteText(text);
    const std::string copied = pasted.CopyText();
    kv::TElevationSheet again;
    again.PasteText(copied);
    if (again.CopyText() != copied)
        std::abort();

    kv::TElevationSheet sheet;
    try {
        const kv::TElvHeader header = kv::ReadElvText(text, sheet, 1.0);
        if (header.Cols < 0 || header.Cols > kv::SheetCols || header.Rows < 0 || header.Rows > kv::SheetRows ||
            !(header.EastSpacing >= kv::ElvSpacingMin && header.EastSpacing <= kv::ElvSpacingMax) ||
            !(header.NorthSpacing >= kv::ElvSpacingMin && header.NorthSpacing <= kv::ElvSpacingMax))
            std::abort();
        const kv::TSheetExtent extent = sheet.Extent();
        if (extent.Cols != header.Cols && header.Rows > 0)
            std::abort();
        const std::string saved = kv::ElvText(sheet, header.EastSpacing, header.NorthSpacing, 1.0);
        kv::TElevationSheet reread;
        kv::ReadElvText(saved, reread, 1.0);
        if (reread.CopyText() != sheet.CopyText())
            std::abort();
    } catch (const kv::EKorvelaError&) {
    }
    return 0;
}
