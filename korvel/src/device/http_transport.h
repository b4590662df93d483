// Pieces of the HTTP transport that stand on their own: the mapping of
// transfer results and statuses to result codes, and the multipart form of an
// upload.
#pragma once

#include <string>

namespace korvel {

// libcurl result to result code: could not connect, remote access denied and
// timed out have codes of their own; anything else is -1.
int MapTransferError(int transfer_result);

// Failure status to result code; statuses without a code of their own give
// ZR_QM_ERR_HTTP.
int MapHttpStatus(int status);

// The multipart boundary as the header names it; body lines add "--".
constexpr const char *kUploadBoundary = "----WebKitFormBoundaryRVr";

// The file name the receiver is told: the part of `path` after its last
// backslash or slash (both separate folders on the operators' systems and
// here), or the whole path when it has neither.
std::string UploadFileName(const char *path);

// The text before the content: boundary, disposition with the file name,
// content type, empty line.
std::string UploadHead(const std::string &file_name);
// The text after the content: the closing boundary line.
std::string UploadTail();

} // namespace korvel
