#pragma once
// When a capture takes a frame: at most one per redraw of the view and no more than the frame
// rate allows, until the frame limit. Plain arithmetic on a 32-bit microsecond clock that wraps.

#include <cstdint>
#include <string>

namespace kv {

// The options of a capture, as the options dialog shows them.
struct TCaptureOptions {
    int32_t FramesPerSec = 18; // 1 and above; a lower value counts as 1
    int32_t Compression = 35;  // percent, 0 to 100
    bool LimitMovieSize = true;
    int32_t MaxFrames = 180;   // 1 to 100000
};

// The writer's quality, 0 to 10000, of a compression in percent: 35 gives 6500.
int32_t QualityOfCompression(int32_t compression);

// Microseconds between two frames: Trunc(1 / fps x 1000000), 55555 at 18 frames per second.
uint32_t FrameInterval(int32_t framesPerSec);

// The movie's length at the frame limit, "m:ss" (whole seconds, rounded down): 180 frames at 18
// frames per second give "0:10".
std::string MovieTimeText(int32_t maxFrames, int32_t framesPerSec);

class TCaptureThrottle {
public:
    void Start(const TCaptureOptions& options, uint32_t nowMicroseconds);
    // True when a frame is due: the interval has passed since the last one (the difference taken
    // modulo 2^32, so the clock's wrap does no harm).
    bool Due(uint32_t nowMicroseconds) const;
    // Counts a frame taken now; true when the frame limit is reached.
    bool FrameTaken(uint32_t nowMicroseconds);

    int32_t FrameCount() const { return FrameCount_; }
    uint32_t Interval() const { return Interval_; }

private:
    uint32_t LastFrame_ = 0;
    uint32_t Interval_ = 0;
    int32_t FrameCount_ = 0;
    int32_t FrameLimit_ = 0; // 0: no limit
};

} // namespace kv
