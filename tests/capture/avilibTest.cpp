#include "capture/avilib.h"

#include "capture/MSVideo1.h"
#include "platform/KVError.h"
#include "support/FFmpegPeer.h"
#include "support/TestData.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <sys/resource.h>

namespace kv {
namespace {

using test::TTempDir;
using testing::HasSubstr;
using testing::StartsWith;
using testing::ThrowsMessage;

// A picture that changes from frame to frame: a colour ramp with a bright square moving across.
TBitmap Picture(int32_t width, int32_t height, int32_t frame)
{
    TBitmap bitmap(width, height, pf24bit);
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = bitmap.ScanLine(y);
        for (int32_t x = 0; x < width; ++x) {
            const bool square = x >= frame * 6 && x < frame * 6 + 20 && y >= 10 && y < 30;
            row[3 * x] = square ? 40 : static_cast<uint8_t>(255 * x / width);      // blue
            row[3 * x + 1] = square ? 230 : static_cast<uint8_t>(255 * y / height); // green
            row[3 * x + 2] = square ? 250 : 90;                                     // red
        }
    }
    return bitmap;
}

// Mean absolute difference per channel between our picture and a decoded rgb24 frame.
double MeanDifference(const TBitmap& ours, int32_t width, int32_t height, const std::vector<uint8_t>& rgb)
{
    double sum = 0;
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                sum += std::abs(int(ours.ScanLine(y)[3 * x + 2 - c]) - int(rgb[size_t(3 * (y * width + x) + c)]));
    return sum / (3.0 * width * height);
}

class VideoWriterPeer : public testing::Test {
protected:
    void SetUp() override
    {
        if (const std::string reason = test::FFmpegMissingReason(); !reason.empty())
            GTEST_SKIP() << reason;
    }
    TTempDir Dir_;
};

TEST_F(VideoWriterPeer, AVIPlaysAsMSVideo1WithItsSizeRateFramesAndKeyFrames)
{
    // 102 x 66 is cut to whole blocks of 4: 100 x 64.
    TVideoWriter writer;
    writer.FrameRate = 18;
    writer.Quality = 6500;
    const auto fileName = Dir_ / "spin.avi";
    writer.Open(Picture(102, 66, 0), fileName);
    for (int32_t frame = 0; frame < 16; ++frame)
        EXPECT_EQ(writer.WriteFrame(Picture(102, 66, frame)), 1);
    writer.Close();

    // The stream header: handler 0, scale 1, rate 18, 16 frames, the uncompressed frame's size
    // as the suggested buffer, the quality, and the frame rectangle.
    const std::string file = test::ReadFileText(fileName);
    const auto u32 = [&](size_t at) {
        return uint32_t(uint8_t(file[at])) | uint32_t(uint8_t(file[at + 1])) << 8 |
               uint32_t(uint8_t(file[at + 2])) << 16 | uint32_t(uint8_t(file[at + 3])) << 24;
    };
    ASSERT_EQ(file.substr(100, 4), "strh");
    EXPECT_EQ(file.substr(108, 4), "vids");
    const std::vector<uint32_t> header{u32(112), u32(128), u32(132), u32(140), u32(144), u32(148), u32(156), u32(160)};
    EXPECT_EQ(header, (std::vector<uint32_t>{0, 1, 18, 16, 300 * 64, 6500, 0, 64u << 16 | 100}));
    EXPECT_EQ(file.substr(188, 4), "MSVC");

    const test::TProbedMovie movie = test::ProbeMovie(fileName);
    EXPECT_EQ(movie.Codec, "msvideo1");
    EXPECT_EQ(movie.CodecTag, "MSVC");
    EXPECT_EQ(movie.Width, 100);
    EXPECT_EQ(movie.Height, 64);
    EXPECT_EQ(movie.FrameRate, "18/1");
    EXPECT_EQ(movie.Frames, 16);
    std::vector<bool> expectedKeys(16);
    for (size_t i = 0; i < 16; ++i)
        expectedKeys[i] = i % 7 == 0;
    EXPECT_EQ(movie.KeyPackets, expectedKeys);

    // A delta frame decodes back to our picture within the codec's loss.
    for (int32_t frame : {0, 9, 15}) {
        SCOPED_TRACE(frame);
        const auto rgb = test::DecodeFrame(fileName, frame, "rgb24", Dir_.Path());
        ASSERT_EQ(rgb.size(), size_t(100 * 64 * 3));
        EXPECT_LT(MeanDifference(Picture(102, 66, frame), 100, 64, rgb), 6.0);
    }
}

TEST_F(VideoWriterPeer, DecoderShowsExactlyWhatTheEncoderMeantAtEveryQuality)
{
    for (int32_t quality : {0, 6500, 10000}) {
        SCOPED_TRACE(quality);
        const auto fileName = Dir_ / ("q" + std::to_string(quality) + ".avi");
        TMSVideo1Encoder shadow(48, 40, quality);
        TVideoWriter writer;
        writer.Quality = quality;
        writer.Open(Picture(48, 40, 0), fileName);
        std::string ignored;
        for (int32_t frame = 0; frame < 9; ++frame) {
            writer.WriteFrame(Picture(48, 40, frame));
            shadow.Encode(Picture(48, 40, frame), frame % KeyFrameEvery == 0, ignored);
        }
        writer.Close();
        // The decoder's own 5-5-5 pixels, top row first; the encoder's record is bottom row first.
        const auto words = test::DecodeFrame(fileName, 8, "rgb555le", Dir_.Path());
        ASSERT_EQ(words.size(), size_t(48 * 40 * 2));
        int mismatches = 0;
        for (int32_t y = 0; y < 40; ++y)
            for (int32_t x = 0; x < 48; ++x) {
                const size_t at = size_t(2 * (y * 48 + x));
                const int decoded = (words[at] | words[at + 1] << 8) & 0x7FFF;
                mismatches += decoded != shadow.Shown()[size_t((39 - y) * 48 + x)];
            }
        EXPECT_EQ(mismatches, 0);
    }
}

TEST_F(VideoWriterPeer, LowerQualityGivesSmallerFilesAndLargerDifferences)
{
    // Waves of every steepness, so that each quality finds blocks it may draw more simply.
    TBitmap waves(64, 48, pf24bit);
    for (int32_t y = 0; y < 48; ++y)
        for (int32_t x = 0; x < 64; ++x) {
            const double v = 128 + 100 * std::sin(x * x / 150.0) * std::cos(y / 5.0);
            waves.SetPixel(x, y, RGBColor(uint8_t(v), uint8_t(255 - v), 128));
        }
    std::vector<uintmax_t> sizes;
    std::vector<double> differences;
    for (int32_t quality : {10000, 8000, 6500, 3000, 0}) {
        const auto fileName = Dir_ / ("q" + std::to_string(quality) + ".avi");
        TVideoWriter writer;
        writer.Quality = quality;
        writer.Open(waves, fileName);
        writer.WriteFrame(waves);
        writer.Close();
        sizes.push_back(std::filesystem::file_size(fileName));
        differences.push_back(MeanDifference(waves, 64, 48, test::DecodeFrame(fileName, 0, "rgb24", Dir_.Path())));
    }
    for (size_t i = 1; i < sizes.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_LT(sizes[i], sizes[i - 1]);
        EXPECT_GT(differences[i], differences[i - 1]);
    }
    EXPECT_LT(differences[2], 4.0); // the default quality stays close to the picture
}

TEST_F(VideoWriterPeer, MP4PlaysAsH264)
{
    TVideoWriter writer;
    writer.FrameRate = 25;
    const auto fileName = Dir_ / "spin.MP4";
    writer.Open(Picture(97, 65, 0), fileName);
    for (int32_t frame = 0; frame < 12; ++frame)
        writer.WriteFrame(Picture(97, 65, frame));
    writer.Close();
    const test::TProbedMovie movie = test::ProbeMovie(fileName);
    EXPECT_EQ(movie.Codec, "h264");
    EXPECT_EQ(movie.Width, 96);
    EXPECT_EQ(movie.Height, 64);
    EXPECT_EQ(movie.FrameRate, "25/1");
    EXPECT_EQ(movie.Frames, 12);
    const auto rgb = test::DecodeFrame(fileName, 11, "rgb24", Dir_.Path());
    ASSERT_EQ(rgb.size(), size_t(96 * 64 * 3));
    EXPECT_LT(MeanDifference(Picture(97, 65, 11), 96, 64, rgb), 6.0);
}

TEST(VideoWriter, FailuresSayWhatFailedAndLeaveNoFile)
{
    TTempDir dir;
    TVideoWriter writer;
    EXPECT_THAT([&] { writer.WriteFrame(Picture(8, 8, 0)); }, ThrowsMessage<EKorvelaError>(testing::StrEq("File not open")));
    for (const char* name : {"missing/a.avi", "missing/a.mp4"}) {
        SCOPED_TRACE(name);
        const std::string extension = std::filesystem::path(name).extension().string();
        EXPECT_THAT([&] { writer.Open(Picture(16, 16, 0), dir / name); },
                    ThrowsMessage<EKorvelaError>(AllOf(
                        StartsWith("Unable to create AVI file (\"" + extension + "\"): Disk open error. (Cannot write file "),
                        HasSubstr("No such file or directory"))));
        EXPECT_FALSE(writer.IsOpen());
    }
    EXPECT_THAT([&] { writer.Open(Picture(3, 40, 0), dir / "thin.avi"); },
                ThrowsMessage<EKorvelaError>(StartsWith("Unable to create AVI stream: Bad size")));

    // An abandoned movie leaves the older file as it was, and no temporary file.
    const auto old = dir / "old.avi";
    test::WriteFileText(old, "older movie");
    writer.Open(Picture(16, 16, 0), old);
    writer.WriteFrame(Picture(16, 16, 1));
    EXPECT_THAT([&] { writer.WriteFrame(Picture(12, 16, 1)); },
                ThrowsMessage<EKorvelaError>(StartsWith("Unable to write AVI Frame: Bad size")));
    writer.Abandon();
    EXPECT_EQ(test::ReadFileText(old), "older movie");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(VideoWriter, AFullDiskEndsTheMovieWithAWriteError)
{
    // The file size limit stands in for a full disk: writes beyond it fail with EFBIG.
    TTempDir dir;
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string message;
    {
        TVideoWriter writer;
        writer.Quality = 10000;
        writer.Open(Picture(256, 128, 0), dir / "full.avi");
        try {
            for (int32_t frame = 0; frame < 100; ++frame)
                writer.WriteFrame(Picture(256, 128, frame % 30));
        } catch (const EKorvelaError& error) {
            message = error.what();
        }
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_THAT(message, StartsWith("Unable to write AVI Frame: File write error (Cannot write file "));
    EXPECT_THAT(message, HasSubstr("File too large"));
    EXPECT_FALSE(std::filesystem::exists(dir / "full.avi"));
}

TEST(VideoCapture, KeepsItsFrameSizeAndClearsTheFlagWhenOpeningFails)
{
    TTempDir dir;
    TVideoCapture capture;
    EXPECT_THROW(capture.Start(dir / "missing" / "a.avi", 6500, 18, 64, 48), EKorvelaError);
    EXPECT_FALSE(capture.Active());
    capture.Stop(); // releasing the button after a failed start changes nothing

    capture.Start(dir / "a.avi", 6500, 18, 64, 48);
    EXPECT_TRUE(capture.Active());
    capture.CaptureFrame(Picture(64, 48, 0));
    // The view grew, then shrank: the frame keeps its size, the part not covered is black.
    capture.CaptureFrame(Picture(80, 60, 1));
    capture.CaptureFrame(Picture(40, 30, 2));
    EXPECT_EQ(capture.Frame().Width(), 64);
    EXPECT_EQ(capture.Frame().GetPixel(50, 40), TColor(0));
    EXPECT_EQ(capture.Frame().GetPixel(0, 0), Picture(40, 30, 2).GetPixel(0, 0));
    capture.Stop();
    EXPECT_FALSE(capture.Active());
    EXPECT_TRUE(std::filesystem::exists(dir / "a.avi"));
}

} // namespace
} // namespace kv
