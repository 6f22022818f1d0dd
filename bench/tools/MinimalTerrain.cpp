#include "MinimalTerrain.h"

#include <GL/gl.h>

#include <cmath>
#include <cstring>

void TMinimalTerrain::Build(int quadsX, int quadsY, double (*heightAt)(int x, int y), double spacing)
{
    const int columns = quadsX + 1;
    const auto at = [columns](int x, int y) { return static_cast<uint32_t>(y * columns + x); };
    Positions_.clear();
    for (int y = 0; y <= quadsY; ++y)
        for (int x = 0; x <= quadsX; ++x)
            Positions_.insert(Positions_.end(), {float(x * spacing - quadsX * spacing / 2),
                                                 float(y * spacing - quadsY * spacing / 2), float(heightAt(x, y))});
    Triangles_.clear();
    for (int y = 0; y < quadsY; ++y)
        for (int x = 0; x < quadsX; ++x)
            Triangles_.insert(Triangles_.end(),
                              {at(x, y), at(x + 1, y), at(x, y + 1), at(x + 1, y), at(x + 1, y + 1), at(x, y + 1)});
    Normals_.assign(Positions_.size(), 0.0f);
    for (size_t t = 0; t < Triangles_.size(); t += 3) {
        const float* a = &Positions_[3 * Triangles_[t]];
        const float* b = &Positions_[3 * Triangles_[t + 1]];
        const float* c = &Positions_[3 * Triangles_[t + 2]];
        const float u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
        const float v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
        const float n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
        for (int k = 0; k < 3; ++k)
            for (int i = 0; i < 3; ++i)
                Normals_[3 * Triangles_[t + k] + i] += n[i];
    }
    Edges_.clear();
    for (size_t t = 0; t < Triangles_.size(); t += 3) {
        const uint32_t a = Triangles_[t], b = Triangles_[t + 1], c = Triangles_[t + 2];
        Edges_.insert(Edges_.end(), {a, b, b, c, c, a});
    }
    BuildFaceted();
}

void TMinimalTerrain::BuildFaceted()
{
    const size_t points = Positions_.size() / 3;
    const size_t triangles = Triangles_.size() / 3;
    FacetedPositions_.clear();
    FacetedNormals_.clear();
    FacetedTriangles_.resize(Triangles_.size());
    // A grid point's stand-in for the corners that do not decide: the first vertex made there.
    constexpr uint32_t None = 0xFFFFFFFFu;
    std::vector<uint32_t> standIn(points, None);
    const auto add = [&](uint32_t point, const float* normal) {
        const auto made = static_cast<uint32_t>(FacetedPositions_.size() / 3);
        FacetedPositions_.insert(FacetedPositions_.end(), &Positions_[3 * point], &Positions_[3 * point] + 3);
        FacetedNormals_.insert(FacetedNormals_.end(), normal, normal + 3);
        if (standIn[point] == None)
            standIn[point] = made;
        return made;
    };
    for (size_t t = 0; t < triangles; ++t) {
        const float* a = &Positions_[3 * Triangles_[3 * t]];
        const float* b = &Positions_[3 * Triangles_[3 * t + 1]];
        const float* c = &Positions_[3 * Triangles_[3 * t + 2]];
        const float u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
        const float v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
        const float n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
        FacetedTriangles_[3 * t + 2] = add(Triangles_[3 * t + 2], n);
    }
    const float up[3] = {0, 0, 1};
    for (size_t k = 0; k < Triangles_.size(); ++k) {
        if (k % 3 == 2)
            continue;
        const uint32_t point = Triangles_[k];
        FacetedTriangles_[k] = standIn[point] != None ? standIn[point] : add(point, up);
    }
}

int64_t TMinimalTerrain::VertexCount() const
{
    return static_cast<int64_t>((Mode_ == mdFaceted ? FacetedPositions_.size() : Positions_.size()) / 3);
}

void TMinimalTerrain::SetView(const double* modelView, const double (&frustum)[6])
{
    std::memcpy(ModelView_, modelView, sizeof ModelView_);
    std::memcpy(Frustum_, frustum, sizeof Frustum_);
}

void TMinimalTerrain::paintGL()
{
    glViewport(0, 0, width(), height());
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_NORMALIZE);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(Frustum_[0], Frustum_[1], Frustum_[2], Frustum_[3], Frustum_[4], Frustum_[5]);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const float directional[4] = {0, 0, 1, 0};
    const float point[4] = {8, 8, 16, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, PointLight_ ? point : directional);
    glLoadMatrixd(ModelView_);
    glColor3f(0.0f, 0.63f, 0.0f);
    const float specular[4] = {0.5f, 0.5f, 0.5f, 1.0f};
    const float none[4] = {0, 0, 0, 1};
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, Specular_ ? specular : none);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, Specular_ ? 10.0f : 0.0f);
    const bool faceted = Mode_ == mdFaceted;
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, faceted ? FacetedPositions_.data() : Positions_.data());
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, 0, faceted ? FacetedNormals_.data() : Normals_.data());
    if (faceted) {
        glShadeModel(GL_FLAT);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(FacetedTriangles_.size()), GL_UNSIGNED_INT,
                       FacetedTriangles_.data());
    } else if (Mode_ == mdWire) {
        glShadeModel(GL_FLAT);
        glDrawElements(GL_LINES, static_cast<GLsizei>(Edges_.size()), GL_UNSIGNED_INT, Edges_.data());
    } else {
        glShadeModel(Mode_ == mdFlat ? GL_FLAT : GL_SMOOTH);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(Triangles_.size()), GL_UNSIGNED_INT, Triangles_.data());
    }
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glFinish();
}
