#include "support/SDTSWriter.h"

#include "support/TestData.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <stdexcept>

namespace kv::test {

namespace {

constexpr char FT = 0x1E;
constexpr char UT = 0x1F;

std::string Digits(int64_t value, int width)
{
    std::string text = std::to_string(value);
    if (static_cast<int>(text.size()) > width)
        throw std::runtime_error("SDTS writer: " + text + " does not fit in " + std::to_string(width) + " digits");
    return std::string(static_cast<size_t>(width) - text.size(), '0') + text;
}

int DigitCount(int64_t value)
{
    return static_cast<int>(std::to_string(value).size());
}

// Leader start (before the field area base), directory entries and field area of one record.
struct TRecordParts {
    std::vector<std::pair<std::string, std::string>> Fields; // tag, content
};

std::string Assemble(const TRecordParts& parts, bool ddr, char leaderId)
{
    int64_t maxLength = 0;
    int64_t areaSize = 0;
    for (const auto& [tag, content] : parts.Fields) {
        if (tag.size() != 4)
            throw std::runtime_error("SDTS writer: field tags have 4 characters, not '" + tag + "'");
        maxLength = std::max<int64_t>(maxLength, static_cast<int64_t>(content.size()));
        areaSize += static_cast<int64_t>(content.size());
    }
    const int64_t lastPos = areaSize - (parts.Fields.empty() ? 0 : static_cast<int64_t>(parts.Fields.back().second.size()));
    const int sizeLength = DigitCount(maxLength);
    const int sizePos = DigitCount(lastPos);
    const int64_t base = 24 + static_cast<int64_t>(parts.Fields.size()) * (sizeLength + sizePos + 4) + 1;
    const int64_t recordLength = base + areaSize;

    std::string record = Digits(recordLength, 5);
    if (ddr)
        record += std::string("2L 1 06") + Digits(base, 5) + "   ";
    else
        record += std::string(" ") + leaderId + "     " + Digits(base, 5) + "   ";
    record += std::to_string(sizeLength) + std::to_string(sizePos) + "04";
    int64_t pos = 0;
    for (const auto& [tag, content] : parts.Fields) {
        record += tag + Digits(static_cast<int64_t>(content.size()), sizeLength) + Digits(pos, sizePos);
        pos += static_cast<int64_t>(content.size());
    }
    record += FT;
    for (const auto& field : parts.Fields)
        record += field.second;
    return record;
}

TSDTSRecord WithRecordNumber(const TSDTSRecord& fields, int number)
{
    TSDTSRecord record;
    record.push_back({"0001", Digits(number, 7) + FT});
    record.insert(record.end(), fields.begin(), fields.end());
    return record;
}

std::string FormatReal(double value)
{
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::fixed, 8);
    return std::string(buffer, end);
}

std::string Padded(const std::string& text, size_t width)
{
    return std::string(width - std::min(width, text.size()), ' ') + text;
}

} // namespace

std::string TextUnits(const std::vector<std::string>& values)
{
    std::string text;
    for (size_t i = 0; i < values.size(); ++i) {
        text += values[i];
        text += i + 1 < values.size() ? UT : FT;
    }
    if (values.empty())
        text += FT;
    return text;
}

std::string BigEndian(int64_t value, int size)
{
    std::string bytes(static_cast<size_t>(size), '\0');
    auto bits = static_cast<uint64_t>(value);
    for (int i = size - 1; i >= 0; --i, bits >>= 8)
        bytes[static_cast<size_t>(i)] = static_cast<char>(bits & 0xFF);
    return bytes;
}

std::string BigEndianFloat(float value)
{
    return BigEndian(std::bit_cast<uint32_t>(value), 4);
}

std::string BuildDDR(const std::string& fileName, const std::vector<TSDTSField>& fields)
{
    TRecordParts parts;
    parts.Fields.push_back({"0000", std::string("0000;&") + fileName + UT + UT + FT});
    parts.Fields.push_back({"0001", std::string("0100;&DDF RECORD IDENTIFIER") + UT + UT + FT});
    for (const TSDTSField& field : fields)
        parts.Fields.push_back({field.Tag, field.Controls + field.Name + UT + field.Labels + UT + field.Formats + FT});
    return Assemble(parts, true, 'L');
}

std::string BuildDataRecord(const TSDTSRecord& fields, char leaderId)
{
    TRecordParts parts;
    for (const TSDTSRecordField& field : fields)
        parts.Fields.push_back({field.Tag, field.Content});
    return Assemble(parts, false, leaderId);
}

std::string BuildModule(const TSDTSModule& module)
{
    std::string bytes = BuildDDR(module.FileName, module.Fields);
    for (size_t r = 0; r < module.Records.size(); ++r) {
        const TSDTSRecord record = WithRecordNumber(module.Records[r], static_cast<int>(r + 1));
        if (module.RepeatFirst && r > 0) {
            for (const TSDTSRecordField& field : record)
                bytes += field.Content;
        } else {
            bytes += BuildDataRecord(record, module.RepeatFirst ? 'R' : 'D');
        }
    }
    return bytes;
}

std::map<std::string, std::string> BuildSDTSTransfer(const TSDTSTransfer& t)
{
    std::map<std::string, std::string> modules;
    const auto simple = [&](const std::string& code, const std::string& labels, const std::string& formats,
                            const std::vector<std::vector<std::string>>& records) {
        TSDTSModule module;
        module.FileName = "TEST" + code + ".DDF";
        module.Fields.push_back({code, code + " test field", "MODN!RCID!" + labels, formats});
        int id = 1;
        for (const auto& values : records) {
            std::vector<std::string> units = {code, std::to_string(id++)};
            units.insert(units.end(), values.begin(), values.end());
            module.Records.push_back({{code, TextUnits(units)}});
        }
        modules[code] = BuildModule(module);
    };
    simple("DQPA", "COMT", "(A,I,A)", {{t.LevelComment}, {"ACCURACY: not measured"}});
    simple("DDSH", "NAME!TYPE!ATLB!FMT!UNIT", "(A,I,5A)",
           {{"CEL0", "CELL", "ELEVATION", t.FloatCells ? "BFP32" : "BI16", t.Units}});
    simple("IDEN", "STID!TITL!DAID!DCDT!SCAL", "(A,I,4A,I)",
           {{"SPATIAL DATA TRANSFER STANDARD", t.Title, t.DataId, t.CreationDate, std::to_string(t.Scale)}});
    simple("DDOM", "ATLB!RAVA!DVAL", "(A,I,2A,I)",
           {{"ELEVATION", "VALUE", "-32767"},
            {"ELEVATION", "VALUE", "-32766"},
            {"ELEVATION", "MIN", std::to_string(t.MinElevation)},
            {"ELEVATION", "MAX", std::to_string(t.MaxElevation)}});
    simple("IREF", "HFMT!SFAX!SFAY!XORG!YORG!XHRS!YHRS", "(A,I,A,6R)",
           {{"BI32", FormatReal(t.ScaleX), FormatReal(t.ScaleY), FormatReal(t.OriginX), FormatReal(t.OriginY),
             FormatReal(t.XRes), FormatReal(t.YRes)}});
    simple("XREF", "RSNM!HDAT!ZONE", "(A,I,2A,I)", {{t.RefSystem, t.Datum, std::to_string(t.Zone)}});
    simple("LDEF", "CMNM!NROW!NCOL!INTR", "(A,I,A,2I,A)",
           {{"CEL0", t.RowsText.empty() ? std::to_string(t.Rows) : t.RowsText,
             t.ColsText.empty() ? std::to_string(t.Cols) : t.ColsText, "CE"}});

    {
        TSDTSModule rsdf;
        rsdf.FileName = "TESTRSDF.DDF";
        rsdf.Fields.push_back({"RSDF", "Raster Definition", "MODN!RCID!OBRP!RWXT!CLXT", "(A,I,A,2I)"});
        rsdf.Fields.push_back({"SADR", "Spatial Address", "X!Y", t.BinaryAddress ? "(2B(32))" : "(2R)"});
        const std::string address = t.BinaryAddress
                                        ? BigEndian(t.AddressX, 4) + BigEndian(t.AddressY, 4) + FT
                                        : TextUnits({std::to_string(t.AddressX), std::to_string(t.AddressY)});
        rsdf.Records.push_back({{"RSDF", TextUnits({"RSDF", "1", t.ObjectRep, std::to_string(t.Rows),
                                                     std::to_string(t.Cols)})},
                                {"SADR", address}});
        modules["RSDF"] = BuildModule(rsdf);
    }
    {
        TSDTSModule spdm;
        spdm.FileName = "TESTSPDM.DDF";
        spdm.Fields.push_back({"SPDM", "Spatial Domain", "MODN!RCID!DTYP", "(A,I,A)"});
        spdm.Fields.push_back({"DMSA", "Domain Spatial Address", "*X!Y", "(2R)"});
        std::vector<std::string> corners;
        for (double value : t.Corners)
            corners.push_back(FormatReal(value));
        spdm.Records.push_back({{"SPDM", TextUnits({"SPDM", "1", "RING"})}, {"DMSA", TextUnits(corners)}});
        modules["SPDM"] = BuildModule(spdm);
    }
    {
        TSDTSModule cel;
        cel.FileName = "TESTCEL0.DDF";
        cel.RepeatFirst = t.RepeatMode;
        cel.Fields.push_back({"CELL", "Cell", "MODN!RCID!ROWI!COLI", t.RepeatMode ? "(A(4),3I(6))" : "(A,I,2I)"});
        cel.Fields.push_back({"CVLS", "Cell Values", "*ELEVATION", t.FloatCells ? "(B(32))" : "(B(16))"});
        for (int32_t r = 0; r < t.Rows; ++r) {
            std::string values;
            values.reserve(static_cast<size_t>(t.Cols) * 4 + 1);
            for (int32_t c = 0; c < t.Cols; ++c) {
                const float v = t.Cells[static_cast<size_t>(r) * static_cast<size_t>(t.Cols) + static_cast<size_t>(c)];
                values += t.FloatCells ? BigEndianFloat(v) : BigEndian(static_cast<int64_t>(std::lround(v)), 2);
            }
            values += FT;
            const std::string id = std::to_string(r + 1);
            const std::string cell = t.RepeatMode
                                         ? "CEL0" + Padded(id, 6) + Padded(id, 6) + Padded("1", 6) + FT
                                         : TextUnits({"CEL0", id, id, "1"});
            cel.Records.push_back({{"CELL", cell}, {"CVLS", values}});
        }
        modules["CEL0"] = BuildModule(cel);
    }
    return modules;
}

std::filesystem::path WriteSDTSTransfer(const std::filesystem::path& folder, const std::string& prefix,
                                        const TSDTSTransfer& transfer)
{
    for (const auto& [code, bytes] : BuildSDTSTransfer(transfer))
        WriteFileText(folder / (prefix + code + ".DDF"), bytes);
    return folder / (prefix + "CEL0.DDF");
}

} // namespace kv::test
