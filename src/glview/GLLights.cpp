#include "glview/GLLights.h"

#include <GL/gl.h>

namespace kv {

void TGLLightSource::Reset()
{
    const bool enabled = Enabled;
    const uint32_t id = LightID;
    *this = TGLLightSource();
    Enabled = enabled;
    LightID = id;
}

Float4 TGLLightSource::GLPosition() const
{
    switch (LightType) {
    case ltSpot:
        return LightPosition;
    case ltDirectional:
        return {Direction.r, Direction.g, Direction.b, 0};
    default:
        return {LightPosition.r, LightPosition.g, LightPosition.b, 1};
    }
}

void TGLLightSource::Apply()
{
    const auto id = static_cast<GLenum>(LightID);
    if (!Enabled) {
        glDisable(id);
        return;
    }
    glEnable(id);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glLightfv(id, GL_AMBIENT, Float4ToArray(Ambient).data());
    glLightfv(id, GL_DIFFUSE, Float4ToArray(Diffuse).data());
    glLightfv(id, GL_SPECULAR, Float4ToArray(Specular).data());
    glLightf(id, GL_CONSTANT_ATTENUATION, ConstantAttenuation);
    glLightf(id, GL_LINEAR_ATTENUATION, LinearAttenuation);
    glLightf(id, GL_QUADRATIC_ATTENUATION, QuadraticAttenuation);
    if (LightType == ltSpot) {
        glLightf(id, GL_SPOT_CUTOFF, SpotCutoff);
        const float direction[3] = {SpotDirection.x, SpotDirection.y, SpotDirection.z};
        glLightfv(id, GL_SPOT_DIRECTION, direction);
    } else {
        glLightf(id, GL_SPOT_CUTOFF, 180);
    }
    glLightfv(id, GL_POSITION, Float4ToArray(GLPosition()).data());
}

TGLLightArray::TGLLightArray()
{
    for (int i = 0; i < Count; ++i)
        Lights_[static_cast<size_t>(i)] = TGLLightSource(i);
}

void TGLLightArray::Reset()
{
    for (TGLLightSource& light : Lights_)
        light.Reset();
}

void TGLLightArray::Apply()
{
    for (TGLLightSource& light : Lights_)
        light.Apply();
}

} // namespace kv
