#include "glview/GLViewer.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QSurfaceFormat>

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cfloat>

namespace kv {

// The figure object.

uint32_t TGLFigureObject::GetColor() const
{
    return Triangles_.empty() ? 0xFFFFFF : Triangles_.front().Color;
}

void TGLFigureObject::ResetAll()
{
    TGLRenderer::ResetAll();
    SetTriangles({});
}

void TGLFigureObject::SetColor(uint32_t color)
{
    for (TFigureTriangle& t : Triangles_)
        t.Color = color;
    Changed();
}

void TGLFigureObject::SetTriangles(std::vector<TFigureTriangle> triangles)
{
    Triangles_ = std::move(triangles);
    Vector3D low{DBL_MAX, DBL_MAX, DBL_MAX};
    Vector3D high{-DBL_MAX, -DBL_MAX, -DBL_MAX};
    for (const TFigureTriangle& t : Triangles_)
        for (const Vector3D& p : t.Corners) {
            low = VectorMin(low, p);
            high = VectorMax(high, p);
        }
    if (Triangles_.empty())
        low = high = Vector3D{};
    ExtentMin = low;
    ExtentMax = high;
    Changed();
}

void SetDefaultSurfaceFormat()
{
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setVersion(2, 1);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    format.setAlphaBufferSize(8);
    format.setDepthBufferSize(24);
    QSurfaceFormat::setDefaultFormat(format);
}

// The viewer.

TGLViewer::TGLViewer(QWidget* parent)
    : QOpenGLWidget(parent), Fog_([this](const std::function<void()>& work) { InContext(work); })
{
    setObjectName(QStringLiteral("GLViewer"));
    Lights_[0].Enabled = true;
    BaseFrame_.SetName("BaseFrame");
    auto mesh = std::make_unique<TGLFigureObject>();
    mesh->SetName("BaseMesh");
    Objects_.Add(std::move(mesh));
    Objects_.OnChange = [this](TGLObjectList*) { ObjectsChanged(); };
    BaseFrame_.OnChange = [this](TGLObject*) { ObjectsChanged(); };
    Clock_.start();
}

TGLViewer::~TGLViewer()
{
    Objects_.OnChange = nullptr;
    BaseFrame_.OnChange = nullptr;
    if (ContextCreated_ && context()) {
        makeCurrent();
        FreeContextResources();
        doneCurrent();
    }
}

void TGLViewer::ObjectsChanged()
{
    emit ObjectChange();
    emit Change();
}

void TGLViewer::InContext(const std::function<void()>& work)
{
    if (!ContextCreated_ || !context())
        return;
    makeCurrent();
    work();
    doneCurrent();
}

void TGLViewer::FreeContextResources()
{
    // The background picture is drawn from client memory and the figures in immediate mode, so
    // the context holds nothing of ours yet; textures will be freed here.
}

void TGLViewer::SetShowDefaultScene(bool show)
{
    if (ShowDefaultScene_ == show)
        return;
    ShowDefaultScene_ = show;
    RebuildDefaultScene();
    update();
}

void TGLViewer::SetSceneType(TSceneType type)
{
    if (SceneType_ == type)
        return;
    SceneType_ = type;
    RebuildDefaultScene();
    update();
}

void TGLViewer::SetScreenColor(uint32_t color)
{
    if (ScreenColor_ == color)
        return;
    ScreenColor_ = color;
    update();
}

void TGLViewer::SetWireFrameLight(bool on)
{
    if (WireFrameLight_ == on)
        return;
    WireFrameLight_ = on;
    update();
}

void TGLViewer::SetNormalAmbient(const Float4& ambient)
{
    if (NormalAmbient_ == ambient)
        return;
    NormalAmbient_ = ambient;
    update();
}

TGLFigureObject* TGLViewer::FirstMesh() const
{
    for (int32_t i = 0; i < Objects_.Count(); ++i)
        if (auto* mesh = dynamic_cast<TGLFigureObject*>(Objects_.Items(i)))
            return mesh;
    return nullptr;
}

int64_t TGLViewer::TriangleCount() const
{
    int64_t count = 0;
    for (int32_t i = 0; i < Objects_.Count(); ++i)
        if (const auto* mesh = dynamic_cast<const TGLFigureObject*>(Objects_.Items(i)))
            count += mesh->TriangleCount();
    return count;
}

void TGLViewer::FitToView()
{
    Vector3D low;
    Vector3D high;
    for (int32_t i = 0; i < Objects_.Count(); ++i) {
        const TGLObject* object = Objects_.Items(i);
        if (!object->Visible)
            continue;
        low = VectorMin(low, object->GetExtentMin());
        high = VectorMax(high, object->GetExtentMax());
    }
    const double s = FitToViewScale(ViewWidth_, low, high);
    for (int32_t i = 0; i < Objects_.Count(); ++i) {
        TGLObject* object = Objects_.Items(i);
        if (!object->Visible)
            continue;
        object->ResetPose();
        object->SetScale(s);
    }
    update();
}

void TGLViewer::RebuildDefaultScene()
{
    TGLFigureObject* mesh = FirstMesh();
    if (!mesh)
        return;
    mesh->ResetAll();
    if (ShowDefaultScene_)
        mesh->SetTriangles(BuildTestFigure(SceneType_));
    mesh->ResetPose();
}

// Context, projection and rendering.

void TGLViewer::initializeGL()
{
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, [this] {
        makeCurrent();
        FreeContextResources();
        doneCurrent();
        ContextCreated_ = false;
    });
    ContextCreated_ = true;
    ApplyProjection(width(), height());
    Fog_.Apply();
    Lights_.Reset();
    NormalAmbient_ = {0.1f, 0.1f, 0.1f, 0.1f};
    glEnable(GL_DEPTH_TEST);
    RebuildDefaultScene();
    emit WindowCreated();
}

void TGLViewer::ApplyProjection(int w, int h)
{
    ViewWidth_ = w / 100.0;
    ViewHeight_ = h / 100.0;
    const qreal ratio = devicePixelRatioF();
    glViewport(0, 0, static_cast<GLsizei>(w * ratio), static_cast<GLsizei>(h * ratio));
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const TViewFrustum f = ViewFrustum(w, h);
    glFrustum(f.Left, f.Right, f.Bottom, f.Top, f.Near, f.Far);
    glMatrixMode(GL_MODELVIEW);
}

void TGLViewer::resizeGL(int w, int h)
{
    ApplyProjection(w, h);
}

void TGLViewer::paintGL()
{
    if (!RenderEnabled_)
        return;
    Render();
}

void TGLViewer::Render()
{
    if (QCoreApplication::closingDown())
        return;
    std::lock_guard lock(RenderLock_);
    const auto start = static_cast<uint32_t>(Clock_.nsecsElapsed() / 1000);
    glMatrixMode(GL_MODELVIEW);
    const Float4 clear = ColorToFloat4(ScreenColor_);
    glClearColor(clear.r, clear.g, clear.b, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_NORMALIZE);
    glCullFace(GL_BACK);
    glEnable(GL_CULL_FACE);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_LIGHTING);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT,
                   Float4ToArray(WireFrameLight_ ? WireFrameAmbient_ : NormalAmbient_).data());
    Lights_.Apply();
    emit DisplayChanging();
    if (BackTexture_.Enabled) {
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        BackTexture_.Draw();
    }
    glLoadIdentity();
    gluLookAt(Camera_.Eye.x, Camera_.Eye.y, Camera_.Eye.z, Camera_.Center.x, Camera_.Center.y, Camera_.Center.z,
              Camera_.Up.x, Camera_.Up.y, Camera_.Up.z);
    BaseFrame_.ApplyTransform(Camera_.LookAtMatrix());
    for (int32_t i = 0; i < Objects_.Count(); ++i) {
        TGLObject& object = *Objects_.Items(i);
        object.ApplyTransform(BaseFrame_.ModelMatrix);
        if (object.Visible)
            DrawObject(object);
    }
    glLoadMatrixd(BaseFrame_.ModelMatrix.Data());
    // Qt swaps the buffers after paintGL returns.
    const auto end = static_cast<uint32_t>(Clock_.nsecsElapsed() / 1000);
    FrameTime_ = FrameTimeSeconds(start, end);
    FPS_ = FrameTime_ > 0 ? 1 / FrameTime_ : 0;
    ++FrameCount_;
    emit Change();
    emit DisplayChange();
}

namespace {

void SetFaceColor(uint32_t color, float alpha)
{
    const Float4 c = ColorToFloat4(color, alpha);
    glColor4f(c.r, c.g, c.b, c.a);
}

void ApplyRendererState(const TGLRenderer& renderer)
{
    const TBlendState blend = renderer.BlendState();
    if (blend.Blend) {
        glBlendFunc(blend.Source, blend.Dest);
        glEnable(GL_BLEND);
    } else {
        glDisable(GL_BLEND);
    }
    if (blend.DepthTest)
        glEnable(GL_DEPTH_TEST);
    else
        glDisable(GL_DEPTH_TEST);
    glLoadMatrixd(renderer.ModelMatrix.Data());
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, Float4ToArray(renderer.LightEmission).data());
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, Float4ToArray(renderer.LightSpecular).data());
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, renderer.LightShininess);
    if (renderer.DoFrontBackColor()) {
        glDisable(GL_COLOR_MATERIAL);
        glMaterialfv(GL_BACK, GL_AMBIENT_AND_DIFFUSE, Float4ToArray(ColorToFloat4(renderer.BackColor())).data());
        glMaterialfv(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, Float4ToArray(ColorToFloat4(renderer.FrontColor())).data());
    } else {
        glEnable(GL_COLOR_MATERIAL);
    }
    if (renderer.DoTwoSidedLighting())
        glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
    else
        glEnable(GL_COLOR_MATERIAL);
}

void DrawFigure(const TGLFigureObject& figure)
{
    const float alpha = figure.ColorAlpha();
    const auto& triangles = figure.Triangles();
    switch (figure.RenderMode()) {
    case rmWire:
        glShadeModel(GL_FLAT);
        for (const TFigureTriangle& t : triangles) {
            SetFaceColor(t.Color, alpha);
            glBegin(GL_LINE_LOOP);
            for (const Vector3D& p : t.Corners)
                glVertex3d(p.x, p.y, p.z);
            glEnd();
        }
        break;
    case rmFlat:
        glShadeModel(GL_FLAT);
        glBegin(GL_TRIANGLES);
        for (const TFigureTriangle& t : triangles) {
            SetFaceColor(t.Color, alpha);
            const Vector3D n = TriangleNormal(t.Corners[0], t.Corners[1], t.Corners[2]);
            glNormal3d(n.x, n.y, n.z);
            for (const Vector3D& p : t.Corners)
                glVertex3d(p.x, p.y, p.z);
        }
        glEnd();
        break;
    default:
        glShadeModel(GL_SMOOTH);
        glBegin(GL_TRIANGLES);
        for (const TFigureTriangle& t : triangles) {
            SetFaceColor(t.Color, alpha);
            for (int k = 0; k < 3; ++k) {
                glNormal3d(t.Normals[k].x, t.Normals[k].y, t.Normals[k].z);
                glVertex3d(t.Corners[k].x, t.Corners[k].y, t.Corners[k].z);
            }
        }
        glEnd();
        break;
    }
}

} // namespace

void TGLViewer::DrawObject(TGLObject& object)
{
    auto* renderer = dynamic_cast<TGLRenderer*>(&object);
    if (!renderer)
        return;
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    ApplyRendererState(*renderer);
    if (const auto* figure = dynamic_cast<const TGLFigureObject*>(renderer))
        DrawFigure(*figure);
    glPopAttrib();
}

// Mouse: the owner navigates the base frame.

namespace {

unsigned ShiftOf(const QMouseEvent* event)
{
    unsigned shift = 0;
    const Qt::KeyboardModifiers keys = event->modifiers();
    const Qt::MouseButtons buttons = event->buttons();
    if (keys & Qt::ShiftModifier)
        shift |= ssShift;
    if (keys & Qt::AltModifier)
        shift |= ssAlt;
    if (keys & Qt::ControlModifier)
        shift |= ssCtrl;
    if (buttons & Qt::LeftButton)
        shift |= ssLeft;
    if (buttons & Qt::RightButton)
        shift |= ssRight;
    if (buttons & Qt::MiddleButton)
        shift |= ssMiddle;
    return shift;
}

} // namespace

void TGLViewer::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    emit MousePressed(p.x(), p.y(), ShiftOf(event));
}

void TGLViewer::mouseMoveEvent(QMouseEvent* event)
{
    const unsigned shift = ShiftOf(event);
    if (shift == 0)
        return;
    const QPoint p = event->position().toPoint();
    emit MouseMoved(p.x(), p.y(), shift);
}

} // namespace kv
