// The elevation file reader and the paste of clipboard text over arbitrary bytes. The file reader
// either refuses the sizes with EKorvelaError or fills the sheet, and whatever it filled saves and
// reads back to the same texts; pasted text copies and pastes back to the same texts. A mismatch
// aborts.
#include "mapview/ElevationSheet.h"
#include "platform/KVError.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    // One sheet at a time: a full sheet holds 1500 x 1500 texts.
    {
        kv::TElevationSheet pasted;
        pasted.PasteText(text);
        const std::string copied = pasted.CopyText();
        pasted.PasteText(copied);
        if (pasted.CopyText() != copied)
            std::abort();
    }

    try {
        auto sheet = std::make_unique<kv::TElevationSheet>();
        const kv::TElvHeader header = kv::ReadElvText(text, *sheet, 1.0);
        if (header.Cols < 0 || header.Cols > kv::SheetCols || header.Rows < 0 || header.Rows > kv::SheetRows ||
            !(header.EastSpacing >= kv::ElvSpacingMin && header.EastSpacing <= kv::ElvSpacingMax) ||
            !(header.NorthSpacing >= kv::ElvSpacingMin && header.NorthSpacing <= kv::ElvSpacingMax))
            std::abort();
        const kv::TSheetExtent extent = sheet->Extent();
        if (extent.Cols != header.Cols && header.Rows > 0)
            std::abort();
        // The save and re-read of the largest sheets (up to 1500 x 1500 cells that a few bytes can
        // ask for, missing numbers reading as 0) take seconds under the sanitizers; their reading
        // above is still exercised.
        if (int64_t(header.Cols) * header.Rows > 100000)
            return 0;
        const std::string saved = kv::ElvText(*sheet, header.EastSpacing, header.NorthSpacing, 1.0);
        const std::string copied = sheet->CopyText();
        sheet->Clear();
        kv::ReadElvText(saved, *sheet, 1.0);
        if (sheet->CopyText() != copied)
            std::abort();
    } catch (const kv::EKorvelaError&) {
    }
    return 0;
}
