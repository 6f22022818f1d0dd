#include "capture/avilib.h"

#include "capture/AVIErrors.h"
#include "capture/AVIFile.h"
#include "capture/H264Movie.h"
#include "capture/MSVideo1.h"
#include "platform/KVError.h"
#include "platform/TextCase.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace kv {

namespace {

bool IsMP4(const std::filesystem::path& fileName)
{
    return SameTextIgnoringCase(fileName.extension().string(), ".mp4");
}

} // namespace

TVideoWriter::TVideoWriter() = default;

TVideoWriter::~TVideoWriter() = default;

bool TVideoWriter::IsOpen() const
{
    return AVI_ || H264_;
}

void TVideoWriter::Open(const TBitmap& bitmap, const std::filesystem::path& fileName)
{
    Abandon();
    NextFrame_ = 0;
    const int32_t rate = std::max(FrameRate, 1);
    const int32_t quality = std::clamp(Quality, 0, 10000);
    if (IsMP4(fileName)) {
        Width_ = bitmap.Width() & ~1;
        Height_ = bitmap.Height() & ~1;
        H264_ = std::make_unique<TH264Movie>(fileName, Width_, Height_, rate, quality);
        return;
    }
    Width_ = bitmap.Width() & ~3;
    Height_ = bitmap.Height() & ~3;
    if (Width_ <= 0 || Height_ <= 0)
        ThrowAVIError("Unable to create AVI stream", arBadSize,
                      "a frame of " + std::to_string(bitmap.Width()) + " x " + std::to_string(bitmap.Height()) +
                          " pixels holds no block of 4 x 4");
    TAVIStreamInfo info;
    info.Width = Width_;
    info.Height = Height_;
    info.FramesPerSecond = static_cast<uint32_t>(rate);
    info.SuggestedBufferSize = static_cast<uint32_t>(RowBytesFor(Width_, pf24bit) * uint64_t(Height_));
    info.Quality = static_cast<uint32_t>(quality);
    info.Compression = FourCC("MSVC");
    info.BitCount = 16;
    info.ImageSize = static_cast<uint32_t>(uint64_t(Width_) * uint64_t(Height_) * 2);
    Encoder_ = std::make_unique<TMSVideo1Encoder>(Width_, Height_, quality);
    try {
        AVI_ = std::make_unique<TAVIFile>(fileName, info);
    } catch (const EKorvelaError& error) {
        Encoder_.reset();
        ThrowAVIError(CreateFileOperation(fileName.extension().string()), arFileOpen, error.what());
    }
}

const TBitmap& TVideoWriter::Frame24(const TBitmap& bitmap)
{
    if (bitmap.PixelFormat() == pf24bit || bitmap.PixelFormat() == pf32bit)
        return bitmap;
    Converted_ = bitmap;
    Converted_.SetPixelFormat(pf24bit);
    return Converted_;
}

int32_t TVideoWriter::WriteFrame(const TBitmap& bitmap)
{
    if (!IsOpen())
        throw EKorvelaError("File not open");
    const char* operation = "Unable to write AVI Frame";
    if (bitmap.Width() < Width_ || bitmap.Height() < Height_)
        ThrowAVIError(operation, arBadSize,
                      "a frame of " + std::to_string(bitmap.Width()) + " x " + std::to_string(bitmap.Height()) +
                          " pixels for a movie of " + std::to_string(Width_) + " x " + std::to_string(Height_));
    const TBitmap& frame = Frame24(bitmap);
    if (H264_) {
        H264_->WriteFrame(frame);
    } else {
        const bool key = NextFrame_ % KeyFrameEvery == 0;
        std::string data;
        Encoder_->Encode(frame, key, data);
        try {
            AVI_->WriteFrame(data, key);
        } catch (const EKorvelaError& error) {
            ThrowAVIError(operation, arFileWrite, error.what());
        }
    }
    NextFrame_ += FrameStep;
    return FrameStep;
}

void TVideoWriter::Close()
{
    if (!IsOpen())
        return;
    // The writer is closed whatever happens below; a failure leaves no file.
    std::unique_ptr<TAVIFile> avi = std::move(AVI_);
    std::unique_ptr<TH264Movie> h264 = std::move(H264_);
    Encoder_.reset();
    if (h264) {
        h264->Close();
        return;
    }
    try {
        avi->Close();
    } catch (const EKorvelaError& error) {
        ThrowAVIError("Unable to write AVI Frame", arFileWrite, error.what());
    }
}

void TVideoWriter::Abandon()
{
    AVI_.reset();
    H264_.reset();
    Encoder_.reset();
}

void TVideoCapture::Start(const std::filesystem::path& fileName, int32_t quality, int32_t frameRate, int32_t width,
                          int32_t height)
{
    Active_ = true;
    try {
        Writer_ = std::make_unique<TVideoWriter>();
        Writer_->FrameRate = frameRate;
        Writer_->FrameStep = 1;
        Writer_->Quality = quality;
        Frame_ = TBitmap(std::max(width, 0), std::max(height, 0), pf24bit);
        Writer_->Open(Frame_, fileName);
    } catch (...) {
        Writer_.reset();
        Active_ = false;
        throw;
    }
}

void TVideoCapture::CaptureFrame(const TBitmap& picture)
{
    if (!Writer_)
        throw EKorvelaError("File not open");
    const TBitmap* source = &picture;
    TBitmap converted;
    if (picture.PixelFormat() != pf24bit && picture.PixelFormat() != pf32bit) {
        converted = picture;
        converted.SetPixelFormat(pf24bit);
        source = &converted;
    }
    const int32_t rows = std::min(Frame_.Height(), source->Height());
    const int32_t columns = std::min(Frame_.Width(), source->Width());
    for (int32_t y = 0; y < Frame_.Height(); ++y) {
        uint8_t* row = Frame_.ScanLine(y);
        std::memset(row, 0, Frame_.RowBytes());
        if (y >= rows)
            continue;
        const uint8_t* from = source->ScanLine(y);
        if (source->PixelFormat() == pf24bit) {
            std::memcpy(row, from, size_t(columns) * 3);
        } else {
            for (int32_t x = 0; x < columns; ++x, row += 3, from += 4) {
                row[0] = from[0];
                row[1] = from[1];
                row[2] = from[2];
            }
        }
    }
    Writer_->WriteFrame(Frame_);
}

void TVideoCapture::Stop()
{
    std::unique_ptr<TVideoWriter> writer = std::move(Writer_);
    Active_ = false;
    if (writer)
        writer->Close();
}

} // namespace kv
