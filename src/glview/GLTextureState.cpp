#include "glview/GLTextureState.h"

#include "gl/GLRenderer.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <functional>
#include <unordered_set>

namespace kv {

namespace {

// A picture whose bytes cover its size; anything else (size 0, or pixels missing after a damaged
// scene file) is not uploaded and the object draws untextured.
bool HasPicture(const TGLBaseBitmap& bitmap)
{
    return bitmap.Width > 0 && bitmap.Height > 0 && bitmap.Image.Count() >= int64_t{bitmap.Width} * bitmap.Height * 4;
}

void BuildMipmaps(GLenum target, const TGLBaseBitmap& bitmap)
{
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    // Three components: the alpha bytes are not kept.
    gluBuild2DMipmaps(target, 3, bitmap.Width, bitmap.Height, GL_RGBA, GL_UNSIGNED_BYTE, bitmap.Image.Items().data());
}

void TexGenPlane(GLenum coord, GLenum planeName, const Float4& plane)
{
    glTexGenfv(coord, planeName, Float4ToArray(plane).data());
}

} // namespace

uint32_t TGLTextureState::NameFor(uint32_t& name, const void* owner)
{
    if (name == 0 || Owners_.find(name) == Owners_.end() || Owners_[name] != owner) {
        GLuint made = 0;
        glGenTextures(1, &made);
        name = made;
        Owners_[made] = owner;
    }
    return name;
}

void TGLTextureState::Upload(TGLObjectTexture& texture)
{
    glBindTexture(GL_TEXTURE_2D, NameFor(texture.TextureName, &texture));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    if (HasPicture(texture))
        BuildMipmaps(GL_TEXTURE_2D, texture);
    texture.Uploaded = true;
}

void TGLTextureState::Upload(TGLCubeMap& cube)
{
    glBindTexture(GL_TEXTURE_CUBE_MAP, NameFor(cube.TextureName, &cube));
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    const std::array<TGLBaseBitmap*, 6> faces = cube.Faces();
    for (size_t i = 0; i < faces.size(); ++i)
        if (HasPicture(*faces[i]))
            BuildMipmaps(GL_TEXTURE_CUBE_MAP_POSITIVE_X + static_cast<GLenum>(i), *faces[i]);
    cube.Uploaded = true;
}

void TGLTextureState::EnableCubeMap(TGLCubeMap& cube)
{
    if (!cube.Uploaded || cube.TextureName == 0)
        Upload(cube);
    glBindTexture(GL_TEXTURE_CUBE_MAP, cube.TextureName);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glEnable(GL_TEXTURE_CUBE_MAP);
    glScaled(cube.Scale().x, cube.Scale().y, cube.Scale().z);
    glTranslated(cube.Offset().x, cube.Offset().y, cube.Offset().z);
    if (cube.MapMode == cmReflectionMap) {
        for (GLenum coord : {GL_S, GL_T, GL_R})
            glTexGeni(coord, GL_TEXTURE_GEN_MODE, GL_REFLECTION_MAP);
    } else {
        for (GLenum coord : {GL_S, GL_T, GL_R})
            glTexGeni(coord, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
        TexGenPlane(GL_R, GL_OBJECT_PLANE, cube.RPlane());
        TexGenPlane(GL_S, GL_OBJECT_PLANE, cube.SPlane());
        TexGenPlane(GL_T, GL_OBJECT_PLANE, cube.TPlane());
    }
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    glEnable(GL_TEXTURE_GEN_R);
    glMatrixMode(GL_MODELVIEW);
}

void TGLTextureState::Enable(TGLObjectTexture& texture)
{
    glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, texture.Highlight() ? GL_SEPARATE_SPECULAR_COLOR : GL_SINGLE_COLOR);
    if (!texture.Uploaded || texture.TextureName == 0)
        Upload(texture);
    if (texture.TextureMode == tmCubeMap) {
        if (texture.CubeMap)
            EnableCubeMap(*texture.CubeMap);
        return;
    }
    glBindTexture(GL_TEXTURE_2D, texture.TextureName);
    glMatrixMode(GL_TEXTURE);
    if (texture.TextureMode == tmComputed) {
        glLoadIdentity();
        glDisable(GL_TEXTURE_GEN_S);
        glDisable(GL_TEXTURE_GEN_T);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    } else {
        glLoadMatrixd(texture.GeneratedTextureMatrix().Data());
        switch (texture.AutoTextureMap) {
        case amEyeLinear:
            glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_EYE_LINEAR);
            glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_EYE_LINEAR);
            // Eye planes are taken under the current model-view matrix, not the texture matrix.
            glMatrixMode(GL_MODELVIEW);
            TexGenPlane(GL_S, GL_EYE_PLANE, texture.SPlane());
            TexGenPlane(GL_T, GL_EYE_PLANE, texture.TPlane());
            break;
        case amSphereMap:
            glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
            glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
            break;
        default:
            glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
            glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
            TexGenPlane(GL_S, GL_OBJECT_PLANE, texture.SPlane());
            TexGenPlane(GL_T, GL_OBJECT_PLANE, texture.TPlane());
            break;
        }
        glEnable(GL_TEXTURE_GEN_S);
        glEnable(GL_TEXTURE_GEN_T);
    }
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_TEXTURE_2D);
}

void TGLTextureState::Disable(const TGLObjectTexture& texture)
{
    if (texture.TextureMode == tmCubeMap) {
        glDisable(GL_TEXTURE_GEN_S);
        glDisable(GL_TEXTURE_GEN_T);
        glDisable(GL_TEXTURE_GEN_R);
        glDisable(GL_TEXTURE_CUBE_MAP);
    } else {
        glDisable(GL_TEXTURE_2D);
    }
}

namespace {

void LiveTextures(const std::vector<TGLObject*>& objects, const std::function<void(TGLObjectTexture&)>& visit)
{
    for (TGLObject* object : objects)
        if (auto* renderer = dynamic_cast<TGLRenderer*>(object); renderer && renderer->Texture)
            visit(*renderer->Texture);
}

} // namespace

void TGLTextureState::Collect(const std::vector<TGLObject*>& objects)
{
    if (Owners_.empty())
        return;
    std::unordered_set<uint32_t> live;
    LiveTextures(objects, [&](TGLObjectTexture& texture) {
        live.insert(texture.TextureName);
        if (texture.CubeMap)
            live.insert(texture.CubeMap->TextureName);
    });
    for (auto it = Owners_.begin(); it != Owners_.end();) {
        if (live.count(it->first)) {
            ++it;
            continue;
        }
        const GLuint name = it->first;
        glDeleteTextures(1, &name);
        it = Owners_.erase(it);
    }
}

void TGLTextureState::FreeAll(const std::vector<TGLObject*>& objects)
{
    for (const auto& [name, owner] : Owners_) {
        const GLuint n = name;
        glDeleteTextures(1, &n);
    }
    Owners_.clear();
    LiveTextures(objects, [](TGLObjectTexture& texture) {
        texture.TextureName = 0;
        texture.Uploaded = false;
        if (texture.CubeMap) {
            texture.CubeMap->TextureName = 0;
            texture.CubeMap->Uploaded = false;
        }
    });
}

} // namespace kv
