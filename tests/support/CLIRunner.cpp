#include "support/CLIRunner.h"

#include <cstdlib>
#include <sys/wait.h>

namespace kv::test {

namespace {

std::string Quoted(const std::string& arg)
{
    std::string quoted = "'";
    for (char c : arg)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

} // namespace

TCLIRun RunCLI(const std::string& tool, const std::vector<std::string>& args, const TTempDir& scratch,
               const std::string& output, int seconds)
{
    std::string command = "cd " + Quoted(scratch.Path().string()) + " && XDG_CONFIG_HOME=" +
                          Quoted(scratch.Path().string()) + " timeout " + std::to_string(seconds) + " " + Quoted(tool);
    for (const std::string& arg : args)
        command += " " + Quoted(arg);
    const auto out = scratch / "stdout.txt";
    const auto err = scratch / "stderr.txt";
    WriteFileText(out, "");
    command += " >" + Quoted(output.empty() ? out.string() : output) + " 2>" + Quoted(err.string()) + " </dev/null";
    const int status = std::system(command.c_str());
    TCLIRun run;
    run.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.Out = ReadFileText(out);
    run.Err = ReadFileText(err);
    return run;
}

} // namespace kv::test
