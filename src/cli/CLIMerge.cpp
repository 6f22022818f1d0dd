#include "cli/CLICommon.h"

#include "dem/KVDEMMerge.h"
#include <charconv>
#include <cstdio>
#include <unistd.h>

namespace kv::cli {

const char* const MergeHelp =
    "Usage: korvela3d-cli merge --west-east|--south-north FILE0 FILE1 OUT [--pan P] [--force]\n"
    "\n"
    "Merges two neighbouring USGS DEM files into OUT. FILE0 is the west (or south) file,\n"
    "FILE1 the east (or north) one. The result has the size of FILE0 and covers a window\n"
    "slid across the seam by the pan factor P (0 to 1, default 0.5): 0 keeps FILE0's\n"
    "area, 1 moves fully onto FILE1, 0.5 centres on the seam.\n"
    "When the files look incompatible (different reference systems, or corners more\n"
    "than 10 meters apart) the merge is refused with exit code 2 unless --force is given.\n";

namespace {

// A progress line on a terminal; nothing when stderr is redirected.
void ShowProgress(int position, int maximum)
{
    static const bool terminal = isatty(STDERR_FILENO) != 0;
    if (!terminal || maximum <= 0)
        return;
    if (position == 0) {
        std::fputs("\r\033[K", stderr);
        return;
    }
    std::fprintf(stderr, "\rmerging: %3d%%", static_cast<int>(100LL * position / maximum));
}

std::string OnOneLine(std::string text)
{
    std::string line;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        line += text[i] == '\r' ? '\n' : text[i];
    }
    return line;
}

// A plain decimal number ("0.5", "1", ".25"); no exponent, no "inf" or "nan".
bool TryParseFraction(const std::string& text, double& value)
{
    if (text.empty() || text.find_first_not_of("+-.0123456789") != std::string::npos)
        return false;
    const char* first = text.data() + (text[0] == '+' ? 1 : 0);
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, value, std::chars_format::fixed);
    return error == std::errc() && end == last;
}

enum TMergeDirection { mdNone, mdWestEast, mdSouthNorth };

} // namespace

int RunMerge(const TArgs& args)
{
    TMergeDirection direction = mdNone;
    std::vector<std::string> files;
    double pan = 0.5;
    bool force = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--west-east" || arg == "--south-north") {
            if (direction != mdNone)
                throw EUsageError{"give one of --west-east and --south-north"};
            direction = arg == "--west-east" ? mdWestEast : mdSouthNorth;
        } else if (arg == "--force") {
            force = true;
        } else if (arg == "--pan") {
            if (i + 1 == args.size() || !TryParseFraction(args[i + 1], pan))
                throw EUsageError{"--pan needs a number from 0 to 1"};
            ++i;
        } else if (!arg.empty() && arg[0] == '-') {
            throw EUsageError{"unknown option '" + arg + "'"};
        } else {
            files.push_back(arg);
        }
    }
    if (direction == mdNone)
        throw EUsageError{"give --west-east or --south-north"};
    if (files.size() != 3)
        throw EUsageError{"merge needs FILE0, FILE1 and OUT"};
    if (!(pan >= 0.0 && pan <= 1.0))
        throw EUsageError{"--pan needs a number from 0 to 1"};

    std::string refusedQuestion;
    TMergeCallbacks callbacks;
    callbacks.Progress = ShowProgress;
    callbacks.Confirm = [&](const std::string& question) {
        if (force)
            return true;
        refusedQuestion = question;
        return false;
    };
    const bool merged = direction == mdWestEast ? MergeWestEast(files[0], files[1], files[2], pan, callbacks)
                                              : MergeSouthNorth(files[0], files[1], files[2], pan, callbacks);
    if (!merged) {
        std::fprintf(stderr, "%s\n(use --force to merge anyway)\n", OnOneLine(refusedQuestion).c_str());
        return 2;
    }
    return 0;
}

} // namespace kv::cli
