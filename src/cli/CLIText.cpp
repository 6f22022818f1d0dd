#include "cli/CLICommon.h"

#include <cstdio>
#include <cstring>

namespace kv::cli {

namespace {

// Length of the well-formed UTF-8 sequence starting at text[i] that encodes a printable
// character (no C1 control), or 0.
size_t PrintableUTF8Length(std::string_view text, size_t i)
{
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    const size_t length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                          : lead >= 0xF0 && lead <= 0xF4                                   ? 4
                                                                                           : 0;
    if (length == 0 || i + length > text.size())
        return 0;
    for (size_t k = 1; k < length; ++k)
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
    // Overlong forms, surrogates and code points beyond U+10FFFF.
    if ((lead == 0xE0 && byte(i + 1) < 0xA0) || (lead == 0xED && byte(i + 1) >= 0xA0) ||
        (lead == 0xF0 && byte(i + 1) < 0x90) || (lead == 0xF4 && byte(i + 1) >= 0x90))
        return 0;
    // U+0080 to U+009F: the C1 controls, which some terminals obey.
    if (lead == 0xC2 && byte(i + 1) <= 0x9F)
        return 0;
    return length;
}

} // namespace

std::string TerminalSafe(std::string_view text)
{
    std::string safe;
    safe.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F) {
            safe += text[i++];
            continue;
        }
        if (const size_t length = c >= 0x80 ? PrintableUTF8Length(text, i) : 0; length > 0) {
            safe.append(text.substr(i, length));
            i += length;
            continue;
        }
        char escaped[5];
        std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
        safe += escaped;
        ++i;
    }
    return safe;
}

} // namespace kv::cli

namespace kv::cli {

std::string OutputErrorMessage(int error)
{
    return std::string("Cannot write the output: ") + std::strerror(error);
}

bool WantsHelp(const TArgs& args)
{
    for (const std::string& arg : args) {
        if (arg == "--")
            return false;
        if (arg == "--help" || arg == "-h")
            return true;
    }
    return false;
}

TSplitArgs SplitArgs(const TArgs& args, std::initializer_list<std::string_view> valued)
{
    return SplitArgs(args, std::span<const std::string_view>(valued.begin(), valued.size()));
}

TSplitArgs SplitArgs(const TArgs& args, std::span<const std::string_view> valued)
{
    TSplitArgs split;
    const auto takesValue = [&](std::string_view name) {
        for (std::string_view v : valued)
            if (v == name)
                return true;
        return false;
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") {
            split.Operands.insert(split.Operands.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
            break;
        }
        if (arg.size() < 2 || arg[0] != '-') {
            split.Operands.push_back(arg);
            continue;
        }
        const size_t equals = arg.find('=');
        TOption option{arg.substr(0, equals), std::nullopt};
        if (equals != std::string::npos) {
            if (!takesValue(option.Name))
                throw EUsageError{"option '" + option.Name + "' takes no value"};
            option.Value = arg.substr(equals + 1);
        } else if (takesValue(option.Name) && i + 1 < args.size()) {
            option.Value = args[++i];
        }
        split.Options.push_back(std::move(option));
    }
    return split;
}

} // namespace kv::cli
