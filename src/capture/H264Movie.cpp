#include "capture/H264Movie.h"

#include "capture/AVIErrors.h"
#include "platform/FileIO.h"
#include "platform/KVError.h"

#include <algorithm>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace kv {

namespace {

constexpr int IOBufferSize = 1 << 16;
constexpr const char* WriteFrameOperation = "Unable to write AVI Frame";

std::string FFmpegText(int error)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, text, sizeof text);
    return text;
}

} // namespace

struct TH264Movie::TState {
    std::unique_ptr<TAtomicFile> File;
    uint64_t Position = 0;
    std::string IOError; // why the last write failed, for the message
    AVFormatContext* Format = nullptr;
    AVCodecContext* Codec = nullptr;
    AVStream* Stream = nullptr;
    AVFrame* Picture = nullptr;
    AVPacket* Packet = nullptr;
    SwsContext* Scaler = nullptr;
    AVPixelFormat ScalerSource = AV_PIX_FMT_NONE;
    int64_t NextFrame = 0;
    bool HeaderWritten = false;

    ~TState()
    {
        sws_freeContext(Scaler);
        av_packet_free(&Packet);
        av_frame_free(&Picture);
        avcodec_free_context(&Codec);
        if (Format) {
            if (Format->pb) {
                av_freep(&Format->pb->buffer);
                avio_context_free(&Format->pb);
            }
            avformat_free_context(Format);
        }
    }

    // FFmpeg's output goes through our safe-save file: writes and seeks of the muxer (which goes
    // back to fill in sizes) land at a position we keep.
    static int Write(void* opaque, uint8_t* data, int size)
    {
        auto* state = static_cast<TState*>(opaque);
        try {
            state->File->WriteAt(state->Position, std::string_view(reinterpret_cast<const char*>(data), size_t(size)));
            state->Position += static_cast<uint64_t>(size);
            return size;
        } catch (const std::exception& error) {
            state->IOError = error.what();
            return AVERROR(EIO);
        }
    }

    static int64_t Seek(void* opaque, int64_t offset, int whence)
    {
        auto* state = static_cast<TState*>(opaque);
        switch (whence & ~AVSEEK_FORCE) {
        case AVSEEK_SIZE:
            return static_cast<int64_t>(state->File->Size());
        case SEEK_SET:
            state->Position = static_cast<uint64_t>(offset);
            break;
        case SEEK_CUR:
            state->Position = static_cast<uint64_t>(static_cast<int64_t>(state->Position) + offset);
            break;
        case SEEK_END:
            state->Position = static_cast<uint64_t>(static_cast<int64_t>(state->File->Size()) + offset);
            break;
        default:
            return AVERROR(EINVAL);
        }
        return static_cast<int64_t>(state->Position);
    }
};

int32_t TH264Movie::RateFactor(int32_t quality)
{
    return 51 * (10000 - std::clamp(quality, 0, 10000)) / 10000;
}

TH264Movie::TH264Movie(const std::filesystem::path& fileName, int32_t width, int32_t height,
                       int32_t framesPerSecond, int32_t quality)
    : State_(std::make_unique<TState>())
{
    TState& s = *State_;
    // The encoder's statistics are no news to the user; errors come back as our messages.
    av_log_set_level(AV_LOG_ERROR);
    const std::string openOperation = CreateFileOperation(fileName.extension().string());
    if (width <= 0 || height <= 0 || width % 2 || height % 2)
        ThrowAVIError("Unable to create AVI stream", arBadSize,
                      "H.264 needs an even frame size, not " + std::to_string(width) + " x " + std::to_string(height));

    if (avformat_alloc_output_context2(&s.Format, nullptr, "mp4", nullptr) < 0 || !s.Format)
        ThrowAVIError(openOperation, arUnregisteredFileType);
    try {
        s.File = std::make_unique<TAtomicFile>(fileName);
    } catch (const EKorvelaError& error) {
        ThrowAVIError(openOperation, arFileOpen, error.what());
    }
    auto* buffer = static_cast<unsigned char*>(av_malloc(IOBufferSize));
    s.Format->pb = buffer ? avio_alloc_context(buffer, IOBufferSize, 1, &s, nullptr, &TState::Write, &TState::Seek)
                          : nullptr;
    if (!s.Format->pb) {
        av_free(buffer);
        ThrowAVIError(openOperation, arMemory);
    }

    const AVCodec* encoder = avcodec_find_encoder_by_name("libx264");
    if (!encoder)
        encoder = avcodec_find_encoder(AV_CODEC_ID_H264);
    if (!encoder)
        ThrowAVIError("Unable to create Compression Stream", arNoCompressor, "no H.264 encoder in FFmpeg");
    s.Stream = avformat_new_stream(s.Format, nullptr);
    s.Codec = avcodec_alloc_context3(encoder);
    s.Picture = av_frame_alloc();
    s.Packet = av_packet_alloc();
    if (!s.Stream || !s.Codec || !s.Picture || !s.Packet)
        ThrowAVIError("Unable to create AVI stream", arMemory);

    const int rate = std::max(framesPerSecond, 1);
    s.Codec->width = width;
    s.Codec->height = height;
    s.Codec->pix_fmt = AV_PIX_FMT_YUV420P;
    s.Codec->time_base = AVRational{1, rate};
    s.Codec->framerate = AVRational{rate, 1};
    // A key frame every two seconds: players seek well and the file stays small.
    s.Codec->gop_size = 2 * rate;
    s.Codec->max_b_frames = 0;
    if (s.Format->oformat->flags & AVFMT_GLOBALHEADER)
        s.Codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    // Fast enough to keep up with the view; the quality sets the rate factor.
    av_opt_set(s.Codec->priv_data, "preset", "veryfast", 0);
    av_opt_set(s.Codec->priv_data, "crf", std::to_string(RateFactor(quality)).c_str(), 0);
    if (const int error = avcodec_open2(s.Codec, encoder, nullptr); error < 0)
        ThrowAVIError("Unable to create Compression Stream", arCompressor, FFmpegText(error));
    if (avcodec_parameters_from_context(s.Stream->codecpar, s.Codec) < 0)
        ThrowAVIError("Unable to set Compression Format", arBadFormat);
    s.Stream->time_base = s.Codec->time_base;
    s.Stream->avg_frame_rate = s.Codec->framerate;
    if (const int error = avformat_write_header(s.Format, nullptr); error < 0)
        ThrowAVIError("Unable to set Compression Format", arFileWrite,
                      s.IOError.empty() ? FFmpegText(error) : s.IOError);
    s.HeaderWritten = true;

    s.Picture->format = s.Codec->pix_fmt;
    s.Picture->width = width;
    s.Picture->height = height;
    if (av_frame_get_buffer(s.Picture, 0) < 0)
        ThrowAVIError("Unable to create AVI stream", arMemory);
}

TH264Movie::~TH264Movie() = default;

void TH264Movie::Drain(bool flush)
{
    TState& s = *State_;
    for (;;) {
        const int result = avcodec_receive_packet(s.Codec, s.Packet);
        if (result == AVERROR(EAGAIN) || (flush && result == AVERROR_EOF))
            return;
        if (result < 0)
            ThrowAVIError(WriteFrameOperation, arCompressor, FFmpegText(result));
        av_packet_rescale_ts(s.Packet, s.Codec->time_base, s.Stream->time_base);
        s.Packet->stream_index = s.Stream->index;
        if (const int error = av_interleaved_write_frame(s.Format, s.Packet); error < 0)
            ThrowAVIError(WriteFrameOperation, arFileWrite, s.IOError.empty() ? FFmpegText(error) : s.IOError);
    }
}

void TH264Movie::WriteFrame(const TBitmap& frame)
{
    TState& s = *State_;
    if (!s.HeaderWritten)
        throw EKorvelaError("File not open");
    const AVPixelFormat source = frame.PixelFormat() == pf32bit ? AV_PIX_FMT_BGR0
                                 : frame.PixelFormat() == pf24bit ? AV_PIX_FMT_BGR24
                                                                  : AV_PIX_FMT_NONE;
    if (source == AV_PIX_FMT_NONE || frame.Width() < s.Codec->width || frame.Height() < s.Codec->height)
        ThrowAVIError(WriteFrameOperation, arBadFormat, "frames are 24 or 32-bit pictures of at least the movie's size");
    s.Scaler = sws_getCachedContext(s.Scaler, s.Codec->width, s.Codec->height, source, s.Codec->width,
                                    s.Codec->height, AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!s.Scaler || av_frame_make_writable(s.Picture) < 0)
        ThrowAVIError(WriteFrameOperation, arMemory);
    const uint8_t* rows[1] = {frame.ScanLine(0)};
    const int strides[1] = {static_cast<int>(frame.RowBytes())};
    sws_scale(s.Scaler, rows, strides, 0, s.Codec->height, s.Picture->data, s.Picture->linesize);
    s.Picture->pts = s.NextFrame++;
    if (const int error = avcodec_send_frame(s.Codec, s.Picture); error < 0)
        ThrowAVIError(WriteFrameOperation, arCompressor, FFmpegText(error));
    Drain(false);
}

void TH264Movie::Close()
{
    TState& s = *State_;
    if (!s.HeaderWritten)
        throw EKorvelaError("File not open");
    s.HeaderWritten = false;
    if (const int error = avcodec_send_frame(s.Codec, nullptr); error < 0)
        ThrowAVIError(WriteFrameOperation, arCompressor, FFmpegText(error));
    Drain(true);
    if (const int error = av_write_trailer(s.Format); error < 0)
        ThrowAVIError(WriteFrameOperation, arFileWrite, s.IOError.empty() ? FFmpegText(error) : s.IOError);
    avio_flush(s.Format->pb);
    if (!s.IOError.empty())
        ThrowAVIError(WriteFrameOperation, arFileWrite, s.IOError);
    try {
        s.File->Commit();
    } catch (const EKorvelaError& error) {
        ThrowAVIError(WriteFrameOperation, arFileWrite, error.what());
    }
}

} // namespace kv
