#include "glview/GLFog.h"

#include "gl/GLLibrary.h"

#include <GL/gl.h>

namespace kv {

template <typename T> void TGLFog::Store(T& field, T value)
{
    if (field == value)
        return;
    field = value;
    if (InContext_)
        InContext_([this] { Apply(); });
    else
        Apply();
}

void TGLFog::SetFogMode(uint8_t mode)
{
    Store(FogMode_, mode);
}
void TGLFog::SetEnabled(bool enabled)
{
    Store(Enabled_, enabled);
}
void TGLFog::SetFogEnd(double end)
{
    Store(FogEnd_, end);
}
void TGLFog::SetDensity(double density)
{
    Store(Density_, density);
}
void TGLFog::SetFogStart(double start)
{
    Store(FogStart_, start);
}
void TGLFog::SetFogColor(uint32_t color)
{
    Store(FogColor_, color);
}
void TGLFog::SetHint(uint8_t hint)
{
    Store(Hint_, hint);
}

void TGLFog::Apply() const
{
    if (Enabled_)
        glEnable(GL_FOG);
    else
        glDisable(GL_FOG);
    static constexpr GLint modes[] = {GL_LINEAR, GL_EXP, GL_EXP2};
    glFogi(GL_FOG_MODE, FogMode_ < 3 ? modes[FogMode_] : GL_EXP2);
    glFogf(GL_FOG_DENSITY, static_cast<float>(Density_));
    glFogfv(GL_FOG_COLOR, Float4ToArray(ColorToFloat4(FogColor_)).data());
    glFogf(GL_FOG_START, static_cast<float>(FogStart_));
    glFogf(GL_FOG_END, static_cast<float>(FogEnd_));
    glHint(GL_FOG_HINT, Hint_ == 0 ? GL_FASTEST : GL_NICEST);
}

} // namespace kv
