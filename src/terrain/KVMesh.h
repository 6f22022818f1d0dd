#pragma once
// The conversion of the topo grid into the two meshes of the terrain scene: the terrain surface
// and the solid base under it (four walls and a floor), thinned to a polygon budget by bilinear
// resampling.
//
// Scene axes: Y up, columns along X (east), rows along Z (row 0, the north edge, at the smallest
// Z). The model is centred on the origin horizontally and on the middle of its elevation range
// vertically; only heights are exaggerated. Every coordinate is multiplied by the working-unit
// factor, so feet mode changes the scale, never the shape.

#include "gl/GLMesh.h"
#include "mapview/TopoGrid.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kv {

// The conversion settings dialog's values; the defaults are the dialog's.
struct TTerrainSettings {
    double Exaggeration = 2.0;      // "Vertical Exageration", 0.01 to 100
    int32_t BudgetK = 100;          // "Maximum Polygons" in units of 1024 triangles, 1 to 1000
    bool DrawBase = true;           // "Draw Base"
    double BaseHeightPercent = 5.0; // "Base Height (%)" of the elevation range, 0 to 100
};

inline constexpr double TerrainExaggerationMin = 0.01;
inline constexpr double TerrainExaggerationMax = 100.0;
inline constexpr int32_t TerrainBudgetMinK = 1;
inline constexpr int32_t TerrainBudgetMaxK = 1000;

inline constexpr uint32_t TerrainColor = 0xC0C0C0; // silver
inline constexpr uint32_t BaseColor = 0x0000FF;    // red
// Samples at or below this hold no data.
inline constexpr double TerrainVoidLimit = -32767.0;
// Smoothing angle of the terrain's vertex normals after a conversion.
inline constexpr double TerrainSmoothingAngle = 89.0;

// Mesh samples along each direction and grid cells per sample.
struct TSampleCounts {
    int32_t NX = 0;
    int32_t NY = 0;
    double SX = 1.0;
    double SY = 1.0;
    bool Thinning = false;
    bool operator==(const TSampleCounts&) const = default;
};

// The counts for a grid under a budget of budgetK x 1024 triangles: the grid as it is when
// 2 x cols x rows fits, otherwise thinned keeping the aspect ratio.
TSampleCounts SampleCounts(int32_t cols, int32_t rows, int32_t budgetK);

// What the conversion reads: the live topo grid, its spacing in metres and the grid's own unit.
struct TTerrainSource {
    const TTopoGrid* Grid = nullptr;
    double EastSpacing = 10.0;  // metres between columns
    double NorthSpacing = 10.0; // metres between rows
    // Metres per unit of the grid's values: 0.3048 for a grid in feet, 1 for metres.
    double ElevationToMetres = 1.0;
    // The working-unit factor (feet per metre in feet mode, 1 in metres mode).
    double UnitFactor = 1.0;
};

// The lowest and highest valid elevation of the live grid, in metres.
struct TElevationExtents {
    double Min = 9e99;
    double Max = -9e99;
    bool Valid() const { return Min <= Max; }
    double Mid() const { return Valid() ? (Max + Min) / 2 : 0.0; }
};
TElevationExtents GridExtents(const TTopoGrid& grid, double elevationToMetres);

// The grid resampled at the mesh samples, in metres, before exaggeration and unit scaling.
// Heights[j * NX + i] is sample (i, j): the (possibly bilinear) elevation rounded to single
// precision, a void sample raised to the lowest valid elevation.
struct TTerrainSamples {
    TSampleCounts Counts;
    double StepX = 0; // metres between samples along the columns and the rows
    double StepY = 0;
    double CX = 0; // the grid's centre: (cols - 1) x east spacing / 2, (rows - 1) x north spacing / 2
    double CY = 0;
    TElevationExtents Extents;
    std::vector<double> Heights;

    double Height(int32_t i, int32_t j) const { return Heights[size_t(j) * size_t(Counts.NX) + size_t(i)]; }
};

inline constexpr const char* NoValidSampleMessage =
    "The topo grid holds no valid elevation (every sample is void); there is nothing to convert.";

// The samples of the source under the settings' budget. Throws EKorvelaError with
// NoValidSampleMessage when no sample is valid, and when the grid is empty.
TTerrainSamples SampleTerrain(const TTerrainSource& source, int32_t budgetK);

// What the progress window shows during a conversion, and the scene's reset, which comes once
// the grid is known to hold something to convert; any may be empty.
struct TConvertProgress {
    std::function<void()> ResetScene;
    std::function<void(const std::string& text)> Action;
    std::function<void(const std::string& text)> Point;
};

// Empties both meshes and fills them from the source: the base first (when the settings draw it),
// then the terrain row by row, then the terrain's vertex normals at 89 degrees. Throws
// EKorvelaError without touching the meshes when the grid has no valid sample.
void ConvertTerrain(const TTerrainSource& source, const TTerrainSettings& settings, TGLMesh& terrain, TGLMesh& base,
                    const TConvertProgress& progress = {});

// The scene position of terrain sample (i, j) and of the base corner under it.
struct TTerrainGeometry {
    const TTerrainSamples* Samples = nullptr;
    double UnitFactor = 1.0;
    double Exaggeration = 2.0;
    double BaseDepth = 0.0; // metres below the lowest valid elevation

    Vector3D Top(int32_t i, int32_t j) const;
    Vector3D Bottom(int32_t i, int32_t j) const;
};

// Adds the terrain surface: two triangles a cell, row by row, the diagonal from (i, j+1) to
// (i+1, j), both counter-clockwise seen from above. `beforeRow` is called before each row.
void AddTerrainTriangles(const TTerrainGeometry& geometry, TGLMesh& mesh,
                         const std::function<void(int32_t row)>& beforeRow = {});
// Adds the base: the floor (two triangles), then the north, south, west and east walls.
void AddBaseTriangles(const TTerrainGeometry& geometry, TGLMesh& mesh);

// The figures of the conversion settings dialog for a grid and a budget.
struct TMeshInformation {
    int32_t Cols = 0;
    int32_t Rows = 0;
    TSampleCounts Counts;
    int64_t Faces = 0;
    int64_t Vertices = 0;
    int64_t Normals = 0;
    double RequiredBytes = 0;
    double AvailableBytes = 0;
    double Resolution = 0;
    // The dialog's panels, as they read.
    std::string ArraySizeText; // "cols X rows = cells"
    std::string FacesText;
    std::string VertexText;
    std::string NormalsText;
    std::string MeshSizeText;   // "12.3 Meg"
    std::string MemSizeText;    // "2048.0 Meg"
    std::string ResolutionText; // "0.25"
    // A warning in red, or empty: a mesh that needs more than half the available memory, or a
    // budget (or a grid) that leaves a single sample across, so no terrain would be built.
    std::string Message;
};

inline constexpr const char* LargeMeshMessage = "Warning: Large Mesh Size, Program May Run Slow";
inline constexpr const char* SingleSampleMessage =
    "Warning: A Single Sample Across, No Terrain Triangles Would Be Built";

TMeshInformation MeshInformation(int32_t cols, int32_t rows, int32_t budgetK, double availableBytes);

} // namespace kv
