#include "sdtslib.h"

#include "DEMFields.h"
#include "platform/KVError.h"

#include <algorithm>
#include <charconv>

namespace kv {

namespace {

int32_t ParseInteger(std::string_view text)
{
    int32_t value = 0;
    if (!TryParseInteger(text, value))
        throw EKorvelaError("'" + std::string(text) + "' is not a valid integer value");
    return value;
}

std::string ReadFixed(TByteStream& stream, size_t count)
{
    return std::string(stream.ReadView(count));
}

int32_t ReadFixedInt(TByteStream& stream, size_t count)
{
    return ParseInteger(stream.ReadView(count));
}

// One unit: the text up to the next UT or FT. `terminator` receives the terminator met, or 0 when
// the stream ended first.
std::string_view ReadUnit(TByteStream& stream, char& terminator)
{
    const std::string_view rest = stream.Rest();
    const size_t end = rest.find_first_of(std::string_view("\x1E\x1F", 2));
    if (end == std::string_view::npos) {
        terminator = 0;
        stream.Seek(stream.Size());
        return rest;
    }
    terminator = rest[end];
    stream.Seek(stream.Position() + static_cast<int64_t>(end) + 1);
    return rest.substr(0, end);
}

void RequireLeaderBytes(const TByteStream& stream)
{
    if (stream.Remaining() < LeaderSize)
        throw EKorvelaError("ISO 8211 module ends inside a record leader: it needs 24 bytes at byte " +
                            std::to_string(stream.Position()) + ", found " + std::to_string(stream.Remaining()));
}

// Reads a directory whose entries have the given digit counts; the directory ends one byte (its
// field terminator) before the field area, which starts `fieldAreaBase` bytes into the record.
void ReadDirectory(TByteStream& stream, int64_t recordStart, int32_t fieldAreaBase, int32_t sizeLength,
                   int32_t sizePos, int32_t sizeTag, TDDRDirectory& directory)
{
    directory.Items.clear();
    const int64_t entrySize = int64_t{sizeLength} + sizePos + sizeTag;
    if (sizeLength < 0 || sizePos < 0 || sizeTag < 0 || entrySize == 0)
        throw EKorvelaError("ISO 8211 record leader at byte " + std::to_string(recordStart) +
                            " gives directory entries of " + std::to_string(entrySize) + " characters");
    const int64_t count = std::max<int64_t>(0, (int64_t{fieldAreaBase} - (LeaderSize + 1)) / entrySize);
    if (count * entrySize > stream.Remaining())
        throw EKorvelaError("ISO 8211 module ends inside a record directory: it needs " +
                            std::to_string(count * entrySize) + " bytes at byte " + std::to_string(stream.Position()) +
                            ", found " + std::to_string(stream.Remaining()));
    directory.Items.resize(static_cast<size_t>(count));
    for (TDDRDirItem& item : directory.Items) {
        item.Tag = ReadFixed(stream, static_cast<size_t>(sizeTag));
        item.FieldLength = ReadFixedInt(stream, static_cast<size_t>(sizeLength));
        item.FieldPos = ReadFixedInt(stream, static_cast<size_t>(sizePos));
        if (item.FieldLength < 0 || item.FieldPos < 0)
            throw EKorvelaError("ISO 8211 directory entry '" + item.Tag + "' of the record at byte " +
                                std::to_string(recordStart) + " has a negative field " +
                                (item.FieldLength < 0 ? "length" : "position"));
    }
    stream.Seek(stream.Position() + 1); // the directory's field terminator
    directory.FieldAreaStart = stream.Position();
}

void ReadDDRLeader(TByteStream& stream, TDDRLeader& leader)
{
    RequireLeaderBytes(stream);
    leader.RecordLength = ReadFixedInt(stream, 5);
    leader.InterchangeLevel = ReadFixedInt(stream, 1);
    leader.LeaderId = ReadFixed(stream, 1);
    leader.InlineCodeExt = ReadFixed(stream, 1);
    leader.VersionNumber = ReadFixed(stream, 1);
    leader.AppIndicator = ReadFixed(stream, 1);
    leader.FieldControlLength = ReadFixedInt(stream, 2);
    leader.FieldAreaBase = ReadFixedInt(stream, 5);
    leader.ExtCharSet = ReadFixed(stream, 3);
    leader.SizeFieldLength = ReadFixedInt(stream, 1);
    leader.SizeFieldPos = ReadFixedInt(stream, 1);
    leader.Reserved = ReadFixed(stream, 1);
    leader.SizeFieldTag = ReadFixedInt(stream, 1);
}

// Finds subfield `label` of field `tag` in data record `record` and seeks to the start of that
// field. Returns the subfield's index, or -1 when the field, the label or the record is unknown.
int LocateSubfield(TByteStream& stream, std::string_view tag, std::string_view label, int record,
                   const TDataDescription& description)
{
    if (record < 0 || record >= description.Records.Count())
        return -1;
    const TFieldArray labels = GetFieldLabels(tag, description);
    int subfield = -1;
    for (int i = 0; i < labels.Count(); ++i) {
        if (labels.Items[static_cast<size_t>(i)].Label == label) {
            subfield = i;
            break;
        }
    }
    if (subfield < 0)
        return -1;
    const TDDRDirectory& directory = description.Records.Directories[static_cast<size_t>(record)];
    const int entry = FindTag(tag, directory);
    if (entry < 0)
        return -1;
    stream.Seek(directory.FieldAreaStart + directory.Items[static_cast<size_t>(entry)].FieldPos);
    return subfield;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

void ReadDataRecordHeader(TByteStream& stream, TDRLeader& leader, TDDRDirectory& directory)
{
    const int64_t start = stream.Position();
    RequireLeaderBytes(stream);
    leader.RecordLength = ReadFixedInt(stream, 5);
    leader.Reserved1 = ReadFixed(stream, 1);
    leader.LeaderId = ReadFixed(stream, 1);
    leader.Reserved5 = ReadFixed(stream, 5);
    leader.FieldAreaBase = ReadFixedInt(stream, 5);
    leader.Reserved3 = ReadFixed(stream, 3);
    leader.SizeFieldLength = ReadFixedInt(stream, 1);
    leader.SizeFieldPos = ReadFixedInt(stream, 1);
    leader.Reserved = ReadFixed(stream, 1);
    leader.SizeFieldTag = ReadFixedInt(stream, 1);
    ReadDirectory(stream, start, leader.FieldAreaBase, leader.SizeFieldLength, leader.SizeFieldPos,
                  leader.SizeFieldTag, directory);
}

void ReadModule(TByteStream& stream, TDataDescription& description, int maxRecords)
{
    description = TDataDescription{};
    stream.Seek(0);
    ReadDDRLeader(stream, description.Leader);
    const TDDRLeader& leader = description.Leader;
    ReadDirectory(stream, 0, leader.FieldAreaBase, leader.SizeFieldLength, leader.SizeFieldPos, leader.SizeFieldTag,
                  description.Directory);

    // The field descriptions follow one another in directory order; their directory lengths and
    // positions are not needed to read them.
    description.Area.Items.resize(description.Directory.Items.size());
    for (TDataDescriptItem& item : description.Area.Items) {
        char terminator = 0;
        item.FieldControls = ReadFixed(stream, 6);
        item.FieldName = ReadUnit(stream, terminator);
        item.ArrayDescriptor = ReadUnit(stream, terminator);
        item.FormatControls = ReadUnit(stream, terminator);
    }

    const int wanted = std::min(maxRecords, MaxDataRecords);
    for (int r = 0; r < wanted && !stream.AtEnd(); ++r) {
        const int64_t start = stream.Position();
        TDRLeader recordLeader;
        TDDRDirectory directory;
        ReadDataRecordHeader(stream, recordLeader, directory);
        if (recordLeader.RecordLength < LeaderSize)
            throw EKorvelaError("ISO 8211 data record at byte " + std::to_string(start) + " is " +
                                std::to_string(recordLeader.RecordLength) +
                                " bytes long, shorter than its 24-byte leader");
        stream.Seek(start + recordLeader.RecordLength);
        const bool repeats = recordLeader.LeaderId == "R";
        description.Records.Leaders.push_back(std::move(recordLeader));
        description.Records.Directories.push_back(std::move(directory));
        if (repeats)
            break;
    }
}

int FindTag(std::string_view tag, const TDDRDirectory& directory)
{
    for (size_t i = 0; i < directory.Items.size(); ++i)
        if (directory.Items[i].Tag == tag)
            return static_cast<int>(i);
    return -1;
}

std::string GetFormatControls(std::string_view tag, const TDataDescription& description)
{
    const int index = FindTag(tag, description.Directory);
    if (index < 0 || index >= description.Area.Count())
        return {};
    return description.Area.Items[static_cast<size_t>(index)].FormatControls;
}

TFieldArray GetFieldLabels(std::string_view tag, const TDataDescription& description)
{
    TFieldArray labels;
    const int index = FindTag(tag, description.Directory);
    if (index < 0 || index >= description.Area.Count())
        return labels;
    std::string_view rest = description.Area.Items[static_cast<size_t>(index)].ArrayDescriptor;
    while (!rest.empty()) {
        const size_t bang = rest.find('!');
        const std::string_view piece = rest.substr(0, bang);
        if (piece.empty())
            break;
        labels.Items.push_back(TFieldItem{std::string(piece)});
        if (bang == std::string_view::npos)
            break;
        rest.remove_prefix(bang + 1);
    }
    return labels;
}

std::string GetSubfieldText(TByteStream& stream, std::string_view tag, std::string_view label, int record,
                            const TDataDescription& description)
{
    const int subfield = LocateSubfield(stream, tag, label, record, description);
    if (subfield < 0)
        return {};
    char terminator = 0;
    for (int i = 0; i < subfield; ++i)
        ReadUnit(stream, terminator);
    return std::string(ReadUnit(stream, terminator));
}

int32_t GetSubfieldInt(TByteStream& stream, std::string_view tag, std::string_view label, int record,
                       const TDataDescription& description)
{
    // Fixed-width integer subfields come padded with blanks ("    16"); the number is what counts.
    const std::string text = GetSubfieldText(stream, tag, label, record, description);
    std::string_view digits = text;
    while (!digits.empty() && digits.front() == ' ')
        digits.remove_prefix(1);
    while (!digits.empty() && digits.back() == ' ')
        digits.remove_suffix(1);
    int32_t value = 0;
    if (!TryParseInteger(digits, value))
        return 0;
    return value;
}

double GetSubfieldFloat(TByteStream& stream, std::string_view tag, std::string_view label, int record,
                        const TDataDescription& description)
{
    return ParseFloat(GetSubfieldText(stream, tag, label, record, description));
}

int32_t GetBinarySubfield(TByteStream& stream, std::string_view tag, std::string_view label, int size, int record,
                          const TDataDescription& description)
{
    if (size < 1 || size > 4)
        throw EKorvelaError("a binary subfield holds 1 to 4 bytes, not " + std::to_string(size));
    const int subfield = LocateSubfield(stream, tag, label, record, description);
    if (subfield < 0)
        return 0;
    stream.Seek(stream.Position() + int64_t{subfield} * size);
    unsigned char bytes[4] = {0, 0, 0, 0};
    stream.Read(bytes, static_cast<size_t>(size));
    uint32_t value = 0;
    for (int i = 0; i < size; ++i)
        value = (value << 8) | bytes[i];
    return static_cast<int32_t>(value);
}

void GetSubfieldList(TByteStream& stream, std::string_view tag, std::string_view label, TStringArray& list,
                     int record, const TDataDescription& description)
{
    list.Items.clear();
    const int subfield = LocateSubfield(stream, tag, label, record, description);
    if (subfield < 0)
        return;
    char terminator = 0;
    for (int i = 0; i < subfield; ++i)
        ReadUnit(stream, terminator);
    while (!stream.AtEnd()) {
        list.Items.emplace_back(ReadUnit(stream, terminator));
        if (terminator != UnitTerminator)
            break;
    }
}

double ParseFloat(std::string_view text)
{
    std::string candidate;
    bool separatorSeen = false;
    size_t i = 0;
    bool haveNumber = false;
    while (i < text.size() && !haveNumber) {
        const char c = text[i];
        if (c == '-') {
            const bool endsInMinus = !candidate.empty() && candidate.back() == '-';
            if (!endsInMinus && !(separatorSeen && !candidate.empty()))
                candidate += '-';
            ++i;
        } else if (c == '.' && !separatorSeen) {
            candidate += '.';
            separatorSeen = true;
            ++i;
        } else if (IsDigit(c)) {
            // The number: digits and the first separator, then an optional exponent.
            while (i < text.size() && (IsDigit(text[i]) || (text[i] == '.' && !separatorSeen))) {
                separatorSeen = separatorSeen || text[i] == '.';
                candidate += text[i++];
            }
            if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
                candidate += 'e';
                ++i;
                if (i < text.size() && text[i] == '-') {
                    candidate += '-';
                    while (i < text.size() && text[i] == '-')
                        ++i;
                }
                while (i < text.size() && IsDigit(text[i]))
                    candidate += text[i++];
            }
            haveNumber = true;
        } else {
            candidate.clear();
            separatorSeen = false;
            ++i;
        }
    }
    if (!haveNumber)
        return 0.0;
    // An exponent letter without digits means an exponent of 0.
    if (!candidate.empty() && candidate.back() == '-' && candidate.size() >= 2 && candidate[candidate.size() - 2] == 'e')
        candidate.pop_back();
    if (!candidate.empty() && candidate.back() == 'e')
        candidate.pop_back();
    double value = 0.0;
    const auto [end, ec] = std::from_chars(candidate.data(), candidate.data() + candidate.size(), value);
    if (ec != std::errc() || end != candidate.data() + candidate.size())
        return 0.0;
    return value;
}

} // namespace kv
