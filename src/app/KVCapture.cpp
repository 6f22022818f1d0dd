// The window's side of a capture: arming a file, the capture button, and a frame after each
// render of the viewer, read back from OpenGL.

#include "app/KVCapture.h"

#include "app/KVMain.h"
#include "glview/GLViewer.h"
#include "platform/KVError.h"

#include <QAction>
#include <QImage>
#include <QMetaObject>

#include <cstring>

namespace kv {

namespace {

const char* const FrameLimitMessage = "Frame Limit Exceeded\nAVI has been closed.";
const char* const FileAccessMessage = "File Access Error";

} // namespace

void TForm1::ArmAVICapture()
{
    TFileRequest request;
    request.Title = QStringLiteral("Save AVI File");
    request.Filter = QStringLiteral("AVI Files (*.AVI *.avi);;MP4 Files (*.mp4 *.MP4);;All Files (*)");
    request.FileName = QStringLiteral("*.avi");
    request.DefaultExtension = QStringLiteral("avi");
    const QString fileName = Services_.Files.SaveFile ? Services_.Files.SaveFile(request) : QString();
    if (fileName.isEmpty())
        return;
    ArmedCaptureFile_ = fileName.toStdString();
    UpdateCommands();
}

void TForm1::ShowCaptureOptions()
{
    CaptureDlg_->MaxFramesSpinChange();
    Services_.RunDialog(*CaptureDlg_);
}

uint32_t TForm1::CaptureNow() const
{
    return static_cast<uint32_t>(CaptureClock_.nsecsElapsed() / 1000);
}

void TForm1::CaptureBtnClick(bool down)
{
    if (!down) {
        // Released: the movie is finished and a new file must be armed for the next one.
        ArmedCaptureFile_.clear();
        UpdateCommands();
        if (Capture_.Active())
            Capture_.Stop(); // throws when the movie cannot be finished; RunCommand shows it
        return;
    }
    const TCaptureOptions options = CaptureDlg_->Options();
    if (!CaptureClock_.isValid())
        CaptureClock_.start();
    // The movie has the size of the viewer's rendered picture (device pixels).
    const qreal ratio = GLViewer_->devicePixelRatioF();
    const auto width = static_cast<int32_t>(GLViewer_->width() * ratio);
    const auto height = static_cast<int32_t>(GLViewer_->height() * ratio);
    try {
        Capture_.Start(ArmedCaptureFile_, QualityOfCompression(options.Compression), options.FramesPerSec, width,
                       height);
    } catch (...) {
        // A movie that cannot be made is said so, and the button does not stay down over nothing.
        EndCapture(QString());
        throw;
    }
    CaptureLimited_ = options.LimitMovieSize;
    CaptureThrottle_.Start(options, CaptureNow());
}

void TForm1::OfferCaptureFrame()
{
    if (!Capture_.Active())
        return;
    const uint32_t now = CaptureNow();
    if (!CaptureThrottle_.Due(now))
        return;
    QString message;
    try {
        // Called after the render, inside the paint: the picture is read back from the
        // framebuffer the viewer has just drawn, not from the screen.
        const QImage image = GLViewer_->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
        if (CapturePicture_.Width() != image.width() || CapturePicture_.Height() != image.height() ||
            CapturePicture_.PixelFormat() != pf32bit)
            CapturePicture_ = TBitmap(image.width(), image.height(), pf32bit);
        // RGB32 rows are blue, green, red, x bytes: the 32-bit bitmap's own layout.
        for (int32_t y = 0; y < image.height(); ++y)
            std::memcpy(CapturePicture_.ScanLine(y), image.constScanLine(y), size_t(image.width()) * 4);
        Capture_.CaptureFrame(CapturePicture_);
        if (CaptureThrottle_.FrameTaken(now) && CaptureLimited_) {
            Capture_.Stop();
            message = QString::fromLatin1(FrameLimitMessage);
        }
    } catch (const std::exception& error) {
        message = QString::fromLatin1(FileAccessMessage) + QLatin1Char('\n') + QString::fromStdString(error.what());
        try {
            // Finish what was written when that is still possible (a movie at its size limit).
            Capture_.Stop();
        } catch (const std::exception&) {
        }
    }
    if (message.isEmpty())
        return;
    // The message box waits for the paint to end: a modal loop inside a render would run others.
    QMetaObject::invokeMethod(this, [this, message] { EndCapture(message); }, Qt::QueuedConnection);
}

void TForm1::EndCapture(const QString& message)
{
    ArmedCaptureFile_.clear();
    Command("CaptureBtn")->setChecked(false);
    UpdateCommands();
    if (!message.isEmpty() && Services_.Messages.Information)
        Services_.Messages.Information(message);
}

} // namespace kv
