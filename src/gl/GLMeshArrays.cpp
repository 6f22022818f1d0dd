#include "gl/GLMeshArrays.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace kv {

namespace {

constexpr uint32_t NoVertex = 0xFFFFFFFFu;

uint64_t MixIn(uint64_t hash, uint64_t bits)
{
    return (std::rotl(hash, 23) ^ bits) * 0x9E3779B97F4A7C15ull;
}

uint64_t MixIn(uint64_t hash, const Vector3D& v)
{
    return MixIn(MixIn(MixIn(hash, std::bit_cast<uint64_t>(v.x)), std::bit_cast<uint64_t>(v.y)),
                 std::bit_cast<uint64_t>(v.z));
}

uint64_t MixIn(uint64_t hash, const Vector2D& v)
{
    return MixIn(MixIn(hash, std::bit_cast<uint64_t>(v.x)), std::bit_cast<uint64_t>(v.y));
}

uint64_t MixIn(uint64_t hash, const Float4& c)
{
    uint64_t rg = 0;
    uint64_t ba = 0;
    std::memcpy(&rg, &c.r, sizeof rg);
    std::memcpy(&ba, &c.b, sizeof ba);
    return MixIn(MixIn(hash, rg), ba);
}

// Bitwise equality: -0 and +0 stay apart, a NaN matches its own bits; either way equal bits reach
// OpenGL as equal input.
template <class T> bool SameBits(const T& a, const T& b)
{
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

// Open addressing over vertex numbers; the vertices' values live in the arrays being folded.
class TVertexTable {
public:
    explicit TVertexTable(size_t entries)
    {
        int bits = 4;
        while ((size_t{1} << bits) < 2 * entries)
            ++bits;
        Shift_ = 64 - bits;
        Slots_.assign(size_t{1} << bits, NoVertex);
    }

    // The vertex already entered that `same` accepts, or `candidate` entered and returned.
    template <class TSame> uint32_t FindOrAdd(uint64_t hash, uint32_t candidate, TSame same)
    {
        const size_t mask = Slots_.size() - 1;
        for (size_t i = (hash * 0xD6E8FEB86659FD93ull) >> Shift_;; i = (i + 1) & mask) {
            const uint32_t slot = Slots_[i];
            if (slot == NoVertex) {
                Slots_[i] = candidate;
                return candidate;
            }
            if (same(slot))
                return slot;
        }
    }

    // The vertex entered that `same` accepts, or NoVertex.
    template <class TSame> uint32_t Find(uint64_t hash, TSame same) const
    {
        const size_t mask = Slots_.size() - 1;
        for (size_t i = (hash * 0xD6E8FEB86659FD93ull) >> Shift_;; i = (i + 1) & mask) {
            const uint32_t slot = Slots_[i];
            if (slot == NoVertex || same(slot))
                return slot;
        }
    }

private:
    std::vector<uint32_t> Slots_;
    int Shift_ = 60;
};

} // namespace

void FoldCorners(TMeshDrawArrays&& corners, bool lastCornerDecides, TMeshIndexedArrays& out)
{
    TMeshDrawArrays& a = corners;
    const size_t count = a.Vertices.size();
    if (count >= NoVertex)
        throw std::length_error("too many corners for 32-bit indices");
    const bool normals = a.Normals.size() == count;
    const bool colors = a.Colors.size() == count;
    const bool texCoords = a.TexCoords.size() == count;
    if (!normals)
        a.Normals.clear();
    if (!colors)
        a.Colors.clear();
    if (!texCoords)
        a.TexCoords.clear();

    const auto placeHash = [&](size_t i) {
        const uint64_t hash = MixIn(0x243F6A8885A308D3ull, a.Vertices[i]);
        return texCoords ? MixIn(hash, a.TexCoords[i]) : hash;
    };
    const auto samePlace = [&](size_t i, size_t j) {
        return SameBits(a.Vertices[i], a.Vertices[j]) && (!texCoords || SameBits(a.TexCoords[i], a.TexCoords[j]));
    };
    const auto sameAll = [&](size_t i, size_t j) {
        return samePlace(i, j) && (!normals || SameBits(a.Normals[i], a.Normals[j])) &&
               (!colors || SameBits(a.Colors[i], a.Colors[j]));
    };
    const auto fullHash = [&](size_t i, uint64_t hash) {
        hash = normals ? MixIn(hash, a.Normals[i]) : hash;
        return colors ? MixIn(hash, a.Colors[i]) : hash;
    };
    const auto copy = [&](size_t from, size_t to) {
        if (from == to)
            return;
        a.Vertices[to] = a.Vertices[from];
        if (normals)
            a.Normals[to] = a.Normals[from];
        if (colors)
            a.Colors[to] = a.Colors[from];
        if (texCoords)
            a.TexCoords[to] = a.TexCoords[from];
    };

    // Vertices are compacted in place: vertex v sits at v, below the corner being read.
    TVertexTable all(count);
    TVertexTable byPlace(lastCornerDecides ? count : 0);
    // Flat shading: vertices made for a first or second corner, whose normal and colour nothing
    // has used yet. A last corner at the same place takes such a vertex over with its own values.
    std::vector<bool> unclaimed(lastCornerDecides ? count : 0);
    out.FaceCorners.resize(count);
    uint32_t made = 0;
    const auto samePlaceAs = [&](uint32_t corner) { return [&, corner](uint32_t v) { return samePlace(v, corner); }; };
    for (size_t c = 0; c < count; ++c) {
        copy(c, made);
        const uint64_t hash = placeHash(made);
        uint32_t vertex;
        if (!lastCornerDecides) {
            vertex = all.FindOrAdd(fullHash(made, hash), made, [&](uint32_t v) { return sameAll(v, made); });
        } else if (c % 3 != 2) {
            vertex = byPlace.FindOrAdd(hash, made, samePlaceAs(made));
            if (vertex == made) {
                unclaimed[made] = true;
                all.FindOrAdd(fullHash(made, hash), made, [](uint32_t) { return false; });
            }
        } else {
            const uint64_t full = fullHash(made, hash);
            vertex = all.Find(full, [&](uint32_t v) { return sameAll(v, made); });
            if (vertex == NoVertex) {
                vertex = byPlace.FindOrAdd(hash, made, samePlaceAs(made));
                if (vertex != made && unclaimed[vertex]) {
                    if (normals)
                        a.Normals[vertex] = a.Normals[made];
                    if (colors)
                        a.Colors[vertex] = a.Colors[made];
                } else {
                    vertex = made;
                }
                unclaimed[vertex] = false;
                all.FindOrAdd(full, vertex, [](uint32_t) { return false; });
            }
        }
        out.FaceCorners[c] = vertex;
        if (vertex == made)
            ++made;
    }
    a.Vertices.resize(made);
    a.Normals.resize(normals ? made : 0);
    a.Colors.resize(colors ? made : 0);
    a.TexCoords.resize(texCoords ? made : 0);
    out.Shared = std::move(a);
    const auto toFloats = [](const auto& values, std::vector<float>& floats) {
        floats.clear();
        floats.reserve(values.size() * (sizeof(values[0]) / sizeof(double)));
        for (const auto& v : values) {
            floats.push_back(static_cast<float>(v.x));
            floats.push_back(static_cast<float>(v.y));
            if constexpr (sizeof(v) == sizeof(Vector3D))
                floats.push_back(static_cast<float>(v.z));
        }
    };
    toFloats(out.Shared.Vertices, out.Positions);
    toFloats(out.Shared.Normals, out.Normals);
    toFloats(out.Shared.TexCoords, out.TexCoords);
    const std::vector<Float4>& shared = out.Shared.Colors;
    out.OneColor = !shared.empty() && std::all_of(shared.begin() + 1, shared.end(),
                                                  [&](const Float4& c) { return SameBits(c, shared[0]); });
    static std::atomic<uint64_t> folds{0};
    out.Serial = ++folds;
}

void FaceIndices(const TMeshIndexedArrays& arrays, std::span<const int32_t> faces, bool edges,
                 std::vector<uint32_t>& indices)
{
    indices.clear();
    indices.reserve(faces.size() * (edges ? 6 : 3));
    const std::vector<uint32_t>& corners = arrays.FaceCorners;
    for (const int32_t face : faces) {
        const size_t first = 3 * static_cast<size_t>(face);
        if (face < 0 || first + 2 >= corners.size())
            continue;
        const uint32_t c0 = corners[first];
        const uint32_t c1 = corners[first + 1];
        const uint32_t c2 = corners[first + 2];
        if (edges)
            indices.insert(indices.end(), {c0, c1, c1, c2, c2, c0});
        else
            indices.insert(indices.end(), {c0, c1, c2});
    }
}

} // namespace kv
