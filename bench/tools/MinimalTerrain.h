#pragma once
// The yardstick for the viewer's frame rate: the least a fixed-function program can do to draw a
// lit terrain. One light, colour material, shared vertices (float positions and normals, one
// colour) and one glDrawElements per frame: triangles (flat or smooth shading) or each triangle's
// three edges as lines. Nothing else is drawn; the frame ends with glFinish, as the viewer's does.
// Flat shading from the averaged vertex normals draws another picture than the viewer's flat mode,
// which lights each triangle by its face normal; the faceted mode draws that picture, from the
// fewest vertices it can be drawn from: every triangle's last corner (the one flat shading takes
// its normal from) its own vertex with the face normal, its other corners any vertex at their place.
#include <QOpenGLWidget>

#include <cstdint>
#include <vector>

class TMinimalTerrain : public QOpenGLWidget {
public:
    enum TMode : uint8_t { mdWire, mdFlat, mdSmooth, mdFaceted };

    // A grid of quadsX x quadsY quads, two triangles each (diagonal from corner (x+1, y) to
    // (x, y+1)), at the heights `heightAt` gives; normals averaged from the faces around each vertex.
    void Build(int quadsX, int quadsY, double (*heightAt)(int x, int y), double spacing);
    void SetMode(TMode mode) { Mode_ = mode; }
    // With a specular highlight (0.5 grey, shininess 10: the viewer's default material) or none.
    void SetSpecular(bool on) { Specular_ = on; }
    // A point light (the viewer's default light: at (8, 8, 16) in eye space) instead of the
    // directional one from the eye; it costs more per vertex.
    void SetPointLight(bool on) { PointLight_ = on; }
    // The model-view matrix column-major, as glLoadMatrixd takes it, and the glFrustum box.
    void SetView(const double* modelView, const double (&frustum)[6]);
    int64_t TriangleCount() const { return static_cast<int64_t>(Triangles_.size() / 3); }
    // The vertices the current mode draws from.
    int64_t VertexCount() const;

protected:
    void paintGL() override;

private:
    void BuildFaceted();

    std::vector<float> Positions_;
    std::vector<float> Normals_;
    std::vector<uint32_t> Triangles_;
    std::vector<uint32_t> Edges_;
    std::vector<float> FacetedPositions_;
    std::vector<float> FacetedNormals_;
    std::vector<uint32_t> FacetedTriangles_;
    double ModelView_[16] = {};
    double Frustum_[6] = {-1, 1, -1, 1, 1, 100};
    TMode Mode_ = mdSmooth;
    bool Specular_ = false;
    bool PointLight_ = false;
};
