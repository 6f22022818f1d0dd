// The settings file parser over arbitrary text: parsing, lookups and writing back must hold up,
// and what it writes must parse to the same values.
#include "platform/INIFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    kv::TINIFile ini = kv::TINIFile::Parse(text);
    const int count = ini.ReadInteger("History", "Count", 0);
    const bool feet = ini.ReadBool("Units", "Feet", true);
    ini.WriteInteger("History", "Count", count);
    ini.WriteBool("Units", "Feet", feet);
    const kv::TINIFile again = kv::TINIFile::Parse(ini.Text());
    if (again.ReadInteger("History", "Count", -1) != count || again.ReadBool("Units", "Feet", !feet) != feet)
        std::abort();
    return 0;
}
