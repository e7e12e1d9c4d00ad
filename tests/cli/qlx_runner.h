#pragma once
// Running the qlx binary the build made, as a user would, and reading what
// it printed: shared by the command-line tests.

#include "support/run_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>

namespace qlx::test {

// `program` with the arguments (quoted by the caller), standard error folded
// into the output.
inline CommandOutcome runQlx(const std::string& arguments, const std::filesystem::path& program = QLX_CLI_PATH)
{
    return runCommand("'" + program.string() + "' " + arguments + " 2>&1");
}

inline std::string quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

inline bool hasLine(const std::string& text, const std::string& line)
{
    return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

// Every one of `lines` is a whole line of `out`.
inline void expectLines(const std::string& out, std::initializer_list<std::string> lines)
{
    for (const std::string& line : lines)
        EXPECT_TRUE(hasLine(out, line)) << line << "\n" << out;
}

} // namespace qlx::test
