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
    "than 10 meters apart) the merge is refused with exit code 2 unless --force is given.\n"
    "--pan=P works as --pan P; files starting with '-' go after '--'.\n";

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

// The question's lines joined into one sentence sequence: "A\r\nB?" becomes "A. B?".
std::string OnOneLine(const std::string& question)
{
    std::string line;
    size_t start = 0;
    while (start <= question.size()) {
        size_t end = question.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = question.size();
        const std::string part = question.substr(start, end - start);
        if (!part.empty()) {
            if (!line.empty())
                line += std::string(".?!").find(line.back()) == std::string::npos ? ". " : " ";
            line += part;
        }
        start = end + 1;
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
    double pan = 0.5;
    bool force = false;
    const TSplitArgs split = SplitArgs(args, {"--pan"});
    for (const TOption& option : split.Options) {
        if (option.Name == "--west-east" || option.Name == "--south-north") {
            if (direction != mdNone)
                throw EUsageError{"give one of --west-east and --south-north"};
            direction = option.Name == "--west-east" ? mdWestEast : mdSouthNorth;
        } else if (option.Name == "--force") {
            force = true;
        } else if (option.Name == "--pan") {
            if (!option.Value || !TryParseFraction(*option.Value, pan))
                throw EUsageError{"--pan needs a number from 0 to 1"};
        } else {
            throw EUsageError{"unknown option '" + option.Name + "'"};
        }
    }
    const std::vector<std::string>& files = split.Operands;
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
        throw ERefusedError{OnOneLine(refusedQuestion) + " (use --force to merge anyway)"};
    }
    return 0;
}

} // namespace kv::cli
