// Loads a small SDTS transfer from memory in which one module comes from the fuzzer: the first
// input byte picks the module (low bits: 0 the cell module, 1-9 a header module; bit 7: float
// cells instead of 16-bit ones), the rest are its bytes. The other modules are valid. Only
// EKorvelaError may come out, and the grid must describe its cells afterwards.
#include "dem/SDTSLoader.h"
#include "platform/KVError.h"
#include "support/SDTSWriter.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace {

// A valid 4 x 3 transfer whose modules the fuzzer replaces one at a time.
std::map<std::string, std::string> BaseTransfer(bool floatCells)
{
    kv::test::TSDTSTransfer transfer;
    transfer.Cols = 4;
    transfer.Rows = 3;
    transfer.Cells = {496, 495.5f, -1000, 1, 2, 3, -32767, 5, 6, 7, 8, 122.5f};
    transfer.FloatCells = floatCells;
    transfer.Corners = {1, 2, 3, 4, 5, 6, 7, 8};
    transfer.AddressX = 300;
    transfer.AddressY = 600;
    return kv::test::BuildSDTSTransfer(transfer);
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
            return kv::TSDTSModuleFile{code, input};
        const std::string& bytes = base.at(code);
        return kv::TSDTSModuleFile{code, std::vector<char>(bytes.begin(), bytes.end())};
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
