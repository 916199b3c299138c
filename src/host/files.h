// File access that a test can make fail, and whole-file replacement that
// never leaves a half-written file behind.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

namespace files {

// Writes a file's new contents without ever leaving a partial file: the body
// goes to a temporary file in the same folder, which is flushed, closed and
// checked, then replaces the target in one step. On any failure the temporary
// file is removed, the target keeps its old bytes and the result is false. An
// existing target that cannot be opened for writing (read-only) is a failure.
// `writeBody` returns false when it could not write everything.
bool ReplaceFile(const std::string& path, const std::function<bool(std::FILE*)>& writeBody);
bool ReplaceFile(const std::string& path, const std::string& bytes);

}  // namespace files
