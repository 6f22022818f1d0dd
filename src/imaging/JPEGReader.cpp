#include "imaging/JPEGReader.h"

#include "PictureSize.h"
#include "platform/KVError.h"

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

#include <string>
#include <vector>

namespace kv {

namespace {

// A block of 8 x 8 pixels of one flat colour costs a few bits.
constexpr uint64_t MaxExpansion = 2000;

// libjpeg reports fatal errors through error_exit, which must not return. Exceptions may not
// cross libjpeg's C frames, so the error jumps back to the one frame that called into it
// (RunDecoder), which holds nothing with a destructor.
struct TJPEGErrors {
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

void ExitOnError(j_common_ptr info)
{
    auto* errors = reinterpret_cast<TJPEGErrors*>(info->err);
    errors->Manager.format_message(info, errors->Message);
    std::longjmp(errors->Jump, 1);
}

void IgnoreMessage(j_common_ptr) {}

struct THeader {
    JDIMENSION Width = 0;
    JDIMENSION Height = 0;
    bool CMYK = false;  // CMYK or YCCK: decoded as CMYK
    bool Adobe = false; // Adobe writes CMYK inverted (255: no ink)
};

// Receives decoded rows; must not throw.
class TRowSink {
public:
    virtual JSAMPLE* Line() noexcept = 0;
    virtual void RowDone(JDIMENSION y) noexcept = 0;

protected:
    ~TRowSink() = default;
};

// Reads the header, and the rows into `sink` unless it is null. False with `errors.Message` set
// when libjpeg failed.
bool RunDecoder(std::span<const uint8_t> data, TJPEGErrors& errors, THeader& header, TRowSink* sink)
{
    jpeg_decompress_struct info;
    info.err = jpeg_std_error(&errors.Manager);
    errors.Manager.error_exit = ExitOnError;
    errors.Manager.output_message = IgnoreMessage;
    if (setjmp(errors.Jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);
    header.Width = info.image_width;
    header.Height = info.image_height;
    header.CMYK = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    header.Adobe = info.saw_Adobe_marker != 0;
    if (sink) {
        info.out_color_space = header.CMYK ? JCS_CMYK : JCS_RGB;
        jpeg_start_decompress(&info);
        while (info.output_scanline < info.output_height) {
            JSAMPROW row = sink->Line();
            if (jpeg_read_scanlines(&info, &row, 1) != 1)
                break;
            sink->RowDone(info.output_scanline - 1);
        }
        jpeg_finish_decompress(&info);
    }
    jpeg_destroy_decompress(&info);
    return true;
}

// Turns decoded RGB or CMYK lines into the bitmap's blue-green-red rows.
class TBitmapSink final : public TRowSink {
public:
    TBitmapSink(const THeader& header, TBitmap& picture, TRowProgress& progress)
        : Header_(header), Picture_(picture), Progress_(progress), Line_(size_t{header.Width} * 4)
    {
    }

    JSAMPLE* Line() noexcept override { return Line_.data(); }
    void RowDone(JDIMENSION y) noexcept override
    {
        uint8_t* out = Picture_.ScanLine(static_cast<int32_t>(y));
        for (JDIMENSION x = 0; x < Header_.Width; ++x) {
            if (Header_.CMYK) {
                const JSAMPLE* p = Line_.data() + 4 * size_t{x};
                // How much paper shows through each ink (Adobe stores it so; others store the ink).
                const auto paper = [&](int i) { return Header_.Adobe ? p[i] : 255 - p[i]; };
                out[3 * x] = static_cast<uint8_t>(paper(2) * paper(3) / 255);
                out[3 * x + 1] = static_cast<uint8_t>(paper(1) * paper(3) / 255);
                out[3 * x + 2] = static_cast<uint8_t>(paper(0) * paper(3) / 255);
            } else {
                const JSAMPLE* p = Line_.data() + 3 * size_t{x};
                out[3 * x] = p[2];
                out[3 * x + 1] = p[1];
                out[3 * x + 2] = p[0];
            }
        }
        Progress_.RowDone();
    }

private:
    const THeader& Header_;
    TBitmap& Picture_;
    TRowProgress& Progress_;
    std::vector<JSAMPLE> Line_;
};

} // namespace

void ReadJPEG(std::span<const uint8_t> data, TBitmap& bitmap, const TImageProgress& progress, const std::string& name)
{
    TJPEGErrors errors{};
    THeader header;
    if (!RunDecoder(data, errors, header, nullptr))
        throw EKorvelaError(name + ": not a readable JPEG picture (" + errors.Message + ")");
    CheckPictureSize(name, header.Width, header.Height, 3, data.size(), MaxExpansion);

    TBitmap picture(static_cast<int32_t>(header.Width), static_cast<int32_t>(header.Height), pf24bit);
    TRowProgress rows(progress, header.Height);
    rows.Start();
    TBitmapSink sink(header, picture, rows);
    if (!RunDecoder(data, errors, header, &sink))
        throw EKorvelaError(name + ": the JPEG picture is damaged (" + errors.Message + ")");
    bitmap = std::move(picture);
    rows.End();
}

} // namespace kv
