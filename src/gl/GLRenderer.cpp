#include "gl/GLRenderer.h"

namespace kv {

TGLRenderer::TGLRenderer() : Texture(std::make_unique<TGLObjectTexture>())
{
    ResetPos = {};
    Position = {};
    FlyThrough = true;
    TGLRenderer::ResetAll();
}

TGLRenderer::~TGLRenderer() = default;

void TGLRenderer::Assign(const TGLObject& source)
{
    if (&source == this)
        return;
    TGLObject::Assign(source);
    const auto* renderer = dynamic_cast<const TGLRenderer*>(&source);
    if (!renderer)
        return;
    DoAlphaBlend = renderer->DoAlphaBlend;
    Transparency = renderer->Transparency;
    TransparentDepth = renderer->TransparentDepth;
    BlendBackground = renderer->BlendBackground;
    LightEmission = renderer->LightEmission;
    LightSpecular = renderer->LightSpecular;
    LightShininess = renderer->LightShininess;
    Texture->Assign(*renderer->Texture);
    SetColor(renderer->GetColor());
    SetRenderMode(renderer->RenderMode());
    SetDoTwoSidedLighting(renderer->DoTwoSidedLighting());
    SetDoFrontBackColor(renderer->DoFrontBackColor());
    SetFrontColor(renderer->FrontColor());
    SetBackColor(renderer->BackColor());
}

void TGLRenderer::SetRenderMode(uint8_t mode)
{
    if (mode == RenderMode_)
        return;
    RenderMode_ = mode;
    Changed();
}

void TGLRenderer::ResetAll()
{
    Reset();
    SetScale(1);
    LightEmission = {0, 0, 0, 0};
    LightSpecular = {0.5f, 0.5f, 0.5f, 1.0f};
    LightShininess = 10.0f;
}

void TGLRenderer::SetBackColor(uint32_t color)
{
    if (color == BackColor_)
        return;
    BackColor_ = color;
    Changed();
}

void TGLRenderer::SetFrontColor(uint32_t color)
{
    if (color == FrontColor_)
        return;
    FrontColor_ = color;
    Changed();
}

void TGLRenderer::SetDoTwoSidedLighting(bool on)
{
    if (on == DoTwoSidedLighting_)
        return;
    DoTwoSidedLighting_ = on;
    Changed();
}

void TGLRenderer::SetDoFrontBackColor(bool on)
{
    if (on == DoFrontBackColor_)
        return;
    DoFrontBackColor_ = on;
    Changed();
}

TBlendState TGLRenderer::BlendState() const
{
    if (!DoAlphaBlend)
        return {false, GLBlendSrcAlpha, GLBlendOne, true};
    if (UserBlend)
        return {true, BlendSource, BlendDest, TransparentDepth};
    if (BlendBackground)
        return {true, GLBlendSrcAlpha, GLBlendOneMinusSrcAlpha, TransparentDepth};
    return {true, GLBlendSrcAlpha, GLBlendOne, TransparentDepth};
}

} // namespace kv
