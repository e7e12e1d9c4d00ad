#pragma once
// `qlx bench develop FILE [--mode M] [--repeat N] [--cancel-after MS]`:
// times the RAW engine in this process, without the start-up and the
// writing that `qlx develop` adds. Prints the picture's size, the
// milliseconds of each development (mean and fastest) and the process's
// peak resident memory.
//
// With --cancel-after, it then starts developments on a second thread and
// cancels them MS, 2 × MS, … milliseconds after their start, across the
// length of a whole development, and prints for each how long the engine
// took to return after the request, and the worst of them: how soon a
// cancel takes effect wherever the development stands.

#include <iosfwd>
#include <string>
#include <vector>

namespace qlx::cli {

// `args` are the arguments after "bench", starting with "develop". Returns
// 0, 1 when the file does not develop, 2 after a usage line.
int runDevelopBenchCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace qlx::cli
