#pragma once
// Writes ISO 8211 modules and whole minimal SDTS raster transfers, for tests, benchmarks and
// fuzz seeds. Leaders and directories use the fewest digits each record needs.

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace kv::test {

// The description of one field in the DDR.
struct TSDTSField {
    std::string Tag;
    std::string Name;
    std::string Labels;  // "MODN!RCID!..."
    std::string Formats; // "(A,I,2R)"
    std::string Controls = "1600;&";
};

// One field of a data record; Content holds its bytes with the terminators (see TextUnits).
struct TSDTSRecordField {
    std::string Tag;
    std::string Content;
};
using TSDTSRecord = std::vector<TSDTSRecordField>;

struct TSDTSModule {
    std::string FileName = "TESTMODL.DDF"; // named by the 0000 field
    std::vector<TSDTSField> Fields;         // the user fields; 0000 and 0001 are added in front
    std::vector<TSDTSRecord> Records;       // each gets a 0001 record number field in front
    // The first record's leader says "R" and the records after it are written as field areas only.
    bool RepeatFirst = false;
};

// Texts joined by the unit terminator, the last one ended by the field terminator.
std::string TextUnits(const std::vector<std::string>& values);
// `value` as `size` big-endian bytes (two's complement for negative values).
std::string BigEndian(int64_t value, int size);
// The 4 bytes of an IEEE single, big-endian.
std::string BigEndianFloat(float value);

// The records of a module: the DDR (with 0000 and 0001 in front of `fields`), one data record
// (leader identifier `leaderId`), and a whole module.
std::string BuildDDR(const std::string& fileName, const std::vector<TSDTSField>& fields);
std::string BuildDataRecord(const TSDTSRecord& fields, char leaderId = 'D');
std::string BuildModule(const TSDTSModule& module);

// A whole minimal raster transfer: every module the SDTS loader opens.
struct TSDTSTransfer {
    int32_t Cols = 0;
    int32_t Rows = 0;
    std::vector<float> Cells; // Rows x Cols, the northern row first, each row west to east
    bool FloatCells = false;  // BFP32 cells, else 16-bit integers
    bool RepeatMode = false;  // the cell module's first record repeats its layout for the others

    std::string LevelComment = "DEM LEVEL  2 test transfer";
    std::string ObjectRep = "G2";
    std::string Units = "METERS";
    std::string Title = "TEST TRANSFER";
    int32_t Scale = 24000;
    std::string DataId = "TEST DATA";
    std::string CreationDate = "20260101";
    int32_t MinElevation = 0;
    int32_t MaxElevation = 0;
    double ScaleX = 0.01, ScaleY = 0.01, OriginX = 0.0, OriginY = 0.0;
    double XRes = 30.0, YRes = 30.0;
    std::string RefSystem = "UTM";
    std::string Datum = "NAX";
    int32_t Zone = 16;
    bool BinaryAddress = true; // SADR as 4-byte binary, else as text reals
    int64_t AddressX = 0, AddressY = 0;
    std::array<double, 8> Corners{}; // SW E/N, NW E/N, NE E/N, SE E/N
    std::string RowsText, ColsText;  // NROW and NCOL as written when not empty (hostile sizes)
};

// The modules of `transfer` by code ("IDEN", "CEL0", ...).
std::map<std::string, std::string> BuildSDTSTransfer(const TSDTSTransfer& transfer);
// Writes them as <folder>/<prefix><code>.DDF; returns the cell module's path.
std::filesystem::path WriteSDTSTransfer(const std::filesystem::path& folder, const std::string& prefix,
                                        const TSDTSTransfer& transfer);

} // namespace kv::test
