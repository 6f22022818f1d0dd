#include "capture/AVIFile.h"

#include "platform/KVError.h"

#include <algorithm>

namespace kv {

namespace {

// RIFF, hdrl with avih and strl (strh, strf), and the movi list's header.
constexpr uint64_t HeadersSize = 224;
// Index offsets and the movi list's size count from its "movi" code.
constexpr uint64_t MoviStart = HeadersSize - 4;
constexpr uint32_t IndexFlagKeyFrame = 0x10;    // AVIIF_KEYFRAME
constexpr uint32_t MainFlagHasIndex = 0x10;     // AVIF_HASINDEX

void PutU32(std::string& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void PutU16(std::string& out, uint32_t v)
{
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void PutCode(std::string& out, const char (&code)[5])
{
    out.append(code, 4);
}

} // namespace

TAVIFile::TAVIFile(const std::filesystem::path& fileName, const TAVIStreamInfo& info)
    : File_(fileName), Info_(info)
{
    File_.Write(Headers(HeadersSize, HeadersSize));
}

std::string TAVIFile::Headers(uint64_t moviEnd, uint64_t fileSize) const
{
    const uint32_t frames = FrameCount();
    const uint32_t rate = std::max<uint32_t>(Info_.FramesPerSecond, 1);
    const auto width = static_cast<uint32_t>(Info_.Width), height = static_cast<uint32_t>(Info_.Height);

    std::string h;
    PutCode(h, "RIFF");
    PutU32(h, static_cast<uint32_t>(fileSize - 8));
    PutCode(h, "AVI ");
    PutCode(h, "LIST");
    PutU32(h, 4 + (8 + 56) + (12 + (8 + 56) + (8 + 40)));
    PutCode(h, "hdrl");

    PutCode(h, "avih");
    PutU32(h, 56);
    PutU32(h, 1000000 / rate);                                 // microseconds per frame
    PutU32(h, std::max(LargestFrame_, Info_.SuggestedBufferSize) * rate); // most bytes per second
    PutU32(h, 0);                                              // padding granularity
    PutU32(h, MainFlagHasIndex);
    PutU32(h, frames);
    PutU32(h, 0); // initial frames
    PutU32(h, 1); // streams
    PutU32(h, Info_.SuggestedBufferSize);
    PutU32(h, width);
    PutU32(h, height);
    for (int i = 0; i < 4; ++i)
        PutU32(h, 0);

    PutCode(h, "LIST");
    PutU32(h, 4 + (8 + 56) + (8 + 40));
    PutCode(h, "strl");
    PutCode(h, "strh");
    PutU32(h, 56);
    PutCode(h, "vids");
    PutU32(h, 0); // handler: the format below names the codec
    PutU32(h, 0); // flags
    PutU16(h, 0); // priority
    PutU16(h, 0); // language
    PutU32(h, 0); // initial frames
    PutU32(h, 1); // scale
    PutU32(h, rate);
    PutU32(h, 0); // start
    PutU32(h, frames);
    PutU32(h, Info_.SuggestedBufferSize);
    PutU32(h, Info_.Quality);
    PutU32(h, 0); // sample size: frames vary
    PutU16(h, 0);
    PutU16(h, 0);
    PutU16(h, width);
    PutU16(h, height);

    PutCode(h, "strf");
    PutU32(h, 40);
    PutU32(h, 40); // the bitmap info header's own size
    PutU32(h, width);
    PutU32(h, height);
    PutU16(h, 1); // planes
    PutU16(h, Info_.BitCount);
    PutU32(h, Info_.Compression);
    PutU32(h, Info_.ImageSize);
    PutU32(h, 0); // pixels per metre
    PutU32(h, 0);
    PutU32(h, 0); // colours used: no colour table
    PutU32(h, 0);

    PutCode(h, "LIST");
    PutU32(h, static_cast<uint32_t>(moviEnd - MoviStart));
    PutCode(h, "movi");
    return h;
}

void TAVIFile::WriteFrame(std::string_view data, bool keyFrame)
{
    const uint64_t padded = data.size() + (data.size() & 1);
    // The frame, its index entry, and the index's own header must still fit.
    if (File_.Size() + 8 + padded + 8 + 16 * (uint64_t(FrameCount()) + 1) > MaxAVIFileSize)
        throw EKorvelaError("The movie has reached the 2 GB an AVI file can hold");
    std::string chunk;
    chunk.reserve(8 + padded);
    PutCode(chunk, "00dc");
    PutU32(chunk, static_cast<uint32_t>(data.size()));
    chunk.append(data);
    if (data.size() & 1)
        chunk.push_back('\0');
    const auto offset = static_cast<uint32_t>(File_.Size() - MoviStart);
    File_.Write(chunk);
    Index_.push_back({offset, static_cast<uint32_t>(data.size()), keyFrame});
    LargestFrame_ = std::max(LargestFrame_, static_cast<uint32_t>(data.size()));
}

void TAVIFile::Close()
{
    std::string index;
    index.reserve(8 + 16 * Index_.size());
    PutCode(index, "idx1");
    PutU32(index, static_cast<uint32_t>(16 * Index_.size()));
    for (const TIndexEntry& entry : Index_) {
        PutCode(index, "00dc");
        PutU32(index, entry.Key ? IndexFlagKeyFrame : 0);
        PutU32(index, entry.Offset);
        PutU32(index, entry.Size);
    }
    // The movi list ends where the index begins.
    const uint64_t moviEnd = File_.Size();
    File_.Write(index);
    File_.WriteAt(0, Headers(moviEnd, File_.Size()));
    File_.Commit();
}

} // namespace kv
