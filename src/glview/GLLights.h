#pragma once
// The viewer's eight lights. A light is plain data; Apply sends it to the current OpenGL context
// with an identity model-view matrix, so lights stay fixed relative to the eye.

#include "gl/GLLibrary.h"

#include <array>
#include <cstdint>

namespace kv {

enum TLightType : uint8_t { ltPoint = 0, ltSpot = 1, ltDirectional = 2 };

class TGLLightSource {
public:
    explicit TGLLightSource(int index = 0) : LightID(0x4000u + static_cast<uint32_t>(index)) {}

    // Every field but Enabled and LightID back to its default.
    void Reset();
    // Disables the light, or enables it and sends colours, attenuations, cutoff and position.
    // Needs a current context.
    void Apply();
    // The position OpenGL receives for the light's type: w forced to 1 for a point light and 0
    // for a directional one (from Direction); a spot light's position as stored.
    Float4 GLPosition() const;

    bool Enabled = false;
    Float4 Ambient{0, 0, 0, 1};
    Float4 Diffuse{1, 1, 1, 1};
    Float4 Specular{1, 1, 1, 1};
    float SpotCutoff = 15;
    Float4 LightPosition{8, 8, 16, 1};
    Vector3F SpotDirection{0, 0, -1};
    Float4 Direction{0, 0, 1, 0};
    uint32_t LightID; // GL_LIGHT0 + index
    uint8_t LightType = ltPoint;
    float ConstantAttenuation = 1;
    float LinearAttenuation = 0;
    float QuadraticAttenuation = 0;
};

class TGLLightArray {
public:
    TGLLightArray();
    static constexpr int Count = 8;
    TGLLightSource& operator[](int index) { return Lights_.at(static_cast<size_t>(index)); }
    const TGLLightSource& operator[](int index) const { return Lights_.at(static_cast<size_t>(index)); }
    void Reset();
    void Apply();

private:
    std::array<TGLLightSource, Count> Lights_;
};

} // namespace kv
