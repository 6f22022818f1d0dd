#pragma once
// FFmpeg's command-line tools as a peer player: what another program reads from the movies we
// write. ffprobe and ffmpeg are run as separate programs and never linked.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace kv::test {

// The first video stream as ffprobe reports it, frames counted by decoding them.
struct TProbedMovie {
    std::string Codec;     // "msvideo1", "h264"
    std::string CodecTag;  // "MSVC", "avc1"
    int32_t Width = 0;
    int32_t Height = 0;
    std::string FrameRate; // "18/1"
    int64_t Frames = 0;
    std::vector<bool> KeyPackets; // per packet in file order: marked as a key frame
};

// Empty when ffprobe and ffmpeg can be run; otherwise why the peer checks cannot run.
std::string FFmpegMissingReason();

// Throws std::runtime_error with ffprobe's message when it refuses the file.
TProbedMovie ProbeMovie(const std::filesystem::path& fileName);

// Frame `index` decoded by ffmpeg as raw pixels of `pixelFormat` ("rgb24", "rgb555le"), rows top
// down. Throws std::runtime_error when ffmpeg fails or gives no frame.
std::vector<uint8_t> DecodeFrame(const std::filesystem::path& fileName, int64_t index, const std::string& pixelFormat,
                                 const std::filesystem::path& scratch);

} // namespace kv::test
