#pragma once
// TGLViewer: the OpenGL view of the scene. It owns the fixed camera, eight lights, the fog, the
// background picture and the scene root (the base frame with its objects), renders on every
// paint and measures each frame. Navigation is done by the owner on BaseFrame() through the
// object operations (Move, RotateBy, MouseDown, MouseMove, AnimateStep), followed by update().
//
// The widget needs a compatibility-profile context: call SetDefaultSurfaceFormat() before the
// first widget is created. GL resources are made in initializeGL and freed when the context goes
// away, between makeCurrent and doneCurrent.

#include "gl/GLCamera.h"
#include "gl/GLFrame.h"
#include "gl/GLMesh.h"
#include "gl/GLTestFigures.h"
#include "gl/GLTexture.h"
#include "glview/GL3DTextDraw.h"
#include "glview/GLFog.h"
#include "glview/GLLights.h"
#include "glview/GLMeshBuffers.h"
#include "glview/GLTextureState.h"

#include <QElapsedTimer>
#include <QOpenGLWidget>

#include <cstdint>
#include <mutex>
#include <vector>

namespace kv {

// 2.1 compatibility profile, double-buffered RGBA with a 24-bit depth buffer; before any widget.
void SetDefaultSurfaceFormat();

class TGLViewer : public QOpenGLWidget {
    Q_OBJECT

public:
    explicit TGLViewer(QWidget* parent = nullptr);
    ~TGLViewer() override;

    // False: painting does nothing (a scene being loaded is never drawn half-built).
    bool RenderEnabled() const { return RenderEnabled_; }
    void SetRenderEnabled(bool enabled) { RenderEnabled_ = enabled; }

    bool ShowDefaultScene() const { return ShowDefaultScene_; }
    void SetShowDefaultScene(bool show);
    TSceneType SceneType() const { return SceneType_; }
    void SetSceneType(TSceneType type);
    uint32_t ScreenColor() const { return ScreenColor_; }
    void SetScreenColor(uint32_t color);
    bool WireFrameLight() const { return WireFrameLight_; }
    void SetWireFrameLight(bool on);
    // The ambient level used without the wire-frame light; (0.1, 0.1, 0.1, 0.1) at creation.
    Float4 NormalAmbient() const { return NormalAmbient_; }
    void SetNormalAmbient(const Float4& ambient);

    const TGLCamera& Camera() const { return Camera_; }
    TGLLightArray& Lights() { return Lights_; }
    TGLFog& Fog() { return Fog_; }
    TGLBackTexture& BackTexture() { return BackTexture_; }
    // The scene root, "BaseFrame", and every object below it.
    TGLBaseFrame& BaseFrame() { return BaseFrame_; }
    int32_t ObjectCount() const { return static_cast<int32_t>(BaseFrame_.AllObjects().size()); }
    TGLObject* Object(int32_t index) const { return BaseFrame_.AllObjects().at(static_cast<size_t>(index)).Object; }
    // The base frame's first mesh, which the default figure fills, or null.
    TGLMesh* FirstMesh() const;
    // Triangles of every mesh below the base frame, visible or not.
    int64_t TriangleCount() const { return BaseFrame_.TriangleCount(); }

    // The view size in hundreds of pixels.
    double ViewWidth() const { return ViewWidth_; }
    double ViewHeight() const { return ViewHeight_; }
    // Seconds of the last render, and its reciprocal.
    double FrameTime() const { return FrameTime_; }
    double FPS() const { return FPS_; }
    int64_t FrameCount() const { return FrameCount_; }
    bool ContextCreated() const { return ContextCreated_; }

    // Scales every visible object so the scene fills the view (a box that always holds the origin).
    void FitToView();
    // Rebuilds the default figure in the first mesh (or empties it), then ResetPose.
    void RebuildDefaultScene();

signals:
    void ObjectChange();    // the base frame reported a change
    void DisplayChanging(); // during each render, after the lights, before background and scene
    void Change();          // after each frame and after each base frame change
    void DisplayChange();   // after each frame, after Change
    void WindowCreated();   // the rendering context exists
    void MousePressed(int x, int y, unsigned shift);
    void MouseMoved(int x, int y, unsigned shift);

protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void ApplyProjection(int w, int h);
    void Render();
    void DrawObject(TGLObject& object, const Matrix4x4& projection);
    void FreeContextResources();
    std::vector<TGLObject*> SceneObjects() const;
    void InContext(const std::function<void()>& work);
    void ObjectsChanged();

    bool RenderEnabled_ = true;
    bool ShowDefaultScene_ = false;
    TSceneType SceneType_ = stSoccerBall;
    uint32_t ScreenColor_ = 0x000000;
    bool WireFrameLight_ = false;
    Float4 NormalAmbient_{0.1f, 0.1f, 0.1f, 0.1f};
    static constexpr Float4 WireFrameAmbient_{1, 1, 1, 1};

    TGLCamera Camera_;
    TGLLightArray Lights_;
    TGLFog Fog_;
    TGLBackTexture BackTexture_;
    TGLBaseFrame BaseFrame_;
    std::vector<uint32_t> DrawIndices_;
    TGLMeshBuffers MeshBuffers_;
    TGLTextureState Textures_;
    TGL3DTextLists TextLists_;

    std::recursive_mutex RenderLock_;
    QElapsedTimer Clock_;
    double ViewWidth_ = 0;
    double ViewHeight_ = 0;
    double FrameTime_ = 0;
    double FPS_ = 0;
    int64_t FrameCount_ = 0;
    bool ContextCreated_ = false;
    bool Painting_ = false;
    QMetaObject::Connection ContextGone_;
};

} // namespace kv
