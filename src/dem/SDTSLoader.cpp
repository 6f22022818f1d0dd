#include "dem/SDTSLoader.h"

#include "sdtslib.h"
#include "platform/FileIO.h"
#include "platform/KVError.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

namespace kv {

namespace {

// One module read into memory, with its DDR and the first data records' directories. Errors
// from the record reader name the module ("7001LDEF.DDF: ...").
class TModule {
public:
    TModule(const TSDTSModuleSource& source, const std::string& code, int maxRecords)
        : File_(source(code)), Stream(std::string_view(File_.Bytes.data(), File_.Bytes.size()))
    {
        try {
            ReadModule(Stream, Description, maxRecords);
        } catch (const EKorvelaError& e) {
            Fail(e.what());
        }
    }
    TModule(const TModule&) = delete;
    TModule& operator=(const TModule&) = delete;

    const std::string& Name() const { return File_.Name; }
    [[noreturn]] void Fail(const std::string& message) const { throw EKorvelaError(Name() + ": " + message); }

    std::string Text(std::string_view tag, std::string_view label, int record = 0)
    {
        return GetSubfieldText(Stream, tag, label, record, Description);
    }
    int32_t Int(std::string_view tag, std::string_view label, int record = 0)
    {
        return GetSubfieldInt(Stream, tag, label, record, Description);
    }
    double Float(std::string_view tag, std::string_view label, int record = 0)
    {
        return GetSubfieldFloat(Stream, tag, label, record, Description);
    }

private:
    TSDTSModuleFile File_;

public:
    TByteStream Stream;
    TDataDescription Description;
};

enum TCellFormat { cfInt16, cfFloat32 };

struct TLoadState {
    TCellFormat CellFormat = cfInt16;
    std::string LDEFName; // the module that states the grid size, for messages
    double ScaleX = 0.0, ScaleY = 0.0, OriginX = 0.0, OriginY = 0.0;
    int32_t MinFound = 32766;
    int32_t MaxFound = -32765;
};

constexpr std::string_view DEMLevelText = "DEM LEVEL  ";

void ReadHeader(const TSDTSModuleSource& source, TDEMInfo& info, TLoadState& state)
{
    info.ErrorCount = 0;
    info.ErrorText.clear();
    {
        TModule dqpa(source, "DQPA", 4);
        const std::string comment = dqpa.Text("DQPA", "COMT");
        info.LevelCode = 1;
        // Only a digit after the marker is a level code; anything else leaves the default.
        if (comment.starts_with(DEMLevelText) && comment.size() > DEMLevelText.size() &&
            comment[DEMLevelText.size()] >= '0' && comment[DEMLevelText.size()] <= '9')
            info.LevelCode = comment[DEMLevelText.size()] - '0';
    }
    {
        TModule rsdf(source, "RSDF", 4);
        info.PatternCode = rsdf.Text("RSDF", "OBRP") == "G2" ? 1 : 0;
    }
    info.ProjParams.fill(0.0);
    info.GroundUnits = ucMeters;
    info.PolySides = 4;
    info.SourceFormat = dfSDTS;
    info.Accuracy = 0;
    info.ProfileRows = 1;
    info.ProfileCols = 1;
    info.Angle = 0.0;
    {
        TModule ddsh(source, "DDSH", 1);
        info.ElevUnits = ddsh.Text("DDSH", "UNIT") == "FEET" ? ucFeet : ucMeters;
        state.CellFormat = ddsh.Text("DDSH", "FMT") == "BFP32" ? cfFloat32 : cfInt16;
        info.Resolution[2] = 1.0;
    }
    {
        TModule iden(source, "IDEN", 1);
        info.MapName = iden.Text("IDEN", "TITL").substr(0, 144);
        info.MapScale = iden.Int("IDEN", "SCAL");
        info.DataID = iden.Text("IDEN", "DAID");
        info.CreationDate = iden.Text("IDEN", "DCDT");
    }
    {
        TModule ddom(source, "DDOM", 4);
        for (int r = 0; r < ddom.Description.Records.Count(); ++r) {
            const int32_t id = ddom.Int("DDOM", "RCID", r);
            const int32_t value = ddom.Int("DDOM", "DVAL", r);
            if (id == 3)
                info.MinElevation = value;
            else if (id == 4)
                info.MaxElevation = value;
        }
    }
    {
        TModule iref(source, "IREF", 1);
        state.ScaleX = iref.Float("IREF", "SFAX");
        state.ScaleY = iref.Float("IREF", "SFAY");
        state.OriginX = iref.Float("IREF", "XORG");
        state.OriginY = iref.Float("IREF", "YORG");
        info.Resolution[0] = iref.Float("IREF", "XHRS");
        info.Resolution[1] = iref.Float("IREF", "YHRS");
    }
    {
        TModule xref(source, "XREF", 1);
        const std::string system = xref.Text("XREF", "RSNM");
        if (system == "Geographic")
            info.GroundRef = 0;
        else if (system == "UTM")
            info.GroundRef = 1;
        else if (system == "State Plane")
            info.GroundRef = 2;
        info.IsUTM = info.GroundRef == 1;
        info.Zone = xref.Int("XREF", "ZONE");
        const std::string datum = xref.Text("XREF", "HDAT");
        if (datum == "NAS")
            info.HorizDatum = 1;
        else if (datum == "WGC")
            info.HorizDatum = 2;
        else if (datum == "WGE")
            info.HorizDatum = 3;
        else if (datum == "NAX")
            info.HorizDatum = 4;
    }
    {
        TModule rsdf(source, "RSDF", 1);
        double x = 0.0;
        double y = 0.0;
        if (GetFormatControls("SADR", rsdf.Description).find('B') == std::string::npos) {
            x = std::trunc(rsdf.Float("SADR", "X"));
            y = std::trunc(rsdf.Float("SADR", "Y"));
        } else {
            x = GetBinarySubfield(rsdf.Stream, "SADR", "X", 4, 0, rsdf.Description);
            y = GetBinarySubfield(rsdf.Stream, "SADR", "Y", 4, 0, rsdf.Description);
        }
        info.OriginEast = x * state.ScaleX + state.OriginX;
        info.OriginNorth = y * state.ScaleY + state.OriginY;
    }
    {
        TModule spdm(source, "SPDM", 1);
        TStringArray list;
        GetSubfieldList(spdm.Stream, "DMSA", "X", list, 0, spdm.Description);
        if (list.Count() == 0)
            GetSubfieldList(spdm.Stream, "DMSA", "*X", list, 0, spdm.Description);
        for (size_t i = 0; i < 8; ++i) {
            const double value = i < list.Items.size() ? ParseFloat(list.Items[i]) : 0.0;
            TGroundPoint& corner = info.Corners[i / 2];
            (i % 2 == 0 ? corner.East : corner.North) = value;
        }
    }
    {
        TModule ldef(source, "LDEF", 1);
        info.ProfileRows = ldef.Int("LDEF", "NROW");
        info.ProfileCols = ldef.Int("LDEF", "NCOL");
        state.LDEFName = ldef.Name();
    }
}

// A cell value, or VoidValue for a value the loader rejects.
int32_t DecodeCell(const unsigned char* bytes, TCellFormat format)
{
    if (format == cfInt16) {
        const auto v = static_cast<int16_t>(static_cast<uint16_t>((bytes[0] << 8) | bytes[1]));
        return v >= -1000 ? v : VoidValue;
    }
    const uint32_t bits = (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) | bytes[3];
    const float x = std::bit_cast<float>(bits);
    if (!(x >= -32765.0f))
        return VoidValue; // NaN lands here too
    const double rounded = std::nearbyint(static_cast<double>(x)); // halves to even
    if (rounded > static_cast<double>(std::numeric_limits<int32_t>::max()))
        return VoidValue; // beyond what a cell can hold
    return static_cast<int32_t>(rounded);
}

// Reads the rows the cell module delivers into `grid`, whose cells start void. Returns the
// number of cells stored.
int64_t ReadCells(TModule& cells, T2DIntArray& grid, TLoadState& state)
{
    const TDataRecordArray& records = cells.Description.Records;
    if (records.Count() == 0)
        cells.Fail("no elevations: the cell module holds no data record");
    const int entry = FindTag("CVLS", records.Directories[0]);
    if (entry < 0)
        cells.Fail("no elevations: the first data record of the cell module has no CVLS field");
    const bool repeatMode = records.Leaders[0].LeaderId == "R";
    const size_t cellSize = state.CellFormat == cfFloat32 ? 4 : 2;
    const TDDRDirItem& first = records.Directories[0].Items[static_cast<size_t>(entry)];
    const int64_t gap = first.FieldPos;
    int64_t offset = records.Directories[0].FieldAreaStart + gap;
    int64_t length = first.FieldLength;
    TByteStream& stream = cells.Stream;
    const int32_t cols = grid.Cols();
    int64_t stored = 0;

    // The file's first row is the northernmost.
    for (int32_t row = grid.Rows() - 1; row >= 0; --row) {
        stream.Seek(offset);
        const int64_t wanted = length / static_cast<int64_t>(cellSize);
        const int64_t present = std::min<int64_t>(wanted, stream.Remaining() / static_cast<int64_t>(cellSize));
        const std::string_view values = stream.ReadView(static_cast<size_t>(present) * cellSize);
        const auto* bytes = reinterpret_cast<const unsigned char*>(values.data());
        const int32_t rowCells = static_cast<int32_t>(std::min<int64_t>(present, cols));
        for (int32_t col = 0; col < rowCells; ++col) {
            const int32_t cell = DecodeCell(bytes + static_cast<size_t>(col) * cellSize, state.CellFormat);
            if (cell != VoidValue) {
                state.MinFound = std::min(state.MinFound, cell);
                state.MaxFound = std::max(state.MaxFound, cell);
            }
            grid.Column(col)[row] = cell;
        }
        // Values beyond the last column are read and not stored; extremes only count stored cells.
        stored += rowCells;
        if (present < wanted || stream.AtEnd())
            break;
        if (repeatMode) {
            // The records after the first repeat its layout without a leader or directory.
            offset += length + gap;
        } else {
            stream.Seek(offset + length);
            if (stream.AtEnd())
                break;
            TDRLeader leader;
            TDDRDirectory directory;
            try {
                ReadDataRecordHeader(stream, leader, directory);
            } catch (const EKorvelaError& e) {
                cells.Fail(e.what());
            }
            if (entry >= directory.Count())
                break; // a record without the cell field ends the cells
            const TDDRDirItem& item = directory.Items[static_cast<size_t>(entry)];
            offset = directory.FieldAreaStart + item.FieldPos;
            length = item.FieldLength;
        }
    }
    return stored;
}

// Refuses, before anything is allocated, a grid size that is invalid or that the cell module
// cannot back. A module cut short still loads (its missing rows are void), but only while it
// holds at least a quarter of the cells it declares: beyond that the numbers are not a damaged
// transfer but a request for memory the bytes do not justify.
void CheckCellGrid(const TDEMInfo& info, const TLoadState& state, const TModule& cells)
{
    const int64_t rows = info.ProfileRows;
    const int64_t cols = info.ProfileCols;
    const std::string size = "NROW " + std::to_string(rows) + " by NCOL " + std::to_string(cols);
    if (rows < 0 || cols < 0)
        throw EKorvelaError(state.LDEFName + ": the grid size " + size + " is invalid");
    if (rows == 0 || cols == 0)
        throw EKorvelaError(state.LDEFName + ": no elevations: the grid size is " + size);
    constexpr int64_t MinShareDelivered = 4;
    const int64_t cellSize = state.CellFormat == cfFloat32 ? 4 : 2;
    const int64_t moduleBytes = cells.Stream.Size();
    const long double needed = static_cast<long double>(rows) * static_cast<long double>(cols) * cellSize;
    if (needed > static_cast<long double>(moduleBytes) * MinShareDelivered)
        throw EKorvelaError(cells.Name() + ": the grid of " + size + " cells needs " +
                            std::to_string(static_cast<uint64_t>(needed)) + " bytes of " +
                            (cellSize == 4 ? "32-bit" : "16-bit") + " cells, but the cell module holds only " +
                            std::to_string(moduleBytes) + " bytes");
    CheckGridSize(cols, rows, cells.Name());
}

} // namespace

void LoadSDTSModules(const TSDTSModuleSource& source, const std::string& cellModule, TDEMArray& dem)
{
    TLoadState state;
    ReadHeader(source, dem.Info, state);

    TModule cells(source, cellModule, 1);
    CheckCellGrid(dem.Info, state, cells);
    // Cells the module never delivers stay void; the grid is filled aside so that a failed load
    // leaves the current one as it was.
    T2DIntArray grid(dem.Info.ProfileCols, dem.Info.ProfileRows);
    std::fill(grid.Column(0), grid.Column(0) + int64_t{grid.Cols()} * grid.Rows(), VoidValue);
    if (ReadCells(cells, grid, state) == 0)
        cells.Fail("no elevations: the cell module ends before its first cell");
    static_cast<T2DIntArray&>(dem) = std::move(grid);
    dem.Info.DataMin = state.MinFound;
    dem.Info.DataMax = state.MaxFound;
}

std::filesystem::path FindModuleFile(const std::filesystem::path& derived)
{
    std::error_code ec;
    if (std::filesystem::is_regular_file(derived, ec))
        return derived;
    const auto lower = [](std::string text) {
        std::transform(text.begin(), text.end(), text.begin(),
                       [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c); });
        return text;
    };
    const std::string wanted = lower(derived.filename().string());
    const std::filesystem::path folder = derived.has_parent_path() ? derived.parent_path() : ".";
    std::filesystem::path found;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::filesystem::path& candidate = it->path();
        if (lower(candidate.filename().string()) != wanted || !it->is_regular_file(ec))
            continue;
        if (found.empty() || candidate.filename() < found.filename())
            found = candidate;
    }
    if (found.empty())
        throw EKorvelaError(CannotOpenMessage(derived));
    return derived.has_parent_path() ? found : found.filename();
}

void LoadSDTSFile(const std::filesystem::path& fileName, TDEMArray& dem)
{
    const std::filesystem::path folder = fileName.parent_path();
    const std::string name = fileName.filename().string();
    const std::string prefix = name.substr(0, std::min<size_t>(4, name.size()));
    const std::string cellSuffix = name.size() > 6 ? name.substr(6, 2) : std::string();
    const TSDTSModuleSource source = [&](const std::string& code) {
        const std::filesystem::path file = FindModuleFile(folder / (prefix + code + ".DDF"));
        return TSDTSModuleFile{file.filename().string(), ReadWholeFile(file)};
    };
    LoadSDTSModules(source, "CE" + cellSuffix, dem);
}

} // namespace kv
