#pragma once
// The arguments of the subcommands that take FILE... (`qlx info`, `qlx
// kind`): every argument that is not an option names a file, "--" ends the
// options (so that a file named "-x" can be given), and an option with a
// value takes the argument behind it; a flag takes none.

#include <functional>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qlx::cli {

struct ValueOption {
    std::string_view name;  // "--mask"
    std::string_view needs; // for the error line: "a hexadecimal mask"
    // Takes the value; false when it is not one.
    std::function<bool(std::string_view)> take;
};

struct FlagOption {
    std::string_view name; // "--jpeg"
    std::function<void()> set;
};

// The files named in `args` (the arguments after the subcommand name).
// Nothing, after a line on `err` and the usage text, when an option is
// unknown or lacks its value, or when no file is named.
std::optional<std::vector<std::string>> parseFileArguments(const std::vector<std::string>& args,
                                                           std::string_view command, std::string_view usage,
                                                           std::ostream& err,
                                                           std::span<const ValueOption> options = {},
                                                           std::span<const FlagOption> flags = {});

} // namespace qlx::cli
