#include "glview/GLViewer.h"

#include "glview/GLObjectDraw.h"
#include "glview/GLTextureDraw.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QSurfaceFormat>

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cfloat>
#include <memory>

namespace kv {

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
    BaseFrame_.Strings().Items(BaseFrame_.Strings().NewString())->SetName("BaseString");
    BaseFrame_.Meshes().NewMesh()->SetName("BaseMesh");
    BaseFrame_.Lines().Items(BaseFrame_.Lines().NewLines())->SetName("BaseLines");
    BaseFrame_.OnChange = [this](TGLObject*) { ObjectsChanged(); };
    Clock_.start();
}

TGLViewer::~TGLViewer()
{
    BaseFrame_.OnChange = nullptr;
    // The context outlives this object's members: it must not call back into them.
    QObject::disconnect(ContextGone_);
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
    if (Painting_) {
        work(); // the context is current, with Qt's framebuffer bound: leave both as they are
        return;
    }
    if (!ContextCreated_ || !context())
        return;
    makeCurrent();
    work();
    doneCurrent();
}

void TGLViewer::FreeContextResources()
{
    // The background picture is drawn from client memory; the context holds the object textures,
    // the glyph lists of 3D text and the meshes' buffer objects.
    const std::vector<TGLObject*> objects = SceneObjects();
    Textures_.FreeAll(objects);
    TextLists_.FreeAll(objects);
    MeshBuffers_.FreeAll();
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

TGLMesh* TGLViewer::FirstMesh() const
{
    return BaseFrame_.Meshes().Count() > 0 ? BaseFrame_.Meshes().Mesh(0) : nullptr;
}

void TGLViewer::FitToView()
{
    Vector3D low;
    Vector3D high;
    for (const TFrameItem& item : BaseFrame_.AllObjects()) {
        if (!item.Object->Visible)
            continue;
        low = VectorMin(low, item.Object->GetExtentMin());
        high = VectorMax(high, item.Object->GetExtentMax());
    }
    const double s = FitToViewScale(ViewWidth_, low, high);
    for (const TFrameItem& item : BaseFrame_.AllObjects()) {
        if (!item.Object->Visible)
            continue;
        item.Object->ResetPose();
        item.Object->SetScale(s);
    }
    update();
}

void TGLViewer::RebuildDefaultScene()
{
    TGLMesh* mesh = FirstMesh();
    if (!mesh)
        return;
    mesh->ResetAll();
    if (ShowDefaultScene_) {
        BaseFrame_.Strings().Clear();
        BuildTestFigure(*mesh, SceneType_);
    }
    mesh->ResetPose();
}

// Context, projection and rendering.

void TGLViewer::initializeGL()
{
    QObject::disconnect(ContextGone_);
    ContextGone_ = connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, [this] {
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
    // Only the figure is rebuilt: a scene loaded before the context existed stays as it is.
    if (ShowDefaultScene_)
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
    Painting_ = true;
    const std::unique_ptr<bool, void (*)(bool*)> painting(&Painting_, [](bool* flag) { *flag = false; });
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
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, Float4ToArray(WireFrameLight_ ? WireFrameAmbient_ : NormalAmbient_).data());
    Lights_.Apply();
    emit DisplayChanging();
    if (BackTexture_.Enabled) {
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        DrawBackTexture(BackTexture_);
    }
    glLoadIdentity();
    gluLookAt(Camera_.Eye.x, Camera_.Eye.y, Camera_.Eye.z, Camera_.Center.x, Camera_.Center.y, Camera_.Center.z,
              Camera_.Up.x, Camera_.Up.y, Camera_.Up.z);
    Matrix4x4 projection;
    glGetDoublev(GL_PROJECTION_MATRIX, projection.Data());
    // Items of hidden frames and hidden items only have their matrices recorded.
    std::vector<TGLObject*> drawn;
    BaseFrame_.ApplyTree(Camera_.LookAtMatrix(), [&drawn](const TFrameDrawItem& item) {
        if (item.Draw)
            drawn.push_back(item.Object);
    });
    for (TGLObject* object : drawn)
        DrawObject(*object, projection);
    glLoadMatrixd(BaseFrame_.ModelMatrix.Data());
    // Names and lists of objects that left the scene.
    const std::vector<TGLObject*> objects = SceneObjects();
    Textures_.Collect(objects);
    TextLists_.Collect(objects);
    MeshBuffers_.Collect(objects);
    // Qt swaps the buffers after paintGL returns; finishing here makes the frame time cover the
    // drawing itself, which Mesa would otherwise still be doing behind our back.
    glFinish();
    const auto end = static_cast<uint32_t>(Clock_.nsecsElapsed() / 1000);
    FrameTime_ = FrameTimeSeconds(start, end);
    FPS_ = FrameTime_ > 0 ? 1 / FrameTime_ : 0;
    ++FrameCount_;
    emit Change();
    emit DisplayChange();
}

void TGLViewer::DrawObject(TGLObject& object, const Matrix4x4& projection)
{
    auto* renderer = dynamic_cast<TGLRenderer*>(&object);
    if (!renderer)
        return;
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    TGLObjectTexture* texture = renderer->Texture && renderer->Texture->Enabled ? renderer->Texture.get() : nullptr;
    if (texture) {
        // The texture is set up under the parent's matrix, as the frame holding the object has it.
        glLoadMatrixd(renderer->ParentMatrix.Data());
        Textures_.Enable(*texture);
    }
    ApplyRendererState(*renderer);
    if (auto* mesh = dynamic_cast<TGLMesh*>(renderer))
        DrawMesh(*mesh, projection, DrawIndices_, &MeshBuffers_);
    else if (auto* lines = dynamic_cast<TGLLines*>(renderer))
        DrawLines(*lines, projection);
    else if (auto* text = dynamic_cast<TGL3DString*>(renderer))
        TextLists_.Draw(*text);
    if (texture)
        Textures_.Disable(*texture);
    glPopAttrib();
}

std::vector<TGLObject*> TGLViewer::SceneObjects() const
{
    std::vector<TGLObject*> objects;
    objects.reserve(BaseFrame_.AllObjects().size());
    for (const TFrameItem& item : BaseFrame_.AllObjects())
        objects.push_back(item.Object);
    return objects;
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
