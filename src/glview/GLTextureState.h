#pragma once
// Object textures in OpenGL: the viewer's names for them, the upload of their pictures (with
// mipmaps) and the state an enabled texture sets around its object's draw: generated coordinates
// under the texture matrix, computed coordinates sent by the mesh, or a cube map. Names of
// textures that left the scene are deleted at the next Collect. Every call needs the viewer's
// context current.

#include "gl/GLCubeMap.h"
#include "gl/GLTexture.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace kv {

class TGLObject;

class TGLTextureState {
public:
    // Uploads when needed, then sets up the texture by its mode. The model-view matrix is the
    // object's parent's (eye-linear planes are taken under it).
    void Enable(TGLObjectTexture& texture);
    // After the object's draw: the cube map's generation and target, or the 2D target, off.
    void Disable(const TGLObjectTexture& texture);
    // Deletes the names of textures that are no longer among `objects`' textures.
    void Collect(const std::vector<TGLObject*>& objects);
    // Deletes every name and marks the textures of `objects` for a new upload (the context goes).
    void FreeAll(const std::vector<TGLObject*>& objects);

private:
    uint32_t NameFor(uint32_t& name, const void* owner);
    void Upload(TGLObjectTexture& texture);
    void Upload(TGLCubeMap& cube);
    void EnableCubeMap(TGLCubeMap& cube);

    // Name -> the texture or cube map it was made for.
    std::unordered_map<uint32_t, const void*> Owners_;
};

} // namespace kv
