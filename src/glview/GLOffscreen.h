#pragma once
// Pictures of a scene without a visible window, for the command-line tool's renders (a still
// now, the frames of a spin later): a TGLViewer that is shown with Qt::WA_DontShowOnScreen, so
// it gets a real OpenGL context from the display (Xvfb with Mesa will do) but never appears,
// and each frame is read back from its framebuffer.
//
// It needs a QApplication and a display: Qt's "offscreen" platform has no OpenGL here.

#include "glview/GLViewer.h"

#include <QImage>

#include <filesystem>
#include <memory>

namespace kv {

class TOffscreenView {
public:
    // A hidden viewer of width x height pixels with an empty scene. Throws EKorvelaError when no
    // OpenGL context could be made.
    TOffscreenView(int width, int height);
    ~TOffscreenView();

    TGLViewer& Viewer() { return *Viewer_; }
    // Draws one frame of the scene as it is and returns it.
    QImage Grab();

private:
    std::unique_ptr<TGLViewer> Viewer_;
};

// True when Qt can reach a display for OpenGL windows (DISPLAY or WAYLAND_DISPLAY is set).
bool DisplayAvailable();

// The picture as a PNG file, saved through WriteFileAtomically.
void SavePNG(const QImage& image, const std::filesystem::path& fileName);

} // namespace kv
