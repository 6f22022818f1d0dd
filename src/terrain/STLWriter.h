#pragma once
// Print-ready solids of the terrain as binary STL: the terrain surface, four walls down to a flat
// floor and the floor itself, together one closed, consistently oriented solid (every edge is
// shared by exactly two triangles that run along it in opposite directions, normals outward).
// The floor is a fan from its centre over every bottom corner of the walls, so no wall vertex
// sits on the middle of a floor edge, which slicers reject.
//
// Axes of the file: Z up, X east, Y north; the floor at z = 0 and the south-west corner at the
// origin. Units are metres of real size, or millimetres when the solid is scaled to a print size.

#include "terrain/KVMesh.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kv {

struct TPrintOptions {
    double Exaggeration = 2.0;
    // The base under the lowest point, as a percentage of the elevation range ...
    double BaseHeightPercent = 5.0;
    // ... or, when given, as millimetres of the print (a thousandth of a metre at real size).
    std::optional<double> BaseMM;
    // When given, the solid is scaled so that its longer horizontal side is this many millimetres;
    // the file's unit is then the millimetre.
    std::optional<double> PrintSizeMM;
};

// Nine coordinates per triangle (three corners, counter-clockwise seen from outside).
struct TPrintSolid {
    std::vector<float> Corners;
    int64_t TriangleCount() const { return int64_t(Corners.size() / 9); }
};

// The solid of the samples. Throws EKorvelaError when there is nothing solid to build: fewer than
// two samples in a direction, a spacing or exaggeration that is not positive, or a base without
// thickness (a flat terrain at a percentage, a percentage of 0).
TPrintSolid BuildPrintSolid(const TTerrainSamples& samples, const TPrintOptions& options);

// The binary STL file: an 80-byte header, the triangle count, then per triangle its unit normal,
// its corners and a zero attribute word, all little-endian.
std::string STLBytes(const TPrintSolid& solid);

// STLBytes saved through WriteFileAtomically.
void WriteSTLFile(const std::filesystem::path& fileName, const TPrintSolid& solid);

} // namespace kv
