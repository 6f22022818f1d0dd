#pragma once
// Shared pieces of the command-line tool's commands.

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
int RunMap(const TArgs& args);

extern const char* const InfoHelp;
extern const char* const GridHelp;
extern const char* const MergeHelp;
extern const char* const MapHelp;

// True when `args` asks for help.
bool WantsHelp(const TArgs& args);

} // namespace kv::cli
