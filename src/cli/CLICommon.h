#pragma once
// Shared pieces of the command-line tool's commands.

#include "gdalio/GDALReader.h"
#include "platform/KVError.h"

#include <string>
#include <vector>

namespace kv::cli {

// Thrown for a malformed command line; main prints the message and the command's usage.
class EUsageError : public EKorvelaError {
public:
    using EKorvelaError::EKorvelaError;
};

// Arguments after the command name.
using TArgs = std::vector<std::string>;

int RunInfo(const TArgs& args);
int RunGrid(const TArgs& args);
int RunMerge(const TArgs& args);
int RunExport(const TArgs& args);

extern const char* const InfoHelp;
extern const char* const GridHelp;
extern const char* const MergeHelp;
extern const char* const ExportHelp;

// A progress line on stderr while it is a terminal ("reading 42%"), else nothing.
TProgressProc TerminalProgress(const std::string& what);

// True when `args` asks for help.
bool WantsHelp(const TArgs& args);

} // namespace kv::cli
