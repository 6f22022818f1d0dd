#include "capture/AVIErrors.h"

#include "platform/KVError.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(AVIErrors, EachResultCodeAddsItsText)
{
    struct TRow {
        uint32_t Code;
        const char* Text;
    };
    const TRow rows[] = {
        {0x80040154, ": Unregistered File Type"},
        {0x80044065, ": Compression Not Supported"},
        {0x80044066, ": Bad/corrupt file format."},
        {0x80044067, ": Insufficient memory."},
        {0x80044068, ": AVI Internal Error"},
        {0x80044069, ": Bad Flags"},
        {0x8004406A, ": Bad Parameters"},
        {0x8004406B, ": Bad size"},
        {0x8004406C, ": Bad Handle"},
        {0x8004406D, ": Disk read error."},
        {0x8004406E, ": File write error"},
        {0x8004406F, ": Disk open error."},
        {0x80044070, ": Compressor Error"},
        {0x80044071, ": Suitable Compressor Not Found"},
        {0x80044072, ": File opened Read only"},
        {0x80044073, ": Files does not contains specified data type"},
        {0x80044074, ": Buffer Smaller Than Sample"},
        {0x80044075, ": Unable to compress"},
        {0x800440C6, ": User abort"},
        {0x800440C7, ": AVI Error"},
        // Codes outside the table, including the neighbours of its entries.
        {0x80041234, " Unknown Error: 80041234"},
        {0x80044064, " Unknown Error: 80044064"},
        {0x80044076, " Unknown Error: 80044076"},
        {0x0000000A, " Unknown Error: 0000000A"},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Code);
        EXPECT_EQ(AVIErrorMessage("Unable to create AVI stream", row.Code),
                  std::string("Unable to create AVI stream") + row.Text);
    }
}

TEST(AVIErrors, OpeningMessageNamesTheExtensionAndTheReason)
{
    EXPECT_THAT([] { ThrowAVIError(CreateFileOperation(".avi"), arFileOpen, "Permission denied"); },
                testing::ThrowsMessage<EKorvelaError>(
                    testing::StrEq("Unable to create AVI file (\".avi\"): Disk open error. (Permission denied)")));
}

} // namespace
} // namespace kv
