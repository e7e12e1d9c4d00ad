#pragma once
// Hand-over to an application (kind 2): the files are given to another
// program as its arguments. The program is started directly with an
// argument list, never through a shell, so no file name is ever read as a
// command; it runs on by itself and is not waited for.
//
// Thread model: the caller's thread (QtCore only).

#include <filesystem>
#include <vector>

namespace qlx::actions {

// Whether `application` is a regular file this user may execute (a link
// to one counts).
bool isRunnableApplication(const std::filesystem::path& application);

// Starts `application` with `files` as its arguments. False when it is
// not runnable or could not be started: the caller reports the failure.
bool handOver(const std::filesystem::path& application, const std::vector<std::filesystem::path>& files);

} // namespace qlx::actions
