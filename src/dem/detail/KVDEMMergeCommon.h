#pragma once
// Pieces shared by the west-east and the south-north merge (internal to the merge).

#include "DEMBlockWriter.h"
#include "dem/DEMLib.h"
#include "DEMRecords.h"
#include "dem/KVDEMMerge.h"
#include "KVDEMMergeInput.h"

#include <cstdint>
#include <span>

namespace kv {

// The merge's progress gauge. Reports 0 with the maximum at the start, every 12th position
// while the merge runs, and 0 again when it goes out of scope, whatever the outcome.
class TMergeGauge {
public:
    explicit TMergeGauge(const TMergeCallbacks& callbacks) : Callbacks_(callbacks) {}
    ~TMergeGauge();
    TMergeGauge(const TMergeGauge&) = delete;
    TMergeGauge& operator=(const TMergeGauge&) = delete;

    void Start(int64_t maximum);
    void Step(int64_t position);

private:
    void Report(int64_t position);

    const TMergeCallbacks& Callbacks_;
    int64_t Maximum_ = 0;
};

// The point a fraction `t` of the way from `from` to `to`.
inline TGroundPoint Between(const TGroundPoint& from, const TGroundPoint& to, double t)
{
    return {from.East + (to.East - from.East) * t, from.North + (to.North - from.North) * t};
}

// Throws EKorvelaError when a merged corner or elevation bound is not a finite number (the
// arithmetic on extreme header values overflowed), which no reader could take back.
void CheckMergedHeader(const TDEMInfo& info);

// Throws EKorvelaError unless 0 <= pan <= 1 (NaN included).
void CheckPanFactor(double pan);

// Asks the caller when the files are of different reference systems, or when the corners
// that should coincide lie more than 10 units apart. False when the caller said no.
bool ConfirmCompatible(const TDEMInfo& first, TCorner firstCorner, const TDEMInfo& second, TCorner secondCorner,
                       const TMergeCallbacks& callbacks);

// Checks the pan factor, reads the headers of both inputs (the second file's first, the order
// the merge opens them in) and asks about incompatible files. False when the caller said no.
bool ReadHeadersAndConfirm(TMergeInput& first, TCorner firstCorner, TMergeInput& second, TCorner secondCorner,
                           double pan, const TMergeCallbacks& callbacks);

// The value that fills gaps and empty pieces: the merged lowest elevation, truncated.
// Throws EKorvelaError when that does not fit an elevation field.
int32_t FillerValue(double minElevation);

// `header` as the `column`-th profile of the output (counting from 1): row 1, that column.
// The merged file numbers its profiles in the order they stand, whatever their numbers in
// the input files, as readers that place profiles by their numbers expect. Throws
// EKorvelaError when the number does not fit its field.
TProfileHeader AsColumn(TProfileHeader header, int64_t column);

// Appends elevations as I6 fields.
void PutElevations(TDEMBlockWriter& writer, std::span<const int32_t> values);

// Writes a profile: header, elevations, then flushes the block.
void WriteProfile(TDEMBlockWriter& writer, const TProfileHeader& header, std::span<const int32_t> values);

// Throws EKorvelaError when a merged profile would hold more elevations than its m field
// can state.
void CheckMergedLength(int64_t length);

} // namespace kv
