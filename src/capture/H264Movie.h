#pragma once
// MP4 movies with H.264 video, through FFmpeg's libraries (libx264). The file is written beside
// its target and renamed over it by a successful Close, as every save is.

#include "platform/Bitmap.h"

#include <cstdint>
#include <filesystem>
#include <memory>

namespace kv {

class TH264Movie {
public:
    // Frames of `width` x `height` pixels (even numbers), `framesPerSecond`, `quality` 0 to 10000.
    // Throws EKorvelaError with the movie writer's messages when the file or the encoder cannot
    // be made.
    TH264Movie(const std::filesystem::path& fileName, int32_t width, int32_t height, int32_t framesPerSecond,
               int32_t quality);
    ~TH264Movie();
    TH264Movie(const TH264Movie&) = delete;
    TH264Movie& operator=(const TH264Movie&) = delete;

    // Encodes the top-left part of a pf24bit or pf32bit frame at least as large as the movie.
    void WriteFrame(const TBitmap& frame);
    // Drains the encoder, finishes the file and puts it in place.
    void Close();

    // The constant rate factor the quality maps to: 0 (best) to 51.
    static int32_t RateFactor(int32_t quality);

private:
    struct TState;
    void Drain(bool flush);
    std::unique_ptr<TState> State_;
};

} // namespace kv
