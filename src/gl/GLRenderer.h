#pragma once
// The render state of a drawn object as plain data: render mode, blending and transparency,
// material values, front/back colours and the texture. The viewer turns it into OpenGL state; the
// helpers below say which state, so that decision is tested without a display.

#include "gl/GLLibrary.h"
#include "gl/GLObject.h"
#include "gl/GLTexture.h"

#include <cstdint>
#include <memory>

namespace kv {

// OpenGL blend factors, by the numbers OpenGL gives them (GL_ZERO, GL_ONE, GL_SRC_COLOR, ...).
constexpr uint32_t GLBlendOne = 1;
constexpr uint32_t GLBlendSrcAlpha = 0x0302;
constexpr uint32_t GLBlendOneMinusSrcAlpha = 0x0303;

enum TRenderMode : uint8_t { rmWire = 0, rmFlat = 1, rmSmooth = 2 };

// What blending the object asks of OpenGL.
struct TBlendState {
    bool Blend = false;
    uint32_t Source = GLBlendSrcAlpha;
    uint32_t Dest = GLBlendOne;
    bool DepthTest = true;
    bool operator==(const TBlendState&) const = default;
};

class TGLRenderer : public TGLObject {
public:
    // Smooth rendering, fly-through manipulation, the material defaults.
    TGLRenderer();
    ~TGLRenderer() override;

    std::unique_ptr<TGLObject> Create() const override { return std::make_unique<TGLRenderer>(); }
    // The object's state, then (from a renderer) blending, transparency, material, colour, render
    // mode, lighting and front/back colours. UserBlend, BlendSource and BlendDest are not copied.
    void Assign(const TGLObject& source) override;

    // Virtual operations added by the renderer, in this order.
    // The object's colour; classes with geometry answer their own. Without geometry: white.
    virtual uint32_t GetColor() const { return 0xFFFFFF; }
    // Stores the mode and notifies a change, when it differs.
    virtual void SetRenderMode(uint8_t mode);
    // Reset, unit scale and the material defaults.
    virtual void ResetAll();
    // Recolours the geometry; the base has none.
    virtual void SetColor(uint32_t) {}

    uint8_t RenderMode() const { return RenderMode_; }
    uint32_t BackColor() const { return BackColor_; }
    void SetBackColor(uint32_t color);
    uint32_t FrontColor() const { return FrontColor_; }
    void SetFrontColor(uint32_t color);
    bool DoTwoSidedLighting() const { return DoTwoSidedLighting_; }
    void SetDoTwoSidedLighting(bool on);
    bool DoFrontBackColor() const { return DoFrontBackColor_; }
    void SetDoFrontBackColor(bool on);

    // The blend function and depth test this object draws with.
    TBlendState BlendState() const;
    // Alpha of vertex colours: (100 - Transparency) / 100.
    float ColorAlpha() const { return static_cast<float>((100 - Transparency) / 100); }

    bool DoAlphaBlend = false;
    bool UserBlend = false;
    bool TransparentDepth = false;
    bool BlendBackground = false;
    uint32_t BlendSource = GLBlendSrcAlpha;
    uint32_t BlendDest = GLBlendOne;
    double Transparency = 0; // percent
    Float4 LightEmission{0, 0, 0, 0};
    Float4 LightSpecular{0.5f, 0.5f, 0.5f, 1.0f};
    float LightShininess = 10.0f;
    // Owned; disabled until it is given a picture.
    std::unique_ptr<TGLObjectTexture> Texture;

private:
    uint32_t BackColor_ = 0xFF0000;  // blue
    uint32_t FrontColor_ = 0x008000; // green
    bool DoTwoSidedLighting_ = false;
    bool DoFrontBackColor_ = false;
    uint8_t RenderMode_ = rmSmooth;
};

} // namespace kv
