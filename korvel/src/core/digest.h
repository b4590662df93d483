// MD5 digests in the library's form: 32 lower-case hex digits and a zero byte.
#pragma once

#include <cstddef>

namespace korvel {

constexpr size_t kDigestSize = 33;

// MD5 over the text's bytes up to its terminator (a null text counts as "").
void TextDigest(const char *text, char (&digest)[kDigestSize]);

// MD5 over a memory block.
void DataDigest(const void *data, size_t size, char (&digest)[kDigestSize]);

// MD5 of a file's content; 0, or -1 when the path is null or the file cannot
// be opened (both failures print their message on standard output).
int FileDigest(const char *path, char (&digest)[kDigestSize]);

} // namespace korvel
