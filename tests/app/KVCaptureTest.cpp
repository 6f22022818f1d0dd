// Capturing the 3D view as a user does: arm a file, set the options, press the capture button
// while the soccer ball spins, release it; the movie is then played back by ffprobe and ffmpeg.

#include "app/KVCapture.h"

#include "AppTestSupport.h"
#include "app/KVHelp.h"
#include "app/KVMain.h"
#include "glview/GLViewer.h"
#include "support/FFmpegPeer.h"
#include "support/TestData.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

namespace kv {
namespace {

using test::TRecorder;
using test::TTempDir;

class KVCaptureTest : public ::testing::Test {
protected:
    void SetUp() override { test::TestApplication(); }

    TForm1& Form()
    {
        TMainOptions options;
        options.SettingsFolder = Dir.Path();
        options.Services = Recorder.Services();
        Form_ = std::make_unique<TForm1>(std::move(options));
        Form_->resize(640, 478);
        Form_->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Form_.get()));
        Form_->ShowPage(2);
        EXPECT_TRUE(QTest::qWaitFor([&] { return Form_->GLViewer().FrameCount() > 0; }));
        return *Form_;
    }
    QAction* Command(const char* name) const { return Form_->findChild<QAction*>(QLatin1String(name)); }
    QToolButton* CaptureBtn() const { return Form_->findChild<QToolButton*>(QStringLiteral("CaptureBtn")); }
    template <typename T> T* Option(const char* name) const
    {
        return Form_->CaptureDlg().findChild<T*>(QLatin1String(name));
    }
    // Arms `fileName` and sets the options through the dialog as a user would.
    void Arm(const std::filesystem::path& fileName, int fps, bool limit, int maxFrames)
    {
        Recorder.SaveAnswers << QString::fromStdString(fileName.string());
        Command("ArmAVICapture1")->trigger();
        Recorder.OnDialog = [this, fps, limit, maxFrames](QDialog&) {
            Option<QSpinBox>("FPSSpin")->setValue(fps);
            Option<QCheckBox>("LimitChk")->setChecked(limit);
            Option<QSpinBox>("MaxFramesSpin")->setValue(maxFrames);
            return int(QDialog::Accepted);
        };
        Command("CaptureOptions1")->trigger();
    }

    TTempDir Dir;
    TRecorder Recorder;
    std::unique_ptr<TForm1> Form_;
};

TEST_F(KVCaptureTest, OptionsDialogShowsTheMovieLengthAndRefusesARateBelowOne)
{
    Form();
    EXPECT_EQ(Form_->CaptureDlg().windowTitle(), "AVI Capture Options");
    auto* fps = Option<QSpinBox>("FPSSpin");
    EXPECT_EQ(fps->value(), 18);
    EXPECT_EQ(Option<QSpinBox>("CompressSpin")->value(), 35);
    EXPECT_TRUE(Option<QCheckBox>("LimitChk")->isChecked());
    EXPECT_EQ(Option<QSpinBox>("MaxFramesSpin")->value(), 180);
    EXPECT_EQ(Option<QLabel>("DisTime")->text(), "0:10");
    fps->setValue(0);
    EXPECT_EQ(fps->value(), 1);
    EXPECT_EQ(Option<QLabel>("DisTime")->text(), "3:00");
    Option<QSpinBox>("MaxFramesSpin")->setValue(1200);
    EXPECT_EQ(Option<QLabel>("DisTime")->text(), "20:00");

    // "&Capture Options..." shows the dialog; its help button opens the capture page.
    bool shown = false;
    Recorder.OnDialog = [&](QDialog& dialog) {
        shown = &dialog == &Form_->CaptureDlg();
        dialog.findChild<QPushButton*>("HelpBtn")->click();
        return int(QDialog::Accepted);
    };
    Command("CaptureOptions1")->trigger();
    EXPECT_TRUE(shown);
    EXPECT_EQ(Form_->HelpWindow().CurrentPage().toStdString(), "capture.html");
}

TEST_F(KVCaptureTest, SpinningBallIsRecordedUntilTheButtonIsReleased)
{
    if (const std::string reason = test::FFmpegMissingReason(); !reason.empty())
        GTEST_SKIP() << reason;
    TForm1& form = Form();
    EXPECT_FALSE(Command("CaptureBtn")->isEnabled()) << "nothing armed yet";
    const auto movie = Dir / "ball.avi";
    Arm(movie, 25, false, 180);
    EXPECT_TRUE(Recorder.FileRequests.contains("Save AVI File"));
    ASSERT_TRUE(Command("CaptureBtn")->isEnabled());

    form.GLViewer().BaseFrame().RotationStep = Vector3D{0, 3, 0}; // as a drag to the side leaves it
    Command("AnimateBtn")->trigger();
    CaptureBtn()->click();
    ASSERT_TRUE(form.CaptureActive()) << Recorder.Errors.join("; ").toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.CapturedFrames() >= 12; }, 20000));
    CaptureBtn()->click();
    const int frames = form.CapturedFrames();
    Command("StopBtn")->trigger();
    EXPECT_FALSE(form.CaptureActive());
    EXPECT_FALSE(Command("CaptureBtn")->isChecked());
    EXPECT_FALSE(Command("CaptureBtn")->isEnabled()) << "the next movie needs a new file";
    EXPECT_TRUE(Recorder.Errors.isEmpty()) << Recorder.Errors.join("; ").toStdString();

    const test::TProbedMovie probed = test::ProbeMovie(movie);
    EXPECT_EQ(probed.Codec, "msvideo1");
    const qreal ratio = form.GLViewer().devicePixelRatioF();
    EXPECT_EQ(probed.Width, int(form.GLViewer().width() * ratio) / 4 * 4);
    EXPECT_EQ(probed.Height, int(form.GLViewer().height() * ratio) / 4 * 4);
    EXPECT_EQ(probed.FrameRate, "25/1");
    EXPECT_EQ(probed.Frames, frames);

    // The ball turned between the first and the last frame, and it is in the picture: the
    // middle of the frame is not the black background.
    const auto first = test::DecodeFrame(movie, 0, "rgb24", Dir.Path());
    const auto last = test::DecodeFrame(movie, frames - 1, "rgb24", Dir.Path());
    EXPECT_NE(first, last);
    const size_t middle = 3 * (size_t(probed.Height / 2) * size_t(probed.Width) + size_t(probed.Width / 2));
    EXPECT_GT(int(first[middle]) + first[middle + 1] + first[middle + 2], 30);
}

TEST_F(KVCaptureTest, FrameLimitClosesTheMovieWithAMessage)
{
    if (const std::string reason = test::FFmpegMissingReason(); !reason.empty())
        GTEST_SKIP() << reason;
    TForm1& form = Form();
    const auto movie = Dir / "short.mp4";
    Arm(movie, 30, true, 5);
    Command("AnimateBtn")->trigger();
    CaptureBtn()->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Recorder.Informations.isEmpty(); }, 20000));
    Command("StopBtn")->trigger();
    EXPECT_EQ(Recorder.Informations, QStringList{"Frame Limit Exceeded\nAVI has been closed."});
    EXPECT_FALSE(form.CaptureActive());
    EXPECT_FALSE(Command("CaptureBtn")->isChecked());
    EXPECT_FALSE(Command("CaptureBtn")->isEnabled());
    const test::TProbedMovie probed = test::ProbeMovie(movie);
    EXPECT_EQ(probed.Codec, "h264");
    EXPECT_EQ(probed.Frames, 5);
}

TEST_F(KVCaptureTest, ClosingTheWindowFinishesTheMovie)
{
    if (const std::string reason = test::FFmpegMissingReason(); !reason.empty())
        GTEST_SKIP() << reason;
    TForm1& form = Form();
    const auto movie = Dir / "closed.avi";
    Arm(movie, 30, false, 180);
    Command("AnimateBtn")->trigger();
    CaptureBtn()->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.CapturedFrames() >= 4; }, 20000));
    Command("StopBtn")->trigger();
    const int frames = form.CapturedFrames();
    Form_.reset();
    EXPECT_EQ(test::ProbeMovie(movie).Frames, frames);
}

TEST_F(KVCaptureTest, AMovieThatCannotBeMadeIsReportedAndTheButtonReleased)
{
    TForm1& form = Form();
    Arm(Dir / "missing" / "ball.avi", 18, true, 180);
    CaptureBtn()->click();
    EXPECT_FALSE(form.CaptureActive());
    ASSERT_EQ(Recorder.Errors.size(), 1);
    EXPECT_TRUE(Recorder.Errors[0].startsWith("Unable to create AVI file (\".avi\"): Disk open error.")) << Recorder.Errors[0].toStdString();
    EXPECT_FALSE(Command("CaptureBtn")->isChecked());
    EXPECT_FALSE(Command("CaptureBtn")->isEnabled());
    // Releasing a button that never started anything changes nothing.
    EXPECT_FALSE(std::filesystem::exists(Dir / "missing"));
}

} // namespace
} // namespace kv
