#pragma once
// One action on one file, as a key runs it and as `qlx act` runs it: copy
// or move into the action's folder, send to the trash, or delete. The
// folder is taken from each file's own folder unless it begins with "/".
// The questions an action may ask (replace a file of the same name, create
// a folder that is missing) come answered with the call; "no" makes the
// file's result a failure ("NG!") and changes nothing.
//
// Thread model: blocking file-system calls on the caller's thread.

#include "actions/action_kinds.h"
#include "actions/action_log.h"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace qlx::actions {

// The folder an action's destination names for `file`: the text as it is
// when it begins with "/", else the file's folder followed by the text
// (".." kept as written), with a "/" at the end.
std::filesystem::path resolveDestination(const std::filesystem::path& file, std::u16string_view destination);

struct FileActionAnswers {
    bool replace = false;      // replace a file of the same name
    bool createFolder = false; // create a destination folder that is missing
};

// The same questions asked when they arise; an empty function answers no.
struct FileActionQuestions {
    std::function<bool(const std::filesystem::path& existing)> replace;
    std::function<bool(const std::filesystem::path& folder)> createFolder;
};

struct FileActionOutcome {
    Result result = Result::Failed;
    std::filesystem::path placed; // where the file went (copy, move, trash)
    std::string reason;           // why it failed, for logs and the command line
    bool folderCreated = false;   // the destination folder was made for it
};

// Copy (3), move (4), trash (5) or delete (6) `file`; any other kind
// fails, as it is not run here.
FileActionOutcome runFileAction(ActionKind kind, const std::filesystem::path& file, std::u16string_view destination,
                                const FileActionAnswers& answers);
FileActionOutcome runFileAction(ActionKind kind, const std::filesystem::path& file, std::u16string_view destination,
                                const FileActionQuestions& questions);

} // namespace qlx::actions
