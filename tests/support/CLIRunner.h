#pragma once
// The command-line tool run as a user runs it: arguments in, text and an exit code out.

#include "support/TestData.h"

#include <string>
#include <vector>

namespace kv::test {

struct TCLIRun {
    int ExitCode = -1;
    std::string Out;
    std::string Err;
};

// Runs `tool` in `scratch` with `args`, its settings folder there, its standard output in a file
// there unless `output` names another place. A run that hangs is ended after `seconds` (exit
// code 124).
TCLIRun RunCLI(const std::string& tool, const std::vector<std::string>& args, const TTempDir& scratch,
               const std::string& output = {}, int seconds = 60);

} // namespace kv::test
