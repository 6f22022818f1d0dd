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

// One module read into memory, with its DDR and the first data records' directories.
class TModule {
public:
    TModule(const TSDTSModuleSource& source, const std::string& code, int maxRecords)
        : Bytes_(source(code)), Stream(std::string_view(Bytes_.data(), Bytes_.size()))
    {
        ReadModule(Stream, Description, maxRecords);
    }
    TModule(const TModule&) = delete;
    TModule& operator=(const TModule&) = delete;

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
    std::vector<char> Bytes_;

public:
    TByteStream Stream;
    TDataDescription Description;
};

enum TCellFormat { cfInt16, cfFloat32 };

struct TLoadState {
    TCellFormat CellFormat = cfInt16;
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

void ReadCells(TModule& cells, TDEMArray& dem, TLoadState& state)
{
    const TDataRecordArray& records = cells.Description.Records;
    if (records.Count() == 0)
        return;
    const int entry = FindTag("CVLS", records.Directories[0]);
    if (entry < 0)
        return;
    const bool repeatMode = records.Leaders[0].LeaderId == "R";
    const size_t cellSize = state.CellFormat == cfFloat32 ? 4 : 2;
    const TDDRDirItem& first = records.Directories[0].Items[static_cast<size_t>(entry)];
    const int64_t gap = first.FieldPos;
    int64_t offset = records.Directories[0].FieldAreaStart + gap;
    int64_t length = first.FieldLength;
    TByteStream& stream = cells.Stream;
    const int32_t cols = dem.Cols();

    // The file's first row is the northernmost.
    for (int32_t row = dem.Rows() - 1; row >= 0; --row) {
        stream.Seek(offset);
        const int64_t wanted = length / static_cast<int64_t>(cellSize);
        const int64_t present = std::min<int64_t>(wanted, stream.Remaining() / static_cast<int64_t>(cellSize));
        const std::string_view values = stream.ReadView(static_cast<size_t>(present) * cellSize);
        const auto* bytes = reinterpret_cast<const unsigned char*>(values.data());
        const int32_t stored = static_cast<int32_t>(std::min<int64_t>(present, cols));
        for (int32_t col = 0; col < stored; ++col) {
            const int32_t cell = DecodeCell(bytes + static_cast<size_t>(col) * cellSize, state.CellFormat);
            if (cell != VoidValue) {
                state.MinFound = std::min(state.MinFound, cell);
                state.MaxFound = std::max(state.MaxFound, cell);
            }
            dem.Column(col)[row] = cell;
        }
        // Values beyond the last column are read and not stored; extremes only count stored cells.
        if (present < wanted || stream.AtEnd())
            return;
        if (repeatMode) {
            // The records after the first repeat its layout without a leader or directory.
            offset += length + gap;
        } else {
            stream.Seek(offset + length);
            if (stream.AtEnd())
                return;
            TDRLeader leader;
            TDDRDirectory directory;
            ReadDataRecordHeader(stream, leader, directory);
            if (entry >= directory.Count())
                return; // a record without the cell field ends the cells
            const TDDRDirItem& item = directory.Items[static_cast<size_t>(entry)];
            offset = directory.FieldAreaStart + item.FieldPos;
            length = item.FieldLength;
        }
    }
}

} // namespace

void LoadSDTSModules(const TSDTSModuleSource& source, const std::string& cellModule, TDEMArray& dem)
{
    TLoadState state;
    ReadHeader(source, dem.Info, state);

    TModule cells(source, cellModule, 1);
    const int64_t cols = dem.Info.ProfileCols;
    const int64_t rows = dem.Info.ProfileRows;
    CheckGridSize(cols, rows, "SDTS transfer");
    const int64_t cellBytes = cells.Stream.Size();
    if (rows > cellBytes || cols > cellBytes)
        throw EKorvelaError("SDTS transfer gives a grid of " + std::to_string(cols) + " by " + std::to_string(rows) +
                            " cells, more than its cell module of " + std::to_string(cellBytes) + " bytes can hold");
    dem.SetSize(static_cast<int32_t>(cols), static_cast<int32_t>(rows));
    ReadCells(cells, dem, state);
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
        return ReadWholeFile(FindModuleFile(folder / (prefix + code + ".DDF")));
    };
    LoadSDTSModules(source, "CE" + cellSuffix, dem);
}

} // namespace kv
