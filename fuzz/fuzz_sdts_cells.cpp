// Loads a small SDTS transfer from memory in which one module comes from the fuzzer: the first
// input byte picks the module (low bits: 0 the cell module, 1-9 a header module; bit 7: float
// cells instead of 16-bit ones), the rest are its bytes. The other modules are valid. Only
// EKorvelaError may come out, and the grid must describe its cells afterwards.
#include "dem/SDTSLoader.h"
#include "platform/KVError.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr char FT = 0x1E;
constexpr char UT = 0x1F;

std::string Digits(size_t value, size_t width)
{
    const std::string text = std::to_string(value);
    return std::string(width - text.size(), '0') + text;
}

// One record with 4-digit lengths and positions (enough for the small modules built here).
std::string Record(const std::string& leaderStart, const std::vector<std::pair<std::string, std::string>>& fields)
{
    std::string directory;
    std::string area;
    for (const auto& [tag, content] : fields) {
        directory += tag + Digits(content.size(), 4) + Digits(area.size(), 4);
        area += content;
    }
    const size_t base = 24 + directory.size() + 1;
    return Digits(base + area.size(), 5) + leaderStart + Digits(base, 5) + "   4404" + directory + FT + area;
}

std::string Units(const std::vector<std::string>& values)
{
    std::string text;
    for (const std::string& value : values)
        text += value + UT;
    text.back() = FT;
    return text;
}

// A module with one user field `tag` (labels `labels`) and one data record whose field holds `content`.
std::string Module(const std::string& tag, const std::string& labels, const std::string& formats,
                   const std::string& content)
{
    const std::string description = std::string("1600;&") + tag + UT + labels + UT + formats + FT;
    return Record("2L 1 06", {{tag, description}}) + Record(" D     ", {{tag, content}});
}

std::map<std::string, std::string> BaseTransfer(bool floatCells)
{
    std::map<std::string, std::string> m;
    m["DQPA"] = Module("DQPA", "MODN!RCID!COMT", "(A,I,A)", Units({"DQPA", "1", "DEM LEVEL  2"}));
    m["RSDF"] = Module("SADR", "X!Y", "(2B(32))", std::string("\x00\x00\x01\x2C\x00\x00\x02\x58", 8) + FT);
    m["DDSH"] = Module("DDSH", "MODN!RCID!FMT!UNIT", "(4A)", Units({"DDSH", "1", floatCells ? "BFP32" : "BI16", "FEET"}));
    m["IDEN"] = Module("IDEN", "MODN!RCID!TITL!SCAL", "(4A)", Units({"IDEN", "1", "FUZZ", "24000"}));
    m["DDOM"] = Module("DDOM", "MODN!RCID!DVAL", "(3A)", Units({"DDOM", "3", "100"}));
    m["IREF"] = Module("IREF", "MODN!RCID!SFAX!SFAY!XHRS!YHRS", "(6A)", Units({"IREF", "1", "0.01", "0.01", "30", "30"}));
    m["XREF"] = Module("XREF", "MODN!RCID!RSNM!HDAT!ZONE", "(5A)", Units({"XREF", "1", "UTM", "NAX", "16"}));
    m["SPDM"] = Module("DMSA", "*X!Y", "(2R)", Units({"1", "2", "3", "4", "5", "6", "7", "8"}));
    m["LDEF"] = Module("LDEF", "MODN!RCID!NROW!NCOL", "(4A)", Units({"LDEF", "1", "3", "4"}));
    std::string cells;
    const std::string description = std::string("1600;&CVLS") + UT + "*ELEVATION" + UT + "(B(16))" + FT;
    cells += Record("2L 1 06", {{"CVLS", description}});
    for (int row = 0; row < 3; ++row) {
        std::string values;
        for (int col = 0; col < 4; ++col)
            values += floatCells ? std::string("\x43\xF7\x00\x00", 4) : std::string("\x01\xF0", 2);
        cells += Record(" D     ", {{"CVLS", values + FT}});
    }
    m["CEL0"] = cells;
    return m;
}

const std::array<const char*, 10> ModuleCodes = {"CEL0", "DQPA", "RSDF", "DDSH", "IDEN",
                                                 "DDOM", "IREF", "XREF", "SPDM", "LDEF"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    static const std::array<std::map<std::string, std::string>, 2> bases = {BaseTransfer(false), BaseTransfer(true)};
    const std::map<std::string, std::string>& base = bases[(data[0] & 0x80) ? 1 : 0];
    const std::string replaced = ModuleCodes[(data[0] & 0x7F) % ModuleCodes.size()];
    const std::vector<char> input(data + 1, data + size);
    const kv::TSDTSModuleSource source = [&](const std::string& code) {
        if (code == replaced)
            return input;
        const std::string& bytes = base.at(code);
        return std::vector<char>(bytes.begin(), bytes.end());
    };
    kv::TDEMArray dem;
    try {
        kv::LoadSDTSModules(source, "CEL0", dem);
    } catch (const kv::EKorvelaError&) {
    }
    if (dem.Cols() > 0 && dem.Rows() > 0)
        (void)dem.GetValue(dem.Cols() - 1, dem.Rows() - 1);
    return 0;
}
