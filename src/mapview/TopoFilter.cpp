#include "mapview/TopoFilter.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace kv {

namespace {

bool Valid(double v)
{
    return v > FilterVoidLimit;
}

// The ratio of one group of four cells, or 0 when it adds nothing.
double StepRatio(double a, double b, double c, double d)
{
    if (!Valid(a) || !Valid(b) || !Valid(c) || !Valid(d))
        return 0.0;
    const double d1 = std::fabs(b - a);
    const double d2 = std::fabs(c - b);
    const double d3 = std::fabs(d - c);
    const double m = (d1 + d3) / 2.0;
    return m != 0.0 ? d2 / m : 0.0;
}

} // namespace

std::vector<float> StepRatioProfile(const TTopoGrid& grid, TFilterDirection direction)
{
    const int32_t cols = grid.Cols();
    const int32_t rows = grid.Rows();
    const int32_t along = direction == fdWestEast ? cols : rows;
    const int32_t across = direction == fdWestEast ? rows : cols;
    const int32_t n = along - 4;
    if (n <= 0)
        return {};
    // Groups start at 0 .. n, and the South-North ones add to the entry after their start.
    std::vector<float> profile(size_t(n) + 2, 0.0f);
    for (int32_t line = 0; line < across; ++line) {
        for (int32_t p = 0; p + 3 < along; ++p) {
            double ratio = 0.0;
            if (direction == fdWestEast) {
                ratio =
                    StepRatio(grid.Get(p, line), grid.Get(p + 1, line), grid.Get(p + 2, line), grid.Get(p + 3, line));
                profile[size_t(p)] += float(ratio);
            } else {
                const double* column = grid.Column(line);
                ratio = StepRatio(column[p], column[p + 1], column[p + 2], column[p + 3]);
                profile[size_t(p) + 1] += float(ratio);
            }
        }
    }
    for (float& entry : profile)
        entry /= float(across);
    profile.resize(size_t(n));
    return profile;
}

void SmoothTopo(TTopoGrid& grid, TFilterDirection direction)
{
    const int32_t cols = grid.Cols();
    const int32_t rows = grid.Rows();
    if (direction == fdWestEast) {
        for (int32_t r = 0; r < rows; ++r)
            for (int32_t c = 0; c + 2 < cols; ++c) {
                const double a = grid.Get(c, r);
                const double b = grid.Get(c + 1, r);
                const double d = grid.Get(c + 2, r);
                if (Valid(a) && Valid(b) && Valid(d))
                    grid.Set(c + 1, r, (a + b + d) / 3.0);
            }
    } else {
        for (int32_t c = 0; c < cols; ++c)
            for (int32_t r = 0; r + 2 < rows; ++r) {
                const double a = grid.Get(c, r);
                const double b = grid.Get(c, r + 1);
                const double d = grid.Get(c, r + 2);
                if (Valid(a) && Valid(b) && Valid(d))
                    grid.Set(c, r + 1, (a + b + d) / 3.0);
            }
    }
}

TStepRatioGraph StepRatioGraph(const TTopoGrid& grid, TFilterDirection direction)
{
    TStepRatioGraph graph;
    graph.Values = StepRatioProfile(grid, direction);
    graph.XMax = double(graph.Values.size());
    if (!graph.Values.empty())
        graph.YMin = std::min(double(*std::min_element(graph.Values.begin(), graph.Values.end())), graph.YMax);
    return graph;
}

std::string GraphCursorText(double x, double y)
{
    char buffer[400];
    std::string text = std::to_string(int64_t(std::clamp(std::trunc(x), -9.0e18, 9.0e18))) + " ";
    const std::to_chars_result result = std::to_chars(buffer, buffer + sizeof buffer, y, std::chars_format::fixed, 2);
    return text + std::string(buffer, result.ptr);
}

} // namespace kv
