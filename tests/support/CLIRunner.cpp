#include "support/CLIRunner.h"

#include <cstdlib>
#include <sys/wait.h>

namespace kv::test {

TCLIRun RunCLI(const std::string& tool, const std::vector<std::string>& args, const TTempDir& scratch,
               const std::string& output, int seconds)
{
    std::string command = "cd " + ShellQuoted(scratch.Path().string()) + " && XDG_CONFIG_HOME=" +
                          ShellQuoted(scratch.Path().string()) + " timeout " + std::to_string(seconds) + " " + ShellQuoted(tool);
    for (const std::string& arg : args)
        command += " " + ShellQuoted(arg);
    const auto out = scratch / "stdout.txt";
    const auto err = scratch / "stderr.txt";
    WriteFileText(out, "");
    command += " >" + ShellQuoted(output.empty() ? out.string() : output) + " 2>" + ShellQuoted(err.string()) + " </dev/null";
    const int status = std::system(command.c_str());
    TCLIRun run;
    run.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.Out = ReadFileText(out);
    run.Err = ReadFileText(err);
    return run;
}

} // namespace kv::test
