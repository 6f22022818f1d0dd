#include "glview/GLOffscreen.h"

#include "platform/FileIO.h"
#include "platform/KVError.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdlib>

namespace kv {

TOffscreenView::TOffscreenView(int width, int height) : Viewer_(std::make_unique<TGLViewer>())
{
    Viewer_->setAttribute(Qt::WA_DontShowOnScreen);
    Viewer_->setFixedSize(width, height);
    Viewer_->show();
    // The first frame makes the context and sets the view size that FitToView works from.
    QElapsedTimer clock;
    clock.start();
    while (!Viewer_->ContextCreated() && clock.elapsed() < 20000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        if (!Viewer_->ContextCreated())
            Viewer_->grabFramebuffer();
    }
    if (!Viewer_->ContextCreated())
        throw EKorvelaError("Cannot draw the scene: no OpenGL context could be made on this display.");
}

TOffscreenView::~TOffscreenView() = default;

QImage TOffscreenView::Grab()
{
    return Viewer_->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
}

bool DisplayAvailable()
{
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY");
}

void SavePNG(const QImage& image, const std::filesystem::path& fileName)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        throw EKorvelaError("Cannot encode the picture " + fileName.string() + " as PNG.");
    WriteFileAtomically(fileName, std::string_view(bytes.constData(), size_t(bytes.size())));
}

} // namespace kv
