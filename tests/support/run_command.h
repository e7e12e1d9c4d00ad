#pragma once
// Runs a shell command line and collects its standard output and exit code,
// for the tests that drive the command-line tool as a user would.

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace qlx::test {

struct CommandOutcome {
    int exitCode = -1;
    std::string out;
};

inline CommandOutcome runCommand(const std::string& command)
{
    CommandOutcome outcome;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return outcome;
    std::array<char, 4096> buffer{};
    std::size_t got = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        outcome.out.append(buffer.data(), got);
    const int status = ::pclose(pipe);
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

} // namespace qlx::test
