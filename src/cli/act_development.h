#pragma once
// `qlx act tiff|jpeg`: the development actions run as the program runs
// them: the destination resolved against the first file's folder, a
// missing folder made only on a yes, one development job over the RAW
// files, waited for here; each file's action-log line as its report comes.

#include "actions/action_kinds.h"
#include "actions/file_action.h"

#include <filesystem>
#include <iosfwd>
#include <string_view>
#include <vector>

namespace qlx::cli {

// Returns 0 when every file was developed and written, 1 otherwise.
int runDevelopmentAction(actions::ActionKind kind, const std::vector<std::filesystem::path>& files,
                         std::u16string_view destination, const actions::FileActionAnswers& answers,
                         std::ostream& out, std::ostream& err);

} // namespace qlx::cli
