#pragma once
// A RIFF AVI file with one video stream, written frame by frame: the headers first with room for
// the counts, the frames in the "movi" list, then the index ("idx1") and the final counts at
// Close. The file is written beside its target and renamed over it only by a successful Close,
// so a failed or abandoned movie never replaces an older file.

#include "platform/FileIO.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

// What the headers say about the stream.
struct TAVIStreamInfo {
    int32_t Width = 0;
    int32_t Height = 0;
    uint32_t FramesPerSecond = 18;   // the rate; the scale is 1
    uint32_t SuggestedBufferSize = 0; // the size of one uncompressed frame image
    uint32_t Quality = 6500;          // 0 to 10000
    uint32_t Compression = 0;         // the codec's four-character code, first letter in the low byte
    uint16_t BitCount = 16;           // bits per pixel of the decoded frames
    uint32_t ImageSize = 0;           // the format's image size
};

// "MSVC" as a little-endian four-character code.
constexpr uint32_t FourCC(const char (&code)[5])
{
    return uint32_t(uint8_t(code[0])) | uint32_t(uint8_t(code[1])) << 8 | uint32_t(uint8_t(code[2])) << 16 |
           uint32_t(uint8_t(code[3])) << 24;
}

// The most a file may hold: readers that take RIFF sizes as signed 32-bit numbers stop at 2 GB.
constexpr uint64_t MaxAVIFileSize = 0x7FFFFFFF;

class TAVIFile {
public:
    // Creates the temporary file and writes the headers. Throws EKorvelaError "Cannot write file
    // ..." when the file cannot be made.
    TAVIFile(const std::filesystem::path& fileName, const TAVIStreamInfo& info);

    // Appends one coded frame; `keyFrame` marks it in the index as a place to start playing.
    // Throws EKorvelaError "Cannot write file ..." on a write failure, and a message saying so
    // when the frame would take the file past MaxAVIFileSize.
    void WriteFrame(std::string_view data, bool keyFrame);
    uint32_t FrameCount() const { return static_cast<uint32_t>(Index_.size()); }

    // Writes the index and the final counts and puts the file in place.
    void Close();

private:
    struct TIndexEntry {
        uint32_t Offset;
        uint32_t Size;
        bool Key;
    };
    // The headers for a movi list that ends at `moviEnd` in a file of `fileSize` bytes.
    std::string Headers(uint64_t moviEnd, uint64_t fileSize) const;

    TAtomicFile File_;
    TAVIStreamInfo Info_;
    std::vector<TIndexEntry> Index_;
    uint32_t LargestFrame_ = 0;
};

} // namespace kv
