#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace qlx::cli {

// qlx settings dump [--defaults | FILE]
int runSettingsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace qlx::cli
