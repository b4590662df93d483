// The multipart form body of an upload: one part with a head and content.
#pragma once

#include <string>
#include <string_view>

namespace talvo_sim {

struct UploadPart {
    std::string head;       // from the opening boundary line to the empty line, inclusive
    std::string file_name;  // filename="..." of the Content-Disposition line
    std::string_view content;
};

// The boundary parameter of a Content-Type header ("" when none).
std::string BoundaryOf(const std::string &content_type);

// Splits a body "--BOUNDARY CRLF headers CRLF CRLF content CRLF --BOUNDARY-- CRLF".
// Returns false when the body is not such a form.
bool ParseUpload(std::string_view body, const std::string &boundary, UploadPart &part);

} // namespace talvo_sim
