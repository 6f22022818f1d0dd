#pragma once
// Small topo grids for the terrain tests, written as rows from north to south.

#include "mapview/TopoGrid.h"

#include <memory>
#include <vector>

namespace kv::test {

// rows[r][c]: row 0 is the north row.
inline std::unique_ptr<TTopoGrid> GridOf(const std::vector<std::vector<double>>& rows)
{
    auto grid = std::make_unique<TTopoGrid>();
    const auto cols = int32_t(rows.empty() ? 0 : rows.front().size());
    for (size_t r = 0; r < rows.size(); ++r)
        for (int32_t c = 0; c < cols; ++c)
            grid->Set(c, int32_t(r), rows[r][size_t(c)]);
    grid->SetSize(cols, int32_t(rows.size()));
    return grid;
}

} // namespace kv::test
