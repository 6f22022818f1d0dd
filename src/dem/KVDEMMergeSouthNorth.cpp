// The south-north merge: every output profile is a column of the result, made of the part of
// a south profile above the south file's cut line and the part of a north profile below the
// north file's cut line, with filler values across any gap between them.

#include "dem/KVDEMMerge.h"

#include "KVDEMMergeCommon.h"
#include "KVDEMMergeInput.h"
#include "platform/KVError.h"

#include <algorithm>
#include <cmath>

namespace kv {

namespace {

// Gaps of fewer spacings than this are closed without filler.
constexpr double MinFilledGap = 3.0;

// Part of the current profile of one input: elevations [Begin, End) under header y0 `Y0`.
struct TPiece {
    int64_t Begin = 0;
    int64_t End = 0;
    double Y0 = 0.0;
    int64_t Length() const { return End - Begin; }
};

// trunc(value) as an index within 0..limit; values beyond either end (or NaN) are clamped.
int64_t TruncatedIndex(double value, int64_t limit)
{
    const double t = std::trunc(value);
    if (!(t > 0.0))
        return 0;
    return t >= static_cast<double>(limit) ? limit : static_cast<int64_t>(t);
}

double YSpacing(const TMergeInput& input)
{
    const double spacing = input.Info().Resolution[1];
    if (!(spacing > 0.0) || !std::isfinite(spacing))
        throw EKorvelaError(input.Name() + " has no usable y spacing between elevations (" +
                            std::to_string(spacing) + ")");
    return spacing;
}

// Cut line: bottom + (top - bottom) x pan, bottom being the higher of the southern corners'
// northings and top the lower of the northern corners'.
double CutLine(const TDEMInfo& info, double pan)
{
    const double bottom = std::max(info.Corners[cnSW].North, info.Corners[cnSE].North);
    const double top = std::min(info.Corners[cnNW].North, info.Corners[cnNE].North);
    return bottom + (top - bottom) * pan;
}

class TSouthNorthMerge {
public:
    TSouthNorthMerge(TMergeInput& south, TMergeInput& north, TDEMBlockWriter& writer, TMergeGauge& gauge,
                     double pan, double minElevation, int64_t fillerBudget)
        : South_(south), North_(north), Writer_(writer), Gauge_(gauge), SouthSpacing_(YSpacing(south)),
          NorthSpacing_(YSpacing(north)), CutS_(CutLine(south.Info(), pan)), CutN_(CutLine(north.Info(), pan)),
          MinElevation_(minElevation), FillerBudget_(fillerBudget)
    {
    }

    // Writes every profile of both files; returns the number of profiles written.
    int64_t Run()
    {
        bool haveSouth = Advance(South_);
        bool haveNorth = Advance(North_);
        // Profiles of equal x0 form one column. Otherwise the one further west (smaller x0)
        // is written alone first; this also keeps files whose columns stop lining up part
        // way in west-to-east order.
        while (haveSouth && haveNorth) {
            const double southX0 = South_.Profile().X0;
            const double northX0 = North_.Profile().X0;
            if (southX0 == northX0) {
                WriteMerged();
                haveSouth = Advance(South_);
                haveNorth = Advance(North_);
            } else if (southX0 < northX0) {
                WriteAlone(South_, SouthPiece());
                haveSouth = Advance(South_);
            } else {
                WriteAlone(North_, NorthPiece());
                haveNorth = Advance(North_);
            }
        }
        for (; haveSouth; haveSouth = Advance(South_))
            WriteAlone(South_, SouthPiece());
        for (; haveNorth; haveNorth = Advance(North_))
            WriteAlone(North_, NorthPiece());
        return Written_;
    }

private:
    // Reads the next profile of `input`; false when it has none left.
    bool Advance(TMergeInput& input)
    {
        if (!input.HasMoreProfiles())
            return false;
        input.ReadProfile();
        if (&input == &North_)
            Gauge_.Step(North_.ProfilesRead());
        return true;
    }

    // From the row at the south cut line to the end; the piece starts at the cut line.
    TPiece SouthPiece() const
    {
        const TProfileHeader& header = South_.Profile();
        const auto length = static_cast<int64_t>(South_.Elevations().size());
        TPiece piece{0, length, header.Y0};
        if (CutS_ > header.Y0) {
            piece.Begin = TruncatedIndex((CutS_ - header.Y0) / SouthSpacing_, length);
            piece.Y0 = CutS_;
        }
        return piece;
    }

    // From the profile's start up to the north cut line.
    TPiece NorthPiece() const
    {
        const TProfileHeader& header = North_.Profile();
        const auto length = static_cast<int64_t>(North_.Elevations().size());
        const double rows = std::fabs((CutN_ - header.Y0) / NorthSpacing_);
        return {0, TruncatedIndex(rows, length), header.Y0};
    }

    // Filler never outweighs the data: files so far apart that the gap between them needs
    // more filler than both files hold elevations are refused instead of inflating the output.
    void ReserveFiller(int64_t count)
    {
        if (count > FillerBudget_)
            throw EKorvelaError("The files lie too far apart: filling the gap between " + South_.Name() + " and " +
                                North_.Name() + " would take more elevations than both files hold");
        FillerBudget_ -= count;
    }

    int32_t Filler()
    {
        // Checked only when a filler is needed: merges without gaps accept any lowest elevation.
        if (!HaveFiller_) {
            Filler_ = FillerValue(MinElevation_);
            HaveFiller_ = true;
        }
        return Filler_;
    }

    void PutFiller(int64_t count)
    {
        if (count == 0)
            return;
        ReserveFiller(count);
        const int32_t value = Filler();
        for (int64_t i = 0; i < count; ++i)
            Writer_.PutInt(value);
    }

    std::span<const int32_t> Values(const TMergeInput& input, const TPiece& piece) const
    {
        return input.Elevations().subspan(static_cast<size_t>(piece.Begin), static_cast<size_t>(piece.Length()));
    }

    // A piece as a profile of its own; an empty piece holds one filler value.
    void WriteAlone(const TMergeInput& input, const TPiece& piece)
    {
        TProfileHeader header = AsColumn(input.Profile(), Written_ + 1);
        header.M = static_cast<int32_t>(std::max<int64_t>(piece.Length(), 1));
        header.N = 1;
        header.Y0 = piece.Y0;
        WriteProfileHeader(Writer_, header);
        if (piece.Length() == 0)
            PutFiller(1);
        else
            PutElevations(Writer_, Values(input, piece));
        Writer_.Flush();
        ++Written_;
    }

    // South piece, filler across the gap up to the north profile's start, north piece.
    void WriteMerged()
    {
        const TPiece south = SouthPiece();
        const TPiece north = NorthPiece();
        const double southTop =
            South_.Profile().Y0 + static_cast<double>(static_cast<int64_t>(South_.Elevations().size()) - 1) *
                                      SouthSpacing_;
        // Spacings from the last south elevation to the first north one. A gap of g spacings
        // misses g - 1 elevations: filling exactly those keeps the north piece at its own
        // northing. Narrow gaps are closed without filler.
        const double spacings = std::trunc((North_.Profile().Y0 - southTop) / SouthSpacing_);
        // A gap wider than any profile could state is refused below, before anything is filled.
        const int64_t gap = !(spacings >= MinFilledGap) ? 0
                            : spacings > 1e9            ? int64_t{1000000000}
                                                        : static_cast<int64_t>(spacings) - 1;
        const int64_t length = south.Length() + gap + north.Length();
        CheckMergedLength(length);
        if (length == 0) {
            WriteAlone(South_, south);
            return;
        }
        TProfileHeader header = AsColumn(South_.Profile(), Written_ + 1);
        header.M = static_cast<int32_t>(length);
        header.N = 1;
        header.Y0 = south.Y0;
        WriteProfileHeader(Writer_, header);
        PutElevations(Writer_, Values(South_, south));
        PutFiller(gap);
        PutElevations(Writer_, Values(North_, north));
        Writer_.Flush();
        ++Written_;
    }

    TMergeInput& South_;
    TMergeInput& North_;
    TDEMBlockWriter& Writer_;
    TMergeGauge& Gauge_;
    const double SouthSpacing_;
    const double NorthSpacing_;
    const double CutS_;
    const double CutN_;
    const double MinElevation_;
    bool HaveFiller_ = false;
    int32_t Filler_ = 0;
    int64_t FillerBudget_;
    int64_t Written_ = 0;
};

bool SameCorner(const TGroundPoint& a, const TGroundPoint& b)
{
    return a.East == b.East && a.North == b.North;
}

} // namespace

std::optional<std::string> MergeSouthNorthData(const TMergeSource& southSource, const TMergeSource& northSource,
                                               double pan, const TMergeCallbacks& callbacks)
{
    TMergeGauge gauge(callbacks);
    TMergeInput north(northSource.Data, northSource.Name);
    TMergeInput south(southSource.Data, southSource.Name);
    if (!ReadHeadersAndConfirm(south, cnNW, north, cnSW, pan, callbacks))
        return std::nullopt;

    const TDEMInfo& s = south.Info();
    const TDEMInfo& n = north.Info();
    TDEMInfo merged = s;
    merged.MapName = MergedMapName("South/North Merged: ", south.Name(), north.Name(), pan);
    bool sharedCorner = false;
    for (int corner = cnSW; corner <= cnSE; ++corner)
        sharedCorner = sharedCorner || SameCorner(s.Corners[corner], n.Corners[corner]);
    if (!sharedCorner) {
        merged.Corners[cnSW] = Between(s.Corners[cnSW], s.Corners[cnNW], pan);
        merged.Corners[cnSE] = Between(s.Corners[cnSE], s.Corners[cnNE], pan);
        merged.Corners[cnNW] = Between(n.Corners[cnSW], n.Corners[cnNW], pan);
        merged.Corners[cnNE] = Between(n.Corners[cnSE], n.Corners[cnNE], pan);
    }
    merged.MinElevation = std::min(s.MinElevation, n.MinElevation);
    merged.MaxElevation = std::max(s.MaxElevation, n.MaxElevation);
    CheckMergedHeader(merged);

    TDEMBlockWriter writer;
    writer.Reserve(southSource.Data.size() + TDEMBlockWriter::BlockSize);
    WriteRecordA(writer, merged);
    gauge.Start(north.ProfileCount());

    const auto elevationFields = static_cast<int64_t>((southSource.Data.size() + northSource.Data.size()) / 6);
    TSouthNorthMerge merge(south, north, writer, gauge, pan, merged.MinElevation, elevationFields);
    const int64_t written = merge.Run();
    writer.PutRaw(south.RestOfFile());
    std::string text = writer.TakeOutput();

    // When the columns of the two files do not line up, the result holds a different number
    // of profiles than the south file; its header then states the profiles actually written.
    if (written != south.ProfileCount()) {
        merged.ProfileRows = 1;
        merged.ProfileCols = static_cast<int32_t>(written);
        TDEMBlockWriter header;
        WriteRecordA(header, merged);
        const std::string& block = header.Output();
        if (block.size() != TDEMBlockWriter::BlockSize || text.size() < block.size())
            throw EKorvelaError("The merged header does not fit one block");
        text.replace(0, block.size(), block);
    }
    return text;
}

} // namespace kv
