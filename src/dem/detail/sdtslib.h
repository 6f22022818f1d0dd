#pragma once
// A small ISO 8211 record reader, enough for SDTS raster transfers: the data descriptive record
// (DDR) with its leader, directory and field descriptions, the leaders and directories of the
// first data records (DR), and getters for "subfield L of field T in data record r".
//
// Subfields are found by counting units (delimited by UT or FT) from the start of a field, binary
// subfields by counting fixed-size values. The reader never trusts a size from the file: counts
// are checked against the bytes present, and every failure throws EKorvelaError.

#include "ByteStream.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

inline constexpr char FieldTerminator = 0x1E;
inline constexpr char UnitTerminator = 0x1F;
inline constexpr int LeaderSize = 24;
// ReadModule never reads more data records than this, whatever the caller asks for.
inline constexpr int MaxDataRecords = 20;

struct TDDRLeader {
    int32_t RecordLength = 0;
    int32_t InterchangeLevel = 0;
    std::string LeaderId;
    std::string InlineCodeExt;
    std::string VersionNumber;
    std::string AppIndicator;
    int32_t FieldControlLength = 0;
    int32_t FieldAreaBase = 0;
    std::string ExtCharSet;
    int32_t SizeFieldLength = 0;
    int32_t SizeFieldPos = 0;
    std::string Reserved;
    int32_t SizeFieldTag = 0;
};

struct TDRLeader {
    int32_t RecordLength = 0;
    std::string Reserved1;
    std::string LeaderId; // "D": own leader and directory; "R": the layout repeats for the records after it
    std::string Reserved5;
    int32_t FieldAreaBase = 0;
    std::string Reserved3;
    int32_t SizeFieldLength = 0;
    int32_t SizeFieldPos = 0;
    std::string Reserved;
    int32_t SizeFieldTag = 0;
};

struct TDDRDirItem {
    std::string Tag;
    int32_t FieldLength = 0; // bytes, field terminator included; never negative
    int32_t FieldPos = 0;    // offset from the record's field area; never negative
};

struct TDDRDirectory {
    int64_t FieldAreaStart = 0; // absolute position where the record's field area begins
    std::vector<TDDRDirItem> Items;
    int32_t Count() const { return static_cast<int32_t>(Items.size()); }
};

// The description of one field from the DDR's field area.
struct TDataDescriptItem {
    std::string FieldControls;   // 6 characters
    std::string FieldName;
    std::string ArrayDescriptor; // subfield labels separated by "!"
    std::string FormatControls;  // e.g. "(A,I,2R)"
};

struct TDataDescriptArea {
    std::vector<TDataDescriptItem> Items; // in the order of the DDR directory
    int32_t Count() const { return static_cast<int32_t>(Items.size()); }
};

struct TDataRecordArray {
    std::vector<TDRLeader> Leaders;
    std::vector<TDDRDirectory> Directories;
    int32_t Count() const { return static_cast<int32_t>(Leaders.size()); }
};

struct TDataDescription {
    TDDRLeader Leader;
    TDDRDirectory Directory;
    TDataDescriptArea Area;
    TDataRecordArray Records;
};

struct TFieldItem {
    std::string Label;
};

struct TFieldArray {
    std::vector<TFieldItem> Items;
    int32_t Count() const { return static_cast<int32_t>(Items.size()); }
};

struct TStringArray {
    std::vector<std::string> Items;
    int32_t Count() const { return static_cast<int32_t>(Items.size()); }
};

// Reads the DDR from the start of `stream`, then the leaders and directories of up to
// min(maxRecords, MaxDataRecords) data records, stopping after a record whose leader identifier
// is "R" or at the end of the stream. Throws EKorvelaError when a leader or directory is cut
// short, holds a malformed number ("'<text>' is not a valid integer value"), a negative field
// length or position, or a data record is shorter than its leader.
void ReadModule(TByteStream& stream, TDataDescription& description, int maxRecords);

// Reads one data record's leader and directory from the current position; afterwards the
// stream stands at the record's field area (directory.FieldAreaStart). Throws as ReadModule.
void ReadDataRecordHeader(TByteStream& stream, TDRLeader& leader, TDDRDirectory& directory);

// Index of the first entry whose tag equals `tag` (case-sensitive), or -1.
int FindTag(std::string_view tag, const TDDRDirectory& directory);

// The format controls of DDR field `tag`; empty when the field is unknown.
std::string GetFormatControls(std::string_view tag, const TDataDescription& description);

// The labels of DDR field `tag`: its array descriptor split at "!", ending at the first empty
// piece. Empty when the field is unknown.
TFieldArray GetFieldLabels(std::string_view tag, const TDataDescription& description);

// Text of subfield `label` of field `tag` in data record `record` (0-based); empty when the field,
// the label or the record is unknown. A field cut short by the end of the module gives what is there.
std::string GetSubfieldText(TByteStream& stream, std::string_view tag, std::string_view label, int record,
                            const TDataDescription& description);

// GetSubfieldText as an integer; 0 when the text is not a valid integer (empty text included).
int32_t GetSubfieldInt(TByteStream& stream, std::string_view tag, std::string_view label, int record,
                       const TDataDescription& description);

// ParseFloat of GetSubfieldText.
double GetSubfieldFloat(TByteStream& stream, std::string_view tag, std::string_view label, int record,
                        const TDataDescription& description);

// A binary subfield of `size` bytes (1 to 4; anything else throws EKorvelaError): subfields are
// counted as `size`-byte values from the field's start, and the value's bytes are taken as a
// big-endian number. A 4-byte value keeps its bit pattern, so 0xFFFFFFFF gives -1 (signed 32-bit
// coordinates read correctly). 0 when the field, the label or the record is unknown; bytes missing
// at the end of the module count as 0.
int32_t GetBinarySubfield(TByteStream& stream, std::string_view tag, std::string_view label, int size, int record,
                          const TDataDescription& description);

// Fills `list` with the text of subfield `label` and of every unit after it up to the end of the
// field (the unit ending in FT is the last entry) or of the module. Empty when the field, the
// label or the record is unknown.
void GetSubfieldList(TByteStream& stream, std::string_view tag, std::string_view label, TStringArray& list,
                     int record, const TDataDescription& description);

// A lenient scanner for the first number in `text` ("12.5 m" gives 12.5, "abc-7" gives -7,
// "1.2.3" gives 1.2, "1E+3" gives 1), with "." as the decimal separator whatever the locale.
// 0 when the text holds no digit or the number lies beyond the range of a double.
double ParseFloat(std::string_view text);

} // namespace kv
