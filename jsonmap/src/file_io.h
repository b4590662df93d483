// File access of the mapping component: whole-file read and atomic replace.
#pragma once

#include <string>

namespace jsonmap {

// Reads the whole file; false when it cannot be opened or read.
bool ReadWholeFile(const char *path, std::string &content);

// Writes `content` to a temporary file beside `path` (owner-only permissions),
// flushes it to disk and renames it over `path`. On failure the old file is
// left as it was and the temporary file is removed.
bool ReplaceFileAtomically(const char *path, const std::string &content);

} // namespace jsonmap
