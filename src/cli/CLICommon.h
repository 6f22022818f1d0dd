#pragma once
// Shared pieces of the command-line tool's commands.

#include "gdalio/GDALReader.h"
#include "platform/Bitmap.h"
#include "platform/KVError.h"

#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kv::cli {

// Thrown for a malformed command line; main prints the message and the command's usage.
class EUsageError : public EKorvelaError {
public:
    using EKorvelaError::EKorvelaError;
};

// Thrown when the user's answer to a question is needed and was not given (a merge of files
// that look incompatible, without --force); main prints the message and exits with 2.
class ERefusedError : public EKorvelaError {
public:
    using EKorvelaError::EKorvelaError;
};

// Arguments after the command name.
using TArgs = std::vector<std::string>;

int RunInfo(const TArgs& args);
int RunGrid(const TArgs& args);
int RunMerge(const TArgs& args);
int RunMap(const TArgs& args);
int RunExport(const TArgs& args);
int RunContours(const TArgs& args);
int RunPicture(const TArgs& args);
int RunConvert(const TArgs& args);
int RunSpin(const TArgs& args);
int RunSceneInfo(const TArgs& args);

extern const char* const InfoHelp;
extern const char* const GridHelp;
extern const char* const MergeHelp;
extern const char* const MapHelp;
extern const char* const ExportHelp;
extern const char* const ContoursHelp;
extern const char* const PictureHelp;
extern const char* const ConvertHelp;
extern const char* const SpinHelp;
extern const char* const SceneInfoHelp;

// A progress line on stderr while it is a terminal ("reading 42%"), else nothing.
TProgressProc TerminalProgress(const std::string& what);

// True when `args` asks for help (before a "--").
bool WantsHelp(const TArgs& args);

// `text` as it may reach a terminal: control bytes (C0, DEL, C1) and bytes that are not
// well-formed UTF-8 are shown escaped as \xNN, so text from a file can neither move the
// cursor nor change the terminal's state. Printable ASCII and UTF-8 stay as they are.
std::string TerminalSafe(std::string_view text);

// "Cannot write the output: <reason>" for the error number of a failed write to stdout.
std::string OutputErrorMessage(int error);

// A command's arguments split into options and operands. "--" ends the options: every later
// argument is an operand, even "-x.dem". An option named in `valued` takes a value, given as
// "--name value" or "--name=value"; "=" on any other option is a usage error.
struct TOption {
    std::string Name;
    std::optional<std::string> Value; // empty when a valued option ends the arguments
};
struct TSplitArgs {
    std::vector<TOption> Options; // in the order given
    std::vector<std::string> Operands;
};
TSplitArgs SplitArgs(const TArgs& args, std::initializer_list<std::string_view> valued = {});
TSplitArgs SplitArgs(const TArgs& args, std::span<const std::string_view> valued);

} // namespace kv::cli
