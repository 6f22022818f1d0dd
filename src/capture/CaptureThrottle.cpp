#include "capture/CaptureThrottle.h"

#include <algorithm>

namespace kv {

int32_t QualityOfCompression(int32_t compression)
{
    return (100 - std::clamp(compression, 0, 100)) * 100;
}

uint32_t FrameInterval(int32_t framesPerSec)
{
    return 1000000u / static_cast<uint32_t>(std::max(framesPerSec, 1));
}

std::string MovieTimeText(int32_t maxFrames, int32_t framesPerSec)
{
    const int32_t seconds = std::max(maxFrames, 0) / std::max(framesPerSec, 1);
    const int32_t rest = seconds % 60;
    return std::to_string(seconds / 60) + ":" + (rest < 10 ? "0" : "") + std::to_string(rest);
}

void TCaptureThrottle::Start(const TCaptureOptions& options, uint32_t nowMicroseconds)
{
    LastFrame_ = nowMicroseconds;
    Interval_ = FrameInterval(options.FramesPerSec);
    FrameCount_ = 0;
    FrameLimit_ = options.LimitMovieSize ? std::max(options.MaxFrames, 1) : 0;
}

bool TCaptureThrottle::Due(uint32_t nowMicroseconds) const
{
    return static_cast<uint32_t>(nowMicroseconds - LastFrame_) >= Interval_;
}

bool TCaptureThrottle::FrameTaken(uint32_t nowMicroseconds)
{
    LastFrame_ = nowMicroseconds;
    ++FrameCount_;
    return FrameLimit_ > 0 && FrameCount_ >= FrameLimit_;
}

} // namespace kv
