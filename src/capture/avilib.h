#pragma once
// Movies of the 3D view. TVideoWriter writes bitmaps as the frames of a movie: an AVI file with
// MS Video 1 ("MSVC") frames, or, when the name ends in ".mp4", an MP4 file with H.264 frames.
// TVideoCapture keeps one frame bitmap of a fixed size, copies each picture of the view into it
// and hands it to the writer.
//
// Driving it from a loop of rendered pictures:
//     TVideoWriter writer;
//     writer.FrameRate = 18;
//     writer.Open(firstPicture, "spin.avi");
//     for (...) writer.WriteFrame(picture);
//     writer.Close();

#include "platform/Bitmap.h"

#include <cstdint>
#include <filesystem>
#include <memory>

namespace kv {

class TAVIFile;
class TH264Movie;
class TMSVideo1Encoder;

// MS Video 1 frames are coded from one key frame to the next: every seventh frame refers to no
// earlier frame.
constexpr int32_t KeyFrameEvery = 7;

class TVideoWriter {
public:
    TVideoWriter();
    ~TVideoWriter();
    TVideoWriter(const TVideoWriter&) = delete;
    TVideoWriter& operator=(const TVideoWriter&) = delete;

    int32_t FrameRate = 18; // frames per second of the movie; below 1 counts as 1
    int32_t FrameStep = 1;
    int32_t Quality = 6500; // 0 to 10000

    // Creates the movie for frames shaped like `bitmap`. The movie's size is the bitmap's,
    // rounded down to whole blocks of the codec (4 pixels for MS Video 1, 2 for H.264); a
    // picture too small for one block is refused. Throws EKorvelaError with the messages of the
    // AVI file services ("Unable to create AVI file (\".avi\"): Disk open error. (...)");
    // nothing is left behind then.
    void Open(const TBitmap& bitmap, const std::filesystem::path& fileName);
    bool IsOpen() const;
    int32_t Width() const { return Width_; }
    int32_t Height() const { return Height_; }
    // Frames written since Open.
    int64_t FrameIndex() const { return NextFrame_; }

    // Appends the bitmap (any pixel format, at least the movie's size; its top-left part is
    // used) as the next frame and returns the frame step. Throws "File not open" without a
    // movie, and "Unable to write AVI Frame..." when the frame cannot be written.
    int32_t WriteFrame(const TBitmap& bitmap);

    // Finishes the movie and puts the file in place. A movie that fails to finish throws and
    // leaves no file; the writer is closed either way.
    void Close();
    // Drops the movie being written: the file is not made.
    void Abandon();

private:
    const TBitmap& Frame24(const TBitmap& bitmap);

    std::unique_ptr<TAVIFile> AVI_;
    std::unique_ptr<TMSVideo1Encoder> Encoder_;
    std::unique_ptr<TH264Movie> H264_;
    TBitmap Converted_;
    int32_t Width_ = 0;
    int32_t Height_ = 0;
    int64_t NextFrame_ = 0;
};

class TVideoCapture {
public:
    // Starts a movie of `width` x `height` pictures. The active flag is set first and cleared
    // again when opening fails, which then throws the writer's message.
    void Start(const std::filesystem::path& fileName, int32_t quality, int32_t frameRate, int32_t width,
               int32_t height);
    // Copies the picture into the frame bitmap (its top-left part; what the picture does not
    // cover stays black) and writes the frame. The frame size stays the one of Start.
    void CaptureFrame(const TBitmap& picture);
    // Closes the movie (throwing when it cannot be finished), frees the writer, clears the flag.
    void Stop();
    bool Active() const { return Active_; }
    const TBitmap& Frame() const { return Frame_; }
    const TVideoWriter* Writer() const { return Writer_.get(); }

private:
    TBitmap Frame_;
    std::unique_ptr<TVideoWriter> Writer_;
    bool Active_ = false;
};

} // namespace kv
