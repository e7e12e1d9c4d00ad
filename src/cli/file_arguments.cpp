#include "file_arguments.h"

#include <algorithm>
#include <ostream>

namespace qlx::cli {

std::optional<std::vector<std::string>> parseFileArguments(const std::vector<std::string>& args,
                                                           std::string_view command, std::string_view usage,
                                                           std::ostream& err, std::span<const ValueOption> options,
                                                           std::span<const FlagOption> flags)
{
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || !arg.starts_with("-")) {
            files.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (const auto flag = std::ranges::find(flags, std::string_view(arg), &FlagOption::name); flag != flags.end()) {
            flag->set();
            continue;
        }
        const auto option = std::ranges::find(options, std::string_view(arg), &ValueOption::name);
        if (option == options.end()) {
            err << "qlx " << command << ": unknown option " << arg << '\n' << usage;
            return std::nullopt;
        }
        if (i + 1 >= args.size() || !option->take(args[i + 1])) {
            err << "qlx " << command << ": " << option->name << " needs " << option->needs << '\n' << usage;
            return std::nullopt;
        }
        ++i;
    }
    if (files.empty()) {
        err << usage;
        return std::nullopt;
    }
    return files;
}

} // namespace qlx::cli
